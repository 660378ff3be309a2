// Cost of one boundary recursion as the simulation pays it: the last look of
// a Pocock-type design with equally spaced looks, each earlier critical value
// from the looks before it.
#include <benchmark/benchmark.h>

#include "bounds/last_look_boundary.h"
#include "bounds/use_function.h"
#include "driver/capacities.h"

namespace {

void BM_LastLookBoundary(benchmark::State& state) {
  const int looks = static_cast<int>(state.range(0));
  float t[gsd::kLookCapacity + 1] = {};
  float c[gsd::kLookCapacity + 1] = {};
  float cum_alpha[gsd::kLookCapacity + 1] = {};
  int failed = 0;
  for (int k = 1; k <= looks; ++k) {
    t[k] = static_cast<float>(k);
    cum_alpha[k] = gsd::cumulative_alpha(gsd::kUsePocock, 0.05f, static_cast<float>(k) / looks,
                                         1.0f, 0.0f);
    gsd::last_look_boundary(k, t, cum_alpha, 2, failed, c);
  }
  for (auto _ : state) {
    gsd::last_look_boundary(looks, t, cum_alpha, 2, failed, c);
    benchmark::DoNotOptimize(c[looks]);
    benchmark::DoNotOptimize(failed);
  }
}
BENCHMARK(BM_LastLookBoundary)->Arg(3)->Arg(5)->Arg(12)->Arg(15)->Unit(benchmark::kMicrosecond);

}  // namespace
