#pragma once

// The toml++ library, for the translation units of keyed/ that hold it
// (toml_design.cpp, keyed_table.cpp); nothing outside keyed/ includes it.
//
// toml++ 3.3 tells the optimiser to assume some of its parser's checks
// (TOML_ASSERT_ASSUME) in builds without assertions, and one of them is
// false for input it then refuses properly (a key starting with '.', as in
// "[.a]"): with clang that is undefined behaviour. The assumptions are
// dropped, the same way in every unit that includes the library.
#undef TOML_ASSUME
#define TOML_ASSUME(...) static_assert(true)
#include <toml++/toml.h>
