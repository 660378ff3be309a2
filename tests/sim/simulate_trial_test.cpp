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
// The design reader refuses look times out of order, so the third time is
// set after reading: the engine must not evaluate a look once every
// statistic has stopped, whatever that look holds.
TEST(SimulateTrial, TheTrialEndsWhenEveryStatisticHasStopped) {
  TrialFixture f({{11, "4"}, {20, "4"}, {23, "5 10 15 20"}, {26, "2"}, {30, "0 1"},
                  {33, "0 0"}, {43, "1"}, {49, "4*0"}, {61, "4*0"}});
  f.design.look_times[3] = 0.0001f;
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
