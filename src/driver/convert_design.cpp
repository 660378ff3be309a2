#include "driver/convert_design.h"

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "design/classic_to_keyed.h"
#include "design/design_input.h"
#include "design/keyed_design.h"
#include "design/run_errors.h"
#include "keyed/toml_design.h"
#include "text/list_input.h"

namespace gsd {

namespace {

struct ClosesFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The Design a converted text reads to, without notes.
Design design_of(const std::string& text, DesignFormat format, std::FILE* sink) {
  Design design;
  if (format == DesignFormat::kToml) {
    read_keyed_design(keyed_design_from_toml(text), sink, design, [](const Design&) {});
  } else {
    std::istringstream input(text);
    read_design(input, sink, design, [](const Design&) {});
  }
  return design;
}

// The design as the run uses it: a use-function code above 4 is Siegmund's
// like 4, and a mode is either hazard ratios or survival values. The
// conversion writes those codes as 4, 2 and 1.
Design as_run(Design design) {
  if (design.use_function_code > 4) design.use_function_code = 4;
  design.alternative_mode = uses_hazard_ratios(design) ? 2.0f : 1.0f;
  return design;
}

std::string converted_text(const std::string& text, DesignFormat from, DesignFormat to,
                           std::FILE* sink) {
  Design design;
  KeyedDesign keyed;
  std::vector<std::string> comments;
  if (from == DesignFormat::kClassic) {
    std::vector<std::string> unkept;
    keyed = keyed_design_from_classic(text, design, unkept);
    if (!unkept.empty()) {
      comments.push_back("Converted from a positional design; the keyed run is the same but for:");
      for (const std::string& note : unkept) comments.push_back("  " + note);
    }
  } else {
    keyed = keyed_design_from_toml(text);
    read_keyed_design(keyed, sink, design, [](const Design&) {});
  }
  if (to == DesignFormat::kClassic && !keyed.look_events.empty()) {
    throw InputError("looks.events: the positional design file has no event-driven looks, so "
                     "this design cannot be written as one");
  }
  const std::string result =
      to == DesignFormat::kToml ? toml_design_text(keyed, comments) : classic_design_text(keyed);
  if (!(as_run(design_of(result, to, sink)) == as_run(design))) {
    throw InputError("the converted design would not read back to the same design; "
                     "it is not written");
  }
  return result;
}

}  // namespace

int convert_design(std::istream& input, DesignFormat from, DesignFormat to, std::FILE* out,
                   std::FILE* errors) {
  const std::unique_ptr<std::FILE, ClosesFile> sink(std::fopen("/dev/null", "w"));
  if (!sink) return report_fatal_error(errors, "cannot open /dev/null", kExitInputError);
  try {
    const std::string result = converted_text(read_design_text(input), from, to, sink.get());
    std::fputs(result.c_str(), out);
    if (std::fflush(out) != 0) {
      return report_fatal_error(errors, "cannot write the converted design", kExitReportError);
    }
  } catch (const InputError& error) {
    std::string message = error.what();
    if (from == DesignFormat::kClassic && to == DesignFormat::kToml &&
        message.find("line ") != 0) {
      message = "the converted keyed design is refused: " + message;
    }
    return report_fatal_error(errors, message.c_str(), kExitInputError);
  }
  return kExitSuccess;
}

}  // namespace gsd
