#include "report/analytic_table.h"

#include <cstdarg>
#include <cstdio>

#include "design/method.h"

namespace gsd {
namespace {

void append(std::string& text, const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  text += buffer;
}

const char* method_name(const Design& design) {
  switch (method_of(design)) {
    case Method::kErrorSplit: return "method 1 (error split given)";
    case Method::kUseFunction: return "method 2 (use function)";
    case Method::kHaybittle: return "method 3 (Haybittle-type b)";
    default: return "method 4 (critical values given)";
  }
}

}  // namespace

std::string analytic_table(const Design& design, const AnalyticPower& a) {
  std::string text;
  const int K = a.look_count;
  const bool two_sided = a.sides == 2;
  text += "Analytic power: normal approximation at the expected information; nothing simulated\n";
  append(text, "Subjects per trial: %.0f (%.0f control, %.0f treatment); %s test, alpha = %g; %s\n",
         a.subjects[0] + a.subjects[1], a.subjects[0], a.subjects[1],
         two_sided ? "two-sided" : "one-sided", static_cast<double>(design.alpha),
         method_name(design));
  if (has_method(design, Method::kHaybittle)) append(text, "Haybittle-type b at the interim looks: %g\n", double{design.b});
  for (int j = 1; j <= a.stat_count; ++j) {
    const AnalyticStatistic& s = a.stat[j];
    append(text, "\nStatistic %d: rho = %g, tau = %g\n", j, s.rho, s.tau);
    text += " look       time   entered    events  information     drift   sd(Z)  boundary  engine c  P(reject)";
    text += two_sided ? "   P(lower)  cumulative\n" : "  cumulative\n";
    for (int k = 1; k <= K; ++k) {
      append(text, "%5d %10.3f %9.1f %9.2f %12.4f %9.4f %7.4f %9.4f %9.4f %10.5f", k, a.look_times[k],
             a.subjects_entered[k], a.total_events[k], s.information[k], s.drift[k], s.z_sd[k],
             s.bound[k], s.engine_bound[k], s.reject[k]);
      if (two_sided) append(text, " %10.5f", s.reject_lower[k]);
      append(text, " %11.5f\n", s.cumulative[k]);
    }
    append(text, " power = %.5f   expected stopping time = %.4f   power at the engine's critical values = %.5f\n",
           s.power, s.expected_stopping_time, s.engine_power);
  }
  return text;
}

std::string analytic_power_lines(const AnalyticPower& a) {
  std::string text;
  if (!a.ok) {
    append(text, "Analytic power: not available: %s\n", a.error.c_str());
    return text;
  }
  for (int j = 1; j <= a.stat_count; ++j) {
    const AnalyticStatistic& s = a.stat[j];
    append(text, "Analytic power of statistic %d (rho = %g, tau = %g): %.4f, expected stopping time %.4f\n",
           j, s.rho, s.tau, s.power, s.expected_stopping_time);
  }
  return text;
}

void write_analytic_json(JsonWriter& json, const AnalyticPower& a) {
  json_key(json, "analytic");
  json_begin_object(json);
  if (!a.ok) {
    json_key(json, "error");
    json_value(json, a.error);
    json_end_object(json);
    return;
  }
  const int K = a.look_count;
  json_key(json, "statistics");
  json_begin_array(json);
  for (int j = 1; j <= a.stat_count; ++j) {
    const AnalyticStatistic& s = a.stat[j];
    json_begin_object(json);
    json_key(json, "rho");
    json_value(json, s.rho);
    json_key(json, "tau");
    json_value(json, s.tau);
    json_key(json, "power");
    json_value(json, s.power);
    json_key(json, "expected_stopping_time");
    json_value(json, s.expected_stopping_time);
    json_key(json, "power_at_engine_bounds");
    json_value(json, s.engine_power);
    json_key(json, "looks");
    json_begin_array(json);
    for (int k = 1; k <= K; ++k) {
      json_begin_object(json);
      json_key(json, "look");
      json_value(json, k);
      json_key(json, "time");
      json_value(json, a.look_times[k]);
      json_key(json, "expected_events");
      json_value(json, a.total_events[k]);
      json_key(json, "information");
      json_value(json, s.information[k]);
      json_key(json, "drift");
      json_value(json, s.drift[k]);
      json_key(json, "bound");
      json_value(json, s.bound[k]);
      json_key(json, "engine_bound");
      json_value(json, s.engine_bound[k]);
      json_key(json, "reject_probability");
      json_value(json, s.reject[k]);
      json_key(json, "reject_lower");
      json_value(json, s.reject_lower[k]);
      json_end_object(json);
    }
    json_end_array(json);
    json_end_object(json);
  }
  json_end_array(json);
  json_end_object(json);
}

}  // namespace gsd
