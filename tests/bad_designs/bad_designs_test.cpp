// The table of faults (tests/bad_designs/expected.txt): each design file
// runs through the program under its setup (an earlier report, a signal, a
// full console, a second run at once, ...), which must end with the listed
// exit status and message and leave exactly the listed files: a failed run
// never leaves a new report and never touches an earlier one.

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

const fs::path kTableDir = fs::path(GSDSIM_SOURCE_DIR) / "tests" / "bad_designs";
constexpr const char* kReportName = "bad.rpt";
const std::string kEarlierReport = "The report of an earlier run, which must survive\n";

struct Case {
  std::string file;
  int status = -1;
  std::string setup;
  std::string files;
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
    fields >> c.file >> c.status >> c.setup >> c.files;
    std::getline(fields >> std::ws, c.message);
    cases.push_back(c);
  }
  return cases;
}

std::string label(const Case& c) { return c.file + " (" + c.setup + ")"; }

struct Outcome {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string console;
  std::string errors;
};

// Starts gsdsim in `dir` with `arguments`, standard input from `input`,
// standard output to `out` and standard error to `err`.
pid_t start_gsdsim(const fs::path& dir, const std::vector<std::string>& arguments, int input,
                   const std::string& out, const std::string& err) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (::chdir(dir.c_str()) != 0) ::_exit(126);
  const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (out_fd < 0 || err_fd < 0) ::_exit(126);
  ::dup2(input, 0);
  ::dup2(out_fd, 1);
  ::dup2(err_fd, 2);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(GSDSIM_EXECUTABLE));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(GSDSIM_EXECUTABLE, argv.data());
  ::_exit(127);
}

int wait_for(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

bool has_temporary_file(const fs::path& dir) {
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (entry.path().filename().string().rfind(std::string(".") + kReportName + ".", 0) == 0) {
      return true;
    }
  }
  return false;
}

