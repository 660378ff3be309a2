#include "analytic/expected_information_boundaries.h"

#include <algorithm>
#include <cmath>

#include "analytic/crossing_probabilities.h"
#include "analytic/spent_error.h"
#include "bounds/last_look_boundary.h"
#include "design/method.h"

namespace gsd {
namespace {

constexpr double kLargestBound = kNoBoundary;  // the engine's largest value
constexpr double kLeastInformationRise = 0.0001;
constexpr double kNearlyFinalFraction = 0.99;
constexpr double kNothingToSpend = 1e-14;

// The null score process carried look by look, with the upper exits so far.
struct NullRecursion {
  ScoreGrid grid = start_score_grid();
  double spent_above = 0.0;
  double last_x = 0.0;
};

// The critical value at information x spending `target` above this look
// (Newton steps kept within a shrinking bracket of [0, 5]).
double solve_bound(const NullRecursion& state, double x, double target) {
  // Before any integrated look the closed form (which may exceed 5.0, as
  // the engine's does), 5.0 where the engine's quantile would fault.
  if (!(state.last_x > 0.0)) {
    return target >= 1e-20 && target < 1.0 ? normal_upper_quantile(target) : kLargestBound;
  }
  if (!(x > state.last_x)) return kLargestBound;
  // Nothing left to spend (the sums of the earlier looks carry rounding of
  // about 1e-17): no critical value, as when the target lies beyond 5.
  if (!(target > kNothingToSpend)) return kLargestBound;
  const double root = std::sqrt(x);
  const auto excess = [&](double c) { return exit_above(state.grid, 0.0, x, c * root) - target; };
  double lo = 0.0;
  double hi = kLargestBound;
  if (!(excess(hi) < 0.0)) return kLargestBound;
  if (!(excess(lo) > 0.0)) return 0.0;
  double c = 2.0;
  for (int step = 0; step < 100; ++step) {
    const double f = excess(c);
    if (f > 0.0) lo = c; else hi = c;
    const double slope = exit_above_slope(state.grid, 0.0, x, c * root) * root;
    double next = slope < 0.0 ? c - f / slope : 0.5 * (lo + hi);
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    if (std::fabs(next - c) < 1e-12 || hi - lo < 1e-12) return next;
    c = next;
  }
  return c;
}

// Looks after `state` with information x and critical value c: the upper
// exit is counted, and the paths in (-c, c) carried on. A look adding no
// information leaves nothing to integrate.
void pass_look(NullRecursion& state, double x, double c, double next_x) {
  if (!(x > state.last_x)) return;
  const double root = std::sqrt(x);
  state.spent_above += exit_above(state.grid, 0.0, x, c * root);
  advance_score_grid(state.grid, 0.0, x, -c * root, c * root, next_x);
  state.last_x = x;
}

double per_tail(double cum_alpha, int sides) { return sides == 1 ? cum_alpha : cum_alpha / 2.0; }

// The engine's own recursion on the same sequence, in its single precision.
double engine_bound(int k, const double* x, const double* c, double cumulative, int sides) {
  float xf[kLookCapacity + 1];
  float cf[kLookCapacity + 1];
  float cum[kLookCapacity + 1] = {};
  for (int i = 1; i <= k; ++i) {
    xf[i] = static_cast<float>(x[i]);
    cf[i] = static_cast<float>(c[i]);
  }
  cum[k] = static_cast<float>(cumulative);
  int failed = 0;
  last_look_boundary(k, xf, cum, sides, failed, cf);
  return failed == 1 ? kLargestBound : cf[k];
}

}  // namespace

void null_boundaries(int K, const double* x, const double* cum_alpha, int sides, double* c) {
  NullRecursion state;
  for (int k = 1; k <= K; ++k) {
    c[k] = solve_bound(state, x[k], per_tail(cum_alpha[k], sides) - state.spent_above);
    pass_look(state, x[k], c[k], k < K ? x[k + 1] : 0.0);
  }
}

void expected_information_boundaries(const Design& d, const InformationScale& scale, int j,
                                     const double* X, double* c, BoundaryRecursion recursion) {
  const int K = d.look_count;
  if (has_method(d, Method::kGivenBounds)) {
    for (int k = 1; k <= K; ++k) c[k] = d.given_bounds[k];
    return;
  }
  const double v0 = scale.v0[j];
  const double v_last = scale.v_last[j];
  double info[kLookCapacity + 1];
  for (int k = 1; k <= K; ++k) info[k] = X[k];
  double x[kLookCapacity + 1] = {};
  NullRecursion state;
  for (int k = 1; k <= K; ++k) {
    // The information the recursion sees, raised to rise by 0.0001 a look.
    x[k] = k == 1 ? info[1] : std::max(info[k], x[k - 1] + kLeastInformationRise);
    const double next_x = k < K ? std::max(info[k + 1], x[k] + kLeastInformationRise) : 0.0;
    if (info[k] < v0) {
      c[k] = K > 1 && k == K ? normal_upper_quantile(d.alpha / d.sides) : kLargestBound;
      pass_look(state, x[k], c[k], next_x);
      continue;
    }
    const double u = x[k] > v_last ? 1.0 : x[k] / v_last;
    double cumulative = d.cum_alpha[k];
    switch (method_of(d)) {
      case Method::kUseFunction:
        if (k == K) {
          cumulative = d.alpha;
        } else if (u < kNearlyFinalFraction) {
          cumulative = use_function_error(d.use_function_code, d.alpha, u, x[k] / v0, d.b);
        } else {
          c[k] = kLargestBound;
          info[k] = k > 1 ? 0.5 * (info[k] + info[k - 1]) : 0.0;
          const double seen = k == 1 ? info[1] : std::max(info[k], x[k - 1] + kLeastInformationRise);
          x[k] = seen;
          pass_look(state, seen, c[k], next_x);
          continue;
        }
        break;
      case Method::kHaybittle:
        if (k < K) {
          c[k] = d.b;
          pass_look(state, x[k], c[k], next_x);
          continue;
        }
        cumulative = d.alpha;
        break;
      default:
        break;
    }
    c[k] = recursion == BoundaryRecursion::kEngine
               ? engine_bound(k, x, c, cumulative, d.sides)
               : solve_bound(state, x[k], per_tail(cumulative, d.sides) - state.spent_above);
    pass_look(state, x[k], c[k], next_x);
  }
}

}  // namespace gsd
