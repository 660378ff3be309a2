#include "stats/collect_look_data.h"

namespace gsd {

void collect_look_data(const SimulatedTrial& trial, int n, float look_time,
                       LookData& data) {
  int m = 0;
  for (int i = 1; i <= n; ++i) {
    float follow_up = look_time - trial.entry_time[i];
    if (follow_up > trial.censor_time[i]) follow_up = trial.censor_time[i];
    if (!(follow_up > 0.0f)) continue;
    ++m;
    data.group[m] = trial.group[i];
    if (follow_up >= trial.event_time[i]) {
      data.obs_time[m] = trial.event_time[i];
      data.event[m] = 1;
    } else {
      data.obs_time[m] = follow_up;
      data.event[m] = 0;
    }
  }
  data.m = m;
}

}  // namespace gsd
