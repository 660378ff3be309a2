#include "driver/check_design.h"

#include <memory>
#include <string>
#include <vector>

#include "design/design.h"
#include "design/design_input.h"
#include "driver/design_warnings.h"
#include "report/design_summary.h"
#include "design/run_errors.h"
#include "sim/calibration.h"
#include "text/list_input.h"

namespace gsd {

int check_design(std::istream& input, std::FILE* console) {
  Design design;
  try {
    std::vector<std::string> warnings;
    read_design(input, console, design, [](const Design&) {}, &warnings);
    write_warnings(console, warnings);
    write_seed_line(console, design);
    write_design_summary(console, design);
    Calibration calibration;
    auto tables = std::make_unique<BoundaryTables>();
    calibrate(design, console, console, calibration, *tables, false);
  } catch (const InputError& error) {
    return report_fatal_error(console, error.what(), kExitInputError);
  } catch (const RunError& error) {
    return report_fatal_error(console, error.what(), kExitRunError);
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
