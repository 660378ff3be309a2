#include "driver/check_design.h"

#include <memory>
#include <string>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "design/design_input.h"
#include "report/analytic_table.h"
#include "report/design_summary.h"
#include "design/run_errors.h"
#include "sim/calibration.h"
#include "text/list_input.h"

namespace gsd {

int check_design(std::istream& input, std::FILE* console) {
  Design design;
  try {
    read_design(input, console, design, [](const Design&) {});
    write_seed_line(console, design);
    write_design_summary(console, design);
    Calibration calibration;
    auto tables = std::make_unique<BoundaryTables>();
    calibrate(design, console, console, calibration, *tables, false);
    const std::string analytic = analytic_power_lines(analytic_power(design, calibration.scale));
    std::fputs(analytic.c_str(), console);
  } catch (const InputError& error) {
    return report_fatal_error(console, error.what(), kExitInputError);
  } catch (const RunError& error) {
    return report_fatal_error(console, error.what(), kExitRunError);
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
