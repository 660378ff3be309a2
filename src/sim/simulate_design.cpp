#include "sim/simulate_design.h"

#include <stdio.h>

#include <memory>
#include <string>
#include <thread>

#include "design/run_errors.h"
#include "model/random_stream.h"
#include "sim/expected_look_times.h"
#include "sim/output_buffer.h"
#include "sim/parallel_simulation.h"
#include "sim/simulation.h"

namespace gsd {

namespace {

ssize_t write_to_sink(void* cookie, const char* data, size_t size) {
  const TextSink& sink = *static_cast<const TextSink*>(cookie);
  return sink.write(sink.context, data, size) ? static_cast<ssize_t>(size) : -1;
}

ssize_t discard(void*, const char*, size_t size) { return static_cast<ssize_t>(size); }

bool same_sink(const TextSink& a, const TextSink& b) {
  return has_sink(a) && a.write == b.write && a.context == b.context;
}

// The report and console streams of one run: a sink, a buffer kept for the
// result, or nothing.
class RunStreams {
 public:
  explicit RunStreams(const SimulationOptions& options) {
    report = open(options.report_sink, options.collect_report, report_buffer_);
    console = same_sink(options.report_sink, options.console_sink)
                  ? report
                  : open(options.console_sink, options.collect_console, console_buffer_);
    if (report == nullptr || console == nullptr) {
      close();
      throw RunError("cannot make the in-memory text streams of the run");
    }
  }
  RunStreams(const RunStreams&) = delete;
  RunStreams& operator=(const RunStreams&) = delete;
  ~RunStreams() { close(); }

  // Passes on what the phase wrote; throws ReportError when the report's
  // sink refused it. The console's sink is not checked: console lines are
  // notes, and a run never stops for them.
  void end_phase() {
    std::fflush(console);
    std::fflush(report);
    if (std::ferror(report)) throw ReportError("the report text could not be passed on");
  }

  // Closes the streams; returns false when the report's last text was refused.
  bool finish(SimulationResult& result) {
    end_phase_quietly();
    const bool report_ok = !std::ferror(report);
    if (report_buffer_.file != nullptr) result.report_text = buffered_text(report_buffer_);
    if (console_buffer_.file != nullptr) result.console_text = buffered_text(console_buffer_);
    close();
    return report_ok;
  }

  std::FILE* report = nullptr;
  std::FILE* console = nullptr;

 private:
  static std::FILE* open(const TextSink& sink, bool collect, OutputBuffer& buffer) {
    cookie_io_functions_t functions{};
    if (has_sink(sink)) {
      functions.write = write_to_sink;
      return fopencookie(const_cast<TextSink*>(&sink), "w", functions);
    }
    if (collect) return open_output_buffer(buffer, 0) ? buffer.file : nullptr;
    functions.write = discard;
    return fopencookie(nullptr, "w", functions);
  }

  void end_phase_quietly() {
    if (console != nullptr) std::fflush(console);
    if (report != nullptr) std::fflush(report);
  }

  void close() {
    if (console != nullptr && console != report && console != console_buffer_.file) {
      std::fclose(console);
    }
    if (report != nullptr && report != report_buffer_.file) std::fclose(report);
    close_output_buffer(report_buffer_);
    close_output_buffer(console_buffer_);
    report = nullptr;
    console = nullptr;
  }

