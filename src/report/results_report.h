#pragma once

#include <cstdio>

#include "design/design.h"
#include "sim/run_tally.h"
#include "sim/statistic_result.h"

namespace gsd {

// Appends the results to the report: per statistic its rho and tau, power
// and standard error, the given critical values (method 4) or the error
// split (method 1), and the average stopping time; under method 3 a warning
// when the b used is larger than the b of the design.
void write_results(std::FILE* report, const Design& design, const RunTally& tally);

}  // namespace gsd
