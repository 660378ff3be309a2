#pragma once

#include "design/capacities.h"
#include "model/simulated_trial.h"

namespace gsd {

// The calendar time at which collect_look_data first counts the event of a
// subject with these times, or +infinity when it never does (no finite
// event, an event after the loss to follow-up, a censoring time <= 0).
//
// The event's calendar time entry + event_time is formed in double and
// rounded to float, c. collect_look_data at look time T counts the event
// when f = min(T - entry, censor_time) > 0 and f >= event_time, with T -
// entry rounded to float; at c that rounding can fall just short of
// event_time (c rounded down, or T - entry rounded down), which would put
// a look at c before the very event that timed it. The result is then the
// next float above c: there T - entry exceeds event_time exactly (c lies
// within half a unit of entry + event_time), so its rounding is at least
// event_time, and a single step always suffices. Counting is monotone in T,
// so the event is counted at every look time from the result on.
float event_observed_time(float entry_time, float event_time, float censor_time);

// Working space of event_look_times, made once per thread.
struct EventLookScratch {
  float observed[kSubjectCapacity];
};

// The calendar times of the event-driven looks of one generated trial.
//
// Inputs: subjects 1..n of `trial` (0 <= n <= kSubjectCapacity), K looks
// (1..15) with targets look_events(1..K), increasing and positive (total
// events of both groups), and max_time > 0, the longest the trial may run.
// Output: T(1..K). T(k) is the event_observed_time of the trial's
// look_events(k)-th event in calendar order, or max_time when that comes
// later or the trial has fewer events (so T is non-decreasing and never
// beyond max_time). collect_look_data at T(k) counts at least look_events(k)
// events when T(k) < max_time (more only when events share T(k)).
//
// Cost: one pass over the subjects and one selection per target on what
// is left above the previous target; no allocation.
void event_look_times(const SimulatedTrial& trial, int n, int K, const int* look_events,
                      float max_time, EventLookScratch& scratch, float* T);

}  // namespace gsd
