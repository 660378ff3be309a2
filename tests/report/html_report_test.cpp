#include "report/html_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/self_contained.h"
#include "support/xml_well_formed.h"
#include "text/json_writer.h"

namespace gsd {
namespace {

using testing::external_reference;
using testing::xml_error;

Design two_look_design(int method) {
  Design d;
  d.method_code = method;
  std::snprintf(d.report_name, sizeof d.report_name, "%s", "page.rpt");
  d.seed = -4711;
  d.look_count = 2;
  d.look_times[1] = 12.0f;
  d.look_times[2] = 24.0f;
  d.stat_count = 2;
  d.rho[1] = 0.0f;
  d.tau[1] = 0.0f;
  d.rho[2] = 1.0f;
  d.tau[2] = 0.0f;
  d.sim_count = 1000;
  d.alpha = 0.05f;
  d.sides = 2;
  d.b = 3.0f;
  d.use_function_code = 1;
  d.given_bounds[1] = 2.8f;
  d.given_bounds[2] = 1.98f;
  d.baseline_curve.n = 1;
  d.baseline_curve.x[1] = 10.0f;
  d.baseline_curve.S[0] = 1.0f;
  d.baseline_curve.S[1] = 0.5f;
  d.accrual_period = 12.0f;
  d.accrual_rate = 25.0f;
  d.interval_count = 1;
  d.hazard_cutpoints[1] = 30.0f;
  d.alternative_mode = 2.0f;
  d.hazard_ratios[1] = 0.7f;
  for (SurvivalCurve* c : {&d.control_censoring, &d.treatment_censoring}) {
    c->n = 1;
    c->x[1] = 24.0f;
    c->S[0] = 1.0f;
    c->S[1] = 0.9f;
  }
  d.drop_in_count = d.drop_out_count = 1;
  return d;
}

RunTally two_look_tally() {
  RunTally t;
  t.rej[1] = 812;
  t.rej[2] = 640;
  t.stop_sum[1] = 17500.0f;
  t.stop_sum[2] = 19000.0f;
  t.looks.reached[1] = 1000;
  t.looks.reached[2] = 700;
  t.looks.subjects[1] = 300000;
  t.looks.subjects[2] = 210000;
  t.looks.events[1] = 120001;
  t.looks.events[2] = 150000;
  t.looks.stopped[1][1] = 300;
  t.looks.rejected[1][1] = 300;
  t.looks.stopped[1][2] = 700;
  t.looks.rejected[1][2] = 512;
  t.looks.stopped[2][1] = 200;
  t.looks.rejected[2][1] = 200;
  t.looks.stopped[2][2] = 800;
  t.looks.rejected[2][2] = 440;
  return t;
}

// The data-value of the elements marked data-json="path": "" when there is
// none, "twice" when two of them differ.
std::string marked_value(const std::string& page, const std::string& path) {
  const std::string key = "data-json=\"" + path + "\" data-value=\"";
  std::string value;
  for (std::size_t at = page.find(key); at != std::string::npos; at = page.find(key, at + 1)) {
    const std::size_t from = at + key.size();
    const std::string v = page.substr(from, page.find('"', from) - from);
    if (!value.empty() && v != value) return "twice";
    value = v;
  }
  return value;
}

TEST(HtmlReport, TheFiguresCarryTheJsonValues) {
  const Design d = two_look_design(2);
  Calibration c;
  c.subject_count = 300;
  BoundTally bounds;
  start_bound_tally(bounds, 2, 2);
  // Statistic 1 at look 1: 50 trials at 2.2, 900 at 2.5, 50 at 2.8.
  for (int t = 0; t < 1000; ++t) add_bound(bounds, 1, 1, t < 50 ? 2.2f : t < 950 ? 2.5f : 2.8f);
  const std::string page = html_report(d, c, two_look_tally(), &bounds);
  EXPECT_EQ(xml_error(page), "");
  EXPECT_EQ(external_reference(page), "");
  struct Case {
    const char* path;
    std::string value;
  };
  const Case cases[] = {
      {"design.seed", "-4711"},
      {"design.sim_count", "1000"},
      {"calibration.subject_count", "300"},
      {"statistics.0.power", "0.812"},
      {"statistics.1.power", "0.64"},
      // sqrt(p (1 - p) / N) from the single-precision power.
      {"statistics.0.sd",
       shortest_real(static_cast<float>(std::sqrt((1.0 - double{0.812f}) * double{0.812f} / 1000)))},
      {"statistics.0.average_stopping_time", "17.5"},
      {"statistics.1.rejections", "640"},
      {"statistics.0.looks.1.rejected", "512"},
      {"statistics.1.looks.0.stopped", "200"},
      {"looks.1.trials_reached", "700"},
      {"looks.0.mean_events", "120.001"},
      {"looks.1.mean_subjects", "300"},
      {"looks.1.time", "24"},
  };
  for (const Case& k : cases) EXPECT_EQ(marked_value(page, k.path), k.value) << k.path;
  // The collected critical values of statistic 1 at look 1: mean and range.
  // The 5 % quantile is the 50th value (a bin's middle, 2.2 to 2.201), the
  // 95 % quantile the 950th.
  const std::size_t bound_cell = page.find("<td class=\"n\">2.500 (2.20");
  ASSERT_NE(bound_cell, std::string::npos);
  const std::string cell = page.substr(bound_cell, page.find("</td>", bound_cell) - bound_cell);
  EXPECT_NE(cell.find(" to 2.50"), std::string::npos) << cell;
  // Cumulative power at the last look is the power, with its interval.
  EXPECT_NE(page.find("0.812 (0.788 to 0.836)"), std::string::npos);
  // Charts: curves, power, per statistic bounds and stops, subjects and events.
  std::size_t charts = 0;
  for (std::size_t at = page.find("<svg "); at != std::string::npos; at = page.find("<svg ", at + 1)) {
    ++charts;
  }
  EXPECT_EQ(charts, 7u);
}

TEST(HtmlReport, AnalyticFiguresWhenComputedOnly) {
  AnalyticPower analytic;
  analytic.look_count = 2;
  analytic.stat_count = 2;
  analytic.stat[1].power = 0.8;
  analytic.stat[1].reject[1] = 0.25;
  analytic.stat[1].reject[2] = 0.55;
  analytic.stat[1].cumulative[1] = 0.25;
  analytic.stat[1].cumulative[2] = 0.8;
  analytic.total_events[2] = 150.5;
  const Design d = two_look_design(2);
  // Not computed (ok false): nothing analytic on the page.
  const std::string without = html_report(d, Calibration{}, two_look_tally(), nullptr, {}, &analytic);
  EXPECT_EQ(without.find("analytic."), std::string::npos);
  analytic.ok = true;
  BoundTally bounds;
  start_bound_tally(bounds, 2, 2);
  add_bound(bounds, 1, 1, 2.8f);
  const std::string page = html_report(d, Calibration{}, two_look_tally(), &bounds, {}, &analytic);
  EXPECT_EQ(xml_error(page), "");
  EXPECT_EQ(marked_value(page, "analytic.statistics.0.power"), "0.8");
  EXPECT_EQ(marked_value(page, "analytic.statistics.0.looks.1.reject_probability"), "0.55");
  EXPECT_EQ(marked_value(page, "analytic.statistics.0.looks.1.expected_events"), "150.5");
  EXPECT_NE(page.find(">log-rank, analytic</text>"), std::string::npos);
  EXPECT_NE(page.find(">at the expected information (analytic)</text>"), std::string::npos);
}

TEST(HtmlReport, AHostileReportNameStaysText) {
  Design d = two_look_design(4);
  std::snprintf(d.report_name, sizeof d.report_name, "%s", "<b>&'\"x");
  const std::string page =
      html_report(d, Calibration{}, two_look_tally(), nullptr, "report = \"<b>&'\\\"x\"\n");
  EXPECT_EQ(xml_error(page), "");
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_NE(page.find("<pre class=\"keyed\">report = &quot;&lt;b&gt;&amp;&#39;\\&quot;x&quot;\n</pre>"),
            std::string::npos);
  EXPECT_NE(page.find("<title>gsdsim: &lt;b&gt;&amp;&#39;&quot;x</title>"), std::string::npos);
}

TEST(HtmlReport, BoundariesGivenOrNotCollected) {
  // Method 4: the given values, per look, and no note.
  const std::string given = html_report(two_look_design(4), Calibration{}, two_look_tally(), nullptr);
  EXPECT_EQ(marked_value(given, "calibration.c.0"), "2.8");
  EXPECT_EQ(marked_value(given, "calibration.c.1"), "1.98");
  EXPECT_EQ(given.find("not collected"), std::string::npos);
  EXPECT_EQ(given.find("<pre"), std::string::npos);  // no keyed form given, none shown
  // Recomputed bounds without the tally: a note instead of a chart, for
  // each statistic; an empty tally counts as none.
  const BoundTally empty;
  const BoundTally* const tallies[] = {nullptr, &empty};
  for (const BoundTally* bounds : tallies) {
    const std::string page = html_report(two_look_design(2), Calibration{}, two_look_tally(), bounds);
    std::size_t notes = 0;
    for (std::size_t at = page.find("were not collected"); at != std::string::npos;
         at = page.find("were not collected", at + 1)) {
      ++notes;
    }
    EXPECT_EQ(notes, 2u);
    EXPECT_EQ(xml_error(page), "");
  }
}

// The d attribute of the n-th path drawn 2 px wide in the figure `id`.
std::string series_path(const std::string& page, const std::string& id, int n) {
  const std::size_t begin = page.find("<figure class=\"chart\" id=\"" + id + "\">");
  const std::size_t end = page.find("</figure>", begin);
  int seen = 0;
  for (std::size_t at = page.find("<path d=\"", begin); at < end; at = page.find("<path d=\"", at + 1)) {
    const std::size_t close = page.find("/>", at);
    const std::string element = page.substr(at, close - at);
    if (element.find("stroke-width=\"2\"") == std::string::npos) continue;
    if (seen++ == n) return element.substr(9, element.find('"', 9) - 9);
  }
  return "";
}

TEST(HtmlReport, TreatmentCurveFromHazardRatiosOrPoints) {
  // A hazard ratio of 1 on every interval, or survival points equal to the
  // baseline's, draw the treatment curve on the control curve.
  Design ratio_one = two_look_design(4);
  ratio_one.interval_count = 2;
  ratio_one.hazard_cutpoints[1] = 5.0f;
  ratio_one.hazard_cutpoints[2] = 15.0f;
  ratio_one.hazard_ratios[1] = ratio_one.hazard_ratios[2] = 1.0f;
  Design points = two_look_design(4);
  points.alternative_mode = 1.0f;
  points.alternative_curve = points.baseline_curve;
  for (const Design& d : {ratio_one, points}) {
    const std::string page = html_report(d, Calibration{}, two_look_tally(), nullptr);
    const std::string control = series_path(page, "curves", 0);
    ASSERT_FALSE(control.empty());
    EXPECT_EQ(series_path(page, "curves", 1), control);
  }
  // Ratios 0.5 then 2: the curve leaves the control curve upwards, and
  // after the cut point falls faster than it.
  Design crossing = ratio_one;
  crossing.hazard_ratios[1] = 0.5f;
  crossing.hazard_ratios[2] = 2.0f;
  const std::string page = html_report(crossing, Calibration{}, two_look_tally(), nullptr);
  EXPECT_NE(series_path(page, "curves", 1), series_path(page, "curves", 0));
  // Every treatment subject stops the treatment at entry: the treatment
  // group's survival as simulated is the control group's, and the curve as
  // assigned (hazard ratio 0.7) is drawn beside it.
  Design stop_at_entry = two_look_design(4);
  stop_at_entry.drop_out_times[1] = 0.0f;
  stop_at_entry.drop_out_probs[1] = 1.0f;
  const std::string crossed = html_report(stop_at_entry, Calibration{}, two_look_tally(), nullptr);
  EXPECT_EQ(series_path(crossed, "curves", 1), series_path(crossed, "curves", 0));
  EXPECT_NE(series_path(crossed, "curves", 4), series_path(crossed, "curves", 1));
  EXPECT_NE(crossed.find("treatment as assigned, no drop-out"), std::string::npos);
}

}  // namespace
}  // namespace gsd
