#include "sim/expected_look_times.h"

#include "model/expected_events.h"
#include "model/generate_trial.h"

namespace gsd {

void set_expected_look_times(Design& d) {
  if (!uses_event_looks(d)) return;
  const int subjects = subject_count(d);
  for (int i = 1; i <= d.look_count; ++i) {
    d.look_times[i] = expected_time_of_target(d, subjects, d.look_events[i], d.max_time);
  }
}

}  // namespace gsd
