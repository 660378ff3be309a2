#include "model/curve_inverse.h"

#include <cmath>

namespace gsd {

SurvivalInverse make_survival_inverse(const SurvivalCurve& curve) {
  SurvivalInverse inverse;
  inverse.curve = curve;
  for (int j = 1; j <= curve.n; ++j) inverse.hazard[j] = piece_hazard(curve, j);
  return inverse;
}

float time_at_survival(const SurvivalInverse& inverse, float u) {
  const SurvivalCurve& curve = inverse.curve;
  if (u >= 1.0f) return curve.x[0];
  int j = 1;
  for (; j <= curve.n; ++j) {
    const double drop = static_cast<double>(curve.S[j - 1]) - static_cast<double>(curve.S[j]);
    if (drop < kFlatPieceDrop) continue;
    if (u >= curve.S[j]) break;
  }
  // Below S(n), or only flat pieces above u: the last piece from the last
  // point; otherwise piece j from its left end.
  const int from = j <= curve.n ? j - 1 : curve.n;
  const double lambda = inverse.hazard[j <= curve.n ? j : curve.n];
  return static_cast<float>(
      static_cast<double>(curve.x[from]) -
      std::log(static_cast<double>(u) / static_cast<double>(curve.S[from])) / lambda);
}

HazardRatioInverse make_hazard_ratio_inverse(const HazardRatioCurve& curve) {
  HazardRatioInverse inverse;
  inverse.curve = curve;
  inverse.baseline = make_survival_inverse(curve.baseline);
  float rmlp = 1.0f;
  for (int k = 1; k <= curve.m; ++k) {
    const double theta = curve.hazard_ratios[k];
    const float tmpp = survival_at(curve.baseline, curve.hazard_cutpoints[k]);
    inverse.tmpp[k] = tmpp;
    inverse.rmlp[k] = rmlp;
    if (k == curve.m) {
      inverse.rmlp_beyond =
          static_cast<float>(rmlp * std::pow(static_cast<double>(tmpp), theta - 1.0));
    } else {
      const double next_theta = curve.hazard_ratios[k + 1];
      rmlp = static_cast<float>(rmlp * std::pow(static_cast<double>(tmpp), theta - next_theta));
    }
  }
  return inverse;
}

float time_at_survival(const HazardRatioInverse& inverse, float u,
                       const InverseWarnings& warnings) {
  const HazardRatioCurve& curve = inverse.curve;
  if (u >= 1.0f) return curve.baseline.x[0];
  for (int k = 1;; ++k) {
    const double theta = curve.hazard_ratios[k];
    const float rmlp = inverse.rmlp[k];
    const float y = static_cast<float>(
        std::pow(static_cast<double>(u) / static_cast<double>(rmlp), 1.0 / theta));
    const float tmpp = inverse.tmpp[k];
    if (y >= tmpp) return time_at_survival(inverse.baseline, y);
    if (tmpp < kSmallWorkingValue) tell_warning(warnings, InverseWarning::kTmppTooSmall);
    if (rmlp < kSmallWorkingValue) tell_warning(warnings, InverseWarning::kRmlpTooSmall);
    if (k >= curve.m) {
      return time_at_survival(inverse.baseline,
                              static_cast<float>(static_cast<double>(u) /
                                                 static_cast<double>(inverse.rmlp_beyond)));
    }
  }
}

}  // namespace gsd
