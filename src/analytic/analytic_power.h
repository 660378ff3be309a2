#pragma once

#include <string>

#include "bounds/boundary_tables.h"
#include "design/capacities.h"
#include "design/design.h"

namespace gsd {

// The analytic counterpart of a run: per statistic and look the expected
// events, the expected information E[V], the drift E[Z], the critical value
// at the expected information, and the probabilities of rejecting there
// (upper: Z >= c; lower, two-sided only: Z <= -c) when the Z's are jointly
// normal with the moments of weighted_logrank_moments; the power (every
// rejection) and the expected stopping time (the look of the first
// rejection, or the last look), as the run counts them.
struct AnalyticStatistic {
  double rho = 0.0;
  double tau = 0.0;
  double information[kLookCapacity + 1] = {};
  double drift[kLookCapacity + 1] = {};
  double z_sd[kLookCapacity + 1] = {};  // sd of Z: sqrt(Var U / E[V])
  double bound[kLookCapacity + 1] = {};
  double reject_upper[kLookCapacity + 1] = {};
  double reject_lower[kLookCapacity + 1] = {};
  double reject[kLookCapacity + 1] = {};  // upper + lower
  double cumulative[kLookCapacity + 1] = {};
  double power = 0.0;
  double expected_stopping_time = 0.0;
  // The same with the critical values the engine's own recursion computes
  // from the expected information (expected_information_boundaries,
  // BoundaryRecursion::kEngine): where they differ from the accurate ones,
  // these are the figures a simulation tends to.
  double engine_bound[kLookCapacity + 1] = {};
  double engine_power = 0.0;
};

struct AnalyticPower {
  bool ok = false;
  std::string error;  // why not, when !ok
  int look_count = 0;
  int stat_count = 0;
  int sides = 0;
  double subjects[2] = {};  // per group per trial
  double look_times[kLookCapacity + 1] = {};
  double subjects_entered[kLookCapacity + 1] = {};  // both groups
  double expected_events[2][kLookCapacity + 1] = {};  // per group
  double total_events[kLookCapacity + 1] = {};
  AnalyticStatistic stat[kStatCapacity + 1];
};

// The design as calibrated (b and cum_alpha as the calibration left them)
// with the calibration's v0 and v_last. Fails, with a message naming the
// statistic and the looks, when the design has no subjects or a
// statistic's expected information is 0 at the first look or grows by less
// than a relative 1e-5 (the engine's recursion treats such a look as
// adding no information) between two looks, since the looks' Z's then have
// a degenerate joint distribution.
AnalyticPower analytic_power(const Design& design, const InformationScale& scale);

}  // namespace gsd
