#pragma once

#include "sim/run_tally.h"

namespace gsd {

// Power, its Monte-Carlo standard error and the average stopping time of one
// statistic over `sim_count` trials, as the report prints them: power =
// rej / N, rounded to float; sd = sqrt((1 - power) power / N) from the
// rounded power; the average stopping time is stop_time_sum / N, the sum
// of the stopping times in double, rounded once to float.
struct StatisticResult {
  float power = 0.0f;
  float sd = 0.0f;
  float average_stopping_time = 0.0f;
};

StatisticResult statistic_result(const RunTally& tally, int j, int sim_count);

}  // namespace gsd
