#pragma once

#include <cstdio>
#include <string>

#include "bounds/boundary_tables.h"
#include "design/design.h"
#include "model/generate_trial.h"
#include "model/random_stream.h"
#include "model/simulated_trial.h"
#include "sim/bound_tally.h"
#include "sim/calibration.h"
#include "stats/look_data.h"
#include "sim/report_writer.h"
#include "sim/run_tally.h"
#include "stats/event_look_times.h"
#include "stats/sort_look_data.h"

namespace gsd {

// The working tables of one trial's simulation, reused from trial to trial.
// The boundary tables carry over between trials on purpose: a look without
// subjects leaves its entries as an earlier trial wrote them.
struct TrialWork {
  SimulatedTrial trial;
  LookData look;
  SortScratch sort_scratch;
  EventLookScratch event_scratch;
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
// time `look_time` (in this trial) to the statistic's stopping-time sum.
void record_look_decisions(const Design& design, int i, float look_time, const float* Z,
                           const BoundaryTables& tables, int* stopped, RunTally& tally);

// The calendar times of looks 1..K in one trial, into T(1..K): the design's
// look times, or under event-driven looks the times at which this trial
// reaches its event targets (max_time at the latest).
void trial_look_times(const Design& design, int subject_count, const SimulatedTrial& trial,
                      EventLookScratch& scratch, float* T);

// What the analysis of one trial read of the state carried between trials,
// what it left there, and what it adds to the tallies. Bits of the masks are
// looks 1..K.
struct TrialOutcome {
  // Looks with subjects whose obs_info and bound entries this trial wrote
  // (always 0 under method 4, whose bounds never change).
  unsigned written_looks = 0;
  // Looks without subjects in this trial whose entries, as earlier trials
  // left them, a later look of this trial may have read.
  unsigned carried_looks = 0;
  bool flag_read = false;  // boundary_failed read before this trial set it
  bool flag_set = false;   // boundary_failed on exit is this trial's own
  int stopped[kStatCapacity + 1] = {};
  int stop_look[kStatCapacity + 1] = {};  // the look at which each statistic stopped
  unsigned reached_looks = 0;             // the looks evaluated, with or without subjects
  int look_subjects[kLookCapacity + 1] = {};
  int look_events[kLookCapacity + 1] = {};
  float look_time[kLookCapacity + 1] = {};  // calendar time of each look in this trial
  unsigned empty_looks = 0;   // the looks evaluated without subjects
  unsigned v0_too_large = 0;  // bit j: statistic j short of v0 at the last look
  RunTally tally;  // this trial's rejections and stopping times alone
  // The critical values of the looks in written_looks, as the trial used them.
  float bounds[kStatCapacity + 1][kLookCapacity + 1] = {};
};

// The looks of one generated trial (everything of simulate_trial after the
// generation): reads and updates work.tables and boundary_failed as the
// trial goes and leaves in `outcome` what the trial adds to the tallies and
// its notes, instead of adding and writing them, so that the caller can
// pass trials on in their order. Writes nothing.
void analyse_trial(const Design& design, const Calibration& calibration,
                   const SimulatedTrial& trial, TrialWork& work, int& boundary_failed,
                   TrialOutcome& outcome);

// Where a trial's lines go: the run's writer with the report and console
// streams. A null writer writes nothing.
struct TrialText {
  const ReportWriter* writer = nullptr;
  std::FILE* report = nullptr;
  std::FILE* console = nullptr;
};

// The warnings of the hazard-ratio inverse, as report lines of `text`
// (which must outlive the generation).
InverseWarnings inverse_warnings(const TrialText& text);

// The notes of an analysed trial: the lines of its looks without subjects
// (report), then those of statistics short of v0 at its last look
// (console), in the order the one-thread loop meets them.
void write_trial_notes(const TrialText& text, const Design& design, int trial_index,
                       const TrialOutcome& outcome);

// Adds one trial's rejections, stopping times and per-look figures to the
// run's tallies, and when `bounds` is given the critical values the trial
// computed. Each statistic's stop_sum receives exactly the one
// single-precision addition the trial loop makes, so adding trials in their
// order gives the same sums. No allocation.
void add_to_tally(const Design& design, const TrialOutcome& outcome, RunTally& tally,
                  BoundTally* bounds = nullptr);

// The message of trial `trial_index`, whose generation could not finish:
// "trial N: the drop-in entry ...".
std::string trial_runaway_message(int trial_index, const GenerationStatus& status);

// Simulates one trial: generates its subjects from the stream, then looks
// 1..K until every statistic has stopped, each statistic rejecting at the
// first look where Z reaches its bound (or, two-sided, -bound) and stopping
// at the last look in any case. Rejections and stopping times are added to
// `tally` (the critical values to `bounds` when given); the trial's lines
// go to `text`. Returns false when generation could not finish (its status
// is in `failure`).
bool simulate_trial(const Design& design, const Calibration& calibration, int trial_index,
                    SubtractiveGenerator& generator, int& seed, TrialWork& work,
                    int& boundary_failed, RunTally& tally, const TrialText& text,
                    GenerationStatus& failure, BoundTally* bounds = nullptr);

}  // namespace gsd
