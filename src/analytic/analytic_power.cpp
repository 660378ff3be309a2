#include "analytic/analytic_power.h"

#include <cmath>
#include <cstdio>

#include "analytic/crossing_probabilities.h"
#include "model/expected_counts.h"
#include "analytic/expected_information_boundaries.h"
#include "model/trial_model.h"
#include "analytic/weighted_logrank_moments.h"

namespace gsd {
namespace {

// Relative growth of the expected information below which a look adds
// nothing: the engine's recursion skips looks rising by less.
constexpr double kLeastRelativeRise = 1e-5;

std::string information_message(const AnalyticPower& a, int j, int k, double before,
                                 double after) {
  char text[512];
  if (k == 1) {
    std::snprintf(text, sizeof text,
                  "the analytic power cannot be computed: the expected information of "
                  "statistic %d (rho = %g, tau = %g) at look 1 (time %g) is %g; no events are "
                  "expected by then, or the weight vanishes where they occur",
                  j, a.stat[j].rho, a.stat[j].tau, a.look_times[1], after);
  } else {
    std::snprintf(text, sizeof text,
                  "the analytic power cannot be computed: the expected information of "
                  "statistic %d (rho = %g, tau = %g) does not grow between look %d (time %g, "
                  "information %.9g) and look %d (time %g, information %.9g); the two looks' "
                  "statistics would be the same (flat survival curves, or looks after every "
                  "subject's follow-up has ended, add no events)",
                  j, a.stat[j].rho, a.stat[j].tau, k - 1, a.look_times[k - 1], before, k,
                  a.look_times[k], after);
  }
  return text;
}

// Crossing probabilities of Z_k = W_k / sqrt(info_k) at the critical values
// c (and -c when two-sided).
void crossing(int sides, int K, const double* mean, const double* variance, const double* info,
              const double* c, double* upper_exit, double* lower_exit) {
  double lower[kLookCapacity + 1];
  double upper[kLookCapacity + 1];
  for (int k = 1; k <= K; ++k) {
    const double root = std::sqrt(info[k]);
    upper[k] = c[k] * root;
    lower[k] = sides == 2 ? -c[k] * root : -HUGE_VAL;
  }
  crossing_probabilities(K, mean, variance, lower, upper, upper_exit, lower_exit);
}

}  // namespace

AnalyticPower analytic_power(const Design& design, const InformationScale& scale) {
  AnalyticPower a;
  const int K = design.look_count;
  const int L = design.stat_count;
  a.look_count = K;
  a.stat_count = L;
  a.sides = design.sides;
  const TrialModel model = make_trial_model(design);
  a.subjects[0] = model.subjects[0];
  a.subjects[1] = model.subjects[1];
  if (!(model.subjects[0] + model.subjects[1] > 0.0)) {
    a.error = "the analytic power cannot be computed: the design has no subjects (accrual rate "
              "times accrual period is below 1)";
    return a;
  }
  double rho[kStatCapacity + 1];
  double tau[kStatCapacity + 1];
  for (int j = 1; j <= L; ++j) {
    rho[j] = design.rho[j];
    tau[j] = design.tau[j];
    a.stat[j].rho = rho[j];
    a.stat[j].tau = tau[j];
  }
  for (int k = 1; k <= K; ++k) {
    a.look_times[k] = design.look_times[k];
    const ExpectedCounts counts = expected_counts(model, a.look_times[k]);
    a.subjects_entered[k] = counts.subjects[0] + counts.subjects[1];
    a.expected_events[0][k] = counts.events[0];
    a.expected_events[1][k] = counts.events[1];
    a.total_events[k] = counts.events[0] + counts.events[1];
  }
  const WeightedLogrankMoments moments =
      weighted_logrank_moments(model, K, a.look_times, L, rho, tau);

  for (int j = 1; j <= L; ++j) {
    AnalyticStatistic& s = a.stat[j];
    const double* info = moments.information[j];
    const double* var = moments.score_variance[j];
    for (int k = 1; k <= K; ++k) {
      const double before = k > 1 ? info[k - 1] : 0.0;
      const double var_before = k > 1 ? var[k - 1] : 0.0;
      if (!(info[k] > before * (1.0 + kLeastRelativeRise)) || !(info[k] > 0.0) ||
          !(var[k] > var_before * (1.0 + kLeastRelativeRise))) {
        a.error = information_message(a, j, k, before, info[k]);
        return a;
      }
      s.information[k] = info[k];
      s.drift[k] = moments.drift[j][k];
      s.z_sd[k] = std::sqrt(var[k] / info[k]);
    }
    expected_information_boundaries(design, scale, j, s.information, s.bound);
    expected_information_boundaries(design, scale, j, s.information, s.engine_bound,
                                    BoundaryRecursion::kEngine);
    crossing(design.sides, K, moments.score_mean[j], var, info, s.bound, s.reject_upper,
             s.reject_lower);
    double engine_upper[kLookCapacity + 1];
    double engine_lower[kLookCapacity + 1];
    crossing(design.sides, K, moments.score_mean[j], var, info, s.engine_bound, engine_upper,
             engine_lower);
    for (int k = 1; k <= K; ++k) s.engine_power += engine_upper[k] + engine_lower[k];
    double cumulative = 0.0;
    double stopping = 0.0;
    for (int k = 1; k <= K; ++k) {
      s.reject[k] = s.reject_upper[k] + s.reject_lower[k];
      cumulative += s.reject[k];
      s.cumulative[k] = cumulative;
      if (k < K) stopping += s.reject[k] * a.look_times[k];
    }
    const double before_last = K > 1 ? s.cumulative[K - 1] : 0.0;
    s.power = cumulative;
    s.expected_stopping_time = stopping + (1.0 - before_last) * a.look_times[K];
  }
  a.ok = true;
  return a;
}

}  // namespace gsd
