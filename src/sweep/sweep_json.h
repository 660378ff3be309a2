#pragma once

#include <string>

#include "report/sweep_result.h"

namespace gsd {

// The sweep as a JSON document: the swept keys, the scenarios of the whole
// grid, the shard, and per scenario (in index order) its index, the swept
// values (each as given, a TOML literal in a string), subjects, trials and
// per statistic the figures of the CSV columns.
std::string sweep_json(const SweepResult& result);

}  // namespace gsd
