#include "design/keyed_design.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "design/design_input.h"
#include "design/design_template.h"
#include "text/json_writer.h"
#include "text/list_input.h"
#include "text/discard_stream.h"

namespace gsd {

namespace {

// The look times of a design whose looks are not given (the positional
// default) and the accrual period and rate of omitted accrual keys.
constexpr float kDefaultLastLook = 10.0f;
constexpr float kDefaultAccrual = 10.0f;

[[noreturn]] void refuse(std::string_view key, const std::string& what) {
  throw InputError(std::string(key) + ": " + what);
}

std::string real_text(float value) { return shortest_real(value); }

std::string reals_text(const std::vector<float>& values) {
  std::string text;
  for (const float v : values) {
    if (!text.empty()) text += ' ';
    text += real_text(v);
  }
  return text;
}

void check_count(std::string_view key, std::size_t count, int capacity, std::string_view what) {
  if (count > static_cast<std::size_t>(capacity)) {
    refuse(key, std::to_string(count) + " values are given, but at most " +
                    std::to_string(capacity) + " " + std::string(what) + " are supported");
  }
}

void check_same_length(std::string_view key, std::size_t count, std::string_view other,
                       std::size_t other_count) {
  if (count != other_count) {
    refuse(key, std::to_string(count) + " values are given, but " + std::string(other) +
                    " has " + std::to_string(other_count) + "; one is needed for each");
  }
}

void check_positive(std::string_view key, float value) {
  if (!(value > 0.0f)) refuse(key, real_text(value) + " is given, but it must be positive");
}

void check_each_positive(std::string_view key, const std::vector<float>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!(values[i] > 0.0f)) {
      refuse(key, "value " + std::to_string(i + 1) + " is " + real_text(values[i]) +
                      ", but each must be positive");
    }
  }
}

void check_increasing(std::string_view key, const std::vector<float>& values) {
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (!(values[i] > values[i - 1])) {
      refuse(key, "value " + std::to_string(i + 1) + " is " + real_text(values[i]) +
                      ", but the values must increase (value " + std::to_string(i) + " is " +
                      real_text(values[i - 1]) + ")");
    }
  }
}

void check_fractions(std::string_view key, const std::vector<float>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!(values[i] >= 0.0f && values[i] <= 1.0f)) {
      refuse(key, "value " + std::to_string(i + 1) + " is " + real_text(values[i]) +
                      ", but each must lie in [0, 1]");
    }
  }
}

// The positional reader replaces every time of a list whose last time is
// at most these by equally spaced times (and a hazard ratio at most
// kSmallestHazardRatio by 1, a critical value below kSmallestBound by
// 1.96): keyed values never ask for that.
constexpr float kSmallestCurveTime = 1e-10f;
constexpr float kSmallestCensoringTime = 1e-8f;
constexpr float kSmallestHazardRatio = 1e-10f;
constexpr float kSmallestBound = 1e-5f;
constexpr float kSmallestAlpha = 1e-10f;
// The smallest survival value a curve holds: a last value at most this
// becomes this (with a note), so a value before the last must not be
// below it, or the curve would rise at its end.
constexpr float kSmallestSurvival = 1e-5f;

void check_last_time(std::string_view key, const std::vector<float>& times, float smallest) {
  if (!times.empty() && !(times.back() > smallest)) {
    refuse(key, "the last value is " + real_text(times.back()) + ", but it must exceed " +
                    real_text(smallest) + " (a smaller one asks for equally spaced times)");
  }
}

void check_each_above(std::string_view key, const std::vector<float>& values, float smallest,
                      std::string_view reason) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!(values[i] > smallest)) {
      refuse(key, "value " + std::to_string(i + 1) + " is " + real_text(values[i]) +
                      ", but each must exceed " + real_text(smallest) + " (" + std::string(reason) + ")");
    }
  }
}

