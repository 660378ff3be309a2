#include "design/design_input.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "design/design_layout.h"
#include "design/method.h"
#include "text/edit_output.h"
#include "text/list_input.h"

namespace gsd {

namespace {

std::string at_line(const ListReader& reader) {
  return "line " + std::to_string(reader.line_number) + ": ";
}

void warn(std::vector<std::string>* warnings, std::string text) {
  if (warnings != nullptr) warnings->push_back(std::move(text));
}

// Skips the comment lines before `item`'s value line.
void skip_to(ListReader& reader, DesignItem item) {
  skip_lines(reader, comment_lines_before(item), layout_of(item).name);
}

// The item after `item` in the file.
DesignItem next_item(DesignItem item) {
  return static_cast<DesignItem>(static_cast<int>(item) + 1);
}

void note(std::FILE* console, std::string_view text) {
  Line line;
  put_text(line, text);
  write_line(console, line);
}

int read_integer(ListReader& reader, std::string_view what) {
  int value = 0;
  read_integers(reader, &value, 1, what);
  return value;
}

float read_real(ListReader& reader, std::string_view what) {
  float value = 0.0f;
  read_reals(reader, &value, 1, what);
  return value;
}

// A count that bounds a list of the design must fit its table.
void check_count(const ListReader& reader, int count, int capacity, std::string_view what) {
  if (count > capacity) {
    throw InputError(at_line(reader) + std::string(what) + " is " + std::to_string(count) +
                     ", but at most " + std::to_string(capacity) + " are supported");
  }
  if (count < 0) {
    throw InputError(at_line(reader) + std::string(what) + " is " + std::to_string(count) +
                     ", but it must be at least 1");
  }
}

std::string number_text(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

// Times of a curve or of the looks: each after the one before it (the
// first after time 0 where `positive` asks for it). Checked after the
// defaults, so a time replaced by its default is checked as replaced.
void check_increasing(const ListReader& reader, const float* x, int n, bool positive,
                      std::string_view what) {
  if (positive && !(x[1] > 0.0f)) {
    throw InputError(at_line(reader) + std::string(what) + " must be positive, but the first is " +
                     number_text(x[1]));
  }
  for (int k = 2; k <= n; ++k) {
    if (!(x[k] > x[k - 1])) {
      throw InputError(at_line(reader) + std::string(what) + " must increase, but time " +
                       std::to_string(k) + " (" + number_text(x[k]) + ") does not come after time " +
                       std::to_string(k - 1) + " (" + number_text(x[k - 1]) + ")");
    }
  }
}

// Survival probabilities of a curve whose S(0) = 1: at most 1 and never
// increasing (after the last value's default).
void check_survival(const ListReader& reader, const SurvivalCurve& curve, std::string_view what) {
  for (int k = 1; k <= curve.n; ++k) {
    if (curve.S[k] > 1.0f) {
      throw InputError(at_line(reader) + std::string(what) + " are probabilities, but value " +
                       std::to_string(k) + " is " + number_text(curve.S[k]) +
                       ", above 1");
    }
    if (curve.S[k] > curve.S[k - 1]) {
      throw InputError(at_line(reader) + std::string(what) + " must not increase, but value " +
                       std::to_string(k) + " (" + number_text(curve.S[k]) +
                       ") is above value " + std::to_string(k - 1) + " (" +
                       number_text(curve.S[k - 1]) + ")" +
                       (k == curve.n && curve.S[k] == 1e-5f
                            ? " (a last value of at most 0.00001 is set to 0.00001)"
                            : ""));
    }
  }
}

void check_probabilities(const ListReader& reader, const float* p, int n, std::string_view what) {
  for (int k = 1; k <= n; ++k) {
    if (!(p[k] >= 0.0f && p[k] <= 1.0f)) {
      throw InputError(at_line(reader) + std::string(what) + " must lie in [0, 1], but value " +
                       std::to_string(k) + " is " + number_text(p[k]));
    }
  }
}

// The boundaries of methods 1 to 3 come from a single-precision recursion
// whose target is 0.5 (1 - cumulative alpha), a float near 0.5 (a step of
// 3e-8), and from use functions evaluated in single precision (the
// O'Brien & Fleming type takes the quantile of 1 - alpha/2, another float
// near 1). Compared with the same recursion in double precision over 2 to
// 15 equally spaced looks, one- and two-sided, the type-I error the float
// boundaries spend stays within 7.5% of the double one's down to alpha =
// 1e-5, and within 0.5% for up to 10 looks down to 1e-3 under the O'Brien &
// Fleming type, whose earliest looks spend errors far below the float step;
// below these the error grows fast (method 2 at 1e-8 rejects in every
// trial). Method 4 takes its critical values as given.
constexpr float kSmallestAlpha = 1e-5f;
constexpr float kSmallestAlphaObrienFleming = 1e-3f;

void check_smallest_alpha(const Design& d, long long alpha_line) {
  if (d.method_code < 1 || d.method_code > 3) return;
  const bool obrien_fleming = d.method_code == 2 && d.use_function_code == 1;
  const float least = obrien_fleming ? kSmallestAlphaObrienFleming : kSmallestAlpha;
  if (!(d.alpha < least)) return;
  const char* method = d.method_code == 1 ? "method 1 (error split given)"
                       : d.method_code == 3 ? "method 3 (Haybittle-type b)"
                       : obrien_fleming     ? "method 2 with the O'Brien & Fleming-type use function"
                                            : "method 2 (use function)";
  throw InputError("line " + std::to_string(alpha_line) + ": the type-I error is " +
                   number_text(d.alpha) + ", but the boundaries of " + method +
                   " are computed correctly only for a type-I error of at least " +
                   number_text(least) + ", the smallest served");
}

// The note for a last survival value replaced by 0.00001.
void note_small_survival(std::FILE* console, float x_last) {
  note(console, " Since your last survival value is <.00001.");
  Line line;
  put_text(line, " The survival value at ");
  put_fixed(line, x_last, 9, 3);
  put_text(line, " is set to .00001. Hope this is OK.");
  write_line(console, line);
}

void note_equal_spacing(std::FILE* console, std::string_view largest) {
  note(console, std::string(" The right cutpoints are equally spaced. The largest cutpoint is set to ") +
                    std::string(largest) + ".");
}

// x(k) = span * k / n for k = 1..n, from the integers k and n.
void space_equally(float* x, int n, int span) {
  for (int k = 1; k <= n; ++k) {
    x[k] = static_cast<float>(static_cast<double>(span) * k / n);
  }
}

void read_survival_values(ListReader& reader, std::FILE* console, SurvivalCurve& curve,
                          std::string_view what) {
  curve.S[0] = 1.0f;
  read_reals(reader, &curve.S[1], curve.n, what);
  if (curve.S[curve.n] <= 1e-5f) {
    curve.S[curve.n] = 1e-5f;
    note_small_survival(console, curve.x[curve.n]);
  }
}

// A censoring curve: count (the item `count_item`), times and survival
// values, each after its comment lines.
void read_censoring_curve(ListReader& reader, std::FILE* console, SurvivalCurve& curve,
                          DesignItem count_item, std::string_view group,
                          std::string_view count_note) {
  const std::string name = "the " + std::string(group) + " group's censoring curve";
  curve.n = read_integer(reader, "the number of points of " + name);
  if (curve.n <= 0) {
    curve.n = 1;
    note(console, count_note);
  }
  check_count(reader, curve.n, kCurveCapacity, "the number of points of " + name);
  curve.x[0] = 0.0f;
  skip_to(reader, next_item(count_item));
  read_reals(reader, &curve.x[1], curve.n, "the times of " + name);
  if (curve.x[curve.n] <= 1e-8f) {
    space_equally(curve.x, curve.n, 20);
    note_equal_spacing(console, "20");
  }
  check_increasing(reader, curve.x, curve.n, false, "the times of " + name);
  skip_to(reader, next_item(next_item(count_item)));
  read_survival_values(reader, console, curve, "the survival values of " + name);
  check_survival(reader, curve, "the survival values of " + name);
}

void read_crossover_list(ListReader& reader, std::FILE* console, DesignItem count_item,
                         int& count, float* times, float* probs, std::string_view name) {
  count = read_integer(reader, "the number of " + std::string(name) + " entries");
  if (count <= 0) {
    count = 1;
    note(console, " The number of intervals is set to 1.");
  }
  check_count(reader, count, kListCapacity, "the number of " + std::string(name) + " entries");
  skip_to(reader, next_item(count_item));
  read_reals(reader, &times[1], count, "the " + std::string(name) + " times");
  skip_to(reader, next_item(next_item(count_item)));
  read_reals(reader, &probs[1], count, "the " + std::string(name) + " probabilities");
  check_probabilities(reader, probs, count, "the " + std::string(name) + " probabilities");
}

}  // namespace

void read_design(std::istream& input, std::FILE* console, Design& design,
                 const std::function<void(const Design&)>& on_report_name,
                 std::vector<std::string>* warnings) {
  ListReader reader(input);
  Design& d = design;

  skip_to(reader, DesignItem::kMethodCode);
  d.method_code = read_integer(reader, "the method code");
  if (d.method_code == 0) {
    d.method_code = static_cast<int>(Method::kUseFunction);
    note(console, " The Lan-Demets method is chosen.");
  }
  if (d.method_code < static_cast<int>(Method::kErrorSplit) ||
      d.method_code > static_cast<int>(Method::kGivenBounds)) {
    throw InputError(at_line(reader) + "the method code is " + std::to_string(d.method_code) +
                     ", but it must be 1 (error split given), 2 (use function), "
                     "3 (Haybittle-type b) or 4 (critical values given)");
  }

  skip_to(reader, DesignItem::kReportName);
  std::string name;
  if (!read_text(reader, name, kReportNameLength, "the report name") || name.empty()) {
    throw InputError(at_line(reader) + "the report name is empty; a file name is expected");
  }
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '/' || u < 0x20 || u == 0x7f) {
      throw InputError(at_line(reader) + "the report name \"" + name +
                       "\" must be a plain file name in the current directory "
                       "(no '/' and no control characters)");
    }
  }
  if (name == "." || name == "..") {
    throw InputError(at_line(reader) + "the report name \"" + name + "\" is not a file name");
  }
  name.copy(d.report_name, kReportNameLength);
  on_report_name(d);

