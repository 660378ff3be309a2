#pragma once

#include <cstdio>

namespace gsd {

// A stdio stream that takes every write and keeps nothing, for reading a
// design whose console notes nobody is to see (a dry run, a conversion). It
// needs no file, so it works where /dev/null cannot be opened, and a
// library caller's standard output is never touched. Close it with
// std::fclose. Throws std::bad_alloc when the stream cannot be made.
std::FILE* open_discard_stream();

}  // namespace gsd
