#include "driver/run.h"

#include <limits.h>
#include <stdlib.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "design/design.h"
#include "design/design_input.h"
#include "report/design_summary.h"
#include "driver/progress_meter.h"
#include "driver/report_file.h"
#include "driver/console_check.h"
#include "driver/design_warnings.h"
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

void write_json(std::FILE* out, const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
    throw ReportError("cannot write the JSON results file");
  }
}

// A --json path that would overwrite the report or the design file. The
// command line asked for it, so it is a command-line error.
class UsageRefusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `path` as an absolute name, its folder resolved (links, "." and "..");
// `path` itself when the folder does not exist.
std::string absolute_name(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char resolved[PATH_MAX];
  if (::realpath(folder.c_str(), resolved) == nullptr) return path;
  return std::string(resolved) + "/" + name;
}

// Line 14 has been read: the report's name must not be the design being
// read, nor the JSON file; then both outputs are started (temporary files:
// a folder that cannot be written fails here, before any simulation).
void start_outputs(const Design& d, const RunOptions& options, OutputFile& report,
                   OutputFile& json) {
  const FileIdentity report_file = identify_file(d.report_name);
  if (same_file(report_file, options.design_file)) {
    throw ReportError(std::string("line 14: the report name \"") + d.report_name +
                      "\" is the design file being read; the report would replace the design");
  }
  if (!options.json_path.empty() &&
      (same_file(identify_file(options.json_path.c_str()), report_file) ||
       absolute_name(options.json_path) == absolute_name(d.report_name))) {
    throw UsageRefusal("--json \"" + options.json_path + "\" names the report file \"" +
                       d.report_name + "\" (line 14); the two need different names");
  }
  open_report(report, d.report_name);
  if (!options.json_path.empty()) open_output(json, options.json_path, "JSON results file");
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

void run_phases(Design& design, std::FILE* report, std::FILE* json, std::FILE* console,
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
  // A console that cannot be written fails now, not after the trials.
  if (!console_written(console)) throw ConsoleError{errno};

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
  if (json != nullptr) write_json(json, results_json(design, calibration, tally));
}

}  // namespace

int thread_count(const RunOptions& options) {
  if (options.threads > 0) return options.threads;
  const unsigned hardware = std::thread::hardware_concurrency();
  return hardware > 0 ? static_cast<int>(hardware) : 1;
}

int run_design(std::istream& input, std::FILE* console, const RunOptions& options) {
  Design design;
  OutputFile report;
  OutputFile json;
  try {
    if (!options.json_path.empty() &&
        same_file(identify_file(options.json_path.c_str()), options.design_file)) {
      throw UsageRefusal("--json \"" + options.json_path +
                         "\" names the design file being read; the results would replace it");
    }
    std::vector<std::string> warnings;
    read_design(input, console, design,
                [&](const Design& d) { start_outputs(d, options, report, json); }, &warnings);
    write_warnings(options.warnings, warnings);
    run_phases(design, report.file, json.file, console, options);
    // Nothing is put in place unless the whole run, console included, has
    // succeeded: the report first, as the main result, then the JSON file.
    if (!console_written(console)) throw ConsoleError{errno};
    commit_output(report);
    commit_output(json);
  } catch (const InputError& error) {
    discard_output(report);
    discard_output(json);
    return report_fatal_error(console, error.what(), kExitInputError);
  } catch (const ReportError& error) {
    discard_output(report);
    discard_output(json);
    return report_fatal_error(console, error.what(), kExitReportError);
  } catch (const ConsoleError& failure) {
    discard_output(report);
    discard_output(json);
    return report_console_error(options.warnings, failure);
  } catch (const UsageRefusal& error) {
    discard_output(report);
    discard_output(json);
    return report_fatal_error(console, error.what(), kExitUsageError);
  } catch (const RunError& error) {
    discard_output(json);
    const std::string kept = keep_incomplete(report);
    const std::string message =
        std::string(error.what()) +
        (kept.empty() ? "" : "; the report so far is kept as \"" + kept + "\"");
    return report_fatal_error(console, message.c_str(), kExitRunError);
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
