#pragma once

// The warnings of a hazard-ratio inverse collected in order, as the words
// "tmpp" and "rmlp" each followed by a blank.

#include <string>

#include "model/inverse_warning.h"

namespace gsd::testing {

struct WarningLog {
  std::string text;

  InverseWarnings sink() { return InverseWarnings{&WarningLog::note, this}; }

  static void note(void* context, InverseWarning warning) {
    static_cast<WarningLog*>(context)->text +=
        warning == InverseWarning::kTmppTooSmall ? "tmpp " : "rmlp ";
  }
};

}  // namespace gsd::testing
