#pragma once

#include <vector>

namespace gsd {

// Group-sequential crossing probabilities of a score process W_1, ..., W_K
// with independent normal increments, E[W_k] = mean(k), Var W_k =
// variance(k) increasing, stopped at the first look whose W_k leaves the
// continuation interval (lower(k), upper(k)) (lower = -infinity: no lower
// stop).
//
// The numerical integration of Jennison & Turnbull (Group Sequential
// Methods with Applications to Clinical Trials, 2000, ch. 19, sec. 19.2):
// the density of W_k on the continuation region, killed at the earlier
// looks, is carried on a grid of 6r - 1 points around mean(k) in units of
// sd(k) = sqrt(variance(k)),
//   x_i = -3 - 4 ln(r / i)          i = 1 .. r - 1
//   x_i = -3 + 3 (i - r) / (2 r)    i = r .. 5r
//   x_i =  3 + 4 ln(r / (6r - i))   i = 5r + 1 .. 6r - 1,
// trimmed to the continuation interval with its ends added, with the
// midpoints of neighbours for Simpson's rule; J&T recommend r = 16 for an
// accuracy of about 1e-6. The recursion
//   g_k(w) = int g_{k-1}(v) phi((w - v - dmean) / dsd) / dsd dv
// and the exit probabilities, int g_{k-1}(v) Phi-bar((upper - v - dmean) /
// dsd) dv, are Simpson sums over the grid of look k - 1. The increment's sd
// must be resolved by that grid: r grows where the next increment is small
// against sd(k - 1) (up to kMaxGridR).
struct ScoreGrid {
  static constexpr int kGridR = 16;
  static constexpr int kMaxGridR = 400;
  std::vector<double> point;           // W values, increasing
  std::vector<double> weighted_density;  // Simpson weight times g_k
  double mean = 0.0;
  double variance = 0.0;
};

// Before the first look: W_0 = 0 with certainty.
ScoreGrid start_score_grid();

// P(the process reached the next look and W >= bound there), the next look
// having E[W] = mean and Var W = variance (> the grid's variance).
double exit_above(const ScoreGrid& grid, double mean, double variance, double bound);
// P(reached and W <= bound).
double exit_below(const ScoreGrid& grid, double mean, double variance, double bound);
// The derivative of exit_above with respect to bound (<= 0).
double exit_above_slope(const ScoreGrid& grid, double mean, double variance, double bound);

// Moves the grid to the next look, killing the paths outside (lower,
// upper). `next_variance` is the variance of the look after that (0 when
// none or unknown), to size the grid for the increment it will carry.
void advance_score_grid(ScoreGrid& grid, double mean, double variance, double lower, double upper,
                        double next_variance);

// The probabilities of stopping with W_k >= upper(k) (upper_exit) and W_k <=
// lower(k) (lower_exit) at each look k = 1..K (arrays from 1).
// Precondition: variance strictly increasing, variance(1) > 0.
void crossing_probabilities(int K, const double* mean, const double* variance,
                            const double* lower, const double* upper, double* upper_exit,
                            double* lower_exit);

}  // namespace gsd
