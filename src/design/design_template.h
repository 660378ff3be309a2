#pragma once

#include <string>

namespace gsd {

// A complete, commented design file: every value line carries a working
// example value, and the comment lines before it say what it holds and what
// a 0 asks for. Feeding it back runs a Lan-DeMets design with hazard ratios,
// censoring and crossover.
std::string design_template();

}  // namespace gsd
