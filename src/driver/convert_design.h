#pragma once

#include <cstdio>
#include <istream>

#include "driver/design_source.h"

namespace gsd {

// Writes the design read from `input` (in the form `from`) on `out` in the
// form `to`: a positional design as its keyed equivalent, a keyed design as
// its 145-line positional file. Simulates nothing and creates no file. The
// conversion is checked before anything is written: the converted design
// must read back to the same Design. Returns the exit status; a refused
// design's message goes to `errors`.
int convert_design(std::istream& input, DesignFormat from, DesignFormat to, std::FILE* out,
                   std::FILE* errors);

}  // namespace gsd
