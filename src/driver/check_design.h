#pragma once

#include <cstdio>
#include <istream>

#include "driver/design_source.h"

namespace gsd {

// Reads and validates a design without running it: the notes, the design
// summary, the subjects per trial, the null variances and the run-time
// estimate all go to `console`; no report file is created and nothing is
// simulated. Returns the exit status a run would end with at this point.
int check_design(std::istream& input, std::FILE* console);

// The same for a design read by `source` (a positional or a keyed file).
int check_design(const DesignSource& source, std::FILE* console);

}  // namespace gsd
