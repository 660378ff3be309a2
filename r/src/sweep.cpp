// Sweeps and sizing for R: scenarios of a keyed design with some keys
// replaced, simulated as gsdsim simulates a design.
#include <Rcpp.h>

#include <string>
#include <vector>

#include "keyed/keyed_table.h"
#include "sweep/run_sweep.h"
#include "sweep/size_for_power.h"
#include "sweep/sweep_grid.h"
#include "text/list_input.h"

namespace {

// The keyed reader's own parse, with its guards and its messages.
gsd::KeyedTable parse_design(const std::string& text) {
  try {
    return gsd::parse_keyed_table(text);
  } catch (const gsd::InputError& error) {
    Rcpp::stop(std::string("the design's keyed text: ") + error.what());
  }
}

}  // namespace

// Runs the sweep of the keyed design `text` over the axes `keys` (dotted
// keys) with `values` (per axis, the TOML literals of its values). Per
// scenario and statistic: the scenario's swept values, the simulated
// figures, the analytic power and the expected events and subjects at the
// stopping look.
// [[Rcpp::export(name = ".gsd_sweep_keyed")]]
Rcpp::List gsd_sweep_keyed(std::string text, std::vector<std::string> keys, Rcpp::List values,
                           int threads) {
  const gsd::KeyedTable design = parse_design(text);
  gsd::SweepGrid grid;
  for (std::size_t a = 0; a < keys.size(); ++a) {
    gsd::SweepAxis axis;
    axis.key = keys[a];
    axis.values = Rcpp::as<std::vector<std::string>>(values[a]);
    grid.axes.push_back(axis);
  }
  std::string error;
  if (!gsd::check_sweep_grid(grid, error)) Rcpp::stop(error);
  gsd::SweepOptions options;
  options.threads = threads;
  const gsd::SweepRun run = gsd::run_sweep(design, grid, options);
  if (run.status != 0) Rcpp::stop(run.error);

  std::vector<int> scenario, statistic, subjects, trials;
  std::vector<double> rho, tau, power, sd, stopping, analytic, events, expected_subjects;
  std::vector<std::vector<std::string>> swept(keys.size());
  for (const gsd::SweepScenario& s : run.result.scenarios) {
    for (const gsd::SweepRow& row : s.rows) {
      scenario.push_back(static_cast<int>(s.index));
      for (std::size_t a = 0; a < keys.size(); ++a) swept[a].push_back(s.values[a]);
      statistic.push_back(row.statistic);
      rho.push_back(row.rho);
      tau.push_back(row.tau);
      subjects.push_back(s.subjects);
      trials.push_back(s.trials);
      power.push_back(row.power);
      sd.push_back(row.sd);
      stopping.push_back(row.average_stopping_time);
      analytic.push_back(row.analytic_power);
      events.push_back(row.expected_events);
      expected_subjects.push_back(row.expected_subjects);
    }
  }
  Rcpp::List swept_columns(keys.size());
  for (std::size_t a = 0; a < keys.size(); ++a) swept_columns[a] = Rcpp::wrap(swept[a]);
  return Rcpp::List::create(
      Rcpp::Named("scenario") = scenario, Rcpp::Named("values") = swept_columns,
      Rcpp::Named("statistic") = statistic, Rcpp::Named("rho") = rho,
      Rcpp::Named("tau") = tau, Rcpp::Named("subjects") = subjects,
      Rcpp::Named("trials") = trials, Rcpp::Named("power") = power, Rcpp::Named("sd") = sd,
      Rcpp::Named("average_stopping_time") = stopping,
      Rcpp::Named("analytic_power") = analytic, Rcpp::Named("expected_events") = events,
      Rcpp::Named("expected_subjects") = expected_subjects,
      Rcpp::Named("notes") = run.notes);
}

// The smallest number of subjects per trial whose simulated power for
// statistic `statistic` reaches `target`.
// [[Rcpp::export(name = ".gsd_size_keyed")]]
Rcpp::List gsd_size_keyed(std::string text, double target, int statistic, int threads) {
  const gsd::KeyedTable design = parse_design(text);
  gsd::SizingOptions options;
  options.target = target;
  options.statistic = statistic;
  options.threads = threads;
  const gsd::SizingRun run = gsd::size_for_power(design, options);
  if (run.status != 0) Rcpp::stop(run.error);
  const gsd::SizeSearch& s = run.search;
  std::vector<int> n;
  std::vector<double> power, sd;
  for (const gsd::PowerAt& p : s.simulated) {
    n.push_back(p.subjects);
    power.push_back(p.power);
    sd.push_back(p.sd);
  }
  return Rcpp::List::create(
      Rcpp::Named("subjects") = s.found.subjects, Rcpp::Named("power") = s.found.power,
      Rcpp::Named("sd") = s.found.sd,
      Rcpp::Named("below") = s.has_below ? Rcpp::List::create(
                                               Rcpp::Named("subjects") = s.below.subjects,
                                               Rcpp::Named("power") = s.below.power,
                                               Rcpp::Named("sd") = s.below.sd)
                                         : Rcpp::List(),
      Rcpp::Named("step") = s.step, Rcpp::Named("analytic_subjects") = s.analytic_subjects,
      Rcpp::Named("analytic_power") = s.analytic_power,
      Rcpp::Named("simulated") = Rcpp::DataFrame::create(
          Rcpp::Named("subjects") = n, Rcpp::Named("power") = power, Rcpp::Named("sd") = sd),
      Rcpp::Named("text") = run.text);
}
