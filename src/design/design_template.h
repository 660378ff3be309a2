#pragma once

#include <iterator>
#include <string>

#include "design/design_layout.h"

namespace gsd {

// A complete, commented design file: every value line carries a working
// example value, and the comment lines before it say what it holds and what
// a 0 asks for. Feeding it back runs a Lan-DeMets design with hazard ratios,
// censoring and crossover.
std::string design_template();

// The template's value lines, 11, 14, 17, ... 145, in order.
inline constexpr int kDesignValueLineCount = static_cast<int>(std::size(kDesignLayout));

// The comment lines that stand before value line `index` (0 for line 11, up
// to kDesignValueLineCount - 1 for line 145), each ending in '\n': with a
// value line after each, the 145 lines of a design file.
const char* design_template_comments(int index);

}  // namespace gsd
