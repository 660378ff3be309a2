// Design texts for R: keyed (TOML) text read into nested R lists, positional
// text read as the program reads it, and their simulation.
#include <Rcpp.h>

#include <memory>
#include <sstream>
#include <string>

#include "design/design.h"
#include "design/design_input.h"
#include "memory_stream.h"
#include "simulate.h"
#include "toml_list.h"

namespace {

// Reads the positional design `text` into `design`; the reader's notes go
// to `console`.
void read_classic(const std::string& text, gsd::Design& design, MemoryStream& console) {
  std::istringstream input(text);
  gsd::read_design(input, console.file(), design, [](const gsd::Design&) {});
}

}  // namespace

// The TOML text as nested R lists; a syntax error is an R error naming its
// line and column.
// [[Rcpp::export(name = ".gsd_toml_list")]]
Rcpp::List gsd_toml_list(std::string text) {
  try {
    return toml_list(toml::parse(text));
  } catch (const toml::parse_error& error) {
    std::ostringstream message;
    message << "line " << error.source().begin.line << ", column "
            << error.source().begin.column << ": " << error.description();
    Rcpp::stop(message.str());
  }
}

// Reads the positional design `text` as the program does; returns the notes
// of the defaults it applied. A refused design is an R error naming the line.
// [[Rcpp::export(name = ".gsd_check_classic")]]
Rcpp::CharacterVector gsd_check_classic(std::string text) {
  auto design = std::make_unique<gsd::Design>();
  MemoryStream console;
  read_classic(text, *design, console);
  return text_lines(console.text());
}

// Simulates the positional design `text` on `threads` threads (0: every
// hardware thread).
// [[Rcpp::export(name = ".gsd_simulate_classic")]]
Rcpp::List gsd_simulate_classic(std::string text, int threads) {
  auto design = std::make_unique<gsd::Design>();
  MemoryStream console;
  read_classic(text, *design, console);
  return simulate_for_r(*design, threads, console.text());
}