  OutputBuffer report_buffer_;
  OutputBuffer console_buffer_;
};

// The trials of the run, in order, on one thread or several; both give the
// same tallies and lines.
void simulate_trials(const Design& design, const Calibration& calibration,
                     SubtractiveGenerator& generator, int& seed, TrialWork& work, RunTally& tally,
                     const TrialText& text, int threads, const TrialProgress& progress,
                     BoundTally* bounds) {
  tell_trial_done(progress, 0);
  if (threads > 1) {
    simulate_trials_in_parallel(design, calibration, generator, seed, work.tables, tally, text,
                                threads, progress, bounds);
    return;
  }
  start_simulation(design, work);
  int boundary_failed = 0;
  for (int s = 1; s <= design.sim_count; ++s) {
    GenerationStatus failure;
    if (!simulate_trial(design, calibration, s, generator, seed, work, boundary_failed, tally,
                        text, failure, bounds)) {
      throw RunError(trial_runaway_message(s, failure));
    }
    tell_trial_done(progress, s);
  }
}

void fill_figures(SimulationResult& result) {
  const Design& d = result.design;
  const LookTally& looks = result.tally.looks;
  for (int j = 1; j <= d.stat_count; ++j) {
    result.statistics[j] = statistic_result(result.tally, j, d.sim_count);
    result.trials_without_stop[j] = looks.stopped[j][0];
  }
  for (int i = 1; i <= d.look_count; ++i) {
    LookResult& look = result.looks[i];
    look.trials_reached = looks.reached[i];
    if (looks.reached[i] > 0) {
      look.mean_subjects = static_cast<double>(looks.subjects[i]) / looks.reached[i];
      look.mean_events = static_cast<double>(looks.events[i]) / looks.reached[i];
      look.mean_time = looks.time_sum[i] / looks.reached[i];
      look.min_time = looks.time_min[i];
      look.max_time = looks.time_max[i];
    }
    for (int j = 1; j <= d.stat_count; ++j) {
      look.stopped[j] = looks.stopped[j][i];
      look.rejected[j] = looks.rejected[j][i];
    }
  }
}

void write_calibration(const ReportWriter* writer, RunStreams& streams,
                       const SimulationResult& result, bool announce) {
  if (writer == nullptr || writer->calibration == nullptr) return;
  writer->calibration(streams.report, streams.console, result.design, result.calibration,
                      announce);
}

void run_phases(SimulationResult& result, const SimulationOptions& options,
                RunStreams& streams) {
  Design& design = result.design;
  const ReportWriter* writer = options.writer;
  // The stream starts with the design's seed; its first number is discarded.
  SubtractiveGenerator generator;
  int seed = design.seed;
  uniform(generator, seed);
  set_expected_look_times(design);
  if (writer != nullptr && writer->design != nullptr) writer->design(streams.report, design);
  streams.end_phase();

  // The trial's tables are large; they are made once, before any trial.
  auto work = std::make_unique<TrialWork>();
  try {
    calibrate(design, result.calibration, work->tables);
  } catch (const RunError&) {
    write_calibration(writer, streams, result, false);
    throw;
  }
  write_calibration(writer, streams, result, !options.calibrate_only);
  streams.end_phase();
  if (options.calibrate_only) return;

  BoundTally* bounds = nullptr;
  if (options.collect_bounds && design.method_code != 4) {
    start_bound_tally(result.bounds, design.stat_count, design.look_count);
    bounds = &result.bounds;
  }
  simulate_trials(design, result.calibration, generator, seed, *work, result.tally,
                  TrialText{writer, streams.report, streams.console},
                  resolve_thread_count(options.threads), options.progress, bounds);
  streams.end_phase();
  if (writer != nullptr && writer->results != nullptr) {
    writer->results(streams.report, design, result.tally);
  }
  fill_figures(result);
  result.simulated = true;
}

}  // namespace

int resolve_thread_count(int threads) {
  if (threads > 0) return threads;
  const unsigned hardware = std::thread::hardware_concurrency();
  return hardware > 0 ? static_cast<int>(hardware) : 1;
}

SimulationResult simulate_design(const Design& design, const SimulationOptions& options) {
  SimulationResult result;
  result.design = design;
  try {
    RunStreams streams(options);
    try {
      run_phases(result, options, streams);
    } catch (const RunError& error) {
      result.status = kExitRunError;
      result.error = error.what();
    } catch (const ReportError& error) {
      result.status = kExitReportError;
      result.error = error.what();
    }
    if (!streams.finish(result) && result.status == kExitSuccess) {
      result.status = kExitReportError;
      result.error = "the report text could not be passed on";
    }
  } catch (const RunError& error) {
    result.status = kExitRunError;
    result.error = error.what();
  }
  if (result.status != kExitSuccess) result.simulated = false;
  return result;
}

}  // namespace gsd
