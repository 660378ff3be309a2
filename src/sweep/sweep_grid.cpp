#include "sweep/sweep_grid.h"

namespace gsd {

namespace {

// `inner` lies inside the table `outer` (or is the same key).
bool within(const std::string& inner, const std::string& outer) {
  return inner == outer || (inner.size() > outer.size() && inner.starts_with(outer) &&
                            inner[outer.size()] == '.');
}

}  // namespace

bool check_sweep_grid(const SweepGrid& grid, std::string& error) {
  if (grid.axes.empty()) {
    error = "a sweep needs at least one --sweep KEY=VALUES";
    return false;
  }
  for (std::size_t a = 0; a < grid.axes.size(); ++a) {
    const std::string& key = grid.axes[a].key;
    const std::string reason = unsweepable_key_reason(key);
    if (!reason.empty()) {
      error = "--sweep " + key + ": " + reason;
      return false;
    }
    for (std::size_t b = 0; b < a; ++b) {
      const std::string& earlier = grid.axes[b].key;
      if (within(key, earlier) || within(earlier, key)) {
        error = "--sweep ";
        error += key;
        if (key == earlier) {
          error += " is given twice";
        } else {
          error += " and --sweep ";
          error += earlier;
          error += " would both set ";
          error += key.size() < earlier.size() ? earlier : key;
        }
        return false;
      }
    }
  }
  long long count = 1;
  for (const SweepAxis& axis : grid.axes) {
    count *= static_cast<long long>(axis.values.size());
    if (count > kScenarioCapacity) {
      error = "the sweep has more than " + std::to_string(kScenarioCapacity) + " scenarios";
      return false;
    }
  }
  return true;
}

long long scenario_count(const SweepGrid& grid) {
  long long count = 1;
  for (const SweepAxis& axis : grid.axes) count *= static_cast<long long>(axis.values.size());
  return grid.axes.empty() ? 0 : count;
}

std::vector<int> scenario_value_indices(const SweepGrid& grid, long long scenario) {
  std::vector<int> indices(grid.axes.size());
  long long rest = scenario - 1;
  for (std::size_t a = grid.axes.size(); a-- > 0;) {
    const long long n = static_cast<long long>(grid.axes[a].values.size());
    indices[a] = static_cast<int>(rest % n);
    rest /= n;
  }
  return indices;
}

}  // namespace gsd
