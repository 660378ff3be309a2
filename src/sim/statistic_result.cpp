#include "sim/statistic_result.h"

#include <cmath>

namespace gsd {

StatisticResult statistic_result(const RunTally& tally, int j, int sim_count) {
  const float N = static_cast<float>(sim_count);
  StatisticResult result;
  result.power = static_cast<float>(static_cast<double>(tally.rej[j]) / N);
  const double p = result.power;
  result.sd = static_cast<float>(std::sqrt((1.0 - p) * p / N));
  result.average_stopping_time = static_cast<float>(tally.stop_time_sum[j] / N);
  return result;
}

}  // namespace gsd
