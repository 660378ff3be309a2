#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gsd {

// One --sweep option: a dotted key of the keyed design and the values it
// takes, in order, each as the TOML literal that replaces the key's value
// (`0.7`, `700`, `[12,18,24]`; a word that is no TOML literal stands for
// the string it spells).
struct SweepAxis {
  std::string key;
  std::vector<std::string> values;
};

// The most values one axis, and one grid, may hold: a range like 1:1e9:1 is
// a typing error, not a plan.
inline constexpr long long kAxisValueCapacity = 10000;
inline constexpr long long kScenarioCapacity = 100000;

// Parses KEY=VALUES. VALUES is a comma-separated list of items; commas inside
// brackets or quotes belong to their item (`looks.times=[12,18,24],[12,24]`
// gives two lists). An item from:to:step (three numbers) is a range: from,
// from + step, ... up to the last value not beyond to (to within 1e-9 of a
// step, so 0.6:0.8:0.1 ends at 0.8); its values are integers when all three
// numbers are, otherwise reals rounded to the decimals the three numbers
// show. Returns false with a message in `error` for a missing key or value,
// an empty item, a range with a step that is not positive, an empty range,
// or more than kAxisValueCapacity values.
bool parse_sweep_axis(std::string_view text, SweepAxis& axis, std::string& error);

// Keys a sweep cannot vary: the report name (a sweep writes no report).
// Returns the reason when `key` is one of them, otherwise empty.
std::string unsweepable_key_reason(std::string_view key);

}  // namespace gsd
