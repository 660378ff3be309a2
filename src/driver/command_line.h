#pragma once

#include <optional>
#include <string>

#include "driver/design_source.h"
#include "driver/sweep_options.h"

namespace gsd {

// What the command line asks for. Without arguments the program runs the
// design read from standard input, as it always has.
struct CommandLine {
  enum class Action { kRun, kCheck, kAnalytic, kTemplate, kConvert, kHelp, kVersion };
  Action action = Action::kRun;
  std::string design_path;  // empty: standard input
  int threads = 0;          // 0: every hardware thread
  std::string json_path;    // empty: no JSON results
  std::string html_path;    // empty: no HTML page
  // The form of the design file; none: by the file's name (see format_of_path).
  std::optional<DesignFormat> format;
  DesignFormat convert_to = DesignFormat::kToml;       // --convert
  DesignFormat template_format = DesignFormat::kClassic;  // --template
  SweepOptionsGiven sweep;  // --sweep, --csv, --shard, --size-for-power, --statistic
};

// The form of the design that `command_line` reads.
DesignFormat input_format(const CommandLine& command_line);

// Parses argv. Returns false with a message in `error` for an unknown
// option, a missing or malformed option value, or a second design file.
bool parse_command_line(int argc, const char* const* argv, CommandLine& command_line,
                        std::string& error);

// The text of --help.
const char* usage_text();

}  // namespace gsd
