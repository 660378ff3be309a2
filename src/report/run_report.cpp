#include "report/run_report.h"

#include "report/design_summary.h"
#include "report/results_report.h"

namespace gsd {

namespace {

void write_report_head(std::FILE* report, const Design& design) {
  write_seed_line(report, design);
  write_design_summary(report, design);
}

}  // namespace

const ReportWriter& run_report_writer() {
  static constexpr ReportWriter kWriter{write_report_head, write_results};
  return kWriter;
}

}  // namespace gsd
