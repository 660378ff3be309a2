#pragma once

#include <cstdio>

#include "design/design.h"
#include "model/inverse_warning.h"
#include "sim/calibration.h"
#include "sim/run_tally.h"

namespace gsd {

// The text of a run, written on the engine's behalf by src/report (see
// report/run_report.h): the engine computes and says when and with what,
// the writer makes the lines of the report and of the console. The engine
// lies below the report folder and so never names its functions; a caller
// hands them over in SimulationOptions. An empty entry writes nothing.
struct ReportWriter {
  // The head of the report, before the calibration: the seed line and the
  // design summary.
  void (*design)(std::FILE* report, const Design& design) = nullptr;
  // What the calibration did (its blocks in the report, its b raises and
  // the run-time estimate on the console), also when it stopped part way
  // (Calibration::stopped_at); `announce` adds the report's name on the
  // console and the rule that opens the simulation's part of the report.
  void (*calibration)(std::FILE* report, std::FILE* console, const Design& design,
                      const Calibration& calibration, bool announce) = nullptr;
  // A doubtful working value of the hazard-ratio inverse during generation.
  void (*inverse_warning)(std::FILE* report, InverseWarning warning) = nullptr;
  // Trial `trial_index` had no subject at the look at `look_time`.
  void (*empty_look)(std::FILE* report, float look_time, int trial_index) = nullptr;
  // Statistic j's information fell short of v0 at a trial's last look.
  void (*v0_too_large)(std::FILE* console, int j) = nullptr;
  // The results, after the last trial.
  void (*results)(std::FILE* report, const Design& design, const RunTally& tally) = nullptr;
};

}  // namespace gsd
