#pragma once

#include <string>

#include "report/sweep_result.h"

namespace gsd {

// The sweep as a console table: a header line with the CSV's column names,
// then one line per scenario and statistic, columns right-aligned, power
// and analytic power with 4 decimals, sd with 5, the average stopping time
// with 3 and the expected events and subjects with 1.
std::string sweep_table(const SweepResult& result);

}  // namespace gsd
