#include "sweep/scenario_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace gsd {
namespace {

toml::table design_table() {
  return toml::parse(R"(
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

std::string text_of(const toml::table& table) {
  std::ostringstream out;
  out << table;
  return out.str();
}

// Each literal keeps its TOML type; the rest of the design is untouched.
TEST(ScenarioTable, ReplacesCreatesAndKeepsTypes) {
  toml::table design = design_table();
  std::string error;
  ASSERT_TRUE(replace_design_value(design, "accrual.subjects", "600", error)) << error;
  ASSERT_TRUE(replace_design_value(design, "looks.times", "[12, 18, 24]", error)) << error;
  ASSERT_TRUE(replace_design_value(design, "treatment.hazard_ratio", "0.7", error)) << error;
  ASSERT_TRUE(replace_design_value(design, "statistics[1].rho", "0.5", error)) << error;
  ASSERT_TRUE(replace_design_value(design, "name", "a word", error)) << error;
  EXPECT_EQ(design.at_path("accrual.subjects").value<long long>(), 600);
  EXPECT_EQ(design.at_path("accrual.period").value<double>(), 12.0);
  EXPECT_EQ(design.at_path("looks.times").as_array()->size(), 3u);
  EXPECT_EQ(design.at_path("looks.times[1]").value<long long>(), 18);
  EXPECT_TRUE(design.at_path("treatment.hazard_ratio").is_floating_point());
  EXPECT_EQ(design.at_path("statistics[1].rho").value<double>(), 0.5);
  EXPECT_EQ(design.at_path("statistics[0].rho").value<double>(), 0.0);
  EXPECT_EQ(design.at_path("name").value<std::string>(), "a word");
  EXPECT_EQ(design.at_path("trials").value<long long>(), 1000);
}

TEST(ScenarioTable, LiteralCannotAddKeys) {
  toml::table design = design_table();
  std::string error;
  ASSERT_TRUE(replace_design_value(design, "trials", "5\nreport = \"x\"", error)) << error;
  EXPECT_FALSE(design.contains("report"));
  EXPECT_TRUE(design["trials"].is_string());
}

TEST(ScenarioTable, PathsThatCannotBeFollowed) {
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
    toml::table design = design_table();
    const std::string before = text_of(design);
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
TEST(ScenarioTable, ExcludedKeysRemoved) {
  toml::table design = toml::parse(R"(
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
  EXPECT_FALSE(design.at_path("accrual.rate"));
  EXPECT_TRUE(design.at_path("accrual.period"));
  remove_excluded_keys(design, "treatment.cuts", {"treatment.cuts"});
  EXPECT_TRUE(design.at_path("treatment.hazard_ratios"));
  remove_excluded_keys(design, "treatment.hazard_ratio", {"treatment.hazard_ratio"});
  EXPECT_FALSE(design.at_path("treatment.hazard_ratios"));
  EXPECT_FALSE(design.at_path("treatment.cuts"));
  remove_excluded_keys(design, "looks.times", {"looks.times", "looks.events"});
  EXPECT_TRUE(design.at_path("looks.events"));
  EXPECT_FALSE(design.at_path("looks.max_time"));
  remove_excluded_keys(design, "control.median", {"control.median"});
  EXPECT_FALSE(design.contains("control"));
}

}  // namespace
}  // namespace gsd
