#include "keyed/toml_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "keyed/toml_library.h"

#include "text/list_input.h"

namespace gsd {
namespace {

// Every key of a keyed design file, with a value of its type.
constexpr const char* kEveryKey = R"(
report = "all.rpt"
seed = -5
trials = 250
alpha = 0.025
sides = 1

[looks]
times = [12.0, 18, 24.5]

[[statistics]]
rho = 0.0
tau = 1.0

[[statistics]]
rho = 0.5

[boundary]
method = "error-split"
spending = "pocock"
b = 2.5
error_split = [0.005, 0.01, 0.01]
critical_values = [3.0, 2.5, 2.0]

[control]
times = [6.0, 12.0]
survival = [0.7, 0.5]

[treatment]
hazard_ratios = [1.0, 0.6]
cuts = [6.0, 36.0]

[accrual]
period = 18.0
subjects = 600

[censoring.control]
times = [12.0]
survival = [0.98]

[censoring.treatment]
times = [12.0, 24.0]
survival = [0.98, 0.9]

[crossover]
drop_in = { times = [6.0], probabilities = [0.1] }
drop_out = { times = [3.0, 6.0], probabilities = [0.05, 0.1] }
)";

TEST(TomlDesign, ReadsEveryKeyIntoItsItem) {
  const KeyedDesign k = keyed_design_from_toml(kEveryKey);
  EXPECT_EQ(k.report, "all.rpt");
  EXPECT_EQ(k.seed, -5);
  EXPECT_EQ(k.trials, 250);
  EXPECT_EQ(k.alpha, 0.025f);
  EXPECT_EQ(k.sides, 1);
  EXPECT_EQ(k.look_times, (std::vector<float>{12.0f, 18.0f, 24.5f}));  // 18 is a real too
  ASSERT_EQ(k.statistics.size(), 2u);
  EXPECT_EQ(k.statistics[0], (KeyedStatistic{0.0f, 1.0f}));
  EXPECT_EQ(k.statistics[1], (KeyedStatistic{0.5f, 0.0f}));  // tau omitted: 0
  EXPECT_EQ(k.method, BoundaryMethod::kErrorSplit);
  EXPECT_EQ(k.spending, SpendingFunction::kPocock);
  EXPECT_EQ(k.b, 2.5f);
  EXPECT_EQ(k.error_split, (std::vector<float>{0.005f, 0.01f, 0.01f}));
  EXPECT_EQ(k.critical_values, (std::vector<float>{3.0f, 2.5f, 2.0f}));
  EXPECT_EQ(k.control, (KeyedCurve{{6.0f, 12.0f}, {0.7f, 0.5f}}));
  EXPECT_FALSE(k.control_median);
  EXPECT_EQ(k.hazard_ratios, (std::vector<float>{1.0f, 0.6f}));
  EXPECT_EQ(k.cuts, (std::vector<float>{6.0f, 36.0f}));
  EXPECT_FALSE(k.hazard_ratio);
  EXPECT_FALSE(k.treatment);
  EXPECT_EQ(k.accrual_period, 18.0f);
  EXPECT_EQ(k.subjects, 600);
  EXPECT_FALSE(k.accrual_rate);
  EXPECT_EQ(k.control_censoring, (KeyedCurve{{12.0f}, {0.98f}}));
  EXPECT_EQ(k.treatment_censoring, (KeyedCurve{{12.0f, 24.0f}, {0.98f, 0.9f}}));
  EXPECT_EQ(k.drop_in, (KeyedCrossover{{6.0f}, {0.1f}}));
  EXPECT_EQ(k.drop_out, (KeyedCrossover{{3.0f, 6.0f}, {0.05f, 0.1f}}));
}

// The written text reads back to the same keyed design, reals included
// whose shortest form is long or needs an exponent.
TEST(TomlDesign, WrittenTextReadsBackToTheSameDesign) {
  KeyedDesign k = keyed_design_from_toml(kEveryKey);
  k.alpha = 1.0f / 3.0f;
  k.b = std::nextafter(3.0f, 4.0f);
  k.look_times = {1e-7f, 2.0f, 3e30f};
  k.report = "say \"hi\"\\";
  k.control.reset();
  k.control_median = 12.25f;
  k.subjects.reset();
  k.accrual_rate = 33.333332f;
  k.look_events = {10, 20};
  k.max_time = 40.0f;
  const std::string text = toml_design_text(k, {"a comment"});
  EXPECT_EQ(keyed_design_from_toml(text), k) << text;
  EXPECT_NE(text.find("\n# a comment\n"), std::string::npos);
  EXPECT_NE(text.find("b = 3.0000002\n"), std::string::npos) << text;
  EXPECT_NE(text.find("times = [1e-07, 2.0, 3e+30]\n"), std::string::npos) << text;
}

// A table changed after parsing (a sweep replaces values by their dotted
// keys) gives the keyed design of the changed values.
TEST(TomlDesign, AChangedTableGivesTheChangedDesign) {
  toml::table table = parse_toml_design(kEveryKey);
  table.at_path("accrual").as_table()->insert_or_assign("subjects", 800);
  table.at_path("treatment").as_table()->insert_or_assign("hazard_ratios", toml::array{1.0, 0.75});
  const KeyedDesign k = keyed_design_from_table(table);
  EXPECT_EQ(k.subjects, 800);
  EXPECT_EQ(k.hazard_ratios, (std::vector<float>{1.0f, 0.75f}));
  EXPECT_EQ(k.cuts, (std::vector<float>{6.0f, 36.0f}));
}

// Whole numbers are 64-bit in TOML: every one, the extremes included, is
// either refused by the key's range or written as the positional file reads it.
TEST(TomlDesign, WholeNumbersAtTheEndsOfTheirRangeAreRefusedByTheirKey) {
  struct Case {
    const char* key_value;
    const char* message;
  };
  const Case cases[] = {
      {"seed = -9223372036854775808", "seed: -9223372036854775808 is given"},
      {"seed = 9223372036854775807", "seed: 9223372036854775807 is given"},
      {"trials = 2147483648", "trials: 2147483648 is given"},
      {"sides = -9223372036854775808", "sides: -9223372036854775808 is given"},
      {"[accrual]\nperiod = 10.0\nsubjects = -9223372036854775808", "accrual.subjects: -9223372036854775808 is given"},
  };
  for (const Case& c : cases) {
    std::string message = "accepted";
    try {
      check_keyed_design(keyed_design_from_toml(std::string("report = \"a\"\n") + c.key_value));
    } catch (const InputError& error) {
      message = error.what();
    }
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.key_value << "\n-> " << message;
  }
}

TEST(TomlDesign, StandardAndInlineTablesAreAlike) {
  const KeyedDesign standard = keyed_design_from_toml(
      "report = \"a\"\n[crossover.drop_in]\ntimes = [1.0]\nprobabilities = [0.5]\n"
      "[censoring]\ncontrol = { times = [2.0], survival = [0.9] }\n");
  const KeyedDesign inline_tables = keyed_design_from_toml(
      "report = \"a\"\ncrossover = { drop_in = { times = [1.0], probabilities = [0.5] } }\n"
      "censoring.control.times = [2.0]\ncensoring.control.survival = [0.9]\n");
  EXPECT_EQ(standard, inline_tables);
  EXPECT_TRUE(standard.drop_in);
  EXPECT_TRUE(standard.control_censoring);
}

std::string error_of(const std::string& text) {
  try {
    keyed_design_from_toml(text);
  } catch (const InputError& error) {
    return error.what();
  }
  return "accepted";
}

// Messages name the key, and a misspelt key the nearest known key of its
// table or the table a key of that name belongs to.
TEST(TomlDesign, MessagesNameTheKey) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"alfa = 0.05", "alfa: unknown key (did you mean alpha?)"},
      {"[looks]\ntime = [1.0]", "looks.time: unknown key (did you mean looks.times?)"},
      {"[boundary]\nmethd = \"spending\"", "boundary.methd: unknown key (did you mean boundary.method?)"},
      {"[control]\nhazard_ratio = 0.7", "control.hazard_ratio: unknown key (did you mean treatment.hazard_ratio?)"},
      {"[accrual]\nqqqq = 1", "accrual.qqqq: unknown key (the known keys of [accrual] are period, subjects, rate)"},
      {"[[statistics]]\nrho = 0\nrhoo = 1", "statistics.rhoo: unknown key (did you mean statistics.rho?)"},
      {"[crossover]\ndrop_in = { times = [1.0], probability = [0.1] }",
       "crossover.drop_in.probability: unknown key (did you mean crossover.drop_in.probabilities?)"},
      {"seed = 1.5", "seed: expected a whole number, found a real number"},
      {"report = 5", "report: expected a string, found a whole number"},
      {"looks = [1.0]", "looks: expected a table, found a list"},
      {"statistics = { rho = 1.0 }", "statistics: expected a list, found a table"},
      {"statistics = [1.0]", "statistics (entry 1): expected a table of rho and tau"},
      {"[looks]\ntimes = 12.0", "looks.times: expected a list, found a real number"},
      {"[looks]\nevents = [10, 20.5]", "looks.events (value 2): expected a whole number, found a real number"},
      {"[looks]\ntimes = [1.0, true]", "looks.times (value 2): expected a number, found true or false"},
      {"[looks]\ntimes = [1.0, 1979-05-27]", "looks.times (value 2): expected a number, found a date or time"},
      {"alpha = inf", "alpha: inf is given, but a finite single-precision number is expected"},
      {"alpha = nan", "alpha: nan is given, but a finite single-precision number is expected"},
      {"[boundary]\nspending = \"pocok\"", "boundary.spending: \"pocok\" is not one of \"obrien-fleming\", \"pocock\", \"linear\" or \"siegmund\" (did you mean \"pocock\"?)"},
      {"a = 1\n\nb = [1,", "line 3, column "},
      {"report = \"x\"\nreport = \"y\"", "line 2, column "},
      // Characters outside ASCII: in strings and comments only.
      {"report = \"x\"\nsubje\xce\x95s = 40", "line 2, column 6: a character outside ASCII is allowed only in a string or a comment"},
      {"report = \"x\" # \xce\x95\nseed = \xce\x95", "line 2, column 8: a character outside ASCII"},
      {"report = 'x\xce\x95'\nk = \"\"\"\xce\x95\n\\\"\"\" \xce\x95\"\"\"\nq\xce\x95", "line 4, column 2: a character outside ASCII"},
      {"report = \"\xce\x95\\\"\"\n[\xce\x95]", "line 2, column 2: a character outside ASCII"},
      // A check of toml++ that its optimised parser would assume true.
      {"report = \"x\"\n[.control]\ntimes = [1.0]", "line 2, column 2: "},
  };
  for (const Case& c : cases) {
    const std::string message = error_of(c.text);
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.text << "\n-> " << message;
  }
}

}  // namespace
}  // namespace gsd
