#pragma once

#include <string>

#include "design/design.h"
#include "keyed/keyed_table.h"

namespace gsd {

// The Design of one scenario: its keyed table converted exactly as the
// keyed design file would be (the same validation, messages and defaults).
// The reader's notes go into `notes` instead of the console. Returns false
// with the keyed design's message (naming the key) in `error` for a table
// the keyed design refuses.
bool scenario_design(const KeyedTable& table, Design& design, std::string& notes,
                     std::string& error);

}  // namespace gsd