// Times after the origin, increasing, the last above `smallest_time`, with
// survival probabilities in (0, 1] that never increase.
void check_curve(std::string_view table, const KeyedCurve& curve, std::string_view times_key,
                 float smallest_time = kSmallestCurveTime) {
  const std::string times = std::string(table) + "." + std::string(times_key);
  const std::string survival = std::string(table) + ".survival";
  if (curve.times.empty()) refuse(times, "missing: " + survival + " needs the times of its points");
  if (curve.survival.empty()) refuse(survival, "missing: " + times + " needs a survival value for each");
  check_count(times, curve.times.size(), kCurveCapacity, "points");
  check_same_length(survival, curve.survival.size(), times, curve.times.size());
  check_each_positive(times, curve.times);
  check_increasing(times, curve.times);
  check_last_time(times, curve.times, smallest_time);
  for (std::size_t i = 0; i < curve.survival.size(); ++i) {
    const float s = curve.survival[i];
    if (!(s > 0.0f && s <= 1.0f)) {
      refuse(survival, "value " + std::to_string(i + 1) + " is " + real_text(s) +
                           ", but a survival probability must lie in (0, 1]");
    }
    if (i > 0 && s > curve.survival[i - 1]) {
      refuse(survival, "value " + std::to_string(i + 1) + " is " + real_text(s) +
                           ", but survival must not increase (value " + std::to_string(i) +
                           " is " + real_text(curve.survival[i - 1]) + ")");
    }
    if (i + 1 < curve.survival.size() && s < kSmallestSurvival) {
      refuse(survival, "value " + std::to_string(i + 1) + " is " + real_text(s) +
                           ", but only the last value may lie below 1e-05 (the smallest "
                           "survival the design holds, which a last value below it becomes)");
    }
  }
}

void check_crossover(std::string_view key, const KeyedCrossover& list) {
  const std::string times = std::string(key) + ".times";
  const std::string probabilities = std::string(key) + ".probabilities";
  if (list.times.empty()) refuse(times, "missing: " + probabilities + " needs the times of its entries");
  if (list.probabilities.empty()) {
    refuse(probabilities, "missing: " + times + " needs a probability for each");
  }
  check_count(times, list.times.size(), kListCapacity, "entries");
  check_same_length(probabilities, list.probabilities.size(), times, list.times.size());
  for (std::size_t i = 0; i < list.times.size(); ++i) {
    if (!(list.times[i] >= 0.0f)) {
      refuse(times, "value " + std::to_string(i + 1) + " is " + real_text(list.times[i]) +
                        ", but a time after entry must not be negative");
    }
  }
  check_fractions(probabilities, list.probabilities);
}

KeyedCurve exponential_curve(float median, float last_look);

[[noreturn]] void refuse_both(std::string_view first, std::string_view second) {
  refuse(first, "given together with " + std::string(second) +
                    ", but the two exclude each other; give one of them");
}

// The number of looks the design gives (0 when [looks] is omitted).
int given_look_count(const KeyedDesign& k) {
  return static_cast<int>(!k.look_events.empty() ? k.look_events.size() : k.look_times.size());
}

// K after the positional default: an omitted [looks] is one look.
int look_count(const KeyedDesign& k) {
  const int count = given_look_count(k);
  return count > 0 ? count : 1;
}

// The time the last look stands for: the median and hazard_ratio keys
// describe the curves up to it.
float last_look_time(const KeyedDesign& k) {
  if (!k.look_events.empty()) return *k.max_time;
  if (!k.look_times.empty()) return k.look_times.back();
  return kDefaultLastLook;
}

float accrual_period(const KeyedDesign& k) {
  return k.accrual_period ? *k.accrual_period : kDefaultAccrual;
}

float accrual_rate(const KeyedDesign& k) {
  if (k.subjects) return rate_for_subjects(*k.subjects, accrual_period(k));
  return k.accrual_rate ? *k.accrual_rate : kDefaultAccrual;
}

// Rate x period as the design input and the trial generation count them.
long long subjects_per_trial(float rate, float period) {
  const double product =
      static_cast<float>(static_cast<double>(rate) * static_cast<double>(period));
  return product < 1e15 ? static_cast<long long>(product) : LLONG_MAX;
}

