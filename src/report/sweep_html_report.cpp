#include "report/sweep_html_report.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "report/html_page.h"
#include "report/svg_chart.h"
#include "text/json_writer.h"

namespace gsd {

namespace {

// The normal quantile of a two-sided 95 % interval.
constexpr double kZ975 = 1.959963984540054;
constexpr const char* kSubjectsKey = "accrual.subjects";

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string span(const std::string& path, const std::string& value, const std::string& shown) {
  return "<span data-json=\"" + escape_xml(path) + "\" data-value=\"" + escape_xml(value) + "\">" +
         escape_xml(shown) + "</span>";
}

// The value as a number when the whole text is one.
bool number_of(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(value);
}

// The distinct values of key k in the order the scenarios give them, and
// whether every one is a number.
struct KeyValues {
  std::vector<std::string> values;
  bool numeric = true;
};

KeyValues key_values(const SweepResult& result, std::size_t k) {
  KeyValues kv;
  for (const SweepScenario& s : result.scenarios) {
    if (k >= s.values.size()) continue;
    if (std::find(kv.values.begin(), kv.values.end(), s.values[k]) == kv.values.end()) {
      kv.values.push_back(s.values[k]);
    }
  }
  double v = 0.0;
  for (const std::string& text : kv.values) kv.numeric = kv.numeric && number_of(text, v);
  return kv;
}

double x_of(const KeyValues& kv, const std::string& text) {
  double v = 0.0;
  if (kv.numeric && number_of(text, v)) return v;
  return static_cast<double>(std::find(kv.values.begin(), kv.values.end(), text) -
                             kv.values.begin() + 1);
}

// The label of a scenario's values of every key but k ("" for a single key).
std::string others_label(const SweepResult& result, const SweepScenario& s, std::size_t k) {
  std::string label;
  for (std::size_t o = 0; o < result.keys.size() && o < s.values.size(); ++o) {
    if (o == k) continue;
    if (!label.empty()) label += ", ";
    label += result.keys[o] + " = " + s.values[o];
  }
  return label;
}

std::string key_chart(const SweepResult& result, const SweepPageMarks& marks, std::size_t k,
                      std::size_t r, const std::string& statistic_name) {
  const std::string& key = result.keys[k];
  const KeyValues kv = key_values(result, k);
  std::vector<std::string> groups;
  for (const SweepScenario& s : result.scenarios) {
    const std::string g = others_label(result, s, k);
    if (std::find(groups.begin(), groups.end(), g) == groups.end()) groups.push_back(g);
  }
  Chart chart;
  chart.id = "sweep-" + std::to_string(k + 1) + "-" + std::to_string(r + 1);
  chart.title = "Power of " + statistic_name + " against " + key;
  chart.x_label = key + (key == kSubjectsKey ? " (subjects per trial)"
                                             : kv.numeric ? " (the key's unit)" : " (value number)");
  chart.y_label = "power";
  chart.y_lo = 0.0;
  chart.y_hi = 1.0;
  if (!kv.numeric) chart.x_tick_step = 1.0;
  // A margin on both sides keeps the first and last points off the frame.
  double lo = INFINITY, hi = -INFINITY;
  for (const std::string& v : kv.values) {
    lo = std::min(lo, x_of(kv, v));
    hi = std::max(hi, x_of(kv, v));
  }
  const double margin = hi > lo ? 0.06 * (hi - lo) : 0.5;
  chart.x_lo = lo - margin;
  chart.x_hi = hi + margin;
  bool any_analytic = false;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    struct Point {
      double x, power, sd, analytic;
    };
    std::vector<Point> points;
    for (const SweepScenario& s : result.scenarios) {
      if (k >= s.values.size() || r >= s.rows.size() || others_label(result, s, k) != groups[g]) {
        continue;
      }
      const SweepRow& row = s.rows[r];
      points.push_back({x_of(kv, s.values[k]), row.power, row.sd, row.analytic_power});
    }
    std::sort(points.begin(), points.end(),
              [](const Point& a, const Point& b) { return a.x < b.x; });
    Series simulated, analytic;
    simulated.kind = SeriesKind::kPoints;
    simulated.style = analytic.style = static_cast<int>(g);
    for (const Point& p : points) {
      simulated.x.push_back(p.x);
      simulated.y.push_back(p.power);
      simulated.low.push_back(std::max(0.0, p.power - kZ975 * p.sd));
      simulated.high.push_back(std::min(1.0, p.power + kZ975 * p.sd));
      analytic.x.push_back(p.x);
      analytic.y.push_back(p.analytic);
    }
    const bool has_analytic = std::any_of(points.begin(), points.end(), [](const Point& p) {
      return std::isfinite(p.analytic);
    });
    any_analytic = any_analytic || has_analytic;
    if (groups.size() == 1) {
      simulated.label = "simulated, 95 % interval";
      if (has_analytic) analytic.label = "analytic";
    } else if (has_analytic) {
      analytic.label = groups[g];
      analytic.markers = true;
    } else {
      simulated.label = groups[g];
    }
    chart.series.push_back(analytic);
    chart.series.push_back(simulated);
  }
  if (marks.has_target) chart.levels.push_back({marks.target, "target " + fixed(marks.target, 2)});
  if (marks.has_answer && key == kSubjectsKey) {
    chart.markers.push_back({marks.answer_subjects,
                             "answer " + std::to_string(std::lround(marks.answer_subjects))});
  }
  chart.caption = "Each point is the simulated power of one scenario, its bar the 95 % "
                  "Monte-Carlo interval (power \xC2\xB1 1.96 sd); ";
  chart.caption += any_analytic ? "the line joins the analytic power of the same scenarios."
                                : "the analytic power could not be computed for them.";
  if (groups.size() > 1) {
    chart.caption += " One curve for each combination of the other swept keys (legend).";
  }
  if (!kv.numeric) {
    chart.caption += " The values, by number:";
    for (std::size_t v = 0; v < kv.values.size(); ++v) {
      chart.caption += (v > 0 ? "; " : " ") + std::to_string(v + 1) + " = " + kv.values[v];
    }
    chart.caption += ".";
  }
  if (marks.has_target) chart.caption += " The dashed level is the target power.";
  return svg_chart(chart);
}

std::string statistic_label(const SweepRow& row) {
  if (row.rho == 0.0f && row.tau == 0.0f) return "log-rank";
  return "FH(" + shortest_real(row.rho) + ", " + shortest_real(row.tau) + ")";
}

void scenario_table(std::string& out, const SweepResult& result) {
  out += "<div class=\"wide\"><table>\n<caption>Every scenario: power (sd), analytic power"
         "</caption>\n<tr><th>scenario</th>";
  for (const std::string& key : result.keys) out += "<th>" + escape_xml(key) + "</th>";
  out += "<th>subjects</th><th>trials</th>";
  if (!result.scenarios.empty()) {
    for (const SweepRow& row : result.scenarios.front().rows) {
      out += "<th>" + escape_xml(statistic_label(row)) + "</th>";
    }
  }
  out += "</tr>\n";
  for (std::size_t n = 0; n < result.scenarios.size(); ++n) {
    const SweepScenario& s = result.scenarios[n];
    const std::string key = "scenarios." + std::to_string(n);
    out += "<tr><td class=\"n\">" + std::to_string(s.index) + "</td>";
    for (const std::string& value : s.values) out += "<td>" + escape_xml(value) + "</td>";
    out += "<td class=\"n\">" +
           span(key + ".subjects", std::to_string(s.subjects), std::to_string(s.subjects)) +
           "</td><td class=\"n\">" +
           span(key + ".trials", std::to_string(s.trials), std::to_string(s.trials)) + "</td>";
    for (std::size_t r = 0; r < s.rows.size(); ++r) {
      const SweepRow& row = s.rows[r];
      const std::string rk = key + ".statistics." + std::to_string(r);
      out += "<td class=\"n\">" +
             span(rk + ".power", shortest_real(row.power), shortest_real(row.power)) + " (" +
             span(rk + ".sd", shortest_real(row.sd), fixed(row.sd, 4)) + "), " +
             // An analytic power that could not be computed is null in the JSON.
             (std::isfinite(row.analytic_power)
                  ? span(rk + ".analytic_power", shortest_real(row.analytic_power),
                         fixed(row.analytic_power, 3))
                  : std::string("-")) +
             "</td>";
    }
    out += "</tr>\n";
  }
  out += "</table></div>\n";
}

}  // namespace

