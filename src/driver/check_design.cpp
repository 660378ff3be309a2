#include "driver/check_design.h"

#include <string>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "design/design_input.h"
#include "design/run_errors.h"
#include "report/analytic_table.h"
#include "report/run_report.h"
#include "sim/simulate_design.h"
#include "text/list_input.h"

namespace gsd {

namespace {

bool write_console(void* context, const char* text, std::size_t size) {
  std::fwrite(text, 1, size, static_cast<std::FILE*>(context));
  return true;
}

}  // namespace

int check_design(std::istream& input, std::FILE* console) {
  return check_design(design_source(input, DesignFormat::kClassic), console);
}

int check_design(const DesignSource& source, std::FILE* console) {
  Design design;
  try {
    source(console, design, [](const Design&) {});
  } catch (const InputError& error) {
    return report_fatal_error(console, error.what(), kExitInputError);
  }
  // The report's head and calibration blocks go to the console, in line
  // with the console's own lines.
  SimulationOptions simulation;
  simulation.calibrate_only = true;
  simulation.writer = &run_report_writer();
  simulation.report_sink = TextSink{write_console, console};
  simulation.console_sink = simulation.report_sink;
  const SimulationResult result = simulate_design(design, simulation);
  if (result.status != kExitSuccess) {
    return report_fatal_error(console, result.error.c_str(), result.status);
  }
  // After everything --check has always shown: the analytic power.
  const std::string analytic =
      analytic_power_lines(analytic_power(result.design, result.calibration.scale));
  std::fputs(analytic.c_str(), console);
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
