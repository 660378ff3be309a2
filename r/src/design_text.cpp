// Design texts for R: keyed (TOML) text read into nested R lists, positional
// text read as the program reads it.
#include <Rcpp.h>

#include <memory>
#include <sstream>
#include <string>

#include "design/design.h"
#include "design/design_input.h"
#include "memory_stream.h"
#include "toml_list.h"

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
  std::istringstream input(text);
  gsd::read_design(input, console.file(), *design, [](const gsd::Design&) {});
  Rcpp::CharacterVector notes;
  std::istringstream lines(console.text());
  std::string line;
  while (std::getline(lines, line)) notes.push_back(line);
  return notes;
}