void check_report(const std::string& name) {
  if (name.empty()) {
    refuse("report", "missing: the name of the report file is required "
                     "(a plain file name of at most 12 characters)");
  }
  if (name.size() > static_cast<std::size_t>(kReportNameLength)) {
    refuse("report", "\"" + name + "\" has " + std::to_string(name.size()) +
                         " characters, but at most " + std::to_string(kReportNameLength) +
                         " are allowed");
  }
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '/' || u < 0x20 || u == 0x7f) {
      refuse("report", "\"" + name +
                           "\" must be a plain file name in the current directory "
                           "(no '/' and no control characters)");
    }
  }
  if (name == "." || name == ".." || name.back() == ' ') {
    refuse("report", "\"" + name + "\" is not a file name");
  }
}

void check_looks(const KeyedDesign& k) {
  if (!k.look_times.empty() && !k.look_events.empty()) refuse_both("looks.times", "looks.events");
  if (!k.look_events.empty() && !k.max_time) {
    refuse("looks.max_time", "missing: event-driven looks (looks.events) need the longest "
                             "time a trial may run");
  }
  if (k.max_time && k.look_events.empty()) {
    refuse("looks.max_time", "given without looks.events; it is the time limit of "
                             "event-driven looks");
  }
  if (!k.look_times.empty()) {
    check_count("looks.times", k.look_times.size(), kLookCapacity, "looks");
    check_each_positive("looks.times", k.look_times);
    check_increasing("looks.times", k.look_times);
  }
  if (!k.look_events.empty()) {
    check_count("looks.events", k.look_events.size(), kLookCapacity, "looks");
    check_positive("looks.max_time", *k.max_time);
    const long long subjects = subjects_per_trial(accrual_rate(k), accrual_period(k));
    for (std::size_t i = 0; i < k.look_events.size(); ++i) {
      const long long events = k.look_events[i];
      const std::string value = "value " + std::to_string(i + 1) + " is " + std::to_string(events);
      if (events < 1) refuse("looks.events", value + ", but an event target must be at least 1");
      if (i > 0 && events <= k.look_events[i - 1]) {
        refuse("looks.events", value + ", but the targets must increase (value " +
                                   std::to_string(i) + " is " +
                                   std::to_string(k.look_events[i - 1]) + ")");
      }
      if (events > subjects) {
        refuse("looks.events", value + ", but a trial has only " + std::to_string(subjects) +
                                   " subjects");
      }
    }
  }
}

void check_boundary(const KeyedDesign& k) {
  const int K = look_count(k);
  const std::string per_look = "one per look (" + std::to_string(K) + ")";
  if (!k.error_split.empty()) {
    if (k.error_split.size() != static_cast<std::size_t>(K)) {
      refuse("boundary.error_split", std::to_string(k.error_split.size()) +
                                         " values are given, but " + per_look + " is needed");
    }
    check_fractions("boundary.error_split", k.error_split);
  } else if (k.method == BoundaryMethod::kErrorSplit && K > 1) {
    refuse("boundary.error_split", "missing: method \"error-split\" needs the type-I error "
                                   "spent at each look, " + per_look);
  }
  if (!k.critical_values.empty()) {
    if (k.critical_values.size() != static_cast<std::size_t>(K)) {
      refuse("boundary.critical_values", std::to_string(k.critical_values.size()) +
                                             " values are given, but " + per_look + " is needed");
    }
    for (std::size_t i = 0; i < k.critical_values.size(); ++i) {
      if (!(k.critical_values[i] >= kSmallestBound)) {
        refuse("boundary.critical_values",
               "value " + std::to_string(i + 1) + " is " + real_text(k.critical_values[i]) +
                   ", but each must be at least 1e-05 (a smaller one means 1.96)");
      }
    }
  }
}

