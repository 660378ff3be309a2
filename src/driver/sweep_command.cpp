#include "driver/sweep_command.h"

#include <cstdio>
#include <string>
#include <unistd.h>

#include <toml++/toml.h>

#include "design/run_errors.h"
#include "driver/progress_meter.h"
#include "keyed/toml_design.h"
#include "sweep/run_sweep.h"
#include "sweep/sweep_csv.h"
#include "sweep/sweep_json.h"
#include "sweep/sweep_table.h"
#include "text/list_input.h"

namespace gsd {

namespace {

// The keyed design's table, or the status of its refusal (message written).
bool read_table(std::istream& input, DesignFormat format, const char* option, std::FILE* console,
                toml::table& table, int& status) {
  if (format != DesignFormat::kToml) {
    const std::string message = std::string(option) +
                                " needs a keyed design (a .toml file, or --format toml); "
                                "gsdsim --convert toml writes the keyed form of a positional design";
    status = report_fatal_error(console, message.c_str(), kExitUsageError);
    return false;
  }
  try {
    table = parse_toml_design(read_design_text(input));
  } catch (const InputError& error) {
    status = report_fatal_error(console, error.what(), kExitInputError);
    return false;
  }
  return true;
}

// Writes `text` to `path` through a temporary file renamed over it, so that
// a failed write leaves an earlier file of that name as it was.
bool write_result_file(const std::string& path, const std::string& text, std::string& error) {
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  std::FILE* out = std::fopen(temporary.c_str(), "wx");
  if (out == nullptr) {
    error = "cannot create \"" + temporary + "\" to write \"" + path + "\"";
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  if (std::fclose(out) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    error = "cannot write \"" + path + "\"";
    return false;
  }
  return true;
}

void show_scenarios_done(void* meter, int done, int) {
  show_progress(*static_cast<ProgressMeter*>(meter), done);
}

}  // namespace

int run_sweep_command(std::istream& input, DesignFormat format, const CommandLine& command_line,
                      std::FILE* console, std::FILE* progress) {
  toml::table table;
  int status = kExitSuccess;
  if (!read_table(input, format, "--sweep", console, table, status)) return status;
  const SweepOptionsGiven& given = command_line.sweep;
  SweepOptions options;
  options.threads = command_line.threads;
  options.shard = given.shard;
  ProgressMeter meter;
  meter.unit = "scenarios";
  long long in_shard = 0;
  for (long long s = given.shard.index; s <= scenario_count(given.grid); s += given.shard.count) {
    ++in_shard;
  }
  start_progress(meter, progress, static_cast<int>(in_shard));
  options.scenario_done = show_scenarios_done;
  options.context = &meter;
  const SweepRun run = run_sweep(table, given.grid, options);
  finish_progress(meter);
  if (run.status != kExitSuccess) {
    std::fputs(run.notes.c_str(), console);
    return report_fatal_error(console, run.error.c_str(), run.status);
  }
  const SweepResult& result = run.result;
  std::fputs(run.notes.c_str(), console);
  std::string heading = "Sweep of " + std::to_string(result.scenario_count) + " scenario" +
                        (result.scenario_count == 1 ? "" : "s");
  if (result.shard_count > 1) {
    heading += ", shard " + std::to_string(result.shard_index) + " of " +
               std::to_string(result.shard_count) + ": " +
               std::to_string(result.scenarios.size()) + " of them";
  }
  std::fprintf(console, "%s\n%s", heading.c_str(), sweep_table(result).c_str());
  std::string error;
  if (!given.csv_path.empty() && !write_result_file(given.csv_path, sweep_csv(result), error)) {
    return report_fatal_error(console, error.c_str(), kExitReportError);
  }
  if (!command_line.json_path.empty() &&
      !write_result_file(command_line.json_path, sweep_json(result), error)) {
    return report_fatal_error(console, error.c_str(), kExitReportError);
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
