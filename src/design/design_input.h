#pragma once

#include <cstdio>
#include <functional>
#include <istream>

#include "design/design.h"

namespace gsd {

// Reads the 145-line design from `input` into `design` (which must start
// zeroed), applying each default and correction directly after its value
// line, with its note on `console`. `on_report_name` runs directly after the
// report name (line 14) has been read, before any later line.
// Throws InputError, naming the design line, for input that cannot be read
// and for values the system cannot hold or run.
void read_design(std::istream& input, std::FILE* console, Design& design,
                 const std::function<void(const Design&)>& on_report_name);

}  // namespace gsd
