#pragma once

#include <string>

#include "keyed/keyed_table.h"
#include "report/sweep_result.h"
#include "sim/simulate_design.h"
#include "sweep/shard.h"
#include "sweep/sweep_grid.h"

namespace gsd {

struct SweepOptions {
  // Threads for the whole sweep: 0 for every hardware thread. The results
  // are the same for every count.
  int threads = 0;
  Shard shard;
  // Told after each scenario of the shard has run (from whichever thread
  // ran it, one call at a time), with the scenarios done and their total.
  void (*scenario_done)(void* context, int done, int total) = nullptr;
  void* context = nullptr;
};

struct SweepRun {
  // 0 success; 1 a scenario the keyed design refuses (every scenario of the
  // shard is converted before any is simulated); 3 a scenario that cannot
  // be simulated to an end. The message names the scenario and its values.
  int status = 0;
  std::string error;
  SweepResult result;
  // The reader's notes: in full for the first scenario of the shard, then
  // per later scenario only the lines the first did not have, each prefixed
  // "scenario N: ".
  std::string notes;
};

// Runs the scenarios of `options.shard` of the grid over the keyed design
// `design`: each scenario is the design with the swept keys replaced,
// converted as the keyed design file is and simulated as gsdsim simulates
// a design (the design's seed, so scenarios share their random numbers), on
// one thread or several (see scenario_pool.h), writing no file. Per scenario
// and statistic the row holds the simulated power, sd and average stopping
// time, the analytic power, and the expected events and subjects at the
// look where the statistic stops: the per-look means of the simulation
// (over the trials reaching each look) weighted by the simulated shares of
// trials stopping there.
SweepRun run_sweep(const KeyedTable& design, const SweepGrid& grid, const SweepOptions& options);

// The rows of one simulated scenario (every statistic of its design), as
// run_sweep reports them.
SweepScenario scenario_rows(const SimulationResult& simulation, long long index,
                            std::vector<std::string> values);

// The scenario's label for messages: "scenario 3 (accrual.subjects=400,
// treatment.hazard_ratio=0.7)".
std::string scenario_label(const SweepGrid& grid, long long scenario);

}  // namespace gsd
