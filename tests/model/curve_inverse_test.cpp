#include "model/curve_inverse.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/curve_points.h"
#include "support/warning_log.h"

namespace gsd {
namespace {

using testing::curve_of;
using testing::hazard_ratio_curve;

std::uint32_t bits(float x) { return std::bit_cast<std::uint32_t>(x); }

// Probabilities on the generator's grid, the ends, and values near every
// point of the curve (flat pieces, drops just above and below the flatness
// threshold).
std::vector<float> probabilities(const SurvivalCurve& curve) {
  std::vector<float> u = {0.0f, 1e-30f, 1e-7f, 0.5f, 1.0f, 1.5f};
  std::mt19937 rng(2718);
  std::uniform_int_distribution<int> r(0, 999999999);
  for (int i = 0; i < 20000; ++i) u.push_back(static_cast<float>(r(rng) * double{1e-9f}));
  for (int j = 0; j <= curve.n; ++j) {
    u.push_back(curve.S[j]);
    u.push_back(std::nextafter(curve.S[j], 0.0f));
    u.push_back(std::nextafter(curve.S[j], 1.0f));
  }
  return u;
}

TEST(CurveInverse, SurvivalInverseGivesTheCurveInverseBitForBit) {
  const SurvivalCurve curves[] = {
      curve_of({{1.0f, 0.5f}}),
      curve_of({{1.0f, 0.5f}, {2.0f, 0.5f}, {3.0f, 0.2f}}),           // flat stretch
      curve_of({{2.0f, 0.9f}, {4.0f, 0.9f}}),                          // flat last piece
      curve_of({{1.0f, 0.9999995f}, {2.0f, 0.6f}, {7.5f, 0.00001f}}),  // drop below 1e-6
      curve_of({{0.5f, 0.99f}, {6.0f, 0.7f}, {12.0f, 0.5f}, {24.0f, 0.3f}}),
  };
  for (const SurvivalCurve& curve : curves) {
    const SurvivalInverse inverse = make_survival_inverse(curve);
    for (float u : probabilities(curve)) {
      ASSERT_EQ(bits(time_at_survival(inverse, u)), bits(time_at_survival(curve, u)))
          << "u = " << u << ", n = " << curve.n;
    }
  }
}

TEST(CurveInverse, HazardRatioInverseGivesTheSameTimesAndWarnings) {
  const HazardRatioCurve curves[] = {
      hazard_ratio_curve(curve_of({{6.0f, 0.7f}, {12.0f, 0.5f}}), {{6.0f, 0.8f}, {12.0f, 0.6f}}),
      hazard_ratio_curve(curve_of({{1.0f, 0.001f}}), {{3.0f, 2.0f}, {4.0f, 1.0f}}),  // warnings
      hazard_ratio_curve(curve_of({{5.0f, 0.00001f}}), {{10.0f, 0.1f}, {20.0f, 1.0f}}),
      hazard_ratio_curve(curve_of({{1.0f, 0.5f}, {2.0f, 0.5f}, {3.0f, 0.2f}}),
                         {{0.5f, 1.5f}, {2.5f, 0.7f}, {4.0f, 0.3f}}),
  };
  for (const HazardRatioCurve& curve : curves) {
    const HazardRatioInverse inverse = make_hazard_ratio_inverse(curve);
    testing::WarningLog literal;
    testing::WarningLog fast;
    for (float u : probabilities(curve.baseline)) {
      ASSERT_EQ(bits(time_at_survival(inverse, u, fast.sink())),
                bits(time_at_survival(curve, u, literal.sink())))
          << "u = " << u;
    }
    EXPECT_EQ(fast.text, literal.text);
  }
}

}  // namespace
}  // namespace gsd
