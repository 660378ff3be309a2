#include "sim/simulation.h"

#include <cstdio>
#include <cstring>

#include "bounds/update_look_boundaries.h"
#include "design/method.h"
#include "model/generate_trial.h"
#include "stats/collect_look_data.h"
#include "stats/weighted_logrank.h"

namespace gsd {

namespace {

void warn_in_report(void* context, InverseWarning warning) {
  const TrialText& text = *static_cast<const TrialText*>(context);
  if (text.writer->inverse_warning != nullptr) text.writer->inverse_warning(text.report, warning);
}

}  // namespace

InverseWarnings inverse_warnings(const TrialText& text) {
  if (text.writer == nullptr) return InverseWarnings{};
  return InverseWarnings{warn_in_report, const_cast<TrialText*>(&text)};
}

void write_trial_notes(const TrialText& text, const Design& d, int trial_index,
                       const TrialOutcome& outcome) {
  if (text.writer == nullptr) return;
  if (outcome.empty_looks != 0 && text.writer->empty_look != nullptr) {
    for (int i = 1; i <= d.look_count; ++i) {
      if ((outcome.empty_looks & (1u << i)) != 0) {
        text.writer->empty_look(text.report, outcome.look_time[i], trial_index);
      }
    }
  }
  if (outcome.v0_too_large != 0 && text.writer->v0_too_large != nullptr) {
    for (int j = 1; j <= d.stat_count; ++j) {
      if ((outcome.v0_too_large & (1u << j)) != 0) text.writer->v0_too_large(text.console, j);
    }
  }
}

std::string trial_runaway_message(int trial_index, const GenerationStatus& status) {
  const char* list = status.list == CrossoverList::kDropIn ? "drop-in" : "drop-out";
  const char* other = status.list == CrossoverList::kDropIn ? "treatment" : "control";
  char error[512];
  std::snprintf(error, sizeof error,
                "the %s entry %d (time %g after entry) cannot be simulated: after %d redraws "
                "no event time of the %s group came later than the crossover time, so that "
                "group's survival curve leaves practically no chance of surviving past it",
                list, status.index, static_cast<double>(status.time), kCrossoverRedrawLimit,
                other);
  return "trial " + std::to_string(trial_index) + ": " + error;
}

void start_simulation(const Design& design, TrialWork& work) {
  std::memcpy(work.tables.cum_alpha, design.cum_alpha, sizeof work.tables.cum_alpha);
}

void record_look_decisions(const Design& d, int i, float look_time, const float* Z,
                           const BoundaryTables& tables, int* stopped, RunTally& tally) {
  for (int j = 1; j <= d.stat_count; ++j) {
    if (stopped[j] != 0) continue;
    // A not-a-number Z satisfies neither comparison and runs on.
    const float bound = tables.bound[j][i];
    const bool rejects = Z[j] >= bound || (d.sides == 2 && Z[j] <= -bound);
    if (rejects) tally.rej[j] += 1;
    if (rejects || i == d.look_count) {
      stopped[j] = 1;
      tally.stop_sum[j] = tally.stop_sum[j] + look_time;
    }
  }
}

void trial_look_times(const Design& d, int subject_count, const SimulatedTrial& trial,
                      EventLookScratch& scratch, float* T) {
  if (uses_event_looks(d)) {
    event_look_times(trial, subject_count, d.look_count, d.look_events, d.max_time, scratch, T);
    return;
  }
  for (int i = 1; i <= d.look_count; ++i) T[i] = d.look_times[i];
}

void analyse_trial(const Design& d, const Calibration& calibration,
                   const SimulatedTrial& trial, TrialWork& work, int& boundary_failed,
                   TrialOutcome& outcome) {
  const int L = d.stat_count;
  const int K = d.look_count;
  outcome = TrialOutcome{};
  unsigned empty_looks = 0;
  trial_look_times(d, calibration.subject_count, trial, work.event_scratch, outcome.look_time);

  for (int i = 1; i <= K; ++i) {
    int stopped_count = 0;
    for (int j = 1; j <= L; ++j) stopped_count += outcome.stopped[j];
    if (stopped_count == L) break;

    const float T = outcome.look_time[i];
    collect_look_data(trial, calibration.subject_count, T, work.look);
    outcome.reached_looks |= 1u << i;
    outcome.look_subjects[i] = work.look.m;
    if (work.look.m == 0) {
      empty_looks |= 1u << i;
      continue;
    }
    sort_look_data_for_statistics(work.look, work.sort_scratch);
    outcome.look_events[i] = weighted_logrank(work.look, L, d.rho, d.tau, work.Z, work.V);

    if (!has_method(d, Method::kGivenBounds)) {
      for (int j = 1; j <= L; ++j) work.tables.obs_info[j][i] = work.V[j];
      const BoundaryUpdate use =
          update_look_boundaries(i, d, calibration.scale, work.tables, boundary_failed);
      outcome.v0_too_large |= use.v0_too_large;
      // The update reads the entries of looks 1..i-1; those of this trial's
      // empty looks are what earlier trials left.
      outcome.carried_looks |= empty_looks;
      outcome.written_looks |= 1u << i;
      for (int j = 1; j <= L; ++j) outcome.bounds[j][i] = work.tables.bound[j][i];
      if (use.read_before_set && !outcome.flag_set) outcome.flag_read = true;
      if (use.set) outcome.flag_set = true;
    }

    record_look_decisions(d, i, T, work.Z, work.tables, outcome.stopped, outcome.tally);
    for (int j = 1; j <= L; ++j) {
      if (outcome.stopped[j] != 0 && outcome.stop_look[j] == 0) outcome.stop_look[j] = i;
    }
  }
  outcome.empty_looks = empty_looks;
}

void add_to_tally(const Design& d, const TrialOutcome& outcome, RunTally& tally,
                  BoundTally* bounds) {
  for (int j = 1; j <= d.stat_count; ++j) {
    // Entry 0 of the per-look counts: trials in which the statistic never
    // stopped (its last look had no subject).
    if (outcome.stopped[j] == 0) {
      tally.looks.stopped[j][0] += 1;
      continue;
    }
    // The trial's own sum is 0 + t(i) = t(i) exactly.
    tally.rej[j] += outcome.tally.rej[j];
    tally.stop_sum[j] = tally.stop_sum[j] + outcome.tally.stop_sum[j];
    tally.looks.stopped[j][outcome.stop_look[j]] += 1;
    tally.looks.rejected[j][outcome.stop_look[j]] += outcome.tally.rej[j];
  }
  for (int i = 1; i <= d.look_count; ++i) {
    if ((outcome.reached_looks & (1u << i)) == 0) continue;
    tally.looks.reached[i] += 1;
    tally.looks.subjects[i] += outcome.look_subjects[i];
    tally.looks.events[i] += outcome.look_events[i];
    const float T = outcome.look_time[i];
    tally.looks.time_sum[i] += T;
    if (tally.looks.reached[i] == 1 || T < tally.looks.time_min[i]) tally.looks.time_min[i] = T;
    if (tally.looks.reached[i] == 1 || T > tally.looks.time_max[i]) tally.looks.time_max[i] = T;
  }
  if (bounds == nullptr) return;
  for (int i = 1; i <= d.look_count; ++i) {
    if ((outcome.written_looks & (1u << i)) == 0) continue;
    for (int j = 1; j <= d.stat_count; ++j) add_bound(*bounds, j, i, outcome.bounds[j][i]);
  }
}

bool simulate_trial(const Design& d, const Calibration& calibration, int trial_index,
                    SubtractiveGenerator& generator, int& seed, TrialWork& work,
                    int& boundary_failed, RunTally& tally, const TrialText& text,
                    GenerationStatus& failure, BoundTally* bounds) {
  const GenerationStatus status = generate_trial(d, calibration.subject_count, generator, seed,
                                                 work.trial, inverse_warnings(text));
  if (!status.ok) {
    failure = status;
    return false;
  }
  TrialOutcome outcome;
  analyse_trial(d, calibration, work.trial, work, boundary_failed, outcome);
  add_to_tally(d, outcome, tally, bounds);
  write_trial_notes(text, d, trial_index, outcome);
  return true;
}

}  // namespace gsd
