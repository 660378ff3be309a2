#pragma once

#include "design/capacities.h"
#include "design/survival_curve.h"

namespace gsd {

// Every item of one design, as read from the design file and completed by the
// defaults. Arrays are indexed from 1 (cum_alpha from 0); every numeric item
// starts at 0. After input only b, cum_alpha and given_bounds change.
struct Design {
  int method_code = 0;
  char report_name[kReportNameLength + 1] = {};  // trailing blanks removed
  int seed = 0;

  int look_count = 0;  // K
  float look_times[kLookCapacity + 1] = {};

  int stat_count = 0;  // L
  float rho[kStatCapacity + 1] = {};
  float tau[kStatCapacity + 1] = {};

  int sim_count = 0;
  float alpha = 0.0f;
  int sides = 0;

  float cum_alpha[kLookCapacity + 1] = {};  // entry 0 is 0
  float b_input = 0.0f;
  float b = 0.0f;
  float given_bounds[kLookCapacity + 1] = {};
  int use_function_code = 0;

  SurvivalCurve baseline_curve;
  float accrual_period = 0.0f;
  float accrual_rate = 0.0f;

  int interval_count = 0;  // m, intervals of the treatment-group description
  float hazard_cutpoints[kIntervalCapacity + 1] = {};
  float alternative_mode = 0.0f;  // above 1.5: hazard ratios, else survival points
  float hazard_ratios[kIntervalCapacity + 1] = {};
  SurvivalCurve alternative_curve;  // x(1..m) are the cut points

  SurvivalCurve control_censoring;
  SurvivalCurve treatment_censoring;

  int drop_in_count = 0;  // K1
  float drop_in_times[kListCapacity + 1] = {};
  float drop_in_probs[kListCapacity + 1] = {};
  int drop_out_count = 0;  // K2
  float drop_out_times[kListCapacity + 1] = {};
  float drop_out_probs[kListCapacity + 1] = {};

  // Event-driven looks (keyed designs only; the positional file has none):
  // look i of a trial happens when the trial's look_events(i)-th event (both
  // groups together) occurs, or at max_time when that comes first. All 0 for
  // calendar looks. look_times then hold the expected calendar times of the
  // targets under the design's alternative.
  int look_events[kLookCapacity + 1] = {};
  float max_time = 0.0f;

  bool operator==(const Design&) const = default;
};

// The looks are timed by event targets rather than by the calendar.
inline bool uses_event_looks(const Design& design) { return design.look_events[1] > 0; }

// The treatment group is described by hazard ratios to the baseline curve.
inline bool uses_hazard_ratios(const Design& design) {
  return design.alternative_mode > 1.5f;
}

}  // namespace gsd
