#pragma once

#include <cstdio>
#include <string>

namespace gsd {

// A stdio stream whose output collects in memory, so that lines written out
// of order can be passed on in order. The text keeps its capacity when
// cleared: once it has held a trial's longest output it allocates no more.
struct OutputBuffer {
  std::string text;
  std::FILE* file = nullptr;
};

// Opens buffer.file (and reserves `capacity` bytes). Returns false when the
// stream cannot be made.
bool open_output_buffer(OutputBuffer& buffer, std::size_t capacity);

// Everything written so far, after flushing the stream.
const std::string& buffered_text(OutputBuffer& buffer);

// Forgets what was written; the capacity stays.
void clear_output_buffer(OutputBuffer& buffer);

// Writes the buffered text to `out` and clears the buffer.
void pass_on(OutputBuffer& buffer, std::FILE* out);

void close_output_buffer(OutputBuffer& buffer);

}  // namespace gsd
