#pragma once

#include <string>
#include <string_view>

#include <toml++/toml.h>

namespace gsd {

// Replaces, in the keyed design `design`, the value at the dotted key `key`
// (`accrual.subjects`, `statistics[2].rho`) with the TOML literal `literal`
// (a word that is no TOML literal is taken as the string it spells). Tables
// on the way that the design lacks are created, so a sweep can set a key the
// design leaves at its default; an element index must exist. Returns false
// with a message in `error` when the path runs through something that is not
// a table (or an array, for an index). Whether the value fits the key is the
// keyed design's to check.
bool replace_design_value(toml::table& design, std::string_view key, std::string_view literal,
                          std::string& error);

}  // namespace gsd
