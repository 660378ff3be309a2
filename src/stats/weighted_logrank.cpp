#include "stats/weighted_logrank.h"

#include <cmath>

#include "driver/capacities.h"

namespace gsd {

namespace {

// x^y with x^0 = 1 (0^0 included). pow returns exactly 1 and x for the
// exponents 0 and 1, so skipping it there changes no bit and saves most of
// the calls for the usual statistics.
double power(double x, double y) {
  if (y == 0.0) return 1.0;
  if (y == 1.0) return x;
  return std::pow(x, y);
}

}  // namespace

int weighted_logrank(const LookData& data, int q, const float* rho,
                     const float* tau, float* Z, float* V) {
  const int m = data.m;
  const float* group = data.group;
  const int* event = data.event;

  float U[kStatCapacity + 1];
  double rho2[kStatCapacity + 1];
  double tau2[kStatCapacity + 1];
  for (int k = 1; k <= q; ++k) {
    U[k] = 0.0f;
    V[k] = 0.0f;
    rho2[k] = 2.0 * rho[k];
    tau2[k] = 2.0 * tau[k];
  }

  float n_at_risk = static_cast<float>(m);
  float y1 = 0.0f;
  for (int i = 1; i <= m; ++i) y1 = y1 + group[i];
  float S = 1.0f;
  int d = 0;

  for (int i = 1; i <= m; ++i) {
    if (event[i] == 1) {
      const double n = n_at_risk;
      S = static_cast<float>(S * n / (n + 1.0));
      ++d;
      const float e = static_cast<float>(group[i] - y1 / n);
      const float v = static_cast<float>((n - y1) * y1 / n / n);
      const double s = S;
      const double r = 1.0 - s;
      for (int k = 1; k <= q; ++k) {
        U[k] = static_cast<float>(U[k] + power(s, rho[k]) * power(r, tau[k]) * e);
        V[k] = static_cast<float>(V[k] + power(s, rho2[k]) * power(r, tau2[k]) * v);
      }
    }
    n_at_risk = n_at_risk - 1.0f;
    y1 = y1 - group[i];
  }

  for (int k = 1; k <= q; ++k) {
    if (d > 0) {
      Z[k] = static_cast<float>(-static_cast<double>(U[k]) / std::sqrt(static_cast<double>(V[k])));
    } else {
      Z[k] = 0.0f;
      V[k] = 0.0f;
    }
  }
  return d;
}

}  // namespace gsd