  skip_to(reader, DesignItem::kSeed);
  d.seed = read_integer(reader, "the seed");
  if (d.seed == 0) {
    d.seed = -123457;
    note(console, " The seed is set to -123457.");
  }
  if (std::llabs(static_cast<long long>(d.seed)) > kSeedMagnitudeLimit) {
    throw InputError(at_line(reader) + "the seed is " + std::to_string(d.seed) +
                     ", but its magnitude must not exceed " + std::to_string(kSeedMagnitudeLimit));
  }

  skip_to(reader, DesignItem::kLookCount);
  d.look_count = read_integer(reader, "the number of looks K");
  if (d.look_count <= 1) {
    d.look_count = 1;
    note(console, " You have specified the non-sequential design.");
  }
  check_count(reader, d.look_count, kLookCapacity, "the number of looks K");
  const int K = d.look_count;

  skip_to(reader, DesignItem::kLookTimes);
  read_reals(reader, &d.look_times[1], K, "the look times");
  if (d.look_times[K] <= 0.0f) {
    d.look_times[K] = 10.0f;
    note(console, " The last look has been set at 10.");
  }
  check_increasing(reader, d.look_times, K, true, "the look times");

  skip_to(reader, DesignItem::kStatCount);
  d.stat_count = read_integer(reader, "the number of statistics L");
  if (d.stat_count == 0) {
    d.stat_count = 1;
    note(console, " One test statistic is specified.");
  }
  check_count(reader, d.stat_count, kStatCapacity, "the number of statistics L");
  const int L = d.stat_count;
  skip_to(reader, DesignItem::kRho);
  read_reals(reader, &d.rho[1], L, "the rho values");
  skip_to(reader, DesignItem::kTau);
  read_reals(reader, &d.tau[1], L, "the tau values");

