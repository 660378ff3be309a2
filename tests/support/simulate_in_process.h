#pragma once

// Whole runs in process (simulate_design) of a Design the test has filled,
// so that event-driven looks can be set on a positional design.

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "design/design.h"
#include "design/design_input.h"
#include "report/run_report.h"
#include "sim/simulate_design.h"
#include "support/design_text.h"

namespace gsd::testing {

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

// The design run by simulate_design on `threads` threads, with the
// program's report text and the console text kept in the result.
inline SimulationResult simulate_in_process(const Design& design, int threads) {
  SimulationOptions options;
  options.threads = threads;
  options.writer = &run_report_writer();
  options.collect_report = true;
  options.collect_console = true;
  return simulate_design(design, options);
}

}  // namespace gsd::testing
