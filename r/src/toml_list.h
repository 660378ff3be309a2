#pragma once

#include <Rcpp.h>

#include <toml++/toml.h>

// A parsed TOML table as a named R list (see toml_list.cpp).
Rcpp::List toml_list(const toml::table& table);
