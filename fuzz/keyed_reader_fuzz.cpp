// libFuzzer entry point: arbitrary bytes as a keyed (TOML) design file. The
// keyed reader must either give a design or refuse the input with
// InputError; anything else (a crash, a sanitizer report, another
// exception, a broken promise below) is a finding.
//
// Promises checked for every accepted input:
// - the positional text of a checked keyed design is 145 lines that the
//   positional reader accepts (the keyed checks refuse everything it would);
// - the design it reads fits every table;
// - the keyed design written as TOML reads back to the same keyed design,
//   and converted to the positional file and back, to the same Design.
//
// Nothing is written outside /dev/null.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "design/capacities.h"
#include "design/classic_to_keyed.h"
#include "design/design.h"
#include "design/design_input.h"
#include "design/keyed_design.h"
#include "keyed/toml_design.h"
#include "model/generate_trial.h"
#include "text/list_input.h"

namespace {

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "keyed reader invariant broken: %s\n", what);
    std::abort();
  }
}

void check_curve(const gsd::SurvivalCurve& curve, int capacity, const char* what) {
  require(curve.n >= 1 && curve.n <= capacity, what);
  require(curve.x[0] == 0.0f && curve.S[0] == 1.0f, what);
  for (int k = 1; k <= curve.n; ++k) {
    require(curve.x[k] > curve.x[k - 1] && curve.S[k] > 0.0f && curve.S[k] <= curve.S[k - 1],
            what);
  }
}

void check_design(const gsd::Design& d) {
  using namespace gsd;
  require(d.method_code >= 1 && d.method_code <= 4, "method code");
  require(d.look_count >= 1 && d.look_count <= kLookCapacity, "look count");
  require(d.stat_count >= 1 && d.stat_count <= kStatCapacity, "statistic count");
  require(d.sides == 1 || d.sides == 2, "sides");
  require(d.sim_count >= 1, "simulation count");
  const int subjects = subject_count(d);
  require(subjects >= 0 && subjects <= kSubjectCapacity, "subject count");
  check_curve(d.baseline_curve, kCurveCapacity, "baseline curve");
  check_curve(d.control_censoring, kCurveCapacity, "control censoring curve");
  check_curve(d.treatment_censoring, kCurveCapacity, "treatment censoring curve");
  require(d.interval_count >= 1 && d.interval_count <= kIntervalCapacity, "interval count");
  require(d.drop_in_count >= 1 && d.drop_in_count <= kListCapacity, "drop-in count");
  require(d.drop_out_count >= 1 && d.drop_out_count <= kListCapacity, "drop-out count");
  for (int i = 1; i <= d.look_count; ++i) {
    require(d.look_times[i] > 0.0f, "look time");
    if (uses_event_looks(d)) require(d.look_events[i] >= 1 && d.look_events[i] <= subjects, "event target");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* const sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) std::abort();
  const std::string text(reinterpret_cast<const char*>(data), size);
  gsd::KeyedDesign keyed;
  try {
    keyed = gsd::keyed_design_from_toml(text);
    gsd::check_keyed_design(keyed);
  } catch (const gsd::InputError&) {
    return 0;  // refused with a message
  }
  const std::string classic = gsd::classic_design_text(keyed);
  require(std::count(classic.begin(), classic.end(), '\n') == 145, "145 positional lines");
  gsd::Design design;
  try {
    gsd::read_keyed_design(keyed, sink, design, [](const gsd::Design&) {});
  } catch (const gsd::InputError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    require(false, "a checked keyed design is accepted by the positional reader");
  }
  check_design(design);
  require(gsd::keyed_design_from_toml(gsd::toml_design_text(keyed)) == keyed,
          "the written TOML reads back to the same keyed design");
  if (keyed.look_events.empty()) {
    gsd::Design converted;
    std::vector<std::string> unkept;
    const gsd::KeyedDesign back = gsd::keyed_design_from_classic(classic, converted, unkept);
    gsd::Design again;
    try {
      gsd::read_keyed_design(back, sink, again, [](const gsd::Design&) {});
    } catch (const gsd::InputError& error) {
      std::fprintf(stderr, "%s\n", error.what());
      require(false, "the design converted back is accepted");
    }
    require(again == design, "converted back, the same Design");
  }
  return 0;
}
