#include "sweep/size_search.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gsd {
namespace {

// A power curve rising with n, 0.5 at n = half.
double curve(int n, double half) { return 1.0 - std::exp(-std::log(2.0) * n / half); }

PowerAt as_simulated(int n, double power) { return {n, power, 0.01}; }

// The answer reaches the target and one step below does not, whether the
// analytic answer is right, too low or too high, and also when the
// simulated power wobbles around a rising curve.
TEST(SizeSearch, EndsWhereOneStepBelowFallsShort) {
  struct Case {
    double analytic_half;
    double simulated_half;
    double wobble;
  };
  const Case cases[] = {{300, 300, 0}, {300, 320, 0}, {300, 900, 0},
                        {900, 300, 0}, {300, 310, 0.01}, {50, 2000, 0.005}};
  for (const Case& c : cases) {
    int runs = 0;
    SizeSearch search;
    const SizeOutcome outcome = search_size(
        0.8, 2, 7100, [&](int n) { return curve(n, c.analytic_half); },
        [&](int n) {
          ++runs;
          return as_simulated(n, curve(n, c.simulated_half) + c.wobble * std::sin(n * 0.7));
        },
        search);
    ASSERT_EQ(outcome, SizeOutcome::kFound) << c.simulated_half;
    EXPECT_EQ(search.analytic_subjects, static_cast<int>(std::ceil(c.analytic_half * std::log2(5.0) - 1e-9)));
    EXPECT_EQ(search.step, (search.analytic_subjects + 99) / 100);
    EXPECT_GE(search.found.power, 0.8);
    ASSERT_TRUE(search.has_below);
    EXPECT_EQ(search.below.subjects, search.found.subjects - search.step);
    EXPECT_LT(search.below.power, 0.8);
    EXPECT_EQ(runs, static_cast<int>(search.simulated.size()));
    EXPECT_LE(runs, 41);
    // Without the wobble the answer is the true one to within a step.
    if (c.wobble == 0) {
      const double exact = c.simulated_half * std::log2(5.0);
      EXPECT_GE(search.found.subjects, exact - 1e-9);
      EXPECT_LT(search.found.subjects - search.step, exact);
    }
  }
}

TEST(SizeSearch, TargetsOutOfReach) {
  int runs = 0;
  SizeSearch search;
  auto simulated = [&](int n) {
    ++runs;
    return as_simulated(n, curve(n, 3000) * 0.9);
  };
  EXPECT_EQ(search_size(0.99, 2, 7100, [](int n) { return curve(n, 3000); }, simulated, search),
            SizeOutcome::kAnalyticUnreachable);
  EXPECT_EQ(runs, 0);
  EXPECT_NEAR(search.capacity_analytic_power, curve(7100, 3000), 1e-12);
  // Reachable analytically at the capacity, not by simulation.
  EXPECT_EQ(search_size(0.8, 2, 7100, [](int n) { return curve(n, 3000); }, simulated, search),
            SizeOutcome::kSimulatedUnreachable);
  EXPECT_EQ(search.simulated.back().subjects, 7100);
}

TEST(SizeSearch, FewestSubjectsAlreadyEnough) {
  SizeSearch search;
  ASSERT_EQ(search_size(0.001, 2, 7100, [](int n) { return curve(n, 300); },
                        [](int n) { return as_simulated(n, curve(n, 300)); }, search),
            SizeOutcome::kFound);
  EXPECT_EQ(search.analytic_subjects, 2);
  EXPECT_EQ(search.found.subjects, 2);
  EXPECT_FALSE(search.has_below);
}

}  // namespace
}  // namespace gsd
