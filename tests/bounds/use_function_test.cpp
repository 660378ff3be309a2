#include "bounds/use_function.h"

#include <gtest/gtest.h>

#include <cmath>

#include "bounds/normal.h"

namespace gsd {
namespace {

TEST(CumulativeAlpha, ValuesByCode) {
  struct Case { int code; float alpha, u, r, b; double expected, tolerance; };
  const Case cases[] = {
      // At u = 1 the O'Brien & Fleming type and the linear form spend alpha
      // (the former to the accuracy of the single-precision quantile and tail).
      {1, 0.05f, 1.0f, 0.0f, 0.0f, 0.05, 1e-7},
      {3, 0.05f, 1.0f, 0.0f, 0.0f, 0.05f, 0.0},
      {1, 0.025f, 1.0f, 0.0f, 0.0f, 0.025, 5e-8},
      // The Pocock type with 1.71828 for e - 1: alpha ln 2.71828.
      {2, 0.05f, 1.0f, 0.0f, 0.0f, 0.05 * 0.9999993, 5e-9},
      // Twice the upper tail of 1.959964 / sqrt(0.5) = 2.771808.
      {1, 0.05f, 0.5f, 0.0f, 0.0f, 0.005575, 1e-6},
      {2, 0.05f, 0.5f, 0.0f, 0.0f, 0.0310057, 5e-7},
      {3, 0.05f, 0.25f, 0.0f, 0.0f, 0.0125, 1e-9},
      // Siegmund: 4 phi(3) / 3 at r = 1, alpha unused.
      {4, 0.05f, 0.5f, 1.0f, 3.0f, 0.005909, 1e-6},
      {4, 0.9f, 0.1f, 1.0f, 3.0f, 0.005909, 1e-6},
      // phi(3) (3 - 1/3) ln 4 + 4 phi(3) / 3 = 0.0222927.
      {4, 0.05f, 0.5f, 4.0f, 3.0f, 0.0222927, 1e-6},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(cumulative_alpha(use_function_of(c.code), c.alpha, c.u, c.r, c.b), c.expected, c.tolerance)
        << "code " << c.code << " u " << c.u << " r " << c.r;
  }
}

TEST(CumulativeAlpha, EveryOtherCodeIsSiegmund) {
  const float siegmund = cumulative_alpha(use_function_of(4), 0.05f, 0.3f, 2.5f, 2.8f);
  for (int code : {0, -3, 5, 99}) {
    EXPECT_EQ(cumulative_alpha(use_function_of(code), 0.05f, 0.3f, 2.5f, 2.8f), siegmund) << code;
  }
}

TEST(CumulativeAlpha, ObrienFlemingTypeIsTwiceTheTailOfTheScaledQuantile) {
  int fault = -1;
  const float z = normal_quantile(0.975f, fault);
  for (float u : {0.1f, 0.2f, 0.4f, 0.6f, 0.8f}) {
    const float expected =
        static_cast<float>(2.0 * normal_tail(static_cast<float>(z / std::sqrt(double{u})), true));
    EXPECT_EQ(cumulative_alpha(use_function_of(1), 0.05f, u, 7.0f, 2.0f), expected) << u;
  }
  // Against the double-precision normal tail: 2 (1 - Phi(1.959964 / sqrt(0.6))).
  EXPECT_NEAR(cumulative_alpha(use_function_of(1), 0.05f, 0.6f, 0.0f, 0.0f),
              std::erfc(1.959964 / std::sqrt(0.6) / std::sqrt(2.0)), 1e-7);
}

TEST(CumulativeAlpha, SpendingGrowsWithInformation) {
  for (int code : {1, 2, 3}) {
    float previous = 0.0f;
    for (int i = 1; i <= 10; ++i) {
      const float value = cumulative_alpha(use_function_of(code), 0.05f, static_cast<float>(i) / 10.0f, 0.0f, 0.0f);
      EXPECT_GT(value, previous) << "code " << code << " u " << static_cast<float>(i) / 10.0f;
      previous = value;
    }
  }
}

}  // namespace
}  // namespace gsd
