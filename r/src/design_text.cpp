// Design texts for R: keyed (TOML) text read into nested R lists.
#include <Rcpp.h>

#include <sstream>
#include <string>

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
