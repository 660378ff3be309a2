#pragma once

// Runs code that writes to a console FILE* and returns what it wrote.

#include <cstdio>
#include <string>

namespace gsd::testing {

template <typename WritesConsole>
std::string captured_console(WritesConsole&& writes) {
  std::FILE* console = std::tmpfile();
  std::string text;
  try {
    writes(console);
  } catch (...) {
    std::fclose(console);
    throw;
  }
  std::rewind(console);
  for (int c; (c = std::fgetc(console)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(console);
  return text;
}

}  // namespace gsd::testing
