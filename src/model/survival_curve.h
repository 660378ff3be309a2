#pragma once

#include "design/survival_curve.h"

namespace gsd {

// The operations on a SurvivalCurve (design/survival_curve.h: n points
// after the origin, piecewise exponential between them).

// Pieces whose survival drops by less than this carry no probability for
// the inverse.
inline constexpr float kFlatPieceDrop = 0.000001f;

// Both operations rely on the design input's invariants: 1 <= n <= 20,
// x(0) = 0 < x(1) < ... < x(n), 1 = S(0) >= S(1) >= ... >= S(n) > 0.
// They check none of them.

// S(t). Returns exactly 1 for t <= x(0); beyond x(n) the last piece's hazard
// continues from S(n).
float survival_at(const SurvivalCurve& curve, float t);

// The time t >= 0 with S(t) = u, for inversion sampling (u uniform on [0, 1]).
// u >= 1 gives 0. A piece whose ends differ by less than 0.000001 carries no
// probability and is skipped, so u at the level of a flat stretch maps to the
// stretch's start. u below S(n) continues the last piece's hazard. The result
// is +infinity where the curve never reaches u: u = 0, or a flat last piece
// and u below its level.
float time_at_survival(const SurvivalCurve& curve, float u);

// The constant hazard of piece j (x(j-1) to x(j), 1 <= j <= n):
// (ln S(j-1) - ln S(j)) / (x(j) - x(j-1)), in double, rounded to float.
// Both logarithms are taken in the same precision, so a flat piece has a
// hazard of exactly 0 and its inverse comes out infinite rather than large.
float piece_hazard(const SurvivalCurve& curve, int j);

}  // namespace gsd
