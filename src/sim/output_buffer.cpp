#include "sim/output_buffer.h"

#include <stdio.h>

namespace gsd {
namespace {

ssize_t append(void* cookie, const char* data, size_t size) {
  static_cast<std::string*>(cookie)->append(data, size);
  return static_cast<ssize_t>(size);
}

}  // namespace

bool open_output_buffer(OutputBuffer& buffer, std::size_t capacity) {
  buffer.text.reserve(capacity);
  cookie_io_functions_t functions{};
  functions.write = append;
  buffer.file = fopencookie(&buffer.text, "w", functions);
  return buffer.file != nullptr;
}

const std::string& buffered_text(OutputBuffer& buffer) {
  std::fflush(buffer.file);
  return buffer.text;
}

void clear_output_buffer(OutputBuffer& buffer) {
  std::fflush(buffer.file);
  buffer.text.clear();
}

void pass_on(OutputBuffer& buffer, std::FILE* out) {
  const std::string& text = buffered_text(buffer);
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), out);
  buffer.text.clear();
}

void close_output_buffer(OutputBuffer& buffer) {
  if (buffer.file != nullptr) std::fclose(buffer.file);
  buffer.file = nullptr;
}

}  // namespace gsd
