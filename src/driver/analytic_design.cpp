#include "driver/analytic_design.h"

#include <cstdio>
#include <string>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "design/run_errors.h"
#include "report/analytic_table.h"
#include "sim/simulate_design.h"
#include "text/json_writer.h"
#include "text/list_input.h"

namespace gsd {

int analytic_design(const DesignSource& source, std::FILE* console, const std::string& json_path) {
  Design design;
  try {
    source(console, design, [](const Design&) {});
  } catch (const InputError& error) {
    return report_fatal_error(console, error.what(), kExitInputError);
  }
  // The calibration as a run does it (b raised, the error split, v0 and
  // v_last), without its text: no writer is given.
  SimulationOptions simulation;
  simulation.calibrate_only = true;
  const SimulationResult result = simulate_design(design, simulation);
  if (result.status != kExitSuccess) {
    return report_fatal_error(console, result.error.c_str(), result.status);
  }
  const AnalyticPower analytic = analytic_power(result.design, result.calibration.scale);
  if (!analytic.ok) return report_fatal_error(console, analytic.error.c_str(), kExitRunError);
  const std::string table = analytic_table(result.design, analytic);
  std::fputs(table.c_str(), console);
  std::fflush(console);
  if (!json_path.empty()) {
    JsonWriter json;
    json_begin_object(json);
    write_analytic_json(json, analytic);
    json_end_object(json);
    json.text += '\n';
    std::FILE* out = std::fopen(json_path.c_str(), "w");
    const bool written = out != nullptr &&
                         std::fwrite(json.text.data(), 1, json.text.size(), out) == json.text.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
      const std::string message = "cannot write the JSON results file \"" + json_path + "\"";
      return report_fatal_error(console, message.c_str(), kExitReportError);
    }
  }
  return kExitSuccess;
}

}  // namespace gsd
