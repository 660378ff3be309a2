#include "design/keyed_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "design/design_input.h"
#include "model/generate_trial.h"
#include "support/console_capture.h"
#include "support/design_text.h"
#include "text/list_input.h"

namespace gsd {
namespace {

using testing::captured_console;
using testing::design_text;

// The keyed form of testing::base_design_values(): the same design item by
// item.
KeyedDesign base_keyed() {
  KeyedDesign k;
  k.report = "test.rpt";
  k.seed = 1234;
  k.look_times = {10.0f, 20.0f, 30.0f};
  k.statistics = {{0.0f, 0.0f}};
  k.trials = 100;
  k.alpha = 0.05f;
  k.sides = 2;
  k.method = BoundaryMethod::kUseFunction;
  k.b = 3.0f;
  k.spending = SpendingFunction::kObrienFleming;
  k.control = KeyedCurve{{10.0f}, {0.5f}};
  k.accrual_period = 10.0f;
  k.accrual_rate = 20.0f;
  k.hazard_ratio = 0.7f;
  k.control_censoring = KeyedCurve{{30.0f}, {0.9f}};
  k.treatment_censoring = KeyedCurve{{30.0f}, {0.9f}};
  return k;
}

struct Read {
  Design design;
  std::string notes;
};

Read read_keyed(const KeyedDesign& k) {
  Read r;
  r.notes = captured_console(
      [&](std::FILE* console) { read_keyed_design(k, console, r.design, [](const Design&) {}); });
  return r;
}

Read read_positional(const std::string& text) {
  Read r;
  r.notes = captured_console([&](std::FILE* console) {
    std::istringstream input(text);
    read_design(input, console, r.design, [](const Design&) {});
  });
  return r;
}

std::string value_line(const std::vector<float>& values) {
  std::string text;
  char buffer[32];
  for (const float v : values) {
    std::snprintf(buffer, sizeof buffer, "%.9g ", static_cast<double>(v));
    text += buffer;
  }
  return text;
}

// The mappings of keyed items that have no positional line of their own,
// each against the positional design it must be: the same Design and the
// same console notes.
TEST(KeyedDesign, EachMappingIsItsPositionalEquivalent) {
  // median = 12 up to the last look 30: x_i = 1.5 i, S_i = 0.5^(x_i / 12).
  std::vector<float> median_x;
  std::vector<float> median_s;
  for (int i = 1; i <= 20; ++i) {
    median_x.push_back(static_cast<float>(1.5 * i));
    median_s.push_back(static_cast<float>(std::pow(0.5, 1.5 * i / 12.0)));
  }
  // Event-driven looks: the median curve runs up to max_time.
  std::vector<float> event_x;
  std::vector<float> event_s;
  for (int i = 1; i <= 20; ++i) {
    event_x.push_back(static_cast<float>(40.0 * i / 20.0));
    event_s.push_back(static_cast<float>(std::pow(0.5, 2.0 * i / 8.0)));
  }
  struct Case {
    const char* name;
    std::function<void(KeyedDesign&)> change;
    std::map<int, std::string> positional;
  };
  const Case cases[] = {
      {"the base design", [](KeyedDesign&) {}, {}},
      {"median", [](KeyedDesign& k) { k.control.reset(), k.control_median = 12.0f; },
       {{74, "20"}, {78, value_line(median_x)}, {83, value_line(median_s)}}},
      {"median with event-driven looks",
       [](KeyedDesign& k) {
         k.control.reset(), k.control_median = 8.0f;
         k.look_times.clear();
         k.look_events = {20, 50};
         k.max_time = 40.0f;
       },
       {{20, "2"}, {23, "20 40"}, {49, "0 0"}, {61, "0 0"}, {74, "20"},
        {78, value_line(event_x)}, {83, value_line(event_s)}, {96, "40"}}},
      {"hazard_ratio: one interval up to the last look",
       [](KeyedDesign& k) { k.look_times = {12.0f, 18.0f, 24.5f}, k.hazard_ratio = 0.65f; },
       {{23, "12 18 24.5"}, {93, "1"}, {96, "24.5"}, {101, "2"}, {106, "0.65"}}},
      {"hazard_ratios with cuts",
       [](KeyedDesign& k) {
         k.hazard_ratio.reset();
         k.hazard_ratios = {1.0f, 0.6f};
         k.cuts = {6.0f, 36.0f};
       },
       {{93, "2"}, {96, "6 36"}, {106, "1 0.6"}}},
      {"the treatment group's own curve",
       [](KeyedDesign& k) {
         k.hazard_ratio.reset();
         k.treatment = KeyedCurve{{6.0f, 12.0f}, {0.8f, 0.6f}};
       },
       {{93, "2"}, {96, "6 12"}, {101, "1"}, {106, "0.8 0.6"}}},
      {"subjects", [](KeyedDesign& k) { k.accrual_rate.reset(), k.subjects = 200; },
       {{88, "10 20"}}},
      {"omitted censoring: nobody is lost",
       [](KeyedDesign& k) { k.control_censoring.reset(), k.treatment_censoring.reset(); },
       {{111, "1"}, {114, "1"}, {117, "1"}, {122, "1"}, {125, "1"}, {128, "1"}}},
      {"crossover lists given",
       [](KeyedDesign& k) {
         k.drop_in = KeyedCrossover{{6.0f, 12.0f}, {0.1f, 0.2f}};
         k.drop_out = KeyedCrossover{{3.0f}, {0.05f}};
       },
       {{133, "2"}, {135, "6 12"}, {137, "0.1 0.2"}, {143, "3"}, {145, "0.05"}}},
      {"omitted items take the positional defaults with their notes",
       [](KeyedDesign& k) {
         k.method.reset(), k.seed.reset(), k.trials.reset(), k.alpha.reset(), k.sides.reset();
         k.b.reset(), k.spending.reset(), k.statistics.clear(), k.look_times.clear();
         k.hazard_ratio.reset(), k.control.reset();
       },
       {{11, "0"}, {17, "0"}, {20, "0"}, {23, "0"}, {26, "0"}, {37, "0"}, {40, "0"},
        {43, "0"}, {49, "0"}, {54, "0"}, {61, "0"}, {70, "0"}, {74, "0"}, {78, "0"},
        {83, "0"}, {93, "0"}, {96, "0"}, {101, "0"}, {106, "0"}}},
  };
  for (const Case& c : cases) {
    KeyedDesign keyed = base_keyed();
    c.change(keyed);
    const Read from_keyed = read_keyed(keyed);
    const Read from_positional = read_positional(design_text(c.positional));
    Design expected = from_positional.design;
    for (std::size_t i = 0; i < keyed.look_events.size(); ++i) {
      expected.look_events[i + 1] = static_cast<int>(keyed.look_events[i]);
    }
    if (keyed.max_time) expected.max_time = *keyed.max_time;
    EXPECT_TRUE(from_keyed.design == expected) << c.name;
    EXPECT_EQ(from_keyed.notes, from_positional.notes) << c.name;
  }
}

// A last survival value below 0.00001 is the positional file's: it becomes
// 0.00001 with the note, and the curve still never rises.
TEST(KeyedDesign, ALastSurvivalValueBelowTheSmallestTakesThePositionalCorrection) {
  KeyedDesign k = base_keyed();
  k.control = KeyedCurve{{6.0f, 12.0f}, {1e-5f, 1e-7f}};
  const Read r = read_keyed(k);
  EXPECT_EQ(r.design.baseline_curve.S[2], 1e-5f);
  EXPECT_NE(r.notes.find(" Since your last survival value is <.00001."), std::string::npos);
  k.look_times = {10.0f, 20.0f, 199.0f};  // just under 16.6 medians of 12
  k.control.reset();
  k.control_median = 12.0f;
  EXPECT_GT(read_keyed(k).design.baseline_curve.S[19], 1e-5f);
}

TEST(KeyedDesign, TheMedianCurveIsExponentialAtItsPoints) {
  KeyedDesign k = base_keyed();
  k.control.reset();
  k.control_median = 12.0f;
  k.look_times = {12.0f, 24.0f};
  const Design d = read_keyed(k).design;
  ASSERT_EQ(d.baseline_curve.n, 20);
  EXPECT_EQ(d.baseline_curve.x[10], 12.0f);
  EXPECT_EQ(d.baseline_curve.S[10], 0.5f);   // the median itself
  EXPECT_EQ(d.baseline_curve.S[20], 0.25f);  // twice the median
  EXPECT_EQ(d.baseline_curve.x[20], 24.0f);
}

// N / period rounded to single precision can give one subject too few;
// the rate is then raised by single-precision steps, and only as far as
// needed.
TEST(KeyedDesign, SubjectsGiveExactlyThatManySubjectsWithTheSmallestRate) {
  int raised = 0;
  for (const float period : {3.0f, 7.0f, 12.0f, 18.0f, 0.3f, 24.7f, 100.0f, 3.4e38f, 1e-30f}) {
    for (long long n = 1; n <= kSubjectCapacity; n += 1 + n / 7) {
      const float rate = rate_for_subjects(n, period);
      Design d;
      d.accrual_rate = rate;
      d.accrual_period = period;
      ASSERT_EQ(subject_count(d), n) << n << " in " << period;
      d.accrual_rate = std::nextafter(rate, 0.0f);
      if (rate != static_cast<float>(static_cast<double>(n) / period)) {
        ++raised;
        EXPECT_LT(subject_count(d), n) << n << " in " << period;
      }
    }
  }
  EXPECT_GT(raised, 0);  // the table holds cases that need the raise
}

// Values with no short decimal form read back to the same single-precision
// value through the positional text.
TEST(KeyedDesign, RealsSurviveThePositionalText) {
  KeyedDesign k = base_keyed();
  k.alpha = 1.0f / 3.0f;
  k.look_times = {1e-3f, 0.1f, std::nextafter(30.0f, 31.0f)};
  k.control = KeyedCurve{{2.0f / 3.0f}, {0.123456789f}};
  k.hazard_ratio = std::nextafter(0.7f, 1.0f);
  const std::string text = classic_design_text(k);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 145);
  const Design d = read_keyed(k).design;
  EXPECT_EQ(d.alpha, 1.0f / 3.0f);
  EXPECT_EQ(d.look_times[1], 1e-3f);
  EXPECT_EQ(d.look_times[3], std::nextafter(30.0f, 31.0f));
  EXPECT_EQ(d.hazard_cutpoints[1], std::nextafter(30.0f, 31.0f));
  EXPECT_EQ(d.baseline_curve.x[1], 2.0f / 3.0f);
  EXPECT_EQ(d.baseline_curve.S[1], 0.123456789f);
  EXPECT_EQ(d.hazard_ratios[1], std::nextafter(0.7f, 1.0f));
}

TEST(KeyedDesign, AReportNameWithBlanksOrQuotesIsKept) {
  for (const char* name : {"my report", "it's.rpt", "a,b/", "\"q\""}) {
    KeyedDesign k = base_keyed();
    k.report = name;
    if (std::string(name).find('/') != std::string::npos) {
      EXPECT_THROW(read_keyed(k), InputError) << name;
      continue;
    }
    EXPECT_STREQ(read_keyed(k).design.report_name, name);
  }
}

TEST(KeyedDesign, EventTargetsAndMaxTimeReachTheDesign) {
  KeyedDesign k = base_keyed();
  k.look_times.clear();
  k.look_events = {30, 60, 90};
  k.max_time = 36.0f;
  const Design d = read_keyed(k).design;
  EXPECT_EQ(d.look_count, 3);
  EXPECT_EQ(d.look_events[1], 30);
  EXPECT_EQ(d.look_events[3], 90);
  EXPECT_EQ(d.look_events[4], 0);
  EXPECT_EQ(d.max_time, 36.0f);
  EXPECT_EQ(d.look_times[3], 36.0f);  // placeholders max_time * i / K
  EXPECT_EQ(d.look_times[1], 12.0f);
  EXPECT_EQ(d.hazard_cutpoints[1], 36.0f);
  EXPECT_TRUE(uses_event_looks(d));
}

// A refusal of the positional reader names the key its line stands for.
TEST(KeyedDesign, PositionalRefusalsNameTheKeyOfTheirLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"line 11: the method code is 7", "boundary.method: the method code is 7 (line 11 of"},
      {"line 14: the report name", "report: the report name (line 14 of"},
      {"line 23: x", "looks: x (line 23 of the equivalent positional design)"},
      {"line 78: the baseline survival curve has two points", "control: the baseline survival curve has two points (line 78 of"},
      {"line 88: accrual rate times", "accrual: accrual rate times (line 88 of"},
      {"line 96: y", "treatment: y (line 96 of"},
      {"line 114: z", "censoring.control: z (line 114 of"},
      {"line 125: z", "censoring.treatment: z (line 125 of"},
      {"line 135: w", "crossover.drop_in: w (line 135 of"},
      {"line 145: w", "crossover.drop_out: w (line 145 of"},
      {"line 146: v", "line 146: v"},
      {"no line", "no line"},
  };
  for (const auto& [positional, keyed] : cases) {
    EXPECT_EQ(keyed_refusal_message(positional).rfind(keyed, 0), 0u)
        << positional << " -> " << keyed_refusal_message(positional);
  }
}

