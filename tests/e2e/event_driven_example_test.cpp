// The shipped event-driven example through the program: its report and
// console name the targets and the expected times, its per-look figures
// are consistent, every thread count gives the same bytes, --json carries
// the event members (which calendar-time designs do not get), and --convert
// classic refuses it.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(GSDSIM_SOURCE_DIR) / "examples";

struct ExampleRun {
  int status = -1;
  std::string console;
  std::string report;
  std::string json;
};

ExampleRun run_example(const std::string& file, const std::string& arguments, const std::string& report) {
  const fs::path dir = testing::scratch_directory("event_example");
  const testing::RunResult result =
      testing::run_gsdsim(dir, testing::read_file(kExamples / file), "--format toml " + arguments);
  ExampleRun run{result.status, result.console, "", ""};
  if (fs::exists(dir / report)) run.report = testing::read_file(dir / report);
  if (fs::exists(dir / "out.json")) run.json = testing::read_file(dir / "out.json");
  fs::remove_all(dir);
  return run;
}

TEST(EventDrivenExample, ReportsTheTargetsAndTheLooksOwnTimes) {
  const ExampleRun run = run_example("event_driven.toml", "--threads 1 --json out.json", "evdriven.rpt");
  ASSERT_EQ(run.status, 0) << run.console;
  EXPECT_NE(run.console.find("look  1:    100 events expected at"), std::string::npos)
      << run.console;
  EXPECT_NE(run.report.find("Event targets of the looks (both groups) =   100   200   300"),
            std::string::npos);
  // The table: per look, mean time between least and greatest, mean events
  // at least the target where no trial hit max_time.
  const std::size_t table = run.report.find("Event-driven looks over the trials that reached them:");
  ASSERT_NE(table, std::string::npos) << run.report;
  std::istringstream rows(run.report.substr(table));
  std::string line;
  std::getline(rows, line);
  std::getline(rows, line);  // column heads
  for (int k = 1; k <= 3; ++k) {
    ASSERT_TRUE(std::getline(rows, line));
    std::istringstream row(line);
    int look = 0, target = 0, trials = 0;
    double mean = 0, least = 0, greatest = 0, events = 0, subjects = 0;
    row >> look >> target >> trials >> mean >> least >> greatest >> events >> subjects;
    SCOPED_TRACE(line);
    EXPECT_EQ(look, k);
    EXPECT_EQ(target, 100 * k);
    EXPECT_GT(trials, 0);
    EXPECT_LE(least, mean);
    EXPECT_LE(mean, greatest);
    EXPECT_LE(greatest, 60.0);
    if (greatest < 60.0) {
      EXPECT_GE(events, target);
    }
    EXPECT_LE(subjects, 400.0);
  }
  EXPECT_NE(run.json.find("\"look_events\": [100, 200, 300]"), std::string::npos) << run.json;
  EXPECT_NE(run.json.find("\"target_events\": 100"), std::string::npos);
  EXPECT_NE(run.json.find("\"mean_time\": "), std::string::npos);

  for (const char* threads : {"--threads 2", "--threads 3"}) {
    const ExampleRun many = run_example("event_driven.toml", threads, "evdriven.rpt");
    EXPECT_EQ(many.status, 0);
    EXPECT_EQ(many.console, run.console) << threads;
    EXPECT_EQ(many.report, run.report) << threads;
  }
}

TEST(EventDrivenExample, CalendarTimeDesignsGetNoEventMembers) {
  const ExampleRun run = run_example("given_bounds.toml", "--json out.json", "givenbnd.rpt");
  ASSERT_EQ(run.status, 0) << run.console;
  EXPECT_EQ(run.json.find("target_events"), std::string::npos);
  EXPECT_EQ(run.json.find("max_time"), std::string::npos);
  EXPECT_EQ(run.report.find("Event"), std::string::npos);
}

TEST(EventDrivenExample, ConvertClassicRefusesIt) {
  const ExampleRun run = run_example("event_driven.toml", "--convert classic", "none");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.console.find("looks.events"), std::string::npos) << run.console;
}

}  // namespace
}  // namespace gsd