  skip_to(reader, DesignItem::kSimCount);
  d.sim_count = read_integer(reader, "the number of simulated trials");
  if (d.sim_count <= 0) {
    d.sim_count = 1000;
    note(console, " The number of simulation is set to 1000.");
  }
  if (d.sim_count > kTrialCapacity) {
    throw InputError(at_line(reader) + "the number of simulated trials is " +
                     std::to_string(d.sim_count) + ", but at most " +
                     std::to_string(kTrialCapacity) + " are supported");
  }

  skip_to(reader, DesignItem::kAlpha);
  d.alpha = read_real(reader, "the type-I error");
  const long long alpha_line = reader.line_number;
  if (d.alpha <= 1e-10f) {
    d.alpha = 0.05f;
    note(console, " The type-I error is set to 0.05.");
  }

  skip_to(reader, DesignItem::kSides);
  d.sides = read_integer(reader, "the number of sides");
  if (d.sides == 0) {
    d.sides = 2;
    note(console, " 2 sided test is spcified.");
  }
  if (d.sides != 1 && d.sides != 2) {
    throw InputError(at_line(reader) + "the number of sides is " + std::to_string(d.sides) +
                     ", but it must be 1 (one-sided) or 2 (two-sided)");
  }

  skip_to(reader, DesignItem::kErrorSplit);
  d.cum_alpha[0] = 0.0f;
  read_reals(reader, &d.cum_alpha[1], K, "the type-I error split e(1..K)");
  if (has_method(d, Method::kErrorSplit)) {
    if (K == 1) {
      d.cum_alpha[1] = d.alpha;
    } else {
      // A single-precision running sum, as the split is spent look by look.
      for (int i = 1; i <= K; ++i) d.cum_alpha[i] = d.cum_alpha[i] + d.cum_alpha[i - 1];
      if (std::fabs(d.cum_alpha[K] - d.alpha) > 1e-6f) {
        note(console, " The sum of the e's is not equal to the type-I error.");
      }
    }
  }