void check_treatment(const KeyedDesign& k) {
  const bool piecewise = !k.hazard_ratios.empty() || !k.cuts.empty();
  if (k.hazard_ratio && piecewise) {
    refuse_both("treatment.hazard_ratio",
                k.hazard_ratios.empty() ? "treatment.cuts" : "treatment.hazard_ratios");
  }
  if (k.hazard_ratio && k.treatment) refuse_both("treatment.hazard_ratio", "treatment.times");
  if (piecewise && k.treatment) {
    refuse_both(k.hazard_ratios.empty() ? "treatment.cuts" : "treatment.hazard_ratios",
                "treatment.times");
  }
  if (k.hazard_ratio) {
    check_each_above("treatment.hazard_ratio", {*k.hazard_ratio}, kSmallestHazardRatio,
                     "a smaller one means 1");
  }
  if (piecewise) {
    if (k.cuts.empty()) {
      refuse("treatment.cuts", "missing: treatment.hazard_ratios needs the right end of each "
                               "interval");
    }
    if (k.hazard_ratios.empty()) {
      refuse("treatment.hazard_ratios", "missing: treatment.cuts needs a hazard ratio for each "
                                        "interval");
    }
    check_count("treatment.cuts", k.cuts.size(), kIntervalCapacity, "intervals");
    check_same_length("treatment.hazard_ratios", k.hazard_ratios.size(), "treatment.cuts",
                      k.cuts.size());
    check_each_positive("treatment.cuts", k.cuts);
    check_increasing("treatment.cuts", k.cuts);
    check_last_time("treatment.cuts", k.cuts, kSmallestCurveTime);
    check_each_above("treatment.hazard_ratios", k.hazard_ratios, kSmallestHazardRatio,
                     "a smaller one means 1");
  }
  if (k.treatment) check_curve("treatment", *k.treatment, "times");
}

void check_accrual(const KeyedDesign& k) {
  if (k.subjects && k.accrual_rate) refuse_both("accrual.subjects", "accrual.rate");
  if (k.subjects && !k.accrual_period) {
    refuse("accrual.period", "missing: accrual.subjects needs the length of the accrual period");
  }
  if (k.accrual_period) check_positive("accrual.period", *k.accrual_period);
  if (k.accrual_rate) check_positive("accrual.rate", *k.accrual_rate);
  if (k.subjects && (*k.subjects < 1 || *k.subjects > kSubjectCapacity)) {
    refuse("accrual.subjects", std::to_string(*k.subjects) + " is given, but from 1 to " +
                                   std::to_string(kSubjectCapacity) + " are supported");
  }
  const long long subjects = subjects_per_trial(accrual_rate(k), accrual_period(k));
  if (k.subjects && subjects != *k.subjects) {
    refuse("accrual.subjects", "no single-precision accrual rate gives exactly " +
                                   std::to_string(*k.subjects) + " subjects in the period " +
                                   real_text(*k.accrual_period) + "; give accrual.rate instead");
  }
  if (subjects > kSubjectCapacity) {
    refuse("accrual.rate", "rate x period gives " + std::to_string(subjects) +
                               " subjects per trial, but at most " +
                               std::to_string(kSubjectCapacity) + " are supported");
  }
}

// --- The positional text --------------------------------------------------

std::string integer_text(long long value) { return std::to_string(value); }

// A report name as the free-form reader takes it: as it is when it holds
// nothing that ends or quotes a value, otherwise quoted (a doubled quote
// stands for one).
std::string quoted_name(const std::string& name) {
  if (name.find_first_of(" \t,/'\"*") == std::string::npos) return name;
  std::string text = "'";
  for (const char c : name) {
    text += c;
    if (c == '\'') text += '\'';
  }
  return text + "'";
}

std::string zeros(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += i == 0 ? "0" : " 0";
  return text;
}

// Count, times and values of a curve, or of the positional zeros that ask
// for its defaults.
void curve_lines(std::vector<std::string>& lines, const KeyedCurve* curve) {
  if (curve == nullptr) {
    lines.insert(lines.end(), {"0", "0", "0"});
    return;
  }
  lines.push_back(integer_text(static_cast<long long>(curve->times.size())));
  lines.push_back(reals_text(curve->times));
  lines.push_back(reals_text(curve->survival));
}

// No loss to follow-up: one point at time 1 with survival 1.
const KeyedCurve kNoLoss{{1.0f}, {1.0f}};

void censoring_lines(std::vector<std::string>& lines, const std::optional<KeyedCurve>& curve) {
  curve_lines(lines, curve ? &*curve : &kNoLoss);
}

