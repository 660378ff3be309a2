#pragma once

#include "bounds/boundary_tables.h"
#include "design/design.h"
#include "model/random_stream.h"
#include "sim/bound_tally.h"
#include "sim/calibration.h"
#include "sim/run_tally.h"
#include "sim/simulation.h"
#include "sim/trial_progress.h"

namespace gsd {

// Simulates trials 1..sim_count on `threads` threads (at least 2) and adds
// them to `tally`, with exactly the tallies and the lines (to `text`) of
// the one-thread trial loop (start_simulation, then simulate_trial for
// s = 1..sim_count with one TrialWork whose tables start as `calibrated`).
//
// The random stream stays one sequential stream: trials are generated one at
// a time in trial order. Their looks run concurrently, each from a guess of
// the state carried between trials, and are checked and added in trial order
// (see the .cpp for why this is exact). Memory: one TrialWork per thread and
// a ring of 4 x threads generated trials, all made before the first trial.
// The critical values go to `bounds` when given, in trial order.
//
// Throws RunError (after passing on every earlier trial's lines) when a
// trial's generation cannot finish, as the one-thread loop does.
void simulate_trials_in_parallel(const Design& design, const Calibration& calibration,
                                 SubtractiveGenerator& generator, int& seed,
                                 const BoundaryTables& calibrated, RunTally& tally,
                                 const TrialText& text, int threads,
                                 const TrialProgress& progress = {},
                                 BoundTally* bounds = nullptr);

}  // namespace gsd
