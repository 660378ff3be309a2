#pragma once

#include <cstdio>
#include <istream>

namespace gsd {

// Runs one design read from `input`: notes and estimates go to `console`,
// everything else to the report file the design names. Returns the process
// exit status (see run_errors.h); fatal errors are written to `console`.
int run_design(std::istream& input, std::FILE* console);

}  // namespace gsd
