#include "stats/weighted_logrank.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "design/capacities.h"

namespace gsd {

namespace {

// The powers of one base that the statistics of a call need, each distinct
// exponent once. Slot 0 holds x^0 = 1 and slot 1 holds x^1 = x; the other
// slots are filled per event.
struct PowerSet {
  int count = 2;
  double exponent[4 * kStatCapacity + 2] = {0.0, 1.0};
  double value[4 * kStatCapacity + 2] = {1.0, 0.0};

  int slot_of(double y) {
    for (int i = 0; i < count; ++i) {
      if (exponent[i] == y) return i;
    }
    exponent[count] = y;
    return count++;
  }

  // x^2 is x * x whenever that product is exact: pow's error is below one
  // unit in the last place, so for an exactly representable result it
  // returns that result. The product is exact when x has at most 26
  // significant bits (the low 27 of its 52 stored bits are zero): a single-
  // precision S always, 1 - S whenever S >= 0.25. Otherwise pow decides.
  void evaluate(double x) {
    value[1] = x;
    const bool short_significand =
        (std::bit_cast<std::uint64_t>(x) & ((std::uint64_t{1} << 27) - 1)) == 0;
    for (int i = 2; i < count; ++i) {
      value[i] = exponent[i] == 2.0 && short_significand ? x * x : std::pow(x, exponent[i]);
    }
  }
};

// One body for both: kLiteral evaluates every power with its own call as
// the formula reads; otherwise each distinct power of an event is taken
// once for all statistics (PowerSet). The sums see the same double values
// either way, so the results are the same bits.
template <bool kLiteral>
int logrank_sums(const LookData& data, int q, const float* rho, const float* tau, float* Z,
                 float* V) {
  const int m = data.m;
  const float* group = data.group;
  const int* event = data.event;

  // Slots of S^rho, (1-S)^tau, S^(2 rho) and (1-S)^(2 tau) per statistic.
  PowerSet of_s;
  PowerSet of_r;
  int s1[kStatCapacity + 1];
  int r1[kStatCapacity + 1];
  int s2[kStatCapacity + 1];
  int r2[kStatCapacity + 1];
  float U[kStatCapacity + 1];
  for (int k = 1; k <= q; ++k) {
    U[k] = 0.0f;
    V[k] = 0.0f;
    if constexpr (!kLiteral) {
      s1[k] = of_s.slot_of(rho[k]);
      r1[k] = of_r.slot_of(tau[k]);
      s2[k] = of_s.slot_of(2.0 * rho[k]);
      r2[k] = of_r.slot_of(2.0 * tau[k]);
    }
  }

  float n_at_risk = static_cast<float>(m);
  float y1 = 0.0f;
  for (int i = 1; i <= m; ++i) y1 = y1 + group[i];
  float S = 1.0f;
  int d = 0;

  for (int i = 1; i <= m; ++i) {
    if (event[i] == 1) {
      const double n = n_at_risk;
      S = static_cast<float>(S * n / (n + 1.0));
      ++d;
      const float e = static_cast<float>(group[i] - y1 / n);
      const float v = static_cast<float>((n - y1) * y1 / n / n);
      const double s = S;
      const double r = 1.0 - s;
      if constexpr (!kLiteral) {
        of_s.evaluate(s);
        of_r.evaluate(r);
      }
      for (int k = 1; k <= q; ++k) {
        double w;   // S^rho (1-S)^tau
        double w2;  // S^(2 rho) (1-S)^(2 tau)
        if constexpr (kLiteral) {
          w = weight_power(s, rho[k]) * weight_power(r, tau[k]);
          w2 = weight_power(s, 2.0 * rho[k]) * weight_power(r, 2.0 * tau[k]);
        } else {
          w = of_s.value[s1[k]] * of_r.value[r1[k]];
          w2 = of_s.value[s2[k]] * of_r.value[r2[k]];
        }
        U[k] = static_cast<float>(U[k] + w * e);
        V[k] = static_cast<float>(V[k] + w2 * v);
      }
    }
    n_at_risk = n_at_risk - 1.0f;
    y1 = y1 - group[i];
  }

  for (int k = 1; k <= q; ++k) {
    if (d > 0) {
      Z[k] = static_cast<float>(-static_cast<double>(U[k]) / std::sqrt(static_cast<double>(V[k])));
    } else {
      Z[k] = 0.0f;
      V[k] = 0.0f;
    }
  }
  return d;
}

}  // namespace

int weighted_logrank(const LookData& data, int q, const float* rho, const float* tau, float* Z,
                     float* V) {
  return logrank_sums<false>(data, q, rho, tau, Z, V);
}

int weighted_logrank_literal(const LookData& data, int q, const float* rho, const float* tau,
                             float* Z, float* V) {
  return logrank_sums<true>(data, q, rho, tau, Z, V);
}

}  // namespace gsd
