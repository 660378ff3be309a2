// One look of a simulated trial at full capacity: collecting the data,
// sorting it and computing five weighted log-rank statistics. The generated
// data happen to hold no tied times at this look; about half the looks of
// such trials hold at least one, and the sort then takes its slower tie
// path, measured on a daily grid of times (BM_SortFast_DailyGrid).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "model/simulated_trial.h"
#include "stats/collect_look_data.h"
#include "stats/sort_look_data.h"
#include "stats/weighted_logrank.h"

namespace gsd {
namespace {

constexpr int kSubjects = kSubjectCapacity;
constexpr float kAccrualPeriod = 10.0f;
constexpr float kLookTime = 14.0f;

// Uniform numbers on the grid of the system's generator (integers below 1e9
// scaled to single precision), so ties occur about as often as in a run.
float grid_uniform(std::mt19937& rng) {
  std::uniform_int_distribution<int> r(0, 999999999);
  return static_cast<float>(r(rng) * static_cast<double>(9.99999972e-10f));
}

float exponential_time(std::mt19937& rng, double hazard) {
  return static_cast<float>(-std::log(static_cast<double>(grid_uniform(rng))) / hazard);
}

// Control median 6 time units, hazard ratio 0.7, uniform entry over the
// accrual period; 80% of the subjects have exponential loss to follow-up
// (hazard 0.05), the others none.
std::unique_ptr<SimulatedTrial> realistic_trial() {
  auto trial = std::make_unique<SimulatedTrial>();
  std::mt19937 rng(12345);
  const double control_hazard = std::log(2.0) / 6.0;
  for (int i = 1; i <= kSubjects; ++i) {
    const bool treated = i > kSubjects / 2;
    trial->entry_time[i] = grid_uniform(rng) * kAccrualPeriod;
    trial->event_time[i] = exponential_time(rng, treated ? 0.7 * control_hazard : control_hazard);
    trial->censor_time[i] = grid_uniform(rng) < 0.8f ? exponential_time(rng, 0.05)
                                                     : std::numeric_limits<float>::infinity();
    trial->group[i] = treated ? 1.0f : 0.0f;
  }
  return trial;
}

struct Fixture {
  std::unique_ptr<SimulatedTrial> trial = realistic_trial();
  std::unique_ptr<LookData> unsorted = std::make_unique<LookData>();
  std::unique_ptr<LookData> tied = std::make_unique<LookData>();  // times on a coarse grid
  std::unique_ptr<LookData> data = std::make_unique<LookData>();
  std::unique_ptr<SortScratch> scratch = std::make_unique<SortScratch>();
  int q = 5;
  float rho[kStatCapacity + 1] = {0, 0, 1, 0, 1, 0.5f};
  float tau[kStatCapacity + 1] = {0, 0, 0, 1, 1, 0.5f};
  float Z[kStatCapacity + 1] = {};
  float V[kStatCapacity + 1] = {};

  Fixture() {
    collect_look_data(*trial, kSubjects, kLookTime, *unsorted);
    *tied = *unsorted;
    for (int j = 1; j <= tied->m; ++j) {
      tied->obs_time[j] = std::round(tied->obs_time[j] * 365.0f) / 365.0f;  // daily grid
    }
  }
};

Fixture& fixture() {
  static Fixture f;  // benchmark set-up only
  return f;
}

int tie_count(const LookData& data) {
  std::vector<float> t(data.obs_time + 1, data.obs_time + data.m + 1);
  std::sort(t.begin(), t.end());
  int ties = 0;
  for (size_t j = 1; j < t.size(); ++j) ties += t[j] == t[j - 1];
  return ties;
}

void BM_Collect(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    collect_look_data(*f.trial, kSubjects, kLookTime, *f.data);
    benchmark::DoNotOptimize(f.data->m);
  }
  state.counters["m"] = f.data->m;
}
BENCHMARK(BM_Collect);

// Restoring the unsorted data, included in the sort timings below.
void BM_CopyLookData(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    *f.data = *f.unsorted;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyLookData)->Unit(benchmark::kMicrosecond);

template <bool kTied, bool kLiteral>
void BM_Sort(benchmark::State& state) {
  Fixture& f = fixture();
  const LookData& input = kTied ? *f.tied : *f.unsorted;
  for (auto _ : state) {
    *f.data = input;  // timed too: see BM_CopyLookData
    if (kLiteral) {
      sort_look_data_literal(*f.data);
    } else {
      sort_look_data(*f.data, *f.scratch);
    }
    benchmark::ClobberMemory();
  }
  state.counters["m"] = input.m;
  state.counters["tied_pairs"] = tie_count(input);
}
BENCHMARK(BM_Sort<false, true>)->Name("BM_SortLiteral")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sort<false, false>)->Name("BM_SortFast")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sort<true, true>)->Name("BM_SortLiteral_DailyGrid")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sort<true, false>)->Name("BM_SortFast_DailyGrid")->Unit(benchmark::kMicrosecond);

// The sort without ties: the same data with every tie broken by a nudge.
void BM_SortFast_NoTies(benchmark::State& state) {
  Fixture& f = fixture();
  auto input = std::make_unique<LookData>(*f.unsorted);
  for (int j = 1; j <= input->m; ++j) {
    input->obs_time[j] = input->obs_time[j] + static_cast<float>(j) * 1e-9f * input->obs_time[j];
  }
  for (auto _ : state) {
    *f.data = *input;
    sort_look_data(*f.data, *f.scratch);
    benchmark::ClobberMemory();
  }
  state.counters["tied_pairs"] = tie_count(*input);
}
BENCHMARK(BM_SortFast_NoTies)->Unit(benchmark::kMicrosecond);

void BM_WeightedLogrank5(benchmark::State& state) {
  Fixture& f = fixture();
  *f.data = *f.unsorted;
  sort_look_data(*f.data, *f.scratch);
  int d = 0;
  for (auto _ : state) {
    d = weighted_logrank(*f.data, f.q, f.rho, f.tau, f.Z, f.V);
    benchmark::DoNotOptimize(d);
  }
  state.counters["events"] = d;
}
BENCHMARK(BM_WeightedLogrank5)->Unit(benchmark::kMicrosecond);

void BM_WeightedLogrank1(benchmark::State& state) {
  Fixture& f = fixture();
  *f.data = *f.unsorted;
  sort_look_data(*f.data, *f.scratch);
  const float rho[2] = {0, 0};
  const float tau[2] = {0, 0};
  for (auto _ : state) {
    benchmark::DoNotOptimize(weighted_logrank(*f.data, 1, rho, tau, f.Z, f.V));
  }
}
BENCHMARK(BM_WeightedLogrank1)->Unit(benchmark::kMicrosecond);

// A whole look: collect, sort, five statistics.
void BM_Look(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    collect_look_data(*f.trial, kSubjects, kLookTime, *f.data);
    sort_look_data(*f.data, *f.scratch);
    benchmark::DoNotOptimize(weighted_logrank(*f.data, f.q, f.rho, f.tau, f.Z, f.V));
  }
}
BENCHMARK(BM_Look)->Unit(benchmark::kMicrosecond);

void BM_LookLiteralSort(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) {
    collect_look_data(*f.trial, kSubjects, kLookTime, *f.data);
    sort_look_data_literal(*f.data);
    benchmark::DoNotOptimize(weighted_logrank(*f.data, f.q, f.rho, f.tau, f.Z, f.V));
  }
}
BENCHMARK(BM_LookLiteralSort)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace gsd
