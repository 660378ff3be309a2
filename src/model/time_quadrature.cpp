#include "model/time_quadrature.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace gsd {
namespace {

constexpr int kN = TimeQuadrature::kNodesPerPanel;

// Gauss-Legendre nodes and weights of order 8 on [-1, 1] (Abramowitz &
// Stegun, Handbook of Mathematical Functions, table 25.4).
constexpr std::array<double, kN> kNodes = {
    -0.9602898564975363, -0.7966664774136267, -0.5255324099163290, -0.1834346424956498,
    0.1834346424956498,  0.5255324099163290,  0.7966664774136267,  0.9602898564975363};
constexpr std::array<double, kN> kWeights = {
    0.1012285362903763, 0.2223810344533745, 0.3137066458778873, 0.3626837833783620,
    0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};

// The Lagrange basis polynomial j of the nodes at x.
double lagrange(int j, double x) {
  double value = 1.0;
  for (int m = 0; m < kN; ++m) {
    if (m != j) value *= (x - kNodes[m]) / (kNodes[j] - kNodes[m]);
  }
  return value;
}

// partial[i][j] = integral_{-1}^{x_i} l_j(x) dx, by the same rule on
// [-1, x_i] (exact: l_j has degree kN - 1).
std::array<std::array<double, kN>, kN> partial_integrals() {
  std::array<std::array<double, kN>, kN> partial{};
  for (int i = 0; i < kN; ++i) {
    const double half = (kNodes[i] + 1.0) / 2.0;
    for (int j = 0; j < kN; ++j) {
      double sum = 0.0;
      for (int m = 0; m < kN; ++m) sum += kWeights[m] * lagrange(j, -1.0 + half * (kNodes[m] + 1.0));
      partial[i][j] = half * sum;
    }
  }
  return partial;
}

}  // namespace

TimeQuadrature make_time_quadrature(double end, std::vector<double> breakpoints) {
  TimeQuadrature q;
  if (!(end > 0.0) || !std::isfinite(end)) return q;
  std::vector<double> ends;
  ends.push_back(0.0);
  for (double b : breakpoints) {
    if (b > 0.0 && b < end) ends.push_back(b);
  }
  ends.push_back(end);
  std::sort(ends.begin(), ends.end());
  ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
  const double widest = end / TimeQuadrature::kPanelsPerSpan;
  for (std::size_t p = 1; p < ends.size(); ++p) {
    const double a = ends[p - 1];
    const double b = ends[p];
    const int pieces = std::max(1, static_cast<int>(std::ceil((b - a) / widest)));
    for (int piece = 0; piece < pieces; ++piece) {
      const double lo = a + (b - a) * piece / pieces;
      const double hi = piece + 1 == pieces ? b : a + (b - a) * (piece + 1) / pieces;
      const double half = (hi - lo) / 2.0;
      q.panel_start.push_back(lo);
      q.panel_end.push_back(hi);
      for (int i = 0; i < kN; ++i) {
        q.node.push_back(lo + half * (kNodes[i] + 1.0));
        q.weight.push_back(half * kWeights[i]);
      }
    }
  }
  return q;
}

std::vector<double> running_integral(const TimeQuadrature& q, const std::vector<double>& f) {
  const auto partial = partial_integrals();
  std::vector<double> F(q.node.size());
  double before = 0.0;
  for (std::size_t p = 0; p < q.panel_start.size(); ++p) {
    const double half = (q.panel_end[p] - q.panel_start[p]) / 2.0;
    const std::size_t first = p * kN;
    double whole = 0.0;
    for (int i = 0; i < kN; ++i) {
      double sum = 0.0;
      for (int j = 0; j < kN; ++j) sum += partial[i][j] * f[first + j];
      F[first + i] = before + half * sum;
      whole += q.weight[first + i] * f[first + i];
    }
    before += whole;
  }
  return F;
}

}  // namespace gsd
