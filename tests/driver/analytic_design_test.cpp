// gsdsim --analytic end to end: the shipped examples, the refused designs
// refused as a run refuses them, degenerate information, and the lines
// --check and --json gain.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/design_text.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;
using testing::design_text;
using testing::run_gsdsim;
using testing::scratch_directory;

const fs::path kSource = GSDSIM_SOURCE_DIR;

int count_of(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// Positional examples and their keyed twins alike.
TEST(AnalyticDesign, EveryExampleGivesItsTableWithoutAReport) {
  for (const fs::directory_entry& entry : fs::directory_iterator(kSource / "examples")) {
    if (entry.path().extension() != ".dsn" && entry.path().extension() != ".toml") continue;
    const fs::path dir = scratch_directory("analytic_example");
    const testing::RunResult run =
        run_gsdsim(dir, "", "--analytic '" + entry.path().string() + "'");
    EXPECT_EQ(run.status, 0) << entry.path() << "\n" << run.console;
    EXPECT_GE(count_of(run.console, " power = "), 1) << run.console;
    EXPECT_EQ(count_of(run.console, " power = "), count_of(run.console, "\nStatistic "));
    EXPECT_EQ(run.console.find("nan"), std::string::npos) << run.console;
    EXPECT_TRUE(fs::is_empty(dir)) << entry.path() << ": a file was created";
    fs::remove_all(dir);
  }
}

// Every refused design of the table is refused by --analytic with the
// run's status and message. Excepted: report failures (--analytic writes no
// report) and failures inside the trial loop ("trial N: ..."), which
// --analytic never enters.
TEST(AnalyticDesign, RefusesWhatTheRunRefuses) {
  std::ifstream table(kSource / "tests" / "bad_designs" / "expected.txt");
  std::string line;
  int checked = 0;
  while (std::getline(table, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string file, setup, message;
    int status = 0;
    fields >> file >> status >> setup;
    std::getline(fields >> std::ws, message);
    if (status == 2 || message.rfind("trial ", 0) == 0) continue;
    const fs::path dir = scratch_directory("analytic_bad");
    const std::string design = testing::read_file(kSource / "tests" / "bad_designs" / file);
    const testing::RunResult run = run_gsdsim(dir, design, "--analytic");
    EXPECT_EQ(run.status, status) << file << "\n" << run.console;
    EXPECT_NE(run.console.find("gsdsim: error: " + message), std::string::npos)
        << file << "\n" << run.console;
    EXPECT_TRUE(fs::is_empty(dir)) << file;
    fs::remove_all(dir);
    ++checked;
  }
  EXPECT_GE(checked, 20);
}

TEST(AnalyticDesign, InformationThatDoesNotGrowIsARunError) {
  const fs::path dir = scratch_directory("analytic_flat");
  const testing::RunResult run =
      run_gsdsim(dir, design_text({{23, "10 20 20"}}), "--analytic");
  EXPECT_EQ(run.status, 3) << run.console;
  EXPECT_NE(run.console.find("gsdsim: error: the analytic power cannot be computed: the expected "
                             "information of statistic 1 (rho = 0, tau = 0) does not grow "
                             "between look 2 (time 20"),
            std::string::npos)
      << run.console;
  EXPECT_TRUE(fs::is_empty(dir));
  fs::remove_all(dir);
}

// --check keeps its output and adds the analytic power after it; a run with
// --json gains the "analytic" member, one entry per statistic.
TEST(AnalyticDesign, CheckAndJsonShowTheAnalyticPower) {
  const fs::path dir = scratch_directory("analytic_check");
  const std::string design = design_text({{26, "2"}, {30, "0 1"}, {33, "0 0"}});
  const testing::RunResult check = run_gsdsim(dir, design, "--check");
  EXPECT_EQ(check.status, 0) << check.console;
  const std::size_t estimate = check.console.find("on a PC equiped with a P-II 300 processor.\n");
  const std::size_t first = check.console.find("Analytic power of statistic 1 (rho = 0, tau = 0): ");
  ASSERT_NE(estimate, std::string::npos) << check.console;
  ASSERT_NE(first, std::string::npos) << check.console;
  EXPECT_EQ(first, estimate + std::string("on a PC equiped with a P-II 300 processor.\n").size());
  EXPECT_NE(check.console.find("Analytic power of statistic 2 (rho = 1, tau = 0): "),
            std::string::npos);

  const testing::RunResult flat = run_gsdsim(dir, design_text({{23, "10 20 20"}}), "--check");
  EXPECT_EQ(flat.status, 0) << "the design can still be simulated\n" << flat.console;
  EXPECT_NE(flat.console.find("Analytic power: not available: the analytic power cannot be "
                              "computed"),
            std::string::npos)
      << flat.console;

  const testing::RunResult run = run_gsdsim(dir, design, "--threads 1 --json results.json");
  ASSERT_EQ(run.status, 0) << run.console;
  const std::string json = testing::read_file(dir / "results.json");
  const std::size_t analytic = json.find("\"analytic\": {");
  ASSERT_NE(analytic, std::string::npos) << json;
  EXPECT_EQ(count_of(json.substr(analytic), "\"expected_stopping_time\": "), 2);
  EXPECT_EQ(count_of(json.substr(analytic), "\"reject_probability\": "), 2 * 3);
  EXPECT_EQ(count_of(json.substr(analytic), "\"information\": "), 2 * 3);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd
