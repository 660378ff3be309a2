#include "model/survival_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/curve_points.h"

namespace gsd {
namespace {

using testing::curve_of;

constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(SurvivalCurve, OnePointCurveIsExponential) {
  const SurvivalCurve curve = curve_of({{1.0f, 0.5f}});
  EXPECT_EQ(survival_at(curve, 0.0f), 1.0f);
  EXPECT_EQ(survival_at(curve, -3.0f), 1.0f);
  EXPECT_FLOAT_EQ(survival_at(curve, 1.0f), 0.5f);
  EXPECT_FLOAT_EQ(survival_at(curve, 2.0f), 0.25f);  // beyond x(n): same hazard
  EXPECT_FLOAT_EQ(survival_at(curve, 0.5f), std::sqrt(0.5f));

  EXPECT_EQ(time_at_survival(curve, 1.0f), 0.0f);
  EXPECT_EQ(time_at_survival(curve, 1.5f), 0.0f);
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.5f), 1.0f);
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.25f), 2.0f);
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.125f), 3.0f);
  EXPECT_EQ(time_at_survival(curve, 0.0f), kInf);
}

TEST(SurvivalCurve, InverseUndoesSurvivalAcrossPieces) {
  const SurvivalCurve curve = curve_of({{0.5f, 0.9f}, {2.0f, 0.6f}, {2.5f, 0.6f}, {4.0f, 0.1f}});
  // At the points S returns the given values.
  for (int j = 1; j <= curve.n; ++j) {
    EXPECT_FLOAT_EQ(survival_at(curve, curve.x[j]), curve.S[j]) << "x(" << j << ")";
  }
  // Off the flat stretch, time_at_survival(survival_at(t)) = t, including
  // beyond the last point.
  for (float t : {0.1f, 0.5f, 1.3f, 2.0f, 2.7f, 3.9f, 5.0f, 9.0f}) {
    EXPECT_NEAR(time_at_survival(curve, survival_at(curve, t)), t, 4e-6f * t) << "t " << t;
  }
  // Inside the flat stretch S is constant and its level maps to its start.
  EXPECT_EQ(survival_at(curve, 2.2f), 0.6f);
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.6f), 2.0f);
}

TEST(SurvivalCurve, FlatStretchIsSkipped) {
  const SurvivalCurve curve = curve_of({{1.0f, 0.5f}, {2.0f, 0.5f}, {3.0f, 0.2f}});
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.5f), 1.0f);
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.4f),
                  static_cast<float>(2.0 + std::log(0.5 / 0.4) / std::log(0.5 / 0.2)));
  EXPECT_NEAR(time_at_survival(curve, 0.4f), 2.2435f, 1e-4f);
  // Below S(n) the hazard of the last piece continues.
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.1f),
                  static_cast<float>(3.0 + std::log(2.0) / std::log(2.5)));
}

TEST(SurvivalCurve, FlatLastPieceNeverReachesLowerLevels) {
  const SurvivalCurve curve = curve_of({{1.0f, 0.5f}, {2.0f, 0.5f}});
  EXPECT_EQ(survival_at(curve, 100.0f), 0.5f);  // hazard exactly 0
  for (float u : {0.4999999f, 0.3f, 0.01f, 0.0f}) {
    EXPECT_EQ(time_at_survival(curve, u), kInf) << "u " << u;
  }
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.5f), 1.0f);
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.75f),
                  static_cast<float>(std::log(0.75) / std::log(0.5)));
}

TEST(SurvivalCurve, DropBelowThresholdCountsAsFlat) {
  // Piece 2 drops by 5e-7 < 0.000001 and is skipped: u between its ends is
  // solved on piece 3 from x(2), just below 2, not inside piece 2 (near 1.6).
  const SurvivalCurve curve = curve_of({{1.0f, 0.5f}, {2.0f, 0.4999995f}, {3.0f, 0.2f}});
  const float u = 0.4999998f;
  const double S2 = 0.4999995f;
  const float lambda3 = static_cast<float>(std::log(S2) - std::log(0.2f));
  const float expected = static_cast<float>(2.0 - std::log(u / S2) / lambda3);
  EXPECT_EQ(time_at_survival(curve, u), expected);
  EXPECT_GT(expected, 1.99999f);
}

}  // namespace
}  // namespace gsd
