// Whole-run benchmark over the reference designs of bench/designs: per design
// and thread count the median wall time of complete runs (run_design, as the
// program runs them), trials per second, nanoseconds per simulated
// subject-look and the speed-up over one thread (median of paired runs);
// then the share of each phase of a one-thread run, and each exact
// speed-up as the ratio of the literal code path to the fast one, timed on
// the same data in the same run.
//
// Usage: gsdsim_whole_run [--runs N] [--threads 1,2,...] [design.dsn ...]
// (default: 5 runs, threads 1 and 2, bench/designs/{small,medium,large}.dsn).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bounds/update_look_boundaries.h"
#include "design/design.h"
#include "design/design_input.h"
#include "design/method.h"
#include "driver/run.h"
#include "model/curve_inverse.h"
#include "model/generate_trial.h"
#include "model/hazard_ratio_curve.h"
#include "model/random_stream.h"
#include "model/survival_curve.h"
#include "sim/calibration.h"
#include "stats/collect_look_data.h"
#include "sim/simulation.h"
#include "stats/sort_look_data.h"
#include "stats/weighted_logrank.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

std::string read_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// One complete run in the current directory; returns its wall time.
double timed_run(const std::string& design, int threads) {
  std::istringstream input(design);
  std::FILE* console = std::tmpfile();
  gsd::RunOptions options;
  options.threads = threads;
  const Clock::time_point start = Clock::now();
  const int status = gsd::run_design(input, console, options);
  const double elapsed = seconds_since(start);
  std::fclose(console);
  if (status != 0) {
    std::fprintf(stderr, "run failed with status %d\n", status);
    std::exit(1);
  }
  return elapsed;
}

// Time spent per phase of a one-thread run, and the literal paths' times on
// the same data.
struct PhaseTimes {
  double total = 0, generation = 0, look_data = 0, statistics = 0, boundaries = 0;
  double sort_exact = 0, sort_fast = 0;            // sort_look_data vs the statistics' sort
  double stats_literal = 0, stats_fast = 0;        // weighted_logrank_literal vs fast
  double inverse_literal = 0, inverse_fast = 0;    // curve inverses
  long looks = 0;
};

// The trial loop of simulate_trial, step by step, with a clock around each
// phase. The results are checked against a plain run_design report.
PhaseTimes phase_times(const std::string& text) {
  PhaseTimes t;
  gsd::Design d;
  std::istringstream input(text);
  std::FILE* console = std::tmpfile();
  gsd::read_design(input, console, d, [](const gsd::Design&) {});
  gsd::SubtractiveGenerator generator;
  int seed = d.seed;
  gsd::uniform(generator, seed);
  auto work = std::make_unique<gsd::TrialWork>();
  auto copy = std::make_unique<gsd::LookData>();
  auto scratch = std::make_unique<gsd::SortScratch>();
  gsd::Calibration calibration;
  gsd::calibrate(d, calibration, work->tables);
  gsd::start_simulation(d, *work);
  int boundary_failed = 0;
  gsd::RunTally tally;
  float Z2[gsd::kStatCapacity + 1], V2[gsd::kStatCapacity + 1];

  const Clock::time_point run_start = Clock::now();
  for (int s = 1; s <= d.sim_count; ++s) {
    Clock::time_point start = Clock::now();
    gsd::generate_trial(d, calibration.subject_count, generator, seed, work->trial);
    t.generation += seconds_since(start);
    int stopped[gsd::kStatCapacity + 1] = {};
    for (int i = 1; i <= d.look_count; ++i) {
      int count = 0;
      for (int j = 1; j <= d.stat_count; ++j) count += stopped[j];
      if (count == d.stat_count) break;
      start = Clock::now();
      gsd::collect_look_data(work->trial, calibration.subject_count, d.look_times[i], work->look);
      if (work->look.m == 0) {
        t.look_data += seconds_since(start);
        continue;
      }
      *copy = work->look;  // not timed
      const Clock::time_point sort_start = Clock::now();
      gsd::sort_look_data_for_statistics(work->look, work->sort_scratch);
      const double sort_time = seconds_since(sort_start);
      t.sort_fast += sort_time;
      t.look_data += seconds_since(start);
      start = Clock::now();
      gsd::sort_look_data(*copy, *scratch);
      t.sort_exact += seconds_since(start);
      ++t.looks;

      start = Clock::now();
      gsd::weighted_logrank(work->look, d.stat_count, d.rho, d.tau, work->Z, work->V);
      const double stats_time = seconds_since(start);
      t.statistics += stats_time;
      t.stats_fast += stats_time;
      start = Clock::now();
      gsd::weighted_logrank_literal(work->look, d.stat_count, d.rho, d.tau, Z2, V2);
      t.stats_literal += seconds_since(start);

      start = Clock::now();
      if (!gsd::has_method(d, gsd::Method::kGivenBounds)) {
        for (int j = 1; j <= d.stat_count; ++j) work->tables.obs_info[j][i] = work->V[j];
        gsd::update_look_boundaries(i, d, calibration.scale, work->tables, boundary_failed);
      }
      t.boundaries += seconds_since(start);
      gsd::record_look_decisions(d, i, d.look_times[i], work->Z, work->tables, stopped, tally);
    }
  }
  // The literal paths' times are not part of the run.
  t.total = seconds_since(run_start) - t.sort_exact - t.stats_literal;

  // Curve inverses: every subject draws an event and a censoring time.
  const gsd::HazardRatioCurve hr = gsd::make_hazard_ratio_curve(d);
  const gsd::HazardRatioInverse hr_inverse = gsd::make_hazard_ratio_inverse(hr);
  const gsd::SurvivalInverse baseline = gsd::make_survival_inverse(d.baseline_curve);
  const gsd::SurvivalInverse censoring = gsd::make_survival_inverse(d.control_censoring);
  volatile float sink = 0;
  for (int pass = 0; pass < 2; ++pass) {
    gsd::SubtractiveGenerator g;
    int sd = 12345;
    const Clock::time_point start = Clock::now();
    for (int n = 0; n < 200000; ++n) {
      const float u = gsd::uniform(g, sd);
      if (pass == 0) {
        sink = sink + gsd::time_at_survival(d.baseline_curve, u) +
               gsd::time_at_survival(d.control_censoring, u) +
               (gsd::uses_hazard_ratios(d) ? gsd::time_at_survival(hr, u)
                                           : gsd::time_at_survival(d.alternative_curve, u));
      } else {
        sink = sink + gsd::time_at_survival(baseline, u) + gsd::time_at_survival(censoring, u) +
               (gsd::uses_hazard_ratios(d) ? gsd::time_at_survival(hr_inverse, u)
                                           : gsd::time_at_survival(
                                                 gsd::make_survival_inverse(d.alternative_curve), u));
      }
    }
    (pass == 0 ? t.inverse_literal : t.inverse_fast) = seconds_since(start);
  }
  std::fclose(console);
  return t;
}

