#include "sim/expected_look_times.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/simulate_in_process.h"

namespace gsd {
namespace {

// Exponential control group of median 12 and hazard ratio 0.7, 300 subjects
// entering over 12 time units, no loss to follow-up: the expected events by
// t >= 12 are n/2 sum over the groups of 1 - (exp(-h (t - 12)) - exp(-h t))
// / (12 h).
double closed_form_events(double t) {
  const double A = 12.0, h0 = std::log(2.0) / 12.0;
  auto share = [&](double h) {
    return 1.0 - (std::exp(-h * std::max(0.0, t - A)) - std::exp(-h * t)) / (h * A);
  };
  return 150.0 * (share(h0) + share(0.7 * h0));
}

Design exponential(const std::vector<int>& targets, float max_time) {
  return testing::event_design({{20, "3"}, {23, "1 2 3"}, {78, "12"}, {83, "0.5"},
                                {88, "12 25"}, {96, "100"}, {106, "0.7"}, {114, "100"},
                                {117, "1"}, {125, "100"}, {128, "1"}},
                               targets, max_time);
}

TEST(ExpectedLookTimes, TheTargetsAreExpectedAtTheLookTimes) {
  Design d = exponential({100, 200, 290}, 40.0f);
  set_expected_look_times(d);
  EXPECT_NEAR(closed_form_events(d.look_times[1]), 100.0, 1e-3);
  EXPECT_NEAR(closed_form_events(d.look_times[2]), 200.0, 1e-3);
  // 290 events are not expected by 40: the look stands at max_time.
  ASSERT_LT(closed_form_events(40.0), 290.0);
  EXPECT_EQ(d.look_times[3], 40.0f);
}

TEST(ExpectedLookTimes, CalendarLooksAreLeftAsTheyAre) {
  Design d = exponential({}, 0.0f);
  set_expected_look_times(d);
  EXPECT_EQ(d.look_times[1], 1.0f);
  EXPECT_EQ(d.look_times[2], 2.0f);
  EXPECT_EQ(d.look_times[3], 3.0f);
}

// A run calibrates at the expected times: the null variances are those of
// the calendar-time design with the expected times as its look times.
TEST(ExpectedLookTimes, TheRunsNullVariancesAreTakenThere) {
  Design events = exponential({100, 200, 290}, 40.0f);
  events.sim_count = 0;
  const SimulationResult run = testing::simulate_in_process(events, 1);
  ASSERT_EQ(run.status, 0) << run.error;
  Design calendar = exponential({}, 0.0f);
  calendar.sim_count = 0;
  set_expected_look_times(events);
  for (int i = 1; i <= 3; ++i) calendar.look_times[i] = events.look_times[i];
  const SimulationResult at_times = testing::simulate_in_process(calendar, 1);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(run.design.look_times[i], events.look_times[i]);
    EXPECT_EQ(run.calibration.null_variance[1][i], at_times.calibration.null_variance[1][i]);
  }
}

}  // namespace
}  // namespace gsd
