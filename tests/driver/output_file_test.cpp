#include "driver/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "design/run_errors.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::scratch_directory;
using testing::write_file;

TEST(OutputFile, SameFileComparesFilesNotSpellings) {
  const fs::path dir = scratch_directory("same_file");
  write_file(dir / "a", "a");
  write_file(dir / "b", "b");
  fs::create_directory(dir / "sub");
  fs::create_hard_link(dir / "a", dir / "hard");
  fs::create_symlink(dir / "a", dir / "soft");
  const std::string d = dir.string() + "/";
  struct Case {
    std::string x, y;
    bool same;
  };
  const Case cases[] = {
      {d + "a", d + "a", true},
      {d + "a", d + "./a", true},
      {d + "a", d + "sub/../a", true},
      {d + "a", d + "hard", true},
      {d + "a", d + "soft", true},
      {d + "a", d + "b", false},
      // Files that do not exist yet: by their normalised path.
      {d + "new.html", d + "sub/../new.html", true},
      {d + "new.html", d + "other.html", false},
      {d + "new.html", d + "a", false},
  };
  for (const Case& c : cases) EXPECT_EQ(same_file(c.x, c.y), c.same) << c.x << " " << c.y;
  fs::remove_all(dir);
}

TEST(OutputFile, WriteByRenameReplacesWholeAndNeverFollowsALink) {
  const fs::path dir = scratch_directory("write_by_rename");
  write_file(dir / "target", "kept");
  fs::create_symlink(dir / "target", dir / "page.html");
  write_file_by_rename((dir / "page.html").string(), "<p>new</p>\n", "HTML page");
  // The link itself was replaced by the page; what it pointed to is untouched.
  EXPECT_FALSE(fs::is_symlink(dir / "page.html"));
  EXPECT_EQ(read_file(dir / "page.html"), "<p>new</p>\n");
  EXPECT_EQ(read_file(dir / "target"), "kept");
  // An earlier page is replaced; no temporary file is left.
  write_file_by_rename((dir / "page.html").string(), "second", "HTML page");
  EXPECT_EQ(read_file(dir / "page.html"), "second");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
  EXPECT_EQ(files, 2);
  // A directory of that name stays, and the error names the page.
  fs::create_directory(dir / "taken");
  write_file(dir / "taken" / "inside", "x");
  try {
    write_file_by_rename((dir / "taken").string(), "page", "HTML page");
    ADD_FAILURE() << "a directory was replaced";
  } catch (const ReportError& error) {
    EXPECT_NE(std::string(error.what()).find("HTML page \"" + (dir / "taken").string() + "\""),
              std::string::npos)
        << error.what();
  }
  EXPECT_EQ(read_file(dir / "taken" / "inside"), "x");
  files = 0;
  for (const auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
  EXPECT_EQ(files, 2);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd
