// Keyed designs for R. An R design is the keyed design as nested lists, made
// from the keyed file's text as toml_design_text writes it (keys in the
// documented order, only those given); R hands designs back as keyed text,
// which the keyed reader checks, naming the key at fault.
#include <Rcpp.h>

#include <memory>
#include <string>
#include <vector>

#include "design/classic_to_keyed.h"
#include "design/design.h"
#include "design/keyed_design.h"
#include "keyed/toml_design.h"
#include "memory_stream.h"
#include "simulate.h"
#include "toml_list.h"

namespace {

// The Design a keyed design stands for, read as the program reads it; the
// reader's notes go to `console`.
std::unique_ptr<gsd::Design> read_keyed(const gsd::KeyedDesign& keyed, MemoryStream& console) {
  auto design = std::make_unique<gsd::Design>();
  gsd::read_keyed_design(keyed, console.file(), *design, [](const gsd::Design&) {});
  return design;
}

// The R form of a checked keyed design, with the reader's notes.
Rcpp::List design_for_r(const gsd::KeyedDesign& keyed, const std::string& notes,
                        const std::vector<std::string>& unkept) {
  return Rcpp::List::create(
      Rcpp::Named("design") = toml_list(toml::parse(gsd::toml_design_text(keyed))),
      Rcpp::Named("notes") = text_lines(notes), Rcpp::Named("unkept") = Rcpp::wrap(unkept));
}

}  // namespace

// Reads and checks the keyed text: the design as R lists with the notes
// of its defaults. A refused design is an R error naming the key.
// [[Rcpp::export(name = ".gsd_read_keyed")]]
Rcpp::List gsd_read_keyed(std::string text) {
  const gsd::KeyedDesign keyed = gsd::keyed_design_from_toml(text);
  MemoryStream console;
  read_keyed(keyed, console);
  return design_for_r(keyed, console.text(), {});
}

// Reads the positional text as the program does and gives its keyed design:
// every item the file gave becomes its key; `unkept` names the notes of
// defaults that no key can carry.
// [[Rcpp::export(name = ".gsd_read_classic")]]
Rcpp::List gsd_read_classic(std::string text) {
  auto design = std::make_unique<gsd::Design>();
  std::vector<std::string> unkept;
  const gsd::KeyedDesign keyed = gsd::keyed_design_from_classic(text, *design, unkept);
  MemoryStream console;
  read_keyed(keyed, console);
  return design_for_r(keyed, console.text(), unkept);
}

// The file text of a keyed design: "toml" as --convert toml writes it,
// "classic" the 145-line positional file with its comment lines.
// [[Rcpp::export(name = ".gsd_design_file_text")]]
std::string gsd_design_file_text(std::string text, std::string format) {
  const gsd::KeyedDesign keyed = gsd::keyed_design_from_toml(text);
  gsd::check_keyed_design(keyed);
  return format == "classic" ? gsd::classic_design_text(keyed) : gsd::toml_design_text(keyed);
}

// Simulates the keyed design on `threads` threads (0: every hardware
// thread).
// [[Rcpp::export(name = ".gsd_simulate_keyed")]]
Rcpp::List gsd_simulate_keyed(std::string text, int threads) {
  const gsd::KeyedDesign keyed = gsd::keyed_design_from_toml(text);
  MemoryStream console;
  const auto design = read_keyed(keyed, console);
  return simulate_for_r(*design, threads, console.text());
}
