#pragma once

#include "sim/run_tally.h"

namespace gsd {

// Power, its Monte-Carlo standard error and the average stopping time of one
// statistic over `sim_count` trials, as the report prints them: power =
// rej / N, rounded to float; sd = sqrt((1 - power) power / N) from the
// rounded power; the average stopping time is exact: the trials that
// stopped at each look times the look time t(1..K), summed in double, over
// N, rounded once to float. (A single-precision running sum of the stopping
// times drifts once it is large: 23.864 for a million stops at 23.7.)
struct StatisticResult {
  float power = 0.0f;
  float sd = 0.0f;
  float average_stopping_time = 0.0f;
};

StatisticResult statistic_result(const RunTally& tally, int j, int sim_count,
                                 const float* look_times, int look_count);

}  // namespace gsd
