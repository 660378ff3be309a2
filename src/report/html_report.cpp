#include "report/html_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "model/group_event_distribution.h"
#include "model/survival_curve.h"
#include "sim/statistic_result.h"
#include "report/html_page.h"
#include "report/svg_chart.h"
#include "text/json_writer.h"

namespace gsd {

namespace {

// Points at which the survival curves are drawn.
constexpr int kCurveSamples = 240;
// The normal quantile of a two-sided 95 % interval.
constexpr double kZ975 = 1.959963984540054;


std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string s = text;
  if (s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

std::string real(float value) { return shortest_real(value); }

// The top of an axis from 0 that shows `highest` (> 0) on whole ticks; 1 otherwise.
double axis_top(double highest) {
  if (!(highest > 0.0)) return 1.0;
  const AxisTicks t = axis_ticks(0.0, highest, 6);
  return tick_value(t, t.count - 1);
}

// Decimals that show a share of `n` trials exactly (3 for 1000 trials).
int share_decimals(int n) {
  int d = 0;
  for (long long p = 1; p < n && d < 6; p *= 10) ++d;
  return std::max(d, 2);
}

std::string real_list(const float* values, int first, int last) {
  std::string s;
  for (int i = first; i <= last; ++i) {
    if (i > first) s += ", ";
    s += real(values[i]);
  }
  return s;
}

std::string look_key(int i) { return "looks." + std::to_string(i - 1); }
std::string stat_key(int j) { return "statistics." + std::to_string(j - 1); }

// A table cell holding a figure of the JSON results.
std::string json_cell(const std::string& path, const std::string& value,
                      const std::string& shown) {
  return "<td class=\"n\" data-json=\"" + escape_xml(path) + "\" data-value=\"" +
         escape_xml(value) + "\">" + escape_xml(shown) + "</td>";
}

std::string json_span(const std::string& path, const std::string& value,
                      const std::string& shown) {
  return "<span data-json=\"" + escape_xml(path) + "\" data-value=\"" + escape_xml(value) +
         "\">" + escape_xml(shown) + "</span>";
}

std::string cell(const std::string& text) { return "<td class=\"n\">" + escape_xml(text) + "</td>"; }

std::string statistic_name(const Design& d, int j) {
  if (d.rho[j] == 0.0f && d.tau[j] == 0.0f) return "log-rank";
  return "FH(" + real(d.rho[j]) + ", " + real(d.tau[j]) + ")";
}

std::string method_words(const Design& d) {
  switch (d.method_code) {
    case 1:
      return "the type-I error spent at each look is given (cumulative " +
             real_list(d.cum_alpha, 1, d.look_count) +
             "); the critical values are computed in every trial from its observed information";
    case 2: {
      std::string name;
      switch (d.use_function_code) {
        case 1: name = "O'Brien & Fleming type"; break;
        case 2: name = "Pocock type"; break;
        case 3: name = "linear"; break;
        default: name = "Siegmund (Haybittle-type) with b = " + real(d.b); break;
      }
      return "Lan-DeMets use function, " + name +
             "; the critical values are computed in every trial from its observed information";
    }
    case 3:
      return "Haybittle-type: the constant b = " + real(d.b) +
             " at the interim looks and a final critical value computed in every trial";
    default:
      return "critical values given at each look: " + real_list(d.given_bounds, 1, d.look_count);
  }
}

bool has_crossover(const Design& d) {
  for (int k = 1; k <= d.drop_in_count; ++k) {
    if (d.drop_in_probs[k] > 0.0f) return true;
  }
  for (int k = 1; k <= d.drop_out_count; ++k) {
    if (d.drop_out_probs[k] > 0.0f) return true;
  }
  return false;
}

// S1(t) of the hazard-ratio description: R(k) S0(t)^theta(k) on interval k,
// theta = 1 beyond the last cut point (see HazardRatioCurve).
double hazard_ratio_survival(const Design& d, double t) {
  const SurvivalCurve& s0 = d.baseline_curve;
  double multiplier = 1.0;
  for (int k = 1; k <= d.interval_count; ++k) {
    const double theta = d.hazard_ratios[k];
    if (t <= d.hazard_cutpoints[k]) {
      return multiplier * std::pow(double{survival_at(s0, static_cast<float>(t))}, theta);
    }
    const double next = k < d.interval_count ? double{d.hazard_ratios[k + 1]} : 1.0;
    multiplier *=
        std::pow(double{survival_at(s0, d.hazard_cutpoints[k])}, theta - next);
  }
  return multiplier * survival_at(s0, static_cast<float>(t));
}

double treatment_survival(const Design& d, double t) {
  if (uses_hazard_ratios(d)) return hazard_ratio_survival(d, t);
  return survival_at(d.alternative_curve, static_cast<float>(t));
}

// The x axis of a chart against the look times: from 0, with room for the
// last look's marker.
void look_time_axis(Chart& chart, const Design& d) {
  chart.x_label = uses_event_looks(d)
                      ? "expected calendar time of the look's event target (design time units)"
                      : "calendar time of the look (design time units)";
  chart.x_lo = 0.0;
  chart.x_hi = axis_top(1.03 * d.look_times[d.look_count]);
}

std::vector<Marker> look_markers(const Design& d) {
  std::vector<Marker> markers;
  for (int i = 1; i <= d.look_count; ++i) markers.push_back({d.look_times[i], std::to_string(i)});
  return markers;
}

void design_section(std::string& out, const Design& d, const Calibration& c,
                    std::string_view keyed_text) {
  const int K = d.look_count;
  out += "<section id=\"design\">\n<h2>The design</h2>\n<p>";
  const std::string subjects = std::to_string(c.subject_count);
  out += "Two groups; " + json_span("calibration.subject_count", subjects, subjects) +
         " subjects per trial, entering uniformly over " + real(d.accrual_period) +
         " time units at " + real(d.accrual_rate) + " per unit. ";
  if (uses_event_looks(d)) {
    out += std::to_string(K) + (K == 1 ? " look" : " looks") + " at the event targets ";
    for (int i = 1; i <= K; ++i) out += (i > 1 ? ", " : "") + std::to_string(d.look_events[i]);
    out += " (both groups together), or at time " + real(d.max_time) +
           " when that comes first; expected calendar times " + real_list(d.look_times, 1, K) +
           ". ";
  } else {
    out += std::to_string(K) + (K == 1 ? " look" : " looks") + " at the calendar times " +
           real_list(d.look_times, 1, K) + " from the start of accrual. ";
  }
  out += "Statistics: ";
  for (int j = 1; j <= d.stat_count; ++j) {
    out += (j > 1 ? ", " : "") + escape_xml(statistic_name(d, j));
  }
  const std::string trials = std::to_string(d.sim_count);
  const std::string seed = std::to_string(d.seed);
  out += ". Overall type-I error " + json_span("design.alpha", real(d.alpha), real(d.alpha)) +
         ", " +
         (d.sides == 2 ? "two-sided (reject for |Z| &#8805; c)" : "one-sided (reject for Z &#8805; c)") +
         ". Boundaries: " + escape_xml(method_words(d)) + ". The treatment group is described by " +
         (uses_hazard_ratios(d) ? "hazard ratios to the control group" : "survival points") + ". " +
         json_span("design.sim_count", trials, trials) + " trials were simulated from the seed " +
         json_span("design.seed", seed, seed) + ".</p>\n";

  if (!keyed_text.empty()) {
    out += "<p>The design in its keyed form (as <code>gsdsim --convert</code> writes it):</p>\n"
           "<pre class=\"keyed\">" + escape_xml(keyed_text) + "</pre>\n";
  }
  out += "<p class=\"note\">Every design item as simulated is listed at the end of the page.</p>\n</section>\n";
}

// The items by the names of the JSON results.
void items_section(std::string& out, const Design& d) {
  const int K = d.look_count;
  out += "<section id=\"items\">\n<h2>The design items</h2>\n";
  out += "<div class=\"wide\"><table class=\"items\">\n<caption>As simulated (after the "
         "defaults and the calibration), by the names of the JSON results</caption>\n"
         "<tr><th>item</th><th>value</th></tr>\n";
  const auto row = [&](const char* name, const std::string& value) {
    out += "<tr><td>" + std::string(name) + "</td><td>" + escape_xml(value) + "</td></tr>\n";
  };
  const auto curve = [&](const char* name, const SurvivalCurve& s) {
    row(name, "x: " + real_list(s.x, 0, s.n) + "; S: " + real_list(s.S, 0, s.n));
  };
  row("method_code", std::to_string(d.method_code));
  row("report_name", d.report_name);
  row("seed", std::to_string(d.seed));
  row("look_times", real_list(d.look_times, 1, K));
  if (uses_event_looks(d)) {
    std::string events;
    for (int i = 1; i <= K; ++i) events += (i > 1 ? ", " : "") + std::to_string(d.look_events[i]);
    row("look_events", events);
    row("max_time", real(d.max_time));
  }
  row("rho", real_list(d.rho, 1, d.stat_count));
  row("tau", real_list(d.tau, 1, d.stat_count));
  row("sim_count", std::to_string(d.sim_count));
  row("alpha", real(d.alpha));
  row("sides", std::to_string(d.sides));
  row("cum_alpha", real_list(d.cum_alpha, 0, K));
  row("b", real(d.b));
  row("given_bounds", real_list(d.given_bounds, 1, K));
  row("use_function_code", std::to_string(d.use_function_code));
  curve("baseline_curve", d.baseline_curve);
  row("accrual_period", real(d.accrual_period));
  row("accrual_rate", real(d.accrual_rate));
  row("alternative_mode", real(d.alternative_mode));
  row("hazard_cutpoints", real_list(d.hazard_cutpoints, 1, d.interval_count));
  if (uses_hazard_ratios(d)) {
    row("hazard_ratios", real_list(d.hazard_ratios, 1, d.interval_count));
  } else {
    curve("alternative_curve", d.alternative_curve);
  }
  curve("control_censoring", d.control_censoring);
  curve("treatment_censoring", d.treatment_censoring);
  row("drop_in", "times: " + real_list(d.drop_in_times, 1, d.drop_in_count) +
                     "; probabilities: " + real_list(d.drop_in_probs, 1, d.drop_in_count));
  row("drop_out", "times: " + real_list(d.drop_out_times, 1, d.drop_out_count) +
                      "; probabilities: " + real_list(d.drop_out_probs, 1, d.drop_out_count));
  out += "</table></div>\n</section>\n";
}

void curves_section(std::string& out, const Design& d) {
  // Up to the last look, or under event targets to the longest a trial may run.
  const double t_end = uses_event_looks(d) && d.max_time > d.look_times[d.look_count]
                           ? d.max_time
                           : d.look_times[d.look_count];
  Chart chart;
  chart.id = "curves";
  chart.title = "Survival and censoring curves as simulated";
  chart.x_label = "time since entry (design time units)";
  chart.y_label = "probability";
  chart.x_lo = 0.0;
  chart.x_hi = t_end;
  chart.y_lo = 0.0;
  chart.y_hi = 1.0;
  Series control, treatment, control_censoring, treatment_censoring;
  control.label = "control: survival";
  treatment.label = uses_hazard_ratios(d) ? "treatment: survival (hazard ratios)"
                                          : "treatment: survival (points)";
  treatment.style = 1;
  control_censoring.label = "control: not yet lost";
  control_censoring.style = 2;
  treatment_censoring.label = "treatment: not yet lost";
  treatment_censoring.style = 3;
  // With crossover the groups' event times are those the generator draws,
  // drop-in and drop-out included; the treatment curve as assigned is shown beside.
  const bool crossover = has_crossover(d);
  const GroupEventDistribution control_times = make_group_event_distribution(d, 0);
  const GroupEventDistribution treatment_times = make_group_event_distribution(d, 1);
  Series assigned;
  assigned.style = 4;
  if (crossover) {
    control.label = "control: survival, drop-in included";
    treatment.label = "treatment: survival, drop-out included";
    assigned.label = "treatment as assigned, no drop-out";
  }
  for (int k = 0; k <= kCurveSamples; ++k) {
    const double t = t_end * k / kCurveSamples;
    const float tf = static_cast<float>(t);
    for (Series* s : {&control, &treatment, &control_censoring, &treatment_censoring}) {
      s->x.push_back(t);
    }
    if (crossover) {
      control.y.push_back(k == 0 ? 1.0 : group_survival(control_times, t));
      treatment.y.push_back(k == 0 ? 1.0 : group_survival(treatment_times, t));
      assigned.x.push_back(t);
      assigned.y.push_back(treatment_survival(d, t));
    } else {
      control.y.push_back(survival_at(d.baseline_curve, tf));
      treatment.y.push_back(treatment_survival(d, t));
    }
    control_censoring.y.push_back(survival_at(d.control_censoring, tf));
    treatment_censoring.y.push_back(survival_at(d.treatment_censoring, tf));
  }
  chart.series = {control, treatment, control_censoring, treatment_censoring};
  if (crossover) chart.series.push_back(assigned);
  chart.markers = look_markers(d);
  chart.caption =
      "Survival of each group and the probability of not yet being lost to follow-up, "
      "against the time since a subject's entry, up to the last look. The dashed verticals "
      "mark the calendar times of the looks (numbered): a subject who entered at the start "
      "of accrual is followed that long at each look.";
  if (uses_event_looks(d)) {
    chart.caption += " Under event targets a look's time differs from trial to trial; the "
                     "verticals mark the expected times of the targets, and the curves run "
                     "to the longest a trial may run.";
  }
  if (has_crossover(d)) {
    chart.caption += " The groups' survival includes the crossover as the simulation draws it "
                     "(a control subject may start the treatment, a treatment subject stop it); "
                     "the light line is the treatment group's curve without drop-out.";
  }
  out += "<section id=\"curves\">\n<h2>Survival and censoring</h2>\n" + svg_chart(chart) +
         "</section>\n";
}

// Cumulative share of trials that rejected by look i.
double cumulative_power(const RunTally& tally, int j, int i, int n) {
  long long rejected = 0;
  for (int k = 1; k <= i; ++k) rejected += tally.looks.rejected[j][k];
  return n > 0 ? static_cast<double>(rejected) / n : 0.0;
}

double interval_half_width(double p, int n) {
  return n > 0 ? kZ975 * std::sqrt(p * (1.0 - p) / n) : 0.0;
}

std::string analytic_key(int j) { return "analytic.statistics." + std::to_string(j - 1); }

void power_section(std::string& out, const Design& d, const RunTally& tally,
                   const AnalyticPower* analytic) {
  const int K = d.look_count;
  const int n = d.sim_count;
  const double t_end = d.look_times[K];
  Chart chart;
  chart.id = "power";
  chart.title = "Cumulative power by look";
  look_time_axis(chart, d);
  chart.y_label = "probability of having rejected";
  chart.y_lo = 0.0;
  chart.y_hi = 1.0;
  for (int j = 1; j <= d.stat_count; ++j) {
    Series points, line;
    points.kind = SeriesKind::kPoints;
    // The legend shows the line's dash and marker.
    line.label = statistic_name(d, j);
    line.markers = true;
    points.style = line.style = j - 1;
    // Statistics are set slightly apart so that their intervals do not cover each other.
    const double shift = d.stat_count > 1 ? 0.008 * t_end * (j - 1 - (d.stat_count - 1) / 2.0) : 0.0;
    for (int i = 1; i <= K; ++i) {
      const double p = cumulative_power(tally, j, i, n);
      const double h = interval_half_width(p, n);
      points.x.push_back(d.look_times[i] + shift);
      points.y.push_back(p);
      points.low.push_back(std::max(0.0, p - h));
      points.high.push_back(std::min(1.0, p + h));
    }
    if (analytic != nullptr) {
      // The analytic cumulative power is the line; the simulated figures are the points.
      line.markers = false;
      line.label = statistic_name(d, j) + ", analytic";
      points.label = statistic_name(d, j) + ", simulated";
      for (int i = 1; i <= K; ++i) {
        line.x.push_back(d.look_times[i]);
        line.y.push_back(analytic->stat[j].cumulative[i]);
      }
    } else {
      line.x = points.x;
      line.y = points.y;
    }
    chart.series.push_back(line);
    chart.series.push_back(points);
  }
  chart.markers = look_markers(d);
  chart.caption =
      std::string(analytic != nullptr ? "Lines: the analytic cumulative power of each "
                                        "statistic (the weighted log-rank statistics as jointly "
                                        "normal at their expected information). Points: " : "") +
      "For each statistic, the share of the simulated trials that had rejected the null "
      "hypothesis by each look; the value at the last look is the power. The bars are 95 % "
      "Monte-Carlo intervals (p \xC2\xB1 1.96 sd, sd = sqrt(p(1 - p)/trials)).";
  out += "<section id=\"power\">\n<h2>Power</h2>\n" + svg_chart(chart);

  out += "<div class=\"wide\"><table>\n<caption>Power of each statistic (the report's figures)</caption>\n"
         "<tr><th>statistic</th><th>rho</th><th>tau</th><th>rejections</th><th>power</th>"
         "<th>sd</th><th>95 % interval</th><th>average stopping time</th>"
         "<th>trials without a stop</th>";
  if (analytic != nullptr) out += "<th>analytic power</th>";
  out += "</tr>\n";
  for (int j = 1; j <= d.stat_count; ++j) {
    const StatisticResult r = statistic_result(tally, j, n);
    const double h = interval_half_width(r.power, n);
    const std::string key = stat_key(j);
    out += "<tr><td>" + escape_xml(statistic_name(d, j)) + "</td>" +
           json_cell(key + ".rho", real(d.rho[j]), real(d.rho[j])) +
           json_cell(key + ".tau", real(d.tau[j]), real(d.tau[j])) +
           json_cell(key + ".rejections", std::to_string(tally.rej[j]), std::to_string(tally.rej[j])) +
           json_cell(key + ".power", real(r.power), real(r.power)) +
           json_cell(key + ".sd", real(r.sd), fixed(r.sd, 4)) +
           cell(fixed(std::max(0.0, r.power - h), 3) + " to " + fixed(std::min(1.0, r.power + h), 3)) +
           json_cell(key + ".average_stopping_time", real(r.average_stopping_time),
                     fixed(r.average_stopping_time, 3)) +
           json_cell(key + ".trials_without_stop", std::to_string(tally.looks.stopped[j][0]),
                     std::to_string(tally.looks.stopped[j][0]));
    if (analytic != nullptr) {
      const double a = analytic->stat[j].power;
      out += json_cell(analytic_key(j) + ".power", shortest_real(a), fixed(a, 3));
    }
    out += "</tr>\n";
  }
  out += "</table></div>\n</section>\n";
}

void statistic_section(std::string& out, const Design& d, const RunTally& tally,
                       const BoundTally* bounds, const AnalyticPower* analytic, int j) {
  const int K = d.look_count;
  const int n = d.sim_count;
  const int decimals = share_decimals(n);
  const bool given = d.method_code == 4;
  const std::string id = "statistic-" + std::to_string(j);
  const std::string name = statistic_name(d, j);
  out += "<section id=\"" + id + "\">\n<h2>Statistic " + std::to_string(j) + ": " +
         escape_xml(name) + "</h2>\n";

  Chart bound_chart;
  bound_chart.id = id + "-bounds";
  bound_chart.title = "Critical values of " + name;
  look_time_axis(bound_chart, d);
  bound_chart.y_label = d.sides == 2 ? "critical values c and -c (Z scale)"
                                     : "critical value c (Z scale)";
  Series line, points;
  line.style = points.style = 0;
  points.kind = SeriesKind::kPoints;
  line.markers = given;
  for (int i = 1; i <= K; ++i) {
    if (given) {
      line.x.push_back(d.look_times[i]);
      line.y.push_back(d.given_bounds[i]);
      continue;
    }
    if (bounds == nullptr) continue;
    const BoundSummary s = bound_summary(*bounds, j, i);
    if (s.trials == 0) continue;
    line.x.push_back(d.look_times[i]);
    line.y.push_back(s.mean);
    points.x.push_back(d.look_times[i]);
    points.y.push_back(s.mean);
    points.low.push_back(s.q05);
    points.high.push_back(s.q95);
  }
  if (given) {
    line.label = "c given";
    bound_chart.series = {line};
  } else {
    line.label = "mean over the trials, bar 5 % to 95 %";
    line.markers = true;
    bound_chart.series = {line, points};
  }
  if (analytic != nullptr && !given) {
    Series expected;
    expected.style = 2;
    expected.markers = true;
    expected.label = "at the expected information (analytic)";
    for (int i = 1; i <= K; ++i) {
      expected.x.push_back(d.look_times[i]);
      expected.y.push_back(analytic->stat[j].bound[i]);
    }
    bound_chart.series.push_back(expected);
  }
  if (d.sides == 2) {
    // The lower boundary -c of a two-sided design, in the same style.
    const std::size_t upper = bound_chart.series.size();
    for (std::size_t k = 0; k < upper; ++k) {
      Series lower = bound_chart.series[k];
      lower.label.clear();
      for (double& y : lower.y) y = -y;
      for (double& y : lower.low) y = -y;
      for (double& y : lower.high) y = -y;
      bound_chart.series.push_back(lower);
    }
    bound_chart.levels = {{0.0, ""}};
  }
  bound_chart.markers = look_markers(d);
  bound_chart.caption =
      given ? "The critical values of the design, the same in every trial."
            : "The critical value each trial computed at the look from its own observed "
              "information: the mean over the trials that reached the look with subjects, and "
              "the range from the 5 % to the 95 % quantile of those trials.";
  if (analytic != nullptr && !given) {
    bound_chart.caption += " The second line: the critical values the analytic power uses, "
                           "computed at the expected information.";
  }
  bound_chart.caption += d.sides == 2
                             ? " Two-sided: a trial rejects when Z reaches c or falls to -c (the "
                               "lower boundary, drawn below 0)."
                             : " One-sided: a trial rejects when Z reaches c.";
  if (!given && bounds == nullptr) {
    out += "<p class=\"note\">The critical values of the trials were not collected in this run.</p>\n";
  } else {
    out += svg_chart(bound_chart);
  }

  Chart stop_chart;
  stop_chart.id = id + "-stops";
  stop_chart.title = "Rejecting and stopping at each look, " + name;
  stop_chart.x_label = "look";
  stop_chart.y_label = "share of the simulated trials";
  stop_chart.x_tick_step = 1.0;
  stop_chart.y_lo = 0.0;
  Series rejecting, stopping;
  rejecting.kind = stopping.kind = SeriesKind::kBars;
  rejecting.label = "rejected at the look";
  stopping.label = "stopped at the look";
  rejecting.style = 1;
  stopping.style = 3;
  double highest = 0.0;
  for (int i = 1; i <= K; ++i) {
    const double r = n > 0 ? static_cast<double>(tally.looks.rejected[j][i]) / n : 0.0;
    const double s = n > 0 ? static_cast<double>(tally.looks.stopped[j][i]) / n : 0.0;
    rejecting.x.push_back(i);
    rejecting.y.push_back(r);
    stopping.x.push_back(i);
    stopping.y.push_back(s);
    highest = std::max({highest, r, s});
  }
  stop_chart.y_hi = axis_top(highest);
  stop_chart.series = {rejecting, stopping};
  stop_chart.caption =
      "Of all simulated trials, the share in which this statistic rejected at each look, and "
      "the share in which it stopped there (rejecting, or reaching the last look).";
  out += svg_chart(stop_chart);

  out += "<div class=\"wide\"><table>\n<caption>Per look, " + escape_xml(name) +
         "</caption>\n<tr><th>look</th><th>time</th><th>trials reached</th>";
  out += given ? "<th>c</th>" : "<th>c: mean (5 % to 95 %)</th>";
  out += "<th>stopped: trials (share)</th><th>rejected: trials (share)</th>"
         "<th>cumulative power (95 % interval)</th>";
  if (analytic != nullptr) out += "<th>analytic: P(reject) at the look, cumulative</th>";
  out += "</tr>\n";
  for (int i = 1; i <= K; ++i) {
    const std::string key = stat_key(j) + ".looks." + std::to_string(i - 1);
    const int stopped = tally.looks.stopped[j][i];
    const int rejected = tally.looks.rejected[j][i];
    const double p = cumulative_power(tally, j, i, n);
    const double h = interval_half_width(p, n);
    const auto share = [&](int count) {
      return " (" + fixed(n > 0 ? static_cast<double>(count) / n : 0.0, decimals) + ")";
    };
    out += "<tr>" + cell(std::to_string(i)) +
           json_cell(look_key(i) + ".time", real(d.look_times[i]), real(d.look_times[i])) +
           json_cell(look_key(i) + ".trials_reached", std::to_string(tally.looks.reached[i]),
                     std::to_string(tally.looks.reached[i]));
    if (given) {
      out += json_cell("calibration.c." + std::to_string(i - 1), real(d.given_bounds[i]),
                       real(d.given_bounds[i]));
    } else if (bounds != nullptr && bound_summary(*bounds, j, i).trials > 0) {
      const BoundSummary s = bound_summary(*bounds, j, i);
      out += cell(fixed(s.mean, 3) + " (" + fixed(s.q05, 3) + " to " + fixed(s.q95, 3) + ")");
    } else {
      out += cell("-");
    }
    out += "<td class=\"n\">" +
           json_span(key + ".stopped", std::to_string(stopped), std::to_string(stopped)) +
           share(stopped) + "</td><td class=\"n\">" +
           json_span(key + ".rejected", std::to_string(rejected), std::to_string(rejected)) +
           share(rejected) + "</td>" +
           cell(fixed(p, decimals) + " (" + fixed(std::max(0.0, p - h), 3) + " to " +
                fixed(std::min(1.0, p + h), 3) + ")");
    if (analytic != nullptr) {
      const double r = analytic->stat[j].reject[i];
      out += "<td class=\"n\">" +
             json_span(analytic_key(j) + ".looks." + std::to_string(i - 1) + ".reject_probability",
                       shortest_real(r), fixed(r, 3)) +
             ", " + fixed(analytic->stat[j].cumulative[i], 3) + "</td>";
    }
    out += "</tr>\n";
  }
  out += "</table></div>\n</section>\n";
}

double mean_count(long long sum, int count) {
  return count > 0 ? static_cast<double>(sum) / count : 0.0;
}

// The mean calendar time of look i over the trials that reached it.
double mean_time_at(const RunTally& tally, int i) {
  const int reached = tally.looks.reached[i];
  return reached > 0 ? tally.looks.time_sum[i] / reached : 0.0;
}

void looks_section(std::string& out, const Design& d, const RunTally& tally,
                   const AnalyticPower* analytic) {
  const int K = d.look_count;
  Chart chart;
  chart.id = "looks";
  chart.title = "Subjects and events at the looks";
  look_time_axis(chart, d);
  chart.y_label = "mean number per trial";
  chart.y_lo = 0.0;
  Series subjects, events;
  subjects.label = "subjects in the look's data";
  events.label = "events (both groups)";
  events.style = 1;
  subjects.markers = events.markers = true;
  double highest = 0.0;
  for (int i = 1; i <= K; ++i) {
    const double s = mean_count(tally.looks.subjects[i], tally.looks.reached[i]);
    const double e = mean_count(tally.looks.events[i], tally.looks.reached[i]);
    subjects.x.push_back(d.look_times[i]);
    subjects.y.push_back(s);
    events.x.push_back(d.look_times[i]);
    events.y.push_back(e);
    highest = std::max(highest, s);
  }
  chart.y_hi = axis_top(highest);
  chart.series = {subjects, events};
  if (analytic != nullptr) {
    Series expected;
    expected.style = 2;
    expected.label = "expected events (analytic)";
    for (int i = 1; i <= K; ++i) {
      expected.x.push_back(d.look_times[i]);
      expected.y.push_back(analytic->total_events[i]);
    }
    chart.series.push_back(expected);
  }
  chart.caption =
      "Mean number of subjects entered and of events observed at each look, over the trials "
      "that reached the look (a trial ends at the look where its last statistic stops).";
  out += "<section id=\"looks\">\n<h2>Subjects and events at the looks</h2>\n" + svg_chart(chart);
  const bool targets = uses_event_looks(d);
  out += "<div class=\"wide\"><table>\n<caption>Per look, over the trials that reached it</caption>\n"
         "<tr><th>look</th>";
  out += targets ? "<th>event target</th><th>expected time</th><th>time: mean (least to largest)</th>"
                : "<th>time</th>";
  out += "<th>trials reached</th><th>mean subjects</th><th>mean events</th>";
  if (analytic != nullptr) out += "<th>expected events (analytic)</th>";
  out += "</tr>\n";
  for (int i = 1; i <= K; ++i) {
    const double s = mean_count(tally.looks.subjects[i], tally.looks.reached[i]);
    const double e = mean_count(tally.looks.events[i], tally.looks.reached[i]);
    out += "<tr>" + cell(std::to_string(i));
    if (targets) {
      const std::string target = std::to_string(d.look_events[i]);
      out += json_cell(look_key(i) + ".target_events", target, target);
    }
    out += json_cell(look_key(i) + ".time", real(d.look_times[i]), real(d.look_times[i]));
    if (targets) {
      const double mean_time = mean_time_at(tally, i);
      const float least = tally.looks.time_min[i];
      const float largest = tally.looks.time_max[i];
      out += "<td class=\"n\">" +
             json_span(look_key(i) + ".mean_time", shortest_real(mean_time), fixed(mean_time, 2)) +
             " (" + json_span(look_key(i) + ".min_time", real(least), fixed(least, 2)) + " to " +
             json_span(look_key(i) + ".max_time", real(largest), fixed(largest, 2)) + ")</td>";
    }
    out += json_cell(look_key(i) + ".trials_reached", std::to_string(tally.looks.reached[i]),
                     std::to_string(tally.looks.reached[i])) +
           json_cell(look_key(i) + ".mean_subjects", shortest_real(s), fixed(s, 1)) +
           json_cell(look_key(i) + ".mean_events", shortest_real(e), fixed(e, 1));
    if (analytic != nullptr) {
      const double x = analytic->total_events[i];
      out += json_cell(analytic_key(1) + ".looks." + std::to_string(i - 1) + ".expected_events",
                       shortest_real(x), fixed(x, 1));
    }
    out += "</tr>\n";
  }
  out += "</table></div>\n</section>\n";
}

}  // namespace

std::string html_report(const Design& d, const Calibration& calibration, const RunTally& tally,
                        const BoundTally* collected, std::string_view keyed_text,
                        const AnalyticPower* computed) {
  const AnalyticPower* analytic = computed != nullptr && computed->ok ? computed : nullptr;
  // A tally without statistics was not collected (method 4, or not asked for).
  const BoundTally* bounds =
      collected != nullptr && collected->stat_count > 0 ? collected : nullptr;
  const std::string name = escape_xml(d.report_name);
  std::string out;
  out += html_page_start("gsdsim: " + std::string(d.report_name));
  out += "<header>\n<h1>Group-sequential design: " + name + "</h1>\n<p class=\"lead\">";
  for (int j = 1; j <= d.stat_count; ++j) {
    const StatisticResult r = statistic_result(tally, j, d.sim_count);
    out += (j > 1 ? "; " : "Power ") + escape_xml(statistic_name(d, j)) + " " + real(r.power) +
           " (sd " + fixed(r.sd, 4) + ")";
  }
  out += ", from " + std::to_string(d.sim_count) + " simulated trials.</p>\n</header>\n";
  design_section(out, d, calibration, keyed_text);
  curves_section(out, d);
  power_section(out, d, tally, analytic);
  for (int j = 1; j <= d.stat_count; ++j) statistic_section(out, d, tally, bounds, analytic, j);
  looks_section(out, d, tally, analytic);
  items_section(out, d);
  out += html_page_end("Written by gsdsim with the report " + std::string(d.report_name) +
                       ". Every figure comes from the same run as the report.");
  return out;
}

}  // namespace gsd
