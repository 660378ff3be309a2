// The simulation of one design for R: the engine runs in memory, its
// figures come back as R vectors, its report and console lines as text.
#include <Rcpp.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "design/design.h"
#include "design/design_input.h"
#include "design/run_errors.h"
#include "model/random_stream.h"
#include "report/design_summary.h"
#include "report/results_report.h"
#include "sim/calibration.h"
#include "sim/parallel_simulation.h"
#include "sim/run_tally.h"
#include "sim/simulation.h"
#include "text/list_input.h"
#include "memory_stream.h"

#ifdef __FAST_MATH__
#error "gsdsim must be compiled without fast-math: its results are the program's bit for bit"
#endif

namespace {

Rcpp::NumericVector reals(const float* values, int first, int last) {
  Rcpp::NumericVector out(last >= first ? last - first + 1 : 0);
  for (int i = first; i <= last; ++i) out[i - first] = values[i];
  return out;
}

Rcpp::CharacterVector lines_of(const std::string& text) {
  Rcpp::CharacterVector out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

Rcpp::List calibration_list(const gsd::Design& d, const gsd::Calibration& c) {
  Rcpp::NumericMatrix null_variance(d.stat_count, d.look_count);
  for (int j = 1; j <= d.stat_count; ++j) {
    for (int i = 1; i <= d.look_count; ++i) null_variance(j - 1, i - 1) = c.null_variance[j][i];
  }
  Rcpp::List out = Rcpp::List::create(
      Rcpp::Named("subject_count") = c.subject_count,
      Rcpp::Named("null_variance") = null_variance,
      Rcpp::Named("v0") = reals(c.scale.v0, 1, d.stat_count),
      Rcpp::Named("v_last") = reals(c.scale.v_last, 1, d.stat_count),
      Rcpp::Named("b") = static_cast<double>(d.b));
  if (d.method_code == 3) out["haybittle_c"] = static_cast<double>(c.haybittle_c);
  if (d.method_code == 4) out["c"] = reals(d.given_bounds, 1, d.look_count);
  return out;
}

// Per statistic: the report's figures.
Rcpp::DataFrame statistics_frame(const gsd::Design& d, const gsd::RunTally& tally) {
  const int L = d.stat_count;
  Rcpp::IntegerVector statistic(L), rejections(L);
  Rcpp::NumericVector power(L), sd(L), average(L);
  for (int j = 1; j <= L; ++j) {
    const gsd::StatisticResult r = gsd::statistic_result(tally, j, d.sim_count);
    statistic[j - 1] = j;
    rejections[j - 1] = tally.rej[j];
    power[j - 1] = r.power;
    sd[j - 1] = r.sd;
    average[j - 1] = r.average_stopping_time;
  }
  return Rcpp::DataFrame::create(
      Rcpp::Named("statistic") = statistic, Rcpp::Named("rho") = reals(d.rho, 1, L),
      Rcpp::Named("tau") = reals(d.tau, 1, L), Rcpp::Named("power") = power,
      Rcpp::Named("sd") = sd, Rcpp::Named("average_stopping_time") = average,
      Rcpp::Named("rejections") = rejections);
}

// Per look and statistic (look varying fastest).
Rcpp::DataFrame looks_frame(const gsd::Design& d, const gsd::RunTally& tally) {
  const gsd::LookTally& t = tally.looks;
  const int K = d.look_count;
  const int n = K * d.stat_count;
  Rcpp::IntegerVector statistic(n), look(n), reached(n), stopped(n), rejected(n);
  Rcpp::NumericVector time(n), subjects(n), events(n);
  int row = 0;
  for (int j = 1; j <= d.stat_count; ++j) {
    for (int i = 1; i <= K; ++i, ++row) {
      statistic[row] = j;
      look[row] = i;
      time[row] = d.look_times[i];
      reached[row] = t.reached[i];
      stopped[row] = t.stopped[j][i];
      rejected[row] = t.rejected[j][i];
      subjects[row] = t.reached[i] > 0 ? static_cast<double>(t.subjects[i]) / t.reached[i] : 0.0;
      events[row] = t.reached[i] > 0 ? static_cast<double>(t.events[i]) / t.reached[i] : 0.0;
    }
  }
  return Rcpp::DataFrame::create(
      Rcpp::Named("statistic") = statistic, Rcpp::Named("look") = look,
      Rcpp::Named("time") = time, Rcpp::Named("trials_reached") = reached,
      Rcpp::Named("stopped") = stopped, Rcpp::Named("rejected") = rejected,
      Rcpp::Named("mean_subjects") = subjects, Rcpp::Named("mean_events") = events);
}

int thread_count(int threads) {
  if (threads > 0) return threads;
  const unsigned hardware = std::thread::hardware_concurrency();
  return hardware > 0 ? static_cast<int>(hardware) : 1;
}

}  // namespace

// Simulates the positional design `text` on `threads` threads (0: every
// hardware thread). Errors of the design or of the run are R errors with the
// program's message.
// [[Rcpp::export(name = ".gsd_simulate_classic")]]
Rcpp::List gsd_simulate_classic(std::string text, int threads) {
  auto design = std::make_unique<gsd::Design>();
  auto work = std::make_unique<gsd::TrialWork>();
  gsd::Calibration calibration;
  gsd::RunTally tally;
  MemoryStream report, console;
  {
    std::istringstream input(text);
    gsd::read_design(input, console.file(), *design, [](const gsd::Design&) {});
    gsd::Design& d = *design;
    gsd::write_seed_line(report.file(), d);
    gsd::SubtractiveGenerator generator;
    int seed = d.seed;
    gsd::uniform(generator, seed);
    gsd::write_design_summary(report.file(), d);
    gsd::calibrate(d, report.file(), console.file(), calibration, work->tables);
    const int n = thread_count(threads);
    if (n > 1) {
      gsd::simulate_trials_in_parallel(d, calibration, generator, seed, work->tables, tally,
                                       report.file(), console.file(), n);
    } else {
      gsd::start_simulation(d, *work);
      int boundary_failed = 0;
      char error[512];
      for (int s = 1; s <= d.sim_count; ++s) {
        if (!gsd::simulate_trial(d, calibration, s, generator, seed, *work, boundary_failed,
                                 tally, report.file(), console.file(), error, sizeof error)) {
          throw gsd::RunError(std::string("trial ") + std::to_string(s) + ": " + error);
        }
      }
    }
    gsd::write_results(report.file(), d, tally);
  }
  const gsd::Design& d = *design;
  return Rcpp::List::create(
      Rcpp::Named("statistics") = statistics_frame(d, tally),
      Rcpp::Named("looks") = looks_frame(d, tally),
      Rcpp::Named("calibration") = calibration_list(d, calibration),
      Rcpp::Named("trials") = d.sim_count, Rcpp::Named("method") = d.method_code,
      Rcpp::Named("report") = report.text(), Rcpp::Named("console") = lines_of(console.text()));
}
