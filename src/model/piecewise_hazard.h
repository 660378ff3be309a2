#pragma once

#include "design/capacities.h"
#include "design/design.h"
#include "model/survival_curve.h"

namespace gsd {

// A distribution on (0, inf) with a piecewise-constant hazard, in double:
// hazard(j) on (start(j), start(j+1)], the last piece's hazard continuing
// beyond its start. The model's survival curves (piecewise exponential
// between their points) and the hazard-ratio description of the treatment
// group are both of this form.
struct PiecewiseHazard {
  static constexpr int kPieceCapacity = kCurveCapacity + kIntervalCapacity + 2;
  int count = 0;
  double start[kPieceCapacity] = {};       // start(0) = 0 < start(1) < ...
  double hazard[kPieceCapacity] = {};      // >= 0
  double cumulative[kPieceCapacity] = {};  // cumulative hazard at start(j)
};

// The curve's pieces: hazard (ln S(j-1) - ln S(j)) / (x(j) - x(j-1)), the
// last one continuing beyond x(n), as survival_at evaluates it.
PiecewiseHazard make_piecewise_hazard(const SurvivalCurve& curve);

// The treatment group of a design: its survival points (mode 1), or
// theta(k) times the baseline hazard on (tau(k-1), tau(k)] and the baseline
// hazard itself beyond tau(m) (mode 2).
PiecewiseHazard make_treatment_hazard(const Design& design);

// Lambda(t), 0 for t <= 0.
double cumulative_hazard(const PiecewiseHazard& h, double t);
// lambda(t), the hazard of the piece holding t (right-continuous pieces
// would do as well: the difference is a null set); 0 for t <= 0.
double hazard_at(const PiecewiseHazard& h, double t);
// exp(-Lambda(t)).
double survival(const PiecewiseHazard& h, double t);

}  // namespace gsd

namespace gsd {

// The time t with Lambda(t) = target (target > 0), +infinity when the
// cumulative hazard never reaches it (a last hazard of 0).
double time_of_cumulative_hazard(const PiecewiseHazard& h, double target);

}  // namespace gsd
