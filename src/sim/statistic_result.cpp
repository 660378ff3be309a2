#include "sim/statistic_result.h"

#include <cmath>

namespace gsd {

StatisticResult statistic_result(const RunTally& tally, int j, int sim_count,
                                 const float* look_times, int look_count) {
  const float N = static_cast<float>(sim_count);
  StatisticResult result;
  result.power = static_cast<float>(static_cast<double>(tally.rej[j]) / N);
  const double p = result.power;
  result.sd = static_cast<float>(std::sqrt((1.0 - p) * p / N));
  double stop_time_sum = 0.0;
  for (int i = 1; i <= look_count; ++i) {
    stop_time_sum += static_cast<double>(tally.looks.stopped[j][i]) * look_times[i];
  }
  result.average_stopping_time = static_cast<float>(stop_time_sum / N);
  return result;
}

}  // namespace gsd
