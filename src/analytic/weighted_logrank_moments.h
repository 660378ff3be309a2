#pragma once

#include "model/trial_model.h"
#include "design/capacities.h"

namespace gsd {

// Asymptotic moments of the weighted log-rank statistics of the engine
// (stats/weighted_logrank.h: U = sum over events of w (group - Y1 / N),
// V = sum of w^2 Y1 (N - Y1) / N^2, Z = -U / sqrt(V)) at calendar looks,
// under the design's own model (its alternative).
//
// With n subjects, shares pi_g, and per group g at s after entry the chance
// y_g(s) = S_g(s) G_g(s) of being event- and loss-free and the observed
// event sub-density e_g(s) = f_g(s) G_g(s), a subject is at risk at look t
// with chance y_g(s) P(E < t - s). The entry factor is common to both
// groups, so the pooled Kaplan-Meier estimate converges to the same
// S(s) = exp(-integral_0^s (pi_0 e_0 + pi_1 e_1) / ybar) at every look,
// ybar = pi_0 y_0 + pi_1 y_1, and so does the weight
// w(s) = S(s)^rho (1 - S(s))^tau. From the counting-process
// representation U = int w (Y0/Y dN1 - Y1/Y dN0) (Fleming & Harrington,
// Counting Processes and Survival Analysis, 1991, ch. 7: the weighted
// log-rank statistics and their asymptotic normality), with
// a(s) = P(E < t - s):
//   E[-U]  = -n int a w pi_0 pi_1 (y_0 e_1 - y_1 e_0) / ybar ds
//   E[V]   =  n int a w^2 pi_0 pi_1 y_0 y_1 (pi_0 e_0 + pi_1 e_1) / ybar^2 ds
//   Var U  =  n int a w^2 pi_0 pi_1 (pi_0 y_0^2 e_1 + pi_1 y_1^2 e_0) / ybar^2 ds,
// the last the variance of U's martingale part under the alternative (it
// equals E[V] under the null). The martingale parts at two looks t_i < t_k
// have covariance Var U(t_i): a subject's at-risk indicator at t_i is
// contained in the one at t_k and w does not depend on the look, so the
// scores have independent increments (Tsiatis, Journal of the American
// Statistical Association 77, 1982, 855-861; Jennison & Turnbull, Group
// Sequential Methods with Applications to Clinical Trials, 2000, ch. 13)
// and corr(Z_i, Z_k) = Var U(t_i) / sqrt(E[V_i] E[V_k]).
//
// drift(k) = E[-U_k] / sqrt(E[V_k]) is the mean of Z at look k; a positive
// drift favours the treatment.
struct WeightedLogrankMoments {
  int look_count = 0;
  int stat_count = 0;
  double score_mean[kStatCapacity + 1][kLookCapacity + 1] = {};      // E[-U]
  double information[kStatCapacity + 1][kLookCapacity + 1] = {};     // E[V]
  double score_variance[kStatCapacity + 1][kLookCapacity + 1] = {};  // Var U
  double drift[kStatCapacity + 1][kLookCapacity + 1] = {};           // 0 where E[V] = 0
};

// Looks t(1..K) (any order; each integrated on its own), statistics
// rho(1..L), tau(1..L).
WeightedLogrankMoments weighted_logrank_moments(const TrialModel& model, int K,
                                                const double* look_times, int L,
                                                const double* rho, const double* tau);

}  // namespace gsd
