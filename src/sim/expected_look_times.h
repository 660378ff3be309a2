#pragma once

#include "design/design.h"

namespace gsd {

// Under event-driven looks, sets look_times(1..K) to the expected calendar
// times of the event targets under the design's alternative (the times at
// which the expected total events reach them, expected_time_of_events in
// model/expected_counts.h), max_time for a target not expected by then,
// rounded to float. These times stand for the looks wherever a single
// time per look is needed: the null variances (and with them v0, v_last and
// the Haybittle-type c), the design summary and the analytic figures. The
// simulated trials look at their own times. Calendar-time designs are left
// as they are. Call once, after the design is read and before the summary.
void set_expected_look_times(Design& design);

}  // namespace gsd
