#include "sweep/sweep_csv.h"

#include <gtest/gtest.h>

#include "sweep/sweep_json.h"
#include "sweep/sweep_table.h"

namespace gsd {
namespace {

SweepResult two_scenarios() {
  SweepResult result;
  result.keys = {"looks.times", "treatment.hazard_ratio"};
  result.scenario_count = 4;
  result.shard_index = 2;
  result.shard_count = 2;
  SweepRow row{1, 0.0f, 0.0f, 0.812f, 0.01236f, 21.34f, 0.80512345, 140.25, 400.0};
  SweepRow second{2, 1.0f, 0.0f, 0.7f, 0.0145f, 22.5f, 0.75, 139.0, 399.5};
  result.scenarios.push_back({2, {"[12,24]", "0.7"}, 400, 1000, {row, second}});
  result.scenarios.push_back({4, {"[12,36]", "0.7"}, 400, 1000, {row}});
  return result;
}

TEST(SweepCsv, HeaderRowsAndQuoting) {
  EXPECT_EQ(sweep_csv(two_scenarios()),
            "scenario,looks.times,treatment.hazard_ratio,subjects,statistic,rho,tau,power,sd,"
            "average_stopping_time,analytic_power,expected_events,expected_subjects\n"
            "2,\"[12,24]\",0.7,400,1,0,0,0.812,0.01236,21.34,0.805123,140.25,400\n"
            "2,\"[12,24]\",0.7,400,2,1,0,0.7,0.0145,22.5,0.75,139,399.5\n"
            "4,\"[12,36]\",0.7,400,1,0,0,0.812,0.01236,21.34,0.805123,140.25,400\n");
  SweepResult quoted = two_scenarios();
  quoted.keys[1] = "name";
  quoted.scenarios[0].values[1] = "\"a\"";
  EXPECT_NE(sweep_csv(quoted).find("\n2,\"[12,24]\",\"\"\"a\"\"\",400,1,"), std::string::npos);
}

TEST(SweepTable, AlignedColumns) {
  const std::string table = sweep_table(two_scenarios());
  const std::size_t first_end = table.find('\n');
  const std::size_t second_end = table.find('\n', first_end + 1);
  // Every line has the header's width; the values end under their names.
  EXPECT_EQ(second_end - first_end - 1, first_end);
  EXPECT_NE(table.find("[12,24]  "), std::string::npos);
  EXPECT_NE(table.find("  0.8120  0.01236                 21.340          0.8051            140.2"
                       "              400.0\n"),
            std::string::npos)
      << table;
}

TEST(SweepJson, ScenariosWithValuesByKey) {
  const std::string json = sweep_json(two_scenarios());
  EXPECT_NE(json.find("\"scenario_count\": 4"), std::string::npos);
  EXPECT_NE(json.find("\"looks.times\": \"[12,36]\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"power\": 0.812"), std::string::npos);
  EXPECT_NE(json.find("\"index\": 2"), std::string::npos);
}

}  // namespace
}  // namespace gsd
