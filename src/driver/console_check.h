#pragma once

#include <cstdio>

namespace gsd {

// Whether everything written to `console` so far has reached it: flushes
// it and tests its error flag. A console on a full disk, /dev/full or a
// closed descriptor fails here.
bool console_written(std::FILE* console);

// The console could not be written during a run; `error` is the errno seen.
struct ConsoleError {
  int error = 0;
};

// A run's console failed: says so on `errors` (standard error; the console
// itself cannot carry it) and returns kExitReportError. No report was put
// in place.
int report_console_error(std::FILE* errors, const ConsoleError& failure);

// Ends the program's use of the console (standard output): flushes and
// closes it. When that fails, says so on `errors` (standard error) and
// turns a status of success into kExitReportError (the output was not
// written); a failure status stays as it was (its message, written to the
// console, may be lost: the message then says which status). Status 2 is
// left silent: a run reports its own console failure. Returns the status.
int close_console(std::FILE* console, std::FILE* errors, int status);

}  // namespace gsd
