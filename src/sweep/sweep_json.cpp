#include "sweep/sweep_json.h"

#include "text/json_writer.h"

namespace gsd {

namespace {

template <typename Value>
void member(JsonWriter& json, std::string_view key, Value value) {
  json_key(json, key);
  json_value(json, value);
}

}  // namespace

std::string sweep_json(const SweepResult& result) {
  JsonWriter json;
  json_begin_object(json);
  json_key(json, "keys");
  json_begin_array(json);
  for (const std::string& key : result.keys) json_value(json, key);
  json_end_array(json);
  member(json, "scenario_count", result.scenario_count);
  json_key(json, "shard");
  json_begin_object(json);
  member(json, "index", result.shard_index);
  member(json, "count", result.shard_count);
  json_end_object(json);
  json_key(json, "scenarios");
  json_begin_array(json);
  for (const SweepScenario& scenario : result.scenarios) {
    json_begin_object(json);
    member(json, "scenario", scenario.index);
    json_key(json, "values");
    json_begin_object(json);
    for (std::size_t k = 0; k < result.keys.size() && k < scenario.values.size(); ++k) {
      member(json, result.keys[k], std::string_view(scenario.values[k]));
    }
    json_end_object(json);
    member(json, "subjects", scenario.subjects);
    member(json, "trials", scenario.trials);
    json_key(json, "statistics");
    json_begin_array(json);
    for (const SweepRow& row : scenario.rows) {
      json_begin_object(json);
      member(json, "statistic", row.statistic);
      member(json, "rho", row.rho);
      member(json, "tau", row.tau);
      member(json, "power", row.power);
      member(json, "sd", row.sd);
      member(json, "average_stopping_time", row.average_stopping_time);
      member(json, "analytic_power", row.analytic_power);
      member(json, "expected_events", row.expected_events);
      member(json, "expected_subjects", row.expected_subjects);
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
