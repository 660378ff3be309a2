#pragma once

#include <string>

namespace gsd {

// What the command line asks for. Without arguments the program runs the
// design read from standard input, as it always has.
struct CommandLine {
  enum class Action { kRun, kCheck, kAnalytic, kTemplate, kHelp, kVersion };
  Action action = Action::kRun;
  std::string design_path;  // empty: standard input
  int threads = 0;          // 0: every hardware thread
  std::string json_path;    // empty: no JSON results
};

// Parses argv. Returns false with a message in `error` for an unknown
// option, a missing or malformed option value, or a second design file.
bool parse_command_line(int argc, const char* const* argv, CommandLine& command_line,
                        std::string& error);

// The text of --help.
const char* usage_text();

}  // namespace gsd
