#pragma once

#include <string>

#include "keyed/keyed_table.h"
#include "report/sweep_result.h"
#include "sweep/size_search.h"

namespace gsd {

struct SizingOptions {
  double target = 0.8;  // the power wanted, in (0, 1)
  int statistic = 1;    // 1-based
  int threads = 0;      // 0: every hardware thread
};

struct SizingRun {
  // 0 found; 1 the design (or a scenario of it) refused, or the target above
  // the power reachable at the subject capacity; 3 a simulation or the
  // analytic power that cannot be computed; 4 a statistic the design does
  // not have.
  int status = 0;
  std::string error;
  SizeSearch search;
  std::string notes;  // the reader's notes of the design as given
  std::string text;   // the console's account of the answer
  // The simulations of the search as a sweep over accrual.subjects, one
  // scenario per number of subjects simulated, in increasing order (the
  // figures of the console's list), for the page of the sizing.
  SweepResult page;
};

// The smallest number of subjects per trial (accrual.subjects, the accrual
// period fixed so the rate varies) whose simulated power for the statistic
// reaches the target: see search_size for the search. Every candidate is
// the keyed design with accrual.subjects replaced (and accrual.rate
// removed), converted and simulated as gsdsim runs it.
SizingRun size_for_power(const KeyedTable& design, const SizingOptions& options);

}  // namespace gsd
