#pragma once

#include "design/capacities.h"
#include "model/hazard_ratio_curve.h"
#include "model/survival_curve.h"

namespace gsd {

// A survival curve with what its inverse needs that does not depend on the
// probability: the hazard of every piece. Generation inverts the same
// curves thousands of times per trial; each piece's hazard costs two
// logarithms, so they are taken once.
struct SurvivalInverse {
  SurvivalCurve curve;
  float hazard[kCurveCapacity + 1] = {};  // piece j: x(j-1) to x(j); 0 unused
};

SurvivalInverse make_survival_inverse(const SurvivalCurve& curve);

// time_at_survival(inverse.curve, u), bit for bit: the same formulas on the
// same values, with the hazards computed beforehand exactly as it computes
// them.
float time_at_survival(const SurvivalInverse& inverse, float u);

// The hazard-ratio curve with its probability-free working values: the
// baseline's inverse, tmpp(k) = S0(tau(k)), the running multiplier R(k)
// before interval k, and the multiplier used beyond the last cut point.
struct HazardRatioInverse {
  HazardRatioCurve curve;
  SurvivalInverse baseline;
  float tmpp[kIntervalCapacity + 1] = {};
  float rmlp[kIntervalCapacity + 1] = {};
  float rmlp_beyond = 1.0f;
};

HazardRatioInverse make_hazard_ratio_inverse(const HazardRatioCurve& curve);

// time_at_survival(inverse.curve, u, warnings), bit for bit, warnings
// included: only (u / R(k))^(1 / theta(k)) and the baseline inverse depend
// on u; the rest is the same sequence of values whatever u is.
float time_at_survival(const HazardRatioInverse& inverse, float u,
                       const InverseWarnings& warnings = {});

}  // namespace gsd
