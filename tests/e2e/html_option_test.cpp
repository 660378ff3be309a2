// gsdsim --html FILE: the page beside an unchanged run, the files it refuses
// to take the place of, and a page that cannot be written.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/design_text.h"
#include "support/run_gsdsim.h"
#include "support/xml_well_formed.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;
using testing::design_text;
using testing::read_file;
using testing::run_gsdsim;
using testing::scratch_directory;

std::string small_design() { return design_text({{37, "40"}}); }

TEST(HtmlOption, ThePageComesBesideAnUnchangedRun) {
  const fs::path dir = scratch_directory("html_page");
  const testing::RunResult plain = run_gsdsim(dir, small_design());
  const std::string plain_report = read_file(dir / "test.rpt");
  fs::remove(dir / "test.rpt");
  testing::write_file(dir / "page.html", "an older page");
  const testing::RunResult run = run_gsdsim(dir, small_design(), "--threads 2 --html page.html");
  ASSERT_EQ(run.status, 0) << run.console;
  EXPECT_EQ(run.console, plain.console);
  EXPECT_EQ(read_file(dir / "test.rpt"), plain_report);
  const std::string page = read_file(dir / "page.html");
  EXPECT_EQ(testing::xml_error(page), "");
  EXPECT_NE(page.find("<h1>Group-sequential design: test.rpt</h1>"), std::string::npos);
  // The design read from standard input, shown in its keyed form.
  EXPECT_NE(page.find("<pre class=\"keyed\">"), std::string::npos);
  EXPECT_NE(page.find("report = &quot;test.rpt&quot;"), std::string::npos);
  // Nothing but the report and the page: the temporary file was renamed.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    ++files;
    EXPECT_TRUE(entry.path().filename() == "test.rpt" || entry.path().filename() == "page.html")
        << entry.path();
  }
  EXPECT_EQ(files, 2);
  // The same page, byte for byte, from one thread (the critical values
  // collected included).
  ASSERT_EQ(run_gsdsim(dir, small_design(), "--threads 1 --html one.html").status, 0);
  EXPECT_EQ(read_file(dir / "one.html"), page);
  EXPECT_NE(page.find("c: mean (5 % to 95 %)"), std::string::npos);
  fs::remove_all(dir);
}

// The design is read whole before the run when a page is asked for; a
// refused design is refused as without the page, and no page is written.
TEST(HtmlOption, ARefusedDesignGivesTheSameMessageAndNoPage) {
  for (const std::string& design :
       {design_text({{20, "three"}}), design_text({{20, "16"}}), std::string()}) {
    const fs::path dir = scratch_directory("html_bad_design");
    const testing::RunResult plain = run_gsdsim(dir, design);
    const std::string plain_report = read_file(dir / "test.rpt");
    fs::remove(dir / "test.rpt");
    const testing::RunResult run = run_gsdsim(dir, design, "--html page.html");
    EXPECT_EQ(run.status, plain.status);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.console, plain.console);
    EXPECT_EQ(read_file(dir / "test.rpt"), plain_report);
    EXPECT_FALSE(fs::exists(dir / "page.html"));
    fs::remove_all(dir);
  }
}

TEST(HtmlOption, RefusesToReplaceTheReportTheDesignOrTheJson) {
  struct Case {
    const char* arguments;
    const char* message;
  };
  const Case cases[] = {
      {"--html test.rpt",
       "gsdsim: error: --html \"test.rpt\" names the report file of the design; name another file"},
      {"--html ./sub/../test.rpt",
       "gsdsim: error: --html \"./sub/../test.rpt\" names the report file of the design; name "
       "another file"},
      {"--html mine.dsn mine.dsn",
       "gsdsim: error: --html \"mine.dsn\" names the design file; name another file"},
      {"--html out.json --json out.json",
       "gsdsim: error: --html \"out.json\" names the --json file; name another file"},
      {"--sweep accrual.subjects=200,300 --html out.json --csv ./out.json mine.toml",
       "gsdsim: error: --html \"out.json\" names the --csv file; name another file"},
  };
  for (const Case& c : cases) {
    const fs::path dir = scratch_directory("html_refused");
    fs::create_directory(dir / "sub");
    testing::write_file(dir / "mine.dsn", small_design());
    testing::write_file(dir / "test.rpt", "an earlier report");
    const testing::RunResult run = run_gsdsim(dir, small_design(), c.arguments);
    EXPECT_EQ(run.status, 4) << c.arguments;
    EXPECT_EQ(run.console, std::string(c.message) + "\n") << c.arguments;
    // Nothing was replaced or created.
    EXPECT_EQ(read_file(dir / "test.rpt"), "an earlier report") << c.arguments;
    EXPECT_EQ(read_file(dir / "mine.dsn"), small_design()) << c.arguments;
    EXPECT_FALSE(fs::exists(dir / "out.json")) << c.arguments;
    fs::remove_all(dir);
  }
}

TEST(HtmlOption, APageThatCannotBeWrittenIsStatusTwoAndLeavesNoFile) {
  const char* targets[] = {"no_such_dir/page.html", "page_dir"};
  for (const char* target : targets) {
    const fs::path dir = scratch_directory("html_unwritable");
    fs::create_directory(dir / "page_dir");
    const testing::RunResult run =
        run_gsdsim(dir, small_design(), std::string("--html ") + target);
    EXPECT_EQ(run.status, 2) << target;
    EXPECT_NE(run.console.find(std::string("gsdsim: error: cannot ") ), std::string::npos)
        << run.console;
    EXPECT_NE(run.console.find(std::string("HTML page \"") + target + "\""), std::string::npos)
        << run.console;
    // The report is complete; no temporary file is left.
    EXPECT_NE(read_file(dir / "test.rpt").find("The average stopping time"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir / "page_dir"));
    EXPECT_TRUE(fs::is_empty(dir / "page_dir"));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1) << target;
    fs::remove_all(dir);
  }
}

}  // namespace
}  // namespace gsd
