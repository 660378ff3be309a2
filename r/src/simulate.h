#pragma once

#include <Rcpp.h>

#include <string>

#include "design/design.h"

// The lines of `text` (the last one without its line end).
Rcpp::CharacterVector text_lines(const std::string& text);

// Simulates a complete design on `threads` threads (0: every hardware
// thread) and returns the R list gsd_simulate hands on: statistics and
// looks as data frames, the calibration, the report's text, and the console
// lines (`notes`, the reader's, first). A run that cannot end is an R error
// with the engine's message.
Rcpp::List simulate_for_r(const gsd::Design& design, int threads, const std::string& notes);
