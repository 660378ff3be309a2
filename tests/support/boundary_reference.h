#pragma once

// A double-precision reference of the boundary recursion: the same model
// (the sub-density of Z carried from look to look over the continuation
// region, two-sided intervals at the earlier looks), every quantity in
// double, the densities integrated with a fine Simpson rule instead of the
// engine's 24-point tables and 0.005 march. It serves the tests that find
// where the engine's single-precision boundaries stop being right.

#include <cmath>
#include <vector>

namespace gsd::testing {

inline double reference_tail(double x) { return 0.5 * std::erfc(x / std::sqrt(2.0)); }

inline double reference_density(double x) {
  return std::exp(-0.5 * x * x) / std::sqrt(2.0 * M_PI);
}

// x with reference_tail(x) = p, for p in (0, 0.5].
inline double reference_quantile_upper(double p) {
  double lo = 0.0, hi = 40.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (reference_tail(mid) > p) lo = mid; else hi = mid;
  }
  return 0.5 * (lo + hi);
}

// The sub-density of the score process at information fractions u(1..k),
// carried through the continuation intervals (-c(i) sqrt(u_i), c(i) sqrt(u_i))
// on the score scale S = Z sqrt(u), held on a grid.
struct ReferenceRecursion {
  static constexpr int kPoints = 801;  // Simpson points per interval
  std::vector<double> s;                // grid on the score scale
  std::vector<double> g;                // sub-density there
  double u_prev = 0.0;
};

inline std::vector<double> simpson_weights(int n, double h) {
  std::vector<double> w(n, 0.0);
  for (int i = 0; i < n; ++i) w[i] = (i == 0 || i == n - 1) ? h / 3 : (i % 2 == 1 ? 4 * h / 3 : 2 * h / 3);
  return w;
}

// The probability, under the null, that the process stays in every earlier
// interval (c(1..k-1) at u(1..k-1)) and that 0 < Z_k < z at u(k).
inline double reference_mass_below(int k, const double* u, const double* c, double z) {
  const int n = ReferenceRecursion::kPoints;
  std::vector<double> grid(n), dens(n), next(n);
  // Look 1: the density of S_1 ~ N(0, u1) on its interval.
  double b = c[1] * std::sqrt(u[1]);
  double h = 2 * b / (n - 1);
  for (int i = 0; i < n; ++i) {
    grid[i] = -b + i * h;
    dens[i] = reference_density(grid[i] / std::sqrt(u[1])) / std::sqrt(u[1]);
  }
  std::vector<double> w = simpson_weights(n, h);
  double u_prev = u[1];
  for (int i = 2; i < k; ++i) {
    const double sd = std::sqrt(u[i] - u_prev);
    const double bi = c[i] * std::sqrt(u[i]);
    const double hi = 2 * bi / (n - 1);
    for (int m = 0; m < n; ++m) {
      const double y = -bi + m * hi;
      double sum = 0.0;
      for (int l = 0; l < n; ++l) sum += w[l] * dens[l] * reference_density((y - grid[l]) / sd);
      next[m] = sum / sd;
    }
    for (int m = 0; m < n; ++m) grid[m] = -bi + m * hi;
    dens = next;
    w = simpson_weights(n, hi);
    u_prev = u[i];
  }
  // P(0 < S_k < z sqrt(u_k)) = sum over l of w g(l) [Phi((zk - s)/sd) - Phi((0 - s)/sd)].
  const double sd = std::sqrt(u[k] - u_prev);
  const double zk = z * std::sqrt(u[k]);
  double mass = 0.0;
  for (int l = 0; l < n; ++l) {
    mass += w[l] * dens[l] * (reference_tail((0.0 - grid[l]) / sd) - reference_tail((zk - grid[l]) / sd));
  }
  return mass;
}

// The type-I error spent up to look k by the critical values c(1..k)
// (two-sided: |Z_i| >= c_i; one-sided reads the same recursion as the
// engine does, symmetric earlier intervals): one minus the continuation mass,
// from the mass of (0, c_k) on both sides.
inline double reference_spent(int k, const double* u, const double* c, int sides) {
  if (k == 1) return (sides == 1 ? 1.0 : 2.0) * reference_tail(c[1]);
  const double half = reference_mass_below(k, u, c, c[k]);
  return sides == 1 ? 0.5 - half : 1.0 - 2.0 * half;
}

}  // namespace gsd::testing

