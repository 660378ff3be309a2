#pragma once

#include "design/design.h"

namespace gsd {

// The null-variance integrand factor at time t since entry, for the weighted
// log-rank statistic with exponents rho and tau:
//   S(t)^(2 rho) * (1 - S(t))^(2 tau) * gc * gt / (gc + gt),
// S the baseline survival, gc and gt the control and treatment censoring
// survivals at t. Returns 0 when gc + gt < 0.00001 (nobody left at risk).
// Powers follow x^0 = 1, also for 0^0, so tau = 0 at t <= 0 (S = 1) gives
// gc * gt / (gc + gt) while tau > 0 gives 0.
float at_risk_weight(const Design& design, float t, float rho, float tau);

}  // namespace gsd
