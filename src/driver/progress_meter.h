#pragma once

#include <chrono>
#include <cstdio>

namespace gsd {

// A progress line for long runs: trials done, percentage, elapsed and
// remaining time, rewritten in place on `out` (standard error) a few times a
// second. It is shown only when `out` is a terminal, so it never reaches
// files, pipes, standard output or the report.
struct ProgressMeter {
  std::FILE* out = nullptr;  // null: no progress line
  int total = 0;
  const char* unit = "trials";  // what is counted ("scenarios" for a sweep)
  std::chrono::steady_clock::time_point start;
  std::chrono::steady_clock::time_point last_shown;
  bool shown = false;
};

// Starts the meter for `total` trials; it stays silent unless `out` is a terminal.
void start_progress(ProgressMeter& meter, std::FILE* out, int total);
// Shows `done` of the total trials (at most every quarter of a second).
void show_progress(ProgressMeter& meter, int done);
// Clears the line, if one was shown.
void finish_progress(ProgressMeter& meter);

// The text of the progress line, without the leading carriage return.
void format_progress(char* text, int capacity, int done, int total, double elapsed_seconds,
                     const char* unit = "trials");

}  // namespace gsd
