#include "model/trial_model.h"

#include <cmath>

#include "model/generate_trial.h"

namespace gsd {
namespace {

void add_curve_points(std::vector<double>& points, const SurvivalCurve& curve) {
  for (int j = 1; j <= curve.n; ++j) points.push_back(curve.x[j]);
}

}  // namespace

TrialModel make_trial_model(const Design& design) {
  TrialModel model;
  const int n = subject_count(design) > 0 ? subject_count(design) : 0;
  model.subjects[0] = n / 2;
  model.subjects[1] = n - n / 2;
  model.accrual_period = design.accrual_period > 0.0f ? design.accrual_period : 0.0;
  for (int g = 0; g < 2; ++g) model.event[g] = make_group_event_distribution(design, g);
  model.censoring[0] = make_piecewise_hazard(design.control_censoring);
  model.censoring[1] = make_piecewise_hazard(design.treatment_censoring);
  add_curve_points(model.breakpoints, design.baseline_curve);
  add_curve_points(model.breakpoints, design.alternative_curve);
  add_curve_points(model.breakpoints, design.control_censoring);
  add_curve_points(model.breakpoints, design.treatment_censoring);
  for (int k = 1; k <= design.interval_count; ++k) {
    model.breakpoints.push_back(design.hazard_cutpoints[k]);
  }
  for (int k = 1; k <= design.drop_in_count; ++k) {
    model.breakpoints.push_back(design.drop_in_times[k]);
  }
  for (int k = 1; k <= design.drop_out_count; ++k) {
    model.breakpoints.push_back(design.drop_out_times[k]);
  }
  // Crossed subjects who keep their own uniform u change their chance of
  // having crossed where the other curve passes one of the levels.
  for (int g = 0; g < 2; ++g) {
    const GroupEventDistribution& e = model.event[g];
    for (int i = 1; i < e.level_count; ++i) {
      const double t = time_of_cumulative_hazard(e.other, -std::log(e.level[i]));
      if (std::isfinite(t)) model.breakpoints.push_back(t);
    }
  }
  return model;
}

double entered_by(const TrialModel& model, double calendar_time) {
  if (!(calendar_time > 0.0)) return 0.0;
  if (!(calendar_time < model.accrual_period)) return 1.0;
  return calendar_time / model.accrual_period;
}

}  // namespace gsd
