#include "report/trial_notes.h"

#include "text/edit_output.h"

namespace gsd {

void write_inverse_warning(std::FILE* report, InverseWarning warning) {
  write_list_text(report,
                  warning == InverseWarning::kTmppTooSmall ? "tmpp too small" : "rmlp too small");
}

void write_empty_look(std::FILE* report, float look_time, int trial_index) {
  Line line;
  start_list_line(line);
  put_text(line, "no life enters before");
  put_list_real(line, look_time);
  write_line(report, line);
  start_list_line(line);
  put_text(line, "no. of simulation=");
  put_list_int(line, trial_index);
  write_line(report, line);
}

void write_v0_too_large(std::FILE* console, int j) {
  Line line;
  start_list_line(line);
  put_text(line, "The");
  put_list_int(line, j);
  put_text(line, "   th v0 is too large.");
  write_line(console, line);
}

}  // namespace gsd
