#pragma once

#include <cstdio>
#include <istream>

namespace gsd {

// gsdsim --analytic: reads and calibrates the design as a run does (the
// notes of the defaults on the console; the calibration's own report and
// console lines are not shown), simulates nothing and creates no report
// file, and writes the analytic table of every statistic to `console`.
// Returns the exit status: a refused design as a run refuses it (the same
// message and status), 3 when the analytic power cannot be computed.
int analytic_design(std::istream& input, std::FILE* console);

}  // namespace gsd
