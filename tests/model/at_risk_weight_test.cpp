#include "model/at_risk_weight.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/curve_points.h"

namespace gsd {
namespace {

using testing::curve_of;

TEST(AtRiskWeight, SpecialCases) {
  Design design;
  design.baseline_curve = curve_of({{1.0f, 0.5f}});
  design.control_censoring = curve_of({{1.0f, 0.8f}});
  design.treatment_censoring = curve_of({{1.0f, 0.4f}});

  struct Case { float t, rho, tau; double expected; const char* what; };
  const double gc1 = 0.8, gt1 = 0.4, harmonic1 = gc1 * gt1 / (gc1 + gt1);
  const Case cases[] = {
      {0.0f, 0.0f, 0.0f, 0.5, "t = 0, tau = 0: 0^0 = 1, gc = gt = 1"},
      {-1.0f, 2.0f, 0.0f, 0.5, "before entry S = 1"},
      {0.0f, 0.0f, 1.0f, 0.0, "t = 0, tau > 0: (1 - S)^(2 tau) = 0"},
      {1.0f, 0.0f, 0.0f, harmonic1, "rho = tau = 0: gc gt / (gc + gt)"},
      {1.0f, 1.0f, 0.5f, 0.25 * 0.5 * harmonic1, "S^2 (1 - S)"},
      {1.0f, 0.5f, 2.0f, 0.5 * 0.0625 * harmonic1, "S (1 - S)^4"},
      {2.0f, 1.0f, 1.0f, std::pow(0.25 * 0.75, 2) * (0.64 * 0.16 / 0.8), "beyond the points"},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(at_risk_weight(design, c.t, c.rho, c.tau), c.expected, 1e-6 * c.expected + 1e-12)
        << c.what;
  }
}

TEST(AtRiskWeight, NobodyAtRiskGivesZero) {
  Design design;
  design.baseline_curve = curve_of({{1.0f, 0.5f}});
  design.control_censoring = curve_of({{1.0f, 0.001f}});
  design.treatment_censoring = curve_of({{1.0f, 0.001f}});
  // At t = 1 gc + gt = 0.002 is still counted; at t = 2 it is 2e-6.
  EXPECT_NEAR(at_risk_weight(design, 1.0f, 0.0f, 0.0f), 0.0005f, 1e-9f);
  EXPECT_EQ(at_risk_weight(design, 2.0f, 0.0f, 0.0f), 0.0f);
  EXPECT_EQ(at_risk_weight(design, 1000.0f, 0.0f, 0.0f), 0.0f);
}

}  // namespace
}  // namespace gsd
