#include "text/discard_stream.h"

#include <stdio.h>

#include <new>

namespace gsd {
namespace {

ssize_t discard(void*, const char*, size_t size) { return static_cast<ssize_t>(size); }

}  // namespace

std::FILE* open_discard_stream() {
  cookie_io_functions_t functions{};
  functions.write = discard;
  std::FILE* stream = fopencookie(nullptr, "w", functions);
  if (stream == nullptr) throw std::bad_alloc();
  return stream;
}

}  // namespace gsd
