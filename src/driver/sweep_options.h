#pragma once

#include <string>

#include "sweep/shard.h"
#include "sweep/sweep_grid.h"

namespace gsd {

// The options of a sweep (--sweep, --csv, --shard) and of a sizing
// (--size-for-power, --statistic).
struct SweepOptionsGiven {
  SweepGrid grid;          // one axis per --sweep, in order
  std::string csv_path;    // empty: no CSV file
  Shard shard;             // 1/1 unless --shard
  bool shard_given = false;
  bool size_given = false;  // --size-for-power
  double size_target = 0.0;
  int statistic = 0;  // 0: not given (statistic 1)
};

inline bool sweep_requested(const SweepOptionsGiven& given) { return !given.grid.axes.empty(); }

// When argv[i] is one of the options above, takes it (with its value, as
// "--name value" or "--name=value") and returns the number of arguments
// used; returns 0 for any other argument and -1, with a message in `error`,
// for a missing or malformed value (a --sweep that parse_sweep_axis
// refuses, a --size-for-power outside (0, 1), a --statistic outside 1 to 5).
int take_sweep_option(int argc, const char* const* argv, int i, SweepOptionsGiven& given,
                      std::string& error);

// The options together: --csv and --shard only with --sweep, --statistic
// only with --size-for-power, not both --sweep and --size-for-power, the
// grid checked as a whole (check_sweep_grid); both need a design file.
// `other_action` names an incompatible action given as well (--check,
// --convert, --template), or is empty.
bool check_sweep_options(const SweepOptionsGiven& given, bool has_design_path,
                         const std::string& other_action, std::string& error);

}  // namespace gsd
