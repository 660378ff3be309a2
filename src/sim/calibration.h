#pragma once

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

  // What the calibration did, for its report blocks and console lines.
  // 0 when every statistic was calibrated; otherwise the statistic at which
  // a computation could not end (statistics before it are complete).
  int stopped_at = 0;
  // Method 3: the raises of b by 0.1 during statistic j's search, and the
  // b and the final critical value its search ended with.
  int b_raises[kStatCapacity + 1] = {};
  float haybittle_b[kStatCapacity + 1] = {};
  float haybittle_c_of[kStatCapacity + 1] = {};
  // Method 2 with use function 4: the raises of b by 0.1 in the Siegmund
  // check, after every statistic.
  int siegmund_raises = 0;
};

// Calibrates the design before any trial is simulated: the subjects per
// trial, the null variances of every statistic, v0 and v_last, the b
// search of the Haybittle-type method (b only grows, in steps of 0.1,
// carried from statistic to statistic), the Siegmund check of b under the
// use-function method with use function 4, and the given critical values
// into `tables.bound` (method 4). Overwrites design.b and design.cum_alpha
// as the method requires. Writes nothing: `calibration` records what a
// report needs. Throws RunError when a computation cannot end, with
// calibration.stopped_at naming the statistic.
void calibrate(Design& design, Calibration& calibration, BoundaryTables& tables);

// The run-time estimate in minutes, from the work of the chosen method.
float run_time_estimate(const Design& design, int subject_count);

}  // namespace gsd
