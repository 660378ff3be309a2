#pragma once

// Builds design files for tests: a valid 145-line design whose value lines
// can be replaced one by one.

#include <map>
#include <string>

namespace gsd::testing {

inline std::map<int, std::string> base_design_values() {
  return {
      {11, "2"},     {14, "test.rpt"}, {17, "1234"},     {20, "3"},     {23, "10 20 30"},
      {26, "1"},     {30, "0"},        {33, "0"},        {37, "100"},   {40, "0.05"},
      {43, "2"},     {49, "0 0 0"},    {54, "3"},        {61, "0 0 0"}, {70, "1"},
      {74, "1"},     {78, "10"},       {83, "0.5"},      {88, "10 20"}, {93, "1"},
      {96, "30"},    {101, "2"},       {106, "0.7"},     {111, "1"},    {114, "30"},
      {117, "0.9"},  {122, "1"},       {125, "30"},      {128, "0.9"},  {133, "1"},
      {135, "0"},    {137, "0"},       {141, "1"},       {143, "0"},    {145, "0"},
  };
}

// The design with the given value lines replaced. Every other line is a
// comment that carries a number, which the reader must ignore.
inline std::string design_text(const std::map<int, std::string>& changes = {}) {
  std::map<int, std::string> values = base_design_values();
  for (const auto& [line, text] : changes) values[line] = text;
  std::string text;
  for (int line = 1; line <= 145; ++line) {
    const auto found = values.find(line);
    text += found != values.end() ? found->second : "comment line " + std::to_string(line) + " 99";
    text += '\n';
  }
  return text;
}

}  // namespace gsd::testing
