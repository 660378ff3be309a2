#pragma once

#include "model/simulated_trial.h"
#include "stats/look_data.h"

namespace gsd {

// Cuts the data of look time `look_time` from subjects 1..n of `trial`.
//
// For each subject, in subject order, the follow-up is
//   f = min(look_time - entry_time, censor_time), held in single precision.
// Only subjects with f > 0 enter `data` (entry at the look time exactly, or a
// censoring time <= 0, leaves the subject out). An entered subject has an
// event when f >= event_time (an event exactly at the end of follow-up
// counts), with obs_time = event_time; otherwise it is censored with
// obs_time = f. Infinite event or censoring times are never reached.
//
// Preconditions: 0 <= n <= kSubjectCapacity; look_time finite.
// Output: data.m (0 when nobody qualifies) and entries 1..m, in subject
// order; entries beyond m are left as they were. For finite entry times no
// obs_time is NaN or infinite.
void collect_look_data(const SimulatedTrial& trial, int n, float look_time,
                       LookData& data);

}  // namespace gsd
