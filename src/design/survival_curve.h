#pragma once

#include "design/capacities.h"

namespace gsd {

// A survival function given by n points after the origin (x(0) = 0,
// S(0) = 1), piecewise exponential between them: ln S is linear on each
// piece, and beyond x(n) the last piece's hazard continues. The curve's
// values and inverse are in model/survival_curve.h.
struct SurvivalCurve {
  int n = 0;
  float x[kCurveCapacity + 1] = {};
  float S[kCurveCapacity + 1] = {};

  bool operator==(const SurvivalCurve&) const = default;
};

}  // namespace gsd
