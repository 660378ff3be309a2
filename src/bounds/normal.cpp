#include "bounds/normal.h"

#include <cmath>

namespace gsd {
namespace {

// Algorithm AS 66, I. D. Hill (1973), "The normal integral", Applied
// Statistics 22, 424-427. Machine-dependent limits as chosen for single
// precision.
constexpr float kLtone = 7.0f;
constexpr float kUtzero = 18.66f;
constexpr float kCon = 1.28f;
constexpr float kA1 = 0.398942280444f;
constexpr float kA2 = 0.399903438504f;
constexpr float kA3 = 5.75885480458f;
constexpr float kA4 = 29.8213557808f;
constexpr float kA5 = 2.62433121679f;
constexpr float kA6 = 48.6959930692f;
constexpr float kA7 = 5.92885724438f;
constexpr float kB1 = 0.398942280385f;
constexpr float kB2 = 3.8052e-8f;
constexpr float kB3 = 1.00000615302f;
constexpr float kB4 = 3.98064794e-4f;
constexpr float kB5 = 1.98615381364f;
constexpr float kB6 = 0.151679116635f;
constexpr float kB7 = 5.29330324926f;
constexpr float kB8 = 4.8385912808f;
constexpr float kB9 = 15.1508972451f;
constexpr float kB10 = 0.742380924027f;
constexpr float kB11 = 30.789933034f;
constexpr float kB12 = 3.99019417011f;

// Algorithm AS 70, R. E. Odeh and J. O. Evans (1974), "The percentage points
// of the normal distribution", Applied Statistics 23, 96-97.
constexpr float kQuantileLimit = 1e-20f;
constexpr float kP0 = -0.322232431088f;
constexpr float kP1 = -1.0f;
constexpr float kP2 = -0.342242088547f;
constexpr float kP3 = -0.204231210245e-1f;
constexpr float kP4 = -0.453642210148e-4f;
constexpr float kQ0 = 0.993484626060e-1f;
constexpr float kQ1 = 0.588581570495f;
constexpr float kQ2 = 0.531103462366f;
constexpr float kQ3 = 0.103537752850f;
constexpr float kQ4 = 0.38560700634e-2f;

}  // namespace

float normal_density(float x) {
  const float t = normal_density_exponent(x);
  if (t > kLeastDensityExponent) return static_cast<float>(std::exp(double{t}));
  return 0.0f;
}

float normal_tail(float x, bool upper) {
  float z = x;
  bool up = upper;
  if (z <= 0.0f) {
    up = !up;
    z = -z;
  }
  float tail = 0.0f;
  // The lower tail is cut beyond LTONE, the upper tail beyond UTZERO.
  if (!(z > kLtone && (!up || z > kUtzero))) {
    const double zd = z;
    const float y = static_cast<float>(0.5 * zd * zd);
    const double yd = y;
    if (z <= kCon) {
      tail = static_cast<float>(
          0.5 - zd * (kA1 - kA2 * yd / (yd + kA3 - kA4 / (yd + kA5 + kA6 / (yd + kA7)))));
    } else {
      tail = static_cast<float>(
          kB1 * std::exp(-yd) /
          (zd - kB2 +
           kB3 / (zd + kB4 +
                  kB5 / (zd - kB6 +
                         kB7 / (zd + kB8 - kB9 / (zd + kB10 + kB11 / (zd + kB12)))))));
    }
  }
  if (!up) return static_cast<float>(1.0 - tail);
  return tail;
}

float normal_quantile(float p, int& fault) {
  fault = 1;
  float ps = p;
  if (ps > 0.5f) ps = static_cast<float>(1.0 - ps);
  if (!(ps >= kQuantileLimit)) return 0.0f;
  fault = 0;
  if (ps == 0.5f) return 0.0f;
  const double psd = ps;
  const float y = static_cast<float>(std::sqrt(std::log(1.0 / (psd * psd))));
  const double yd = y;
  const double numerator = (((yd * kP4 + kP3) * yd + kP2) * yd + kP1) * yd + kP0;
  const double denominator = (((yd * kQ4 + kQ3) * yd + kQ2) * yd + kQ1) * yd + kQ0;
  const float x = static_cast<float>(yd + numerator / denominator);
  return p < 0.5f ? -x : x;
}

}  // namespace gsd
