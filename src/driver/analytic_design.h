#pragma once

#include <cstdio>
#include <string>

#include "driver/design_source.h"

namespace gsd {

// gsdsim --analytic: reads and calibrates the design as a run does (the
// notes of the defaults on the console; the calibration's report blocks and
// run-time estimate are not shown), simulates nothing and creates no report
// file, and writes the analytic table of every statistic to `console`.
// With a `json_path`, the figures are also written there as a JSON document
// holding the "analytic" member of a run's JSON results.
// Returns the exit status: a refused design as a run refuses it (the same
// message and status), 3 when the analytic power cannot be computed, 2 when
// the JSON file cannot be written.
int analytic_design(const DesignSource& source, std::FILE* console,
                    const std::string& json_path = "");

}  // namespace gsd
