#include "analytic/crossing_probabilities.h"

#include <algorithm>
#include <cmath>

#include "bounds/normal.h"

namespace gsd {
namespace {

constexpr double kInvRootTwoPi = 0.39894228040143267794;
constexpr double kInvRootTwo = 0.70710678118654752440;
constexpr double kKernelReach = 13.0;

double upper_tail(double x) { return 0.5 * std::erfc(x * kInvRootTwo); }

double increment_sd(const ScoreGrid& grid, double variance) {
  return std::sqrt(variance - grid.variance);
}

// The J&T pattern with parameter r, in units of sd around the mean.
void grid_pattern(int r, std::vector<double>& x) {
  x.clear();
  for (int i = 1; i <= r - 1; ++i) x.push_back(-3.0 - 4.0 * std::log(static_cast<double>(r) / i));
  for (int i = r; i <= 5 * r; ++i) x.push_back(-3.0 + 3.0 * (i - r) / (2.0 * r));
  for (int i = 5 * r + 1; i <= 6 * r - 1; ++i) {
    x.push_back(3.0 + 4.0 * std::log(static_cast<double>(r) / (6 * r - i)));
  }
}

// With gcc on x86-64 the kernel loop is compiled for the baseline
// instruction set and for AVX2, the loader choosing; each lane does the same
// IEEE double operations (no fused multiply-add: the target adds none and
// contraction is off), so both give the same bits.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define GSDSIM_KERNEL_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define GSDSIM_KERNEL_VECTORS
#endif

// term(j) = wd(j) exp(-x^2 / 2), x = (target - point(j)) / sd, j < n.
GSDSIM_KERNEL_VECTORS
void kernel_terms(std::size_t n, const double* point, const double* wd, double target,
                  double inverse_sd, double* term) {
  for (std::size_t j = 0; j < n; ++j) {
    const double x = (target - point[j]) * inverse_sd;
    term[j] = wd[j] * exp_approx_double(-0.5 * x * x);
  }
}

}  // namespace

ScoreGrid start_score_grid() {
  ScoreGrid grid;
  grid.point.push_back(0.0);
  grid.weighted_density.push_back(1.0);
  return grid;
}

double exit_above(const ScoreGrid& grid, double mean, double variance, double bound) {
  const double sd = increment_sd(grid, variance);
  const double shift = mean - grid.mean;
  double sum = 0.0;
  for (std::size_t j = 0; j < grid.point.size(); ++j) {
    sum += grid.weighted_density[j] * upper_tail((bound - grid.point[j] - shift) / sd);
  }
  return sum;
}

double exit_below(const ScoreGrid& grid, double mean, double variance, double bound) {
  const double sd = increment_sd(grid, variance);
  const double shift = mean - grid.mean;
  double sum = 0.0;
  for (std::size_t j = 0; j < grid.point.size(); ++j) {
    sum += grid.weighted_density[j] * upper_tail(-(bound - grid.point[j] - shift) / sd);
  }
  return sum;
}

double exit_above_slope(const ScoreGrid& grid, double mean, double variance, double bound) {
  const double sd = increment_sd(grid, variance);
  const double shift = mean - grid.mean;
  double sum = 0.0;
  for (std::size_t j = 0; j < grid.point.size(); ++j) {
    const double x = (bound - grid.point[j] - shift) / sd;
    sum += grid.weighted_density[j] * std::exp(-0.5 * x * x);
  }
  return -sum * kInvRootTwoPi / sd;
}

void advance_score_grid(ScoreGrid& grid, double mean, double variance, double lower, double upper,
                        double next_variance) {
  const double sd = std::sqrt(variance);
  // Resolve the next increment: the grid's middle spacing, 3 sd / (4 r)
  // with the midpoints, at most an eighth of the increment's sd.
  constexpr double kResolution = 6.0;
  int r = ScoreGrid::kGridR;
  if (next_variance > variance) {
    const double ratio = sd / std::sqrt(next_variance - variance);
    // Clamped before the conversion: a tiny increment gives a huge ratio.
    const double wanted = std::min(std::ceil(kResolution * ratio), double{ScoreGrid::kMaxGridR});
    r = std::max(static_cast<int>(wanted), ScoreGrid::kGridR);
  }
  std::vector<double> pattern;
  grid_pattern(r, pattern);
  std::vector<double> odd;  // the grid points before the midpoints
  bool below = false;
  bool above = false;
  for (double x : pattern) {
    const double w = mean + sd * x;
    if (!(w > lower)) {
      below = true;
    } else if (!(w < upper)) {
      above = true;
    } else {
      odd.push_back(w);
    }
  }
  if (below) odd.insert(odd.begin(), lower);
  if (above) odd.push_back(upper);

  std::vector<double> point;
  std::vector<double> weight;
  if (odd.size() >= 2 && upper > lower) {
    const std::size_t m = odd.size();
    point.resize(2 * m - 1);
    weight.assign(2 * m - 1, 0.0);
    for (std::size_t i = 0; i < m; ++i) point[2 * i] = odd[i];
    for (std::size_t i = 0; i + 1 < m; ++i) {
      point[2 * i + 1] = 0.5 * (odd[i] + odd[i + 1]);
      const double d = odd[i + 1] - odd[i];
      weight[2 * i] += d / 6.0;
      weight[2 * i + 1] += 4.0 * d / 6.0;
      weight[2 * i + 2] += d / 6.0;
    }
  }

  const double step_sd = increment_sd(grid, variance);
  const double shift = mean - grid.mean;
  // Only the points within kKernelReach sd of the increment contribute:
  // beyond, the kernel is below exp(-84.5), nothing against the sum. Both
  // grids increase, so the window slides.
  const double reach = kKernelReach * step_sd;
  std::vector<double> density(point.size());
  std::vector<double> term(grid.point.size());
  const double inverse_sd = 1.0 / step_sd;
  std::size_t first = 0;
  std::size_t last = 0;
  const std::size_t count = grid.point.size();
  for (std::size_t i = 0; i < point.size(); ++i) {
    const double target = point[i] - shift;
    while (first < count && grid.point[first] < target - reach) ++first;
    if (last < first) last = first;
    while (last < count && grid.point[last] <= target + reach) ++last;
    // The kernel terms first (a loop without a carried sum, which the
    // compiler vectorizes), then their sum.
    const std::size_t n = last - first;
    kernel_terms(n, grid.point.data() + first, grid.weighted_density.data() + first, target,
                 inverse_sd, term.data());
    double sum = 0.0;
    for (std::size_t j = 0; j < n; ++j) sum += term[j];
    density[i] = weight[i] * sum * kInvRootTwoPi * inverse_sd;
  }
  grid.point = std::move(point);
  grid.weighted_density = std::move(density);
  grid.mean = mean;
  grid.variance = variance;
}

void crossing_probabilities(int K, const double* mean, const double* variance,
                            const double* lower, const double* upper, double* upper_exit,
                            double* lower_exit) {
  ScoreGrid grid = start_score_grid();
  for (int k = 1; k <= K; ++k) {
    upper_exit[k] = exit_above(grid, mean[k], variance[k], upper[k]);
    lower_exit[k] = std::isfinite(lower[k]) ? exit_below(grid, mean[k], variance[k], lower[k]) : 0.0;
    if (k < K) advance_score_grid(grid, mean[k], variance[k], lower[k], upper[k], variance[k + 1]);
  }
}

}  // namespace gsd
