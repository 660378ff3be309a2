#pragma once

#include <cstdio>
#include <istream>
#include <string>

#include "driver/design_source.h"

namespace gsd {

// What a run does besides the report. The console output and the report
// never depend on it.
struct RunOptions {
  // Threads analysing trials: 0 for every hardware thread, 1 for the plain
  // one-thread trial loop.
  int threads = 0;
  // When not empty, the results are also written as JSON to this file.
  std::string json_path;
  // When not empty, the run is also written as an HTML page to this file
  // (through a temporary file renamed at the end). A path naming the design's
  // report file is refused before the report is created (exit status 4).
  std::string html_path;
  // The design's keyed (TOML) form for the page; empty: not shown.
  std::string keyed_design_text;
  // Where the progress line goes while trials are simulated (shown only when
  // it is a terminal); null for none.
  std::FILE* progress = nullptr;
};

// The thread count `options` asks for: threads itself when positive,
// otherwise the number of hardware threads (1 when unknown).
int thread_count(const RunOptions& options);

// Runs one design read from `input`: notes and estimates go to `console`,
// everything else to the report file the design names. Returns the process
// exit status (see run_errors.h); fatal errors are written to `console`.
int run_design(std::istream& input, std::FILE* console, const RunOptions& options = {});

// The same for a design read by `source` (a positional or a keyed file).
int run_design(const DesignSource& source, std::FILE* console, const RunOptions& options = {});

}  // namespace gsd
