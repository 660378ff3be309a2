#pragma once

#include "design/capacities.h"

namespace gsd {

// The subjects of one simulated trial, parallel arrays indexed 1..n.
// Subjects 1..n/2 are the control group, the rest the treatment group.
// Times are single precision; event and censoring times may be +infinity
// (never reached).
struct SimulatedTrial {
  float entry_time[kSubjectCapacity + 1];   // calendar time of entry
  float event_time[kSubjectCapacity + 1];   // time from entry to the event
  float censor_time[kSubjectCapacity + 1];  // time from entry to loss to follow-up
  float group[kSubjectCapacity + 1];        // 0.0 control, 1.0 treatment
};

}  // namespace gsd
