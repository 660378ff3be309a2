#pragma once

// Exit probabilities of a two-sided group-sequential test from the canonical
// joint distribution: Z_k = S_k / sqrt(I_k), S a Brownian motion with drift
// theta in information time (independent increments N(theta dI, dI)). The
// test stops at the first look k with |Z_k| >= c_k. Computed in double by
// the recursive numerical integration of the continuation densities
// (Armitage, McPherson & Rowe 1969, J. R. Stat. Soc. A 132, 235-244), with
// Simpson's rule on a grid of the continuation interval of each look.

#include <cmath>
#include <vector>

namespace gsd::testing {

inline double normal_cdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// Probability of stopping at each look 1..K (entry 0 unused).
inline std::vector<double> crossing_probabilities(const std::vector<double>& information,
                                                  const std::vector<double>& bounds,
                                                  double theta, int grid = 2001) {
  const int K = static_cast<int>(information.size());
  std::vector<double> exits(K + 1, 0.0);
  std::vector<double> s_prev, g_prev;  // grid and density of S at the previous look
  double I_prev = 0.0;
  const double pi = std::acos(-1.0);
  for (int k = 0; k < K; ++k) {
    const double I = information[k];
    const double dI = I - I_prev;
    const double sd = std::sqrt(dI);
    const double edge = bounds[k] * std::sqrt(I);
    // From S_{k-1} = u (0 before the first look), the chance of exiting here.
    auto exit_from = [&](double u) {
      const double mean = u + theta * dI;
      return normal_cdf((mean - edge) / sd) + normal_cdf((-edge - mean) / sd);
    };
    std::vector<double> s(grid), g(grid);
    const double h = 2.0 * edge / (grid - 1);
    for (int i = 0; i < grid; ++i) s[i] = -edge + i * h;
    if (k == 0) {
      exits[1] = exit_from(0.0);
      for (int i = 0; i < grid; ++i) {
        const double z = (s[i] - theta * dI) / sd;
        g[i] = std::exp(-0.5 * z * z) / (sd * std::sqrt(2.0 * pi));
      }
    } else {
      const int n = static_cast<int>(s_prev.size());
      const double hp = s_prev[1] - s_prev[0];
      auto simpson = [&](int j) { return (j == 0 || j == n - 1) ? 1.0 : (j % 2 == 1 ? 4.0 : 2.0); };
      double exit = 0.0;
      for (int j = 0; j < n; ++j) exit += simpson(j) * g_prev[j] * exit_from(s_prev[j]);
      exits[k + 1] = exit * hp / 3.0;
      for (int i = 0; i < grid; ++i) {
        double sum = 0.0;
        for (int j = 0; j < n; ++j) {
          const double z = (s[i] - s_prev[j] - theta * dI) / sd;
          sum += simpson(j) * g_prev[j] * std::exp(-0.5 * z * z);
        }
        g[i] = sum * hp / 3.0 / (sd * std::sqrt(2.0 * pi));
      }
    }
    s_prev = s;
    g_prev = g;
    I_prev = I;
  }
  return exits;
}

}  // namespace gsd::testing
