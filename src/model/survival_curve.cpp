#include "model/survival_curve.h"

#include <cmath>

namespace gsd {
namespace {

// S on piece j (also beyond x(n) for j = n), from its left end.
float survival_on_piece(const SurvivalCurve& curve, int j, float t) {
  const double lambda = piece_hazard(curve, j);
  return static_cast<float>(
      static_cast<double>(curve.S[j - 1]) *
      std::exp(-lambda * (static_cast<double>(t) - static_cast<double>(curve.x[j - 1]))));
}

// The inverse on piece j, solved from the left end of the piece.
float time_on_piece(const SurvivalCurve& curve, int j, float u) {
  const double lambda = piece_hazard(curve, j);
  return static_cast<float>(
      static_cast<double>(curve.x[j - 1]) -
      std::log(static_cast<double>(u) / static_cast<double>(curve.S[j - 1])) / lambda);
}

}  // namespace

float piece_hazard(const SurvivalCurve& curve, int j) {
  const double drop = std::log(static_cast<double>(curve.S[j - 1])) -
                      std::log(static_cast<double>(curve.S[j]));
  return static_cast<float>(
      drop / (static_cast<double>(curve.x[j]) - static_cast<double>(curve.x[j - 1])));
}

float survival_at(const SurvivalCurve& curve, float t) {
  if (!(t > curve.x[0])) return 1.0f;
  for (int j = 1; j <= curve.n; ++j) {
    if (t <= curve.x[j]) return survival_on_piece(curve, j, t);
  }
  // Beyond x(n) the last hazard continues from the last given point.
  const double lambda = piece_hazard(curve, curve.n);
  return static_cast<float>(
      static_cast<double>(curve.S[curve.n]) *
      std::exp(-lambda * (static_cast<double>(t) - static_cast<double>(curve.x[curve.n]))));
}

float time_at_survival(const SurvivalCurve& curve, float u) {
  if (u >= 1.0f) return curve.x[0];
  for (int j = 1; j <= curve.n; ++j) {
    const double drop = static_cast<double>(curve.S[j - 1]) - static_cast<double>(curve.S[j]);
    if (drop < kFlatPieceDrop) continue;
    if (u >= curve.S[j]) return time_on_piece(curve, j, u);
  }
  // Below S(n), or only flat pieces above u: the last hazard continues from
  // the last point, with no flatness test (a flat last piece gives +inf).
  const int n = curve.n;
  const double lambda = piece_hazard(curve, n);
  return static_cast<float>(
      static_cast<double>(curve.x[n]) -
      std::log(static_cast<double>(u) / static_cast<double>(curve.S[n])) / lambda);
}

}  // namespace gsd