std::string sweep_html_report(const SweepResult& result, const SweepPageMarks& marks,
                              std::string_view keyed_text) {
  std::string keys;
  for (const std::string& key : result.keys) keys += (keys.empty() ? "" : ", ") + key;
  std::string out = html_page_start("gsdsim sweep: " + keys);
  out += "<header>\n<h1>Sweep of " + escape_xml(keys) + "</h1>\n<p class=\"lead\">" +
         std::to_string(result.scenarios.size()) + " of " +
         std::to_string(result.scenario_count) + " scenarios";
  if (result.shard_count > 1) {
    out += " (shard " + std::to_string(result.shard_index) + " of " +
           std::to_string(result.shard_count) + ")";
  }
  out += ", each simulated as a single run of the design with the swept keys replaced.</p>\n"
         "</header>\n";
  if (!keyed_text.empty()) {
    out += "<section id=\"design\">\n<h2>The design swept</h2>\n<pre class=\"keyed\">" +
           escape_xml(keyed_text) + "</pre>\n</section>\n";
  }
  const std::size_t statistics =
      result.scenarios.empty() ? 0 : result.scenarios.front().rows.size();
  for (std::size_t k = 0; k < result.keys.size(); ++k) {
    out += "<section id=\"key-" + std::to_string(k + 1) + "\">\n<h2>Power against " +
           escape_xml(result.keys[k]) + "</h2>\n";
    for (std::size_t r = 0; r < statistics; ++r) {
      out += key_chart(result, marks, k, r, statistic_label(result.scenarios.front().rows[r]));
    }
    out += "</section>\n";
  }
  out += "<section id=\"scenarios\">\n<h2>The scenarios</h2>\n";
  scenario_table(out, result);
  out += "</section>\n";
  out += html_page_end("Written by gsdsim --sweep. Every figure is that of a single run of its "
                       "scenario.");
  return out;
}

}  // namespace gsd
