// The summary of the critical values the trials computed: the histogram's
// quantiles against exact order statistics, the edges of its range, and,
// through the engine, that collecting it changes nothing of a run and is the
// same at every thread count.

#include "sim/bound_tally.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include "design/design_input.h"
#include "report/run_report.h"
#include "sim/simulate_design.h"
#include "support/design_text.h"

namespace gsd {
namespace {

TEST(BoundTally, QuantilesAreWithinHalfABinOfTheExactOrderStatistics) {
  BoundTally tally;
  start_bound_tally(tally, 2, 3);
  std::mt19937 random(11);
  std::normal_distribution<float> spread(2.4f, 0.3f);
  std::vector<float> values;
  for (int t = 0; t < 997; ++t) {
    const float v = spread(random);
    values.push_back(v);
    add_bound(tally, 2, 3, v);
  }
  std::vector<float> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  const BoundSummary s = bound_summary(tally, 2, 3);
  EXPECT_EQ(s.trials, 997);
  double sum = 0.0;
  for (const float v : values) sum += v;  // the same additions in the same order
  EXPECT_EQ(s.mean, sum / 997);
  // The q-quantile is the value of rank ceil(q n): 50 and 948 of 997.
  EXPECT_NEAR(s.q05, sorted[49], 0.5 * kBoundBinWidth + 1e-6);
  EXPECT_NEAR(s.q95, sorted[947], 0.5 * kBoundBinWidth + 1e-6);
  EXPECT_EQ(s.least, sorted.front());
  EXPECT_EQ(s.largest, sorted.back());
  // The other cells stay empty.
  EXPECT_EQ(bound_summary(tally, 1, 3).trials, 0);
  EXPECT_EQ(bound_summary(tally, 2, 2).trials, 0);
  EXPECT_EQ(bound_summary(tally, 1, 1).mean, 0.0);
}

TEST(BoundTally, EdgesOfTheRange) {
  struct Case {
    std::vector<float> values;
    double q05, q95;
  };
  const Case cases[] = {
      // One value in every trial: the quantiles are that value, not a bin's middle.
      {{1.96f, 1.96f, 1.96f, 1.96f}, 1.96f, 1.96f},
      // The 5.0 of a look without a boundary lies on the range's end.
      {{5.0f, 5.0f, 2.0f, 5.0f}, 2.0005, 5.0f},
      // Values beyond the range (a large b) and below it; a bin's middle otherwise.
      {{7.5f, 3.0f}, 3.0005, 7.5f},
      {{-0.25f, 1.0f, 1.0f}, -0.25f, 1.0f},  // the bin's middle kept within the largest
  };
  for (const Case& c : cases) {
    BoundTally tally;
    start_bound_tally(tally, 1, 1);
    for (const float v : c.values) add_bound(tally, 1, 1, v);
    const BoundSummary s = bound_summary(tally, 1, 1);
    EXPECT_EQ(s.trials, static_cast<int>(c.values.size()));
    EXPECT_NEAR(s.q05, c.q05, 1e-6) << c.values[0];
    EXPECT_NEAR(s.q95, c.q95, 1e-6) << c.values[0];
  }
  // Not-a-number and infinities are counted apart and change nothing else.
  BoundTally tally;
  start_bound_tally(tally, 1, 1);
  add_bound(tally, 1, 1, NAN);
  add_bound(tally, 1, 1, INFINITY);
  add_bound(tally, 1, 1, 2.5f);
  const BoundSummary s = bound_summary(tally, 1, 1);
  EXPECT_EQ(s.trials, 1);
  EXPECT_EQ(s.mean, 2.5);
  EXPECT_EQ(tally.not_finite[1][1], 2);
}

Design read(const std::string& text) {
  std::istringstream input(text);
  std::FILE* console = std::tmpfile();
  Design design;
  read_design(input, console, design, [](const Design&) {});
  std::fclose(console);
  return design;
}

SimulationResult run(const Design& design, int threads, bool collect) {
  SimulationOptions options;
  options.threads = threads;
  options.writer = &run_report_writer();
  options.collect_report = true;
  options.collect_console = true;
  options.collect_bounds = collect;
  return simulate_design(design, options);
}

bool same_tally(const BoundTally& a, const BoundTally& b) {
  return a.stat_count == b.stat_count && a.look_count == b.look_count && a.bins == b.bins &&
         std::memcmp(a.count, b.count, sizeof a.count) == 0 &&
         std::memcmp(a.above, b.above, sizeof a.above) == 0 &&
         std::memcmp(a.sum, b.sum, sizeof a.sum) == 0 &&
         std::memcmp(a.least, b.least, sizeof a.least) == 0 &&
         std::memcmp(a.largest, b.largest, sizeof a.largest) == 0;
}

// The use-function method recomputes every critical value in every trial;
// the first look of 400 subjects, two statistics, lies early enough that
// some trials carry an empty look.
TEST(BoundTally, CollectingChangesNothingAndIsTheSameOnEveryThreadCount) {
  const Design design = read(testing::design_text(
      {{20, "3"}, {23, "6 14 22"}, {26, "2"}, {30, "0 1"}, {33, "0 0"}, {37, "300"}}));
  const SimulationResult plain = run(design, 1, false);
  const SimulationResult one = run(design, 1, true);
  const SimulationResult two = run(design, 2, true);
  ASSERT_EQ(plain.status, 0) << plain.error;
  ASSERT_EQ(one.status, 0) << one.error;
  ASSERT_EQ(two.status, 0) << two.error;
  EXPECT_EQ(plain.bounds.stat_count, 0);  // nothing collected unless asked
  EXPECT_EQ(one.report_text, plain.report_text);
  EXPECT_EQ(one.console_text, plain.console_text);
  EXPECT_EQ(two.report_text, plain.report_text);
  EXPECT_TRUE(same_tally(one.bounds, two.bounds));
  for (int j = 1; j <= 2; ++j) {
    for (int i = 1; i <= 3; ++i) {
      const BoundSummary s = bound_summary(one.bounds, j, i);
      // Every trial that reached the look with subjects gave its value.
      EXPECT_GT(s.trials, 0);
      EXPECT_LE(s.trials, one.looks[i].trials_reached);
      EXPECT_LE(s.least, s.q05);
      EXPECT_LE(s.q05, s.mean + 1e-9);
      EXPECT_LE(s.mean, s.q95 + 1e-9);
      EXPECT_LE(s.q95, s.largest);
    }
    // O'Brien & Fleming type: the boundary falls from look to look.
    EXPECT_GT(bound_summary(one.bounds, j, 1).mean, bound_summary(one.bounds, j, 3).mean);
    // The last look's critical value is near the fixed-sample 1.96 and
    // above it (some error was spent before).
    EXPECT_GT(bound_summary(one.bounds, j, 3).mean, 1.96);
    EXPECT_LT(bound_summary(one.bounds, j, 3).mean, 2.2);
  }
}

TEST(BoundTally, GivenCriticalValuesAreNotCollected) {
  const Design design = read(testing::design_text({{11, "4"}, {61, "2.5 2.2 2.0"}, {37, "50"}}));
  const SimulationResult result = run(design, 1, true);
  ASSERT_EQ(result.status, 0) << result.error;
  EXPECT_EQ(result.bounds.stat_count, 0);
  EXPECT_TRUE(result.bounds.bins.empty());
}

}  // namespace
}  // namespace gsd
