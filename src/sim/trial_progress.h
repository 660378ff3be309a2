#pragma once

namespace gsd {

// Told with 0 when the first trial starts, then after each trial has been
// added to the tallies, in trial order, with the number of trials done so
// far. Empty: nobody is told.
struct TrialProgress {
  void (*trial_done)(void* context, int trials_done) = nullptr;
  void* context = nullptr;
};

inline void tell_trial_done(const TrialProgress& progress, int trials_done) {
  if (progress.trial_done != nullptr) progress.trial_done(progress.context, trials_done);
}

}  // namespace gsd
