#include "sweep/scenario_design.h"

#include <cstdio>
#include <cstdlib>

#include "design/keyed_design.h"
#include "text/list_input.h"

namespace gsd {

bool scenario_design(const KeyedTable& table, Design& design, std::string& notes,
                     std::string& error) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* console = open_memstream(&text, &size);
  if (console == nullptr) {
    error = "cannot open a memory stream for the design's notes";
    return false;
  }
  bool converted = true;
  try {
    design = Design();
    const KeyedDesign keyed = keyed_design_of(table);
    read_keyed_design(keyed, console, design, [](const Design&) {});
  } catch (const InputError& refused) {
    error = refused.what();
    converted = false;
  }
  std::fclose(console);
  notes.assign(text, size);
  std::free(text);
  return converted;
}

}  // namespace gsd
