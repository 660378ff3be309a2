#pragma once

#include "model/trial_model.h"
#include "design/design.h"

namespace gsd {

// Expected subjects entered and events observed per group (0 control, 1
// treatment) by calendar time t, over the uniform entry:
//   subjects(g) = n_g P(E < t),
//   events(g)   = n_g integral_0^t P(E < t - s) f_g(s) G_g(s) ds,
// f_g the group's event density (crossovers included), G_g its censoring
// survival: an event at s after entry is observed when the subject entered
// before t - s and was not lost before s (collect_look_data's rule).
struct ExpectedCounts {
  double subjects[2] = {};
  double events[2] = {};
};

ExpectedCounts expected_counts(const TrialModel& model, double t);

// Expected events of both groups together by calendar time t.
double expected_total_events(const Design& design, double t);

// The calendar time in [0, max_time] at which the expected total events
// reach `events`, to a relative 1e-9 of max_time: 0 for a target of 0 or
// less, max_time when the target is not reached by then. The expected count
// grows continuously with t, so the root is found by bisection with
// regula falsi steps.
double expected_time_of_events(const Design& design, double events, double max_time);

}  // namespace gsd
