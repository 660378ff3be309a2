#pragma once

#include "design/capacities.h"

namespace gsd {

// Per look, over all simulated trials: the trials that reached the look, the
// subjects in its data and their events, the sum (in double, added in trial
// order), least and greatest of its calendar time (which varies from trial
// to trial under event-driven looks), and per statistic the trials that
// stopped, and rejected, there. The report of a calendar-time design uses
// none of it.
struct LookTally {
  int reached[kLookCapacity + 1] = {};
  long long subjects[kLookCapacity + 1] = {};
  long long events[kLookCapacity + 1] = {};
  double time_sum[kLookCapacity + 1] = {};
  float time_min[kLookCapacity + 1] = {};
  float time_max[kLookCapacity + 1] = {};
  int stopped[kStatCapacity + 1][kLookCapacity + 1] = {};
  int rejected[kStatCapacity + 1][kLookCapacity + 1] = {};
};

// Per statistic, over all simulated trials: the trials that rejected the
// null hypothesis and the sum of the calendar times at which it stopped;
// and the per-look figures.
struct RunTally {
  int rej[kStatCapacity + 1] = {};
  float stop_sum[kStatCapacity + 1] = {};
  LookTally looks;
};

}  // namespace gsd
