#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

namespace gsd {

// An output file (the report, the JSON results) written safely: under a
// temporary name in the same folder (".NAME.XXXXXX", created exclusively),
// renamed onto its name only once the run has succeeded. Until then an
// earlier file of that name stays exactly as it was; a refused, failed or
// interrupted run leaves no new file (the temporary name is registered for
// removal on SIGINT and SIGTERM). Two runs writing the same name each
// write their own temporary file, so the name always holds one complete
// output.
struct OutputFile {
  std::string path;       // the name the complete file gets
  std::string temporary;  // where it is written until then
  std::string kind;       // "report file", "JSON results file": for messages
  std::FILE* file = nullptr;
  int cleanup_slot = -1;
};

// The identity of an existing file, to tell when two names are one file.
struct FileIdentity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
};

// The file `path` names (links followed), or of the open descriptor `fd`.
FileIdentity identify_file(const char* path);
FileIdentity identify_descriptor(int fd);
bool same_file(const FileIdentity& a, const FileIdentity& b);

// Starts `out` for `path`. Only a regular file is ever replaced: a name that
// is a symbolic link (never followed, whatever it points to), a directory or
// a special file is refused, so a run never writes through a link. Throws
// ReportError when the name is refused or the temporary file cannot be
// created (a folder that cannot be written or no longer exists).
void open_output(OutputFile& out, const std::string& path, const char* kind);

// Throws ReportError when a write to `out` has failed.
void check_output(const OutputFile& out);

// Flushes, syncs and closes the temporary file and renames it onto its
// name. Throws ReportError when any of that fails; the temporary file is
// then removed and an earlier file of the name is unchanged.
void commit_output(OutputFile& out);

// Closes and removes the temporary file (a refused or failed run). Never
// throws; does nothing for an output never opened or already finished.
void discard_output(OutputFile& out) noexcept;

// Closes the temporary file and renames it to PATH.incomplete (a run that
// could not be simulated to an end keeps what it wrote, under a name that
// says so). Returns that name, or an empty string when it could not be kept
// (the temporary file is then removed).
std::string keep_incomplete(OutputFile& out) noexcept;

// The report of a run: open_output for the plain name `name` in the current
// directory, as the "report file".
void open_report(OutputFile& report, const char* name);

// Throws ReportError naming the report `name` when a write to it has failed.
void check_report(std::FILE* report, const char* name);

// Flushes and closes a stream that is not an OutputFile; throws ReportError
// naming `name` when that fails.
void close_report(std::FILE* report, const char* name);

}  // namespace gsd
