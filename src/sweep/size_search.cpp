#include "sweep/size_search.h"

#include <algorithm>
#include <map>

namespace gsd {

SizeOutcome search_size(double target, int fewest, int capacity,
                        const std::function<double(int)>& analytic_power,
                        const std::function<PowerAt(int)>& simulated_power, SizeSearch& search,
                        int simulation_limit) {
  search = SizeSearch();
  search.capacity_analytic_power = analytic_power(capacity);
  if (!(search.capacity_analytic_power >= target)) return SizeOutcome::kAnalyticUnreachable;

  // Bisection of the analytic power: a(lo) < target <= a(hi).
  int lo = fewest;
  int hi = capacity;
  double at_hi = search.capacity_analytic_power;
  const double at_fewest = analytic_power(fewest);
  if (at_fewest >= target) {
    hi = fewest;
    at_hi = at_fewest;
  }
  while (hi - lo > 1) {
    const int mid = lo + (hi - lo) / 2;
    const double at_mid = analytic_power(mid);
    if (at_mid >= target) {
      hi = mid;
      at_hi = at_mid;
    } else {
      lo = mid;
    }
  }
  search.analytic_subjects = hi;
  search.analytic_power = at_hi;
  const int step = std::max(1, (hi + 99) / 100);
  search.step = step;

  std::map<int, PowerAt> runs;
  auto simulate = [&](int n) -> const PowerAt& {
    auto it = runs.find(n);
    if (it == runs.end()) {
      it = runs.emplace(n, simulated_power(n)).first;
      search.simulated.push_back(it->second);
    }
    return it->second;
  };
  auto reaches = [&](int n) { return simulate(n).power >= target; };
  auto budget_left = [&] { return static_cast<int>(runs.size()) < simulation_limit; };

  // Widen from the analytic answer until passing >= target > failing.
  int passing = -1;
  int failing = -1;
  const int start = search.analytic_subjects;
  if (reaches(start)) {
    passing = start;
    for (int width = step; passing > fewest && budget_left(); width *= 2) {
      const int n = std::max(fewest, passing - width);
      if (!reaches(n)) {
        failing = n;
        break;
      }
      passing = n;
    }
  } else {
    failing = start;
    for (int width = step; budget_left(); width *= 2) {
      if (failing == capacity) return SizeOutcome::kSimulatedUnreachable;
      const int n = std::min(capacity, failing + width);
      if (reaches(n)) {
        passing = n;
        break;
      }
      failing = n;
    }
    if (passing < 0) {
      // Out of simulations before reaching the target: the last resort is
      // the capacity itself.
      if (!reaches(capacity)) return SizeOutcome::kSimulatedUnreachable;
      passing = capacity;
    }
  }
  // Bisection to one step.
  while (failing >= 0 && passing - failing > step && budget_left()) {
    const int mid = failing + (passing - failing) / 2;
    if (reaches(mid)) {
      passing = mid;
    } else {
      failing = mid;
    }
  }
  // One step below must fall short.
  while (passing - step >= fewest && budget_left() && reaches(passing - step)) {
    passing -= step;
  }
  search.found = simulate(passing);
  search.has_below = passing - step >= fewest;
  if (search.has_below) search.below = simulate(passing - step);
  return SizeOutcome::kFound;
}

}  // namespace gsd
