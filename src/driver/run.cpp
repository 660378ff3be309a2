#include "driver/run.h"

#include <memory>
#include <string>
#include <thread>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "design/design_input.h"
#include "report/design_summary.h"
#include "driver/progress_meter.h"
#include "driver/report_file.h"
#include "report/results_json.h"
#include "design/run_errors.h"
#include "model/random_stream.h"
#include "sim/calibration.h"
#include "sim/parallel_simulation.h"
#include "report/results_report.h"
#include "sim/run_tally.h"
#include "sim/simulation.h"
#include "text/list_input.h"

namespace gsd {

namespace {

// The phases of a run, in order, once the report is open.
void show_trials_done(void* meter, int trials_done) {
  show_progress(*static_cast<ProgressMeter*>(meter), trials_done);
}

void write_json(const std::string& path, const std::string& text) {
  std::FILE* out = std::fopen(path.c_str(), "w");
  if (out == nullptr) {
    throw ReportError("cannot create the JSON results file \"" + path + "\"");
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (std::fclose(out) != 0 || !written) {
    throw ReportError("cannot write the JSON results file \"" + path + "\"");
  }
}

// The trials of the run, in order, on one thread or several; both give the
// same tallies and lines.
void simulate_trials(const Design& design, const Calibration& calibration,
                     SubtractiveGenerator& generator, int& seed, TrialWork& work, RunTally& tally,
                     std::FILE* report, std::FILE* console, int threads,
                     const TrialProgress& progress) {
  if (threads > 1) {
    simulate_trials_in_parallel(design, calibration, generator, seed, work.tables, tally,
                                report, console, threads, progress);
  } else {
    start_simulation(design, work);
    int boundary_failed = 0;
    char error[512];
    for (int s = 1; s <= design.sim_count; ++s) {
      if (!simulate_trial(design, calibration, s, generator, seed, work, boundary_failed,
                          tally, report, console, error, sizeof error)) {
        throw RunError(std::string("trial ") + std::to_string(s) + ": " + error);
      }
      tell_trial_done(progress, s);
    }
  }
}

void run_phases(Design& design, std::FILE* report, std::FILE* console,
                const RunOptions& options) {
  const int threads = thread_count(options);
  write_seed_line(report, design);
  // The stream starts with the design's seed; its first number is discarded.
  SubtractiveGenerator generator;
  int seed = design.seed;
  uniform(generator, seed);
  write_design_summary(report, design);
  check_report(report, design.report_name);

  // The trial's tables are large; they are made once, before any trial.
  auto work = std::make_unique<TrialWork>();
  Calibration calibration;
  calibrate(design, report, console, calibration, work->tables);
  check_report(report, design.report_name);

  RunTally tally;
  ProgressMeter meter;
  start_progress(meter, options.progress, design.sim_count);
  const TrialProgress progress{show_trials_done, &meter};
  try {
    simulate_trials(design, calibration, generator, seed, *work, tally, report, console, threads,
                    progress);
  } catch (...) {
    finish_progress(meter);
    throw;
  }
  finish_progress(meter);
  check_report(report, design.report_name);
  write_results(report, design, tally);
  if (!options.json_path.empty()) {
    const AnalyticPower analytic = analytic_power(design, calibration.scale);
    write_json(options.json_path, results_json(design, calibration, tally, &analytic));
  }
}

}  // namespace

int thread_count(const RunOptions& options) {
  if (options.threads > 0) return options.threads;
  const unsigned hardware = std::thread::hardware_concurrency();
  return hardware > 0 ? static_cast<int>(hardware) : 1;
}

int run_design(std::istream& input, std::FILE* console, const RunOptions& options) {
  Design design;
  std::FILE* report = nullptr;
  try {
    read_design(input, console, design,
                [&](const Design& d) { report = open_report(d.report_name); });
    run_phases(design, report, console, options);
    std::FILE* finished = report;
    report = nullptr;
    close_report(finished, design.report_name);
  } catch (const InputError& error) {
    if (report != nullptr) std::fclose(report);
    return report_fatal_error(console, error.what(), kExitInputError);
  } catch (const ReportError& error) {
    if (report != nullptr) std::fclose(report);
    return report_fatal_error(console, error.what(), kExitReportError);
  } catch (const RunError& error) {
    if (report != nullptr) std::fclose(report);
    return report_fatal_error(console, error.what(), kExitRunError);
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
