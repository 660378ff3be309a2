#include "driver/keyed_form.h"

#include <stdexcept>
#include <vector>

#include "design/classic_to_keyed.h"
#include "design/keyed_design.h"
#include "keyed/toml_design.h"

namespace gsd {

std::string keyed_form_text(const std::string& text, DesignFormat format) {
  try {
    if (format == DesignFormat::kToml) return toml_design_text(keyed_design_from_toml(text));
    Design design;
    std::vector<std::string> unkept;
    const KeyedDesign keyed = keyed_design_from_classic(text, design, unkept);
    std::vector<std::string> comments;
    if (!unkept.empty()) {
      comments.push_back("Converted from a positional design; these of its notes are not kept:");
      for (const std::string& note : unkept) comments.push_back("  " + note);
    }
    return toml_design_text(keyed, comments);
  } catch (const std::exception&) {
    return "";
  }
}

}  // namespace gsd
