#include "bounds/last_look_boundary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "bounds/normal.h"
#include "bounds/use_function.h"
#include "design/capacities.h"

namespace gsd {
namespace {

constexpr float kNoBoundary = 5.0f;

// An independent oracle: P(|Z_i| < c_i at every look i = 1..m) under the
// null for m = 1..k, Z_i = S_i / sqrt(u_i), S Brownian motion in information
// time, by composite Simpson integration of the score density on a fine grid
// in double precision. u and c are indexed from 1, as is the result.
std::vector<double> no_crossing_probabilities(int k, const double* u, const double* c) {
  constexpr int kPoints = 1201;  // odd, for Simpson
  const double inv_root_two_pi = 1.0 / std::sqrt(2.0 * M_PI);
  auto phi = [&](double x) { return inv_root_two_pi * std::exp(-0.5 * x * x); };
  std::vector<double> grid(kPoints), density(kPoints), next(kPoints), weight(kPoints);
  auto lay_out = [&](double bound) {
    const double h = 2.0 * bound / (kPoints - 1);
    for (int p = 0; p < kPoints; ++p) {
      grid[p] = -bound + h * p;
      weight[p] = h / 3.0 * (p == 0 || p == kPoints - 1 ? 1.0 : (p % 2 == 1 ? 4.0 : 2.0));
    }
  };
  auto mass = [&] {
    double sum = 0.0;
    for (int p = 0; p < kPoints; ++p) sum += weight[p] * density[p];
    return sum;
  };
  std::vector<double> result(k + 1, 1.0);
  lay_out(std::sqrt(u[1]) * c[1]);
  for (int p = 0; p < kPoints; ++p) density[p] = phi(grid[p] / std::sqrt(u[1])) / std::sqrt(u[1]);
  result[1] = mass();
  for (int i = 2; i <= k; ++i) {
    const double sd = std::sqrt(u[i] - u[i - 1]);
    const std::vector<double> from_grid = grid, from_weight = weight;
    lay_out(std::sqrt(u[i]) * c[i]);
    for (int p = 0; p < kPoints; ++p) {
      double sum = 0.0;
      for (int q = 0; q < kPoints; ++q) {
        sum += from_weight[q] * density[q] * phi((grid[p] - from_grid[q]) / sd);
      }
      next[p] = sum / sd;
    }
    density.swap(next);
    result[i] = mass();
  }
  return result;
}

// Two-sided error spent by the end of each look m = 1..k with boundaries c.
std::vector<double> crossing_probabilities(int k, const float* t, const float* c) {
  double u[kLookCapacity + 1], cd[kLookCapacity + 1];
  for (int i = 1; i <= k; ++i) {
    u[i] = double{t[i]} / t[k];
    cd[i] = c[i];
  }
  std::vector<double> spent = no_crossing_probabilities(k, u, cd);
  for (double& p : spent) p = 1.0 - p;
  return spent;
}

struct Call {
  float c = 0.0f;
  int failed = -1;
};

// k looks at t(1..k), earlier critical values c(1..k-1), error ca at look k.
Call boundary(std::vector<float> t, std::vector<float> c, float ca, int sides,
              int failed_before = -1) {
  const int k = static_cast<int>(t.size());
  float tt[kLookCapacity + 1] = {}, cc[kLookCapacity + 1] = {}, cum[kLookCapacity + 1] = {};
  for (int i = 1; i <= k; ++i) tt[i] = t[i - 1];
  for (int i = 1; i < k; ++i) cc[i] = c[i - 1];
  cum[k] = ca;
  Call call;
  call.failed = failed_before;
  last_look_boundary(k, tt, cum, sides, call.failed, cc);
  call.c = cc[k];
  return call;
}

TEST(CrossingOracle, ReproducesTheSingleLookClosedForm) {
  const double u[] = {0.0, 1.0}, c[] = {0.0, 1.959964};
  EXPECT_NEAR(1.0 - no_crossing_probabilities(1, u, c)[1], 0.05, 1e-7);
}

TEST(LastLookBoundary, Table) {
  struct Case {
    const char* what;
    std::vector<float> t, c;
    float ca;
    int sides;
    float expected, tolerance;
    int failed;
  };
  const Case cases[] = {
      {"single look, two-sided", {1.0f}, {}, 0.05f, 2, 1.959964f, 2e-6f, 0},
      {"single look, one-sided", {1.0f}, {}, 0.025f, 1, 1.959964f, 2e-6f, 0},
      {"single look, quantile faults", {1.0f}, {}, 0.0f, 2, kNoBoundary, 0.0f, 0},
      // O'Brien & Fleming type after 2.771808 = 1.959964 / sqrt(0.5).
      {"two looks, two-sided", {0.5f, 1.0f}, {2.771808f}, 0.05f, 2, 1.9793f, 5e-4f, 0},
      {"two looks, one-sided", {0.5f, 1.0f}, {2.771808f}, 0.025f, 1, 1.9793f, 5e-4f, 0},
      {"two looks, information scale", {50.0f, 100.0f}, {2.771808f}, 0.05f, 2, 1.9793f, 5e-4f, 0},
      // No earlier look with information: the closed form for look k.
      {"empty first look", {0.0f, 1.0f}, {2.0f}, 0.05f, 2, 1.959964f, 2e-6f, 0},
      {"first look below 1e-8", {5e-9f, 1.0f}, {0.1f}, 0.02f, 1, 2.053749f, 3e-6f, 0},
      // Look 1 keeps 2 * 0.3085 of the paths out: far more than 0.05.
      {"earlier look spends too much", {0.5f, 1.0f}, {0.5f}, 0.05f, 2, kNoBoundary, 0.0f, 1},
      // The target needs about 5.33, beyond the march.
      {"target beyond 5", {0.5f, 1.0f}, {9.0f}, 1e-7f, 2, kNoBoundary, 0.0f, 1},
      {"no increment at the last look", {1.0f, 1.0f}, {2.5f}, 0.05f, 2, kNoBoundary, 0.0f, 1},
      {"information falls at the last look", {2.0f, 1.0f}, {2.5f}, 0.05f, 2, kNoBoundary, 0.0f, 1},
  };
  for (const Case& c : cases) {
    const Call call = boundary(c.t, c.c, c.ca, c.sides);
    EXPECT_NEAR(call.c, c.expected, c.tolerance) << c.what;
    EXPECT_EQ(call.failed, c.failed) << c.what;
  }
}

TEST(LastLookBoundary, OneSidedUsesTheSymmetricBoundaryForTwiceTheError) {
  for (float c1 : {2.2f, 2.771808f, 3.5f}) {
    const Call two = boundary({0.4f, 0.7f, 1.0f}, {c1, 2.4f}, 0.05f, 2);
    const Call one = boundary({0.4f, 0.7f, 1.0f}, {c1, 2.4f}, 0.025f, 1);
    EXPECT_EQ(one.c, two.c) << c1;
  }
}

TEST(LastLookBoundary, FlagLeftByAnEarlierCallIsCleared) {
  EXPECT_EQ(boundary({0.5f, 1.0f}, {2.771808f}, 0.05f, 2, 1).failed, 0);
  EXPECT_EQ(boundary({1.0f}, {}, 0.05f, 2, 1).failed, 0);
  EXPECT_EQ(boundary({0.0f, 1.0f}, {2.0f}, 0.05f, 2, 1).failed, 0);
}

TEST(LastLookBoundary, OnlyTheRatiosOfInformationMatter) {
  const Call a = boundary({0.25f, 0.5f, 1.0f}, {3.0f, 2.6f}, 0.05f, 2);
  const Call b = boundary({40.0f, 80.0f, 160.0f}, {3.0f, 2.6f}, 0.05f, 2);
  EXPECT_EQ(a.c, b.c);
  EXPECT_EQ(a.failed, 0);
}

TEST(LastLookBoundary, UnusableLastInformationMeansEqualSpacing) {
  const Call spaced = boundary({1.0f, 2.0f, 3.0f}, {3.2f, 2.5f}, 0.05f, 2);
  const Call small = boundary({0.7f, 0.1f, 0.0001f}, {3.2f, 2.5f}, 0.05f, 2);
  const Call zero = boundary({9.0f, -4.0f, 0.0f}, {3.2f, 2.5f}, 0.05f, 2);
  EXPECT_EQ(small.c, spaced.c);
  EXPECT_EQ(zero.c, spaced.c);
  EXPECT_EQ(small.failed, 0);
}

TEST(LastLookBoundary, LookWithTooSmallAnIncrementIsSkipped) {
  const Call without = boundary({0.5f, 1.0f}, {2.4f}, 0.05f, 2);
  // A critical value of 0.1 would stop nearly every path were it integrated.
  const Call skipped = boundary({0.5f, 0.500004f, 1.0f}, {2.4f, 0.1f}, 0.05f, 2);
  EXPECT_EQ(skipped.c, without.c);
  EXPECT_EQ(skipped.failed, 0);
  // A fall in information is skipped as well.
  const Call fallen = boundary({0.5f, 0.3f, 1.0f}, {2.4f, 0.1f}, 0.05f, 2);
  EXPECT_EQ(fallen.c, without.c);
  // Just above the threshold the look counts, and here ends the paths.
  const Call counted = boundary({0.5f, 0.50003f, 1.0f}, {2.4f, 0.1f}, 0.05f, 2);
  EXPECT_EQ(counted.failed, 1);
}

// Each look's value from the earlier ones, as the simulation does it.
std::vector<float> spending_boundaries(UseFunction use_function, int looks, float alpha) {
  float t[kLookCapacity + 1] = {}, c[kLookCapacity + 1] = {}, cum[kLookCapacity + 1] = {};
  std::vector<float> result;
  for (int k = 1; k <= looks; ++k) {
    t[k] = static_cast<float>(k);
    cum[k] = cumulative_alpha(use_function, alpha, static_cast<float>(k) / static_cast<float>(looks),
                              1.0f, 0.0f);
    int failed = -1;
    last_look_boundary(k, t, cum, 2, failed, c);
    EXPECT_EQ(failed, 0) << "look " << k;
    result.push_back(c[k]);
  }
  // Under the null the boundaries spend the error of the use function, to the
  // few units in 1e-6 that the single-precision mass of the march resolves.
  const std::vector<double> spent = crossing_probabilities(looks, t, c);
  for (int k = 1; k <= looks; ++k) {
    EXPECT_NEAR(spent[k], cum[k], 5e-6) << "look " << k << " of " << looks;
  }
  return result;
}

// Published critical values of the Lan & DeMets (1983, Biometrika 70,
// 659-663) use-function boundaries for five equally spaced looks, alpha = 0.05
// two-sided, quoted to three decimals; tolerance 0.002.
TEST(LastLookBoundary, PublishedFiveLookPocockType) {
  const float published[] = {2.438f, 2.427f, 2.410f, 2.397f, 2.386f};
  const std::vector<float> c = spending_boundaries(UseFunction::kPocock, 5, 0.05f);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(c[i], published[i], 0.002f) << "look " << i + 1;
}

TEST(LastLookBoundary, PublishedFiveLookObrienFlemingType) {
  const float published[] = {4.383f, 3.100f, 2.553f, 2.254f, 2.064f};
  const std::vector<float> c = spending_boundaries(UseFunction::kObrienFleming, 5, 0.05f);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(c[i], published[i], 0.002f) << "look " << i + 1;
}

TEST(LastLookBoundary, FifteenLooksSpendTheirError) {
  const std::vector<float> pocock = spending_boundaries(UseFunction::kPocock, 15, 0.05f);
  const std::vector<float> linear = spending_boundaries(UseFunction::kLinear, 15, 0.05f);
  ASSERT_EQ(pocock.size(), 15u);
  EXPECT_GT(pocock[14], 2.0f);
  EXPECT_LT(pocock[14], pocock[0]);
  EXPECT_GT(linear[14], 2.0f);
}

TEST(LastLookBoundary, HaybittleBoundarySpendsTheRestAtTheLastLook) {
  // Constant 3 at four interim looks, unequally spaced, then the last look.
  float t[kLookCapacity + 1] = {0.0f, 12.0f, 31.0f, 47.0f, 80.0f, 100.0f};
  float c[kLookCapacity + 1] = {0.0f, 3.0f, 3.0f, 3.0f, 3.0f};
  float cum[kLookCapacity + 1] = {};
  cum[5] = 0.05f;
  int failed = -1;
  last_look_boundary(5, t, cum, 2, failed, c);
  EXPECT_EQ(failed, 0);
  EXPECT_GT(c[5], 1.959964f);
  EXPECT_LT(c[5], 3.0f);
  EXPECT_NEAR(crossing_probabilities(5, t, c)[5], 0.05, 5e-6);
}

TEST(LastLookBoundary, SmallErrorsFarOutInTheTail) {
  // A first look at 8 stops no path, so look 2 is in effect a single look
  // whose closed form is known. The mass is accumulated in single precision,
  // which resolves the tail to a few units in 1e-6 at best: far out the march
  // drifts, and a target beyond about 4.8 is not met below 5.
  struct Case { float x; float tolerance; int failed; };
  const Case cases[] = {{2.5f, 5e-4f, 0}, {3.5f, 1e-3f, 0}, {4.0f, 5e-3f, 0}, {5.2f, 0.0f, 1}};
  for (const Case& c : cases) {
    const float ca = 2.0f * normal_tail(c.x, true);
    const Call call = boundary({0.5f, 1.0f}, {8.0f}, ca, 2);
    EXPECT_EQ(call.failed, c.failed) << c.x;
    EXPECT_NEAR(call.c, c.failed == 1 ? kNoBoundary : c.x, c.tolerance) << c.x;
  }
}

// The vectorized exponential changes no bit: every look of sequences of
// boundaries over spacings, use functions, error levels and sides, failures
// included, against the recursion through std::exp on the same inputs.
TEST(LastLookBoundary, SameBitsAsTheRecursionThroughStdExp) {
  struct Spacing { const char* name; float t[13]; };
  const Spacing spacings[] = {
      {"equal", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {"front-loaded", {0, 5, 9, 12, 14, 15.5f, 16.5f, 17.2f, 17.7f, 18, 18.2f, 18.3f, 18.35f}},
      {"tiny first", {0, 1e-9f, 0.3f, 0.31f, 0.310001f, 0.5f, 0.7f, 0.9f, 1.3f, 2, 3, 4, 5}},
  };
  struct Spending { UseFunction use_function; float alpha; int sides; };
  const Spending spendings[] = {{UseFunction::kPocock, 0.05f, 2}, {UseFunction::kObrienFleming, 0.05f, 1},
                                {UseFunction::kLinear, 0.2f, 2},  {UseFunction::kObrienFleming, 0.001f, 2},
                                {UseFunction::kLinear, 0.9f, 2}};
  int compared = 0;
  int failures = 0;
  for (const Spacing& spacing : spacings) {
    for (const Spending& spending : spendings) {
      for (const int looks : {2, 5, 12}) {
        float c[kLookCapacity + 1] = {};
        float cum[kLookCapacity + 1] = {};
        for (int k = 1; k <= looks; ++k) {
          cum[k] = cumulative_alpha(spending.use_function, spending.alpha,
                                    spacing.t[k] / spacing.t[looks], 1.0f, 0.0f);
          float c_literal[kLookCapacity + 1];
          std::copy(c, c + kLookCapacity + 1, c_literal);
          int failed = -1;
          int failed_literal = -1;
          last_look_boundary(k, spacing.t, cum, spending.sides, failed, c);
          last_look_boundary_literal(k, spacing.t, cum, spending.sides, failed_literal,
                                     c_literal);
          ASSERT_EQ(std::bit_cast<std::uint32_t>(c[k]), std::bit_cast<std::uint32_t>(c_literal[k]))
              << spacing.name << ", use function " << static_cast<int>(spending.use_function) << ", look " << k << " of " << looks;
          ASSERT_EQ(failed, failed_literal);
          failures += failed;
          ++compared;
        }
      }
    }
  }
  EXPECT_EQ(compared, 3 * 5 * 19);
  EXPECT_GT(failures, 0);  // the failure path is compared too
}

TEST(LastLookBoundary, LooksOutsideTheCapacityAreRefused) {
  float t[kLookCapacity + 2] = {}, c[kLookCapacity + 2] = {}, cum[kLookCapacity + 2] = {};
  for (int i = 1; i <= kLookCapacity + 1; ++i) t[i] = static_cast<float>(i);
  cum[kLookCapacity + 1] = 0.05f;
  int failed = 0;
  last_look_boundary(kLookCapacity + 1, t, cum, 2, failed, c);
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(c[kLookCapacity + 1], 0.0f);
}

}  // namespace
}  // namespace gsd
