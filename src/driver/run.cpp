#include "driver/run.h"

#include <string>

#include "driver/design.h"
#include "driver/design_input.h"
#include "driver/design_summary.h"
#include "driver/report_file.h"
#include "driver/run_errors.h"
#include "text/list_input.h"

namespace gsd {

namespace {

int fatal(std::FILE* console, const std::string& message, int status) {
  std::fprintf(console, "gsdsim: error: %s\n", message.c_str());
  std::fflush(console);
  return status;
}

}  // namespace

int run_design(std::istream& input, std::FILE* console) {
  Design design;
  std::FILE* report = nullptr;
  try {
    read_design(input, console, design,
                [&](const Design& d) { report = open_report(d.report_name); });
    write_seed_line(report, design);
    write_design_summary(report, design);
    check_report(report, design.report_name);
    std::FILE* finished = report;
    report = nullptr;
    close_report(finished, design.report_name);
  } catch (const InputError& error) {
    if (report != nullptr) std::fclose(report);
    return fatal(console, error.what(), kExitInputError);
  } catch (const ReportError& error) {
    if (report != nullptr) std::fclose(report);
    return fatal(console, error.what(), kExitReportError);
  } catch (const RunError& error) {
    if (report != nullptr) std::fclose(report);
    return fatal(console, error.what(), kExitRunError);
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
