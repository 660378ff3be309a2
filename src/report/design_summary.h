#pragma once

#include <cstdio>

#include "design/design.h"

namespace gsd {

// The first line of the report: the seed as the run starts it.
void write_seed_line(std::FILE* report, const Design& design);

// The rest of the design summary, as the design will be simulated (after
// its defaults): looks, statistics, accrual, error, curves, crossover lists
// and, under the use-function method, the use function.
void write_design_summary(std::FILE* report, const Design& design);

}  // namespace gsd
