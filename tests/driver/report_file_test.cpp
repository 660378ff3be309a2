#include "driver/report_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "design/run_errors.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

std::set<std::string> names_in(const fs::path& dir) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A full device accepts the open but fails the writes: the failure must be
// reported, never taken for success.
TEST(ReportFile, AFailedWriteIsAnError) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full on this machine";
  std::fputs("The seed = 1\n", full);
  EXPECT_THROW(close_report(full, "full"), ReportError);
}

// Until the commit the name keeps what it held; the temporary file lies
// next to it, hidden, and is gone after a commit, a discard or a keep.
TEST(ReportFile, TheNameChangesOnlyOnCommit) {
  const fs::path dir = testing::scratch_directory("output_file");
  const std::string path = (dir / "r.rpt").string();
  testing::write_file(path, "earlier\n");

  OutputFile out;
  open_output(out, path, "report file");
  std::fputs("new report\n", out.file);
  const std::set<std::string> during = names_in(dir);
  ASSERT_EQ(during.size(), 2u);
  EXPECT_EQ(during.count("r.rpt"), 1u);
  EXPECT_EQ(out.temporary.rfind((dir / ".r.rpt.").string(), 0), 0u) << out.temporary;
  EXPECT_EQ(testing::read_file(path), "earlier\n");
  commit_output(out);
  EXPECT_EQ(testing::read_file(path), "new report\n");
  EXPECT_EQ(names_in(dir), std::set<std::string>{"r.rpt"});

  OutputFile refused;
  open_output(refused, path, "report file");
  std::fputs("half a rep", refused.file);
  discard_output(refused);
  EXPECT_EQ(testing::read_file(path), "new report\n");
  EXPECT_EQ(names_in(dir), std::set<std::string>{"r.rpt"});

  OutputFile stopped;
  open_output(stopped, path, "report file");
  std::fputs("summary only\n", stopped.file);
  EXPECT_EQ(keep_incomplete(stopped), path + ".incomplete");
  EXPECT_EQ(testing::read_file(path + ".incomplete"), "summary only\n");
  EXPECT_EQ(testing::read_file(path), "new report\n");
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"r.rpt", "r.rpt.incomplete"}));
  fs::remove_all(dir);
}

TEST(ReportFile, OnlyARegularFileIsReplaced) {
  const fs::path dir = testing::scratch_directory("output_refused");
  fs::create_symlink("/dev/full", dir / "link");
  fs::create_directory(dir / "folder");
  for (const char* name : {"link", "folder"}) {
    OutputFile out;
    EXPECT_THROW(open_output(out, (dir / name).string(), "report file"), ReportError) << name;
    EXPECT_EQ(out.file, nullptr);
  }
  EXPECT_TRUE(fs::is_symlink(dir / "link"));
  EXPECT_EQ(names_in(dir), (std::set<std::string>{"folder", "link"}));
  // A folder that does not exist: nothing can be created there.
  OutputFile missing;
  EXPECT_THROW(open_output(missing, (dir / "none" / "r.json").string(), "JSON results file"),
               ReportError);
  fs::remove_all(dir);
}

TEST(ReportFile, OneFileUnderTwoNames) {
  const fs::path dir = testing::scratch_directory("identity");
  testing::write_file(dir / "a", "x");
  fs::create_hard_link(dir / "a", dir / "b");
  testing::write_file(dir / "c", "x");
  EXPECT_TRUE(same_file(identify_file((dir / "a").c_str()), identify_file((dir / "b").c_str())));
  EXPECT_FALSE(same_file(identify_file((dir / "a").c_str()), identify_file((dir / "c").c_str())));
  EXPECT_FALSE(same_file(identify_file((dir / "gone").c_str()),
                         identify_file((dir / "gone").c_str())));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd
