#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace gsd {

// Writes each warning of the design reader as one line
// "gsdsim: warning: ..." to `out` (nothing when `out` is null).
void write_warnings(std::FILE* out, const std::vector<std::string>& warnings);

// The one-line hint shown when the design is read from a terminal, where
// the program would otherwise wait for input without a word.
const char* terminal_input_hint();

}  // namespace gsd
