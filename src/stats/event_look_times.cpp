#include "stats/event_look_times.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gsd {

namespace {

// collect_look_data's rule for one subject at look time T.
bool event_counted(float T, float entry_time, float event_time, float censor_time) {
  float follow_up = T - entry_time;
  if (follow_up > censor_time) follow_up = censor_time;
  return follow_up > 0.0f && follow_up >= event_time;
}

}  // namespace

float event_observed_time(float entry_time, float event_time, float censor_time) {
  constexpr float kNever = std::numeric_limits<float>::infinity();
  if (!(event_time <= censor_time) || !(censor_time > 0.0f) || !std::isfinite(event_time)) {
    return kNever;
  }
  const float c = static_cast<float>(static_cast<double>(entry_time) +
                                     static_cast<double>(event_time));
  if (event_counted(c, entry_time, event_time, censor_time)) return c;
  return std::nextafter(c, kNever);
}

void event_look_times(const SimulatedTrial& trial, int n, int K, const int* look_events,
                      float max_time, EventLookScratch& scratch, float* T) {
  float* observed = scratch.observed;
  int count = 0;
  for (int i = 1; i <= n; ++i) {
    const float t =
        event_observed_time(trial.entry_time[i], trial.event_time[i], trial.censor_time[i]);
    if (t <= max_time) observed[count++] = t;
  }
  // After each selection the entries above the target's position are no
  // smaller than it, so the next target is selected among them alone.
  int first = 0;
  for (int k = 1; k <= K; ++k) {
    const int target = look_events[k];
    if (target > count) {
      T[k] = max_time;
      continue;
    }
    std::nth_element(observed + first, observed + (target - 1), observed + count);
    T[k] = observed[target - 1];
    first = target;
  }
}

}  // namespace gsd
