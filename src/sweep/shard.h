#pragma once

#include <string>
#include <string_view>

namespace gsd {

// One of `count` shards of a sweep: the scenarios whose index is congruent
// to `index` modulo `count` (index from 1 to count). 1/1 is the whole sweep.
struct Shard {
  int index = 1;
  int count = 1;
};

// Parses I/N with 1 <= I <= N. Returns false with a message in `error`.
bool parse_shard(std::string_view text, Shard& shard, std::string& error);

// Scenario `scenario` (1-based) belongs to `shard`.
inline bool in_shard(const Shard& shard, long long scenario) {
  return (scenario - shard.index) % shard.count == 0;
}

}  // namespace gsd
