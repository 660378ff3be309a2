#pragma once

#include "design/capacities.h"

namespace gsd {

// The boundary state of one simulated trial, statistic j x look i, both from
// 1. Rows fill look by look; what a look without subjects leaves untouched
// keeps what an earlier trial wrote, so the tables carry from trial to trial.
struct BoundaryTables {
  float bound[kStatCapacity + 1][kLookCapacity + 1] = {};     // critical values
  float obs_info[kStatCapacity + 1][kLookCapacity + 1] = {};  // observed information
  float cum_alpha[kLookCapacity + 1] = {};  // cumulative type-I error, entry 0 = 0
};

// Per statistic, the information at which boundaries start to be computed
// (half the null variance at the first look) and the planned information at
// the last look (the null variance there). Fixed by the calibration.
struct InformationScale {
  float v0[kStatCapacity + 1] = {};
  float v_last[kStatCapacity + 1] = {};
};

}  // namespace gsd
