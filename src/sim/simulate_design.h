#pragma once

#include <cstddef>
#include <string>

#include "design/capacities.h"
#include "design/design.h"
#include "sim/bound_tally.h"
#include "sim/calibration.h"
#include "sim/report_writer.h"
#include "sim/run_tally.h"
#include "sim/statistic_result.h"
#include "sim/trial_progress.h"

namespace gsd {

// Where text goes as the run produces it: `write` receives consecutive
// pieces of the text (not necessarily whole lines) and returns false when
// it could not take them. Empty: no live destination.
struct TextSink {
  bool (*write)(void* context, const char* text, std::size_t size) = nullptr;
  void* context = nullptr;
};

inline bool has_sink(const TextSink& sink) { return sink.write != nullptr; }

// How simulate_design runs. Nothing here changes a figure or a byte of text.
struct SimulationOptions {
  // Threads analysing trials: 0 for every hardware thread, 1 for the plain
  // one-thread trial loop; every count gives the same results.
  int threads = 0;
  // Told after each trial, in trial order.
  TrialProgress progress;
  // What makes the run's text, the report's and the console's lines:
  // report/run_report.h gives the program's. Without one no text is made.
  const ReportWriter* writer = nullptr;
  // Live destinations of the report text and of the console lines (the
  // run-time estimate, b raises, boundary notes). The console lines of a
  // phase are passed on when the phase ends, so the estimate is out before
  // the first trial runs. One sink given for both (same write and context)
  // receives the two texts interleaved exactly as a single stream would.
  TextSink report_sink;
  TextSink console_sink;
  // Without a sink, keep the text in the result instead (report_text,
  // console_text); without either it is dropped.
  bool collect_report = false;
  bool collect_console = false;
  // Stop after the calibration and the run-time estimate: no trials, no
  // results, and no announcement of the report's name or the rule that
  // opens the simulation's part of the report (what --check shows).
  bool calibrate_only = false;
  // Collect the critical values that methods 1 to 3 compute in every trial
  // into SimulationResult::bounds (for the HTML page). It changes no figure,
  // no text and no random number; it only costs the bins' memory.
  bool collect_bounds = false;
};

// Per look over all trials: the trials still running there, the mean
// number of subjects and of events in the look's data over those trials
// (0 when none reached it), the mean, least and greatest calendar time of
// the look over them (the design's look time under calendar looks; under
// event-driven looks each trial's own), and per statistic the trials that
// stopped, and rejected, at the look.
struct LookResult {
  int trials_reached = 0;
  double mean_subjects = 0.0;
  double mean_events = 0.0;
  double mean_time = 0.0;
  float min_time = 0.0f;
  float max_time = 0.0f;
  int stopped[kStatCapacity + 1] = {};
  int rejected[kStatCapacity + 1] = {};
};

struct SimulationResult {
  // kExitSuccess (0); kExitRunError (3) for a design that cannot be
  // simulated to an end, with the cause in `error`; kExitReportError (2)
  // when a text sink refused text (the run stops at the end of the phase).
  // On an error the figures below hold what was computed before the stop;
  // the text holds what was written before it.
  int status = 0;
  std::string error;
  // The design as simulated: b and cum_alpha as the calibration left them.
  Design design;
  Calibration calibration;
  // Whether the trials ran to the end (false under calibrate_only and on
  // an error); the figures below are meaningful only then.
  bool simulated = false;
  RunTally tally;
  StatisticResult statistics[kStatCapacity + 1] = {};  // statistics 1..L
  // Trials whose statistic j never stopped (its last look had no subject).
  int trials_without_stop[kStatCapacity + 1] = {};
  LookResult looks[kLookCapacity + 1];  // looks 1..K
  // With collect_bounds under methods 1 to 3: per statistic and look the
  // critical values of the trials that reached the look with subjects.
  // Otherwise empty (stat_count 0).
  BoundTally bounds;
  std::string report_text;   // with collect_report and no report sink
  std::string console_text;  // with collect_console and no console sink
};

// Runs a design in memory: under event-driven looks the expected target
// times into the design's look times (sim/expected_look_times.h), then
// calibration (null variances, the method's constants, the run-time
// estimate), then the trials, then the figures.
// `design` must be complete and valid, as read_design leaves it (defaults
// applied, every count within the capacities). Touches no file; the text
// goes to the sinks or into the result as `options` ask.
SimulationResult simulate_design(const Design& design, const SimulationOptions& options = {});

// The thread count `threads` asks for: itself when positive, otherwise the
// number of hardware threads (1 when unknown).
int resolve_thread_count(int threads);

}  // namespace gsd
