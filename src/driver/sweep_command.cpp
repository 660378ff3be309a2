#include "driver/sweep_command.h"

#include <cstdio>
#include <string>

#include "design/run_errors.h"
#include "driver/output_file.h"
#include "driver/progress_meter.h"
#include "keyed/keyed_table.h"
#include "keyed/toml_design.h"
#include "report/sweep_html_report.h"
#include "sweep/run_sweep.h"
#include "sweep/size_for_power.h"
#include "sweep/sweep_csv.h"
#include "sweep/sweep_json.h"
#include "sweep/sweep_table.h"
#include "text/list_input.h"

namespace gsd {

namespace {

// The keyed design's table, or the status of its refusal (message written).
bool read_table(std::istream& input, DesignFormat format, const char* option, std::FILE* console,
                KeyedTable& table, int& status) {
  if (format != DesignFormat::kToml) {
    const std::string message = std::string(option) +
                                " needs a keyed design (a .toml file, or --format toml); "
                                "gsdsim --convert toml writes the keyed form of a positional design";
    status = report_fatal_error(console, message.c_str(), kExitUsageError);
    return false;
  }
  try {
    table = parse_keyed_table(read_design_text(input));
  } catch (const InputError& error) {
    status = report_fatal_error(console, error.what(), kExitInputError);
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
  const SweepOptionsGiven& given = command_line.sweep;
  // The tables must not take the place of the design or of each other.
  const std::string& csv = given.csv_path;
  const std::string& json = command_line.json_path;
  const char* clash = nullptr;
  if (!csv.empty() && same_file(csv, command_line.design_path)) clash = "--csv names the design file";
  if (!json.empty() && same_file(json, command_line.design_path)) clash = "--json names the design file";
  if (!csv.empty() && !json.empty() && same_file(csv, json)) clash = "--csv and --json name one file";
  if (clash != nullptr) return report_fatal_error(console, clash, kExitUsageError);
  KeyedTable table;
  int status = kExitSuccess;
  if (!read_table(input, format, "--sweep", console, table, status)) return status;
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
  try {
    if (!given.csv_path.empty()) write_file_by_rename(given.csv_path, sweep_csv(result), "CSV table");
    if (!command_line.json_path.empty()) {
      write_file_by_rename(command_line.json_path, sweep_json(result), "JSON table");
    }
  } catch (const ReportError& error) {
    return report_fatal_error(console, error.what(), kExitReportError);
  }
  if (!command_line.html_path.empty()) {
    // The design swept, as its keyed text; the sweep ran, so it reads.
    std::string keyed_text;
    try {
      keyed_text = toml_design_text(keyed_design_of(table));
    } catch (const InputError&) {
    }
    try {
      write_file_by_rename(command_line.html_path,
                           sweep_html_report(result, SweepPageMarks{}, keyed_text), "HTML page");
    } catch (const ReportError& failure) {
      return report_fatal_error(console, failure.what(), kExitReportError);
    }
  }
  std::fflush(console);
  return kExitSuccess;
}

int run_size_command(std::istream& input, DesignFormat format, const CommandLine& command_line,
                     std::FILE* console) {
  KeyedTable table;
  int status = kExitSuccess;
  if (!read_table(input, format, "--size-for-power", console, table, status)) return status;
  SizingOptions options;
  options.target = command_line.sweep.size_target;
  options.statistic = command_line.sweep.statistic > 0 ? command_line.sweep.statistic : 1;
  options.threads = command_line.threads;
  const SizingRun run = size_for_power(table, options);
  std::fputs(run.notes.c_str(), console);
  if (run.status != kExitSuccess) return report_fatal_error(console, run.error.c_str(), run.status);
  std::fputs(run.text.c_str(), console);
  if (!command_line.html_path.empty()) {
    // The search's simulations against the subjects, the target and the
    // answer marked.
    SweepPageMarks marks;
    marks.has_target = true;
    marks.target = options.target;
    marks.has_answer = true;
    marks.answer_subjects = run.search.found.subjects;
    std::string keyed_text;
    try {
      keyed_text = toml_design_text(keyed_design_of(table));
    } catch (const InputError&) {
    }
    try {
      write_file_by_rename(command_line.html_path, sweep_html_report(run.page, marks, keyed_text),
                           "HTML page");
    } catch (const ReportError& failure) {
      return report_fatal_error(console, failure.what(), kExitReportError);
    }
  }
  std::fflush(console);
  return kExitSuccess;
}

}  // namespace gsd
