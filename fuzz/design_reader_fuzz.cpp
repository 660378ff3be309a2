// libFuzzer entry point: arbitrary bytes as a design file. The reader with
// its defaults must either fill a design the rest of the run can hold or
// refuse the input with InputError; anything else (a crash, a sanitizer
// report, another exception, a design outside its tables) is a finding.
//
// Nothing is written outside /dev/null: the report-name hook creates no
// file, and the console and the summary go to /dev/null.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "design/capacities.h"
#include "design/design.h"
#include "design/design_input.h"
#include "report/design_summary.h"
#include "model/at_risk_weight.h"
#include "model/generate_trial.h"
#include "model/hazard_ratio_curve.h"
#include "model/survival_curve.h"
#include "text/list_input.h"

namespace {

// A broken promise of the reader: report it the way a sanitizer would.
void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "design reader invariant broken: %s\n", what);
    std::abort();
  }
}

void check_curve(const gsd::SurvivalCurve& curve, int capacity, const char* what) {
  require(curve.n >= 1 && curve.n <= capacity, what);
  require(curve.x[0] == 0.0f && curve.S[0] == 1.0f, what);
}

// What the rest of the run relies on after a successful read.
void check_design(const gsd::Design& d) {
  using namespace gsd;
  require(d.method_code >= 1 && d.method_code <= 4, "method code");
  require(d.report_name[0] != '\0' && std::strchr(d.report_name, '/') == nullptr,
          "report name");
  require(d.seed != 0 && d.seed >= -kSeedMagnitudeLimit && d.seed <= kSeedMagnitudeLimit,
          "seed");
  require(d.look_count >= 1 && d.look_count <= kLookCapacity, "look count");
  require(d.look_times[d.look_count] > 0.0f, "last look time");
  require(d.stat_count >= 1 && d.stat_count <= kStatCapacity, "statistic count");
  require(d.sim_count >= 1, "simulation count");
  require(d.sides == 1 || d.sides == 2, "sides");
  require(d.use_function_code >= 1, "use-function code");
  check_curve(d.baseline_curve, kCurveCapacity, "baseline curve");
  for (int k = 1; k <= d.baseline_curve.n; ++k) {
    require(d.baseline_curve.x[k] != d.baseline_curve.x[k - 1], "baseline times differ");
  }
  const int subjects = subject_count(d);
  require(subjects >= 0 && subjects <= kSubjectCapacity, "subject count");
  require(d.interval_count >= 1 && d.interval_count <= kIntervalCapacity, "interval count");
  if (!uses_hazard_ratios(d)) check_curve(d.alternative_curve, kIntervalCapacity, "treatment curve");
  check_curve(d.control_censoring, kCurveCapacity, "control censoring curve");
  check_curve(d.treatment_censoring, kCurveCapacity, "treatment censoring curve");
  require(d.drop_in_count >= 1 && d.drop_in_count <= kListCapacity, "drop-in count");
  require(d.drop_out_count >= 1 && d.drop_out_count <= kListCapacity, "drop-out count");
}

// The first users of the values read: the curves' inverses and the
// integrand of the null variance, at a few points.
void use_curves(const gsd::Design& d, std::FILE* sink) {
  using namespace gsd;
  const HazardRatioCurve hazard_ratio_curve = make_hazard_ratio_curve(d);
  const float points[] = {0.0f, 1e-30f, 0.25f, 0.5f, 0.999f, 1.0f};
  float total = 0.0f;
  for (const float u : points) {
    total += time_at_survival(d.baseline_curve, u);
    total += time_at_survival(d.control_censoring, u);
    total += time_at_survival(d.treatment_censoring, u);
    if (uses_hazard_ratios(d)) {
      total += time_at_survival(hazard_ratio_curve, u);
    } else {
      total += time_at_survival(d.alternative_curve, u);
    }
    total += survival_at(d.baseline_curve, u * 100.0f);
    total += at_risk_weight(d, u * 100.0f, d.rho[1], d.tau[1]);
  }
  std::fprintf(sink, "%g\n", static_cast<double>(total));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* const sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) std::abort();
  std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
  gsd::Design design;
  try {
    gsd::read_design(input, sink, design, [](const gsd::Design&) {});
  } catch (const gsd::InputError&) {
    return 0;  // refused with a message: the expected outcome for most inputs
  }
  check_design(design);
  gsd::write_seed_line(sink, design);
  gsd::write_design_summary(sink, design);
  use_curves(design, sink);
  return 0;
}
