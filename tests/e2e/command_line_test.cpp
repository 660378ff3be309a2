// The options beside the design-file-only run: a design file argument,
// --template, --check, --help and --version, and their errors.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "support/design_text.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;
using testing::design_text;
using testing::run_gsdsim;
using testing::scratch_directory;

TEST(CommandLineRun, ADesignFileArgumentGivesTheSameRunAsStandardInput) {
  const std::string design = design_text({{37, "50"}});
  const fs::path dir = scratch_directory("file_argument");
  const testing::RunResult piped = run_gsdsim(dir, design);
  const std::string piped_report = testing::read_file(dir / "test.rpt");
  fs::remove(dir / "test.rpt");
  testing::write_file(dir / "mine.dsn", design);
  const testing::RunResult named = run_gsdsim(dir, "", "mine.dsn");
  EXPECT_EQ(named.status, 0) << named.console;
  EXPECT_EQ(named.console, piped.console);
  EXPECT_EQ(testing::read_file(dir / "test.rpt"), piped_report);
  fs::remove_all(dir);
}

TEST(CommandLineRun, TheTemplateRunsWithoutNotes) {
  const fs::path dir = scratch_directory("template");
  const testing::RunResult made = run_gsdsim(dir, "", "--template");
  ASSERT_EQ(made.status, 0);
  const testing::RunResult run = run_gsdsim(dir, made.console);
  EXPECT_EQ(run.status, 0) << run.console;
  // No default had to be applied: the console starts with the estimate.
  EXPECT_EQ(run.console.rfind("Start simulation, it will take approximately", 0), 0u) << run.console;
  EXPECT_NE(testing::read_file(dir / "design.rpt").find("The average stopping time ="),
            std::string::npos);
  fs::remove_all(dir);
}

// Every value line of the README's design table is a value line of the
// template, introduced by a comment naming its line number, and every
// comment line of the table is a comment line of the template.
TEST(CommandLineRun, TheTemplateAgreesWithTheReadmeTable) {
  const fs::path dir = scratch_directory("template_table");
  const std::string text = run_gsdsim(dir, "", "--template").console;
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 145u);

  std::ifstream readme(fs::path(GSDSIM_SOURCE_DIR) / "README.md");
  std::set<int> value_lines;
  int rows = 0;
  bool in_table = false;
  for (std::string line; std::getline(readme, line);) {
    if (line.rfind("| line | item |", 0) == 0) in_table = true;
    if (!in_table) continue;
    if (line.rfind('|', 0) != 0) break;  // the table ends at its first other line
    // "| 21–22 | comment |" or "| 23 | look times t(1..K) |"
    int first = 0;
    int last = 0;
    char item[32] = {};
    if (std::sscanf(line.c_str(), "| %d–%d | %31[^|]", &first, &last, item) != 3) {
      if (std::sscanf(line.c_str(), "| %d | %31[^|]", &first, item) != 2) continue;
      last = first;
    }
    const bool comment = std::string(item).rfind("comment", 0) == 0;
    for (int n = first; n <= last; ++n) {
      ++rows;
      const std::string& template_line = lines.at(static_cast<std::size_t>(n - 1));
      EXPECT_EQ(template_line.rfind('*', 0) == 0, comment) << "line " << n << ": " << template_line;
      if (!comment) value_lines.insert(n);
    }
  }
  EXPECT_EQ(rows, 145);
  for (const int n : value_lines) {
    bool named = false;
    for (int k = n - 1; k >= 1 && lines[static_cast<std::size_t>(k - 1)].rfind('*', 0) == 0; --k) {
      named = named || lines[static_cast<std::size_t>(k - 1)].find("Line " + std::to_string(n) + ":") !=
                           std::string::npos;
    }
    EXPECT_TRUE(named) << "no comment names value line " << n;
  }
  fs::remove_all(dir);
}

