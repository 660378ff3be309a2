#pragma once

#include <initializer_list>
#include <utility>

#include "design/design.h"
#include "model/hazard_ratio_curve.h"
#include "model/survival_curve.h"

namespace gsd::testing {

// A curve from its points after the origin; x(0) = 0 and S(0) = 1 are set
// here, as the design input does.
inline SurvivalCurve curve_of(std::initializer_list<std::pair<float, float>> points) {
  SurvivalCurve curve;
  curve.x[0] = 0.0f;
  curve.S[0] = 1.0f;
  for (const auto& [x, S] : points) {
    ++curve.n;
    curve.x[curve.n] = x;
    curve.S[curve.n] = S;
  }
  return curve;
}

// The hazard-ratio description of a treatment group: (cut point, ratio) per
// interval over `baseline`.
inline HazardRatioCurve hazard_ratio_curve(
    const SurvivalCurve& baseline, std::initializer_list<std::pair<float, float>> intervals) {
  Design design;
  design.baseline_curve = baseline;
  for (const auto& [cut, ratio] : intervals) {
    ++design.interval_count;
    design.hazard_cutpoints[design.interval_count] = cut;
    design.hazard_ratios[design.interval_count] = ratio;
  }
  return make_hazard_ratio_curve(design);
}

}  // namespace gsd::testing
