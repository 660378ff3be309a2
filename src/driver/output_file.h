#pragma once

#include <string>

namespace gsd {

// Whether two paths name the same file: the same file on disk when both
// exist (hard links included), otherwise the same normalised absolute path
// (symbolic links of existing directories resolved).
bool same_file(const std::string& a, const std::string& b);

// Writes `text` to `path` through a new temporary file in the same directory
// that is renamed to `path` once complete, so that a failed write never
// leaves a partial file or destroys an earlier one (a symbolic link of that
// name is replaced, never followed). `what` names the file in the message of
// the ReportError thrown on failure.
void write_file_by_rename(const std::string& path, const std::string& text, const char* what);

}  // namespace gsd
