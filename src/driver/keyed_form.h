#pragma once

#include <string>

#include "driver/design_source.h"

namespace gsd {

// The keyed (TOML) text of the design file `text` in the form `format`, as
// --convert would write it: a positional design converted key by key, a
// keyed design written back in the documented key order. Empty when the
// design cannot be read or converted (the run itself then says why).
std::string keyed_form_text(const std::string& text, DesignFormat format);

}  // namespace gsd