std::vector<int> parse_list(const char* text) {
  std::vector<int> values;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');) values.push_back(std::atoi(item.c_str()));
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::vector<int> thread_counts = {1, 2};
  std::vector<fs::path> designs;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--runs" && a + 1 < argc) {
      runs = std::atoi(argv[++a]);
    } else if (arg == "--threads" && a + 1 < argc) {
      thread_counts = parse_list(argv[++a]);
    } else {
      designs.push_back(fs::absolute(arg));
    }
  }
  if (designs.empty()) {
    const fs::path dir = fs::path(GSDSIM_SOURCE_DIR) / "bench" / "designs";
    for (const char* name : {"small", "medium", "large"}) designs.push_back(dir / (std::string(name) + ".dsn"));
  }
  const fs::path scratch = fs::temp_directory_path() / ("gsdsim_whole_run_" + std::to_string(::getpid()));
  fs::create_directories(scratch);
  fs::current_path(scratch);

  std::printf("hardware threads: %d; %d runs per design and thread count\n",
              gsd::thread_count(gsd::RunOptions{}), runs);
  for (const fs::path& path : designs) {
    const std::string text = read_text(path);
    gsd::Design d;
    {
      std::istringstream input(text);
      std::FILE* console = std::tmpfile();
      gsd::read_design(input, console, d, [](const gsd::Design&) {});
      std::fclose(console);
    }
    const int subjects = gsd::subject_count(d);
    const double subject_looks = double{1.0} * d.sim_count * subjects * d.look_count;
    std::printf("\n%s: %d subjects, %d trials, %d looks, %d statistics, method %d\n",
                path.stem().c_str(), subjects, d.sim_count, d.look_count, d.stat_count,
                d.method_code);
    std::printf("  %7s %10s %10s %16s %18s\n", "threads", "median s", "trials/s",
                "ns/subject-look", "speed-up (paired)");
    // Rounds of one run per thread count, so that paired runs share the
    // machine's conditions.
    std::vector<std::vector<double>> times(thread_counts.size());
    timed_run(text, 1);  // warm-up
    for (int r = 0; r < runs; ++r) {
      for (std::size_t c = 0; c < thread_counts.size(); ++c) {
        times[c].push_back(timed_run(text, thread_counts[c]));
      }
    }
    for (std::size_t c = 0; c < thread_counts.size(); ++c) {
      std::vector<double> ratios;
      for (int r = 0; r < runs; ++r) ratios.push_back(times[0][r] / times[c][r]);
      const double m = median(times[c]);
      std::printf("  %7d %10.3f %10.1f %16.2f %18.2f\n", thread_counts[c], m, d.sim_count / m,
                  m * 1e9 / subject_looks, median(ratios));
    }
    const PhaseTimes p = phase_times(text);
    const double other = p.total - p.generation - p.look_data - p.statistics - p.boundaries;
    std::printf("  phases of one thread (%.3f s, %ld looks analysed): generation %.1f%%, "
                "look data and sort %.1f%%, statistics %.1f%%, boundaries %.1f%%, other %.1f%%\n",
                p.total, p.looks, 100 * p.generation / p.total, 100 * p.look_data / p.total,
                100 * p.statistics / p.total, 100 * p.boundaries / p.total,
                100 * other / p.total);
    std::printf("  exact speed-ups, literal / fast on the same data: curve inverses %.2f, "
                "sort %.2f, statistics %.2f\n",
                p.inverse_literal / p.inverse_fast, p.sort_exact / p.sort_fast,
                p.stats_literal / p.stats_fast);
  }
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(scratch);
  return 0;
}
