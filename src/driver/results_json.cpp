#include "driver/results_json.h"

#include "stats/results_report.h"
#include "text/json_writer.h"

namespace gsd {

namespace {

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
  json_key(json, "method_code");
  json_value(json, d.method_code);
  json_key(json, "report_name");
  json_value(json, d.report_name);
  json_key(json, "seed");
  json_value(json, d.seed);
  real_list(json, "look_times", d.look_times, 1, K);
  real_list(json, "rho", d.rho, 1, d.stat_count);
  real_list(json, "tau", d.tau, 1, d.stat_count);
  json_key(json, "sim_count");
  json_value(json, d.sim_count);
  json_key(json, "alpha");
  json_value(json, d.alpha);
  json_key(json, "sides");
  json_value(json, d.sides);
  real_list(json, "cum_alpha", d.cum_alpha, 0, K);
  json_key(json, "b_input");
  json_value(json, d.b_input);
  json_key(json, "b");
  json_value(json, d.b);
  real_list(json, "given_bounds", d.given_bounds, 1, K);
  json_key(json, "use_function_code");
  json_value(json, d.use_function_code);
  curve(json, "baseline_curve", d.baseline_curve);
  json_key(json, "accrual_period");
  json_value(json, d.accrual_period);
  json_key(json, "accrual_rate");
  json_value(json, d.accrual_rate);
  json_key(json, "alternative_mode");
  json_value(json, d.alternative_mode);
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
  json_end_object(json);
}

void write_calibration(JsonWriter& json, const Design& d, const Calibration& c) {
  json_key(json, "calibration");
  json_begin_object(json);
  json_key(json, "subject_count");
  json_value(json, c.subject_count);
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
  json_key(json, "b");
  json_value(json, d.b);
  if (d.method_code == 3) {
    json_key(json, "haybittle_c");
    json_value(json, c.haybittle_c);
  }
  if (d.method_code == 4) real_list(json, "c", d.given_bounds, 1, d.look_count);
  json_end_object(json);
}

double mean(long long sum, int count) {
  return count > 0 ? static_cast<double>(sum) / count : 0.0;
}

}  // namespace

std::string results_json(const Design& d, const Calibration& calibration, const RunTally& tally) {
  const LookTally& looks = tally.looks;
  JsonWriter json;
  json_begin_object(json);
  write_design(json, d);
  write_calibration(json, d, calibration);

  json_key(json, "looks");
  json_begin_array(json);
  for (int i = 1; i <= d.look_count; ++i) {
    json_begin_object(json);
    json_key(json, "look");
    json_value(json, i);
    json_key(json, "time");
    json_value(json, d.look_times[i]);
    json_key(json, "trials_reached");
    json_value(json, looks.reached[i]);
    json_key(json, "mean_subjects");
    json_value(json, mean(looks.subjects[i], looks.reached[i]));
    json_key(json, "mean_events");
    json_value(json, mean(looks.events[i], looks.reached[i]));
    json_end_object(json);
  }
  json_end_array(json);

  json_key(json, "statistics");
  json_begin_array(json);
  for (int j = 1; j <= d.stat_count; ++j) {
    const StatisticResult result = statistic_result(tally, j, d.sim_count);
    json_begin_object(json);
    json_key(json, "rho");
    json_value(json, d.rho[j]);
    json_key(json, "tau");
    json_value(json, d.tau[j]);
    json_key(json, "rejections");
    json_value(json, tally.rej[j]);
    json_key(json, "power");
    json_value(json, result.power);
    json_key(json, "sd");
    json_value(json, result.sd);
    json_key(json, "average_stopping_time");
    json_value(json, result.average_stopping_time);
    // Trials whose last look had no subject: the statistic never stopped.
    json_key(json, "trials_without_stop");
    json_value(json, looks.stopped[j][0]);
    json_key(json, "looks");
    json_begin_array(json);
    for (int i = 1; i <= d.look_count; ++i) {
      json_begin_object(json);
      json_key(json, "look");
      json_value(json, i);
      json_key(json, "stopped");
      json_value(json, looks.stopped[j][i]);
      json_key(json, "rejected");
      json_value(json, looks.rejected[j][i]);
      json_end_object(json);
    }
    json_end_array(json);
    json_end_object(json);
  }
  json_end_array(json);
  json_end_object(json);
  json.text += '\n';
  return json.text;
}

}  // namespace gsd
