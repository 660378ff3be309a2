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


// The report name a design's run writes: the first word of line 14 of a
// positional design, the value of `report` of a keyed one.
std::string report_file_of(const fs::path& path, const std::string& design) {
  if (path.extension() != ".toml") return testing::report_name_of(design);
  const std::size_t key = design.find("\nreport = \"");
  const std::size_t at = design.find('"', key) + 1;
  return design.substr(at, design.find('"', at) - at);
}

// Runs every design of `directory` whose name ends in `extension` and
// compares with expected/<prefix><name>; keyed designs (.toml) are read
// with --format toml.
int compare_with_expected(const fs::path& directory, const std::string& prefix,
                          const std::string& extension = ".dsn") {
  int designs = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    if (entry.path().extension() != extension) continue;
    // A keyed design without a positional twin (event-driven looks, which
    // the positional file cannot hold) has no reference run here; see
    // event_driven_example_test.cpp.
    fs::path twin = entry.path();
    twin.replace_extension(".dsn");
    if (extension == ".toml" && !fs::exists(twin)) continue;
    const std::string name = prefix + entry.path().stem().string();
    const std::string design = testing::read_file(entry.path());
    const fs::path dir = testing::scratch_directory("golden_" + name + extension);
    const testing::RunResult run =
        testing::run_gsdsim(dir, design, extension == ".toml" ? "--format toml" : "");
    EXPECT_EQ(run.status, 0) << name << extension << "\n" << run.console;
    EXPECT_EQ(run.console, testing::read_file(kE2eDir / "expected" / (name + ".console")))
        << name << extension;
    EXPECT_EQ(testing::read_file(dir / report_file_of(entry.path(), design)),
              testing::read_file(kE2eDir / "expected" / (name + ".report")))
        << name << extension;
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

// The keyed twin examples/<name>.toml of each positional example gives the
// positional example's console and report, byte for byte.
TEST(Golden, EveryKeyedExampleGivesItsTwinsConsoleAndReport) {
  EXPECT_EQ(compare_with_expected(fs::path(GSDSIM_SOURCE_DIR) / "examples", "example_", ".toml"),
            4);
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
    if (entry.path().extension() != ".dsn") continue;
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
