#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "driver/check_design.h"
#include "driver/command_line.h"
#include "driver/convert_design.h"
#include "design/design_template.h"
#include "driver/run.h"
#include "design/run_errors.h"
#include "keyed/toml_template.h"

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
  if (command_line.action == CommandLine::Action::kConvert) {
    return gsd::convert_design(*input, format, command_line.convert_to, stdout, stderr);
  }
  const gsd::DesignSource source = gsd::design_source(*input, format);
  if (command_line.action == CommandLine::Action::kCheck) return gsd::check_design(source, stdout);
  gsd::RunOptions options;
  options.threads = command_line.threads;
  options.json_path = command_line.json_path;
  options.progress = stderr;
  return gsd::run_design(source, stdout, options);
}
