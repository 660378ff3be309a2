#include "driver/analytic_design.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "analytic/analytic_power.h"
#include "design/design.h"
#include "design/design_input.h"
#include "design/run_errors.h"
#include "report/analytic_table.h"
#include "sim/calibration.h"
#include "text/json_writer.h"
#include "text/list_input.h"

namespace gsd {

int analytic_design(std::istream& input, std::FILE* console, const std::string& json_path) {
  Design design;
  Calibration calibration;
  try {
    read_design(input, console, design, [](const Design&) {});
    // The calibration's report blocks and run-time estimate belong to a
    // run; they go to a sink in memory.
    char* sink_text = nullptr;
    std::size_t sink_size = 0;
    std::FILE* sink = open_memstream(&sink_text, &sink_size);
    if (sink == nullptr) throw RunError("cannot open a memory stream for the calibration");
    auto tables = std::make_unique<BoundaryTables>();
    try {
      calibrate(design, sink, sink, calibration, *tables, false);
    } catch (...) {
      std::fclose(sink);
      std::free(sink_text);
      throw;
    }
    std::fclose(sink);
    std::free(sink_text);
  } catch (const InputError& error) {
    return report_fatal_error(console, error.what(), kExitInputError);
  } catch (const RunError& error) {
    return report_fatal_error(console, error.what(), kExitRunError);
  }
  const AnalyticPower analytic = analytic_power(design, calibration.scale);
  if (!analytic.ok) return report_fatal_error(console, analytic.error.c_str(), kExitRunError);
  const std::string table = analytic_table(design, analytic);
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
