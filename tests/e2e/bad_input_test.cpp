// Designs the program must refuse: a clear message naming the cause, a
// non-zero exit status, no new file, and an earlier report left as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/design_text.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;
using testing::design_text;
using testing::run_gsdsim;
using testing::scratch_directory;

std::string first_lines(const std::string& text, int count) {
  std::size_t end = 0;
  for (int i = 0; i < count && end != std::string::npos; ++i) end = text.find('\n', end) + 1;
  return text.substr(0, end);
}

TEST(BadInput, RefusedDesignsLeaveNoFileAndAnEarlierReportAsItWas) {
  struct Case {
    const char* name;
    std::string design;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"ends_at_line_20", first_lines(design_text(), 19), 1,
       "gsdsim: error: line 20: the design ends here, but the number of looks K is expected"},
      {"word_for_integer", design_text({{37, "many"}}), 1,
       "gsdsim: error: line 37: expected a whole number for the number of simulated trials"},
      {"real_for_integer", design_text({{20, "2.5"}}), 1,
       "gsdsim: error: line 20: expected a whole number for the number of looks K"},
      {"too_many_looks", design_text({{20, "16"}}), 1,
       "gsdsim: error: line 20: the number of looks K is 16, but at most 15 are supported"},
      {"overflowing_real", design_text({{40, "1e39"}}), 1,
       "gsdsim: error: line 40: expected a number for the type-I error, found \"1e39\""},
      {"too_many_subjects", design_text({{88, "100 100"}}), 1,
       "gsdsim: error: line 88: accrual rate times accrual period gives 10000 subjects"},
  };
  const std::string earlier = "The report of an earlier run\n";
  for (const Case& c : cases) {
    const fs::path dir = scratch_directory(c.name);
    testing::RunResult result = run_gsdsim(dir, c.design);
    EXPECT_EQ(result.status, c.status) << c.name << ": " << result.console;
    EXPECT_NE(result.console.find(c.message), std::string::npos) << c.name << ": " << result.console;
    EXPECT_TRUE(fs::is_empty(dir)) << c.name << ": a refused design left a file";
    testing::write_file(dir / "test.rpt", earlier);
    result = run_gsdsim(dir, c.design);
    EXPECT_EQ(result.status, c.status) << c.name << ": " << result.console;
    EXPECT_EQ(testing::read_file(dir / "test.rpt"), earlier) << c.name;
    int files = 0;
    for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 1) << c.name << ": a refused design left a file";
    fs::remove_all(dir);
  }
}

TEST(BadInput, ReportNamesOutsideTheDirectoryAreRefusedBeforeAnyFileIsMade) {
  struct Case { const char* name; const char* value; const char* message; };
  const Case cases[] = {
      {"slash", "'../x'", "line 14: the report name \"../x\" must be a plain file name"},
      {"absolute", "'/tmp/gsdx'", "line 14: the report name \"/tmp/gsdx\" must be a plain"},
      {"empty", "''", "line 14: the report name is empty"},
  };
  for (const Case& c : cases) {
    const fs::path dir = scratch_directory(c.name);
    const testing::RunResult result = run_gsdsim(dir, design_text({{14, c.value}}));
    EXPECT_TRUE(fs::is_empty(dir)) << c.name;
    EXPECT_EQ(result.status, 1) << c.name;
    EXPECT_NE(result.console.find(c.message), std::string::npos) << result.console;
    fs::remove_all(dir);
  }
}

TEST(BadInput, ReportsThatCannotBeWrittenAreErrors) {
  // A directory of the report's name, and a link (which could lead anywhere).
  const fs::path dir = scratch_directory("unwritable");
  fs::create_directory(dir / "test.rpt");
  testing::RunResult result = run_gsdsim(dir, design_text());
  EXPECT_EQ(result.status, 2) << result.console;
  EXPECT_NE(result.console.find("gsdsim: error: "), std::string::npos) << result.console;
  fs::remove(dir / "test.rpt");

  fs::create_symlink("/dev/full", dir / "test.rpt");
  result = run_gsdsim(dir, design_text());
  EXPECT_EQ(result.status, 2) << result.console;
  EXPECT_NE(result.console.find("is a symbolic link"), std::string::npos) << result.console;
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd
