#include "keyed/keyed_table.h"

#include <gtest/gtest.h>

#include <string>

namespace gsd {
namespace {

KeyedTable design_table() {
  return parse_keyed_table(R"(
trials = 1000
[accrual]
period = 12.0
subjects = 400
[looks]
times = [12.0, 24.0]
[[statistics]]
rho = 0.0
[[statistics]]
rho = 1.0
)");
}

// Each literal keeps its TOML type; the rest of the design is untouched.
TEST(KeyedTable, ReplacesCreatesAndKeepsTypes) {
  KeyedTable design = design_table();
  std::string error;
  ASSERT_TRUE(replace_design_value(design, "accrual.subjects", "600", error)) << error;
  ASSERT_TRUE(replace_design_value(design, "looks.times", "[12, 18, 24]", error)) << error;
  ASSERT_TRUE(replace_design_value(design, "treatment.hazard_ratio", "0.7", error)) << error;
  ASSERT_TRUE(replace_design_value(design, "statistics[1].rho", "0.5", error)) << error;
  ASSERT_TRUE(replace_design_value(design, "name", "a word", error)) << error;
  EXPECT_EQ(keyed_table_value(design, "accrual.subjects"), "600");
  EXPECT_EQ(keyed_table_value(design, "accrual.period"), "12.0");
  EXPECT_EQ(keyed_table_value(design, "looks.times"), "[ 12, 18, 24 ]");
  EXPECT_EQ(keyed_table_value(design, "looks.times[1]"), "18");
  // A real stays a real (printed in full double precision).
  EXPECT_EQ(keyed_table_value(design, "treatment.hazard_ratio").rfind("0.69999", 0), 0u);
  EXPECT_EQ(keyed_table_value(design, "statistics[1].rho"), "0.5");
  EXPECT_EQ(keyed_table_value(design, "statistics[0].rho"), "0.0");
  EXPECT_EQ(keyed_table_value(design, "name"), "'a word'");
  EXPECT_EQ(keyed_table_value(design, "trials"), "1000");
}

TEST(KeyedTable, LiteralCannotAddKeys) {
  KeyedTable design = design_table();
  std::string error;
  ASSERT_TRUE(replace_design_value(design, "trials", "5\nreport = \"x\"", error)) << error;
  EXPECT_EQ(keyed_table_value(design, "report"), "");
  EXPECT_EQ(keyed_table_value(design, "trials"), "'''5\nreport = \"x\"'''");
  // A bare word outside ASCII is no TOML literal: it becomes the string it
  // spells, the parser never seeing it bare.
  ASSERT_TRUE(replace_design_value(design, "report", "caf\xC3\xA9", error)) << error;
  EXPECT_EQ(keyed_table_value(design, "report"), "'caf\xC3\xA9'");
}

TEST(KeyedTable, PathsThatCannotBeFollowed) {
  const std::pair<const char*, const char*> cases[] = {
      {"trials.count", "key trials is not a table"},
      {"accrual.subjects.x", "key accrual.subjects is not a table"},
      {"statistics[2].rho", "has 2 elements, so no [2]"},
      {"accrual[0]", "key accrual is not a list"},
      {"missing[0].x", "key missing is not in the design"},
      {"a[x]", "not a dotted key"},
      {"a[1", "not a dotted key"},
  };
  for (const auto& [key, message] : cases) {
    KeyedTable design = design_table();
    std::string error;
    EXPECT_FALSE(replace_design_value(design, key, "1", error)) << key;
    EXPECT_NE(error.find(message), std::string::npos) << key << ": " << error;
  }
}

}  // namespace
}  // namespace gsd

namespace gsd {
namespace {

// A swept key replaces its whole choice: the keys that exclude it go, the
// others of its table stay, and a swept excluding key stays for the keyed
// design to refuse.
TEST(KeyedTable, ExcludedKeysRemoved) {
  KeyedTable design = parse_keyed_table(R"(
[accrual]
period = 12.0
rate = 25.0
[treatment]
hazard_ratios = [0.8, 0.6]
cuts = [6.0, 12.0]
[looks]
events = [50, 100]
max_time = 40.0
)");
  remove_excluded_keys(design, "accrual.subjects", {"accrual.subjects"});
  EXPECT_EQ(keyed_table_value(design, "accrual.rate"), "");
  EXPECT_EQ(keyed_table_value(design, "accrual.period"), "12.0");
  remove_excluded_keys(design, "treatment.cuts", {"treatment.cuts"});
  EXPECT_NE(keyed_table_value(design, "treatment.hazard_ratios"), "");
  remove_excluded_keys(design, "treatment.hazard_ratio", {"treatment.hazard_ratio"});
  EXPECT_EQ(keyed_table_value(design, "treatment.hazard_ratios"), "");
  EXPECT_EQ(keyed_table_value(design, "treatment.cuts"), "");
  remove_excluded_keys(design, "looks.times", {"looks.times", "looks.events"});
  EXPECT_NE(keyed_table_value(design, "looks.events"), "");
  EXPECT_EQ(keyed_table_value(design, "looks.max_time"), "");
  remove_excluded_keys(design, "control.median", {"control.median"});
  EXPECT_EQ(keyed_table_value(design, "control"), "");
}

}  // namespace
}  // namespace gsd
