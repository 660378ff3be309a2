#pragma once

#include <cstdio>

namespace gsd {

// Creates the report `name` in the current directory, replacing an existing
// file's content. Only a regular file is written: a name that is a symbolic
// link, a directory or a special file is refused, so a run never writes
// outside the current directory. Throws ReportError.
std::FILE* open_report(const char* name);

// Throws ReportError when a write to the report has failed.
void check_report(std::FILE* report, const char* name);

// Flushes and closes the report; throws ReportError when that fails.
void close_report(std::FILE* report, const char* name);

}  // namespace gsd
