#pragma once

#include "design/capacities.h"
#include "design/design.h"
#include "model/inverse_warning.h"
#include "model/survival_curve.h"

namespace gsd {

// The treatment-group survival given by piecewise-constant hazard ratios to
// the baseline: ratio theta(k) on (tau(k-1), tau(k)], tau(0) = 0, and 1
// beyond tau(m). In closed form S1(t) = R(k) * S0(t)^theta(k) on interval k,
// with R(1) = 1 and R(k+1) = R(k) * S0(tau(k))^(theta(k) - theta(k+1)).
struct HazardRatioCurve {
  int m = 0;
  float hazard_cutpoints[kIntervalCapacity + 1] = {};  // tau(1..m)
  float hazard_ratios[kIntervalCapacity + 1] = {};     // theta(1..m), > 1e-10
  SurvivalCurve baseline;                              // S0
};

// Working values of the inverse below this are numerically doubtful.
inline constexpr float kSmallWorkingValue = 0.000001f;

// Copies m, the cut points, the ratios and the baseline curve of the design.
HazardRatioCurve make_hazard_ratio_curve(const Design& design);

// The time t with S1(t) = u (precondition 1 <= m <= 20); u >= 1 gives 0. The interval is found by
// testing y = (u / rmlp)^(1 / theta(k)) against tmpp = S0(tau(k)), with rmlp
// the running multiplier R(k); the time is then the baseline inverse at y
// (or at u / rmlp beyond tau(m)). When the search passes a cut point with
// tmpp or rmlp (before its update) below 0.000001, `warnings` is told
// kTmppTooSmall and kRmlpTooSmall (in that order) and the computation goes
// on with the small values.
float time_at_survival(const HazardRatioCurve& curve, float u,
                       const InverseWarnings& warnings = {});

}  // namespace gsd
