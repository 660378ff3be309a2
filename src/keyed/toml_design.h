#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <toml++/impl/forward_declarations.h>

#include "design/keyed_design.h"

namespace gsd {

// Keyed design files in TOML. Every failure is an InputError naming the key
// (or, for TOML syntax, the line and column) and what was expected.

// Parses TOML text into a table: syntax errors only.
toml::table parse_toml_design(std::string_view text);

// The keyed design a table holds: unknown keys (with the nearest known key
// suggested), wrong types, empty lists and reals beyond single precision are
// refused here; ranges, lengths and keys that exclude each other are left
// to check_keyed_design.
KeyedDesign keyed_design_from_table(const toml::table& table);

// parse_toml_design, then keyed_design_from_table.
KeyedDesign keyed_design_from_toml(std::string_view text);

// The TOML text of a keyed design, keys in the documented order, only the
// keys it gives; reals in the shortest form that reads back to the same
// single-precision value. Each of `comments` becomes a comment line at the
// top.
std::string toml_design_text(const KeyedDesign& keyed,
                             const std::vector<std::string>& comments = {});

}  // namespace gsd