  skip_to(reader, DesignItem::kB);
  d.b_input = read_real(reader, "the constant b");
  if (d.b_input <= 1.0f) {
    d.b = 3.0f;
    note(console, "Your input of b is less than 1, b is re-set to 3.");
  } else {
    d.b = d.b_input;
  }

  skip_to(reader, DesignItem::kGivenBounds);
  read_reals(reader, &d.given_bounds[1], K, "the critical values c(1..K)");
  for (int i = 1; i <= K; ++i) {
    if (d.given_bounds[i] < 1e-5f) d.given_bounds[i] = 1.96f;
  }

  skip_to(reader, DesignItem::kUseFunctionCode);
  d.use_function_code = read_integer(reader, "the use-function code");
  if (!(static_cast<float>(d.use_function_code) > 0.01f)) {
    d.use_function_code = static_cast<int>(UseFunction::kObrienFleming);
    note(console, " The OBrien and Fleming use function is chosen.");
  }
  check_smallest_alpha(d, alpha_line);

  SurvivalCurve& base = d.baseline_curve;
  skip_to(reader, DesignItem::kBaselineCount);
  base.n = read_integer(reader, "the number of points of the baseline survival curve");
  if (base.n == 0) {
    base.n = 1;
    note(console, " The number of intervals is set to 1.");
  }
  check_count(reader, base.n, kCurveCapacity,
              "the number of points of the baseline survival curve");
  base.x[0] = 0.0f;
  skip_to(reader, DesignItem::kBaselineTimes);
  read_reals(reader, &base.x[1], base.n, "the times of the baseline survival curve");
  const long long baseline_times_line = reader.line_number;
  if (base.x[base.n] <= 1e-10f) {
    space_equally(base.x, base.n, 10);
    note_equal_spacing(console, "10");
  }
  // The event density of the null variance divides by the length of each
  // piece, so the baseline times must differ from one point to the next.
  for (int k = 1; k <= base.n; ++k) {
    if (base.x[k] == base.x[k - 1]) {
      throw InputError(at_line(reader) + "the baseline survival curve has two points at time " +
                       std::to_string(base.x[k]) +
                       "; its times must differ (and start after 0)");
    }
  }
  check_increasing(reader, base.x, base.n, true, "the times of the baseline survival curve");
  skip_to(reader, DesignItem::kBaselineSurvival);
  read_survival_values(reader, console, base,
                       "the survival values of the baseline survival curve");
  check_survival(reader, base, "the survival values of the baseline survival curve");
  if (base.x[base.n] < d.look_times[K]) {
    warn(warnings, "line " + std::to_string(baseline_times_line) +
                       ": the last point of the baseline survival curve, at time " +
                       number_text(base.x[base.n]) + ", lies before the last look, at time " +
                       number_text(d.look_times[K]) +
                       ": the null variance counts events only up to that point, so the "
                       "information stops growing after it (plus the accrual period) and the "
                       "boundaries of later looks are computed from too little information; "
                       "give the curve up to the last look");
  }

  skip_to(reader, DesignItem::kAccrual);
  float accrual[2] = {0.0f, 0.0f};
  read_reals(reader, accrual, 2, "the accrual period and accrual rate");
  d.accrual_period = accrual[0] == 0.0f ? 10.0f : accrual[0];
  d.accrual_rate = accrual[1] == 0.0f ? 10.0f : accrual[1];
  // Negative values would give entry times before the start, or a negative
  // number of subjects and negative null variances: a report of nothing.
  if (d.accrual_period < 0.0f || d.accrual_rate < 0.0f) {
    const bool period = d.accrual_period < 0.0f;
    char value[64];
    std::snprintf(value, sizeof value, "%g",
                  static_cast<double>(period ? d.accrual_period : d.accrual_rate));
    throw InputError(at_line(reader) + (period ? "the accrual period is " : "the accrual rate is ") +
                     value + ", but it must not be negative");
  }
  const float subjects = d.accrual_rate * d.accrual_period;
  if (subjects >= static_cast<float>(kSubjectCapacity + 1)) {
    char count[64];
    std::snprintf(count, sizeof count, "%.0f", static_cast<double>(subjects));
    throw InputError(at_line(reader) + "accrual rate times accrual period gives " + count +
                     " subjects per trial, but at most " + std::to_string(kSubjectCapacity) +
                     " are supported");
  }

