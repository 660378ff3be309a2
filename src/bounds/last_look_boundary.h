#pragma once

namespace gsd {

// The largest critical value the recursion computes, the upper end of its
// march: the value of a look without a boundary, and of a failed recursion.
inline constexpr float kNoBoundary = 5.0f;

// The critical value of look k from the critical values of looks 1..k-1 and
// the cumulative type-I error to be spent by the end of look k.
//
// Inputs: k, 1..kLookCapacity (15); t(1..k), information (or time) of each
// look, of which only the ratios to t(k) matter (t(k) <= 1e-4 means equally
// spaced looks); cum_alpha(0..k), of which only entry k is read; sides, 1 for
// one-sided, any other value two-sided; c(1..k-1), the earlier critical values
// on the Z scale.
// Output: c(k), written in every case; boundary_failed, cleared on entry and
// set to 1 only when no value up to 5.0 meets the target.
//
// c(k) solves P(|Z_i| < c(i) for every integrated look i < k, 0 < Z_k < c(k))
// = 0.5 - cum_alpha(k) (one-sided) or 0.5 (1 - cum_alpha(k)) (two-sided)
// under the null. One-sided tests thus keep the symmetric continuation
// intervals of the earlier looks.
//
// Edges: k = 1, or no earlier look with an information fraction of at least
// 1e-8, gives the closed form quantile(1 - cum_alpha(k) / sides), 5.0 when
// the quantile faults (the flag stays 0). Intermediate looks whose fraction
// rises by less than 1e-5 over the last integrated one are skipped. A last
// look without a positive increment of information fraction, or a target not
// reached below 5.0, gives c(k) = 5.0 with boundary_failed = 1. k outside
// 1..15 sets boundary_failed = 1 and writes nothing.
//
// Fixed storage only; safe inside the simulation loop.
void last_look_boundary(int k, const float* t, const float* cum_alpha, int sides,
                        int& boundary_failed, float* c);

// The same recursion with every density through normal_density (std::exp);
// last_look_boundary gives the same bits. Kept as the reference of tests and
// benchmarks.
void last_look_boundary_literal(int k, const float* t, const float* cum_alpha, int sides,
                                int& boundary_failed, float* c);

}  // namespace gsd
