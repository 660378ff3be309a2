#pragma once

#include <string>
#include <string_view>

#include "report/sweep_result.h"

namespace gsd {

// What a sweep's page marks besides the scenarios: the power a sizing aims
// at and, when found, the subjects per trial that reach it.
struct SweepPageMarks {
  bool has_target = false;
  double target = 0.0;
  bool has_answer = false;
  double answer_subjects = 0.0;
};

// A sweep as one self-contained HTML page (the frame of html_page.h): per
// swept key and statistic a chart of the simulated power of every scenario
// against the key's value, with its 95 % Monte-Carlo interval, the analytic
// power as a line, one curve per combination of the other keys' values;
// the target as a level and the answer as a vertical where a key is
// accrual.subjects; then the table of every scenario. Values that are not
// numbers are placed at their position (1, 2, ...) with the values named in
// the caption. Figures shared with the sweep's JSON carry data-json paths as
// the single run's page does (e.g. "scenarios.0.statistics.1.power").
// `keyed_text`, the design's keyed form, is shown when not empty.
std::string sweep_html_report(const SweepResult& result, const SweepPageMarks& marks,
                              std::string_view keyed_text = {});

}  // namespace gsd
