#include "design/classic_to_keyed.h"

#include <cstdio>
#include <memory>
#include <sstream>

#include "design/design_input.h"
#include "design/positional_values.h"
#include "text/json_writer.h"
#include "text/discard_stream.h"

namespace gsd {

namespace {

std::vector<float> list_of(const float* values, int count) {
  return std::vector<float>(values + 1, values + 1 + count);
}

KeyedCurve curve_of(const SurvivalCurve& curve) {
  return {list_of(curve.x, curve.n), list_of(curve.S, curve.n)};
}

struct ClosesFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The notes of a count given as 0 or less and of a last time that asked for
// equally spaced points, which no key can ask for.
void note_unkept_curve(std::vector<std::string>& unkept, const char* line, int raw_count,
                       bool count_default, float raw_last_time, float spacing_threshold) {
  if (count_default) {
    unkept.push_back(std::string(line) + ": no note that the count " + std::to_string(raw_count) +
                     " took the default 1");
  }
  if (raw_last_time <= spacing_threshold) {
    unkept.push_back(std::string(line) + 
                     ": no note that the points are equally spaced (the last time was 0)");
  }
}

}  // namespace

KeyedDesign keyed_design_from_classic(const std::string& text, Design& design,
                                      std::vector<std::string>& unkept) {
  const std::unique_ptr<std::FILE, ClosesFile> sink(open_discard_stream());
  std::istringstream input(text);
  read_design(input, sink.get(), design, [](const Design&) {});
  std::istringstream again(text);
  const PositionalValues raw = read_positional_values(again);
  const Design& d = design;
  const int K = d.look_count;

  KeyedDesign k;
  k.report = d.report_name;
  if (raw.method_code != 0) k.method = static_cast<BoundaryMethod>(d.method_code);
  if (raw.seed != 0) k.seed = d.seed;
  if (!(K == 1 && raw.look_times[1] <= 0.0f)) {
    k.look_times = list_of(d.look_times, K);
    if (raw.look_times[K] <= 0.0f) unkept.push_back("line 23: no note that the last look time took the default 10");
  }
  if (raw.stat_count != 0 || d.rho[1] != 0.0f || d.tau[1] != 0.0f) {
    for (int j = 1; j <= d.stat_count; ++j) k.statistics.push_back({d.rho[j], d.tau[j]});
    if (raw.stat_count == 0) unkept.push_back("line 26: no note that the number of statistics 0 took the default 1");
  }
  if (raw.sim_count > 0) k.trials = d.sim_count;
  if (raw.alpha > 1e-10f) k.alpha = d.alpha;
  if (raw.sides != 0) k.sides = d.sides;

  bool split = false;
  bool bounds = false;
  for (int i = 1; i <= K; ++i) {
    split = split || raw.error_split[i] != 0.0f;
    bounds = bounds || raw.critical_values[i] >= 1e-5f;
  }
  if (split) k.error_split = list_of(raw.error_split, K);
  if (raw.b != 0.0f) k.b = raw.b;
  if (bounds) k.critical_values = list_of(d.given_bounds, K);
  if (raw.use_function_code > 0) {
    k.spending = static_cast<SpendingFunction>(d.use_function_code < 4 ? d.use_function_code : 4);
    if (d.use_function_code > 4) {
      unkept.push_back("line 70: the use-function code " + std::to_string(d.use_function_code) +
                       " (Siegmund's) is written as 4");
    }
  }

  if (!(raw.baseline_count == 0 && raw.baseline_times[1] <= 1e-10f &&
        raw.baseline_survival[1] <= 1e-5f)) {
    k.control = curve_of(d.baseline_curve);
    note_unkept_curve(unkept, "line 74", raw.baseline_count, raw.baseline_count == 0,
                      raw.baseline_times[d.baseline_curve.n], 1e-10f);
  }

  if (raw.accrual_period != 0.0f || raw.accrual_rate != 0.0f) {
    k.accrual_period = d.accrual_period;
    k.accrual_rate = d.accrual_rate;
  }

  const int m = d.interval_count;
  if (!(raw.interval_count <= 0 && raw.cutpoints[1] <= 1e-10f && raw.alternative_mode == 0.0f &&
        raw.treatment_values[1] <= 1e-5f)) {
    if (uses_hazard_ratios(d)) {
      if (m == 1 && d.hazard_cutpoints[1] == d.look_times[K]) {
        k.hazard_ratio = d.hazard_ratios[1];
      } else {
        k.hazard_ratios = list_of(d.hazard_ratios, m);
        k.cuts = list_of(d.hazard_cutpoints, m);
      }
      for (int i = 1; i <= m; ++i) {
        if (raw.treatment_values[i] <= 1e-10f) {
          unkept.push_back("line 106: no note that hazard ratio " + std::to_string(i) +
                           " took the default 1");
        }
      }
      if (d.alternative_mode != 2.0f) {
        unkept.push_back("line 101: the mode " + shortest_real(d.alternative_mode) +
                         " is written as 2 (hazard ratios)");
      }
    } else {
      k.treatment = curve_of(d.alternative_curve);
      if (d.alternative_mode != 1.0f) {
        unkept.push_back("line 101: the mode " + shortest_real(d.alternative_mode) +
                         " is written as 1 (survival values)");
      }
    }
    note_unkept_curve(unkept, "line 93", raw.interval_count, raw.interval_count <= 0,
                      raw.cutpoints[m], 1e-10f);
  }

  const SurvivalCurve* censoring[2] = {&d.control_censoring, &d.treatment_censoring};
  std::optional<KeyedCurve>* censoring_keys[2] = {&k.control_censoring, &k.treatment_censoring};
  const char* censoring_lines[2] = {"line 111", "line 122"};
  for (int group = 0; group < 2; ++group) {
    if (raw.censoring_count[group] == 1 && raw.censoring_times[group][1] == 1.0f &&
        raw.censoring_survival[group][1] == 1.0f) {
      continue;
    }
    *censoring_keys[group] = curve_of(*censoring[group]);
    note_unkept_curve(unkept, censoring_lines[group], raw.censoring_count[group],
                      raw.censoring_count[group] <= 0,
                      raw.censoring_times[group][censoring[group]->n], 1e-8f);
  }

  struct CrossoverItems {
    int count;
    const float* times;
    const float* probs;
    std::optional<KeyedCrossover>* key;
    const char* line;
  };
  const CrossoverItems lists[2] = {
      {d.drop_in_count, d.drop_in_times, d.drop_in_probs, &k.drop_in, "line 133"},
      {d.drop_out_count, d.drop_out_times, d.drop_out_probs, &k.drop_out, "line 141"}};
  for (int list = 0; list < 2; ++list) {
    const CrossoverItems& items = lists[list];
    if (raw.crossover_count[list] == 1 && raw.crossover_times[list][1] == 0.0f &&
        raw.crossover_probs[list][1] == 0.0f) {
      continue;
    }
    *items.key = KeyedCrossover{list_of(items.times, items.count), list_of(items.probs, items.count)};
    if (raw.crossover_count[list] <= 0) {
      unkept.push_back(std::string(items.line) + ": no note that the count " +
                       std::to_string(raw.crossover_count[list]) + " took the default 1");
    }
  }
  return k;
}

}  // namespace gsd
