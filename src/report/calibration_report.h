#pragma once

#include <cstdio>

#include "design/design.h"
#include "sim/calibration.h"

namespace gsd {

// What the calibration did, as the run writes it: under event-driven looks
// first, on the console, the expected target times the null variances were
// taken at; in the report the
// subjects and trials, then per statistic its block (with the b and final
// critical value of the Haybittle-type search, and the null variances);
// on the console the b raises of each statistic's search in their place,
// those of the Siegmund check, and the run-time estimate. A calibration
// that stopped at statistic j (calibration.stopped_at) ends with the head
// of j's block and the raises made before the stop. `announce` adds the
// report's name on the console and the rule that opens the simulation's
// part of the report.
void write_calibration(std::FILE* report, std::FILE* console, const Design& design,
                       const Calibration& calibration, bool announce);

}  // namespace gsd
