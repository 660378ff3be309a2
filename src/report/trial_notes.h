#pragma once

#include <cstdio>

#include "model/inverse_warning.h"

namespace gsd {

// The lines a simulated trial may leave, in list-directed form.

// Report: "tmpp too small" or "rmlp too small", a doubtful working value
// of the hazard-ratio inverse met while the trial's subjects were drawn.
void write_inverse_warning(std::FILE* report, InverseWarning warning);

// Report: "no life enters before" the look time, then "no. of simulation="
// the trial: a look of the trial without subjects.
void write_empty_look(std::FILE* report, float look_time, int trial_index);

// Console: "The" j "   th v0 is too large.": statistic j's information
// at the trial's last look fell short of v0.
void write_v0_too_large(std::FILE* console, int j);

}  // namespace gsd
