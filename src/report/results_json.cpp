#include "report/results_json.h"

#include "design/method.h"
#include "report/analytic_table.h"
#include "report/results_report.h"
#include "text/json_writer.h"

namespace gsd {

namespace {

template <typename Value>
void member(JsonWriter& json, std::string_view key, Value value) {
  json_key(json, key);
  json_value(json, value);
}

void real_list(JsonWriter& json, std::string_view key, const float* values, int first, int last) {
  json_key(json, key);
  json_begin_array(json);
  for (int i = first; i <= last; ++i) json_value(json, values[i]);
  json_end_array(json);
}

void curve(JsonWriter& json, std::string_view key, const SurvivalCurve& c) {
  json_key(json, key);
  json_begin_object(json);
  real_list(json, "x", c.x, 0, c.n);
  real_list(json, "S", c.S, 0, c.n);
  json_end_object(json);
}

void crossover(JsonWriter& json, std::string_view key, int count, const float* times,
               const float* probs) {
  json_key(json, key);
  json_begin_object(json);
  real_list(json, "times", times, 1, count);
  real_list(json, "probabilities", probs, 1, count);
  json_end_object(json);
}

void write_design(JsonWriter& json, const Design& d) {
  const int K = d.look_count;
  json_key(json, "design");
  json_begin_object(json);
  member(json, "method_code", d.method_code);
  member(json, "report_name", d.report_name);
  member(json, "seed", d.seed);
  real_list(json, "look_times", d.look_times, 1, K);
  real_list(json, "rho", d.rho, 1, d.stat_count);
  real_list(json, "tau", d.tau, 1, d.stat_count);
  member(json, "sim_count", d.sim_count);
  member(json, "alpha", d.alpha);
  member(json, "sides", d.sides);
  real_list(json, "cum_alpha", d.cum_alpha, 0, K);
  member(json, "b_input", d.b_input);
  member(json, "b", d.b);
  real_list(json, "given_bounds", d.given_bounds, 1, K);
  member(json, "use_function_code", d.use_function_code);
  curve(json, "baseline_curve", d.baseline_curve);
  member(json, "accrual_period", d.accrual_period);
  member(json, "accrual_rate", d.accrual_rate);
  member(json, "alternative_mode", d.alternative_mode);
  real_list(json, "hazard_cutpoints", d.hazard_cutpoints, 1, d.interval_count);
  if (uses_hazard_ratios(d)) {
    real_list(json, "hazard_ratios", d.hazard_ratios, 1, d.interval_count);
  } else {
    curve(json, "alternative_curve", d.alternative_curve);
  }
  curve(json, "control_censoring", d.control_censoring);
  curve(json, "treatment_censoring", d.treatment_censoring);
  crossover(json, "drop_in", d.drop_in_count, d.drop_in_times, d.drop_in_probs);
  crossover(json, "drop_out", d.drop_out_count, d.drop_out_times, d.drop_out_probs);
  if (uses_event_looks(d)) {
    json_key(json, "look_events");
    json_begin_array(json);
    for (int i = 1; i <= K; ++i) json_value(json, d.look_events[i]);
    json_end_array(json);
    member(json, "max_time", d.max_time);
  }
  json_end_object(json);
}

void write_calibration(JsonWriter& json, const Design& d, const Calibration& c) {
  json_key(json, "calibration");
  json_begin_object(json);
  member(json, "subject_count", c.subject_count);
  json_key(json, "null_variance");
  json_begin_array(json);
  for (int j = 1; j <= d.stat_count; ++j) {
    json_begin_array(json);
    for (int i = 1; i <= d.look_count; ++i) json_value(json, c.null_variance[j][i]);
    json_end_array(json);
  }
  json_end_array(json);
  real_list(json, "v0", c.scale.v0, 1, d.stat_count);
  real_list(json, "v_last", c.scale.v_last, 1, d.stat_count);
  member(json, "b", d.b);
  if (has_method(d, Method::kHaybittle)) {
    member(json, "haybittle_c", c.haybittle_c);
  }
  if (has_method(d, Method::kGivenBounds)) real_list(json, "c", d.given_bounds, 1, d.look_count);
  json_end_object(json);
}

double mean(long long sum, int count) {
  return count > 0 ? static_cast<double>(sum) / count : 0.0;
}

}  // namespace

std::string results_json(const Design& d, const Calibration& calibration, const RunTally& tally,
                         const AnalyticPower* analytic) {
  const LookTally& looks = tally.looks;
  JsonWriter json;
  json_begin_object(json);
  write_design(json, d);
  write_calibration(json, d, calibration);

  json_key(json, "looks");
  json_begin_array(json);
  for (int i = 1; i <= d.look_count; ++i) {
    json_begin_object(json);
    member(json, "look", i);
    member(json, "time", d.look_times[i]);
    member(json, "trials_reached", looks.reached[i]);
    member(json, "mean_subjects", mean(looks.subjects[i], looks.reached[i]));
    member(json, "mean_events", mean(looks.events[i], looks.reached[i]));
    if (uses_event_looks(d)) {
      // The look's own time in each trial; "time" above is the expected one.
      member(json, "target_events", d.look_events[i]);
      const int reached = looks.reached[i];
      member(json, "mean_time", reached > 0 ? looks.time_sum[i] / reached : 0.0);
      member(json, "min_time", looks.time_min[i]);
      member(json, "max_time", looks.time_max[i]);
    }
    json_end_object(json);
  }
  json_end_array(json);

  json_key(json, "statistics");
  json_begin_array(json);
  for (int j = 1; j <= d.stat_count; ++j) {
    const StatisticResult result = statistic_result(tally, j, d.sim_count);
    json_begin_object(json);
    member(json, "rho", d.rho[j]);
    member(json, "tau", d.tau[j]);
    member(json, "rejections", tally.rej[j]);
    member(json, "power", result.power);
    member(json, "sd", result.sd);
    member(json, "average_stopping_time", result.average_stopping_time);
    // Trials whose last look had no subject: the statistic never stopped.
    member(json, "trials_without_stop", looks.stopped[j][0]);
    json_key(json, "looks");
    json_begin_array(json);
    for (int i = 1; i <= d.look_count; ++i) {
      json_begin_object(json);
      member(json, "look", i);
      member(json, "stopped", looks.stopped[j][i]);
      member(json, "rejected", looks.rejected[j][i]);
      json_end_object(json);
    }
    json_end_array(json);
    json_end_object(json);
  }
  json_end_array(json);
  if (analytic != nullptr) write_analytic_json(json, *analytic);
  json_end_object(json);
  json.text += '\n';
  return json.text;
}

}  // namespace gsd
