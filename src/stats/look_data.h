#pragma once

#include "design/capacities.h"

namespace gsd {

// The data available at one look of a simulated trial: one entry per subject
// followed up for a positive time, indexed 1..m. Rebuilt at every look.
struct LookData {
  int m = 0;
  float obs_time[kSubjectCapacity + 1];  // time since entry to event or end of follow-up
  float group[kSubjectCapacity + 1];     // 0.0 control, 1.0 treatment, copied from the subject
  int event[kSubjectCapacity + 1];       // 1 event observed, 0 censored
};

}  // namespace gsd
