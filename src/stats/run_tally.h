#pragma once

#include "driver/capacities.h"

namespace gsd {

// Per statistic, over all simulated trials: the trials that rejected the
// null hypothesis and the sum of the calendar times at which it stopped.
struct RunTally {
  int rej[kStatCapacity + 1] = {};
  float stop_sum[kStatCapacity + 1] = {};
};

}  // namespace gsd
