#pragma once

#include <istream>

#include "design/capacities.h"

namespace gsd {

// The values of a positional design file as written, before any default or
// correction: what tells an item the file gave (a 0 asks for the default)
// from the default itself. Lists are indexed from 1, and each holds as many
// values as the design input reads for it (counts after their defaults).
struct PositionalValues {
  int method_code = 0;
  int seed = 0;
  int look_count = 0;
  float look_times[kLookCapacity + 1] = {};
  int stat_count = 0;
  float rho[kStatCapacity + 1] = {};
  float tau[kStatCapacity + 1] = {};
  int sim_count = 0;
  float alpha = 0.0f;
  int sides = 0;
  float error_split[kLookCapacity + 1] = {};
  float b = 0.0f;
  float critical_values[kLookCapacity + 1] = {};
  int use_function_code = 0;
  int baseline_count = 0;
  float baseline_times[kCurveCapacity + 1] = {};
  float baseline_survival[kCurveCapacity + 1] = {};
  float accrual_period = 0.0f;
  float accrual_rate = 0.0f;
  int interval_count = 0;
  float cutpoints[kIntervalCapacity + 1] = {};
  float alternative_mode = 0.0f;
  float treatment_values[kIntervalCapacity + 1] = {};
  int censoring_count[2] = {};  // control, treatment
  float censoring_times[2][kCurveCapacity + 1] = {};
  float censoring_survival[2][kCurveCapacity + 1] = {};
  int crossover_count[2] = {};  // drop-in, drop-out
  float crossover_times[2][kListCapacity + 1] = {};
  float crossover_probs[2][kListCapacity + 1] = {};
};

// Reads the values of a design that read_design has accepted (for any other
// input the values are unspecified, and InputError may be thrown).
PositionalValues read_positional_values(std::istream& input);

}  // namespace gsd
