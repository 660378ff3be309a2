#pragma once

#include "design/design.h"

namespace gsd {

// Midpoint-rule step of the null-variance integral, in time units.
inline constexpr float kIntegrationStep = 0.01f;

// Integral over [a, b] of at_risk_weight(s, rho, tau) * min(A, t - s) ds
// for look time t and accrual period A, by the midpoint rule with step h =
// kIntegrationStep: whole steps while their right end u <= b, then one
// remainder step [u, b] at its midpoint (a segment shorter than h is all
// remainder). u and the midpoint s advance by repeated single-precision
// addition of h, the running sum is rounded to float after every addition,
// so results are reproducible to the bit.
//
// In single precision u + h == u once u reaches 262144, and the steps stop
// advancing; the integral is then not computed and the result is NaN.
float null_variance_segment(const Design& design, float a, float b, float t, float A,
                            float rho, float tau);

// Null variance (expected information) of the weighted log-rank sum U at
// the look times t(1..K), into V(1..K) (both indexed from 1):
//   V(l) = lambda / 2 * sum over baseline segments m of
//          f_m * null_variance_segment(x(m-1), min(x(m), t(l)), t(l), ...),
// with f_m = (S(m-1) - S(m)) / (x(m) - x(m-1)) the event density of the
// baseline taken as constant on the segment. The integral ends at the
// curve's last point x(M) even when t(l) lies beyond it (the weight
// min(A, t - s) still grows with t there). With rho = tau = 0 and no
// censoring V(l) is a quarter of the expected number of events by t(l).
//
// Returns false, with V only partly filled, when a look needs steps at
// times of 262144 or more, where the step no longer advances in single
// precision; true otherwise. Precondition: x(0) < x(1) < ... < x(M).
bool null_variance(const Design& design, float lambda, float A, float rho, float tau,
                   int K, const float* t, float* V);

}  // namespace gsd
