#include "report/sweep_html_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/self_contained.h"
#include "support/xml_well_formed.h"
#include "text/json_writer.h"

namespace gsd {
namespace {

using testing::external_reference;
using testing::xml_error;

// A grid of accrual.subjects (200, 400, 300: not in order) by
// treatment.hazard_ratio (0.7, 0.8), two statistics.
SweepResult two_key_sweep() {
  SweepResult result;
  result.keys = {"accrual.subjects", "treatment.hazard_ratio"};
  result.scenario_count = 6;
  long long index = 1;
  for (const char* subjects : {"200", "400", "300"}) {
    for (const char* ratio : {"0.7", "0.8"}) {
      SweepScenario s;
      s.index = index++;
      s.values = {subjects, ratio};
      s.subjects = std::stoi(subjects);
      s.trials = 500;
      for (int j = 1; j <= 2; ++j) {
        SweepRow row;
        row.statistic = j;
        row.rho = j == 1 ? 0.0f : 1.0f;
        row.power = static_cast<float>(s.subjects) / 1000.0f + (ratio[2] == '7' ? 0.2f : 0.0f);
        row.sd = 0.02f;
        row.analytic_power = row.power + 0.01;
        s.rows.push_back(row);
      }
      result.scenarios.push_back(s);
    }
  }
  return result;
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(SweepHtmlReport, OneChartPerKeyAndStatisticAndTheScenarioTable) {
  SweepPageMarks marks;
  marks.has_target = true;
  marks.target = 0.8;
  marks.has_answer = true;
  marks.answer_subjects = 350;
  const std::string page = sweep_html_report(two_key_sweep(), marks, "report = \"s.rpt\"\n");
  EXPECT_EQ(xml_error(page), "");
  EXPECT_EQ(external_reference(page), "");
  EXPECT_EQ(count(page, "<svg "), 4u);  // 2 keys x 2 statistics
  // Against accrual.subjects: one curve per hazard ratio, named in the legend.
  EXPECT_NE(page.find(">treatment.hazard_ratio = 0.7</text>"), std::string::npos);
  EXPECT_NE(page.find(">accrual.subjects = 400</text>"), std::string::npos);
  // The target on every chart, the answer only against the subjects.
  EXPECT_EQ(count(page, ">target 0.80</text>"), 4u);
  EXPECT_EQ(count(page, ">answer 350</text>"), 2u);
  // The figures carry the sweep JSON's paths and texts.
  EXPECT_NE(page.find("data-json=\"scenarios.2.statistics.1.power\" data-value=\"" +
                      shortest_real(0.4f + 0.2f) + "\""),
            std::string::npos);
  EXPECT_NE(page.find("data-json=\"scenarios.5.subjects\" data-value=\"300\""), std::string::npos);
  EXPECT_NE(page.find("data-json=\"scenarios.0.statistics.0.analytic_power\""), std::string::npos);
  EXPECT_EQ(count(page, "data-json=\"scenarios."), 6u * (2 + 3 * 2));
}

// The points of a curve are in the order of the key's values, not of the
// scenarios: the analytic line of the hazard ratio 0.8 runs 200, 300, 400.
TEST(SweepHtmlReport, CurvesRunInTheOrderOfTheValues) {
  SweepResult one_key;
  one_key.keys = {"accrual.subjects"};
  one_key.scenario_count = 3;
  for (const int n : {400, 200, 300}) {
    SweepScenario s;
    s.index = static_cast<long long>(one_key.scenarios.size()) + 1;
    s.values = {std::to_string(n)};
    s.subjects = n;
    s.trials = 100;
    SweepRow row;
    row.statistic = 1;
    row.power = n / 1000.0f;
    row.sd = 0.01f;
    row.analytic_power = n / 1000.0;
    s.rows.push_back(row);
    one_key.scenarios.push_back(s);
  }
  const std::string page = sweep_html_report(one_key, SweepPageMarks{});
  EXPECT_EQ(xml_error(page), "");
  // The analytic line is the first 2 px path; its x coordinates increase.
  const std::size_t at = page.find("stroke-width=\"2\"");
  const std::size_t d = page.rfind("<path d=\"", at) + 9;
  const std::string path = page.substr(d, page.find('"', d) - d);
  std::vector<double> xs;
  for (std::size_t p = 0; p < path.size(); ++p) {
    if (path[p] == 'M' || path[p] == 'L') xs.push_back(std::stod(path.substr(p + 1)));
  }
  ASSERT_EQ(xs.size(), 3u) << path;
  EXPECT_LT(xs[0], xs[1]);
  EXPECT_LT(xs[1], xs[2]);
  EXPECT_NE(page.find(">simulated, 95 % interval</text>"), std::string::npos);
  EXPECT_EQ(page.find("answer"), std::string::npos);
}

TEST(SweepHtmlReport, ValuesThatAreNotNumbersArePlacedByPosition) {
  SweepResult lists;
  lists.keys = {"looks.times"};
  lists.scenario_count = 2;
  for (const char* value : {"[10, 20]", "[12, 24]"}) {
    SweepScenario s;
    s.index = static_cast<long long>(lists.scenarios.size()) + 1;
    s.values = {value};
    s.subjects = 200;
    s.trials = 100;
    s.rows.push_back(SweepRow{});
    lists.scenarios.push_back(s);
  }
  const std::string page = sweep_html_report(lists, SweepPageMarks{});
  EXPECT_EQ(xml_error(page), "");
  EXPECT_NE(page.find("The values, by number: 1 = [10, 20]; 2 = [12, 24]."), std::string::npos);
  EXPECT_NE(page.find("looks.times (value number)"), std::string::npos);
}

}  // namespace
}  // namespace gsd
