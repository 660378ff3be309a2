#pragma once

#include <vector>

#include "model/group_event_distribution.h"
#include "model/piecewise_hazard.h"
#include "design/design.h"

namespace gsd {

// Everything the expected figures of a design need: per group (0 control,
// 1 treatment) the subjects per trial, the event-time distribution with its
// crossovers and the censoring (loss to follow-up) distribution, the uniform
// entry over [0, accrual_period], and the times at which any of these
// changes form (for the quadrature's panels).
struct TrialModel {
  double subjects[2] = {};  // control count / 2 (rounded down), treatment the rest
  double accrual_period = 0.0;
  GroupEventDistribution event[2];
  PiecewiseHazard censoring[2];
  std::vector<double> breakpoints;
};

TrialModel make_trial_model(const Design& design);

// P(entry <= t - s) for a subject followed up s time units by calendar
// time t: the share of the group entered early enough, (t - s) / A within
// the accrual period A, 1 after it, 0 before entry (A = 0: every subject
// enters at 0).
double entered_by(const TrialModel& model, double calendar_time);

}  // namespace gsd
