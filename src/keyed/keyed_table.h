#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "design/keyed_design.h"

namespace gsd {

// The parsed table of a keyed design file, held opaquely so that the parser
// library stays inside keyed/: a sweep or a sizing copies it, replaces values
// at dotted keys and converts it as the keyed design file would be.
struct KeyedTable {
  struct Body;  // the library's table
  std::unique_ptr<Body> body;

  KeyedTable();
  KeyedTable(const KeyedTable& other);
  KeyedTable(KeyedTable&& other) noexcept;
  KeyedTable& operator=(const KeyedTable& other);
  KeyedTable& operator=(KeyedTable&& other) noexcept;
  ~KeyedTable();
};

// The table of keyed design text, with the guards and the messages of
// parse_toml_design (an InputError naming the line and column).
KeyedTable parse_keyed_table(std::string_view text);

// keyed_design_from_table of the table.
KeyedDesign keyed_design_of(const KeyedTable& table);

// The TOML text of the value at the dotted key, "" when there is none.
std::string keyed_table_value(const KeyedTable& table, std::string_view key);

// Replaces, in the keyed design `design`, the value at the dotted key `key`
// (`accrual.subjects`, `statistics[2].rho`) with the TOML literal `literal`
// (a word that is no TOML literal is taken as the string it spells). Tables
// on the way that the design lacks are created, so a sweep can set a key the
// design leaves at its default; an element index must exist. Returns false
// with a message in `error` when the path runs through something that is not
// a table (or an array, for an index). Whether the value fits the key is the
// keyed design's to check.
bool replace_design_value(KeyedTable& design, std::string_view key, std::string_view literal,
                          std::string& error);

// A swept key stands for its whole choice among keys that exclude each
// other: looks.times against looks.events and looks.max_time;
// treatment.hazard_ratio, treatment.hazard_ratios with treatment.cuts, and
// treatment.times with treatment.survival; accrual.subjects against
// accrual.rate; control.median against control.times and control.survival.
// Removes from `design` the keys that exclude `key`, except those in
// `swept` (a sweep that sets both is refused by the keyed design).
void remove_excluded_keys(KeyedTable& design, std::string_view key,
                          const std::vector<std::string>& swept);

}  // namespace gsd
