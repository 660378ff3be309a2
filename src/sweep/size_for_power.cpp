#include "sweep/size_for_power.h"

#include <cstdio>
#include <limits>
#include <map>

#include "analytic/analytic_power.h"
#include "design/capacities.h"
#include "design/run_errors.h"
#include "sim/simulate_design.h"
#include "keyed/keyed_table.h"
#include "sweep/run_sweep.h"
#include "sweep/scenario_design.h"

namespace gsd {

namespace {

// Fewer subjects than one per group give no statistic.
constexpr int kFewestSubjects = 2;

struct SizingFailure {
  int status;
  std::string message;
};

Design design_with_subjects(const KeyedTable& design, int subjects) {
  KeyedTable table = design;
  remove_excluded_keys(table, "accrual.subjects", {"accrual.subjects"});
  std::string error;
  std::string notes;
  Design converted;
  if (!replace_design_value(table, "accrual.subjects", std::to_string(subjects), error) ||
      !scenario_design(table, converted, notes, error)) {
    throw SizingFailure{kExitInputError,
                        "the design with accrual.subjects = " + std::to_string(subjects) + ": " +
                            error};
  }
  return converted;
}

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string real(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

SizingRun size_for_power(const KeyedTable& design, const SizingOptions& options) {
  SizingRun run;
  Design base;
  std::string error;
  if (!scenario_design(design, base, run.notes, error)) {
    run.status = kExitInputError;
    run.error = error;
    return run;
  }
  const int j = options.statistic;
  if (j < 1 || j > base.stat_count) {
    run.status = kExitUsageError;
    run.error = "--statistic " + std::to_string(j) + ": the design has " +
                std::to_string(base.stat_count) + " statistic" +
                (base.stat_count == 1 ? "" : "s");
    return run;
  }
  const int threads = resolve_thread_count(options.threads);
  std::string analytic_error;
  auto analytic = [&](int subjects) {
    SimulationOptions calibration_only;
    calibration_only.calibrate_only = true;
    const SimulationResult calibrated =
        simulate_design(design_with_subjects(design, subjects), calibration_only);
    if (calibrated.status != kExitSuccess) {
      throw SizingFailure{kExitRunError, "with " + std::to_string(subjects) +
                                             " subjects: " + calibrated.error};
    }
    const AnalyticPower power = analytic_power(calibrated.design, calibrated.calibration.scale);
    if (!power.ok) {
      // Too few subjects for the normal approximation count as no power;
      // at the capacity the failure ends the search (below).
      analytic_error = power.error;
      return subjects == kSubjectCapacity ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    }
    return power.stat[j].power;
  };
  std::map<int, SweepScenario> scenarios;
  auto simulated = [&](int subjects) {
    SimulationOptions simulation;
    simulation.threads = threads;
    const SimulationResult outcome = simulate_design(design_with_subjects(design, subjects), simulation);
    if (outcome.status != kExitSuccess) {
      throw SizingFailure{kExitRunError, "with " + std::to_string(subjects) +
                                             " subjects: " + outcome.error};
    }
    scenarios[outcome.calibration.subject_count] =
        scenario_rows(outcome, 0, {std::to_string(outcome.calibration.subject_count)});
    return PowerAt{outcome.calibration.subject_count, outcome.statistics[j].power,
                   outcome.statistics[j].sd};
  };

  SizeOutcome outcome;
  try {
    outcome = search_size(options.target, kFewestSubjects, kSubjectCapacity, analytic, simulated,
                          run.search);
  } catch (const SizingFailure& failure) {
    run.status = failure.status;
    run.error = failure.message;
    return run;
  }
  const SizeSearch& s = run.search;
  const std::string target = real(options.target);
  if (outcome == SizeOutcome::kAnalyticUnreachable) {
    run.status = kExitInputError;
    if (s.capacity_analytic_power != s.capacity_analytic_power) {
      run.error = "the analytic power at " + std::to_string(kSubjectCapacity) +
                  " subjects cannot be computed: " + analytic_error;
      run.status = kExitRunError;
    } else {
      run.error = "--size-for-power " + target + ": the analytic power of statistic " +
                  std::to_string(j) + " at " + std::to_string(kSubjectCapacity) +
                  " subjects, the most a trial can hold, is " + fixed(s.capacity_analytic_power, 4) +
                  ", below the target";
    }
    return run;
  }
  if (outcome == SizeOutcome::kSimulatedUnreachable) {
    run.status = kExitInputError;
    run.error = "--size-for-power " + target + ": the simulated power of statistic " +
                std::to_string(j) + " at " + std::to_string(kSubjectCapacity) +
                " subjects, the most a trial can hold, is " +
                fixed(s.simulated.back().power, 4) + ", below the target";
    return run;
  }

  run.page.keys = {"accrual.subjects"};
  for (auto& [subjects, scenario] : scenarios) {
    scenario.index = static_cast<long long>(run.page.scenarios.size()) + 1;
    run.page.scenarios.push_back(std::move(scenario));
  }
  run.page.scenario_count = static_cast<long long>(run.page.scenarios.size());

  std::string& t = run.text;
  t += "Size for power " + target + " of statistic " + std::to_string(j) + " (rho = " +
       real(base.rho[j]) + ", tau = " + real(base.tau[j]) + "), accrual period " +
       real(base.accrual_period) + " fixed, " + std::to_string(base.sim_count) +
       " trials per simulation\n";
  t += "  analytic answer: " + std::to_string(s.analytic_subjects) +
       " subjects (analytic power " + fixed(s.analytic_power, 4) + ")\n";
  t += "  simulations, in the order run (step " + std::to_string(s.step) + " subjects):\n";
  t += "    subjects   power      s.d.\n";
  for (const PowerAt& p : s.simulated) {
    char line[96];
    std::snprintf(line, sizeof line, "    %8d  %6.4f  %8.5f\n", p.subjects, p.power, p.sd);
    t += line;
  }
  t += "  subjects needed: " + std::to_string(s.found.subjects) + "\n";
  t += "  simulated power at " + std::to_string(s.found.subjects) + " subjects: " +
       fixed(s.found.power, 4) + " (s.d. " + fixed(s.found.sd, 5) + ")\n";
  if (s.has_below) {
    t += "  one step below, at " + std::to_string(s.below.subjects) + " subjects: " +
         fixed(s.below.power, 4) + " (s.d. " + fixed(s.below.sd, 5) + ")\n";
  } else {
    t += "  no step below: " + std::to_string(s.found.subjects) +
         " subjects is the fewest the search tries\n";
  }
  t += "The answer carries the Monte-Carlo error of the simulated power (s.d. " +
       fixed(s.found.sd, 5) + " with " + std::to_string(base.sim_count) +
       " trials): other seeds or more trials may move it by a few steps.\n";
  return run;
}

}  // namespace gsd
