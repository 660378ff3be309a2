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
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* sink = open_memstream(&text, &size);
  std::istringstream input(design_text(values));
  read_design(input, sink, result.design, [](const Design&) {});
  auto tables = std::make_unique<BoundaryTables>();
  calibrate(result.design, sink, sink, result.calibration, *tables, false);
  std::fclose(sink);
  std::free(text);
  return result;
}

}  // namespace gsd::testing
