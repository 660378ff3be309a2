#pragma once

#include <vector>

namespace gsd {

// Composite Gauss-Legendre quadrature over [0, end] in time: panels split at
// every breakpoint given (where an integrand may have a kink or a jump:
// curve points, crossover times, a look time, a look time less the accrual
// period), then into pieces of at most end / kPanelsPerSpan, with
// kNodesPerPanel nodes on each. Integrands smooth on every panel (piecewise
// exponential curves, the uniform entry's linear ramp) are integrated to
// about machine precision.
struct TimeQuadrature {
  static constexpr int kNodesPerPanel = 8;
  static constexpr int kPanelsPerSpan = 128;
  std::vector<double> node;    // times, increasing
  std::vector<double> weight;  // quadrature weights
  std::vector<double> panel_start;  // per panel, its left end
  std::vector<double> panel_end;
};

// Breakpoints outside (0, end) are ignored; an end that is not a positive
// finite time gives no nodes.
TimeQuadrature make_time_quadrature(double end, std::vector<double> breakpoints);

// The running integral F(node i) = integral_0^{node i} f, from f at the
// nodes (f smooth on every panel): on each panel the interpolating
// polynomial through the panel's nodes is integrated from the panel's start
// (exact for polynomials of degree below kNodesPerPanel).
std::vector<double> running_integral(const TimeQuadrature& q, const std::vector<double>& f);

}  // namespace gsd
