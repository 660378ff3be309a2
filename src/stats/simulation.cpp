#include "stats/simulation.h"

#include <cstring>

#include "bounds/update_look_boundaries.h"
#include "model/generate_trial.h"
#include "stats/collect_look_data.h"
#include "stats/weighted_logrank.h"
#include "text/edit_output.h"

namespace gsd {

namespace {

void write_empty_look(std::FILE* report, float look_time, int trial_index) {
  Line line;
  start_list_line(line);
  put_text(line, "no life enters before");
  put_list_real(line, look_time);
  write_line(report, line);
  start_list_line(line);
  put_text(line, "no. of simulation=");
  put_list_int(line, trial_index);
  write_line(report, line);
}

void describe_runaway(const GenerationStatus& status, char* error, int error_capacity) {
  const char* list = status.list == CrossoverList::kDropIn ? "drop-in" : "drop-out";
  const char* other = status.list == CrossoverList::kDropIn ? "treatment" : "control";
  std::snprintf(error, static_cast<std::size_t>(error_capacity),
                "the %s entry %d (time %g after entry) cannot be simulated: after %d redraws "
                "no event time of the %s group came later than the crossover time, so that "
                "group's survival curve leaves practically no chance of surviving past it",
                list, status.index, static_cast<double>(status.time), kCrossoverRedrawLimit,
                other);
}

}  // namespace

void start_simulation(const Design& design, TrialWork& work) {
  std::memcpy(work.tables.cum_alpha, design.cum_alpha, sizeof work.tables.cum_alpha);
}

void record_look_decisions(const Design& d, int i, const float* Z, const BoundaryTables& tables,
                           int* stopped, RunTally& tally) {
  for (int j = 1; j <= d.stat_count; ++j) {
    if (stopped[j] != 0) continue;
    // A not-a-number Z satisfies neither comparison and runs on.
    const float bound = tables.bound[j][i];
    const bool rejects = Z[j] >= bound || (d.sides == 2 && Z[j] <= -bound);
    if (rejects) tally.rej[j] += 1;
    if (rejects || i == d.look_count) {
      stopped[j] = 1;
      tally.stop_sum[j] = tally.stop_sum[j] + d.look_times[i];
    }
  }
}

bool simulate_trial(const Design& d, const Calibration& calibration, int trial_index,
                    SubtractiveGenerator& generator, int& seed, TrialWork& work,
                    int& boundary_failed, RunTally& tally, std::FILE* report,
                    std::FILE* console, char* error, int error_capacity) {
  const GenerationStatus status =
      generate_trial(d, calibration.subject_count, generator, seed, work.trial, report);
  if (!status.ok) {
    describe_runaway(status, error, error_capacity);
    return false;
  }
  const int L = d.stat_count;
  const int K = d.look_count;
  for (int j = 1; j <= L; ++j) work.stopped[j] = 0;

  for (int i = 1; i <= K; ++i) {
    int stopped_count = 0;
    for (int j = 1; j <= L; ++j) stopped_count += work.stopped[j];
    if (stopped_count == L) break;

    const float T = d.look_times[i];
    collect_look_data(work.trial, calibration.subject_count, T, work.look);
    if (work.look.m == 0) {
      write_empty_look(report, T, trial_index);
      continue;
    }
    sort_look_data(work.look, work.sort_scratch);
    weighted_logrank(work.look, L, d.rho, d.tau, work.Z, work.V);

    if (d.method_code != 4) {
      for (int j = 1; j <= L; ++j) work.tables.obs_info[j][i] = work.V[j];
      update_look_boundaries(i, d, calibration.scale, work.tables, boundary_failed, console);
    }

    record_look_decisions(d, i, work.Z, work.tables, work.stopped, tally);
  }
  return true;
}

}  // namespace gsd
