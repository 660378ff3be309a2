#include "bounds/update_look_boundaries.h"

#include "bounds/last_look_boundary.h"
#include "bounds/normal.h"
#include "bounds/use_function.h"
#include "design/method.h"

namespace gsd {
namespace {

constexpr float kLeastInformationRise = 0.0001f;
// An interim look this close to the planned final information spends nothing.
constexpr float kNearlyFinalFraction = 0.99f;

}  // namespace

BoundaryUpdate update_look_boundaries(int k, const Design& design, const InformationScale& scale,
                                      BoundaryTables& tables, int& boundary_failed) {
  const int last = design.look_count;
  float x[kLookCapacity + 1];  // information sequence of the recursion
  float c[kLookCapacity + 1];  // critical values of the recursion
  BoundaryUpdate use;

  for (int j = 1; j <= design.stat_count; ++j) {
    float* info = tables.obs_info[j];
    float w = kNoBoundary;

    if (info[k] < scale.v0[j]) {
      if (last > 1 && k == last) {
        use.v0_too_large |= 1u << j;
        int fault = 0;
        const float q = normal_quantile(
            static_cast<float>(1.0 - double{design.alpha} / design.sides), fault);
        w = fault == 1 ? kNoBoundary : q;
      }
    } else {
      x[1] = info[1];
      for (int i = 1; i < k; ++i) {
        const float least = x[i] + kLeastInformationRise;
        x[i + 1] = info[i + 1] >= least ? info[i + 1] : least;
      }
      for (int i = 1; i < k; ++i) c[i] = tables.bound[j][i];
      const float u = x[k] > scale.v_last[j] ? 1.0f : x[k] / scale.v_last[j];

      switch (method_of(design)) {
        case Method::kUseFunction:
          if (k == last) {
            tables.cum_alpha[k] = design.alpha;
          } else if (u < kNearlyFinalFraction) {
            tables.cum_alpha[k] = cumulative_alpha(use_function_of(design), design.alpha, u,
                                                   x[k] / scale.v0[j], design.b);
          } else {
            // Looks after this one see the information as halfway back to
            // the previous look's, or as none at all for the first look.
            info[k] = k > 1 ? static_cast<float>(0.5 * (double{info[k]} + info[k - 1])) : 0.0f;
            break;
          }
          last_look_boundary(k, x, tables.cum_alpha, design.sides, boundary_failed, c);
          use.set = true;
          w = c[k];
          break;
        case Method::kHaybittle:
          if (k == last) {
            tables.cum_alpha[k] = design.alpha;
            last_look_boundary(k, x, tables.cum_alpha, design.sides, boundary_failed, c);
            use.set = true;
            w = c[k];
          } else {
            w = design.b;
          }
          break;
        case Method::kErrorSplit:
        case Method::kGivenBounds:  // never reaches here: its bounds are given
        default:
          last_look_boundary(k, x, tables.cum_alpha, design.sides, boundary_failed, c);
          use.set = true;
          w = c[k];
          break;
      }
    }

    // The flag deliberately outlives the statistic, the look and the trial:
    // a value set without a recursion stays 5.0 until a recursion succeeds.
    if (!use.set) use.read_before_set = true;
    tables.bound[j][k] = boundary_failed == 1 ? kNoBoundary : w;
  }
  return use;
}

}  // namespace gsd
