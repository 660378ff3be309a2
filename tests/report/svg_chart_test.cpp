#include "report/svg_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "support/xml_well_formed.h"

namespace gsd {
namespace {

using testing::xml_error;

// The value of attribute `name` in every element <tag ...> of `svg`, in order
// ("" where the element lacks it).
std::vector<std::string> attribute_values(const std::string& svg, const std::string& tag,
                                          const std::string& name) {
  std::vector<std::string> values;
  for (std::size_t at = svg.find("<" + tag + " "); at != std::string::npos;
       at = svg.find("<" + tag + " ", at + 1)) {
    const std::size_t end = svg.find('>', at);
    const std::string element = svg.substr(at, end - at);
    const std::size_t a = element.find(" " + name + "=\"");
    if (a == std::string::npos) {
      values.push_back("");
      continue;
    }
    const std::size_t from = a + name.size() + 3;
    values.push_back(element.substr(from, element.find('"', from) - from));
  }
  return values;
}

// The text of every <text> element.
std::vector<std::string> texts(const std::string& svg) {
  std::vector<std::string> out;
  for (std::size_t at = svg.find("<text "); at != std::string::npos;
       at = svg.find("<text ", at + 1)) {
    const std::size_t from = svg.find('>', at) + 1;
    out.push_back(svg.substr(from, svg.find("</text>", from) - from));
  }
  return out;
}

TEST(SvgChart, NiceStepIsTheNearestOneTwoFive) {
  struct Case {
    double span;
    int target;
    double step;
  };
  const Case cases[] = {
      {10.0, 5, 2.0},    {1.0, 5, 0.2},     {100.0, 10, 10.0}, {0.37, 5, 0.1},
      {3.0, 6, 0.5},     {7.0, 10, 0.5},    {7.2, 1, 10.0},    {1.4, 1, 1.0},
      {1.5, 1, 2.0},     {3.1, 1, 2.0},     {3.2, 1, 5.0},     {1e-4, 4, 2e-5},
      {12345.0, 6, 2000.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(nice_step(c.span, c.target), c.step, c.step * 1e-12)
        << "span " << c.span << " target " << c.target;
  }
  // Degenerate spans do not give a zero or non-finite step.
  EXPECT_EQ(nice_step(0.0, 5), 1.0);
  EXPECT_EQ(nice_step(-3.0, 5), 1.0);
  EXPECT_EQ(nice_step(NAN, 5), 1.0);
}

TEST(SvgChart, AxisTicksCoverTheRangeInWholeSteps) {
  struct Case {
    double lo, hi;
    int target;
    double first, step;
    int count, decimals;
  };
  const Case cases[] = {
      {0.0, 1.0, 6, 0.0, 0.2, 6, 1},
      {0.3, 9.7, 8, 0.0, 1.0, 11, 0},
      {-3.2, 4.1, 6, -4.0, 1.0, 10, 0},
      // 0.3 / 0.1 is 2.9999999999999996 in binary: no extra tick beyond 0.3.
      {0.1, 0.3, 2, 0.1, 0.1, 3, 1},
      {0.0, 0.035, 7, 0.0, 0.005, 8, 3},
      {9.7, 0.3, 8, 0.0, 1.0, 11, 0},  // ends swapped
      {5.0, 5.0, 4, 2.0, 1.0, 7, 0},   // widened to 2.5..7.5, ticks 2..8
      {0.0, 0.0, 5, 0.0, 0.2, 6, 1},   // widened to 0..1
      {NAN, 3.0, 5, 0.0, 0.2, 6, 1},   // non-finite: 0..1
  };
  for (const Case& c : cases) {
    const AxisTicks t = axis_ticks(c.lo, c.hi, c.target);
    SCOPED_TRACE(std::to_string(c.lo) + ".." + std::to_string(c.hi));
    EXPECT_NEAR(t.step, c.step, c.step * 1e-12);
    EXPECT_NEAR(t.first, c.first, c.step * 1e-9);
    EXPECT_EQ(t.count, c.count);
    EXPECT_EQ(t.decimals, c.decimals);
  }
  // Over many ranges: the ticks cover the range, tightly, with between about
  // half and twice the target.
  std::srand(7);
  for (int r = 0; r < 2000; ++r) {
    const double lo = (std::rand() % 20001 - 10000) / 137.0;
    const double hi = lo + (std::rand() % 10000 + 1) / std::pow(10.0, std::rand() % 6);
    const AxisTicks t = axis_ticks(lo, hi, 6);
    const double last = tick_value(t, t.count - 1);
    ASSERT_LE(t.first, lo + 1e-9 * t.step) << lo << " " << hi;
    ASSERT_GE(last, hi - 1e-9 * t.step) << lo << " " << hi;
    ASSERT_GT(t.first + t.step, lo) << lo << " " << hi;
    ASSERT_LT(last - t.step, hi) << lo << " " << hi;
    ASSERT_GE(t.count, 4) << lo << " " << hi;
    ASSERT_LE(t.count, 15) << lo << " " << hi;
  }
}

TEST(SvgChart, TickLabelsAreExactAndNeverNegativeZero) {
  const AxisTicks t = axis_ticks(0.1, 0.3, 2);
  EXPECT_EQ(tick_label(tick_value(t, 2), t.decimals), "0.3");
  EXPECT_EQ(tick_label(0.30000000000000004, 1), "0.3");
  EXPECT_EQ(tick_label(-1e-17, 1), "0.0");
  EXPECT_EQ(tick_label(-0.0, 0), "0");
  EXPECT_EQ(tick_label(-1.5, 1), "-1.5");
  EXPECT_EQ(tick_label(1000.0, 0), "1000");
  EXPECT_EQ(tick_label(0.005, 3), "0.005");
  // Every label of an axis is distinct.
  const AxisTicks fine = axis_ticks(-0.035, 0.035, 7);
  std::set<std::string> labels;
  for (int k = 0; k < fine.count; ++k) labels.insert(tick_label(tick_value(fine, k), fine.decimals));
  EXPECT_EQ(static_cast<int>(labels.size()), fine.count);
}

TEST(SvgChart, EscapesMarkupCharacters) {
  EXPECT_EQ(escape_xml("a<b & \"c\" 'd'>"), "a&lt;b &amp; &quot;c&quot; &#39;d&#39;&gt;");
  EXPECT_EQ(escape_xml("plain text 1.5"), "plain text 1.5");
  EXPECT_EQ(escape_xml(""), "");
}

Chart line_chart() {
  Chart chart;
  chart.id = "c1";
  chart.title = "Title";
  chart.x_label = "time (months)";
  chart.y_label = "survival";
  chart.caption = "How to read it.";
  chart.x_lo = 0.0;
  chart.x_hi = 10.0;
  chart.y_lo = 0.0;
  chart.y_hi = 1.0;
  return chart;
}

// The plot area of a 640 x 360 chart without legend: x from 64 to 622,
// y from 38 (top) to 310 (bottom).
TEST(SvgChart, ScalesDataToThePlotArea) {
  Chart chart = line_chart();
  Series line;
  line.x = {0.0, 5.0, 10.0};
  line.y = {0.0, 0.5, 1.0};
  Series step;
  step.kind = SeriesKind::kStep;
  step.style = 1;
  step.x = {0.0, 5.0, 10.0};
  step.y = {1.0, 0.5, 0.2};
  chart.series = {line, step};
  const std::string svg = svg_chart(chart);
  const std::vector<std::string> d = attribute_values(svg, "path", "d");
  EXPECT_NE(std::find(d.begin(), d.end(), "M64 310L343 174L622 38"), d.end()) << svg;
  EXPECT_NE(std::find(d.begin(), d.end(), "M64 38H343V174H622V255.6"), d.end()) << svg;
  EXPECT_EQ(xml_error(svg), "");
}

TEST(SvgChart, NonFiniteValuesBreakTheLineAndNeverReachTheText) {
  Chart chart = line_chart();
  Series line;
  line.label = "with a gap";
  line.x = {0.0, 2.0, 4.0, 6.0, 8.0};
  line.y = {0.1, 0.2, NAN, 0.4, INFINITY};
  Series points;
  points.kind = SeriesKind::kPoints;
  points.x = {1.0, NAN};
  points.y = {0.5, 0.5};
  points.low = {NAN, 0.4};
  points.high = {0.6, 0.6};
  chart.series = {line, points};
  chart.x_hi = chart.x_lo;  // the ranges from the data
  const std::string svg = svg_chart(chart);
  EXPECT_EQ(xml_error(svg), "");
  for (const char* bad : {"nan", "NaN", "inf"}) EXPECT_EQ(svg.find(bad), std::string::npos) << bad;
  // The line is the path with two pieces: 0..2 joined, then 6 alone (a move).
  int broken = 0;
  for (const std::string& path : attribute_values(svg, "path", "d")) {
    if (std::count(path.begin(), path.end(), 'M') == 2 &&
        std::count(path.begin(), path.end(), 'L') == 1) {
      ++broken;
    }
  }
  EXPECT_EQ(broken, 1) << svg;
}

TEST(SvgChart, HostileTextIsEscapedAndTheOutputIsWellFormed) {
  Chart chart = line_chart();
  chart.id = "a\"b";
  chart.title = "Power <& \"sd\">";
  chart.x_label = "x <units>";
  chart.y_label = "y & 'z'";
  chart.caption = "</figcaption><script>";
  Series s;
  s.label = "<b>bold</b>";
  s.x = {1.0, 2.0};
  s.y = {0.2, 0.3};
  chart.series = {s};
  chart.markers = {{5.0, "look <1>"}};
  chart.levels = {{0.8, "target & more"}};
  const std::string svg = svg_chart(chart);
  EXPECT_EQ(xml_error(svg), "") << svg;
  EXPECT_EQ(svg.find("<script"), std::string::npos);
  EXPECT_EQ(svg.find("<b>"), std::string::npos);
  const std::vector<std::string> t = texts(svg);
  EXPECT_NE(std::find(t.begin(), t.end(), "Power &lt;&amp; &quot;sd&quot;&gt;"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "&lt;b&gt;bold&lt;/b&gt;"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "look &lt;1&gt;"), t.end());
}

// Relative luminance (sRGB) of "#rrggbb".
double luminance(const std::string& colour) {
  double channel[3];
  for (int k = 0; k < 3; ++k) {
    const double v = std::stoi(colour.substr(1 + 2 * k, 2), nullptr, 16) / 255.0;
    channel[k] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  }
  return 0.2126 * channel[0] + 0.7152 * channel[1] + 0.0722 * channel[2];
}

TEST(SvgChart, StylesDifferInGreyAsWellAsInHue) {
  Chart chart = line_chart();
  for (int k = 0; k < kChartStyleCount; ++k) {
    Series s;
    s.style = k;
    s.x = {0.0, 10.0};
    s.y = {0.1 * k, 0.1 * k + 0.5};
    chart.series.push_back(s);
  }
  const std::string svg = svg_chart(chart);
  // The series are the paths drawn 2 px wide.
  const std::vector<std::string> widths = attribute_values(svg, "path", "stroke-width");
  const std::vector<std::string> colours = attribute_values(svg, "path", "stroke");
  const std::vector<std::string> dashes = attribute_values(svg, "path", "stroke-dasharray");
  std::vector<double> grey;
  std::set<std::string> dash_set;
  for (std::size_t k = 0; k < widths.size(); ++k) {
    if (widths[k] != "2") continue;
    grey.push_back(std::cbrt(luminance(colours[k])));  // roughly perceived lightness
    dash_set.insert(dashes[k]);
  }
  ASSERT_EQ(grey.size(), static_cast<std::size_t>(kChartStyleCount));
  EXPECT_EQ(dash_set.size(), static_cast<std::size_t>(kChartStyleCount));
  for (int a = 0; a < kChartStyleCount; ++a) {
    for (int b = a + 1; b < kChartStyleCount; ++b) {
      EXPECT_GE(std::fabs(grey[a] - grey[b]), 0.07) << colours[a] << " " << colours[b];
    }
  }
}

TEST(SvgChart, BarsOfSeveralSeriesSitSideBySide) {
  Chart chart;
  chart.id = "bars";
  chart.title = "Stopping";
  chart.x_label = "look";
  chart.y_label = "probability";
  Series a, b;
  a.kind = b.kind = SeriesKind::kBars;
  a.label = "rejecting";
  b.label = "stopping";
  b.style = 1;
  a.x = b.x = {1.0, 2.0, 3.0};
  a.y = {0.1, 0.3, 0.2};
  b.y = {0.15, 0.35, 0.5};
  chart.series = {a, b};
  const std::string svg = svg_chart(chart);
  EXPECT_EQ(xml_error(svg), "");
  // The bars are the rects with a thin black outline; the legend has one of each.
  const std::vector<std::string> widths = attribute_values(svg, "rect", "stroke-width");
  const std::vector<std::string> xs = attribute_values(svg, "rect", "x");
  const std::vector<std::string> ws = attribute_values(svg, "rect", "width");
  std::vector<std::pair<double, double>> spans;
  for (std::size_t k = 0; k < widths.size(); ++k) {
    if (widths[k] == "0.6") spans.push_back({std::stod(xs[k]), std::stod(xs[k]) + std::stod(ws[k])});
  }
  ASSERT_EQ(spans.size(), 8u);  // 6 bars, 2 legend swatches
  spans.resize(6);
  std::sort(spans.begin(), spans.end());
  for (std::size_t k = 1; k < spans.size(); ++k) {
    EXPECT_LE(spans[k - 1].second, spans[k].first + 1e-6);  // no overlap
    EXPECT_GT(spans[k].first - spans[k - 1].first, 0.0);
  }
  // The axis starts at 0 and the whole bars fit: x ticks span 0.5 .. 3.5.
  const std::vector<std::string> t = texts(svg);
  EXPECT_NE(std::find(t.begin(), t.end(), "0.0"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "rejecting"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "stopping"), t.end());
}

TEST(SvgChart, AForcedStepGivesWholeLookNumbersUnderBars) {
  Chart chart;
  chart.id = "looks";
  chart.x_tick_step = 1.0;
  chart.y_lo = 0.0;
  chart.y_hi = 1.0;
  Series bars;
  bars.kind = SeriesKind::kBars;
  bars.x = {1.0, 2.0, 3.0};
  bars.y = {0.2, 0.5, 0.3};
  chart.series = {bars};
  // The x labels are those centred under the plot (the y labels end at the axis).
  std::vector<std::string> x_labels;
  const std::string svg = svg_chart(chart);
  const std::size_t group = svg.find("<g text-anchor=\"middle\">");
  const std::size_t end = svg.find("</g>", group);
  for (const std::string& label : texts(svg.substr(group, end - group))) x_labels.push_back(label);
  EXPECT_EQ(x_labels, (std::vector<std::string>{"1", "2", "3"}));
  // A step that would give too many ticks is ignored for the automatic ticks.
  chart.x_tick_step = 1e-6;
  const std::string fine = svg_chart(chart);
  EXPECT_EQ(xml_error(fine), "");
  EXPECT_LT(texts(fine).size(), 40u);
}

TEST(SvgChart, ErrorBarsSpanLowToHigh) {
  Chart chart = line_chart();
  Series s;
  s.kind = SeriesKind::kPoints;
  s.x = {5.0};
  s.y = {0.5};
  s.low = {0.25};
  s.high = {0.75};
  chart.series = {s};
  const std::string svg = svg_chart(chart);
  const std::vector<std::string> d = attribute_values(svg, "path", "d");
  // y 0.25 at 242, 0.75 at 106; caps 4 px either side of x = 343.
  EXPECT_NE(std::find(d.begin(), d.end(), "M343 242V106M339 242H347M339 106H347"), d.end())
      << svg;
  EXPECT_EQ(attribute_values(svg, "circle", "cy"), std::vector<std::string>{"174"});
}

TEST(SvgChart, AutomaticRangesIncludeMarkersAndLevels) {
  Chart chart;
  chart.id = "auto";
  Series s;
  s.x = {1.0, 2.0};
  s.y = {0.2, 0.3};
  chart.series = {s};
  chart.markers = {{8.0, "look 3"}};
  chart.levels = {{0.9, "target"}};
  const std::string svg = svg_chart(chart);
  const std::vector<std::string> t = texts(svg);
  EXPECT_NE(std::find(t.begin(), t.end(), "8"), t.end()) << svg;
  EXPECT_NE(std::find(t.begin(), t.end(), "0.9"), t.end()) << svg;
  EXPECT_EQ(xml_error(svg), "");
}

TEST(SvgChart, TheWellFormednessCheckCatchesBrokenMarkup) {
  // The helper the page tests rely on must reject what it is there to reject.
  EXPECT_EQ(xml_error("<a><b x=\"1\"/>t &amp; u</a>"), "");
  EXPECT_EQ(xml_error("<!DOCTYPE html>\n<html><!-- c --><p>x</p></html>\n"), "");
  for (const char* bad : {"<a><b></a></b>", "<a>x & y</a>", "<a x=1></a>", "<a x=\"1\" x=\"2\"/>",
                          "<a>1 < 2</a>", "<a></a><b></b>", "<a>", "text", "<a y=\"<\"/>",
                          "<a>&bogus;</a>"}) {
    EXPECT_NE(xml_error(bad), "") << bad;
  }
}

}  // namespace
}  // namespace gsd
