#pragma once

#include <functional>
#include <vector>

namespace gsd {

// The simulated power of one statistic at a number of subjects per trial.
struct PowerAt {
  int subjects = 0;
  double power = 0.0;
  double sd = 0.0;  // Monte-Carlo standard error of power
};

struct SizeSearch {
  int analytic_subjects = 0;  // smallest n whose analytic power reaches the target
  double analytic_power = 0.0;
  double capacity_analytic_power = 0.0;  // analytic power at the capacity
  int step = 1;                          // resolution of the simulated search
  PowerAt found;                         // smallest n found whose simulated power reaches it
  bool has_below = false;                // found.subjects - step lies in range
  PowerAt below;                         // the simulation one step below
  std::vector<PowerAt> simulated;        // every simulation, in the order run
};

enum class SizeOutcome {
  kFound,
  kAnalyticUnreachable,   // the analytic power at the capacity is below the target
  kSimulatedUnreachable,  // the simulated power at the capacity is below the target
};

// The smallest number of subjects from `fewest` to `capacity` whose power
// reaches `target`. First the analytic power (assumed to grow with n)
// brackets the answer by bisection; then simulations on a grid of `step`
// subjects, step = max(1, ceil(analytic answer / 100)), start from the
// analytic answer, widen (doubling) until one simulation reaches the target
// and one below it does not, bisect between them, and end at an n that
// reaches the target while n - step does not (walking down while n - step
// still reaches it, for the simulated power need not grow strictly with n).
// At most `simulation_limit` simulations are run; `found` always holds an n
// that reaches the target and `below` what n - step gave.
SizeOutcome search_size(double target, int fewest, int capacity,
                        const std::function<double(int subjects)>& analytic_power,
                        const std::function<PowerAt(int subjects)>& simulated_power,
                        SizeSearch& search, int simulation_limit = 40);

}  // namespace gsd
