#pragma once

#include <string>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "sim/calibration.h"
#include "sim/run_tally.h"

namespace gsd {

// The run as a JSON document: the design as simulated (after its defaults
// and the calibration's changes to b and the error split), the calibration,
// per look the trials that reached it with the mean subjects and events in
// its data, and per statistic the rejections, power, standard error and
// average stopping time (the report's figures) with the trials that stopped
// and rejected at each look.
// With `analytic`, the document ends with its "analytic" member (see
// report/analytic_table.h).
std::string results_json(const Design& design, const Calibration& calibration,
                         const RunTally& tally, const AnalyticPower* analytic = nullptr);

}  // namespace gsd
