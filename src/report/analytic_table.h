#pragma once

#include <string>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "text/json_writer.h"

namespace gsd {

// The console text of gsdsim --analytic: a heading, then per statistic a
// table of its looks (time, expected subjects entered and events, expected
// information, drift, sd of Z, critical value, probability of rejecting at
// the look, of which below -c when two-sided, and the cumulative
// probability) and a line with the power and the expected stopping time.
std::string analytic_table(const Design& design, const AnalyticPower& analytic);

// The lines gsdsim --check adds after its output: the analytic power per
// statistic, or why it cannot be computed.
std::string analytic_power_lines(const AnalyticPower& analytic);

// The "analytic" member of the JSON results: per statistic rho, tau,
// power, expected_stopping_time and per look expected_events, information,
// drift, bound and reject_probability; or an "error" member.
void write_analytic_json(JsonWriter& json, const AnalyticPower& analytic);

}  // namespace gsd
