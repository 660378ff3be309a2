#include "sweep/run_sweep.h"

#include <cmath>
#include <limits>
#include <mutex>
#include <set>
#include <stdexcept>
#include <vector>

#include "analytic/analytic_power.h"
#include "design/run_errors.h"
#include "model/generate_trial.h"
#include "sim/simulate_design.h"
#include "sweep/scenario_design.h"
#include "sweep/scenario_pool.h"
#include "keyed/keyed_table.h"

namespace gsd {

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The first scenario's notes in full, later scenarios' only the lines the
// first did not have.
std::string merged_notes(const std::vector<long long>& scenarios,
                         const std::vector<std::string>& notes) {
  if (notes.empty()) return {};
  std::string text = notes.front();
  if (!text.empty() && text.back() != '\n') text += '\n';
  const std::vector<std::string> first = lines_of(notes.front());
  const std::set<std::string> known(first.begin(), first.end());
  for (std::size_t k = 1; k < notes.size(); ++k) {
    for (const std::string& line : lines_of(notes[k])) {
      if (known.count(line) == 0) {
        // Note lines begin with a blank of their own.
        text += "scenario " + std::to_string(scenarios[k]) + ":";
        if (line.empty() || line.front() != ' ') text += ' ';
        text += line + '\n';
      }
    }
  }
  return text;
}

}  // namespace

SweepScenario scenario_rows(const SimulationResult& simulation, long long index,
                            std::vector<std::string> values) {
  const Design& d = simulation.design;
  SweepScenario scenario;
  scenario.index = index;
  scenario.values = std::move(values);
  scenario.subjects = simulation.calibration.subject_count;
  scenario.trials = d.sim_count;
  const AnalyticPower analytic = analytic_power(d, simulation.calibration.scale);
  for (int j = 1; j <= d.stat_count; ++j) {
    SweepRow row;
    row.statistic = j;
    row.rho = d.rho[j];
    row.tau = d.tau[j];
    row.power = simulation.statistics[j].power;
    row.sd = simulation.statistics[j].sd;
    row.average_stopping_time = simulation.statistics[j].average_stopping_time;
    row.analytic_power =
        analytic.ok ? analytic.stat[j].power : std::numeric_limits<double>::quiet_NaN();
    for (int i = 1; i <= d.look_count; ++i) {
      const double share = static_cast<double>(simulation.looks[i].stopped[j]) / d.sim_count;
      row.expected_events += share * simulation.looks[i].mean_events;
      row.expected_subjects += share * simulation.looks[i].mean_subjects;
    }
    scenario.rows.push_back(row);
  }
  return scenario;
}

std::string scenario_label(const SweepGrid& grid, long long scenario) {
  const std::vector<int> indices = scenario_value_indices(grid, scenario);
  std::string label = "scenario " + std::to_string(scenario) + " (";
  for (std::size_t a = 0; a < grid.axes.size(); ++a) {
    if (a > 0) label += ", ";
    label += grid.axes[a].key;
    label += '=';
    label += grid.axes[a].values[indices[a]];
  }
  return label + ")";
}

SweepRun run_sweep(const KeyedTable& design, const SweepGrid& grid, const SweepOptions& options) {
  SweepRun run;
  SweepResult& result = run.result;
  for (const SweepAxis& axis : grid.axes) result.keys.push_back(axis.key);
  result.scenario_count = scenario_count(grid);
  result.shard_index = options.shard.index;
  result.shard_count = options.shard.count;

  // Every scenario is converted before any is simulated: a refused value
  // stops the sweep at once rather than after hours of the others.
  std::vector<long long> scenarios;
  std::vector<Design> designs;
  std::vector<std::string> notes;
  for (long long s = options.shard.index; s <= result.scenario_count; s += options.shard.count) {
    KeyedTable table = design;
    const std::vector<int> indices = scenario_value_indices(grid, s);
    std::string error;
    for (std::size_t a = 0; a < grid.axes.size(); ++a) {
      if (!replace_design_value(table, grid.axes[a].key, grid.axes[a].values[indices[a]], error)) {
        run.status = kExitInputError;
        run.error = scenario_label(grid, s) + ": " + error;
        return run;
      }
    }
    for (const SweepAxis& axis : grid.axes) remove_excluded_keys(table, axis.key, result.keys);
    Design converted;
    std::string scenario_notes;
    if (!scenario_design(table, converted, scenario_notes, error)) {
      run.status = kExitInputError;
      run.error = scenario_label(grid, s) + ": " + error;
      return run;
    }
    scenarios.push_back(s);
    designs.push_back(converted);
    notes.push_back(std::move(scenario_notes));
  }
  run.notes = merged_notes(scenarios, notes);

  const int count = static_cast<int>(scenarios.size());
  std::vector<double> work(count);
  for (int k = 0; k < count; ++k) {
    work[k] = static_cast<double>(designs[k].sim_count) * subject_count(designs[k]) *
              designs[k].look_count * designs[k].stat_count;
  }
  std::vector<SweepScenario> done(count);
  try {
    run_scenario_pool(
        work, resolve_thread_count(options.threads),
        [&](int k, int threads) {
          SimulationOptions simulation;
          simulation.threads = threads;
          const SimulationResult outcome = simulate_design(designs[k], simulation);
          if (outcome.status != kExitSuccess) {
            throw RunError(scenario_label(grid, scenarios[k]) + ": " + outcome.error);
          }
          const std::vector<int> indices = scenario_value_indices(grid, scenarios[k]);
          std::vector<std::string> values;
          for (std::size_t a = 0; a < grid.axes.size(); ++a) {
            values.push_back(grid.axes[a].values[indices[a]]);
          }
          done[k] = scenario_rows(outcome, scenarios[k], std::move(values));
        },
        [&](int finished) {
          if (options.scenario_done != nullptr) options.scenario_done(options.context, finished, count);
        });
  } catch (const RunError& error) {
    run.status = kExitRunError;
    run.error = error.what();
    return run;
  }
  result.scenarios = std::move(done);
  return run;
}

}  // namespace gsd
