// The table of bad keyed designs (tests/bad_keyed/expected.txt): each design
// runs through the program, which must end with the listed exit status and
// message and leave no file behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

const fs::path kTableDir = fs::path(GSDSIM_SOURCE_DIR) / "tests" / "bad_keyed";

struct Case {
  std::string file;
  int status = -1;
  std::string message;
};

std::vector<Case> read_table() {
  std::vector<Case> cases;
  std::ifstream in(kTableDir / "expected.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Case c;
    fields >> c.file >> c.status;
    std::getline(fields >> std::ws, c.message);
    cases.push_back(c);
  }
  return cases;
}

TEST(BadKeyedDesigns, TheTableAndTheDesignFilesMatch) {
  std::set<std::string> listed;
  for (const Case& c : read_table()) {
    EXPECT_TRUE(listed.insert(c.file).second) << c.file << " is listed twice";
    EXPECT_TRUE(fs::exists(kTableDir / c.file)) << c.file << " is listed but missing";
    EXPECT_FALSE(c.message.empty()) << c.file;
  }
  EXPECT_GE(listed.size(), 30u);
  for (const fs::directory_entry& entry : fs::directory_iterator(kTableDir)) {
    if (entry.path().extension() != ".toml") continue;
    EXPECT_EQ(listed.count(entry.path().filename().string()), 1u)
        << entry.path().filename() << " has no line in expected.txt";
  }
}

TEST(BadKeyedDesigns, EveryCaseEndsWithItsStatusAndMessageAndWritesNothing) {
  for (const Case& c : read_table()) {
    const fs::path dir = testing::scratch_directory("bad_keyed_" + c.file);
    const testing::RunResult result =
        testing::run_gsdsim(dir, testing::read_file(kTableDir / c.file), "--format toml");
    EXPECT_EQ(result.status, c.status) << c.file << ":\n" << result.console;
    // The error line is the whole console output: nothing was read to the end.
    EXPECT_EQ(result.console, "gsdsim: error: " + c.message + "\n") << c.file;
    EXPECT_TRUE(fs::is_empty(dir)) << c.file << ": the run left a file";
    fs::remove_all(dir);
  }
}

// --check and --convert refuse the same designs with the same messages
// (the converted text goes nowhere).
TEST(BadKeyedDesigns, CheckAndConvertRefuseThemAlike) {
  for (const char* file : {"unknown_key.toml", "median_and_times.toml", "looks_16.toml"}) {
    const std::string design = testing::read_file(kTableDir / file);
    for (const char* action : {"--check", "--convert classic"}) {
      const fs::path dir = testing::scratch_directory("bad_keyed_action");
      const testing::RunResult result =
          testing::run_gsdsim(dir, design, std::string("--format toml ") + action);
      EXPECT_EQ(result.status, 1) << file << " " << action;
      EXPECT_EQ(result.console.rfind("gsdsim: error: ", 0), 0u) << file << " " << action << "\n"
                                                                 << result.console;
      EXPECT_TRUE(fs::is_empty(dir));
      fs::remove_all(dir);
    }
  }
}

}  // namespace
}  // namespace gsd
