#include "sim/expected_look_times.h"

#include "model/expected_counts.h"

namespace gsd {

void set_expected_look_times(Design& d) {
  if (!uses_event_looks(d)) return;
  for (int i = 1; i <= d.look_count; ++i) {
    d.look_times[i] = static_cast<float>(
        expected_time_of_events(d, d.look_events[i], static_cast<double>(d.max_time)));
  }
}

}  // namespace gsd
