#include "bounds/use_function.h"

#include <cmath>

#include "bounds/normal.h"

namespace gsd {
namespace {

// e - 1 as the Pocock-type use function has it, to six figures.
constexpr float kEMinusOne = 1.71828f;

}  // namespace

float cumulative_alpha(UseFunction use_function, float alpha, float u, float r, float b) {
  switch (use_function) {
    case UseFunction::kObrienFleming: {
      int fault = 0;  // alpha in (0, 1) keeps the quantile in range
      const float z = normal_quantile(static_cast<float>(1.0 - 0.5 * alpha), fault);
      const float tail = normal_tail(static_cast<float>(z / std::sqrt(double{u})), true);
      return static_cast<float>(2.0 * tail);
    }
    case UseFunction::kPocock:
      return static_cast<float>(alpha * std::log(1.0 + double{kEMinusOne} * u));
    case UseFunction::kLinear:
      return static_cast<float>(double{alpha} * u);
    case UseFunction::kSiegmund:
    default: {
      const float phi = normal_density(b);
      const double bd = b;
      return static_cast<float>(phi * (bd - 1.0 / bd) * std::log(double{r}) + 4.0 * phi / bd);
    }
  }
}

}  // namespace gsd
