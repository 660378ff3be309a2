#include "driver/run.h"

#include <limits.h>
#include <stdlib.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <vector>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "design/design_input.h"
#include "design/run_errors.h"
#include "driver/console_check.h"
#include "driver/design_warnings.h"
#include "driver/output_file.h"
#include "driver/progress_meter.h"
#include "driver/report_file.h"
#include "report/html_report.h"
#include "report/results_json.h"
#include "report/run_report.h"
#include "sim/simulate_design.h"
#include "text/list_input.h"

namespace gsd {

namespace {

// The report file as the run's report sink; the first failed write's error
// is kept for the message.
struct ReportTarget {
  std::FILE* file = nullptr;
  int error = 0;
};

bool write_report(void* context, const char* text, std::size_t size) {
  ReportTarget& target = *static_cast<ReportTarget*>(context);
  if (std::fwrite(text, 1, size, target.file) == size && !std::ferror(target.file)) return true;
  if (target.error == 0) target.error = errno != 0 ? errno : EIO;
  return false;
}

// The console as the run's console sink. A console that cannot take its
// lines (a full disk, /dev/full) stops the run at the end of the phase, so
// that a long run is not simulated for nothing; the lines go out at once.
struct ConsoleTarget {
  std::FILE* file = nullptr;
  int error = 0;
};

bool write_console(void* context, const char* text, std::size_t size) {
  ConsoleTarget& target = *static_cast<ConsoleTarget*>(context);
  errno = 0;
  if (std::fwrite(text, 1, size, target.file) == size && std::fflush(target.file) == 0 &&
      !std::ferror(target.file)) {
    return true;
  }
  if (target.error == 0) target.error = errno != 0 ? errno : EIO;
  return false;
}

struct Progress {
  ProgressMeter meter;
  std::FILE* out = nullptr;
  int total = 0;
};

// Told with 0 when the trials begin, so the meter's clock starts there.
void show_trials_done(void* context, int trials_done) {
  Progress& progress = *static_cast<Progress*>(context);
  if (trials_done == 0) {
    start_progress(progress.meter, progress.out, progress.total);
  } else {
    show_progress(progress.meter, trials_done);
  }
}

// An output file of the options that would overwrite the report.
class OutputClash : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

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

// The simulation of the design read, its text streamed to the console and
// the open report.
void run_read_design(const Design& design, std::FILE* report, std::FILE* json,
                     std::FILE* console, const RunOptions& options) {
  ReportTarget target{report};
  Progress progress;
  progress.out = options.progress;
  progress.total = design.sim_count;
  SimulationOptions simulation;
  simulation.threads = options.threads;
  simulation.progress = TrialProgress{show_trials_done, &progress};
  simulation.writer = &run_report_writer();
  simulation.report_sink = TextSink{write_report, &target};
  ConsoleTarget console_target{console};
  simulation.console_sink = TextSink{write_console, &console_target};
  simulation.collect_bounds = !options.html_path.empty();
  const SimulationResult result = simulate_design(design, simulation);
  finish_progress(progress.meter);
  if (console_target.error != 0) throw ConsoleError{console_target.error};
  if (result.status == kExitReportError) {
    errno = target.error;
    check_report(report, design.report_name);
    throw ReportError(result.error);
  }
  if (result.status != kExitSuccess) throw RunError(result.error);
  if (json == nullptr && options.html_path.empty()) return;
  const AnalyticPower analytic = analytic_power(result.design, result.calibration.scale);
  if (json != nullptr) {
    write_json(json, results_json(result.design, result.calibration, result.tally, &analytic));
  }
  if (!options.html_path.empty()) {
    write_file_by_rename(options.html_path,
                         html_report(result.design, result.calibration, result.tally, &result.bounds,
                                     options.keyed_design_text, &analytic),
                         "HTML page");
  }
}

}  // namespace

int thread_count(const RunOptions& options) { return resolve_thread_count(options.threads); }

int run_design(std::istream& input, std::FILE* console, const RunOptions& options) {
  return run_design(design_source(input, DesignFormat::kClassic), console, options);
}

int run_design(const DesignSource& source, std::FILE* console, const RunOptions& options) {
  Design design;
  OutputFile report;
  OutputFile json;
  try {
    if (!options.json_path.empty() &&
        same_file(identify_file(options.json_path.c_str()), options.design_file)) {
      throw UsageRefusal("--json \"" + options.json_path +
                         "\" names the design file being read; the results would replace it");
    }
    source(console, design, [&](const Design& d) {
      if (!options.html_path.empty() && same_file(options.html_path, d.report_name)) {
        throw OutputClash("--html \"" + options.html_path +
                          "\" names the report file of the design; name another file");
      }
      start_outputs(d, options, report, json);
    });
    if (options.design_warnings != nullptr) {
      write_warnings(options.warnings, *options.design_warnings);
    }
    run_read_design(design, report.file, json.file, console, options);
    // Nothing is put in place unless the whole run, console included, has
    // succeeded: the report first, as the main result, then the JSON file.
    if (!console_written(console)) throw ConsoleError{errno != 0 ? errno : EIO};
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
  } catch (const OutputClash& error) {
    discard_output(report);
    discard_output(json);
    return report_fatal_error(console, error.what(), kExitUsageError);
  } catch (const std::exception& error) {
    // Anything else (memory exhausted, say) is a run that could not end:
    // never a report put in place, never std::terminate.
    discard_output(report);
    discard_output(json);
    const std::string message = std::string("the run stopped: ") + error.what();
    return report_fatal_error(console, message.c_str(), kExitRunError);
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
