#pragma once

#include "design/method.h"

namespace gsd {

// The cumulative type-I error that may have been spent by the end of a look,
// by use function:
//   O'Brien & Fleming type: 2 (1 - Phi(z / sqrt(u))), z the two-sided
//     quantile for 1 - alpha/2 whatever the number of sides;
//   Pocock type: alpha ln(1 + 1.71828 u) (alpha * 0.9999993 at u = 1);
//   linear: alpha u;
//   Siegmund: Siegmund's approximation for a constant boundary b
//     monitored from information v0, phi(b) (b - 1/b) ln r + 4 phi(b) / b;
//     alpha is not used.
// u is the information fraction (0 < u <= 1), r the information over v0
// (r >= 1); neither is checked. The value is the look's own, not an
// increment.
float cumulative_alpha(UseFunction use_function, float alpha, float u, float r, float b);

}  // namespace gsd