TEST(CommandLineRun, CheckCreatesNoReport) {
  const fs::path dir = scratch_directory("check");
  testing::write_file(dir / "good.dsn", design_text());
  const testing::RunResult good = run_gsdsim(dir, "", "--check good.dsn");
  EXPECT_EQ(good.status, 0) << good.console;
  EXPECT_NE(good.console.find("The seed =       1234\n"), std::string::npos) << good.console;
  EXPECT_NE(good.console.find("The total number of subjects simulated =  200\n"), std::string::npos);
  EXPECT_NE(good.console.find(" The variance under the null are:\n"), std::string::npos);
  EXPECT_NE(good.console.find("Start simulation, it will take approximately"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "test.rpt"));

  testing::write_file(dir / "bad.dsn", design_text({{20, "16"}}));
  const testing::RunResult bad = run_gsdsim(dir, "", "--check bad.dsn");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.console.find("gsdsim: error: line 20: the number of looks K is 16"),
            std::string::npos)
      << bad.console;
  EXPECT_FALSE(fs::exists(dir / "test.rpt"));
  fs::remove_all(dir);
}

TEST(CommandLineRun, UsageErrorsAndInformation) {
  const fs::path dir = scratch_directory("usage");
  struct Case { const char* arguments; int status; const char* text; };
  const Case cases[] = {
      {"--fast", 4, "gsdsim: error: unknown option \"--fast\" (see gsdsim --help)\n"},
      {"missing.dsn", 1, "gsdsim: error: cannot open the design file \"missing.dsn\"\n"},
      {"--version", 0, "gsdsim 0.1.0\n"},
      {"--help", 0, "Usage: gsdsim [OPTIONS] [DESIGN]\n"},
  };
  for (const Case& c : cases) {
    const testing::RunResult result = run_gsdsim(dir, "", c.arguments);
    EXPECT_EQ(result.status, c.status) << c.arguments;
    // Command-line errors go to standard error, everything else to the console.
    const std::string& out = c.status == 4 ? result.errors : result.console;
    EXPECT_EQ(out.rfind(c.text, 0), 0u) << c.arguments << ": " << out;
  }
  EXPECT_TRUE(fs::is_empty(dir));
  fs::remove_all(dir);
}

// The JSON results parse, agree with the report's figures, and the per-look
// stopping counts of every statistic add up to the number of trials.
TEST(CommandLineRun, JsonResultsAgreeWithTheReport) {
  const fs::path dir = scratch_directory("json");
  const std::string design = design_text({{20, "3"}, {23, "8 14 20"}, {26, "2"}, {30, "0 1"},
                                          {33, "0 0"}, {37, "300"}, {106, "0.6"}});
  const testing::RunResult plain = run_gsdsim(dir, design);
  const std::string plain_report = testing::read_file(dir / "test.rpt");
  const testing::RunResult run = run_gsdsim(dir, design, "--json results.json");
  ASSERT_EQ(run.status, 0) << run.console;
  // The JSON output changes nothing of the console output or the report.
  EXPECT_EQ(run.console, plain.console);
  EXPECT_EQ(testing::read_file(dir / "test.rpt"), plain_report);

  // Python reads the JSON and prints the report's way of writing the figures.
  const std::string script =
      "import json, sys\n"
      "d = json.load(open(sys.argv[1]))\n"
      "for s in d['statistics']:\n"
      "    stops = sum(l['stopped'] for l in s['looks']) + s['trials_without_stop']\n"
      "    assert stops == d['design']['sim_count'], stops\n"
      "    assert sum(l['rejected'] for l in s['looks']) == s['rejections']\n"
      "    print('power =%6.4f   s.d. = %7.5f' % (s['power'], s['sd']))\n"
      "    print('The average stopping time = %6.3f' % s['average_stopping_time'])\n"
      "print(d['calibration']['subject_count'], len(d['looks']))\n";
  testing::write_file(dir / "check.py", script);
  std::FILE* pipe = ::popen(("cd '" + dir.string() + "' && python3 check.py results.json 2>&1").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string printed;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) printed.append(buffer, n);
  EXPECT_EQ(::pclose(pipe), 0) << printed;
  std::istringstream lines(printed);
  std::string line;
  int statistics = 0;
  while (std::getline(lines, line)) {
    if (line.rfind("power =", 0) == 0) {
      ++statistics;
      EXPECT_NE(plain_report.find(line + "\n"), std::string::npos) << line;
    } else if (line.rfind("The average", 0) == 0) {
      EXPECT_NE(plain_report.find(line + "\n"), std::string::npos) << line;
    } else {
      EXPECT_EQ(line, "200 3");
    }
  }
  EXPECT_EQ(statistics, 2) << printed;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd
