// Every shipped positional design (examples, test designs, benchmark
// designs) converted to a keyed design, and back, runs to the console
// output and report of the positional design, byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(GSDSIM_SOURCE_DIR);

struct RunOutput {
  int status = -1;
  std::string console;
  std::string report;
};

// Runs `design` with `arguments` and returns the console and the report
// named `report_name`.
RunOutput run(const std::string& design, const std::string& arguments, const std::string& report_name) {
  const fs::path dir = testing::scratch_directory("keyed_round_trip");
  const testing::RunResult result = testing::run_gsdsim(dir, design, arguments);
  RunOutput r{result.status, result.console, testing::read_file(dir / report_name)};
  fs::remove_all(dir);
  return r;
}

std::string line_of(const std::string& design, int number) {
  std::istringstream in(design);
  std::string line;
  for (int n = 1; n <= number && std::getline(in, line); ++n) {
  }
  return line;
}

// The large benchmark design runs 1000 trials of 7100 subjects; its first
// 40 trials cover every path of its looks.
std::string shortened(const fs::path& path) {
  std::string design = testing::read_file(path);
  if (path.stem() != "large") return design;
  std::istringstream in(design);
  std::string out;
  std::string line;
  for (int n = 1; std::getline(in, line); ++n) out += (n == 37 ? "40" : line) + "\n";
  return out;
}

TEST(KeyedRoundTrip, EveryShippedDesignRunsTheSameAsKeyedAndBack) {
  int designs = 0;
  for (const fs::path& dir : {kSource / "examples", kSource / "tests" / "e2e" / "designs",
                             kSource / "bench" / "designs"}) {
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (entry.path().extension() != ".dsn") continue;
      const std::string name = entry.path().filename().string();
      const std::string positional = shortened(entry.path());
      std::string report_name = line_of(positional, 14);
      report_name = report_name.substr(0, report_name.find(' '));

      const RunOutput expected = run(positional, "", report_name);
      ASSERT_EQ(expected.status, 0) << name << "\n" << expected.console;
      const RunOutput keyed = run(positional, "--convert toml", "none");
      ASSERT_EQ(keyed.status, 0) << name << "\n" << keyed.console;
      EXPECT_NE(keyed.console.find("report = \"" + report_name + "\""), std::string::npos) << name;
      const RunOutput from_keyed = run(keyed.console, "--format toml", report_name);
      EXPECT_EQ(from_keyed.status, 0) << name;
      EXPECT_EQ(from_keyed.console, expected.console) << name;
      EXPECT_EQ(from_keyed.report, expected.report) << name;

      const RunOutput back = run(keyed.console, "--format toml --convert classic", "none");
      ASSERT_EQ(back.status, 0) << name << "\n" << back.console;
      const RunOutput from_back = run(back.console, "", report_name);
      EXPECT_EQ(from_back.console, expected.console) << name;
      EXPECT_EQ(from_back.report, expected.report) << name;
      // Converting the keyed design again gives the same keyed design.
      EXPECT_EQ(run(back.console, "--convert toml", "none").console, keyed.console) << name;
      ++designs;
    }
  }
  EXPECT_GE(designs, 18);
}

}  // namespace
}  // namespace gsd
