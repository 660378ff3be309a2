#include "report/results_json.h"

#include <gtest/gtest.h>

#include <string>

namespace gsd {
namespace {

// Under method 3 each statistic has its own null variances, so its own b
// search and final critical value: the JSON gives each, not one of them.
TEST(ResultsJson, HaybittleConstantsPerStatistic) {
  Design d;
  d.method_code = 3;
  d.look_count = 2;
  d.look_times[1] = 10.0f;
  d.look_times[2] = 20.0f;
  d.stat_count = 2;
  d.sim_count = 10;
  d.sides = 2;
  d.alpha = 0.05f;
  d.b = 3.2f;
  Calibration c;
  c.haybittle_b[1] = 3.0f;
  c.haybittle_b[2] = 3.2f;
  c.haybittle_c_of[1] = 2.01f;
  c.haybittle_c_of[2] = 2.05f;
  c.haybittle_c = 2.05f;
  const std::string text = results_json(d, c, RunTally{});
  EXPECT_NE(text.find("\"haybittle_b\": [3, 3.2]"), std::string::npos) << text;
  EXPECT_NE(text.find("\"haybittle_c\": [2.01, 2.05]"), std::string::npos) << text;
  d.method_code = 2;
  EXPECT_EQ(results_json(d, c, RunTally{}).find("haybittle"), std::string::npos);
}

}  // namespace
}  // namespace gsd
