#pragma once

// A design read from its text and calibrated as a run does, the report and
// console lines thrown away: what the analytic routines start from.

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "bounds/boundary_tables.h"
#include "design/design.h"
#include "design/design_input.h"
#include "sim/calibration.h"
#include "support/design_text.h"

namespace gsd::testing {

struct CalibratedDesign {
  Design design;
  Calibration calibration;
};

inline CalibratedDesign calibrated_design(const std::map<int, std::string>& values) {
  CalibratedDesign result;
  std::FILE* sink = std::fopen("/dev/null", "w");
  std::istringstream input(design_text(values));
  read_design(input, sink, result.design, [](const Design&) {});
  std::fclose(sink);
  auto tables = std::make_unique<BoundaryTables>();
  calibrate(result.design, result.calibration, *tables);
  return result;
}

}  // namespace gsd::testing
