#pragma once

#include <string>
#include <vector>

namespace gsd {

// The results of a sweep, for every writer of them (console table, CSV,
// JSON, HTML power curves). Plain data: scenarios in increasing index, each
// with one row per statistic in the design's order.

// One statistic of one scenario.
struct SweepRow {
  int statistic = 0;  // 1-based, in the design's order
  float rho = 0.0f;
  float tau = 0.0f;
  // The simulated figures, exactly those of a single run of the scenario.
  float power = 0.0f;
  float sd = 0.0f;
  float average_stopping_time = 0.0f;
  // The analytic power of the statistic (normal approximation of the
  // weighted log-rank statistic under the scenario's alternative).
  double analytic_power = 0.0;
  // The expected events and subjects in the data at the look where the
  // statistic stops (see the README for how they are formed).
  double expected_events = 0.0;
  double expected_subjects = 0.0;
};

struct SweepScenario {
  long long index = 0;              // 1-based position in the grid
  std::vector<std::string> values;  // the swept values, one per key, as given
  int subjects = 0;                 // subjects per trial
  int trials = 0;                   // simulated trials
  std::vector<SweepRow> rows;
};

struct SweepResult {
  std::vector<std::string> keys;      // the swept keys, in --sweep order
  long long scenario_count = 0;       // scenarios of the whole grid
  int shard_index = 1;                // this result holds shard I of N
  int shard_count = 1;
  std::vector<SweepScenario> scenarios;  // only those of the shard
};

}  // namespace gsd
