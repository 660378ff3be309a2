#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "design/design.h"
#include "design/method.h"

namespace gsd {

// A design given item by item by name: what a keyed design file (TOML) or a
// call with named arguments holds. Every key is here under its own name; an
// omitted key is an empty optional or an empty list. It holds the values as
// given: nothing is checked or defaulted until check_keyed_design and
// read_keyed_design. All times share the user's one time unit.
//
// A keyed design is exactly one positional design: classic_design_text
// writes it, and read_keyed_design reads that text with the positional
// reader, so the notes, defaults, summary and report are those of the
// positional file by construction.

// Points (time, survival) of a survival curve after its origin (0, 1).
struct KeyedCurve {
  std::vector<float> times;
  std::vector<float> survival;

  bool operator==(const KeyedCurve&) const = default;
};

// One weighted log-rank statistic, weight S^rho (1 - S)^tau.
struct KeyedStatistic {
  float rho = 0.0f;
  float tau = 0.0f;

  bool operator==(const KeyedStatistic&) const = default;
};

// A drop-in or drop-out list: times after entry and the probability of
// crossing over at each.
struct KeyedCrossover {
  std::vector<float> times;
  std::vector<float> probabilities;

  bool operator==(const KeyedCrossover&) const = default;
};

// The method and use-function codes of the positional file (design/method.h).
using BoundaryMethod = Method;
using SpendingFunction = UseFunction;

struct KeyedDesign {
  std::string report;  // required
  std::optional<long long> seed;
  std::optional<long long> trials;
  std::optional<float> alpha;
  std::optional<long long> sides;

  // [looks]: calendar times, or event targets with the longest a trial runs.
  std::vector<float> look_times;
  std::vector<long long> look_events;
  std::optional<float> max_time;

  std::vector<KeyedStatistic> statistics;  // none: one log-rank statistic

  // [boundary]
  std::optional<BoundaryMethod> method;
  std::optional<SpendingFunction> spending;
  std::optional<float> b;
  std::vector<float> error_split;
  std::vector<float> critical_values;

  // [control]: points, or the median of an exponential curve.
  std::optional<KeyedCurve> control;
  std::optional<float> control_median;

  // [treatment]: one constant hazard ratio, piecewise hazard ratios with
  // their cut points, or the treatment group's own curve.
  std::optional<float> hazard_ratio;
  std::vector<float> hazard_ratios;
  std::vector<float> cuts;
  std::optional<KeyedCurve> treatment;

  // [accrual]
  std::optional<float> accrual_period;
  std::optional<long long> subjects;
  std::optional<float> accrual_rate;

  // [censoring.control], [censoring.treatment]: omitted means no loss.
  std::optional<KeyedCurve> control_censoring;
  std::optional<KeyedCurve> treatment_censoring;

  // [crossover]: an omitted list means no crossover.
  std::optional<KeyedCrossover> drop_in;
  std::optional<KeyedCrossover> drop_out;

  bool operator==(const KeyedDesign&) const = default;
};

// Key names as they appear in keyed files and messages.
const char* boundary_method_name(BoundaryMethod method);
const char* spending_function_name(SpendingFunction function);

// Refuses, with InputError naming the key, a keyed design that no positional
// design can stand for: a missing report, values out of range, lists of the
// wrong length, keys that exclude each other given together, keys that need
// another key without it.
void check_keyed_design(const KeyedDesign& keyed);

// The accrual rate that gives exactly `subjects` subjects in `period`: N /
// period rounded to single precision, raised one single-precision step at a
// time until rate x period, rounded to single precision and truncated, is N.
float rate_for_subjects(long long subjects, float period);

// The 145-line positional design that a checked keyed design stands for,
// with comment lines that say what each value line holds. Reals are written
// in the shortest form that reads back to the same single-precision value.
// Event-driven looks, which the positional file cannot hold, have
// placeholder look times max_time * i / K there.
std::string classic_design_text(const KeyedDesign& keyed);

// A refusal of the positional reader about the text of a keyed design,
// "line N: what", as "key: what (line N of the equivalent positional
// design)", the key being the one line N stands for.
std::string keyed_refusal_message(const std::string& message);

// Checks the keyed design and reads its positional text with read_design
// (notes on `console`, `on_report_name` as there), then sets the event
// targets. Refusals of the positional reader name the key of the line they
// name.
void read_keyed_design(const KeyedDesign& keyed, std::FILE* console, Design& design,
                       const std::function<void(const Design&)>& on_report_name);

}  // namespace gsd