// No crossover: one entry at time 0 with probability 0.
void crossover_lines(std::vector<std::string>& lines, const std::optional<KeyedCrossover>& list) {
  if (!list) {
    lines.insert(lines.end(), {"1", "0", "0"});
    return;
  }
  lines.push_back(integer_text(static_cast<long long>(list->times.size())));
  lines.push_back(reals_text(list->times));
  lines.push_back(reals_text(list->probabilities));
}

// The exponential curve of median M as 20 points equally spaced up to the
// last look: x_i = i t / 20, S_i = 0.5^(x_i / M), each in double and rounded
// once. A single point (M, 0.5) would give the trials the same curve, but
// the null variance integrates only up to the last baseline point, with the
// event density constant between points.
KeyedCurve exponential_curve(float median, float last_look) {
  KeyedCurve curve;
  for (int i = 1; i <= kCurveCapacity; ++i) {
    const double x = static_cast<double>(i) * static_cast<double>(last_look) / kCurveCapacity;
    curve.times.push_back(static_cast<float>(x));
    curve.survival.push_back(static_cast<float>(std::pow(0.5, x / static_cast<double>(median))));
  }
  return curve;
}

// The value lines 11, 14, ... 145 of the positional design, in order.
std::vector<std::string> value_lines(const KeyedDesign& k) {
  const int given_looks = given_look_count(k);
  const int K = look_count(k);
  std::vector<std::string> lines;
  lines.push_back(integer_text(k.method ? static_cast<int>(*k.method) : 0));
  lines.push_back(quoted_name(k.report));
  lines.push_back(integer_text(k.seed.value_or(0)));
  lines.push_back(integer_text(given_looks));
  if (!k.look_events.empty()) {
    std::vector<float> placeholders;
    for (int i = 1; i <= K; ++i) {
      placeholders.push_back(
          static_cast<float>(static_cast<double>(*k.max_time) * i / static_cast<double>(K)));
    }
    lines.push_back(reals_text(placeholders));
  } else {
    lines.push_back(k.look_times.empty() ? "0" : reals_text(k.look_times));
  }
  if (k.statistics.empty()) {
    lines.insert(lines.end(), {"0", "0", "0"});
  } else {
    std::vector<float> rho;
    std::vector<float> tau;
    for (const KeyedStatistic& s : k.statistics) {
      rho.push_back(s.rho);
      tau.push_back(s.tau);
    }
    lines.push_back(integer_text(static_cast<long long>(k.statistics.size())));
    lines.push_back(reals_text(rho));
    lines.push_back(reals_text(tau));
  }
  lines.push_back(integer_text(k.trials.value_or(0)));
  lines.push_back(k.alpha ? real_text(*k.alpha) : "0");
  lines.push_back(integer_text(k.sides.value_or(0)));
  lines.push_back(k.error_split.empty() ? zeros(K) : reals_text(k.error_split));
  lines.push_back(k.b ? real_text(*k.b) : "0");
  lines.push_back(k.critical_values.empty() ? zeros(K) : reals_text(k.critical_values));
  lines.push_back(integer_text(k.spending ? static_cast<int>(*k.spending) : 0));

  if (k.control_median) {
    const KeyedCurve curve = exponential_curve(*k.control_median, last_look_time(k));
    curve_lines(lines, &curve);
  } else {
    curve_lines(lines, k.control ? &*k.control : nullptr);
  }

  const std::string period = k.accrual_period ? real_text(*k.accrual_period) : "0";
  std::string rate = "0";
  if (k.subjects) {
    rate = real_text(rate_for_subjects(*k.subjects, *k.accrual_period));
  } else if (k.accrual_rate) {
    rate = real_text(*k.accrual_rate);
  }
  lines.push_back(period + " " + rate);

  if (k.hazard_ratio) {
    lines.insert(lines.end(), {"1", real_text(last_look_time(k)), "2", real_text(*k.hazard_ratio)});
  } else if (!k.hazard_ratios.empty()) {
    lines.push_back(integer_text(static_cast<long long>(k.cuts.size())));
    lines.push_back(reals_text(k.cuts));
    lines.push_back("2");
    lines.push_back(reals_text(k.hazard_ratios));
  } else if (k.treatment) {
    lines.push_back(integer_text(static_cast<long long>(k.treatment->times.size())));
    lines.push_back(reals_text(k.treatment->times));
    lines.push_back("1");
    lines.push_back(reals_text(k.treatment->survival));
  } else {
    lines.insert(lines.end(), {"0", "0", "0", "0"});
  }

  censoring_lines(lines, k.control_censoring);
  censoring_lines(lines, k.treatment_censoring);
  crossover_lines(lines, k.drop_in);
  crossover_lines(lines, k.drop_out);
  return lines;
}