// Runs the case's design under its setup in the fresh directory `dir`.
Outcome run_case(const Case& c, const fs::path& dir, const std::string& design) {
  const std::string design_file = dir.string() + ".design";
  const std::string out = dir.string() + ".out";
  const std::string err = dir.string() + ".err";
  testing::write_file(design_file, design);
  std::vector<std::string> arguments;
  std::string console = out;
  const bool earlier = c.setup == "old-report" || c.setup == "sigint" || c.setup == "sigterm" ||
                       c.setup == "console-full" || c.setup == "json-onto-report" ||
                       c.setup == "json-onto-design";
  if (earlier) testing::write_file(dir / kReportName, kEarlierReport);
  if (c.setup == "link-to-dev-full") fs::create_symlink("/dev/full", dir / kReportName);
  if (c.setup == "report-is-directory") fs::create_directory(dir / kReportName);
  if (c.setup == "console-full") console = "/dev/full";
  if (c.setup == "json-onto-report") arguments = {"--json", kReportName};
  if (c.setup == "json-onto-design") {
    testing::write_file(dir / "design.dsn", design);
    arguments = {"--json", "design.dsn", "design.dsn"};
  }
  if (c.setup == "report-is-design") {
    testing::write_file(dir / kReportName, design);
    arguments = {kReportName};
  }

  Outcome outcome;
  int input = ::open(design_file.c_str(), O_RDONLY);
  int terminal = -1;
  if (c.setup == "terminal-input") {
    ::close(input);
    if (::openpty(&terminal, &input, nullptr, nullptr, nullptr) != 0) return outcome;
    // The program must not hold the terminal's other end open itself.
    ::fcntl(terminal, F_SETFD, FD_CLOEXEC);
  }
  const pid_t pid = start_gsdsim(dir, arguments, input, console, err);
  ::close(input);
  if (c.setup == "terminal-input") {
    // The program waits for the first line; the terminal then goes away.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::close(terminal);
  }
  if (c.setup == "concurrent") {
    const int second_input = ::open(design_file.c_str(), O_RDONLY);
    const pid_t second = start_gsdsim(dir, {}, second_input, out + "2", err + "2");
    ::close(second_input);
    EXPECT_EQ(wait_for(second), 0) << label(c) << ": the second run";
    fs::remove(out + "2");
    fs::remove(err + "2");
  }
  if (c.setup == "sigint" || c.setup == "sigterm") {
    // Once the report has been started, the run is well under way.
    for (int i = 0; i < 1000 && !has_temporary_file(dir); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(has_temporary_file(dir)) << label(c) << ": no temporary report was started";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(pid, c.setup == "sigint" ? SIGINT : SIGTERM);
  }
  outcome.status = wait_for(pid);
  if (console == out) outcome.console = testing::read_file(out);
  outcome.errors = testing::read_file(err);
  fs::remove(design_file);
  fs::remove(out);
  fs::remove(err);
  return outcome;
}

// The files the run left in `dir`, against the table's column.
void expect_files(const Case& c, const fs::path& dir, const std::string& design) {
  std::set<std::string> expected;
  const fs::path report = dir / kReportName;
  if (c.files == "old") {
    expected.insert(kReportName);
    const std::string before = c.setup == "report-is-design" ? design : kEarlierReport;
    EXPECT_EQ(testing::read_file(report), before) << label(c) << ": the earlier file changed";
  } else if (c.files == "incomplete") {
    expected.insert(std::string(kReportName) + ".incomplete");
    const std::string kept = testing::read_file(dir / (std::string(kReportName) + ".incomplete"));
    EXPECT_NE(kept.find("The seed ="), std::string::npos) << label(c);
    EXPECT_EQ(kept.find("The results of simulation"), std::string::npos) << label(c);
    if (c.setup == "old-report") {
      expected.insert(kReportName);
      EXPECT_EQ(testing::read_file(report), kEarlierReport) << label(c);
    }
  } else if (c.files == "new") {
    expected.insert(kReportName);
    const std::string text = testing::read_file(report);
    EXPECT_NE(text.find("The results of simulation"), std::string::npos) << label(c);
    EXPECT_EQ(text.find('\0'), std::string::npos) << label(c);
    EXPECT_EQ(text.back(), '\n') << label(c);
  } else if (c.files == "link") {
    expected.insert(kReportName);
    EXPECT_TRUE(fs::is_symlink(report)) << label(c) << ": the link was replaced";
  } else if (c.files == "directory") {
    expected.insert(kReportName);
    EXPECT_TRUE(fs::is_directory(report)) << label(c) << ": the directory was replaced";
  } else {
    EXPECT_EQ(c.files, "none") << label(c) << ": unknown files column";
  }
  if (c.setup == "json-onto-design") {
    expected.insert("design.dsn");
    EXPECT_EQ(testing::read_file(dir / "design.dsn"), design) << label(c) << ": the design changed";
  }
  std::set<std::string> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    found.insert(entry.path().filename().string());
  }
  EXPECT_EQ(found, expected) << label(c) << ": the files left";
}

// The status and the message.
void expect_outcome(const Case& c, const Outcome& outcome, const std::string& report) {
  const std::string all = outcome.console + "\n[standard error]\n" + outcome.errors;
  EXPECT_EQ(outcome.status, c.status) << label(c) << ":\n" << all;
  if (c.status == 0) {
    const std::string& where = c.setup == "warning"      ? outcome.errors
                               : c.setup == "report-has" ? report
                                                         : outcome.console;
    const std::string text = c.setup == "warning" ? "gsdsim: warning: " + c.message : c.message;
    EXPECT_NE(where.find(text), std::string::npos) << label(c) << ": no \"" << text << "\" in\n"
                                                   << all;
    EXPECT_EQ(outcome.console.find("gsdsim: error:"), std::string::npos) << label(c);
    return;
  }
  // A failed run: one error line, the last of its output; on standard error
  // when the console is gone or a signal ended the run.
  const bool on_errors = c.setup == "console-full" || c.setup == "sigint" || c.setup == "sigterm";
  const std::string& where = on_errors ? outcome.errors : outcome.console;
  const std::string expected = "gsdsim: error: " + c.message;
  EXPECT_NE(where.find(expected), std::string::npos)
      << label(c) << ": expected \"" << expected << "\" in\n" << all;
  const std::size_t at = where.find("gsdsim: error: ");
  EXPECT_EQ(where.find("gsdsim: error: ", at + 1), std::string::npos) << label(c);
  EXPECT_EQ(where.find('\n', at), where.size() - 1) << label(c);
  if (c.setup == "terminal-input") {
    EXPECT_NE(outcome.errors.find("gsdsim: reading the design from the terminal"),
              std::string::npos)
        << label(c) << ": no hint\n" << all;
  }
}

