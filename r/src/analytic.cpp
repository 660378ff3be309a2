// The analytic counterpart of a run for R: expected events, information,
// drift, critical values and crossing probabilities per statistic and look,
// from the design as the calibration leaves it.
#include <Rcpp.h>

#include <memory>
#include <string>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "design/keyed_design.h"
#include "design/run_errors.h"
#include "keyed/toml_design.h"
#include "memory_stream.h"
#include "sim/simulate_design.h"

// The analytic power of the keyed design `text`. A design that cannot be
// calibrated, or whose looks' statistics have no joint distribution, is an
// R error with the engine's message.
// [[Rcpp::export(name = ".gsd_analytic_keyed")]]
Rcpp::List gsd_analytic_keyed(std::string text) {
  const gsd::KeyedDesign keyed = gsd::keyed_design_from_toml(text);
  auto design = std::make_unique<gsd::Design>();
  MemoryStream console;
  gsd::read_keyed_design(keyed, console.file(), *design, [](const gsd::Design&) {});
  gsd::SimulationOptions options;
  options.calibrate_only = true;
  const auto calibrated = std::make_unique<gsd::SimulationResult>(
      gsd::simulate_design(*design, options));
  if (calibrated->status != gsd::kExitSuccess) Rcpp::stop(calibrated->error);
  const auto a = std::make_unique<gsd::AnalyticPower>(
      gsd::analytic_power(calibrated->design, calibrated->calibration.scale));
  if (!a->ok) Rcpp::stop(a->error);

  const int K = a->look_count, L = a->stat_count;
  Rcpp::IntegerVector statistic(L);
  Rcpp::NumericVector rho(L), tau(L), power(L), stopping(L), engine_power(L);
  const int n = K * L;
  Rcpp::IntegerVector row_statistic(n), row_look(n);
  Rcpp::NumericVector time(n), events(n), information(n), drift(n), z_sd(n), bound(n),
      engine_bound(n), upper(n), lower(n), reject(n), cumulative(n);
  int row = 0;
  for (int j = 1; j <= L; ++j) {
    const gsd::AnalyticStatistic& s = a->stat[j];
    statistic[j - 1] = j;
    rho[j - 1] = s.rho;
    tau[j - 1] = s.tau;
    power[j - 1] = s.power;
    stopping[j - 1] = s.expected_stopping_time;
    engine_power[j - 1] = s.engine_power;
    for (int i = 1; i <= K; ++i, ++row) {
      row_statistic[row] = j;
      row_look[row] = i;
      time[row] = a->look_times[i];
      events[row] = a->total_events[i];
      information[row] = s.information[i];
      drift[row] = s.drift[i];
      z_sd[row] = s.z_sd[i];
      bound[row] = s.bound[i];
      engine_bound[row] = s.engine_bound[i];
      upper[row] = s.reject_upper[i];
      lower[row] = s.reject_lower[i];
      reject[row] = s.reject[i];
      cumulative[row] = s.cumulative[i];
    }
  }
  return Rcpp::List::create(
      Rcpp::Named("statistics") = Rcpp::DataFrame::create(
          Rcpp::Named("statistic") = statistic, Rcpp::Named("rho") = rho,
          Rcpp::Named("tau") = tau, Rcpp::Named("power") = power,
          Rcpp::Named("expected_stopping_time") = stopping,
          Rcpp::Named("power_at_engine_bounds") = engine_power),
      Rcpp::Named("looks") = Rcpp::DataFrame::create(
          Rcpp::Named("statistic") = row_statistic, Rcpp::Named("look") = row_look,
          Rcpp::Named("time") = time, Rcpp::Named("expected_events") = events,
          Rcpp::Named("information") = information, Rcpp::Named("drift") = drift,
          Rcpp::Named("z_sd") = z_sd, Rcpp::Named("bound") = bound,
          Rcpp::Named("engine_bound") = engine_bound, Rcpp::Named("reject_upper") = upper,
          Rcpp::Named("reject_lower") = lower, Rcpp::Named("reject_probability") = reject,
          Rcpp::Named("cumulative_power") = cumulative),
      Rcpp::Named("subjects") = a->subjects[0] + a->subjects[1]);
}
