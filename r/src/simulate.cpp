// The simulation of one design for R: simulate_design runs it in memory,
// its figures come back as R vectors and data frames, its report and
// console lines as text.
#include "simulate.h"

#include <sstream>
#include <string>

#include "design/capacities.h"
#include "design/run_errors.h"
#include "report/run_report.h"
#include "sim/simulate_design.h"

#ifdef __FAST_MATH__
#error "gsdsim must be compiled without fast-math: its results are the program's bit for bit"
#endif

namespace {

Rcpp::NumericVector reals(const float* values, int first, int last) {
  Rcpp::NumericVector out(last >= first ? last - first + 1 : 0);
  for (int i = first; i <= last; ++i) out[i - first] = values[i];
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
Rcpp::DataFrame statistics_frame(const gsd::SimulationResult& result) {
  const gsd::Design& d = result.design;
  const int L = d.stat_count;
  Rcpp::IntegerVector statistic(L), rejections(L);
  Rcpp::NumericVector power(L), sd(L), average(L);
  for (int j = 1; j <= L; ++j) {
    statistic[j - 1] = j;
    rejections[j - 1] = result.tally.rej[j];
    power[j - 1] = result.statistics[j].power;
    sd[j - 1] = result.statistics[j].sd;
    average[j - 1] = result.statistics[j].average_stopping_time;
  }
  return Rcpp::DataFrame::create(
      Rcpp::Named("statistic") = statistic, Rcpp::Named("rho") = reals(d.rho, 1, L),
      Rcpp::Named("tau") = reals(d.tau, 1, L), Rcpp::Named("power") = power,
      Rcpp::Named("sd") = sd, Rcpp::Named("average_stopping_time") = average,
      Rcpp::Named("rejections") = rejections);
}

// Per statistic and look, looks varying fastest.
Rcpp::DataFrame looks_frame(const gsd::SimulationResult& result) {
  const gsd::Design& d = result.design;
  const int K = d.look_count;
  const int n = K * d.stat_count;
  Rcpp::IntegerVector statistic(n), look(n), reached(n), stopped(n), rejected(n);
  Rcpp::NumericVector time(n), subjects(n), events(n);
  int row = 0;
  for (int j = 1; j <= d.stat_count; ++j) {
    for (int i = 1; i <= K; ++i, ++row) {
      const gsd::LookResult& l = result.looks[i];
      statistic[row] = j;
      look[row] = i;
      time[row] = d.look_times[i];
      reached[row] = l.trials_reached;
      stopped[row] = l.stopped[j];
      rejected[row] = l.rejected[j];
      subjects[row] = l.mean_subjects;
      events[row] = l.mean_events;
    }
  }
  return Rcpp::DataFrame::create(
      Rcpp::Named("statistic") = statistic, Rcpp::Named("look") = look,
      Rcpp::Named("time") = time, Rcpp::Named("trials_reached") = reached,
      Rcpp::Named("stopped") = stopped, Rcpp::Named("rejected") = rejected,
      Rcpp::Named("mean_subjects") = subjects, Rcpp::Named("mean_events") = events);
}

}  // namespace

Rcpp::CharacterVector text_lines(const std::string& text) {
  Rcpp::CharacterVector out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

Rcpp::List simulate_for_r(const gsd::Design& design, int threads, const std::string& notes) {
  gsd::SimulationOptions options;
  options.threads = threads;
  options.writer = &gsd::run_report_writer();
  options.collect_report = true;
  options.collect_console = true;
  const gsd::SimulationResult result = gsd::simulate_design(design, options);
  if (result.status != gsd::kExitSuccess || !result.simulated) {
    Rcpp::stop(result.error.empty() ? std::string("the design could not be simulated")
                                    : result.error);
  }
  return Rcpp::List::create(
      Rcpp::Named("statistics") = statistics_frame(result),
      Rcpp::Named("looks") = looks_frame(result),
      Rcpp::Named("calibration") = calibration_list(result.design, result.calibration),
      Rcpp::Named("trials") = result.design.sim_count,
      Rcpp::Named("method") = result.design.method_code,
      Rcpp::Named("report") = result.report_text,
      Rcpp::Named("console") = text_lines(notes + result.console_text));
}
