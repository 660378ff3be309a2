#include "design/classic_to_keyed.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "design/design_input.h"
#include "support/console_capture.h"
#include "support/design_text.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;
using testing::captured_console;
using testing::design_text;

struct Conversion {
  KeyedDesign keyed;
  Design positional;
  std::string positional_notes;
  Design from_keyed;
  std::string keyed_notes;
  std::vector<std::string> unkept;
};

Conversion convert(const std::string& text) {
  Conversion c;
  c.keyed = keyed_design_from_classic(text, c.positional, c.unkept);
  c.positional_notes = captured_console([&](std::FILE* console) {
    std::istringstream input(text);
    Design design;
    read_design(input, console, design, [](const Design&) {});
  });
  c.keyed_notes = captured_console([&](std::FILE* console) {
    read_keyed_design(c.keyed, console, c.from_keyed, [](const Design&) {});
  });
  return c;
}

std::vector<fs::path> shipped_designs() {
  const fs::path source(GSDSIM_SOURCE_DIR);
  std::vector<fs::path> paths;
  for (const fs::path& dir : {source / "examples", source / "tests" / "e2e" / "designs",
                             source / "bench" / "designs"}) {
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (entry.path().extension() == ".dsn") paths.push_back(entry.path());
    }
  }
  return paths;
}

TEST(ClassicToKeyed, EveryShippedDesignIsTheSameDesignWithTheSameNotes) {
  const std::vector<fs::path> paths = shipped_designs();
  EXPECT_GE(paths.size(), 18u);
  for (const fs::path& path : paths) {
    const Conversion c = convert(testing::read_file(path));
    EXPECT_TRUE(c.from_keyed == c.positional) << path;
    EXPECT_EQ(c.keyed_notes, c.positional_notes) << path;
    EXPECT_TRUE(c.unkept.empty()) << path;
  }
}

// The free-form reading rules (a list continued on the next line, which
// moves every later line down; repeat counts; empty values; a slash) give
// the raw values the conversion needs exactly as they give the design.
TEST(ClassicToKeyed, FreeFormValuesConvertAsTheyRead) {
  const Conversion c = convert(design_text({{23, "10 20\n30"}, {49, "/"}, {61, "2*2.5 2"},
                                            {88, "10,20"}, {54, ",,"}, {117, "0.95 an explanation"}}));
  EXPECT_TRUE(c.from_keyed == c.positional);
  EXPECT_EQ(c.keyed_notes, c.positional_notes);
  EXPECT_EQ(c.keyed.look_times, (std::vector<float>{10.0f, 20.0f, 30.0f}));
  EXPECT_EQ(c.keyed.critical_values, (std::vector<float>{2.5f, 2.5f, 2.0f}));
  EXPECT_TRUE(c.keyed.error_split.empty());
  EXPECT_FALSE(c.keyed.b);  // an empty value leaves b at 0: the default, with its note
  EXPECT_NE(c.keyed_notes.find("b is re-set to 3."), std::string::npos);
  EXPECT_EQ(c.keyed.control_censoring, (KeyedCurve{{30.0f}, {0.95f}}));
  EXPECT_EQ(c.keyed.accrual_rate, 20.0f);
}

// Items left at 0 took a default with a note: they become omitted keys, so
// the keyed run writes the same notes.
TEST(ClassicToKeyed, ItemsLeftAtZeroAreOmittedKeys) {
  const Conversion c = convert(design_text({{11, "0"}, {17, "0"}, {20, "0"}, {23, "0"},
                                            {26, "0"}, {37, "0"}, {40, "0"}, {43, "0"},
                                            {54, "0"}, {70, "0"}, {88, "0 0"}}));
  EXPECT_FALSE(c.keyed.method);
  EXPECT_FALSE(c.keyed.seed);
  EXPECT_TRUE(c.keyed.look_times.empty());
  EXPECT_TRUE(c.keyed.statistics.empty());
  EXPECT_FALSE(c.keyed.trials);
  EXPECT_FALSE(c.keyed.alpha);
  EXPECT_FALSE(c.keyed.sides);
  EXPECT_FALSE(c.keyed.b);
  EXPECT_FALSE(c.keyed.spending);
  EXPECT_FALSE(c.keyed.accrual_period);
  EXPECT_FALSE(c.keyed.accrual_rate);
  EXPECT_NE(c.positional_notes.find("The Lan-Demets method is chosen."), std::string::npos);
  EXPECT_EQ(c.keyed_notes, c.positional_notes);
  EXPECT_TRUE(c.from_keyed == c.positional);
  EXPECT_TRUE(c.unkept.empty());
}

// Lists that mean "none" (no loss, no crossover, one log-rank statistic,
// a hazard ratio up to the last look) become the keyed defaults or the
// keyed shorthand.
TEST(ClassicToKeyed, NeutralListsBecomeOmittedKeysAndShorthands) {
  const Conversion c = convert(design_text({{111, "1"}, {114, "1"}, {117, "1"}}));
  EXPECT_FALSE(c.keyed.control_censoring);
  EXPECT_TRUE(c.keyed.treatment_censoring);
  EXPECT_FALSE(c.keyed.drop_in);
  EXPECT_FALSE(c.keyed.drop_out);
  EXPECT_EQ(c.keyed.hazard_ratio, 0.7f);
  EXPECT_TRUE(c.keyed.critical_values.empty());
  EXPECT_TRUE(c.from_keyed == c.positional);
}

// A count of 0 before a list the file gives takes its default with a note
// no key can ask for: the conversion says so, and the design stays the same.
TEST(ClassicToKeyed, NotesNoKeyCanCarryAreNamed) {
  const Conversion c = convert(design_text({{93, "0"}, {96, "0"}, {106, "0"}}));
  EXPECT_TRUE(c.from_keyed == c.positional);
  ASSERT_EQ(c.unkept.size(), 3u);
  EXPECT_EQ(c.unkept[0], "line 106: no note that hazard ratio 1 took the default 1");
  EXPECT_EQ(c.unkept[1], "line 93: no note that the count 0 took the default 1");
  EXPECT_EQ(c.unkept[2], "line 93: no note that the points are equally spaced (the last time was 0)");
}

}  // namespace
}  // namespace gsd
