#include "model/expected_counts.h"

#include <cmath>

#include "model/time_quadrature.h"

namespace gsd {

ExpectedCounts expected_counts(const TrialModel& model, double t) {
  ExpectedCounts counts;
  std::vector<double> breakpoints = model.breakpoints;
  breakpoints.push_back(t - model.accrual_period);
  const TimeQuadrature q = make_time_quadrature(t, breakpoints);
  for (int g = 0; g < 2; ++g) {
    counts.subjects[g] = model.subjects[g] * entered_by(model, t);
    double sum = 0.0;
    for (std::size_t i = 0; i < q.node.size(); ++i) {
      const double s = q.node[i];
      sum += q.weight[i] * entered_by(model, t - s) * group_density(model.event[g], s) *
             survival(model.censoring[g], s);
    }
    counts.events[g] = model.subjects[g] * sum;
  }
  return counts;
}

double expected_total_events(const Design& design, double t) {
  const ExpectedCounts counts = expected_counts(make_trial_model(design), t);
  return counts.events[0] + counts.events[1];
}

double expected_time_of_events(const Design& design, double events, double max_time) {
  if (!(events > 0.0) || !(max_time > 0.0)) return 0.0;
  const TrialModel model = make_trial_model(design);
  const auto total = [&](double t) {
    const ExpectedCounts c = expected_counts(model, t);
    return c.events[0] + c.events[1] - events;
  };
  double lo = 0.0;
  double hi = max_time;
  double f_lo = -events;
  double f_hi = total(hi);
  if (!(f_hi > 0.0)) return max_time;
  // Regula falsi with a bisection every other step, so the bracket shrinks
  // at least geometrically whatever the curvature.
  for (int step = 0; step < 200 && hi - lo > 1e-9 * max_time; ++step) {
    const double t = step % 2 == 0 ? lo + (hi - lo) * (-f_lo) / (f_hi - f_lo) : 0.5 * (lo + hi);
    const double f = total(t);
    if (f == 0.0) return t;
    if (f < 0.0) {
      lo = t;
      f_lo = f;
    } else {
      hi = t;
      f_hi = f;
    }
  }
  return 0.5 * (lo + hi);
}

}  // namespace gsd
