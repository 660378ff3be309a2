// The number of threads never changes a run's bytes: every example, test and
// benchmark design gives the console output and report of the one-thread
// trial loop at every thread count. Runs are in-process (run_design with
// RunOptions), each in a scratch directory of its own.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/design_text.h"
#include "driver/run.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(GSDSIM_SOURCE_DIR);

struct Output {
  int status = -1;
  std::string console;
  std::string report;
};

std::string line_of(const std::string& design, int number) {
  std::istringstream in(design);
  std::string line;
  for (int n = 1; n <= number && std::getline(in, line); ++n) {
  }
  return line;
}

// The design with value line `number` replaced by `text`.
std::string with_line(const std::string& design, int number, const std::string& text) {
  std::istringstream in(design);
  std::string out;
  std::string line;
  for (int n = 1; std::getline(in, line); ++n) out += (n == number ? text : line) + "\n";
  return out;
}

Output run_in_process(const std::string& design, int threads, const std::string& name) {
  const fs::path dir = testing::scratch_directory("threads_" + name);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  std::istringstream input(design);
  std::FILE* console = std::tmpfile();
  Output out;
  RunOptions options;
  options.threads = threads;
  out.status = run_design(input, console, options);
  std::rewind(console);
  for (int c; (c = std::fgetc(console)) != EOF;) out.console.push_back(static_cast<char>(c));
  std::fclose(console);
  fs::current_path(previous);
  out.report = testing::read_file(dir / testing::report_name_of(design));
  fs::remove_all(dir);
  return out;
}

// Every design of a directory, with the number of trials cut to `trials`
// when positive (for designs too slow to run many times here).
std::vector<std::pair<std::string, std::string>> designs_in(const fs::path& dir) {
  std::vector<std::pair<std::string, std::string>> designs;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".dsn") continue;
    designs.emplace_back(entry.path().stem().string(), testing::read_file(entry.path()));
  }
  return designs;
}

void expect_same_at_every_count(const std::string& name, const std::string& design,
                                const std::vector<int>& counts) {
  const Output one = run_in_process(design, 1, name);
  ASSERT_EQ(one.status, 0) << name << "\n" << one.console;
  ASSERT_NE(one.report.find("The average stopping time ="), std::string::npos) << name;
  for (int threads : counts) {
    const Output many = run_in_process(design, threads, name);
    EXPECT_EQ(many.status, 0) << name << " threads " << threads;
    EXPECT_EQ(many.console, one.console) << name << " threads " << threads;
    EXPECT_EQ(many.report, one.report) << name << " threads " << threads;
  }
}

TEST(ThreadIdentity, TestDesignsGiveTheSameBytesAtOneToEightThreads) {
  const auto designs = designs_in(kSource / "tests" / "e2e" / "designs");
  EXPECT_GE(designs.size(), 11u);
  for (const auto& [name, design] : designs) {
    expect_same_at_every_count(name, design, {2, 3, 4, 5, 6, 7, 8});
  }
}

TEST(ThreadIdentity, ExampleDesignsGiveTheSameBytes) {
  for (const auto& [name, design] : designs_in(kSource / "examples")) {
    expect_same_at_every_count(name, design, {2, 3, 8});
  }
}

// The large design runs 1000 trials of 7100 subjects; here it keeps its
// first 40 trials, which still cover every path of its looks.
TEST(ThreadIdentity, BenchmarkDesignsGiveTheSameBytes) {
  for (const auto& [name, design] : designs_in(kSource / "bench" / "designs")) {
    const int trials_line = value_line(DesignItem::kSimCount);
    const std::string run = name == "large" ? with_line(design, trials_line, "40") : design;
    ASSERT_EQ(line_of(design, trials_line), "1000") << name;
    expect_same_at_every_count(name, run, {2, 3, 8});
  }
}

// A trial whose generation cannot finish stops the run after exactly the
// lines the one-thread loop writes for the trials before it.
TEST(ThreadIdentity, AFailedGenerationStopsAtTheSamePoint) {
  // Control subjects live long (S(1) = 0.999); one in 500 of them crosses
  // at time 5 into a treatment curve that practically never gets past 5.
  const std::string design = testing::design_text(
      {{11, "4"}, {14, "fails.rpt"}, {17, "-99"}, {37, "1000"}, {74, "1"}, {78, "1"},
       {83, "0.999"}, {93, "1"}, {96, "1"}, {101, "1"}, {106, "0.00001"}, {133, "1"},
       {135, "5"}, {137, "0.002"}});
  const Output one = run_in_process(design, 1, "fails");
  ASSERT_EQ(one.status, 3) << one.console;
  // Not the first trial, so that earlier trials are passed on first.
  ASSERT_EQ(one.console.find("trial 1:"), std::string::npos) << one.console;
  for (int threads : {2, 3}) {
    const Output many = run_in_process(design, threads, "fails");
    EXPECT_EQ(many.status, 3);
    EXPECT_EQ(many.console, one.console) << threads;
    EXPECT_EQ(many.report, one.report) << threads;
  }
}

}  // namespace
}  // namespace gsd
