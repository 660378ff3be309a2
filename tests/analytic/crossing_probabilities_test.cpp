// The grid integration against published group-sequential constants and
// against independent integrals.

#include "analytic/crossing_probabilities.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analytic/expected_information_boundaries.h"
#include "analytic/spent_error.h"
#include "bounds/last_look_boundary.h"

namespace gsd {
namespace {

// Two-sided exit probability of K equally spaced looks (information k) with
// critical values c_k = C * shape(k) under the null.
double two_sided_error(int K, double C, bool obrien_fleming) {
  double mean[16] = {}, variance[16] = {}, lower[16] = {}, upper[16] = {}, up[16], low[16];
  for (int k = 1; k <= K; ++k) {
    variance[k] = k;
    const double c = obrien_fleming ? C * std::sqrt(static_cast<double>(K) / k) : C;
    upper[k] = c * std::sqrt(variance[k]);
    lower[k] = -upper[k];
  }
  crossing_probabilities(K, mean, variance, lower, upper, up, low);
  double total = 0.0;
  for (int k = 1; k <= K; ++k) total += up[k] + low[k];
  return total;
}

// The constant C of the boundary shape with two-sided error alpha.
double constant_for(int K, double alpha, bool obrien_fleming) {
  double lo = 1.0, hi = 4.0;
  for (int i = 0; i < 60; ++i) {
    const double mid = 0.5 * (lo + hi);
    (two_sided_error(K, mid, obrien_fleming) > alpha ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

// Jennison & Turnbull (2000), Table 2.1 (Pocock C_P) and Table 2.3
// (O'Brien & Fleming C_B), two-sided alpha = 0.05, equal group sizes; the
// tables give three decimals.
TEST(CrossingProbabilities, ReproducesPublishedPocockAndObrienFlemingConstants) {
  struct Case {
    int K;
    double pocock;
    double obrien_fleming;
  };
  const Case cases[] = {{1, 1.960, 1.960}, {2, 2.178, 1.977}, {3, 2.289, 2.004},
                        {4, 2.361, 2.024}, {5, 2.413, 2.040}, {10, 2.555, 2.087}};
  for (const Case& c : cases) {
    EXPECT_NEAR(constant_for(c.K, 0.05, false), c.pocock, 0.0006) << "K = " << c.K;
    EXPECT_NEAR(constant_for(c.K, 0.05, true), c.obrien_fleming, 0.0006) << "K = " << c.K;
  }
}

// Two looks: P(Z1 >= a) + P(Z1 < a, Z2 >= b) with corr sqrt(I1 / I2) and
// drifts, against a fine midpoint rule of the bivariate integral.
TEST(CrossingProbabilities, TwoLooksMatchADirectIntegral) {
  struct Case {
    double I1, I2, theta, a, b;
  };
  const Case cases[] = {{10, 20, 0.3, 2.5, 2.0}, {5, 40, 0.0, 2.8, 1.9},
                        {30, 31, 0.2, 2.2, 2.1}, {30, 30.3, 0.1, 2.0, 2.0}};
  for (const Case& c : cases) {
    double mean[3] = {0, c.theta * c.I1, c.theta * c.I2};
    double variance[3] = {0, c.I1, c.I2};
    double lower[3] = {0, -HUGE_VAL, -HUGE_VAL};
    double upper[3] = {0, c.a * std::sqrt(c.I1), c.b * std::sqrt(c.I2)};
    double up[3], low[3];
    crossing_probabilities(2, mean, variance, lower, upper, up, low);
    // W1 ~ N(mean1, I1); W2 - W1 ~ N(mean2 - mean1, I2 - I1).
    const double s1 = std::sqrt(c.I1), ds = std::sqrt(c.I2 - c.I1);
    const double lo = mean[1] - 12 * s1;
    const int steps = 400000;
    const double h = (upper[1] - lo) / steps;
    double second = 0.0;
    for (int i = 0; i < steps; ++i) {
      const double w = lo + (i + 0.5) * h;
      const double density = std::exp(-0.5 * std::pow((w - mean[1]) / s1, 2)) / (s1 * std::sqrt(2 * M_PI));
      second += h * density * normal_upper_tail((upper[2] - w - (mean[2] - mean[1])) / ds);
    }
    EXPECT_NEAR(up[1], normal_upper_tail(c.a - c.theta * s1), 1e-12);
    EXPECT_NEAR(up[2], second, 2e-7) << c.I1 << " " << c.I2;
  }
}

// The double-precision recursion agrees with the engine's single-precision
// one where both apply (the engine's values carry float rounding and its
// own grid).
TEST(NullBoundaries, AgreeWithTheEnginesRecursion) {
  struct Case {
    int K;
    double x[6];
    double cum[6];
    int sides;
  };
  const Case cases[] = {
      {3, {0, 10, 20, 30}, {0, 0.01, 0.03, 0.05}, 2},
      {5, {0, 5, 9, 20, 21, 40}, {0, 0.001, 0.004, 0.01, 0.02, 0.025}, 1},
      {4, {0, 1, 2, 3, 4}, {0, 0.0001, 0.001, 0.01, 0.05}, 2},
  };
  for (const Case& c : cases) {
    double ours[16];
    null_boundaries(c.K, c.x, c.cum, c.sides, ours);
    float t[16], cum[16], engine[16];
    for (int k = 0; k <= c.K; ++k) {
      t[k] = static_cast<float>(c.x[k]);
      cum[k] = static_cast<float>(c.cum[k]);
    }
    for (int k = 1; k <= c.K; ++k) {
      int failed = 0;
      last_look_boundary(k, t, cum, c.sides, failed, engine);
      ASSERT_EQ(failed, 0);
      EXPECT_NEAR(ours[k], engine[k], 2e-3) << "look " << k;
    }
  }
}

// The boundaries spend exactly the cumulative error they are given, and the
// 5.0 cap holds where a look is given nothing to spend.
TEST(NullBoundaries, SpendTheirErrorAndCapAtFive) {
  const int K = 4;
  const double x[5] = {0, 7, 15, 15.5, 30};
  const double cum[5] = {0, 0.002, 0.010, 0.010, 0.05};
  double c[5];
  null_boundaries(K, x, cum, 2, c);
  EXPECT_DOUBLE_EQ(c[3], 5.0);
  double mean[5] = {}, variance[5], lower[5], upper[5], up[5], low[5];
  for (int k = 1; k <= K; ++k) {
    variance[k] = x[k];
    upper[k] = c[k] * std::sqrt(x[k]);
    lower[k] = -upper[k];
  }
  crossing_probabilities(K, mean, variance, lower, upper, up, low);
  double spent = 0.0;
  for (int k = 1; k <= K; ++k) {
    spent += up[k] + low[k];
    if (k != 3) {
      EXPECT_NEAR(spent, cum[k], 1e-8) << "look " << k;
    }
  }
  EXPECT_NEAR(spent, 0.05, 1e-6);  // the capped look spends almost nothing
}

}  // namespace
}  // namespace gsd
