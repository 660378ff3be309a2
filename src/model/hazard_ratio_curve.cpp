#include "model/hazard_ratio_curve.h"

#include <cmath>


namespace gsd {
namespace {



}  // namespace

HazardRatioCurve make_hazard_ratio_curve(const Design& design) {
  HazardRatioCurve curve;
  curve.m = design.interval_count;
  for (int k = 1; k <= curve.m; ++k) {
    curve.hazard_cutpoints[k] = design.hazard_cutpoints[k];
    curve.hazard_ratios[k] = design.hazard_ratios[k];
  }
  curve.baseline = design.baseline_curve;
  return curve;
}

float time_at_survival(const HazardRatioCurve& curve, float u,
                       const InverseWarnings& warnings) {
  if (u >= 1.0f) return curve.baseline.x[0];
  float rmlp = 1.0f;
  for (int k = 1;; ++k) {
    const double theta = curve.hazard_ratios[k];
    const float y = static_cast<float>(
        std::pow(static_cast<double>(u) / static_cast<double>(rmlp), 1.0 / theta));
    const float tmpp = survival_at(curve.baseline, curve.hazard_cutpoints[k]);
    if (y >= tmpp) return time_at_survival(curve.baseline, y);

    if (tmpp < kSmallWorkingValue) tell_warning(warnings, InverseWarning::kTmppTooSmall);
    if (rmlp < kSmallWorkingValue) tell_warning(warnings, InverseWarning::kRmlpTooSmall);
    if (k >= curve.m) {
      rmlp = static_cast<float>(rmlp * std::pow(static_cast<double>(tmpp), theta - 1.0));
      return time_at_survival(
          curve.baseline, static_cast<float>(static_cast<double>(u) / static_cast<double>(rmlp)));
    }
    const double next_theta = curve.hazard_ratios[k + 1];
    rmlp = static_cast<float>(rmlp * std::pow(static_cast<double>(tmpp), theta - next_theta));
  }
}

}  // namespace gsd
