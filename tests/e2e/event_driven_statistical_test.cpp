// Event-driven looks against published formulas: a single look at D events
// has Schoenfeld's power whatever the accrual, and group-sequential looks at
// event targets reject, look by look, with the crossing probabilities of the
// canonical joint distribution with information proportional to events.
// Whole runs in process (expected look times, calibration, trials), with
// fixed seeds; tolerances of several Monte-Carlo standard errors. The
// README's table holds the same runs with ten times the trials.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/crossing_probabilities.h"
#include "support/simulate_in_process.h"

namespace gsd {
namespace {

using testing::crossing_probabilities;

// Exponential control group with median 12, no loss to follow-up, no
// crossover, hazard ratio `ratio` throughout; method 4 with the given
// critical values, two-sided, alpha 0.05; looks at `targets` events with a
// max_time far beyond them.
Design exponential_event_design(const std::string& accrual, const char* ratio,
                                const std::vector<int>& targets, const std::string& bounds,
                                const char* sims) {
  const int K = static_cast<int>(targets.size());
  std::string zeros = std::to_string(K) + "*0";
  return testing::event_design(
      {{11, "4"},    {17, "-2718"}, {20, std::to_string(K)}, {23, zeros}, {37, sims},
       {40, "0.05"}, {43, "2"},     {49, zeros},   {61, bounds},  {74, "1"},
       {78, "12"},   {83, "0.5"},   {88, accrual}, {93, "1"},     {96, "100"},
       {101, "2"},   {106, ratio},  {114, "100"},  {117, "1"},    {125, "100"},
       {128, "1"},   {135, "0"},    {137, "0"},    {143, "0"},    {145, "0"}},
      targets, 400.0f);
}

double se_of(double p, int n) { return std::sqrt(p * (1.0 - p) / n); }

TEST(EventDrivenStatistical, CrossingProbabilitiesOfPublishedBoundsSpendAlpha) {
  // Two-sided alpha 0.05, three equally spaced looks (Jennison & Turnbull
  // 2000, Tables 2.1 and 2.3): Pocock 2.289, O'Brien & Fleming 2.004 at the
  // last look. Four decimals of the constants: 1e-4 of the total.
  const std::vector<double> info = {1.0, 2.0, 3.0};
  const std::vector<std::vector<double>> bounds = {
      {2.289, 2.289, 2.289}, {2.004 * std::sqrt(3.0), 2.004 * std::sqrt(1.5), 2.004}};
  for (const auto& c : bounds) {
    const std::vector<double> exits = crossing_probabilities(info, c, 0.0);
    EXPECT_NEAR(exits[1] + exits[2] + exits[3], 0.05, 1e-4);
  }
}

// One look at 150 events, hazard ratio 0.7: Schoenfeld's power
// Phi(sqrt(D / 4) |log 0.7| - 1.96), whatever the accrual rate and period.
TEST(EventDrivenStatistical, SingleLookAtDEventsHasSchoenfeldsPower) {
  const int D = 150, trials = 2000;
  const double drift = std::sqrt(D / 4.0) * std::fabs(std::log(0.7));
  const double schoenfeld = testing::normal_cdf(drift - 1.959964);
  for (const char* accrual : {"12 25", "30 10", "4 100"}) {
    SCOPED_TRACE(accrual);
    const SimulationResult run = testing::simulate_in_process(
        exponential_event_design(accrual, "0.7", {D}, "1.959964", "2000"), 2);
    const double power = static_cast<double>(run.tally.rej[1]) / trials;
    EXPECT_NEAR(power, schoenfeld, 4 * se_of(schoenfeld, trials) + 0.01);
    // Every trial reached its target: the mean events at the look are D.
    EXPECT_NEAR(static_cast<double>(run.tally.looks.events[1]) / trials, D, 0.01);
    EXPECT_LT(run.tally.looks.time_max[1], 400.0f);
  }
}

// Three looks at 100, 200 and 300 events with O'Brien & Fleming critical
// values given (method 4), under the null and under a hazard ratio of 0.75.
TEST(EventDrivenStatistical, GroupSequentialRejectionsFollowTheCrossingProbabilities) {
  const int trials = 2000;
  const std::vector<double> c = {3.471, 2.454, 2.004};
  const std::vector<double> info = {100 / 4.0, 200 / 4.0, 300 / 4.0};
  for (const char* ratio : {"1", "0.75"}) {
    SCOPED_TRACE(ratio);
    const SimulationResult run = testing::simulate_in_process(
        exponential_event_design("20 20", ratio, {100, 200, 300}, "3.471 2.454 2.004", "2000"),
        2);
    const std::vector<double> exits =
        crossing_probabilities(info, c, std::fabs(std::log(std::stod(ratio))));
    for (int k = 1; k <= 3; ++k) {
      const double rate = static_cast<double>(run.tally.looks.rejected[1][k]) / trials;
      EXPECT_NEAR(rate, exits[k], 4 * se_of(exits[k], trials) + 1.0 / trials) << "look " << k;
    }
  }
}

}  // namespace
}  // namespace gsd
