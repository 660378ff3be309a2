// Expected subjects and events against closed forms of the exponential
// model with uniform entry.

#include "model/expected_counts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/calibrated_design.h"

namespace gsd {
namespace {

// Exponential events (rate lambda) and losses (rate mu), entry uniform on
// [0, A]: events by t among n subjects =
//   n lambda / r * (1/A) int_0^min(t,A) (1 - e^{-r (t - e)}) de,  r = lambda + mu.
double closed_form_events(double n, double lambda, double mu, double A, double t) {
  const double r = lambda + mu;
  const double upper = std::min(t, A);
  const double integral = upper - (std::exp(-r * (t - upper)) - std::exp(-r * t)) / r;
  return n * lambda / r * integral / A;
}

Design exponential_design() {
  // Control median 12, hazard ratio 0.7, 300 subjects over 12 time units,
  // losses with survival 0.5 at 100 (control) and 0.8 at 100 (treatment).
  return testing::calibrated_design({{74, "1"}, {78, "12"}, {83, "0.5"}, {88, "12 25"},
                                     {93, "1"}, {96, "100"}, {101, "2"}, {106, "0.7"},
                                     {114, "100"}, {117, "0.5"}, {125, "100"}, {128, "0.8"}})
      .design;
}

TEST(ExpectedCounts, MatchTheExponentialClosedForm) {
  const Design design = exponential_design();
  const TrialModel model = make_trial_model(design);
  const double lambda0 = std::log(2.0) / 12.0;
  const double mu0 = std::log(2.0) / 100.0;
  // The design holds single-precision values.
  const double mu1 = -std::log(double{0.8f}) / 100.0;
  for (double t : {0.5, 6.0, 12.0, 12.5, 30.0, 90.0}) {
    const ExpectedCounts c = expected_counts(model, t);
    EXPECT_DOUBLE_EQ(c.subjects[0], 150.0 * std::min(t / 12.0, 1.0));
    EXPECT_NEAR(c.events[0], closed_form_events(150, lambda0, mu0, 12, t), 1e-9 * c.events[0]);
    EXPECT_NEAR(c.events[1], closed_form_events(150, double{0.7f} * lambda0, mu1, 12, t),
                1e-9 * c.events[1]);
  }
}

TEST(ExpectedCounts, TimeOfEventsInvertsTheExpectedTotal) {
  const Design design = exponential_design();
  for (double target : {1.0, 40.0, 150.0, 200.0}) {
    const double t = expected_time_of_events(design, target, 100.0);
    EXPECT_NEAR(expected_total_events(design, t), target, 1e-6) << target;
  }
  // Beyond what the trial can reach by max_time, and nothing to reach.
  EXPECT_DOUBLE_EQ(expected_time_of_events(design, 299.0, 50.0), 50.0);
  EXPECT_DOUBLE_EQ(expected_time_of_events(design, 0.0, 50.0), 0.0);
}

}  // namespace
}  // namespace gsd