  skip_to(reader, DesignItem::kIntervalCount);
  d.interval_count = read_integer(reader, "the number of treatment-group intervals m");
  if (d.interval_count <= 0) {
    d.interval_count = 1;
    note(console, " The number of intervals is set to 1.");
  }
  check_count(reader, d.interval_count, kIntervalCapacity,
              "the number of treatment-group intervals m");
  const int m = d.interval_count;
  skip_to(reader, DesignItem::kCutpoints);
  read_reals(reader, &d.hazard_cutpoints[1], m, "the treatment-group cut points");
  const long long cutpoints_line = reader.line_number;
  if (d.hazard_cutpoints[m] <= 1e-10f) {
    space_equally(d.hazard_cutpoints, m, 10);
    note_equal_spacing(console, "10");
  }
  check_increasing(reader, d.hazard_cutpoints, m, true, "the treatment-group cut points");

  skip_to(reader, DesignItem::kAlternativeMode);
  d.alternative_mode = read_real(reader, "the treatment-group mode");

  skip_to(reader, DesignItem::kAlternativeValues);
  if (uses_hazard_ratios(d)) {
    read_reals(reader, &d.hazard_ratios[1], m, "the treatment-group hazard ratios");
    for (int k = 1; k <= m; ++k) {
      if (d.hazard_ratios[k] <= 1e-10f) {
        d.hazard_ratios[k] = 1.0f;
        Line line;
        put_text(line, "The hazard ratio on [0,");
        put_fixed(line, d.hazard_cutpoints[k], 5, 2);
        put_text(line, "] is set to 1.");
        write_line(console, line);
      }
    }
    if (d.hazard_cutpoints[m] < d.look_times[K]) {
      warn(warnings, "line " + std::to_string(cutpoints_line) +
                         ": the last hazard-ratio cut point, " +
                         number_text(d.hazard_cutpoints[m]) + ", lies before the last look, at time " +
                         number_text(d.look_times[K]) +
                         ": beyond it the hazard ratio is 1 (no treatment effect); add a cut "
                         "point at or after the last look if the effect lasts");
    }
  } else {
    SurvivalCurve& alt = d.alternative_curve;
    alt.n = m;
    alt.x[0] = 0.0f;
    for (int k = 1; k <= m; ++k) alt.x[k] = d.hazard_cutpoints[k];
    read_survival_values(reader, console, alt, "the treatment-group survival values");
    check_survival(reader, alt, "the treatment-group survival values");
  }

  skip_to(reader, DesignItem::kControlCensoringCount);
  read_censoring_curve(reader, console, d.control_censoring,
                       DesignItem::kControlCensoringCount, "control",
                       "The number of intervals is set to 1.");
  skip_to(reader, DesignItem::kTreatmentCensoringCount);
  read_censoring_curve(reader, console, d.treatment_censoring,
                       DesignItem::kTreatmentCensoringCount, "treatment",
                       " The number of intervals is set to 1.");

  skip_to(reader, DesignItem::kDropInCount);
  read_crossover_list(reader, console, DesignItem::kDropInCount, d.drop_in_count, d.drop_in_times, d.drop_in_probs,
                      "drop-in");
  skip_to(reader, DesignItem::kDropOutCount);
  read_crossover_list(reader, console, DesignItem::kDropOutCount, d.drop_out_count, d.drop_out_times, d.drop_out_probs,
                      "drop-out");
  if (warnings != nullptr) {
    // In the order of the design's lines, whichever check found them.
    warnings->insert(warnings->end(), reader.warnings.begin(), reader.warnings.end());
    std::stable_sort(warnings->begin(), warnings->end(),
                     [](const std::string& a, const std::string& b) {
                       return std::atoll(a.c_str() + 5) < std::atoll(b.c_str() + 5);
                     });
  }
}

}  // namespace gsd
