// The folders of src/ depend only downward. Bottom up: text (input and
// output utilities), design (the design, its capacities, errors, layout and
// positional reader), keyed (the keyed design files, read into a design),
// model (curves and trial generation), stats and bounds (the statistics of
// a look; the boundaries), sim and analytic (the engines), report (every
// text of the report, JSON or HTML), sweep (scenario tables and sizing, on
// the engine), driver (the command line). A file may include headers of its own folder and of folders on
// lower floors only; folders on one floor do not include each other, so
// the graph has no cycle.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace gsd {
namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> kFloors = {
    {"text", 0}, {"design", 1}, {"keyed", 2},    {"model", 3},  {"stats", 4}, {"bounds", 4},
    {"sim", 5},  {"analytic", 5}, {"report", 6}, {"sweep", 7}, {"driver", 8},
};

struct Include {
  std::string file;  // relative to src/
  int line;
  std::string folder;
};

// The project includes ("folder/name.h") of every file under src/.
std::vector<Include> project_includes(const fs::path& src) {
  std::vector<Include> includes;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    std::ifstream in(entry.path());
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
      ++number;
      const std::size_t at = text.find("#include \"");
      if (at == std::string::npos || text.find_first_not_of(" \t") != at) continue;
      const std::size_t begin = at + 10;
      const std::size_t slash = text.find('/', begin);
      const std::size_t quote = text.find('"', begin);
      if (slash == std::string::npos || slash > quote) {
        includes.push_back({fs::relative(entry.path(), src).string(), number, ""});
      } else {
        includes.push_back(
            {fs::relative(entry.path(), src).string(), number, text.substr(begin, slash - begin)});
      }
    }
  }
  return includes;
}

TEST(Architecture, NoFolderIncludesAHeaderOfAFolderAboveItOrBesideIt) {
  const fs::path src = fs::path(GSDSIM_SOURCE_DIR) / "src";
  const std::vector<Include> includes = project_includes(src);
  ASSERT_GT(includes.size(), 100u) << "src/ was not scanned";
  for (const Include& include : includes) {
    const std::string own = include.file.substr(0, include.file.find('/'));
    const std::string where = include.file + ":" + std::to_string(include.line);
    ASSERT_EQ(kFloors.count(own), 1u) << "src/" << own << " has no floor in this test";
    ASSERT_FALSE(include.folder.empty()) << where << ": a project include names its folder";
    ASSERT_EQ(kFloors.count(include.folder), 1u) << where << ": unknown folder " << include.folder;
    if (include.folder == own) continue;
    EXPECT_LT(kFloors.at(include.folder), kFloors.at(own))
        << where << ": " << own << " includes a header of " << include.folder
        << ", which is not below it";
  }
}

// Only the command line itself includes driver/ headers.
TEST(Architecture, NothingOutsideTheDriverIncludesIt) {
  const fs::path src = fs::path(GSDSIM_SOURCE_DIR) / "src";
  for (const Include& include : project_includes(src)) {
    if (include.folder != "driver") continue;
    EXPECT_EQ(include.file.rfind("driver/", 0), 0u)
        << include.file << ":" << include.line << " includes a driver/ header";
  }
}

}  // namespace
}  // namespace gsd