// The key a positional value line stands for, for messages of the
// positional reader about the text of a keyed design.
const char* key_of_line(int line) {
  struct LineKey {
    int last_line;
    const char* key;
  };
  static constexpr LineKey kKeys[] = {
      {11, "boundary.method"},   {14, "report"},
      {17, "seed"},              {23, "looks"},
      {33, "statistics"},        {37, "trials"},
      {40, "alpha"},             {43, "sides"},
      {49, "boundary.error_split"}, {54, "boundary.b"},
      {61, "boundary.critical_values"}, {70, "boundary.spending"},
      {83, "control"},           {88, "accrual"},
      {106, "treatment"},        {117, "censoring.control"},
      {128, "censoring.treatment"}, {137, "crossover.drop_in"},
      {145, "crossover.drop_out"},
  };
  for (const LineKey& entry : kKeys) {
    if (line <= entry.last_line) return entry.key;
  }
  return nullptr;
}

}  // namespace

std::string keyed_refusal_message(const std::string& message) {
  const std::string_view prefix = "line ";
  if (message.compare(0, prefix.size(), prefix) != 0) return message;
  const std::size_t colon = message.find(": ");
  if (colon == std::string::npos) return message;
  const int line = std::atoi(message.c_str() + prefix.size());
  const char* key = key_of_line(line);
  if (key == nullptr) return message;
  return std::string(key) + ": " + message.substr(colon + 2) + " (line " + std::to_string(line) +
         " of the equivalent positional design)";
}

const char* boundary_method_name(BoundaryMethod method) {
  switch (method) {
    case BoundaryMethod::kErrorSplit:
      return "error-split";
    case BoundaryMethod::kUseFunction:
      return "spending";
    case BoundaryMethod::kHaybittle:
      return "haybittle";
    case BoundaryMethod::kGivenBounds:
      return "critical-values";
  }
  return "";
}

const char* spending_function_name(SpendingFunction function) {
  switch (function) {
    case SpendingFunction::kObrienFleming:
      return "obrien-fleming";
    case SpendingFunction::kPocock:
      return "pocock";
    case SpendingFunction::kLinear:
      return "linear";
    case SpendingFunction::kSiegmund:
      return "siegmund";
  }
  return "";
}

float rate_for_subjects(long long subjects, float period) {
  float rate = static_cast<float>(static_cast<double>(subjects) / static_cast<double>(period));
  // Rounding to single precision may leave the product just below N; a few
  // steps up reach it (the bound only guards against a period so extreme
  // that no rate reaches N, which the check of the subjects then reports).
  for (int step = 0; step < 64 && subjects_per_trial(rate, period) < subjects; ++step) {
    rate = std::nextafter(rate, INFINITY);
  }
  return rate;
}

