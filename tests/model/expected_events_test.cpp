#include "model/expected_events.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "model/generate_trial.h"
#include "model/random_stream.h"
#include "support/curve_points.h"

namespace gsd {
namespace {

using testing::curve_of;

// Exponential event times of rate lambda in both groups' own curves (the
// treatment by a constant hazard ratio), exponential censoring of rate gamma
// (0: none), accrual period A.
Design exponential_design(double lambda, float ratio, double gamma, float A) {
  Design d;
  d.accrual_period = A;
  d.accrual_rate = 100.0f;
  d.alternative_mode = 2.0f;
  d.interval_count = 1;
  d.hazard_cutpoints[1] = 50.0f;
  d.hazard_ratios[1] = ratio;
  d.baseline_curve = curve_of({{1.0f, static_cast<float>(std::exp(-lambda))}});
  const float kept = static_cast<float>(std::exp(-gamma));
  d.control_censoring = curve_of({{1.0f, kept}});
  d.treatment_censoring = curve_of({{1.0f, kept}});
  d.drop_in_count = 1;
  d.drop_out_count = 1;
  return d;
}

// The share of a group with event rate r and censoring rate g whose event is
// seen by calendar time t under uniform entry over [0, A]: the closed form
// of r/(r+g) * (1 - exp(-(r+g) w)) averaged over the follow-up w.
double closed_form_share(double r, double g, double A, double t) {
  const double s = r + g;
  const double w_min = std::max(0.0, t - A);
  const double entered = std::min(t, A);
  const double mean_survival = (std::exp(-s * w_min) - std::exp(-s * t)) / (s * A);
  return r / s * (entered / A - mean_survival);
}

TEST(ExpectedEvents, ExponentialCurvesMatchTheClosedForm) {
  struct Case {
    const char* what;
    double lambda, gamma;
    float ratio, A;
    double t;
  };
  const Case cases[] = {
      {"during accrual", 0.1, 0.0, 0.7f, 10.0f, 6.0},
      {"after accrual", 0.1, 0.0, 0.7f, 10.0f, 25.0},
      {"with censoring", 0.2, 0.05, 0.5f, 20.0f, 13.0},
      {"long follow-up", 0.05, 0.02, 1.0f, 5.0f, 80.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Design d = exponential_design(c.lambda, c.ratio, c.gamma, c.A);
    // The design's curves hold the rates in single precision.
    const double lambda = -std::log(static_cast<double>(d.baseline_curve.S[1]));
    const double gamma = -std::log(static_cast<double>(d.control_censoring.S[1]));
    const int n = 1001;
    const double expected =
        500 * closed_form_share(lambda, gamma, c.A, c.t) +
        501 * closed_form_share(lambda * c.ratio, gamma, c.A, c.t);
    EXPECT_NEAR(expected_events(d, n, c.t), expected, 1e-9 * expected);
  }
}

TEST(ExpectedEvents, NoAccrualPeriodEntersEveryoneAtZero) {
  const Design d = exponential_design(0.1, 1.0f, 0.0, 0.0f);
  const double lambda = -std::log(static_cast<double>(d.baseline_curve.S[1]));
  EXPECT_NEAR(expected_events(d, 200, 7.0), 200 * (1.0 - std::exp(-7.0 * lambda)), 1e-9);
  EXPECT_EQ(expected_events(d, 200, 0.0), 0.0);
}

// A piecewise baseline, a delayed effect (ratio 1 up to 2, then 0.5),
// piecewise censoring that differs by group and a drop-in at time 1 and a
// drop-out at 3: against the events of generated trials. The drop-in comes
// before the effect starts, where both curves agree, so the approximation of
// the crossover is exact for it; the drop-out at 3 is the approximated case,
// with a small probability.
TEST(ExpectedEvents, AgreesWithGeneratedTrials) {
  Design d;
  d.accrual_period = 8.0f;
  d.accrual_rate = 887.5f;  // 7100 subjects
  d.alternative_mode = 2.0f;
  d.interval_count = 2;
  d.hazard_cutpoints[1] = 2.0f;
  d.hazard_cutpoints[2] = 30.0f;
  d.hazard_ratios[1] = 1.0f;
  d.hazard_ratios[2] = 0.5f;
  d.baseline_curve = curve_of({{2.0f, 0.8f}, {6.0f, 0.4f}, {12.0f, 0.25f}});
  d.control_censoring = curve_of({{10.0f, 0.8f}});
  d.treatment_censoring = curve_of({{4.0f, 0.95f}, {10.0f, 0.7f}});
  d.drop_in_count = 1;
  d.drop_in_times[1] = 1.0f;
  d.drop_in_probs[1] = 0.3f;
  d.drop_out_count = 1;
  d.drop_out_times[1] = 3.0f;
  d.drop_out_probs[1] = 0.05f;
  const int n = subject_count(d);
  ASSERT_EQ(n, 7100);

  const double times[] = {3.0, 7.0, 12.0, 20.0};
  double seen[4] = {};
  const int trials = 20;
  SubtractiveGenerator generator;
  int seed = -2024;
  uniform(generator, seed);
  auto trial = std::make_unique<SimulatedTrial>();
  for (int s = 0; s < trials; ++s) {
    ASSERT_TRUE(generate_trial(d, n, generator, seed, *trial).ok);
    for (int i = 1; i <= n; ++i) {
      if (!(trial->event_time[i] <= trial->censor_time[i])) continue;
      const double at = static_cast<double>(trial->entry_time[i]) + trial->event_time[i];
      for (int l = 0; l < 4; ++l) seen[l] += at <= times[l] ? 1.0 : 0.0;
    }
  }
  for (int l = 0; l < 4; ++l) {
    SCOPED_TRACE(times[l]);
    const double mean = seen[l] / trials;
    const double expected = expected_events(d, n, times[l]);
    // The count of one trial is a sum of independent indicators: its
    // variance is at most its mean.
    const double se = std::sqrt(expected / trials);
    EXPECT_NEAR(mean, expected, 4.0 * se + 1.0);
  }
}

TEST(ExpectedTimeOfTarget, InvertsTheExpectedEvents) {
  const Design d = exponential_design(0.1, 0.7f, 0.02, 10.0f);
  const int n = 400;
  for (int events : {1, 50, 150, 250}) {
    SCOPED_TRACE(events);
    const float t = expected_time_of_target(d, n, events, 60.0f);
    ASSERT_LT(t, 60.0f);
    EXPECT_NEAR(expected_events(d, n, t), events, 1e-4 * events);
  }
  // Beyond what max_time can bring: max_time itself.
  EXPECT_LT(expected_events(d, n, 60.0), 350.0);
  EXPECT_EQ(expected_time_of_target(d, n, 350, 60.0f), 60.0f);
}

}  // namespace
}  // namespace gsd