TEST(BadDesigns, TheTableAndTheDesignFilesMatch) {
  std::set<std::string> listed;
  std::set<std::string> cases;
  for (const Case& c : read_table()) {
    EXPECT_TRUE(cases.insert(c.file + " " + c.setup).second) << label(c) << " is listed twice";
    listed.insert(c.file);
    EXPECT_TRUE(fs::exists(kTableDir / c.file)) << c.file << " is listed but missing";
    EXPECT_TRUE((c.status >= 0 && c.status <= 4) || c.status == 130 || c.status == 143)
        << label(c);
    EXPECT_FALSE(c.message.empty()) << label(c);
    EXPECT_FALSE(c.files.empty()) << label(c);
  }
  EXPECT_GE(cases.size(), 50u);
  for (const fs::directory_entry& entry : fs::directory_iterator(kTableDir)) {
    if (entry.path().extension() != ".dsn") continue;
    EXPECT_TRUE(listed.count(entry.path().filename().string()) == 1)
        << entry.path().filename() << " has no line in expected.txt";
  }
}

TEST(BadDesigns, EveryCaseEndsWithItsStatusMessageAndFiles) {
  int run = 0;
  for (const Case& c : read_table()) {
    if (c.setup == "readonly-dir") continue;  // see the test below
    const fs::path dir = testing::scratch_directory("bad_" + c.file + "_" + c.setup.substr(0, 8));
    const std::string design = testing::read_file(kTableDir / c.file);
    const Outcome outcome = run_case(c, dir, design);
    // Never read through a link (it leads to /dev/full, whose zeros never end).
    const std::string report = fs::is_regular_file(fs::symlink_status(dir / kReportName))
                                   ? testing::read_file(dir / kReportName)
                                   : std::string();
    expect_outcome(c, outcome, report);
    expect_files(c, dir, design);
    if (c.setup.rfind("same-as:", 0) == 0) {
      // The same console and report as the other design, run alone.
      const fs::path other_dir = testing::scratch_directory("bad_same_as");
      const testing::RunResult other = testing::run_gsdsim(
          other_dir, testing::read_file(kTableDir / c.setup.substr(8)));
      EXPECT_EQ(other.status, 0) << label(c);
      EXPECT_EQ(outcome.console, other.console) << label(c);
      EXPECT_EQ(report, testing::read_file(other_dir / kReportName)) << label(c);
      fs::remove_all(other_dir);
    }
    if (c.setup == "concurrent") {
      // Both runs wrote complete reports of the same bytes; the name holds one.
      const fs::path alone_dir = testing::scratch_directory("bad_alone");
      EXPECT_EQ(testing::run_gsdsim(alone_dir, design).status, 0);
      EXPECT_EQ(report, testing::read_file(alone_dir / kReportName)) << label(c);
      fs::remove_all(alone_dir);
    }
    fs::remove_all(dir);
    ++run;
  }
  EXPECT_GE(run, 50);
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
    Outcome outcome;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
      outcome.console.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // Standard error is merged into the console here: drop the warnings.
    std::string console;
    std::istringstream lines(outcome.console);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("gsdsim: warning: ", 0) != 0) console += line + "\n";
    }
    outcome.console = console;
    expect_outcome(c, outcome, "");
    expect_files(c, dir, "");
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
    fs::remove(design);
    ++run;
  }
  EXPECT_EQ(run, 1);
}

// The same failure as root: the run's directory is removed while the
// program waits for line 14, so creating the report fails (ENOENT).
TEST(BadDesigns, AReportWhoseDirectoryIsGoneIsAnError) {
  const fs::path dir = testing::scratch_directory("bad_removed_dir");
  const fs::path design = kTableDir / "report_in_readonly_dir.dsn";
  const std::string command = "cd '" + dir.string() + "' && { head -n 13 '" + design.string() +
                              "'; rmdir '" + dir.string() + "'; tail -n +14 '" +
                              design.string() + "'; } | '" GSDSIM_EXECUTABLE "' 2>/dev/null";
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
