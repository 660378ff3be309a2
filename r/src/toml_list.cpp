// A parsed TOML document as nested R lists: a table is a named list, an
// array of numbers a numeric (or integer) vector, an array of tables a data
// frame when every table holds the same scalar keys, a list otherwise.
#include "toml_list.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

SEXP node_value(const toml::node& node);

bool is_whole_int(const toml::node& node) {
  if (!node.is_integer()) return false;
  const int64_t v = node.as_integer()->get();
  return v >= -2147483647LL && v <= 2147483647LL;
}

SEXP array_value(const toml::array& array) {
  if (array.empty()) return Rcpp::NumericVector(0);
  bool all_ints = true, all_numbers = true, all_strings = true, all_bools = true,
       all_tables = true;
  for (const toml::node& item : array) {
    all_ints = all_ints && is_whole_int(item);
    all_numbers = all_numbers && item.is_number();
    all_strings = all_strings && item.is_string();
    all_bools = all_bools && item.is_boolean();
    all_tables = all_tables && item.is_table();
  }
  const int n = static_cast<int>(array.size());
  if (all_ints) {
    Rcpp::IntegerVector out(n);
    for (int i = 0; i < n; ++i) out[i] = static_cast<int>(array[i].as_integer()->get());
    return out;
  }
  if (all_numbers) {
    Rcpp::NumericVector out(n);
    for (int i = 0; i < n; ++i) out[i] = array[i].value<double>().value();
    return out;
  }
  if (all_strings) {
    Rcpp::CharacterVector out(n);
    for (int i = 0; i < n; ++i) out[i] = array[i].as_string()->get();
    return out;
  }
  if (all_bools) {
    Rcpp::LogicalVector out(n);
    for (int i = 0; i < n; ++i) out[i] = array[i].as_boolean()->get();
    return out;
  }
  Rcpp::List out(n);
  for (int i = 0; i < n; ++i) out[i] = node_value(array[i]);
  if (!all_tables) return out;
  // Tables of the same scalar keys become the rows of a data frame.
  const toml::table& first = *array[0].as_table();
  std::vector<std::string> keys;
  for (const auto& [key, value] : first) {
    if (value.is_table() || value.is_array()) return out;
    keys.emplace_back(key.str());
  }
  for (const toml::node& item : array) {
    const toml::table& row = *item.as_table();
    if (row.size() != keys.size()) return out;
    for (const std::string& key : keys) {
      const toml::node* value = row.get(key);
      if (value == nullptr || value->type() != first.get(key)->type()) return out;
    }
  }
  Rcpp::List columns(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    Rcpp::List cells(n);
    for (int i = 0; i < n; ++i) cells[i] = node_value(*array[i].as_table()->get(keys[k]));
    Rcpp::Function unlist("unlist");
    columns[k] = unlist(cells);
  }
  columns.attr("names") = Rcpp::wrap(keys);
  columns.attr("class") = "data.frame";
  columns.attr("row.names") = Rcpp::IntegerVector::create(NA_INTEGER, -n);
  return columns;
}

SEXP node_value(const toml::node& node) {
  if (const toml::table* table = node.as_table()) return toml_list(*table);
  if (const toml::array* array = node.as_array()) return array_value(*array);
  if (is_whole_int(node)) return Rcpp::wrap(static_cast<int>(node.as_integer()->get()));
  if (node.is_number()) return Rcpp::wrap(node.value<double>().value());
  if (const auto* s = node.as_string()) return Rcpp::wrap(s->get());
  if (const auto* b = node.as_boolean()) return Rcpp::wrap(b->get());
  // Dates and times have no place in a design; they are kept as text.
  std::ostringstream text;
  node.visit([&](const auto& value) { text << value; });
  return Rcpp::wrap(text.str());
}

}  // namespace

Rcpp::List toml_list(const toml::table& table) {
  Rcpp::List out(table.size());
  Rcpp::CharacterVector names(table.size());
  int i = 0;
  for (const auto& [key, value] : table) {
    out[i] = node_value(value);
    names[i] = std::string(key.str());
    ++i;
  }
  out.attr("names") = names;
  return out;
}

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
