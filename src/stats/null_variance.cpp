#include "stats/null_variance.h"

#include <limits>

#include "model/at_risk_weight.h"

namespace gsd {
namespace {

// One midpoint-rule term: sum + G(s) * min(A, t - s) * width, the weight
// being A up to D = t - A and t - s beyond. The term is evaluated in double
// from the float operands; the sum is rounded to float.
float add_term(float sum, const Design& design, float s, float D, float t, float A,
               double width, float rho, float tau) {
  const double G = at_risk_weight(design, s, rho, tau);
  const double weight = s > D ? static_cast<double>(t) - static_cast<double>(s)
                              : static_cast<double>(A);
  return static_cast<float>(static_cast<double>(sum) + G * weight * width);
}

// The midpoint rule of null_variance_segment; `advanced` turns false when
// the step stopped advancing.
float integrate_segment(const Design& design, float a, float b, float t, float A, float rho,
                        float tau, bool& advanced) {
  const float h = kIntegrationStep;
  const float D = t - A;
  float sum = 0.0f;
  float u = a + h;
  float s = a + h / 2.0f;
  while (u <= b) {
    sum = add_term(sum, design, s, D, t, A, h, rho, tau);
    const float next_u = u + h;
    if (next_u == u) {
      advanced = false;
      return std::numeric_limits<float>::quiet_NaN();
    }
    u = next_u;
    s = s + h;
  }
  u = u - h;
  s = static_cast<float>((static_cast<double>(u) + static_cast<double>(b)) / 2.0);
  advanced = true;
  return add_term(sum, design, s, D, t, A,
                  static_cast<double>(b) - static_cast<double>(u), rho, tau);
}

// Whether accumulating h from below can pass `end`: below 262144 every
// addition of h advances, from there on none does, and the accumulated
// times reach 262144 exactly on the way up. So the same test at the upper
// end tells beforehand whether a segment would stall, without integrating
// the 26 million steps before it.
bool steps_reach(float end) { return end + kIntegrationStep != end; }

}  // namespace

float null_variance_segment(const Design& design, float a, float b, float t, float A,
                            float rho, float tau) {
  bool advanced = true;
  return integrate_segment(design, a, b, t, A, rho, tau, advanced);
}

bool null_variance(const Design& design, float lambda, float A, float rho, float tau, int K,
                   const float* t, float* V) {
  const SurvivalCurve& curve = design.baseline_curve;
  const int M = curve.n;
  for (int l = 1; l <= K; ++l) {
    const float look = t[l];
    const float end = look < curve.x[M] ? look : curve.x[M];
    if (!steps_reach(end)) return false;
    float v = 0.0f;
    for (int m = 1; m <= M; ++m) {
      const float f = static_cast<float>(
          (static_cast<double>(curve.S[m - 1]) - static_cast<double>(curve.S[m])) /
          (static_cast<double>(curve.x[m]) - static_cast<double>(curve.x[m - 1])));
      const bool whole = curve.x[m] < look;
      const float upper = whole ? curve.x[m] : look;
      bool advanced = true;
      const float integral =
          integrate_segment(design, curve.x[m - 1], upper, look, A, rho, tau, advanced);
      if (!advanced) return false;
      v = static_cast<float>(static_cast<double>(v) +
                             static_cast<double>(f) * static_cast<double>(integral));
      if (!whole) break;
    }
    V[l] = static_cast<float>(static_cast<double>(v) / 2.0 * static_cast<double>(lambda));
  }
  return true;
}

}  // namespace gsd
