#pragma once

#include "bounds/boundary_tables.h"
#include "design/design.h"

namespace gsd {

// Sets bound(j, k) for every configured statistic j = 1..stat_count at look k
// (1..K) of a simulated trial, from the trial's observed information
// obs_info(j, 1..k), the critical values bound(j, 1..k-1) already used in the
// trial, and the design's method (1..3 only; given bounds never reach
// here), use function, alpha, look_count K, b and sides.
//
// Per statistic:
// - obs_info(j, k) < v0(j): no recursion. At the last look of a design with
//   K > 1 the statistic's bit is set in v0_too_large (the caller's note
//   "The j th v0 is too large.") and the value is the fixed-sample quantile for alpha / sides (5.0 if it faults);
//   otherwise 5.0.
// - Else the information sequence X(1..k) is obs_info(j, 1..k) raised where
//   needed so that it rises by at least 0.0001 per look, and:
//   method 1 runs the recursion with tables.cum_alpha(k) as it stands;
//   method 2 stores the use function at u = min(X(k) / v_last(j), 1) and
//   r = X(k) / v0(j) in tables.cum_alpha(k) and runs the recursion, except
//   that an interim look with u >= 0.99 gets 5.0 without recursion and its
//   obs_info(j, k) is replaced by the mean with obs_info(j, k - 1) (by 0, the
//   information before any look, when k = 1, so that later recursions ignore
//   look 1); at the last look cum_alpha(K) = alpha;
//   method 3 gives b at interim looks and the recursion with cum_alpha(K) =
//   alpha at the last.
// - boundary_failed = 1 (as left by this or any earlier recursion, including
//   one of an earlier statistic, look or trial) turns the look's value into
//   5.0. The flag is never cleared here; only a recursion clears it.
//
// Returns the statistics whose information fell short of v0 at the last look
// and what the call did with boundary_failed, for callers that analyse
// trials out of order and must know whether a trial's outcome depended on
// the flag it started with: `read_before_set` when the failure rule read the
// flag before any recursion of this call had set it, `set` when a recursion
// ran (the flag on return is then this call's own).
//
// tables.cum_alpha is the trial's copy of the cumulative error, entry 0 = 0,
// initialised by the caller from the design's. Preconditions: 1 <= k <= K <=
// 15, v_last(j) > 0, v0(j) > 0. No allocation.
struct BoundaryUpdate {
  bool read_before_set = false;
  bool set = false;
  unsigned v0_too_large = 0;  // bit j: statistic j, at the last look only
};

BoundaryUpdate update_look_boundaries(int k, const Design& design, const InformationScale& scale,
                                      BoundaryTables& tables, int& boundary_failed);

}  // namespace gsd
