#pragma once

#include <initializer_list>
#include <utility>

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

}  // namespace gsd::testing
