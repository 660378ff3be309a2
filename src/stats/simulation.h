#pragma once

#include <cstdio>

#include "bounds/boundary_tables.h"
#include "driver/design.h"
#include "model/random_stream.h"
#include "model/simulated_trial.h"
#include "stats/calibration.h"
#include "stats/look_data.h"
#include "stats/run_tally.h"
#include "stats/sort_look_data.h"

namespace gsd {

// The working tables of one trial's simulation, reused from trial to trial.
// The boundary tables carry over between trials on purpose: a look without
// subjects leaves its entries as an earlier trial wrote them.
struct TrialWork {
  SimulatedTrial trial;
  LookData look;
  SortScratch sort_scratch;
  BoundaryTables tables;
  float Z[kStatCapacity + 1];
  float V[kStatCapacity + 1];
  int stopped[kStatCapacity + 1];
};

// Prepares `work` for the first trial: the per-trial cumulative error starts
// as the design's (after calibration); the boundary tables keep what the
// calibration put there (the given bounds of method 4).
void start_simulation(const Design& design, TrialWork& work);

// Compares every running statistic's Z at look i with its bound: a statistic
// rejects when Z >= bound or, two-sided, Z <= -bound, and stops; at the last
// look every running statistic stops. Each stop adds the look's calendar
// time to the statistic's stopping-time sum.
void record_look_decisions(const Design& design, int i, const float* Z,
                           const BoundaryTables& tables, int* stopped, RunTally& tally);

// Simulates one trial: generates its subjects from the stream, then looks
// 1..K until every statistic has stopped, each statistic rejecting at the
// first look where Z reaches its bound (or, two-sided, -bound) and stopping
// at the last look in any case. Rejections and stopping times are added to
// `tally`; looks without subjects write their two report lines. Returns
// false when generation could not finish (the message is in `error`).
bool simulate_trial(const Design& design, const Calibration& calibration, int trial_index,
                    SubtractiveGenerator& generator, int& seed, TrialWork& work,
                    int& boundary_failed, RunTally& tally, std::FILE* report,
                    std::FILE* console, char* error, int error_capacity);

}  // namespace gsd
