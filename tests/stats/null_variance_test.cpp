#include "stats/null_variance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/curve_points.h"
#include "model/at_risk_weight.h"

namespace gsd {
namespace {

using testing::curve_of;

// No loss to follow-up: both censoring curves stay at 1.
Design uncensored_design(const SurvivalCurve& baseline) {
  Design design;
  design.baseline_curve = baseline;
  design.control_censoring = curve_of({{100.0f, 1.0f}});
  design.treatment_censoring = curve_of({{100.0f, 1.0f}});
  return design;
}

// Closed form of the integral of min(A, t - s) over [a, b].
double accrual_integral(double a, double b, double t, double A) {
  const double D = t - A;  // up to D the weight is A, beyond it t - s
  const double flat_end = std::clamp(D, a, b);
  const double sloped = (b - flat_end) * (t - (b + flat_end) / 2.0);
  return A * (flat_end - a) + sloped;
}

// With rho = tau = 0 and no censoring the integrand factor is 1/2, so V is
// lambda / 4 times the expected number of events by t, for the event
// density that is constant on each segment (piecewise-linear distribution
// function), truncated at the last point.
double quarter_expected_events(const SurvivalCurve& curve, double lambda, double A, double t) {
  double events = 0.0;
  for (int m = 1; m <= curve.n && curve.x[m - 1] < t; ++m) {
    const double f = (static_cast<double>(curve.S[m - 1]) - curve.S[m]) /
                     (static_cast<double>(curve.x[m]) - curve.x[m - 1]);
    events += f * accrual_integral(curve.x[m - 1], std::min<double>(curve.x[m], t), t, A);
  }
  return lambda / 4.0 * events;
}

TEST(NullVariance, QuarterOfExpectedEventsWithoutCensoring) {
  struct Case { SurvivalCurve curve; float A; const char* what; };
  const Case cases[] = {
      {curve_of({{2.0f, 0.4f}}), 3.0f, "one point"},
      {curve_of({{1.0f, 0.7f}, {2.5f, 0.7f}, {4.0f, 0.2f}}), 1.5f, "three points, a flat one"},
  };
  const float lambda = 30.0f;
  // Before the first point, at it, between points, and beyond the last
  // point with t - A before and after it.
  const float looks[] = {0.0f, 0.5f, 1.0f, 2.0f, 3.3f, 4.0f, 5.0f, 10.0f};
  const int K = 8;
  for (const Case& c : cases) {
    const Design design = uncensored_design(c.curve);
    float t[kLookCapacity + 1] = {};
    float V[kLookCapacity + 1] = {};
    std::copy(looks, looks + K, t + 1);
    ASSERT_TRUE(null_variance(design, lambda, c.A, 0.0f, 0.0f, K, t, V)) << c.what;
    for (int l = 1; l <= K; ++l) {
      const double expected = quarter_expected_events(c.curve, lambda, c.A, t[l]);
      // The midpoint rule is exact for the linear pieces; what remains is
      // the kink at t - A (below h^2) and single-precision summation.
      EXPECT_NEAR(V[l], expected, 1e-4 * expected + 1e-6) << c.what << ", look " << t[l];
    }
  }
}

TEST(NullVariance, BeyondTheLastPointOnlyTheAccrualWeightGrows) {
  // Once t - A passes the last point every subject followed up to x(M) has
  // weight A: V stops changing; before that it still grows.
  const Design design = uncensored_design(curve_of({{2.0f, 0.4f}}));
  float t[4] = {0.0f, 3.0f, 6.0f, 9.0f};
  float V[4] = {};
  ASSERT_TRUE(null_variance(design, 10.0f, 3.0f, 0.0f, 0.0f, 3, t, V));
  EXPECT_GT(V[2], V[1] * 1.2f);
  EXPECT_NEAR(V[3], V[2], 1e-5f * V[2]);
  EXPECT_NEAR(V[3], 10.0 / 4.0 * 0.6 * 3.0, 1e-4);  // lambda / 4 * (1 - S(M)) * A
}

TEST(NullVariance, SegmentShorterThanTheStepIsOneMidpoint) {
  Design design = uncensored_design(curve_of({{0.005f, 0.99f}, {2.0f, 0.5f}}));
  // Weight A (t - A = 2 lies beyond the segment) and t - s (t <= A).
  EXPECT_NEAR(null_variance_segment(design, 0.0f, 0.005f, 5.0f, 3.0f, 0.0f, 0.0f),
              0.5 * 3.0 * 0.005, 1e-9);
  EXPECT_NEAR(null_variance_segment(design, 0.0f, 0.005f, 1.0f, 3.0f, 0.0f, 0.0f),
              0.5 * (1.0 - 0.0025) * 0.005, 1e-9);
  // A look before the first point and shorter than a step.
  float t[2] = {0.0f, 0.004f};
  float V[2] = {};
  ASSERT_TRUE(null_variance(design, 100.0f, 3.0f, 0.0f, 0.0f, 1, t, V));
  EXPECT_NEAR(V[1], 100.0 / 2.0 * (0.01 / 0.005) * 0.5 * (0.004 - 0.002) * 0.004, 1e-9);
}

TEST(NullVariance, SegmentMatchesFineQuadratureWithWeightsAndCensoring) {
  Design design;
  design.baseline_curve = curve_of({{1.0f, 0.8f}, {3.0f, 0.3f}});
  design.control_censoring = curve_of({{2.0f, 0.9f}});
  design.treatment_censoring = curve_of({{1.0f, 0.95f}, {4.0f, 0.6f}});
  const float a = 0.37f, b = 2.91f, t = 4.0f, A = 2.0f, rho = 1.0f, tau = 0.5f;
  // Midpoint sum in double with a step 100 times finer.
  double reference = 0.0;
  const int steps = static_cast<int>((b - a) / 1e-4);
  const double width = (static_cast<double>(b) - a) / steps;
  for (int i = 0; i < steps; ++i) {
    const double s = a + (i + 0.5) * width;
    reference += at_risk_weight(design, static_cast<float>(s), rho, tau) *
                 std::min<double>(A, t - s) * width;
  }
  EXPECT_NEAR(null_variance_segment(design, a, b, t, A, rho, tau), reference, 2e-5 * reference);
}

TEST(NullVariance, StepsThatStopAdvancingAreAFailure) {
  // From 262144 on, u + 0.01 == u in single precision.
  const Design design = uncensored_design(curve_of({{300000.0f, 0.5f}}));
  EXPECT_TRUE(std::isnan(
      null_variance_segment(design, 262100.0f, 262200.0f, 262200.0f, 10.0f, 0.0f, 0.0f)));
  EXPECT_FALSE(std::isnan(
      null_variance_segment(design, 262100.0f, 262143.0f, 262200.0f, 10.0f, 0.0f, 0.0f)));

  float t[3] = {0.0f, 50.0f, 270000.0f};
  float V[3] = {};
  EXPECT_FALSE(null_variance(design, 1.0f, 10.0f, 0.0f, 0.0f, 2, t, V));
  EXPECT_GT(V[1], 0.0f);  // looks before the failing one are filled
}

}  // namespace
}  // namespace gsd
