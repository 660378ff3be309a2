#pragma once

// Runs a whole design in process (expected look times, calibration, every
// trial on one thread or several) from a Design the test has filled, so
// that event-driven looks can be set on a positional design. Returns the
// tallies and what went to the report and the console.

#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "design/design.h"
#include "design/design_input.h"
#include "model/random_stream.h"
#include "sim/calibration.h"
#include "sim/expected_look_times.h"
#include "sim/parallel_simulation.h"
#include "sim/simulation.h"
#include "support/design_text.h"

namespace gsd::testing {

struct InProcessRun {
  Design design;
  Calibration calibration;
  RunTally tally;
  std::string report;
  std::string console;
};

inline std::string drain(std::FILE* file) {
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

// The positional design with `changes`, turned event-driven with `targets`
// and `max_time` when targets are given.
inline Design event_design(const std::map<int, std::string>& changes,
                           const std::vector<int>& targets, float max_time) {
  Design design;
  std::istringstream input(design_text(changes));
  std::FILE* console = std::tmpfile();
  read_design(input, console, design, [](const Design&) {});
  std::fclose(console);
  for (std::size_t k = 0; k < targets.size(); ++k) {
    design.look_events[k + 1] = targets[k];
  }
  if (!targets.empty()) design.max_time = max_time;
  return design;
}

inline InProcessRun simulate_in_process(const Design& design, int threads) {
  InProcessRun run;
  run.design = design;
  Design& d = run.design;
  std::FILE* report = std::tmpfile();
  std::FILE* console = std::tmpfile();
  set_expected_look_times(d);
  SubtractiveGenerator generator;
  int seed = d.seed;
  uniform(generator, seed);
  auto work = std::make_unique<TrialWork>();
  calibrate(d, report, console, run.calibration, work->tables, false);
  if (threads > 1) {
    simulate_trials_in_parallel(d, run.calibration, generator, seed, work->tables, run.tally,
                                report, console, threads);
  } else {
    start_simulation(d, *work);
    int boundary_failed = 0;
    char error[512];
    for (int s = 1; s <= d.sim_count; ++s) {
      if (!simulate_trial(d, run.calibration, s, generator, seed, *work, boundary_failed,
                          run.tally, report, console, error, sizeof error)) {
        break;
      }
    }
  }
  run.report = drain(report);
  run.console = drain(console);
  return run;
}

}  // namespace gsd::testing
