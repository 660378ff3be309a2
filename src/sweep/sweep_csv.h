#pragma once

#include <string>

#include "report/sweep_result.h"

namespace gsd {

// The sweep as CSV: a header line, then one line per scenario and statistic
// in scenario order, with the columns scenario, one per swept key (named by
// the key), subjects, statistic, rho, tau, power, sd, average_stopping_time,
// analytic_power, expected_events, expected_subjects. The simulated figures
// are written in the shortest form that reads back to the same float, the
// analytic ones with 6 significant digits; a field holding a comma or a
// quote is quoted (RFC 4180). Lines end with "\n".
std::string sweep_csv(const SweepResult& result);

// The header line alone (with its "\n"): shards of one sweep share it.
std::string sweep_csv_header(const SweepResult& result);

}  // namespace gsd
