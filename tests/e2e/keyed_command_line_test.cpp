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
  EXPECT_EQ(refused.console.rfind("gsdsim: error: line 2: the design ends here", 0), 0u)
      << refused.console;
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
  EXPECT_EQ(converted.console,
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

// An event-driven design is calibrated at the expected times of its
// targets, never at the placeholder calendar times of its positional text
// (max_time * i / K: 15 and 30 here).
TEST(KeyedCommandLine, AnEventDrivenDesignIsNotRunAtPlaceholderTimes) {
  const fs::path dir = scratch_directory("keyed_events_run");
  const std::string design =
      "report = \"ev.rpt\"\n[looks]\nevents = [20, 40]\nmax_time = 30.0\n"
      "[accrual]\nperiod = 12.0\nsubjects = 100\n";
  const testing::RunResult run = run_gsdsim(dir, design, "--format toml --check");
  EXPECT_EQ(run.status, 0) << run.console;
  EXPECT_NE(run.console.find(" look  1:     20 events expected at"), std::string::npos)
      << run.console;
  EXPECT_EQ(run.console.find("Times of the interim analysis =  15.00 30.00"), std::string::npos)
      << run.console;
  EXPECT_TRUE(fs::is_empty(dir));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd

#include "support/design_text.h"

namespace gsd {
namespace {

// Codes that run the same in another form are converted with a comment
// naming each; the run keeps its console output and report.
TEST(KeyedCommandLine, CodesInAnotherFormConvertWithACommentAndRunTheSame) {
  const fs::path dir = scratch_directory("keyed_codes");
  const std::string positional = testing::design_text({{70, "7"}, {101, "3"}});
  const testing::RunResult converted = run_gsdsim(dir, positional, "--convert toml");
  ASSERT_EQ(converted.status, 0) << converted.console;
  EXPECT_NE(converted.console.find("#   line 70: the use-function code 7 (Siegmund's) is written as 4\n"
                                   "#   line 101: the mode 3 is written as 2 (hazard ratios)\n"),
            std::string::npos)
      << converted.console;
  const testing::RunResult expected = run_gsdsim(dir, positional);
  const std::string expected_report = testing::read_file(dir / "test.rpt");
  const testing::RunResult keyed = run_gsdsim(dir, converted.console, "--format toml");
  EXPECT_EQ(keyed.console, expected.console);
  EXPECT_EQ(testing::read_file(dir / "test.rpt"), expected_report);
  fs::remove_all(dir);
}

TEST(KeyedCommandLine, MalformedFormatOptionsAreCommandLineErrors) {
  const fs::path dir = scratch_directory("keyed_usage");
  for (const char* arguments : {"--format yaml", "--convert", "--convert json x.dsn", "--template=yaml"}) {
    const testing::RunResult result = run_gsdsim(dir, "", arguments);
    EXPECT_EQ(result.status, 4) << arguments;
    EXPECT_EQ(result.console.rfind("gsdsim: error: --", 0), 0u) << arguments << ": " << result.console;
  }
  EXPECT_TRUE(fs::is_empty(dir));
  fs::remove_all(dir);
}

TEST(KeyedCommandLine, APositionalDesignTheKeyedChecksRefuseIsNotConverted) {
  const fs::path dir = scratch_directory("keyed_not_converted");
  const testing::RunResult converted =
      run_gsdsim(dir, testing::design_text({{23, "10 30 20"}}), "--convert toml");
  EXPECT_EQ(converted.status, 1);
  EXPECT_EQ(converted.console,
            "gsdsim: error: the converted keyed design is refused: looks.times: value 3 is 20, "
            "but the values must increase (value 2 is 30)\n");
  EXPECT_TRUE(fs::is_empty(dir));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd
