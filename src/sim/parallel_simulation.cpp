#include "sim/parallel_simulation.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "design/run_errors.h"
#include "model/generate_trial.h"
#include "sim/output_buffer.h"
#include "sim/simulation.h"

namespace gsd {

// Why analysing trials concurrently gives the one-thread result exactly.
//
// A trial's looks are a deterministic function of its generated subjects and
// of the state it starts with: boundary_failed and the tables bound,
// obs_info and cum_alpha. Of that state it can only ever read
//  - the entries of bound and obs_info at looks i < k when look k runs the
//    boundary update; the entries of looks this trial analysed it wrote
//    itself first, so only those of its looks without subjects come from
//    earlier trials (TrialOutcome::carried_looks, a superset of what the
//    update actually reads);
//  - boundary_failed, in the failure rule, before the trial's first
//    recursion sets it (TrialOutcome::flag_read, reported by the update);
//  - cum_alpha(k), but only right after the update wrote it at the same look
//    (methods 2 and 3) or never written at all (method 1), so each thread's
//    copy from the design is always the one-thread value;
//  - bound at the current look for the decisions: just written by the
//    update, or under method 4 the calibrated value that no trial writes.
// Each trial is analysed from a copy of the state as committed at the time
// (the guess), with the guess kept. Trials are committed strictly in order,
// holding the true state the one-thread loop would hold: if the guess and
// the true state agree, bit for bit, on everything the trial may have read,
// the trial read the same values, so it did the same; otherwise it is
// analysed again from the true state, at its turn. Committing copies into the
// true state exactly the entries the trial wrote (its analysed looks; the
// flag when a recursion ran), adds its tallies (stop_sum is a running
// single-precision sum, so the order of additions matters), and passes on
// its generation lines, then writes its notes (looks without subjects,
// statistics short of v0), in that order. Generation is the only part that
// writes as it goes (the inverse's warnings), so only its lines wait in the
// slot; the notes are flags of the outcome, turned into lines at the commit.

namespace {

// The state carried from trial to trial that a trial may read.
struct CarriedState {
  float bound[kStatCapacity + 1][kLookCapacity + 1];
  float obs_info[kStatCapacity + 1][kLookCapacity + 1];
  int boundary_failed;
};

enum class SlotState { kFree, kGenerated, kAnalysing, kAnalysed, kFailed };

struct Slot {
  SlotState state = SlotState::kFree;
  std::unique_ptr<SimulatedTrial> trial = std::make_unique<SimulatedTrial>();
  GenerationStatus status;
  OutputBuffer generation_report;
  CarriedState guess;
  CarriedState left;
  TrialOutcome outcome;
};

constexpr std::size_t kBufferCapacity = 4096;

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class TrialPipeline {
 public:
  TrialPipeline(const Design& design, const Calibration& calibration,
                SubtractiveGenerator& generator, int& seed, const BoundaryTables& calibrated,
                RunTally& tally, const TrialText& text, int threads,
                const TrialProgress& progress, BoundTally* bounds)
      : d_(design),
        calibration_(calibration),
        generator_(generator),
        seed_(seed),
        tally_(tally),
        bounds_(bounds),
        text_(text),
        progress_(progress),
        slots_(static_cast<std::size_t>(4 * threads)) {
    std::memcpy(truth_.bound, calibrated.bound, sizeof truth_.bound);
    std::memcpy(truth_.obs_info, calibrated.obs_info, sizeof truth_.obs_info);
    truth_.boundary_failed = 0;
    for (Slot& slot : slots_) {
      if (!open_output_buffer(slot.generation_report, kBufferCapacity)) {
        throw RunError("cannot make an in-memory output buffer for the trials");
      }
    }
  }

  ~TrialPipeline() {
    for (Slot& slot : slots_) {
      close_output_buffer(slot.generation_report);
    }
  }

  // One thread's share of the work, until every trial is committed.
  void work(TrialWork& work) {
    start_simulation(d_, work);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      if (!committing_ && next_commit_ < next_generate_ &&
          slot(next_commit_).state == SlotState::kAnalysed) {
        committing_ = true;
        while (next_commit_ < next_generate_ &&
               slot(next_commit_).state == SlotState::kAnalysed) {
          const int s = next_commit_;
          lock.unlock();
          commit(s, work);
          lock.lock();
          slot(s).state = SlotState::kFree;
          ++next_commit_;
        }
        committing_ = false;
        changed_.notify_all();
        continue;
      }
      if (!generating_ && !generation_over_ &&
          next_generate_ < next_commit_ + static_cast<int>(slots_.size())) {
        generating_ = true;
        const int s = next_generate_;
        lock.unlock();
        const bool ok = generate(s);
        lock.lock();
        generating_ = false;
        if (ok) {
          slot(s).state = SlotState::kGenerated;
          ++next_generate_;
          if (next_generate_ > d_.sim_count) generation_over_ = true;
        } else {
          slot(s).state = SlotState::kFailed;
          failed_trial_ = s;
          generation_over_ = true;
        }
        changed_.notify_all();
        continue;
      }
      int s = next_commit_;
      while (s < next_generate_ && slot(s).state != SlotState::kGenerated) ++s;
      if (s < next_generate_) {
        Slot& claimed = slot(s);
        claimed.state = SlotState::kAnalysing;
        claimed.guess = truth_;
        lock.unlock();
        analyse(s, claimed.guess, work);
        lock.lock();
        claimed.state = SlotState::kAnalysed;
        changed_.notify_all();
        continue;
      }
      if (generation_over_ && next_commit_ == next_generate_) return;
      changed_.wait(lock);
    }
  }

  // After every thread has returned: the trial whose generation failed, if
  // any, with its generation lines passed on.
  void finish() {
    if (failed_trial_ == 0) return;
    Slot& failed = slot(failed_trial_);
    pass_on(failed.generation_report, text_.report);
    throw RunError(trial_runaway_message(failed_trial_, failed.status));
  }

 private:
  Slot& slot(int s) { return slots_[static_cast<std::size_t>(s) % slots_.size()]; }

  bool generate(int s) {
    Slot& target = slot(s);
    clear_output_buffer(target.generation_report);
    const TrialText slot_text{text_.writer, target.generation_report.file, nullptr};
    target.status = generate_trial(d_, calibration_.subject_count, generator_, seed_,
                                   *target.trial, inverse_warnings(slot_text));
    return target.status.ok;
  }

  // The looks of trial s from `start`; what they leave goes into the slot.
  void analyse(int s, const CarriedState& start, TrialWork& work) {
    Slot& target = slot(s);
    std::memcpy(work.tables.bound, start.bound, sizeof start.bound);
    std::memcpy(work.tables.obs_info, start.obs_info, sizeof start.obs_info);
    int boundary_failed = start.boundary_failed;
    analyse_trial(d_, calibration_, *target.trial, work, boundary_failed, target.outcome);
    std::memcpy(target.left.bound, work.tables.bound, sizeof target.left.bound);
    std::memcpy(target.left.obs_info, work.tables.obs_info, sizeof target.left.obs_info);
    target.left.boundary_failed = boundary_failed;
  }

  // Whether `start` and the true state agree on what the trial may have read.
  bool guess_holds(const Slot& done) const {
    const TrialOutcome& o = done.outcome;
    if (o.flag_read && done.guess.boundary_failed != truth_.boundary_failed) return false;
    for (int i = 1; i <= d_.look_count; ++i) {
      if ((o.carried_looks & (1u << i)) == 0) continue;
      for (int j = 1; j <= d_.stat_count; ++j) {
        if (!same_bits(done.guess.bound[j][i], truth_.bound[j][i]) ||
            !same_bits(done.guess.obs_info[j][i], truth_.obs_info[j][i])) {
          return false;
        }
      }
    }
    return true;
  }

  void commit(int s, TrialWork& work) {
    Slot& done = slot(s);
    if (!guess_holds(done)) analyse(s, truth_, work);
    const TrialOutcome& o = done.outcome;
    // Only this thread writes truth_; others copy it under the lock.
    {
      std::lock_guard<std::mutex> guard(mutex_);
      for (int i = 1; i <= d_.look_count; ++i) {
        if ((o.written_looks & (1u << i)) == 0) continue;
        for (int j = 1; j <= d_.stat_count; ++j) {
          truth_.bound[j][i] = done.left.bound[j][i];
          truth_.obs_info[j][i] = done.left.obs_info[j][i];
        }
      }
      if (o.flag_set) truth_.boundary_failed = done.left.boundary_failed;
    }
    add_to_tally(d_, o, tally_, bounds_);
    pass_on(done.generation_report, text_.report);
    write_trial_notes(text_, d_, s, o);
    tell_trial_done(progress_, s);
  }

  const Design& d_;
  const Calibration& calibration_;
  SubtractiveGenerator& generator_;
  int& seed_;
  RunTally& tally_;
  BoundTally* bounds_;
  const TrialText text_;
  const TrialProgress& progress_;
  std::vector<Slot> slots_;
  CarriedState truth_;

  std::mutex mutex_;
  std::condition_variable changed_;
  int next_generate_ = 1;
  int next_commit_ = 1;
  bool generating_ = false;
  bool committing_ = false;
  bool generation_over_ = false;
  int failed_trial_ = 0;
};

}  // namespace

void simulate_trials_in_parallel(const Design& design, const Calibration& calibration,
                                 SubtractiveGenerator& generator, int& seed,
                                 const BoundaryTables& calibrated, RunTally& tally,
                                 const TrialText& text, int threads,
                                 const TrialProgress& progress, BoundTally* bounds) {
  if (design.sim_count < 1) return;
  TrialPipeline pipeline(design, calibration, generator, seed, calibrated, tally, text, threads,
                         progress, bounds);
  std::vector<std::unique_ptr<TrialWork>> works;
  for (int t = 0; t < threads; ++t) works.push_back(std::make_unique<TrialWork>());
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) {
    helpers.emplace_back([&pipeline, &works, t] { pipeline.work(*works[static_cast<std::size_t>(t)]); });
  }
  pipeline.work(*works[0]);
  for (std::thread& helper : helpers) helper.join();
  pipeline.finish();
}

}  // namespace gsd
