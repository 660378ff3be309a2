// Complete runs compared byte for byte with reviewed console output and
// reports (tests/e2e/expected, rewritten only by regenerate_expected.sh).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/design_text.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

const fs::path kE2eDir = fs::path(GSDSIM_SOURCE_DIR) / "tests" / "e2e";


// Runs every design of `directory` and compares with expected/<prefix><name>.
int compare_with_expected(const fs::path& directory, const std::string& prefix) {
  int designs = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    const std::string name = prefix + entry.path().stem().string();
    const std::string design = testing::read_file(entry.path());
    const fs::path dir = testing::scratch_directory("golden_" + name);
    const testing::RunResult run = testing::run_gsdsim(dir, design);
    EXPECT_EQ(run.status, 0) << name << "\n" << run.console;
    EXPECT_EQ(run.console, testing::read_file(kE2eDir / "expected" / (name + ".console"))) << name;
    EXPECT_EQ(testing::read_file(dir / testing::report_name_of(design)),
              testing::read_file(kE2eDir / "expected" / (name + ".report")))
        << name;
    fs::remove_all(dir);
    ++designs;
  }
  return designs;
}

TEST(Golden, EveryDesignGivesItsExpectedConsoleAndReport) {
  EXPECT_GE(compare_with_expected(kE2eDir / "designs", ""), 8);
}

TEST(Golden, EveryExampleGivesItsExpectedConsoleAndReport) {
  EXPECT_EQ(compare_with_expected(fs::path(GSDSIM_SOURCE_DIR) / "examples", "example_"), 4);
}

TEST(Golden, ASecondRunGivesTheSameBytesAndReplacesTheReport) {
  const std::string design = testing::read_file(kE2eDir / "designs" / "five_stats.dsn");
  const fs::path dir = testing::scratch_directory("twice");
  testing::write_file(dir / "five.rpt", std::string(100000, 'x'));
  const testing::RunResult first = testing::run_gsdsim(dir, design);
  const std::string first_report = testing::read_file(dir / "five.rpt");
  const testing::RunResult second = testing::run_gsdsim(dir, design);
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.console, second.console);
  EXPECT_EQ(first_report, testing::read_file(dir / "five.rpt"));
  EXPECT_EQ(first_report.find("xxxxxxxx"), std::string::npos);  // nothing of the old file is left
  fs::remove_all(dir);
}

TEST(Golden, ExampleDesignsRunToACompleteReport) {
  for (const fs::directory_entry& entry :
       fs::directory_iterator(fs::path(GSDSIM_SOURCE_DIR) / "examples")) {
    const std::string design = testing::read_file(entry.path());
    const fs::path dir = testing::scratch_directory("example");
    const testing::RunResult run = testing::run_gsdsim(dir, design);
    EXPECT_EQ(run.status, 0) << entry.path() << "\n" << run.console;
    const std::string report = testing::read_file(dir / testing::report_name_of(design));
    EXPECT_NE(report.find("The average stopping time ="), std::string::npos) << entry.path();
    fs::remove_all(dir);
  }
}

}  // namespace
}  // namespace gsd
