#pragma once

#include <string>

namespace gsd {

// A complete, commented keyed design file: the keyed twin of the
// positional template (design_template), the same design item by item,
// with the alternatives of each table in comments.
std::string toml_design_template();

}  // namespace gsd
