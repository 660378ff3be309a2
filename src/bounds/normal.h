#pragma once

namespace gsd {

// Standard normal routines of the boundary computations, all in single
// precision: every named intermediate and every result is rounded to float.
// Pure functions; nothing carries from one call to the next.

// phi(x), the standard normal density. Returns exactly 0 once the exponent
// -x*x/2 - ln sqrt(2 pi) falls to -87 or below (|x| above about 13.12), so
// the result never underflows into the subnormal range.
float normal_density(float x);

// P(Z > x) when upper is true, P(Z < x) when it is false, Z standard normal.
// Algorithm AS 66 with LTONE = 7, UTZERO = 18.66, CON = 1.28. A requested
// small tail is computed out to |x| = 18.66 and is 0 beyond; a probability
// that would be 1 minus a tail beyond |x| = 7 is exactly 1, so
// normal_tail(8, false) = normal_tail(-8, true) = 1. Never fails.
float normal_tail(float x, bool upper);

// The x with P(Z < x) = p (Algorithm AS 70). fault = 0 on success; fault = 1
// and the value 0 when min(p, 1 - p) < 1e-20 (including p outside [0, 1]).
float normal_quantile(float p, int& fault);

}  // namespace gsd
