#include "sim/calibration.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "bounds/last_look_boundary.h"
#include "bounds/normal.h"
#include "design/method.h"
#include "design/run_errors.h"
#include "model/generate_trial.h"
#include "stats/null_variance.h"

namespace gsd {

namespace {

// Past this b the Haybittle-type search has no hope: interim bounds beyond
// the range where the normal density is representable change nothing, so a
// recursion that still fails would fail for every larger b.
constexpr float kLargestUsefulB = 15.0f;

// The b search of method 3 has passed kLargestUsefulB: names the cause,
// which lies in the null information (a reachable alpha was checked before
// the search): the last look must add enough of it.
[[noreturn]] void fail_haybittle_search(const Design& d, const float* V) {
  const int K = d.look_count;
  char cause[320];
  if (K >= 2 && !(V[K] > V[K - 1])) {
    std::snprintf(cause, sizeof cause,
                  "the null information does not grow between the last two looks (%g at "
                  "look %d and %g at look %d; looks after the last point of the baseline "
                  "curve plus the accrual period add none)",
                  static_cast<double>(V[K - 1]), K - 1, static_cast<double>(V[K]), K);
  } else if (!(V[K] > 0.0f)) {
    std::snprintf(cause, sizeof cause, "the null information at the last look is %g",
                  static_cast<double>(V[K]));
  } else {
    std::snprintf(cause, sizeof cause,
                  "the null information grows too little from look %d to the last look "
                  "(%g to %g)",
                  K - 1, static_cast<double>(V[K > 1 ? K - 1 : 1]), static_cast<double>(V[K]));
  }
  throw RunError(std::string("no Haybittle-type constant b up to 15 gives a final critical "
                             "value below 5.0: ") + cause);
}

// The error left for the last look under method 3, alpha/3 (per tail when
// two-sided), must lie above the tail beyond 5.0, the largest critical value
// the recursion computes. Below it no b can help: in single precision the
// recursion's target rounds to 0.5 and it returns a critical value that
// spends far more than alpha, so the design is stopped instead.
void check_haybittle_alpha(const Design& d) {
  const int K = d.look_count;
  const double per_tail = static_cast<double>(d.cum_alpha[K]) / (d.sides == 2 ? 2.0 : 1.0);
  const double least = normal_tail(kNoBoundary, true);
  if (per_tail < least) {
    char message[320];
    std::snprintf(message, sizeof message,
                  "the type-I error left for the last look, alpha/3 = %g%s, needs a critical "
                  "value beyond %.1f (where the normal tail is %.3g), the largest the "
                  "boundary recursion computes; no Haybittle-type constant b can reach it",
                  static_cast<double>(d.cum_alpha[K]), d.sides == 2 ? " over two tails" : "",
                  static_cast<double>(kNoBoundary), least);
    throw RunError(message);
  }
}

// Method 3: raises b until the recursion finds a final critical value below
// 5.0 with every interim bound at b; returns that value, counting the
// raises in `raises`.
float search_haybittle_b(Design& d, const float* V, int& raises) {
  const int K = d.look_count;
  d.cum_alpha[K] = d.alpha / 3.0f;
  check_haybittle_alpha(d);
  float c[kLookCapacity + 1];
  for (;;) {
    for (int i = 1; i <= K; ++i) c[i] = d.b;
    int boundary_failed = 0;
    last_look_boundary(K, V, d.cum_alpha, d.sides, boundary_failed, c);
    if (boundary_failed != 1) break;
    if (d.b > kLargestUsefulB) fail_haybittle_search(d, V);
    ++raises;
    d.b = d.b + 0.1f;
  }
  return c[K];
}

// Method 2 with use function 4: raises b until Siegmund's approximation of
// the error spent up to the largest planned information ratio is at most
// alpha. The density vanishes beyond about 13.1, so the loop always ends.
int check_siegmund_b(Design& d, const InformationScale& scale) {
  double largest = 0.0;
  for (int j = 1; j <= d.stat_count; ++j) {
    const double log_ratio = std::log(static_cast<double>(scale.v_last[j]) / scale.v0[j]);
    if (log_ratio > largest) largest = log_ratio;
  }
  const float L = static_cast<float>(largest);
  int raises = 0;
  for (;;) {
    const double phi = normal_density(d.b);
    const double spent = phi * (d.b - 1.0 / d.b) * L + 4.0 * phi / d.b;
    if (!(static_cast<float>(spent) > d.alpha)) return raises;
    ++raises;
    d.b = d.b + 0.1f;
  }
}

}  // namespace

float run_time_estimate(const Design& d, int subject_count) {
  const double work = static_cast<double>(subject_count) * d.sim_count;
  const double K = d.look_count;
  switch (method_of(d)) {
    case Method::kHaybittle:
      return static_cast<float>(work * (1.0 + 0.2 * std::log(K)) / 1600000.0);
    case Method::kUseFunction: return static_cast<float>(work * K / 1600000.0);
    case Method::kErrorSplit: return static_cast<float>(work * (K + 1.0) / 3200000.0);
    case Method::kGivenBounds:
    default: return static_cast<float>(work * (1.0 + 0.2 * std::log(K)) / 3200000.0);
  }
}

void calibrate(Design& d, Calibration& calibration, BoundaryTables& tables) {
  const int K = d.look_count;
  calibration.subject_count = subject_count(d);

  for (int j = 1; j <= d.stat_count; ++j) {
    calibration.stopped_at = j;
    float* V = calibration.null_variance[j];
    if (!null_variance(d, d.accrual_rate, d.accrual_period, d.rho[j], d.tau[j], K, d.look_times,
                       V)) {
      throw RunError(
          "the null variance cannot be integrated: with a step of 0.01 the integration no "
          "longer advances in single precision at times this large; use a smaller time unit "
          "for the look times and curves");
    }
    if (has_method(d, Method::kHaybittle)) {
      calibration.haybittle_c = search_haybittle_b(d, V, calibration.b_raises[j]);
      calibration.haybittle_b[j] = d.b;
      calibration.haybittle_c_of[j] = calibration.haybittle_c;
    }
    calibration.scale.v0[j] = V[1] / 2.0f;
    calibration.scale.v_last[j] = V[K];
  }
  calibration.stopped_at = 0;

  // Every code from 4 on selects the Siegmund use function, so every one
  // gets its b check (not only code 4).
  if (uses_siegmund_check(d)) {
    calibration.siegmund_raises = check_siegmund_b(d, calibration.scale);
  }

  if (has_method(d, Method::kGivenBounds)) {
    for (int j = 1; j <= d.stat_count; ++j) {
      for (int i = 1; i <= K; ++i) tables.bound[j][i] = d.given_bounds[i];
    }
  }
}

}  // namespace gsd
