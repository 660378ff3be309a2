#include <benchmark/benchmark.h>

#include "design/design.h"
#include "model/generate_trial.h"
#include "model/random_stream.h"
#include "model/survival_curve.h"
#include "stats/null_variance.h"

namespace gsd {
namespace {

SurvivalCurve curve(std::initializer_list<std::pair<float, float>> points) {
  SurvivalCurve c;
  c.S[0] = 1.0f;
  for (const auto& [x, S] : points) {
    ++c.n;
    c.x[c.n] = x;
    c.S[c.n] = S;
  }
  return c;
}

// A typical design: five-point curves, hazard ratios, crossover lists.
Design typical_design() {
  Design d;
  d.accrual_period = 2.0f;
  d.accrual_rate = 250.0f;
  d.baseline_curve = curve({{0.5f, 0.9f}, {1.0f, 0.8f}, {2.0f, 0.65f}, {3.0f, 0.5f}, {5.0f, 0.3f}});
  d.alternative_mode = 2.0f;
  d.interval_count = 3;
  d.hazard_cutpoints[1] = 1.0f;
  d.hazard_cutpoints[2] = 2.0f;
  d.hazard_cutpoints[3] = 4.0f;
  d.hazard_ratios[1] = 0.9f;
  d.hazard_ratios[2] = 0.7f;
  d.hazard_ratios[3] = 0.6f;
  d.control_censoring = curve({{5.0f, 0.9f}});
  d.treatment_censoring = curve({{5.0f, 0.85f}});
  d.drop_in_count = 2;
  d.drop_in_times[1] = 0.5f;
  d.drop_in_probs[1] = 0.05f;
  d.drop_in_times[2] = 1.5f;
  d.drop_in_probs[2] = 0.05f;
  d.drop_out_count = 1;
  d.drop_out_times[1] = 1.0f;
  d.drop_out_probs[1] = 0.1f;
  return d;
}

void BM_Uniform(benchmark::State& state) {
  SubtractiveGenerator g;
  int seed = -123457;
  for (auto _ : state) benchmark::DoNotOptimize(uniform(g, seed));
}
BENCHMARK(BM_Uniform);

void BM_TimeAtSurvival(benchmark::State& state) {
  const Design d = typical_design();
  SubtractiveGenerator g;
  int seed = -123457;
  for (auto _ : state) {
    benchmark::DoNotOptimize(time_at_survival(d.baseline_curve, uniform(g, seed)));
  }
}
BENCHMARK(BM_TimeAtSurvival);

void BM_GenerateTrial(benchmark::State& state) {
  const Design d = typical_design();
  static SimulatedTrial trial;
  SubtractiveGenerator g;
  int seed = -123457;
  const int count = subject_count(d);
  for (auto _ : state) {
    benchmark::DoNotOptimize(generate_trial(d, count, g, seed, trial));
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_GenerateTrial);

void BM_NullVariance(benchmark::State& state) {
  const Design d = typical_design();
  const float t[5] = {0.0f, 1.0f, 2.0f, 3.0f, 4.0f};
  float V[5];
  for (auto _ : state) {
    benchmark::DoNotOptimize(null_variance(d, 250.0f, 2.0f, 0.5f, 0.5f, 4, t, V));
  }
}
BENCHMARK(BM_NullVariance);

}  // namespace
}  // namespace gsd
