#include "driver/sweep_options.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

#include "text/list_input.h"

namespace gsd {

namespace {

// The value of "--name value" or "--name=value"; `used` the arguments taken.
bool option_value(int argc, const char* const* argv, int i, std::string_view name,
                  std::string_view& value, int& used) {
  const std::string_view argument = argv[i];
  if (argument == name) {
    if (i + 1 == argc) return false;
    value = argv[i + 1];
    used = 2;
    return true;
  }
  value = argument.substr(name.size() + 1);
  used = 1;
  return true;
}

bool is_option(std::string_view argument, std::string_view name) {
  return argument == name || (argument.size() > name.size() && argument.starts_with(name) &&
                              argument[name.size()] == '=');
}

bool parse_power(std::string_view text, double& value) {
  const std::string copy(text);
  if (copy.empty()) return false;
  char* end = nullptr;
  value = std::strtod(copy.c_str(), &end);
  return end == copy.c_str() + copy.size() && std::isfinite(value);
}

}  // namespace

int take_sweep_option(int argc, const char* const* argv, int i, SweepOptionsGiven& given,
                      std::string& error) {
  const std::string_view argument = argv[i];
  std::string_view value;
  int used = 0;
  if (is_option(argument, "--sweep")) {
    if (!option_value(argc, argv, i, "--sweep", value, used)) {
      error = "--sweep needs KEY=VALUES";
      return -1;
    }
    SweepAxis axis;
    if (!parse_sweep_axis(value, axis, error)) return -1;
    given.grid.axes.push_back(axis);
    return used;
  }
  if (is_option(argument, "--csv")) {
    if (!option_value(argc, argv, i, "--csv", value, used) || value.empty()) {
      error = "--csv needs the name of the file to write";
      return -1;
    }
    given.csv_path = std::string(value);
    return used;
  }
  if (is_option(argument, "--shard")) {
    if (!option_value(argc, argv, i, "--shard", value, used)) {
      error = "--shard needs I/N";
      return -1;
    }
    if (!parse_shard(value, given.shard, error)) return -1;
    given.shard_given = true;
    return used;
  }
  if (is_option(argument, "--size-for-power")) {
    if (!option_value(argc, argv, i, "--size-for-power", value, used)) {
      error = "--size-for-power needs the power wanted, a number between 0 and 1";
      return -1;
    }
    if (!parse_power(value, given.size_target) || !(given.size_target > 0.0) ||
        !(given.size_target < 1.0)) {
      error = "--size-for-power takes a power strictly between 0 and 1, not \"" +
              std::string(value) + "\"";
      return -1;
    }
    given.size_given = true;
    return used;
  }
  if (is_option(argument, "--statistic")) {
    if (!option_value(argc, argv, i, "--statistic", value, used)) {
      error = "--statistic needs the number of a statistic";
      return -1;
    }
    if (!parse_integer(value, given.statistic) || given.statistic < 1 || given.statistic > 5) {
      error = "--statistic takes the number of a statistic, 1 to 5, not \"" + std::string(value) +
              "\"";
      return -1;
    }
    return used;
  }
  return 0;
}

bool check_sweep_options(const SweepOptionsGiven& given, bool has_design_path,
                         const std::string& other_action, std::string& error) {
  const bool sweep = sweep_requested(given);
  if (!sweep && !given.csv_path.empty()) {
    error = "--csv writes the table of a sweep: it needs --sweep";
    return false;
  }
  if (!sweep && given.shard_given) {
    error = "--shard selects scenarios of a sweep: it needs --sweep";
    return false;
  }
  if (!given.size_given && given.statistic != 0) {
    error = "--statistic chooses the statistic of --size-for-power: it needs --size-for-power";
    return false;
  }
  if (!sweep && !given.size_given) return true;
  const char* what = sweep ? "--sweep" : "--size-for-power";
  if (sweep && given.size_given) {
    error = "--sweep and --size-for-power cannot be combined; run them one at a time";
    return false;
  }
  if (!other_action.empty()) {
    error = std::string(what) + " cannot be combined with " + other_action;
    return false;
  }
  if (!has_design_path) {
    error = std::string(what) + " needs a keyed design file (DESIGN.toml) named on the command line";
    return false;
  }
  return !sweep || check_sweep_grid(given.grid, error);
}

}  // namespace gsd
