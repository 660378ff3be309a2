#pragma once

#include <cstdio>

#include "design/design.h"
#include "sim/run_tally.h"

namespace gsd {

// The report's own text, written on the engine's behalf by src/report (see
// report/run_report.h): the engine says when and with what, the writer
// makes the lines. The engine lies below the report folder and so never
// names its functions; a caller hands them over in SimulationOptions.
// An empty entry writes nothing.
struct ReportWriter {
  // The head of the report, before the calibration: the seed line and the
  // design summary.
  void (*design)(std::FILE* report, const Design& design) = nullptr;
  // The results, after the last trial.
  void (*results)(std::FILE* report, const Design& design, const RunTally& tally) = nullptr;
};

}  // namespace gsd
