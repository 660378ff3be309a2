#pragma once

#include <string>
#include <string_view>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "sim/bound_tally.h"
#include "sim/calibration.h"
#include "sim/run_tally.h"

namespace gsd {

// The run as one self-contained HTML page (inline CSS and SVG; no script, no
// font or file from elsewhere), readable on screen and in print:
// - the design in words and its items by name;
// - the survival curves of both groups as simulated and the censoring
//   curves, with the look times marked;
// - per statistic the critical values on the Z scale at each look (the given
//   values of method 4; otherwise the mean and the 5 % to 95 % range of the
//   values the trials computed, from `bounds`), and the probabilities of
//   rejecting and of stopping at each look;
// - the cumulative power of every statistic by look with its 95 %
//   Monte-Carlo interval;
// - the mean subjects and events at each look.
// The page is written so that an XML parser reads it as well (every element
// closed, attributes quoted). Every figure that is also in the JSON results
// is marked data-json="path" data-value="the JSON's text of it", with path
// the JSON members and 0-based array indices joined by dots, e.g.
// "statistics.0.power". `bounds` may be null (recomputed bounds then show
// as not collected). `keyed_text`, the design's keyed (TOML) form, is shown
// with the design when not empty. With `analytic` (and analytic->ok) the
// page adds the analytic figures: the cumulative power by look as lines
// beside the simulated points, the power, the probability of rejecting at
// each look, the critical values at the expected information and the
// expected events, those shared with the JSON results marked by their paths
// ("analytic.statistics.0.power").
std::string html_report(const Design& design, const Calibration& calibration,
                        const RunTally& tally, const BoundTally* bounds,
                        std::string_view keyed_text = {},
                        const AnalyticPower* analytic = nullptr);

}  // namespace gsd
