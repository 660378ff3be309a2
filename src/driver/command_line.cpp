#include "driver/command_line.h"

#include <string_view>

#include "text/list_input.h"

namespace gsd {

namespace {

bool parse_format(std::string_view value, DesignFormat& format) {
  if (value == "toml") {
    format = DesignFormat::kToml;
  } else if (value == "classic") {
    format = DesignFormat::kClassic;
  } else {
    return false;
  }
  return true;
}

// The value of an option given as "--name value" or "--name=value" into a
// design format.
bool take_format(int argc, const char* const* argv, int& i, std::string_view name,
                 DesignFormat& format, std::string& error) {
  const std::string_view argument = argv[i];
  std::string_view value;
  if (argument == name) {
    if (i + 1 == argc) {
      error = std::string(name) + " needs toml or classic";
      return false;
    }
    value = argv[++i];
  } else {
    value = argument.substr(name.size() + 1);
  }
  if (!parse_format(value, format)) {
    error = std::string(name) + " takes toml or classic, not \"" + std::string(value) + "\"";
    return false;
  }
  return true;
}

bool is_option(std::string_view argument, std::string_view name) {
  return argument == name ||
         (argument.size() > name.size() && argument.starts_with(name) && argument[name.size()] == '=');
}

}  // namespace

DesignFormat input_format(const CommandLine& command_line) {
  if (command_line.format) return *command_line.format;
  return format_of_path(command_line.design_path);
}

const char* usage_text() {
  return "Usage: gsdsim [OPTIONS] [DESIGN]\n"
         "\n"
         "Evaluates a group-sequential design of a two-arm survival trial by Monte-Carlo\n"
         "simulation. The design is read from the file DESIGN, or from standard input when\n"
         "no file is named; notes go to the console and the results to the report file\n"
         "named on line 14 of the design, in the current directory.\n"
         "\n"
         "Options:\n"
         "  --check        read and validate the design, show its summary, the subjects per\n"
         "                 trial, the null variances and the run-time estimate; simulate\n"
         "                 nothing and create no report file\n"
         "  --analytic     compute the power of every statistic analytically (expected\n"
         "                 events, information, drift, boundaries and crossing\n"
         "                 probabilities per look); simulate nothing, create no report\n"
         "                 (with --json FILE, the figures also as JSON)\n"
         "  --template [toml]\n"
         "                 write a complete, commented design file to standard output\n"
         "                 (positional, or keyed with toml)\n"
         "  --format toml|classic\n"
         "                 read the design as a keyed (TOML) or a positional file\n"
         "                 (default: keyed for a file name ending in .toml)\n"
         "  --convert toml|classic\n"
         "                 write the design converted to a keyed or a positional file\n"
         "                 to standard output; simulate nothing\n"
         "  --threads N    analyse trials on N threads (default: every hardware thread;\n"
         "                 the results are the same bytes for every N)\n"
         "  --json FILE    also write the design, the calibration and the results, with\n"
         "                 per-look stopping counts, as JSON to FILE (with --sweep: the\n"
         "                 sweep's table)\n"
         "  --html FILE    also write a self-contained HTML page with the design, its curves,\n"
         "                 the boundaries, stopping by look and power to FILE\n"
         "  --sweep KEY=VALUES\n"
         "                 run the keyed design once per value of KEY (VALUES: a,b,c or\n"
         "                 from:to:step); several --sweep form the full grid; the table of\n"
         "                 power per scenario and statistic goes to the console\n"
         "  --csv FILE     with --sweep, also write the table as CSV to FILE\n"
         "  --shard I/N    with --sweep, run only the scenarios whose index is I modulo N\n"
         "  --size-for-power P\n"
         "                 the fewest subjects (accrual period fixed) whose simulated power\n"
         "                 reaches P, bracketed by the analytic power\n"
         "  --statistic J  the statistic --size-for-power sizes for (default 1)\n"
         "  --help         show this text\n"
         "  --version      show the version\n"
         "\n"
         "Exit status: 0 success, 1 design refused, 2 report not written,\n"
         "3 design cannot be simulated to an end, 4 command-line error.\n";
}

namespace {

// The FILE of `--name FILE` or `--name=FILE` at argv[i] (i moves past it).
bool file_option(int argc, const char* const* argv, int& i, std::string_view name,
                 std::string& path, std::string& error) {
  const std::string_view argument = argv[i];
  path.clear();
  if (argument == name) {
    if (i + 1 < argc) path = argv[++i];
  } else {
    path = std::string(argument.substr(name.size() + 1));
  }
  if (path.empty()) {
    error = std::string(name) + " needs the name of the file to write";
    return false;
  }
  return true;
}

}  // namespace

bool parse_command_line(int argc, const char* const* argv, CommandLine& command_line,
                        std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const int taken = take_sweep_option(argc, argv, i, command_line.sweep, error);
    if (taken < 0) return false;
    if (taken > 0) {
      i += taken - 1;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      command_line.action = CommandLine::Action::kHelp;
    } else if (argument == "--version") {
      command_line.action = CommandLine::Action::kVersion;
    } else if (argument == "--analytic") {
      command_line.action = CommandLine::Action::kAnalytic;
    } else if (argument == "--template") {
      command_line.action = CommandLine::Action::kTemplate;
      // An optional form: the next argument when it names one.
      if (i + 1 < argc && parse_format(argv[i + 1], command_line.template_format)) ++i;
    } else if (is_option(argument, "--template")) {
      command_line.action = CommandLine::Action::kTemplate;
      if (!take_format(argc, argv, i, "--template", command_line.template_format, error)) {
        return false;
      }
    } else if (is_option(argument, "--format")) {
      DesignFormat format = DesignFormat::kClassic;
      if (!take_format(argc, argv, i, "--format", format, error)) return false;
      command_line.format = format;
    } else if (is_option(argument, "--convert")) {
      command_line.action = CommandLine::Action::kConvert;
      if (!take_format(argc, argv, i, "--convert", command_line.convert_to, error)) return false;
    } else if (argument == "--check") {
      command_line.action = CommandLine::Action::kCheck;
    } else if (argument == "--threads" || argument.starts_with("--threads=")) {
      std::string_view value;
      if (argument == "--threads") {
        if (i + 1 == argc) {
          error = "--threads needs a number of threads";
          return false;
        }
        value = argv[++i];
      } else {
        value = argument.substr(10);
      }
      int threads = 0;
      if (!parse_integer(value, threads) || threads < 1 || threads > 1024) {
        error = "--threads takes a whole number from 1 to 1024, not \"" + std::string(value) + "\"";
        return false;
      }
      command_line.threads = threads;
    } else if (argument == "--json" || argument.starts_with("--json=")) {
      if (!file_option(argc, argv, i, "--json", command_line.json_path, error)) return false;
    } else if (argument == "--html" || argument.starts_with("--html=")) {
      if (!file_option(argc, argv, i, "--html", command_line.html_path, error)) return false;
    } else if (argument.size() > 1 && argument.front() == '-') {
      error = "unknown option \"" + std::string(argument) + "\" (see gsdsim --help)";
      return false;
    } else if (!command_line.design_path.empty()) {
      error = "only one design file can be named, not also \"" + std::string(argument) + "\"";
      return false;
    } else {
      command_line.design_path = std::string(argument);
    }
  }
  std::string other_action;
  if (command_line.action == CommandLine::Action::kCheck) other_action = "--check";
  if (command_line.action == CommandLine::Action::kTemplate) other_action = "--template";
  if (command_line.action == CommandLine::Action::kConvert) other_action = "--convert";
  if (command_line.action == CommandLine::Action::kHelp ||
      command_line.action == CommandLine::Action::kVersion) {
    return true;
  }
  return check_sweep_options(command_line.sweep, !command_line.design_path.empty(), other_action,
                             error);
}

}  // namespace gsd
