#include "driver/design_warnings.h"

namespace gsd {

void write_warnings(std::FILE* out, const std::vector<std::string>& warnings) {
  if (out == nullptr) return;
  for (const std::string& warning : warnings) std::fprintf(out, "gsdsim: warning: %s\n", warning.c_str());
  std::fflush(out);
}

const char* terminal_input_hint() {
  return "gsdsim: reading the design from the terminal: type or paste its 145 lines and end "
         "with Ctrl-D, or name a design file (gsdsim DESIGN; gsdsim --help)\n";
}

}  // namespace gsd
