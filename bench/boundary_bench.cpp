// Cost of one boundary recursion as the simulation pays it: the last look of
// a Pocock-type design with equally spaced looks, each earlier critical value
// from the looks before it. The recursion with its vectorized exponential
// against the same recursion with std::exp (normal_density), which it
// reproduces bit for bit.
#include <benchmark/benchmark.h>

#include "bounds/last_look_boundary.h"
#include "bounds/use_function.h"
#include "design/capacities.h"

namespace {

using Recursion = void (*)(int, const float*, const float*, int, int&, float*);

void run_recursion(benchmark::State& state, Recursion recursion) {
  const int looks = static_cast<int>(state.range(0));
  float t[gsd::kLookCapacity + 1] = {};
  float c[gsd::kLookCapacity + 1] = {};
  float cum_alpha[gsd::kLookCapacity + 1] = {};
  int failed = 0;
  for (int k = 1; k <= looks; ++k) {
    t[k] = static_cast<float>(k);
    cum_alpha[k] = gsd::cumulative_alpha(gsd::UseFunction::kPocock, 0.05f,
                                         static_cast<float>(k) / static_cast<float>(looks), 1.0f,
                                         0.0f);
    recursion(k, t, cum_alpha, 2, failed, c);
  }
  for (auto _ : state) {
    recursion(looks, t, cum_alpha, 2, failed, c);
    benchmark::DoNotOptimize(c[looks]);
    benchmark::DoNotOptimize(failed);
  }
}

void BM_LastLookBoundary(benchmark::State& state) { run_recursion(state, gsd::last_look_boundary); }
BENCHMARK(BM_LastLookBoundary)->Arg(3)->Arg(5)->Arg(12)->Arg(15)->Unit(benchmark::kMicrosecond);

void BM_LastLookBoundaryLiteral(benchmark::State& state) {
  run_recursion(state, gsd::last_look_boundary_literal);
}
BENCHMARK(BM_LastLookBoundaryLiteral)->Arg(3)->Arg(5)->Arg(12)->Arg(15)->Unit(benchmark::kMicrosecond);

}  // namespace
