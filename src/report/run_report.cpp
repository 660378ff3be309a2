#include "report/run_report.h"

#include "report/calibration_report.h"
#include "report/design_summary.h"
#include "report/results_report.h"
#include "report/trial_notes.h"

namespace gsd {

namespace {

void write_report_head(std::FILE* report, const Design& design) {
  write_seed_line(report, design);
  write_design_summary(report, design);
}

}  // namespace

const ReportWriter& run_report_writer() {
  static constexpr ReportWriter kWriter{write_report_head,     write_calibration,
                                        write_inverse_warning, write_empty_look,
                                        write_v0_too_large,    write_results};
  return kWriter;
}

}  // namespace gsd
