#pragma once

// Builds design files for tests: a valid 145-line design whose value lines
// can be replaced one by one.

#include <map>
#include <sstream>
#include <string>

#include "design/design_layout.h"

namespace gsd::testing {

// The value of every item of the layout, in its order.
inline constexpr const char* kBaseValues[] = {
    "2",  "test.rpt", "1234", "3",     "10 20 30", "1",  "0",   "0",  "100", "0.05", "2",
    "0 0 0", "3",     "0 0 0", "1",    "1",        "10", "0.5", "10 20", "1", "30",  "2",
    "0.7", "1",       "30",   "0.9",   "1",        "30", "0.9", "1",  "0",   "0",    "1",
    "0",  "0",
};
static_assert(std::size(kBaseValues) == std::size(kDesignLayout));

// Line number to value line text.
inline std::map<int, std::string> base_design_values() {
  std::map<int, std::string> values;
  for (std::size_t i = 0; i < std::size(kDesignLayout); ++i) {
    values[kDesignLayout[i].line] = kBaseValues[i];
  }
  return values;
}

// The first word of the report-name line of a design file.
inline std::string report_name_of(const std::string& design) {
  std::istringstream in(design);
  std::string line;
  for (int n = 1; n <= value_line(DesignItem::kReportName) && std::getline(in, line); ++n) {
  }
  return line.substr(0, line.find(' '));
}

// The design with the given value lines replaced. Every other line is a
// comment that carries a number, which the reader must ignore.
inline std::string design_text(const std::map<int, std::string>& changes = {}) {
  std::map<int, std::string> values = base_design_values();
  for (const auto& [line, text] : changes) values[line] = text;
  std::string text;
  for (int line = 1; line <= kDesignLineCount; ++line) {
    const auto found = values.find(line);
    text += found != values.end() ? found->second : "comment line " + std::to_string(line) + " 99";
    text += '\n';
  }
  return text;
}

}  // namespace gsd::testing
