#include "model/at_risk_weight.h"

#include <cmath>

#include "model/survival_curve.h"

namespace gsd {
namespace {

constexpr float kNoneAtRisk = 0.00001f;

}  // namespace

float at_risk_weight(const Design& design, float t, float rho, float tau) {
  const float gc = survival_at(design.control_censoring, t);
  const float gt = survival_at(design.treatment_censoring, t);
  const float sum = static_cast<float>(static_cast<double>(gc) + static_cast<double>(gt));
  if (sum < kNoneAtRisk) return 0.0f;
  const double s = survival_at(design.baseline_curve, t);
  return static_cast<float>(std::pow(s, 2.0 * rho) * std::pow(1.0 - s, 2.0 * tau) *
                            static_cast<double>(gc) * static_cast<double>(gt) /
                            static_cast<double>(sum));
}

}  // namespace gsd
