#include "driver/design_source.h"

#include "design/design_input.h"
#include "design/keyed_design.h"
#include "keyed/toml_design.h"
#include "text/list_input.h"

namespace gsd {

namespace {

// A keyed design of every key with 20-point lists is a few kilobytes, and
// so is a positional one.
constexpr std::size_t kKeyedTextLimit = 1 << 20;

}  // namespace

DesignFormat format_of_path(const std::string& path) {
  const std::string suffix = ".toml";
  const bool toml = path.size() >= suffix.size() &&
                    path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
  return toml ? DesignFormat::kToml : DesignFormat::kClassic;
}

std::string read_design_text(std::istream& input) {
  std::string text;
  char buffer[4096];
  while (input.read(buffer, sizeof buffer) || input.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(input.gcount()));
    if (text.size() > kKeyedTextLimit) {
      throw InputError("the design file is longer than " + std::to_string(kKeyedTextLimit) +
                       " bytes; a design file holds a few kilobytes");
    }
  }
  return text;
}

DesignSource design_source(std::istream& input, DesignFormat format) {
  if (format == DesignFormat::kToml) {
    return [&input](std::FILE* console, Design& design,
                    const std::function<void(const Design&)>& on_report_name) {
      const KeyedDesign keyed = keyed_design_from_toml(read_design_text(input));
      read_keyed_design(keyed, console, design, on_report_name);
    };
  }
  return [&input](std::FILE* console, Design& design,
                  const std::function<void(const Design&)>& on_report_name) {
    read_design(input, console, design, on_report_name);
  };
}

}  // namespace gsd
