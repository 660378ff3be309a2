#include "sim/simulation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "support/design_text.h"
#include "design/design_input.h"
#include "report/run_report.h"

namespace gsd {
namespace {

struct TrialFixture {
  Design design;
  Calibration calibration;
  std::unique_ptr<TrialWork> work = std::make_unique<TrialWork>();
  SubtractiveGenerator generator;
  int seed = 0;
  RunTally tally;
  int boundary_failed = 0;

  explicit TrialFixture(const std::map<int, std::string>& changes) {
    std::istringstream input(testing::design_text(changes));
    std::FILE* console = std::tmpfile();
    read_design(input, console, design, [](const Design&) {});
    std::fclose(console);
    seed = design.seed;
    uniform(generator, seed);
    calibration.subject_count = 20;
    start_simulation(design, *work);
  }

  // Runs trial 1 and returns what it wrote to the report.
  std::string run_trial() {
    std::FILE* report = std::tmpfile();
    std::FILE* console = std::tmpfile();
    GenerationStatus failure;
    EXPECT_TRUE(simulate_trial(design, calibration, 1, generator, seed, *work, boundary_failed,
                               tally, TrialText{&run_report_writer(), report, console},
                               failure));
    std::rewind(report);
    std::string text;
    for (int c; (c = std::fgetc(report)) != EOF;) text.push_back(static_cast<char>(c));
    std::fclose(report);
    std::fclose(console);
    return text;
  }
};

// Given bounds (method 4), two statistics, four looks; the third look comes
// before any subject has entered, so evaluating it would write its lines.
TEST(SimulateTrial, TheTrialEndsWhenEveryStatisticHasStopped) {
  TrialFixture f({{11, "4"}, {20, "4"}, {23, "5 10 0.0001 20"}, {26, "2"}, {30, "0 1"},
                  {33, "0 0"}, {43, "1"}, {49, "4*0"}, {61, "4*0"}});
  for (int j = 1; j <= 2; ++j) {
    f.work->tables.bound[j][1] = 100.0f;   // nobody crosses at look 1
    f.work->tables.bound[j][2] = -100.0f;  // everybody crosses at look 2
    f.work->tables.bound[j][3] = -100.0f;
    f.work->tables.bound[j][4] = -100.0f;
  }
  EXPECT_EQ(f.run_trial(), "");
  for (int j = 1; j <= 2; ++j) {
    EXPECT_EQ(f.tally.rej[j], 1);
    EXPECT_EQ(f.tally.stop_sum[j], 10.0f);
  }
}

TEST(SimulateTrial, LooksWithoutSubjectsAreReportedAndSkipped) {
  TrialFixture f({{11, "4"}, {20, "2"}, {23, "5 10"}, {49, "0 0"}, {61, "0 0"}});
  f.calibration.subject_count = 0;
  EXPECT_EQ(f.run_trial(),
            " no life enters before   5.000000    \n"
            " no. of simulation=           1\n"
            " no life enters before   10.00000    \n"
            " no. of simulation=           1\n");
  EXPECT_EQ(f.tally.rej[1], 0);
  EXPECT_EQ(f.tally.stop_sum[1], 0.0f);
}

}  // namespace
}  // namespace gsd

namespace gsd {
namespace {

// Event-driven looks at the 3rd, 6th and 30th event of 20 subjects, max_time
// 25 (the 30th never comes): each look happens at the trial's own time, the
// data there hold the target's events, and the stop adds that time.
TEST(SimulateTrial, EventDrivenLooksHappenAtTheTrialsOwnTimes) {
  TrialFixture f({{11, "4"}, {20, "3"}, {23, "10 20 30"}, {49, "3*0"}, {61, "3*0"}});
  f.design.look_events[1] = 3;
  f.design.look_events[2] = 6;
  f.design.look_events[3] = 30;
  f.design.max_time = 25.0f;
  f.work->tables.bound[1][1] = 100.0f;   // nobody crosses at look 1
  f.work->tables.bound[1][2] = -100.0f;  // everybody at look 2
  ASSERT_TRUE(generate_trial(f.design, 20, f.generator, f.seed, f.work->trial).ok);

  float expected[kLookCapacity + 1];
  auto scratch = std::make_unique<EventLookScratch>();
  event_look_times(f.work->trial, 20, 3, f.design.look_events, 25.0f, *scratch, expected);
  ASSERT_LT(expected[2], 25.0f);
  for (float t : {10.0f, 20.0f}) ASSERT_NE(expected[2], t);  // not a design look time

  TrialOutcome outcome;
  analyse_trial(f.design, f.calibration, f.work->trial, *f.work, f.boundary_failed, outcome);
  EXPECT_EQ(outcome.empty_looks, 0u);
  EXPECT_EQ(outcome.look_time[1], expected[1]);
  EXPECT_EQ(outcome.look_time[2], expected[2]);
  EXPECT_EQ(outcome.reached_looks, (1u << 1) | (1u << 2));
  EXPECT_EQ(outcome.look_events[1], 3);
  EXPECT_EQ(outcome.look_events[2], 6);
  EXPECT_EQ(outcome.stop_look[1], 2);
  EXPECT_EQ(outcome.tally.stop_sum[1], expected[2]);

  // The run's tallies: the look's time, and its stop.
  add_to_tally(f.design, outcome, f.tally);
  EXPECT_EQ(f.tally.stop_sum[1], expected[2]);
  EXPECT_EQ(f.tally.looks.time_sum[2], expected[2]);
  EXPECT_EQ(f.tally.looks.time_min[2], expected[2]);
  EXPECT_EQ(f.tally.looks.time_max[2], expected[2]);
}

// A calendar-time design ignores everything of the event-driven looks: the
// looks are the design's times.
TEST(SimulateTrial, CalendarLooksKeepTheDesignTimes) {
  TrialFixture f({{11, "4"}, {20, "2"}, {23, "7 15"}, {49, "0 0"}, {61, "0 0"}});
  ASSERT_TRUE(generate_trial(f.design, 20, f.generator, f.seed, f.work->trial).ok);
  float T[kLookCapacity + 1] = {};
  trial_look_times(f.design, 20, f.work->trial, f.work->event_scratch, T);
  EXPECT_EQ(T[1], 7.0f);
  EXPECT_EQ(T[2], 15.0f);
}

}  // namespace
}  // namespace gsd
