#pragma once

#include <bit>
#include <cstdint>

namespace gsd {

// e^t for a double t in [-708, 0], within about 5e-13 relative: t = k ln2
// + r with |r| <= ln2/2, e^t = 2^k e^r, e^r by its Taylor polynomial of
// degree 10 (remainder below 0.35^11 e^0.35 / 11! < 3.5e-13), ln2 split into
// a 32-bit head and its tail as in the classical fdlibm exp. Branch-free
// and inlined, so the grid sums of the crossing probabilities, which
// spend nearly all their time on the normal kernel, vectorize; their
// accuracy targets (1e-8 and coarser) are far above its error.
inline double kernel_exp(double t) {
  constexpr double kInvLn2 = 1.4426950408889634;
  constexpr double kRoundShift = 6755399441055744.0;  // 1.5 * 2^52
  constexpr double kLn2Hi = 6.93147180369123816490e-01;
  constexpr double kLn2Lo = 1.90821492927058770002e-10;
  // Adding 1.5 * 2^52 rounds t / ln2 to the nearest integer k and leaves k
  // in the low bits of the sum, in two's complement.
  const double shifted = t * kInvLn2 + kRoundShift;
  const double kd = shifted - kRoundShift;
  const double r = (t - kd * kLn2Hi) - kd * kLn2Lo;
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
  const std::uint64_t k_bits = std::bit_cast<std::uint64_t>(shifted);
  return p * std::bit_cast<double>((k_bits + 1023) << 52);
}

}  // namespace gsd
