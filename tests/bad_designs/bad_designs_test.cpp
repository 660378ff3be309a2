// The table of bad designs (tests/bad_designs/expected.txt): each design file
// runs through the program, which must end with the listed exit status and
// message, and leave no report, an empty one (refused designs) or one
// without results (computations stopped).

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "design/design_layout.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

const fs::path kTableDir = fs::path(GSDSIM_SOURCE_DIR) / "tests" / "bad_designs";
constexpr const char* kReportName = "bad.rpt";

struct Case {
  std::string file;
  int status = -1;
  std::string setup;
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
    fields >> c.file >> c.status >> c.setup;
    std::getline(fields >> std::ws, c.message);
    cases.push_back(c);
  }
  return cases;
}

// Runs `command_prefix gsdsim < design` in `dir` and checks the outcome.
void expect_outcome(const Case& c, const fs::path& dir, const testing::RunResult& result) {
  EXPECT_EQ(result.status, c.status) << c.file << ":\n" << result.console;
  const std::string expected = "gsdsim: error: " + c.message;
  EXPECT_NE(result.console.find(expected), std::string::npos)
      << c.file << ": expected \"" << expected << "\" in\n" << result.console;
  // One error line, and it ends the console output.
  const std::size_t at = result.console.find("gsdsim: error: ");
  EXPECT_EQ(result.console.find("gsdsim: error: ", at + 1), std::string::npos) << c.file;
  EXPECT_EQ(result.console.find('\n', at), result.console.size() - 1) << c.file;
  // A refused design writes nothing: refused at or before the report
  // name, it made no report; after it, the report stays empty. A stopped
  // computation leaves what was written before the stop, but never results.
  const fs::path report = dir / kReportName;
  if (c.setup == "-" && c.status == 1) {
    const int line = std::atoi(c.message.c_str() + std::string("line ").size());
    ASSERT_EQ(c.message.rfind("line ", 0), 0u) << c.file << ": a refusal names its line";
    if (line <= value_line(DesignItem::kReportName)) {
      EXPECT_FALSE(fs::exists(report)) << c.file << ": a report was made before its name";
    } else {
      ASSERT_TRUE(fs::exists(report)) << c.file;
      EXPECT_EQ(fs::file_size(report), 0u) << c.file << ": a refused design wrote its report";
    }
  } else if (c.setup == "-" && fs::exists(report)) {
    EXPECT_EQ(testing::read_file(report).find("The results of simulation"), std::string::npos)
        << c.file;
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    EXPECT_EQ(entry.path().filename(), kReportName) << c.file << ": stray file";
  }
}

TEST(BadDesigns, TheTableAndTheDesignFilesMatch) {
  std::set<std::string> listed;
  for (const Case& c : read_table()) {
    EXPECT_TRUE(listed.insert(c.file).second) << c.file << " is listed twice";
    EXPECT_TRUE(fs::exists(kTableDir / c.file)) << c.file << " is listed but missing";
    EXPECT_TRUE(c.status >= 1 && c.status <= 3) << c.file;
    EXPECT_FALSE(c.message.empty()) << c.file;
  }
  EXPECT_GE(listed.size(), 25u);
  for (const fs::directory_entry& entry : fs::directory_iterator(kTableDir)) {
    if (entry.path().extension() != ".dsn") continue;
    EXPECT_TRUE(listed.count(entry.path().filename().string()) == 1)
        << entry.path().filename() << " has no line in expected.txt";
  }
}

TEST(BadDesigns, EveryCaseEndsWithItsStatusAndMessage) {
  int run = 0;
  for (const Case& c : read_table()) {
    if (c.setup == "readonly-dir") continue;  // see the test below
    const fs::path dir = testing::scratch_directory("bad_" + c.file);
    if (c.setup == "link-to-dev-full") {
      fs::create_symlink("/dev/full", dir / kReportName);
    } else if (c.setup == "report-is-directory") {
      fs::create_directory(dir / kReportName);
    } else {
      ASSERT_EQ(c.setup, "-") << c.file << ": unknown setup";
    }
    const testing::RunResult result =
        testing::run_gsdsim(dir, testing::read_file(kTableDir / c.file));
    expect_outcome(c, dir, result);
    if (c.setup == "link-to-dev-full") {
      EXPECT_TRUE(fs::is_symlink(dir / kReportName)) << "the link was replaced";
    }
    if (c.setup == "report-is-directory") {
      EXPECT_TRUE(fs::is_directory(dir / kReportName)) << "the directory was replaced";
    }
    fs::remove_all(dir);
    ++run;
  }
  EXPECT_GE(run, 25);
}

// Directory permissions do not stop root, and CI runs as root: there the
// program runs as the unprivileged user 65534 (through setpriv), so the
// refusal really comes from the permissions. Where that is impossible the
// test is skipped; the next test covers the same failed creation as root.
TEST(BadDesigns, AReportInAReadOnlyDirectoryIsAnError) {
  std::string prefix;
  if (::geteuid() == 0) {
    prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    const std::string probe = prefix + "test -x '" GSDSIM_EXECUTABLE "' 2>/dev/null";
    if (std::system(probe.c_str()) != 0) {
      GTEST_SKIP() << "running as root without a way to drop privileges (setpriv to uid "
                      "65534, with the executable reachable by it): directory permissions "
                      "cannot be tested here";
    }
  }
  int run = 0;
  for (const Case& c : read_table()) {
    if (c.setup != "readonly-dir") continue;
    const fs::path dir = testing::scratch_directory("bad_" + c.file);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                             fs::perms::group_exec | fs::perms::others_read |
                             fs::perms::others_exec);
    const fs::path design = dir.string() + ".design";
    testing::write_file(design, testing::read_file(kTableDir / c.file));
    fs::permissions(design, fs::perms::all);
    const std::string command = "cd '" + dir.string() + "' && " + prefix + "'" GSDSIM_EXECUTABLE
                                "' < '" + design.string() + "' 2>&1";
    testing::RunResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      result.console.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    expect_outcome(c, dir, result);
    EXPECT_FALSE(fs::exists(dir / kReportName));
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
    fs::remove(design);
    ++run;
  }
  EXPECT_EQ(run, 1);
}

// The same failure as root: the run's directory is removed while the
// program waits for the report name, so creating the report fails (ENOENT).
TEST(BadDesigns, AReportWhoseDirectoryIsGoneIsAnError) {
  const fs::path dir = testing::scratch_directory("bad_removed_dir");
  const fs::path design = kTableDir / "report_in_readonly_dir.dsn";
  const int name_line = value_line(DesignItem::kReportName);
  const std::string command = "cd '" + dir.string() + "' && { head -n " +
                              std::to_string(name_line - 1) + " '" + design.string() +
                              "'; rmdir '" + dir.string() + "'; tail -n +" +
                              std::to_string(name_line) + " '" +
                              design.string() + "'; } | '" GSDSIM_EXECUTABLE "' 2>&1";
  std::string console;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    console.append(buffer, n);
  }
  const int status = ::pclose(pipe);
  EXPECT_FALSE(fs::exists(dir));
  ASSERT_TRUE(WIFEXITED(status)) << console;
  EXPECT_EQ(WEXITSTATUS(status), 2) << console;
  EXPECT_NE(console.find("gsdsim: error: cannot create the report file \"bad.rpt\": No such "
                         "file or directory"),
            std::string::npos)
      << console;
}

}  // namespace
}  // namespace gsd
