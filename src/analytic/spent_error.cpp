#include "analytic/spent_error.h"

#include <cmath>

#include "design/method.h"

namespace gsd {

double normal_upper_tail(double x) { return 0.5 * std::erfc(x / std::sqrt(2.0)); }

double normal_upper_quantile(double p) {
  double lo = -40.0;
  double hi = 40.0;
  double x = 0.0;
  for (int step = 0; step < 200; ++step) {
    const double f = normal_upper_tail(x) - p;
    if (f > 0.0) lo = x; else hi = x;
    const double density = std::exp(-0.5 * x * x) / std::sqrt(2.0 * M_PI);
    double next = density > 0.0 ? x + f / density : 0.5 * (lo + hi);
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    if (std::fabs(next - x) <= 1e-15 * (1.0 + std::fabs(x))) return next;
    x = next;
  }
  return x;
}

double use_function_error(int use_function_code, double alpha, double u, double r, double b) {
  switch (use_function_of(use_function_code)) {
    case UseFunction::kObrienFleming:
      return 2.0 * normal_upper_tail(normal_upper_quantile(alpha / 2.0) / std::sqrt(u));
    case UseFunction::kPocock:
      return alpha * std::log(1.0 + 1.71828 * u);
    case UseFunction::kLinear:
      return alpha * u;
    default: {
      const double phi = std::exp(-0.5 * b * b) / std::sqrt(2.0 * M_PI);
      return phi * (b - 1.0 / b) * std::log(r) + 4.0 * phi / b;
    }
  }
}

}  // namespace gsd
