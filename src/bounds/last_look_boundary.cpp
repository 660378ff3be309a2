#include "bounds/last_look_boundary.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "bounds/normal.h"
#include "design/capacities.h"

namespace gsd {
namespace {

// 24-point Gauss-Legendre rule on [-1, 1] through its 12 positive nodes, in
// ascending order, and their weights; the node -x has the weight of x.
// Abramowitz & Stegun (1964), Table 25.4.
constexpr int kNodeCount = 12;
constexpr float kNode[kNodeCount + 1] = {
    0.0f,
    0.0640568928626056f, 0.1911188674736163f, 0.3150426796961634f,
    0.4337935076260451f, 0.5454214713888396f, 0.6480936519369755f,
    0.7401241915785544f, 0.8200019859739029f, 0.8864155270044011f,
    0.9382745520027328f, 0.9747285559713095f, 0.9951872199970213f};
constexpr float kWeight[kNodeCount + 1] = {
    0.0f,
    0.1279381953467522f, 0.1258374563468284f, 0.1216704729278033f,
    0.1155056680537256f, 0.1074442701159656f, 0.0976186521041139f,
    0.0861901615319532f, 0.0733464814110803f, 0.0592985849154367f,
    0.0442774388174197f, 0.0285313886289338f, 0.0123412297999873f};

constexpr float kLeastLastInformation = 1e-4f;  // below: equally spaced looks
constexpr float kLeastFirstFraction = 1e-8f;    // a first look below carries nothing
constexpr float kLeastIncrement = 1e-5f;        // a smaller rise skips the look
constexpr float kMarchStep = 0.005f;
constexpr float kHalfMarchStep = 0.0025f;

// The closed form of a test with no integrated earlier look.
float single_look_boundary(float cum_alpha, int sides) {
  int fault = 0;
  const float x = normal_quantile(static_cast<float>(1.0 - double{cum_alpha} / sides), fault);
  return fault == 1 ? kNoBoundary : x;
}

// The sub-density g, held at the points +-B x_l, carried forward over an
// increment of standard deviation s: what does not depend on the point y is
// computed once per table (the same products, so the same bits).
struct Carrier {
  double bx[kNodeCount + 1];      // B x_l
  double weight[kNodeCount + 1];  // w_l G(l)
  double s;
  double scale;  // B / s
};

Carrier make_carrier(const float* g, float b_prev, float s) {
  Carrier carrier;
  for (int l = 1; l <= kNodeCount; ++l) {
    carrier.bx[l] = double{b_prev} * kNode[l];
    carrier.weight[l] = double{kWeight[l]} * g[l];
  }
  carrier.s = s;
  carrier.scale = double{b_prev} / s;
  return carrier;
}

// With gcc on x86-64 the carried sum is compiled twice, for the baseline
// instruction set and for AVX2, and the loader picks the one the processor
// supports. AVX2 only widens the vectors of its first loop: each lane does
// the same IEEE double operations (the target adds no fused multiply-add, and
// contraction is off), so both versions give the same bits. AVX2 makes the
// recursion about half again as fast.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define GSDSIM_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define GSDSIM_WIDE_VECTORS
#endif

// max(t, -87) for a density exponent t (negative or NaN), so that
// exp_approx(t) stays in its range. Compared as bit patterns, in which
// negative floats grow with their magnitude: a floating-point comparison
// here could raise the invalid flag on a NaN, so the compiler would keep it
// as a branch and not vectorize the loop around it.
float clamped_exponent(float t) {
  constexpr std::uint32_t kLeast = std::bit_cast<std::uint32_t>(kLeastDensityExponent);
  return std::bit_cast<float>(std::min(std::bit_cast<std::uint32_t>(t), kLeast));
}

// Sum over the nodes l of w_l G(l) [phi((B x_l - y)/s) + phi((-B x_l - y)/s)]:
// the carried sub-density at the point y, without the factor B/s. Summed in
// single precision in node order.
//
// The 24 densities are normal_density's, evaluated in two passes: first every
// exponent and its exp_approx, a loop without branches that the compiler
// vectorizes; then, in node order, the rounding of each to float (with
// std::exp for the rare undecided one) and the running sum. An exponent at
// or below the cut-off gives density 0; it is clamped for exp_approx, whose
// value is then unused (a NaN exponent, from a NaN argument, gives 0 as well).
// With kLiteral, the plain loop over normal_density (std::exp): the
// reference the fast path reproduces bit for bit.
template <bool kLiteral>
GSDSIM_WIDE_VECTORS float carried_sum(const Carrier& carrier, double y) {
  if constexpr (kLiteral) {
    float sum = 0.0f;
    for (int l = 1; l <= kNodeCount; ++l) {
      const double bx = carrier.bx[l];
      const float above = normal_density(static_cast<float>((bx - y) / carrier.s));
      const float below = normal_density(static_cast<float>((-bx - y) / carrier.s));
      sum = static_cast<float>(sum + carrier.weight[l] * (double{above} + below));
    }
    return sum;
  }
  float t_above[kNodeCount + 1];
  float t_below[kNodeCount + 1];
  double e_above[kNodeCount + 1];
  double e_below[kNodeCount + 1];
  for (int l = 1; l <= kNodeCount; ++l) {
    const double bx = carrier.bx[l];
    t_above[l] = normal_density_exponent(static_cast<float>((bx - y) / carrier.s));
    t_below[l] = normal_density_exponent(static_cast<float>((-bx - y) / carrier.s));
    e_above[l] = exp_approx(clamped_exponent(t_above[l]));
    e_below[l] = exp_approx(clamped_exponent(t_below[l]));
  }
  float sum = 0.0f;
  for (int l = 1; l <= kNodeCount; ++l) {
    const float above = t_above[l] > kLeastDensityExponent
                            ? exp_round_to_float(e_above[l], t_above[l])
                            : 0.0f;
    const float below = t_below[l] > kLeastDensityExponent
                            ? exp_round_to_float(e_below[l], t_below[l])
                            : 0.0f;
    sum = static_cast<float>(sum + carrier.weight[l] * (double{above} + below));
  }
  return sum;
}

// The sub-density of Z at the last look (fraction 1) at the point y.
template <bool kLiteral>
float last_look_density(const Carrier& carrier, float y) {
  return static_cast<float>(carrier.scale * carried_sum<kLiteral>(carrier, y));
}

template <bool kLiteral>
void recursion(int k, const float* t, const float* cum_alpha, int sides, int& boundary_failed,
               float* c) {
  boundary_failed = 0;
  if (k < 1 || k > kLookCapacity) {
    boundary_failed = 1;
    return;
  }
  if (k == 1) {
    c[1] = single_look_boundary(cum_alpha[1], sides);
    return;
  }

  const float target = sides == 1 ? static_cast<float>(0.5 - cum_alpha[k])
                                  : static_cast<float>(0.5 * (1.0 - cum_alpha[k]));

  float u[kLookCapacity + 1];
  for (int i = 1; i <= k; ++i) {
    u[i] = t[k] > kLeastLastInformation ? t[i] / t[k]
                                        : static_cast<float>(static_cast<double>(i) / k);
  }

  int first = 1;
  while (first < k && !(u[first] >= kLeastFirstFraction)) ++first;
  if (first == k) {
    c[k] = single_look_boundary(cum_alpha[k], sides);
    return;
  }

  // Density tables at the last integrated look, swapped by index.
  float table[2][kNodeCount + 1];
  int current = 0;
  float b_prev = static_cast<float>(std::sqrt(double{u[first]}) * c[first]);
  float u_prev = u[first];
  for (int m = 1; m <= kNodeCount; ++m) {
    const float x = static_cast<float>(double{c[first]} * kNode[m]);
    const float phi = normal_density(x);
    table[current][m] = static_cast<float>(phi / std::sqrt(double{u[first]}));
  }

  for (int i = first + 1; i < k; ++i) {
    const float d = static_cast<float>(double{u[i]} - u_prev);
    if (d < kLeastIncrement) continue;  // also a fall in information
    const float s = static_cast<float>(std::sqrt(double{d}));
    const float b_i = static_cast<float>(std::sqrt(double{u[i]}) * c[i]);
    const Carrier carrier = make_carrier(table[current], b_prev, s);
    float* next = table[1 - current];
    for (int m = 1; m <= kNodeCount; ++m) {
      const double y = double{b_i} * kNode[m];
      next[m] = static_cast<float>(double{carried_sum<kLiteral>(carrier, y)} * b_prev / s);
    }
    current = 1 - current;
    b_prev = b_i;
    u_prev = u[i];
  }

  const float d = static_cast<float>(1.0 - u_prev);
  if (!(d > 0.0f)) {  // no increment left for the last look: f is undefined
    boundary_failed = 1;
    c[k] = kNoBoundary;
    return;
  }
  const float s = static_cast<float>(std::sqrt(double{d}));
  const Carrier carrier = make_carrier(table[current], b_prev, s);

  // Forward trapezoid march of the mass over (0, y] until it passes the target.
  float f0 = last_look_density<kLiteral>(carrier, 0.0f);
  float f1 = 0.0f;
  float y = kMarchStep;
  float mass = 0.0f;
  for (;;) {
    f1 = last_look_density<kLiteral>(carrier, y);
    mass = static_cast<float>(mass + (double{f0} + f1) * kHalfMarchStep);
    if (mass > target) break;
    // Accumulated in single precision: 999 panels, the last ending near
    // 4.99507; the next end, near 5.00007, is beyond the limit.
    y = static_cast<float>(y + kMarchStep);
    if (y > kNoBoundary) {
      boundary_failed = 1;
      c[k] = kNoBoundary;
      return;
    }
    f0 = f1;
  }

  // One refinement inside the last panel: interpolate the mass linearly for a
  // point, then close the trapezoid from the panel's start with its density.
  const float y_lo = static_cast<float>(double{y} - kMarchStep);
  const float mass_lo = static_cast<float>(mass - (double{f0} + f1) * kHalfMarchStep);
  const float y_i = static_cast<float>(
      y_lo + (double{target} - mass_lo) * kMarchStep / (double{mass} - mass_lo));
  const float f_i = last_look_density<kLiteral>(carrier, y_i);
  c[k] = static_cast<float>(y_lo + 2.0 * (double{target} - mass_lo) / (double{f0} + f_i));
}

}  // namespace

void last_look_boundary(int k, const float* t, const float* cum_alpha, int sides,
                        int& boundary_failed, float* c) {
  recursion<false>(k, t, cum_alpha, sides, boundary_failed, c);
}

void last_look_boundary_literal(int k, const float* t, const float* cum_alpha, int sides,
                                int& boundary_failed, float* c) {
  recursion<true>(k, t, cum_alpha, sides, boundary_failed, c);
}

}  // namespace gsd
