#pragma once

#include <cmath>

#include "stats/look_data.h"

namespace gsd {

// x^y with x^0 = 1 (0^0 included), the powers of the statistics' weights.
// pow returns exactly 1 and x for the exponents 0 and 1, so skipping it
// there changes no bit and saves most of the calls for the usual statistics.
inline double weight_power(double x, double y) {
  if (y == 0.0) return 1.0;
  if (y == 1.0) return x;
  return std::pow(x, y);
}

// Weighted log-rank statistics of the Fleming-Harrington kind, q at once.
//
// Input: `data` sorted by sort_look_data (entries 1..m; only their order,
// group and event are read), 1 <= q <= kStatCapacity, rho(1..q) and
// tau(1..q). Output: Z(1..q), V(1..q); returns d, the number of events.
//
// Entries are processed one at a time in their sorted order, each its own
// time point: there is no tie correction, and N (at risk) and Y1 (treatment
// at risk) drop by one entry after every entry, event or not. At an event the
// pooled estimate S is updated BEFORE it is used, S = S * N / (N + 1), so
// that 0 < S < 1 and the first event's weight already reflects it. Then, for
// every statistic k, with w = S^rho(k) * (1 - S)^tau(k),
//   U(k) += w * (group - Y1 / N),   V(k) += w^2 * Y1 * (N - Y1) / N^2,
// the squared weight formed as S^(2 rho) * (1 - S)^(2 tau); x^0 = 1. S, the
// per-event terms and the running sums U, V are single precision, rounded at
// every step.
//
// Result: Z(k) = -U(k) / sqrt(V(k)), so a positive Z means fewer treatment
// events than expected (favours treatment); V(k) is the observed information.
// No events (d = 0, m = 0 included): Z = 0 and V = 0. Events but V(k) = 0
// (every event met a risk set of one group only): Z(k) is NaN, which is false
// under every comparison, so it never reaches a boundary (Z >= c or Z <= -c).
int weighted_logrank(const LookData& data, int q, const float* rho,
                     const float* tau, float* Z, float* V);

// The same results, bit for bit, evaluating every power with its own call
// as the formula reads (x^0 and x^1 excepted). weighted_logrank computes
// each distinct power of an event once for all statistics and squares of
// single-precision values by one exact multiplication; this is kept as the
// reference the tests and the benchmark compare it with.
int weighted_logrank_literal(const LookData& data, int q, const float* rho,
                             const float* tau, float* Z, float* V);

}  // namespace gsd
