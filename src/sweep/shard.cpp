#include "sweep/shard.h"

#include "text/list_input.h"

namespace gsd {

bool parse_shard(std::string_view text, Shard& shard, std::string& error) {
  const std::size_t slash = text.find('/');
  int index = 0;
  int count = 0;
  if (slash == std::string_view::npos || !parse_integer(text.substr(0, slash), index) ||
      !parse_integer(text.substr(slash + 1), count)) {
    error = "--shard takes I/N (shard I of N, for example 2/8), not \"" + std::string(text) + "\"";
    return false;
  }
  if (count < 1 || index < 1 || index > count) {
    error = "--shard " + std::string(text) + ": I must lie between 1 and N, and N be at least 1";
    return false;
  }
  shard.index = index;
  shard.count = count;
  return true;
}

}  // namespace gsd
