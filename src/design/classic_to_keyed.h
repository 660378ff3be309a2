#pragma once

#include <string>
#include <vector>

#include "design/design.h"
#include "design/keyed_design.h"

namespace gsd {

// The keyed design of a positional design text, and the Design that text
// reads to (with read_design; its refusals are thrown as they are). Every
// item the file gave becomes its key, with the value as the design holds it;
// an item the file left at 0, which took its default with a note, is left
// out, so the keyed run shows the same note. Where no key can carry such a
// note (a count of 0 before a list the file gives, for example) the value is
// written as the design holds it and `unkept` names the note the keyed run
// will not show; it also names codes written in another form that runs the
// same (a use-function code above 4 as 4, a mode as 1 or 2).
KeyedDesign keyed_design_from_classic(const std::string& text, Design& design,
                                      std::vector<std::string>& unkept);

}  // namespace gsd
