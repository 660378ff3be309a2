#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// A swept key stands for its whole choice among keys that exclude each
// other: looks.times against looks.events and looks.max_time;
// treatment.hazard_ratio, treatment.hazard_ratios with treatment.cuts, and
// treatment.times with treatment.survival; accrual.subjects against
// accrual.rate; control.median against control.times and control.survival.
// Removes from `design` the keys that exclude `key`, except those in
// `swept` (a sweep that sets both is refused by the keyed design).
void remove_excluded_keys(toml::table& design, std::string_view key,
                          const std::vector<std::string>& swept);

}  // namespace gsd
