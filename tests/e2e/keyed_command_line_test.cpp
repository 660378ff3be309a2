// The command line of keyed designs: a .toml file by name, --format,
// --convert and --template toml.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;
using testing::run_gsdsim;
using testing::scratch_directory;

const fs::path kExamples = fs::path(GSDSIM_SOURCE_DIR) / "examples";

TEST(KeyedCommandLine, ATomlFileIsReadAsKeyedByItsName) {
  const fs::path dir = scratch_directory("keyed_by_name");
  fs::copy_file(kExamples / "given_bounds.toml", dir / "mine.toml");
  const testing::RunResult named = run_gsdsim(dir, "", "mine.toml");
  EXPECT_EQ(named.status, 0) << named.console;
  const std::string report = testing::read_file(dir / "givenbnd.rpt");
  fs::remove(dir / "givenbnd.rpt");
  const testing::RunResult piped =
      run_gsdsim(dir, testing::read_file(kExamples / "given_bounds.toml"), "--format toml");
  EXPECT_EQ(piped.console, named.console);
  EXPECT_EQ(testing::read_file(dir / "givenbnd.rpt"), report);
  // Without --format, standard input is a positional design.
  fs::remove(dir / "givenbnd.rpt");
  const testing::RunResult unnamed =
      run_gsdsim(dir, testing::read_file(kExamples / "given_bounds.toml"));
  EXPECT_EQ(unnamed.status, 1);
  fs::remove_all(dir);
}

// The keyed template is the positional template's design, item by item.
TEST(KeyedCommandLine, TheKeyedTemplateRunsAsThePositionalTemplate) {
  const fs::path dir = scratch_directory("keyed_template");
  const std::string keyed = run_gsdsim(dir, "", "--template toml").console;
  const std::string positional = run_gsdsim(dir, "", "--template").console;
  const testing::RunResult from_keyed = run_gsdsim(dir, keyed, "--format toml --threads 2");
  ASSERT_EQ(from_keyed.status, 0) << from_keyed.console;
  EXPECT_EQ(from_keyed.console.rfind("Start simulation, it will take approximately", 0), 0u)
      << from_keyed.console;  // no default was needed
  const std::string keyed_report = testing::read_file(dir / "design.rpt");
  const testing::RunResult from_positional = run_gsdsim(dir, positional, "--threads 2");
  EXPECT_EQ(from_keyed.console, from_positional.console);
  EXPECT_EQ(keyed_report, testing::read_file(dir / "design.rpt"));
  EXPECT_EQ(run_gsdsim(dir, keyed, "--format toml --convert classic").console, positional);
  fs::remove_all(dir);
}

TEST(KeyedCommandLine, ConvertWritesOnlyTheConvertedDesign) {
  const fs::path dir = scratch_directory("keyed_convert");
  const testing::RunResult keyed = run_gsdsim(dir, "", "--convert toml " +
                                                          (kExamples / "haybittle.dsn").string());
  EXPECT_EQ(keyed.status, 0);
  EXPECT_EQ(keyed.console, testing::read_file(kExamples / "haybittle.toml"));
  const testing::RunResult classic =
      run_gsdsim(dir, keyed.console, "--format toml --convert classic");
  EXPECT_EQ(classic.status, 0);
  EXPECT_EQ(classic.console.substr(0, 2), "* ");
  EXPECT_TRUE(fs::is_empty(dir));
  // A positional design the reader refuses is refused by the conversion.
  const testing::RunResult refused = run_gsdsim(dir, "only a comment\n", "--convert toml");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.errors.rfind("gsdsim: error: line 2: the design ends here", 0), 0u)
      << refused.errors;
  fs::remove_all(dir);
}

TEST(KeyedCommandLine, EventDrivenLooksHaveNoPositionalFile) {
  const fs::path dir = scratch_directory("keyed_events");
  const std::string design =
      "report = \"ev.rpt\"\n[looks]\nevents = [20, 40]\nmax_time = 30.0\n"
      "[control]\nmedian = 12.0\n[treatment]\nhazard_ratio = 0.7\n"
      "[accrual]\nperiod = 12.0\nsubjects = 100\n";
  const testing::RunResult converted = run_gsdsim(dir, design, "--format toml --convert classic");
  EXPECT_EQ(converted.status, 1);
  EXPECT_EQ(converted.errors,
            "gsdsim: error: looks.events: the positional design file has no event-driven "
            "looks, so this design cannot be written as one\n");
  const testing::RunResult keyed = run_gsdsim(dir, design, "--format toml --convert toml");
  EXPECT_EQ(keyed.status, 0) << keyed.console;
  EXPECT_NE(keyed.console.find("events = [20, 40]\nmax_time = 30.0\n"), std::string::npos)
      << keyed.console;
  EXPECT_TRUE(fs::is_empty(dir));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd

namespace gsd {
namespace {

// Until the engine times looks by events, an event-driven design is refused
// rather than simulated at its placeholder calendar times.
TEST(KeyedCommandLine, AnEventDrivenDesignIsNotRunAtPlaceholderTimes) {
  const fs::path dir = scratch_directory("keyed_events_run");
  const std::string design =
      "report = \"ev.rpt\"\n[looks]\nevents = [20, 40]\nmax_time = 30.0\n"
      "[accrual]\nperiod = 12.0\nsubjects = 100\n";
  for (const char* arguments : {"--format toml", "--format toml --check"}) {
    const testing::RunResult run = run_gsdsim(dir, design, arguments);
    EXPECT_EQ(run.status, 1) << arguments;
    EXPECT_EQ(run.console, "gsdsim: error: looks.events: event-driven looks are not simulated "
                           "yet; give calendar look times (looks.times) instead\n");
  }
  EXPECT_TRUE(fs::is_empty(dir));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd
