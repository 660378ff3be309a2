#pragma once

#include <cstdio>
#include <istream>

#include "driver/command_line.h"
#include "driver/design_source.h"

namespace gsd {

// gsdsim --sweep ... DESIGN.toml: the sweep's notes and table on `console`,
// the CSV and JSON files the command line names. Returns the exit status:
// 0 success, 1 a design or scenario refused, 2 a CSV or JSON file not
// written, 3 a scenario that cannot be simulated to an end, 4 a positional
// design (a sweep needs a keyed one). A progress line of the scenarios
// done goes to `progress` when it is a terminal.
int run_sweep_command(std::istream& input, DesignFormat format, const CommandLine& command_line,
                      std::FILE* console, std::FILE* progress);

// gsdsim --size-for-power P [--statistic J] DESIGN.toml: the sizing's
// account on `console`. Exit statuses as size_for_power gives them, and 4
// for a positional design.
int run_size_command(std::istream& input, DesignFormat format, const CommandLine& command_line,
                     std::FILE* console);

}  // namespace gsd