namespace gsd::testing {

// The engine's boundary recursion (24-point Gauss-Legendre tables, the
// forward trapezoid march in steps of 0.005 up to 5.0, one refinement),
// step for step, in double throughout: what the single-precision recursion
// would give without rounding. Returns 5.0 with failed = true where the
// engine fails.
inline double same_recursion_in_double(int k, const double* t, const double* cum_alpha,
                                       int sides, double* c, bool& failed) {
  static constexpr double kNode[13] = {
      0.0, 0.0640568928626056, 0.1911188674736163, 0.3150426796961634, 0.4337935076260451,
      0.5454214713888396, 0.6480936519369755, 0.7401241915785544, 0.8200019859739029,
      0.8864155270044011, 0.9382745520027328, 0.9747285559713095, 0.9951872199970213};
  static constexpr double kWeight[13] = {
      0.0, 0.1279381953467522, 0.1258374563468284, 0.1216704729278033, 0.1155056680537256,
      0.1074442701159656, 0.0976186521041139, 0.0861901615319532, 0.0733464814110803,
      0.0592985849154367, 0.0442774388174197, 0.0285313886289338, 0.0123412297999873};
  failed = false;
  if (k == 1) return c[1] = reference_quantile_upper(cum_alpha[1] / sides);
  const double target = sides == 1 ? 0.5 - cum_alpha[k] : 0.5 * (1.0 - cum_alpha[k]);
  double u[16];
  for (int i = 1; i <= k; ++i) u[i] = t[i] / t[k];
  double table[13], next[13];
  double b_prev = std::sqrt(u[1]) * c[1];
  double u_prev = u[1];
  for (int m = 1; m <= 12; ++m) table[m] = reference_density(c[1] * kNode[m]) / std::sqrt(u[1]);
  auto carried = [&](const double* g, double b, double s, double y) {
    double sum = 0.0;
    for (int l = 1; l <= 12; ++l) {
      sum += kWeight[l] * g[l] *
             (reference_density((b * kNode[l] - y) / s) + reference_density((-b * kNode[l] - y) / s));
    }
    return sum;
  };
  for (int i = 2; i < k; ++i) {
    const double d = u[i] - u_prev;
    const double s = std::sqrt(d);
    const double b_i = std::sqrt(u[i]) * c[i];
    for (int m = 1; m <= 12; ++m) next[m] = carried(table, b_prev, s, b_i * kNode[m]) * b_prev / s;
    for (int m = 1; m <= 12; ++m) table[m] = next[m];
    b_prev = b_i;
    u_prev = u[i];
  }
  const double s = std::sqrt(1.0 - u_prev);
  auto f = [&](double y) { return b_prev / s * carried(table, b_prev, s, y); };
  double f0 = f(0.0), f1 = 0.0, y = 0.005, mass = 0.0;
  for (;;) {
    f1 = f(y);
    mass += (f0 + f1) * 0.0025;
    if (mass > target) break;
    y += 0.005;
    if (y > 5.0) {
      failed = true;
      return c[k] = 5.0;
    }
    f0 = f1;
  }
  const double y_lo = y - 0.005;
  const double mass_lo = mass - (f0 + f1) * 0.0025;
  const double y_i = y_lo + (target - mass_lo) * 0.005 / (mass - mass_lo);
  return c[k] = y_lo + 2.0 * (target - mass_lo) / (f0 + f(y_i));
}

// The engine's use functions in double: O'Brien & Fleming type (1), Pocock
// type (2), linear (3), Siegmund (4 and above).
inline double use_function_in_double(int code, double alpha, double u, double r, double b) {
  switch (code) {
    case 1: return 2.0 * reference_tail(reference_quantile_upper(0.5 * alpha) / std::sqrt(u));
    case 2: return alpha * std::log(1.0 + 1.71828 * u);
    case 3: return alpha * u;
    default: {
      const double phi = reference_density(b);
      return phi * (b - 1.0 / b) * std::log(r) + 4.0 * phi / b;
    }
  }
}

}  // namespace gsd::testing
