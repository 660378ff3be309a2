// Cost of the analytic power of a whole design: 15 looks and 5 statistics
// (the capacities), method 2 with a use function (a boundary recursion per
// look and statistic besides the crossing probabilities), crossovers both
// ways and loss to follow-up. The design is read and calibrated once; each
// iteration computes the expected events, the moments of every statistic,
// the boundaries and the crossing probabilities.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "analytic/analytic_power.h"
#include "design/design_input.h"
#include "sim/calibration.h"

namespace {

std::string design_text(int method_code, int use_function_code) {
  const std::map<int, std::string> values = {
      {11, std::to_string(method_code)}, {14, "bench.rpt"}, {17, "-2718"}, {20, "15"},
      {23, "4 6 8 10 12 14 16 18 20 22 24 26 28 30 32"}, {26, "5"}, {30, "0 1 0 1 0.5"},
      {33, "0 0 1 1 0.5"}, {37, "1000"}, {40, "0.05"}, {43, "2"}, {49, "15*0"}, {54, "3"},
      {61, "15*2.5"}, {70, std::to_string(use_function_code)}, {74, "3"}, {78, "6 12 24"},
      {83, "0.75 0.5 0.3"}, {88, "12 50"}, {93, "2"}, {96, "6 40"}, {101, "2"},
      {106, "0.8 0.6"}, {111, "1"}, {114, "30"}, {117, "0.8"}, {122, "1"}, {125, "30"},
      {128, "0.75"}, {133, "2"}, {135, "6 12"}, {137, "0.2 0.1"}, {141, "1"}, {143, "4"},
      {145, "0.15"}};
  std::string text;
  for (int line = 1; line <= 145; ++line) {
    const auto found = values.find(line);
    text += found != values.end() ? found->second : "*";
    text += '\n';
  }
  return text;
}

void run_analytic(benchmark::State& state, int method_code, int use_function_code) {
  gsd::Design design;
  gsd::Calibration calibration;
  std::FILE* sink = std::fopen("/dev/null", "w");
  std::istringstream input(design_text(method_code, use_function_code));
  gsd::read_design(input, sink, design, [](const gsd::Design&) {});
  std::fclose(sink);
  auto tables = std::make_unique<gsd::BoundaryTables>();
  gsd::calibrate(design, calibration, *tables);
  for (auto _ : state) {
    const gsd::AnalyticPower analytic = gsd::analytic_power(design, calibration.scale);
    if (!analytic.ok) state.SkipWithError(analytic.error.c_str());
    benchmark::DoNotOptimize(analytic.stat[5].power);
  }
}

void BM_AnalyticPower15Looks5StatisticsUseFunction(benchmark::State& state) {
  run_analytic(state, 2, 1);
}
BENCHMARK(BM_AnalyticPower15Looks5StatisticsUseFunction)->Unit(benchmark::kMillisecond);

void BM_AnalyticPower15Looks5StatisticsGivenBounds(benchmark::State& state) {
  run_analytic(state, 4, 1);
}
BENCHMARK(BM_AnalyticPower15Looks5StatisticsGivenBounds)->Unit(benchmark::kMillisecond);

}  // namespace
