#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "driver/analytic_design.h"
#include "driver/check_design.h"
#include "driver/command_line.h"
#include "driver/output_file.h"
#include "driver/convert_design.h"
#include "driver/design_source.h"
#include "driver/keyed_form.h"
#include "design/design_template.h"
#include "driver/run.h"
#include "driver/sweep_command.h"
#include "design/run_errors.h"
#include "keyed/toml_template.h"
#include "text/list_input.h"

namespace {

constexpr const char* kVersion = "gsdsim " GSDSIM_VERSION;

}  // namespace

int main(int argc, char** argv) {
  using gsd::CommandLine;
  CommandLine command_line;
  std::string error;
  if (!gsd::parse_command_line(argc, argv, command_line, error)) {
    std::fprintf(stderr, "gsdsim: error: %s\n", error.c_str());
    return gsd::kExitUsageError;
  }
  switch (command_line.action) {
    case CommandLine::Action::kHelp:
      std::fputs(gsd::usage_text(), stdout);
      return gsd::kExitSuccess;
    case CommandLine::Action::kVersion:
      std::puts(kVersion);
      return gsd::kExitSuccess;
    case CommandLine::Action::kTemplate:
      std::fputs(command_line.template_format == gsd::DesignFormat::kToml
                     ? gsd::toml_design_template().c_str()
                     : gsd::design_template().c_str(),
                 stdout);
      return gsd::kExitSuccess;
    default:
      break;
  }

  // The page must not take the place of an input or of the other results.
  const std::string& html = command_line.html_path;
  if (!html.empty() && command_line.action == CommandLine::Action::kRun) {
    const char* clash = nullptr;
    if (!command_line.design_path.empty() && gsd::same_file(html, command_line.design_path)) {
      clash = "the design file";
    } else if (!command_line.json_path.empty() && gsd::same_file(html, command_line.json_path)) {
      clash = "the --json file";
    } else if (!command_line.sweep.csv_path.empty() &&
               gsd::same_file(html, command_line.sweep.csv_path)) {
      clash = "the --csv file";
    }
    if (clash != nullptr) {
      std::fprintf(stderr, "gsdsim: error: --html \"%s\" names %s; name another file\n",
                   html.c_str(), clash);
      return gsd::kExitUsageError;
    }
  }

  std::ifstream file;
  std::istream* input = &std::cin;
  if (!command_line.design_path.empty()) {
    file.open(command_line.design_path, std::ios::binary);
    if (!file) {
      const std::string message = "cannot open the design file \"" + command_line.design_path + "\"";
      return gsd::report_fatal_error(stdout, message.c_str(), gsd::kExitInputError);
    }
    input = &file;
  }
  const gsd::DesignFormat format = gsd::input_format(command_line);
  if (gsd::sweep_requested(command_line.sweep)) {
    return gsd::run_sweep_command(*input, format, command_line, stdout, stderr);
  }
  if (command_line.sweep.size_given) {
    return gsd::run_size_command(*input, format, command_line, stdout);
  }
  if (command_line.action == CommandLine::Action::kConvert) {
    return gsd::convert_design(*input, format, command_line.convert_to, stdout, stderr);
  }
  gsd::RunOptions options;
  // The page shows the design's keyed form, so the design's text is read
  // whole first (a run without --html reads it as it goes, as it always has).
  std::istringstream whole_text;
  if (!html.empty() && command_line.action == CommandLine::Action::kRun) {
    try {
      const std::string text = gsd::read_design_text(*input);
      options.keyed_design_text = gsd::keyed_form_text(text, format);
      whole_text.str(text);
      input = &whole_text;
    } catch (const gsd::InputError& error) {
      return gsd::report_fatal_error(stdout, error.what(), gsd::kExitInputError);
    }
  }
  const gsd::DesignSource source = gsd::design_source(*input, format);
  if (command_line.action == CommandLine::Action::kCheck) return gsd::check_design(source, stdout);
  if (command_line.action == CommandLine::Action::kAnalytic) {
    return gsd::analytic_design(source, stdout, command_line.json_path);
  }
  options.threads = command_line.threads;
  options.json_path = command_line.json_path;
  options.html_path = command_line.html_path;
  options.progress = stderr;
  return gsd::run_design(source, stdout, options);
}
