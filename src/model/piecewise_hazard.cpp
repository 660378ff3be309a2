#include "model/piecewise_hazard.h"

#include <algorithm>
#include <cmath>

namespace gsd {
namespace {

// Index of the piece holding t > 0: the last j with start(j) < t.
int piece_of(const PiecewiseHazard& h, double t) {
  int j = 0;
  while (j + 1 < h.count && h.start[j + 1] < t) ++j;
  return j;
}

void add_piece(PiecewiseHazard& h, double start, double hazard) {
  if (h.count > 0 && !(start > h.start[h.count - 1])) {
    h.hazard[h.count - 1] = hazard;
    return;
  }
  const int j = h.count++;
  h.start[j] = start;
  h.hazard[j] = hazard;
  h.cumulative[j] =
      j == 0 ? 0.0 : h.cumulative[j - 1] + h.hazard[j - 1] * (start - h.start[j - 1]);
}

double curve_piece_hazard(const SurvivalCurve& curve, int j) {
  const double drop = std::log(static_cast<double>(curve.S[j - 1])) -
                      std::log(static_cast<double>(curve.S[j]));
  return drop / (static_cast<double>(curve.x[j]) - static_cast<double>(curve.x[j - 1]));
}

}  // namespace

PiecewiseHazard make_piecewise_hazard(const SurvivalCurve& curve) {
  PiecewiseHazard h;
  for (int j = 1; j <= curve.n; ++j) {
    add_piece(h, curve.x[j - 1], std::max(0.0, curve_piece_hazard(curve, j)));
  }
  return h;
}

PiecewiseHazard make_treatment_hazard(const Design& design) {
  if (!uses_hazard_ratios(design)) return make_piecewise_hazard(design.alternative_curve);
  // Breakpoints: the baseline's points and the cut points, merged.
  const SurvivalCurve& base = design.baseline_curve;
  const PiecewiseHazard baseline = make_piecewise_hazard(base);
  double points[PiecewiseHazard::kPieceCapacity];
  int count = 0;
  points[count++] = 0.0;
  for (int j = 1; j < base.n; ++j) points[count++] = base.x[j];
  for (int k = 1; k <= design.interval_count; ++k) points[count++] = design.hazard_cutpoints[k];
  std::sort(points, points + count);
  PiecewiseHazard h;
  for (int i = 0; i < count; ++i) {
    const double s = points[i];
    if (s < 0.0) continue;
    // The ratio of the interval holding the piece (s, next]: theta(k) for
    // tau(k-1) <= s < tau(k), 1 beyond tau(m).
    double theta = 1.0;
    for (int k = 1; k <= design.interval_count; ++k) {
      if (s < design.hazard_cutpoints[k]) {
        theta = design.hazard_ratios[k];
        break;
      }
    }
    add_piece(h, s, theta * hazard_at(baseline, std::nextafter(s, 1e300)));
  }
  return h;
}

double cumulative_hazard(const PiecewiseHazard& h, double t) {
  if (!(t > 0.0)) return 0.0;
  const int j = piece_of(h, t);
  return h.cumulative[j] + h.hazard[j] * (t - h.start[j]);
}

double hazard_at(const PiecewiseHazard& h, double t) {
  if (!(t > 0.0)) return 0.0;
  return h.hazard[piece_of(h, t)];
}

double survival(const PiecewiseHazard& h, double t) { return std::exp(-cumulative_hazard(h, t)); }

}  // namespace gsd

namespace gsd {

double time_of_cumulative_hazard(const PiecewiseHazard& h, double target) {
  if (!(target > 0.0)) return 0.0;
  int j = 0;
  while (j + 1 < h.count && h.cumulative[j + 1] < target) ++j;
  if (!(h.hazard[j] > 0.0)) return HUGE_VAL;
  return h.start[j] + (target - h.cumulative[j]) / h.hazard[j];
}

}  // namespace gsd
