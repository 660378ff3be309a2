#pragma once

#include <cstdio>

#include "bounds/boundary_tables.h"
#include "design/capacities.h"
#include "design/design.h"

namespace gsd {

// What the calibration hands on to the simulation.
struct Calibration {
  int subject_count = 0;
  InformationScale scale;  // v0 and v_last per statistic
  // Method 3: the final critical value from the null variances.
  float haybittle_c = 0.0f;
  // Null variance of statistic j at look i.
  float null_variance[kStatCapacity + 1][kLookCapacity + 1] = {};
};

// Calibrates the design before any trial is simulated: the subjects per
// trial, the null variances of every statistic with their report blocks,
// v0 and v_last, the b search of the Haybittle-type method (b only grows,
// in steps of 0.1, each announced on the console), the Siegmund check of b
// under the use-function method with use function 4, the given critical
// values into `tables.bound` (method 4), and the run-time estimate and the
// report's name on the console (the name, and the rule that opens the
// simulation's part of the report, only when `announce_report`). Overwrites
// design.b and design.cum_alpha as the method requires. Throws RunError when
// a computation cannot end.
void calibrate(Design& design, std::FILE* report, std::FILE* console, Calibration& calibration,
               BoundaryTables& tables, bool announce_report = true);

// The run-time estimate in minutes, from the work of the chosen method.
float run_time_estimate(const Design& design, int subject_count);

}  // namespace gsd
