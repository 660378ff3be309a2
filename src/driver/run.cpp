#include "driver/run.h"

#include <cerrno>
#include <stdexcept>
#include <string>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "design/design_input.h"
#include "design/run_errors.h"
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

// Console lines are notes: a console that cannot take them stops nothing.
bool write_console(void* context, const char* text, std::size_t size) {
  std::fwrite(text, 1, size, static_cast<std::FILE*>(context));
  return true;
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

// The simulation of the design read, its text streamed to the console and
// the open report.
void run_read_design(const Design& design, std::FILE* report, std::FILE* console,
                     const RunOptions& options) {
  ReportTarget target{report};
  Progress progress;
  progress.out = options.progress;
  progress.total = design.sim_count;
  SimulationOptions simulation;
  simulation.threads = options.threads;
  simulation.progress = TrialProgress{show_trials_done, &progress};
  simulation.writer = &run_report_writer();
  simulation.report_sink = TextSink{write_report, &target};
  simulation.console_sink = TextSink{write_console, console};
  simulation.collect_bounds = !options.html_path.empty();
  const SimulationResult result = simulate_design(design, simulation);
  finish_progress(progress.meter);
  if (result.status == kExitReportError) {
    errno = target.error;
    check_report(report, design.report_name);
    throw ReportError(result.error);
  }
  if (result.status != kExitSuccess) throw RunError(result.error);
  if (options.json_path.empty() && options.html_path.empty()) return;
  const AnalyticPower analytic = analytic_power(result.design, result.calibration.scale);
  if (!options.json_path.empty()) {
    write_json(options.json_path,
               results_json(result.design, result.calibration, result.tally, &analytic));
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
  std::FILE* report = nullptr;
  try {
    source(console, design, [&](const Design& d) {
      if (!options.html_path.empty() && same_file(options.html_path, d.report_name)) {
        throw OutputClash("--html \"" + options.html_path +
                          "\" names the report file of the design; name another file");
      }
      report = open_report(d.report_name);
    });
    run_read_design(design, report, console, options);
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
  } catch (const OutputClash& error) {
    return report_fatal_error(console, error.what(), kExitUsageError);
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
