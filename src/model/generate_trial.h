#pragma once

#include "design/design.h"
#include "model/inverse_warning.h"
#include "model/random_stream.h"
#include "model/simulated_trial.h"

namespace gsd {

// Number of subjects of every simulated trial: accrual_rate * accrual_period
// rounded to float, then truncated toward zero (0.7 * 10 gives 7). Products
// outside the int range saturate (NaN gives the maximum), so the caller's
// capacity check refuses them.
int subject_count(const Design& design);

// Upper bound on the redraws of one crossover. The expected number is
// 1 / S(a), S the other group's survival at the crossover time a, so only a
// crossover time far in that curve's tail (or a curve that never gets past
// a) comes near it.
inline constexpr int kCrossoverRedrawLimit = 10000000;

enum class CrossoverList { kNone, kDropIn, kDropOut };

// Outcome of generate_trial. When ok is false, a crossover at entry `index`
// of `list` (time `time` after entry) was still not past its time after
// kCrossoverRedrawLimit redraws; generation stopped there and the subject
// table is incomplete.
struct GenerationStatus {
  bool ok = true;
  CrossoverList list = CrossoverList::kNone;
  int index = 0;
  float time = 0.0f;
};

// Fills trial with subjects 1..count: 1..count/2 control, the rest
// treatment (one more when count is odd). Every number comes from the
// stream (generator, seed), subject by subject in index order:
//   entry = uniform * accrual_period;
//   u = uniform, event = own group's inverse at u;
//   for each crossover entry k (drop-in for control, drop-out for treatment)
//   whose time the current event time strictly exceeds: v = uniform, and if
//   v <= its probability the subject crosses: event = other group's inverse
//   at u, redrawn with fresh u while not above the crossover time; no later
//   entry is examined after a crossover;
//   censor = that group's censoring inverse at a fresh uniform.
// The control inverse is time_at_survival(baseline_curve); the treatment
// inverse is the hazard-ratio inverse when uses_hazard_ratios(design)
// (telling `warnings` of its warnings), else time_at_survival(alternative_curve).
// Event and censoring times may be +infinity. The draw order is part of the
// reproducibility of a run and must not change.
//
// Precondition: 0 <= count <= kSubjectCapacity.
GenerationStatus generate_trial(const Design& design, int count,
                                SubtractiveGenerator& generator, int& seed,
                                SimulatedTrial& trial, const InverseWarnings& warnings = {});

}  // namespace gsd
