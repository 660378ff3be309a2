#pragma once

#include <string>
#include <vector>

#include "sweep/sweep_axis.h"

namespace gsd {

// The full grid of several --sweep options: every combination of their
// values. Scenarios are numbered from 1 in grid order, the last axis
// varying fastest.
struct SweepGrid {
  std::vector<SweepAxis> axes;
};

// Checks the grid as a whole: at least one axis, no key swept twice or
// together with a key inside it (`looks` and `looks.times`), no key a sweep
// cannot vary, at most kScenarioCapacity scenarios. Returns false with a
// message in `error`.
bool check_sweep_grid(const SweepGrid& grid, std::string& error);

// The number of scenarios (the product of the axes' value counts).
long long scenario_count(const SweepGrid& grid);

// For scenario `scenario` (1-based), the index of its value on each axis.
std::vector<int> scenario_value_indices(const SweepGrid& grid, long long scenario);

}  // namespace gsd
