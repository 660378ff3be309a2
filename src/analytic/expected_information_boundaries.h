#pragma once

#include "bounds/boundary_tables.h"
#include "design/design.h"

namespace gsd {

// The critical values c(1..K) (Z scale) of one statistic when every look
// observes exactly its expected information X(1..K): the rules of
// update_look_boundaries, in double precision with this folder's own
// recursion (null_boundary_recursion below), in the calibration's units.
//   method 4: the given critical values;
//   method 1: the recursion on the cumulative error split;
//   method 2: the use function at u = min(X(k) / v_last, 1), r = X(k) / v0;
//     an interim look with u >= 0.99 gets 5.0 without spending, and later
//     looks see its information as the mean with the previous look's (0 for
//     the first); the last look spends alpha;
//   method 3: b (as the calibration left it) at the interim looks, the
//     recursion spending alpha at the last.
// For methods 1 to 3, a look whose X(k) is below v0 gets 5.0 (the last of
// several looks the fixed-sample quantile for alpha / sides); X rises by at
// least 0.0001 per look in the recursion; a critical value is never above
// 5.0, the largest the engine's recursion computes.
//
// With BoundaryRecursion::kEngine the recursion is the engine's own
// (last_look_boundary, single precision, a 24-point Gauss-Legendre rule on
// every earlier continuation interval): the critical values a simulated
// trial observing exactly X would get. That rule does not resolve small
// information increments under wide earlier intervals (a critical value of
// 5.0 at an interim look), where its values can lie well below the
// accurate ones.
enum class BoundaryRecursion { kAccurate, kEngine };
void expected_information_boundaries(const Design& design, const InformationScale& scale,
                                     int stat, const double* X, double* c,
                                     BoundaryRecursion recursion = BoundaryRecursion::kAccurate);

// The group-sequential boundaries under the null, the engine's convention
// (last_look_boundary): Z_k = W_k / sqrt(x(k)) with W a standard score
// process of variance x(k) (increasing, x(1) > 0), continuation |Z_i| <
// c(i) at the earlier looks (also for one-sided tests), and c(k) the value
// at which the upper exits of looks 1..k add up to cum_alpha(k) / sides
// (arrays from 1). Every c(k) lies within [0, 5]: a target that needs more
// than 5 gets 5.
void null_boundaries(int K, const double* x, const double* cum_alpha, int sides, double* c);

}  // namespace gsd
