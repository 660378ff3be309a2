#pragma once

#include <cstdio>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "design/design.h"

namespace gsd {

// Reads the 145-line design from `input` into `design` (which must start
// zeroed), applying each default and correction directly after its value
// line, with its note on `console`. `on_report_name` runs directly after the
// report name (line 14) has been read, before any later line.
// Throws InputError, naming the design line, for input that cannot be read,
// for values the system cannot hold or run, and for impossible designs
// (times out of order, survival that increases, probabilities outside
// [0, 1]), each checked after its defaults.
// Legal designs that are probably not what was meant (a baseline curve or
// hazard-ratio cut points that end before the last look, a slash directly
// after a number) are accepted; one message per trap, naming the line, is
// appended to `warnings` when given. The reader never writes them itself.
void read_design(std::istream& input, std::FILE* console, Design& design,
                 const std::function<void(const Design&)>& on_report_name,
                 std::vector<std::string>* warnings = nullptr);

}  // namespace gsd