void check_keyed_design(const KeyedDesign& k) {
  check_report(k.report);
  if (k.seed && (*k.seed > kSeedMagnitudeLimit || *k.seed < -kSeedMagnitudeLimit)) {
    refuse("seed", std::to_string(*k.seed) + " is given, but its magnitude must not exceed " +
                       std::to_string(kSeedMagnitudeLimit));
  }
  if (k.trials && (*k.trials < 1 || *k.trials > INT_MAX)) {
    refuse("trials", std::to_string(*k.trials) + " is given, but the number of simulated "
                                                 "trials must be from 1 to " +
                         std::to_string(INT_MAX));
  }
  if (k.alpha && !(*k.alpha > kSmallestAlpha && *k.alpha < 1.0f)) {
    refuse("alpha", real_text(*k.alpha) + " is given, but the type-I error must lie in (1e-10, 1)");
  }
  if (k.sides && *k.sides != 1 && *k.sides != 2) {
    refuse("sides", std::to_string(*k.sides) + " is given, but it must be 1 (one-sided) or 2 "
                                                "(two-sided)");
  }
  check_accrual(k);
  check_looks(k);
  if (k.statistics.size() > static_cast<std::size_t>(kStatCapacity)) {
    refuse("statistics", std::to_string(k.statistics.size()) + " tables are given, but at most " +
                             std::to_string(kStatCapacity) + " statistics are supported");
  }
  for (std::size_t j = 0; j < k.statistics.size(); ++j) {
    const std::string which = "table " + std::to_string(j + 1) + " has ";
    if (!(k.statistics[j].rho >= 0.0f)) {
      refuse("statistics.rho", which + real_text(k.statistics[j].rho) + ", but rho must not be negative");
    }
    if (!(k.statistics[j].tau >= 0.0f)) {
      refuse("statistics.tau", which + real_text(k.statistics[j].tau) + ", but tau must not be negative");
    }
  }
  check_boundary(k);
  if (k.control_median && k.control) refuse_both("control.median", "control.times");
  if (k.control_median) check_positive("control.median", *k.control_median);
  if ((k.control_median || k.hazard_ratio) && !(last_look_time(k) > kSmallestCurveTime)) {
    refuse(k.control_median ? "control.median" : "treatment.hazard_ratio",
           "the curve runs up to the last look time " + real_text(last_look_time(k)) +
               ", but that must exceed 1e-10 (a smaller one asks for equally spaced times)");
  }
  if (k.control_median) {
    const KeyedCurve curve = exponential_curve(*k.control_median, last_look_time(k));
    const std::size_t before_last = curve.survival.size() - 2;
    if (curve.survival[before_last] < kSmallestSurvival) {
      refuse("control.median", "the exponential curve falls to " +
                                   real_text(curve.survival[before_last]) + " at time " +
                                   real_text(curve.times[before_last]) + ", below 1e-05, the "
                                   "smallest survival the design holds, before the last look at " +
                                   real_text(last_look_time(k)) + "; the last look may come at "
                                   "most about 17.5 medians after the start");
    }
  }
  if (k.control) check_curve("control", *k.control, "times");
  check_treatment(k);
  if (k.control_censoring) {
    check_curve("censoring.control", *k.control_censoring, "times", kSmallestCensoringTime);
  }
  if (k.treatment_censoring) {
    check_curve("censoring.treatment", *k.treatment_censoring, "times", kSmallestCensoringTime);
  }
  if (k.drop_in) check_crossover("crossover.drop_in", *k.drop_in);
  if (k.drop_out) check_crossover("crossover.drop_out", *k.drop_out);
}

std::string classic_design_text(const KeyedDesign& keyed) {
  const std::vector<std::string> lines = value_lines(keyed);
  std::string text;
  for (int i = 0; i < kDesignValueLineCount; ++i) {
    text += design_template_comments(i);
    text += lines[static_cast<std::size_t>(i)];
    text += '\n';
  }
  return text;
}

void read_keyed_design(const KeyedDesign& keyed, std::FILE* console, Design& design,
                       const std::function<void(const Design&)>& on_report_name) {
  check_keyed_design(keyed);
  const std::string text = classic_design_text(keyed);
  try {
    // A first reading without notes or report: a refusal of the positional
    // reader then stops the run before the report file exists, like every
    // other refusal of a keyed design.
    {
      std::FILE* sink = open_discard_stream();
      Design scratch;
      std::istringstream dry_run(text);
      try {
        read_design(dry_run, sink, scratch, [](const Design&) {});
      } catch (...) {
        std::fclose(sink);
        throw;
      }
      std::fclose(sink);
    }
    std::istringstream input(text);
    read_design(input, console, design, on_report_name);
  } catch (const InputError& error) {
    throw InputError(keyed_refusal_message(error.what()));
  }
  for (std::size_t i = 0; i < keyed.look_events.size(); ++i) {
    design.look_events[i + 1] = static_cast<int>(keyed.look_events[i]);
  }
  if (keyed.max_time) design.max_time = *keyed.max_time;
}

}  // namespace gsd
