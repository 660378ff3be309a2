#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace gsd {

// Standard normal routines of the boundary computations, all in single
// precision: every named intermediate and every result is rounded to float.
// Pure functions; nothing carries from one call to the next.

// ln sqrt(2 pi) in single precision.
inline constexpr float kLogRootTwoPi = 0.9189385f;
// Below this exponent exp() would leave the normal float range.
inline constexpr float kLeastDensityExponent = -87.0f;

// The exponent of the density at x, -x*x/2 - ln sqrt(2 pi), as a float: at
// most -0.9189385 (NaN for a NaN x).
inline float normal_density_exponent(float x) {
  const double xd = x;
  return static_cast<float>(-(0.5 * xd * xd) - kLogRootTwoPi);
}

// phi(x), the standard normal density. Returns exactly 0 once the exponent
// -x*x/2 - ln sqrt(2 pi) falls to -87 or below (|x| above about 13.12), so
// the result never underflows into the subnormal range.
float normal_density(float x);

// exp(t) rounded to float, computed in two steps so that a loop over many
// exponents can do the costly first step for all of them at once (the
// compiler vectorizes it) and the cheap second step one by one.
//
// Exactness. The boundary recursion only ever needs exp at a float
// t in (-87, -0.9189385] (the density's exponent), rounded to float, and
// exp_to_float returns exactly static_cast<float>(std::exp(double{t})) there:
// - exp_approx(t) is within 2^-40 of e^t, relative (below).
// - std::exp is within 1 unit in the last place (ulp) of double, so that of
//   e^t too.
// - Two doubles round to different floats only if a float midpoint (a
//   25-bit value) lies between them or one of them is that midpoint. e^t
//   itself is never one (it is transcendental for rational t != 0). So if
//   the approximation is farther than both error bounds together from every
//   midpoint, it, e^t and std::exp all round to the same float.
// - A relative 2^-40 is at most 2^13 ulps, so exp_round_to_float treats an
//   approximation within kExpGuardUlps = 2^15 ulps of a midpoint as
//   undecided and asks std::exp; that happens about once in 8000 calls.
// Outside the guard the result is thus the correctly rounded float of e^t,
// which any exp with an error below about 2^14 ulps (every libm) rounds to
// as well. A test compares the two for every float t of the range.
//
// exp_approx, for a float t in [-87, 0]: t = k ln2 + r with k an integer,
// |r| <= ln2/2 + tiny; e^t = 2^k e^r. k * kLn2Hi is exact (kLn2Hi has 32
// significant bits) and so is t - k * kLn2Hi (the two are within a factor
// of 2 of each other for k != 0, and k = 0 leaves t); the correction by
// kLn2Lo and the rounding of r cost below 2^-53 relative in e^r. e^r is its
// Taylor polynomial of degree 10: the remainder is below
// e^0.35 0.35^11 / 11! < 3.5e-13 < 2^-41 relative (2^-41.6 observed over
// the range), and its evaluation adds a few 2^-53. The scaling by 2^k is
// exact: e^t stays above 2^-126, a normal double and float. Branch-free
// and inlined, so loops over it vectorize. The constants are those of the
// classical fdlibm exp: ln2 split into a 32-bit head and its tail.
// The same steps for a double t in [-708, 0] (where 2^k stays a normal
// double), within about 5e-13 relative: exp_approx is this at a float
// argument. The analytic crossing probabilities use it at double arguments.
inline double exp_approx_double(double td) {
  constexpr double kInvLn2 = 1.4426950408889634;
  constexpr double kRoundShift = 6755399441055744.0;  // 1.5 * 2^52
  constexpr double kLn2Hi = 6.93147180369123816490e-01;
  constexpr double kLn2Lo = 1.90821492927058770002e-10;
  // Adding 1.5 * 2^52 rounds t / ln2 to the nearest integer k and leaves k
  // in the low bits of the sum, in two's complement.
  const double shifted = td * kInvLn2 + kRoundShift;
  const double kd = shifted - kRoundShift;
  const double r = (td - kd * kLn2Hi) - kd * kLn2Lo;
  // Estrin's scheme: short chains of dependent operations, so that
  // successive evaluations overlap.
  const double r2 = r * r;
  const double r4 = r2 * r2;
  const double p01 = 1.0 + r;
  const double p23 = 1.0 / 2.0 + r * (1.0 / 6.0);
  const double p45 = 1.0 / 24.0 + r * (1.0 / 120.0);
  const double p67 = 1.0 / 720.0 + r * (1.0 / 5040.0);
  const double p89 = 1.0 / 40320.0 + r * (1.0 / 362880.0);
  const double p0123 = p01 + r2 * p23;
  const double p4567 = p45 + r2 * p67;
  const double p8910 = p89 + r2 * (1.0 / 3628800.0);
  const double p = p0123 + r4 * (p4567 + r4 * p8910);
  // 2^k: the biased exponent k + 1023 in the exponent field.
  const std::uint64_t k_bits = std::bit_cast<std::uint64_t>(shifted);
  return p * std::bit_cast<double>((k_bits + 1023) << 52);
}

inline double exp_approx(float t) { return exp_approx_double(t); }

// The float of exp_approx(t), or of std::exp when the approximation lies
// within kExpGuardUlps = 2^15 units of its last place of a float midpoint,
// where its rounding is undecided (see above). approx must be exp_approx(t)
// with t in (-87, -0.9189385].
inline float exp_round_to_float(double approx, float t) {
  constexpr std::uint32_t kExpGuardUlps = std::uint32_t{1} << 15;
  // The 29 bits of a double's significand below float precision (all in the
  // low word); a float midpoint has exactly the top one of them set.
  constexpr std::uint32_t kBelowFloat = (std::uint32_t{1} << 29) - 1;
  constexpr std::uint32_t kMidpoint = std::uint32_t{1} << 28;
  const std::uint32_t low =
      static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(approx)) & kBelowFloat;
  if (low - (kMidpoint - kExpGuardUlps) < 2 * kExpGuardUlps) {
    return static_cast<float>(std::exp(double{t}));
  }
  return static_cast<float>(approx);
}

// static_cast<float>(std::exp(double{t})) for every float t in
// (-87, -0.9189385]; other t are outside the contract. One call alone is
// slower than std::exp (the polynomial is a long chain of dependent
// operations); the gain is in loops over exp_approx that vectorize, such as
// the boundary recursion's sums. This composition is what those loops
// compute, and what the exhaustive test checks.
inline float exp_to_float(float t) { return exp_round_to_float(exp_approx(t), t); }

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
