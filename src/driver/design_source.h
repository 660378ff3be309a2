#pragma once

#include <cstdio>
#include <functional>
#include <istream>
#include <string>

#include "design/design.h"

namespace gsd {

// The two forms of a design file: the 145-line positional file and the
// keyed (TOML) file.
enum class DesignFormat { kClassic, kToml };

// Reads one design into `design` (which must start zeroed), with its notes
// on `console`; `on_report_name` runs once the report name is known and
// before anything that could still refuse the design's later items is read
// (see read_design). Throws InputError for a design that is refused.
using DesignSource = std::function<void(std::FILE* console, Design& design,
                                        const std::function<void(const Design&)>& on_report_name)>;

// The form of the design file `path`: TOML for a name ending in ".toml",
// otherwise positional.
DesignFormat format_of_path(const std::string& path);

// A source reading `input` (which must outlive it) in the given form.
DesignSource design_source(std::istream& input, DesignFormat format);

// The whole of `input`, for the keyed reader; refuses input beyond a size
// no design file comes near.
std::string read_design_text(std::istream& input);

}  // namespace gsd