// Refusals of values no positional design can stand for, each naming its key.
TEST(KeyedDesign, RefusesValuesOutOfRangeNamingTheKey) {
  struct Case {
    std::function<void(KeyedDesign&)> change;
    const char* message;
  };
  const Case cases[] = {
      {[](KeyedDesign& k) { k.report.clear(); }, "report: missing"},
      {[](KeyedDesign& k) { k.report = "thirteen.char"; }, "report: \"thirteen.char\" has 13 characters"},
      {[](KeyedDesign& k) { k.report = ".."; }, "report: \"..\" is not a file name"},
      {[](KeyedDesign& k) { k.seed = 161803399; }, "seed: 161803399 is given, but its magnitude"},
      {[](KeyedDesign& k) { k.trials = 0; }, "trials: 0 is given"},
      {[](KeyedDesign& k) { k.alpha = 1.5f; }, "alpha: 1.5 is given, but the type-I error must lie in (1e-10, 1)"},
      {[](KeyedDesign& k) { k.sides = 3; }, "sides: 3 is given, but it must be 1 (one-sided) or 2"},
      {[](KeyedDesign& k) { k.look_times.assign(16, 1.0f); }, "looks.times: 16 values are given, but at most 15 looks"},
      {[](KeyedDesign& k) { k.look_times = {10, 30, 20}; }, "looks.times: value 3 is 20, but the values must increase (value 2 is 30)"},
      {[](KeyedDesign& k) { k.look_times = {0, 10}; }, "looks.times: value 1 is 0, but each must be positive"},
      {[](KeyedDesign& k) { k.look_events = {10}; }, "looks.times: given together with looks.events"},
      {[](KeyedDesign& k) { k.look_times.clear(), k.look_events = {10}; }, "looks.max_time: missing"},
      {[](KeyedDesign& k) { k.max_time = 5.0f; }, "looks.max_time: given without looks.events"},
      {[](KeyedDesign& k) { k.look_times.clear(), k.look_events = {10, 10}, k.max_time = 9.0f; },
       "looks.events: value 2 is 10, but the targets must increase"},
      {[](KeyedDesign& k) { k.look_times.clear(), k.look_events = {10, 201}, k.max_time = 9.0f; },
       "looks.events: value 2 is 201, but a trial has only 200 subjects"},
      {[](KeyedDesign& k) { k.statistics.assign(6, {}); }, "statistics: 6 tables are given, but at most 5"},
      {[](KeyedDesign& k) { k.statistics = {{0, 0}, {-1, 0}}; }, "statistics.rho: table 2 has -1"},
      {[](KeyedDesign& k) { k.critical_values = {2.9f, 2.3f}; }, "boundary.critical_values: 2 values are given, but one per look (3) is needed"},
      {[](KeyedDesign& k) { k.method = BoundaryMethod::kErrorSplit; }, "boundary.error_split: missing: method \"error-split\""},
      {[](KeyedDesign& k) { k.error_split = {0.01f, 0.02f, 1.5f}; }, "boundary.error_split: value 3 is 1.5, but each must lie in [0, 1]"},
      {[](KeyedDesign& k) { k.control_median = 12.0f; }, "control.median: given together with control.times"},
      {[](KeyedDesign& k) { k.control = KeyedCurve{{6, 12}, {0.7f}}; }, "control.survival: 1 values are given, but control.times has 2"},
      {[](KeyedDesign& k) { k.control = KeyedCurve{{6}, {1.2f}}; }, "control.survival: value 1 is 1.2, but a survival probability must lie in (0, 1]"},
      {[](KeyedDesign& k) { k.control = KeyedCurve{{6, 12}, {0.5f, 0.7f}}; }, "control.survival: value 2 is 0.7, but survival must not increase"},
      {[](KeyedDesign& k) { k.control = KeyedCurve{{}, {0.5f}}; }, "control.times: missing"},
      {[](KeyedDesign& k) { k.hazard_ratios = {0.7f}; }, "treatment.hazard_ratio: given together with treatment.hazard_ratios"},
      {[](KeyedDesign& k) { k.hazard_ratio.reset(), k.hazard_ratios = {0.7f}; }, "treatment.cuts: missing"},
      {[](KeyedDesign& k) { k.hazard_ratio = 0.0f; }, "treatment.hazard_ratio: value 1 is 0, but each must exceed 1e-10 (a smaller one means 1)"},
      {[](KeyedDesign& k) { k.critical_values = {2.9f, 2.3f, 1e-6f}; }, "boundary.critical_values: value 3 is 1e-06, but each must be at least 1e-05 (a smaller one means 1.96)"},
      {[](KeyedDesign& k) { k.control = KeyedCurve{{1e-11f}, {0.5f}}; }, "control.times: the last value is 1e-11, but it must exceed 1e-10"},
      {[](KeyedDesign& k) { k.control_censoring = KeyedCurve{{1e-9f}, {0.5f}}; }, "censoring.control.times: the last value is 1e-09, but it must exceed 1e-08"},
      {[](KeyedDesign& k) { k.look_times = {1e-44f}, k.control.reset(), k.control_median = 12.0f; }, "control.median: the curve runs up to the last look time 1e-44, but that must exceed 1e-10"},
      {[](KeyedDesign& k) { k.look_times = {1e-11f}; }, "treatment.hazard_ratio: the curve runs up to the last look time 1e-11"},
      {[](KeyedDesign& k) { k.control = KeyedCurve{{6, 12, 18}, {0.5f, 5e-6f, 1e-6f}}; }, "control.survival: value 2 is 5e-06, but only the last value may lie below 1e-05"},
      {[](KeyedDesign& k) { k.look_times = {240.0f}, k.control.reset(), k.control_median = 12.0f; }, "control.median: the exponential curve falls to 1.9073486e-06 at time 228, below 1e-05"},
      {[](KeyedDesign& k) { k.alpha = 1e-11f; }, "alpha: 1e-11 is given, but the type-I error must lie in (1e-10, 1)"},
      {[](KeyedDesign& k) { k.subjects = 100; }, "accrual.subjects: given together with accrual.rate"},
      {[](KeyedDesign& k) { k.accrual_rate.reset(), k.accrual_period.reset(), k.subjects = 100; }, "accrual.period: missing"},
      {[](KeyedDesign& k) { k.accrual_rate.reset(), k.subjects = 7101; }, "accrual.subjects: 7101 is given, but from 1 to 7100"},
      {[](KeyedDesign& k) { k.accrual_rate = 720.0f; }, "accrual.rate: rate x period gives 7200 subjects per trial, but at most 7100"},
      {[](KeyedDesign& k) { k.drop_in = KeyedCrossover{{6}, {1.1f}}; }, "crossover.drop_in.probabilities: value 1 is 1.1, but each must lie in [0, 1]"},
      {[](KeyedDesign& k) { k.drop_out = KeyedCrossover{{-1}, {0.1f}}; }, "crossover.drop_out.times: value 1 is -1, but a time after entry must not be negative"},
      {[](KeyedDesign& k) { k.control_censoring = KeyedCurve{{30}, {0.0f}}; }, "censoring.control.survival: value 1 is 0"},
  };
  for (const Case& c : cases) {
    KeyedDesign k = base_keyed();
    c.change(k);
    try {
      check_keyed_design(k);
      ADD_FAILURE() << "accepted, expected: " << c.message;
    } catch (const InputError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u)
          << "expected \"" << c.message << "\", got \"" << error.what() << "\"";
    }
  }
}

}  // namespace
}  // namespace gsd
