#include "design/design_input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/design_text.h"
#include "text/list_input.h"

namespace gsd {
namespace {

using testing::design_text;

// Reads a design; the console notes are returned in `notes`.
Design read(const std::string& text, std::string* notes = nullptr, int* report_calls = nullptr) {
  std::FILE* console = std::tmpfile();
  std::istringstream input(text);
  Design design;
  read_design(input, console, design, [&](const Design&) {
    if (report_calls != nullptr) ++*report_calls;
  });
  if (notes != nullptr) {
    std::rewind(console);
    notes->clear();
    for (int c; (c = std::fgetc(console)) != EOF;) notes->push_back(static_cast<char>(c));
  }
  std::fclose(console);
  return design;
}

std::string notes_of(const std::map<int, std::string>& changes) {
  std::string notes;
  read(design_text(changes), &notes);
  return notes;
}

TEST(DesignInput, ReadsEveryItemOfAValidDesign) {
  std::string notes;
  int report_calls = 0;
  const Design d = read(design_text(), &notes, &report_calls);
  EXPECT_EQ(notes, "");
  EXPECT_EQ(report_calls, 1);
  EXPECT_EQ(d.method_code, 2);
  EXPECT_STREQ(d.report_name, "test.rpt");
  EXPECT_EQ(d.seed, 1234);
  EXPECT_EQ(d.look_count, 3);
  EXPECT_EQ(d.look_times[3], 30.0f);
  EXPECT_EQ(d.sim_count, 100);
  EXPECT_EQ(d.alpha, 0.05f);
  EXPECT_EQ(d.b, 3.0f);
  EXPECT_EQ(d.baseline_curve.n, 1);
  EXPECT_EQ(d.baseline_curve.x[0], 0.0f);
  EXPECT_EQ(d.baseline_curve.S[0], 1.0f);
  EXPECT_EQ(d.baseline_curve.S[1], 0.5f);
  EXPECT_EQ(d.accrual_rate, 20.0f);
  EXPECT_EQ(d.hazard_ratios[1], 0.7f);
  EXPECT_EQ(d.treatment_censoring.S[1], 0.9f);
  EXPECT_EQ(d.drop_out_count, 1);
}

TEST(DesignInput, EveryDefaultNoteInOrder) {
  const std::string notes = notes_of({
      {11, "0"}, {17, "0"}, {20, "0"}, {23, "0"}, {26, "0"}, {37, "0"}, {40, "0"}, {43, "0"},
      {49, "0"}, {54, "0"}, {61, "0"}, {70, "0"}, {74, "0"}, {78, "0"}, {83, "0"}, {88, "0 0"},
      {93, "0"}, {96, "0"}, {101, "2"}, {106, "0"}, {111, "0"}, {114, "0"}, {117, "0"},
      {122, "0"}, {125, "0"}, {128, "0"}, {133, "0"}, {141, "0"},
  });
  EXPECT_EQ(notes,
            " The Lan-Demets method is chosen.\n"
            " The seed is set to -123457.\n"
            " You have specified the non-sequential design.\n"
            " The last look has been set at 10.\n"
            " One test statistic is specified.\n"
            " The number of simulation is set to 1000.\n"
            " The type-I error is set to 0.05.\n"
            " 2 sided test is spcified.\n"
            "Your input of b is less than 1, b is re-set to 3.\n"
            " The OBrien and Fleming use function is chosen.\n"
            " The number of intervals is set to 1.\n"
            " The right cutpoints are equally spaced. The largest cutpoint is set to 10.\n"
            " Since your last survival value is <.00001.\n"
            " The survival value at    10.000 is set to .00001. Hope this is OK.\n"
            " The number of intervals is set to 1.\n"
            " The right cutpoints are equally spaced. The largest cutpoint is set to 10.\n"
            "The hazard ratio on [0,10.00] is set to 1.\n"
            "The number of intervals is set to 1.\n"
            " The right cutpoints are equally spaced. The largest cutpoint is set to 20.\n"
            " Since your last survival value is <.00001.\n"
            " The survival value at    20.000 is set to .00001. Hope this is OK.\n"
            " The number of intervals is set to 1.\n"
            " The right cutpoints are equally spaced. The largest cutpoint is set to 20.\n"
            " Since your last survival value is <.00001.\n"
            " The survival value at    20.000 is set to .00001. Hope this is OK.\n"
            " The number of intervals is set to 1.\n"
            " The number of intervals is set to 1.\n");
  const Design d = read(design_text({{88, "0 0"}, {37, "-5"}, {43, "0"}}));
  EXPECT_EQ(d.accrual_period, 10.0f);
  EXPECT_EQ(d.accrual_rate, 10.0f);
  EXPECT_EQ(d.sim_count, 1000);
  EXPECT_EQ(d.sides, 2);
}

// Thresholds at and around their boundaries: the note is written exactly
// when the value is replaced.
TEST(DesignInput, ThresholdsAtTheirBoundaries) {
  struct Case { int line; const char* value; bool noted; };
  const Case cases[] = {
      {40, "1e-10", true},   {40, "2e-10", false},  // alpha <= 1e-10
      {54, "1.0", true},     {54, "1.0001", false},  // b <= 1
      {20, "1", true},       {20, "2 ", false},      // K <= 1
      {70, "-3", true},      {70, "1", false},       // use-function code <= 0
      {83, "1e-5", true},    {83, "1.1e-5", false},  // last survival <= 1e-5
      {117, "1e-5", true},   {117, "2e-5", false},
      {37, "-1", true},      {37, "1", false},       // sim_count <= 0
  };
  for (const Case& c : cases) {
    std::map<int, std::string> changes = {{c.line, c.value}};
    if (c.line == 20) changes[23] = "10 20";
    // Given critical values: methods 1 to 3 refuse an alpha this small.
    if (c.line == 40) changes[11] = "4";
    EXPECT_EQ(!notes_of(changes).empty(), c.noted) << "line " << c.line << " = " << c.value;
  }
  const Design kept = read(design_text({{54, "1.5"}, {61, "1e-5 9e-6 2.5"}}));
  EXPECT_EQ(kept.b, 1.5f);
  EXPECT_EQ(kept.b_input, 1.5f);
  EXPECT_EQ(kept.given_bounds[1], 1e-5f);  // not strictly below 1e-5
  EXPECT_EQ(kept.given_bounds[2], 1.96f);
  EXPECT_EQ(kept.given_bounds[3], 2.5f);
  const Design reset = read(design_text({{54, "0.5"}}));
  EXPECT_EQ(reset.b, 3.0f);
  EXPECT_EQ(reset.b_input, 0.5f);
}

TEST(DesignInput, EquallySpacedPoints) {
  const Design d = read(design_text({{74, "4"}, {78, "7 3 1 0"}, {83, "0.9 0.8 0.7 0.6"},
                                     {111, "4"}, {114, "1 2 3 0"}, {117, "1 1 1 1"}}));
  const float baseline[] = {0, 2.5f, 5, 7.5f, 10};
  const float censoring[] = {0, 5, 10, 15, 20};
  for (int k = 0; k <= 4; ++k) {
    EXPECT_EQ(d.baseline_curve.x[k], baseline[k]);
    EXPECT_EQ(d.control_censoring.x[k], censoring[k]);
  }
  // 1e-8 is not above the censoring threshold; 2e-8 is.
  EXPECT_EQ(read(design_text({{114, "1e-8"}})).control_censoring.x[1], 20.0f);
  EXPECT_EQ(read(design_text({{114, "2e-8"}})).control_censoring.x[1], 2e-8f);
}

TEST(DesignInput, HazardRatiosAtOrBelowTheThresholdBecomeOne) {
  std::string notes;
  const Design d = read(design_text({{93, "3"}, {96, "1 2 3"}, {106, "0 1.2 0"}}), &notes);
  EXPECT_EQ(notes,
            "The hazard ratio on [0, 1.00] is set to 1.\n"
            "The hazard ratio on [0, 3.00] is set to 1.\n");
  EXPECT_EQ(d.hazard_ratios[1], 1.0f);
  EXPECT_EQ(d.hazard_ratios[2], 1.2f);
  EXPECT_EQ(d.hazard_ratios[3], 1.0f);
}

TEST(DesignInput, SurvivalPointsOfTheTreatmentGroupUseTheCutPoints) {
  std::string notes;
  const Design d = read(design_text({{93, "2"}, {96, "5 12"}, {101, "1"}, {106, "0.8 0"}}), &notes);
  EXPECT_EQ(notes,
            " Since your last survival value is <.00001.\n"
            " The survival value at    12.000 is set to .00001. Hope this is OK.\n");
  EXPECT_EQ(d.alternative_curve.n, 2);
  EXPECT_EQ(d.alternative_curve.x[1], 5.0f);
  EXPECT_EQ(d.alternative_curve.x[2], 12.0f);
  EXPECT_EQ(d.alternative_curve.S[0], 1.0f);
  EXPECT_EQ(d.alternative_curve.S[2], 1e-5f);
}

TEST(DesignInput, ErrorSplitOfMethodOne) {
  struct Case { const char* e; float alpha; float cum[4]; bool noted; };
  const Case cases[] = {
      {"0.01 0.015 0.025", 0.05f, {0, 0.01f, 0.025f, 0.05f}, false},
      {"0.01 0.01 0.01", 0.05f, {0, 0.01f, 0.02f, 0.03f}, true},
  };
  for (const Case& c : cases) {
    std::string notes;
    const Design d = read(design_text({{11, "1"}, {49, c.e}}), &notes);
    for (int i = 0; i <= 3; ++i) EXPECT_FLOAT_EQ(d.cum_alpha[i], c.cum[i]) << c.e << " i=" << i;
    EXPECT_EQ(notes == " The sum of the e's is not equal to the type-I error.\n", c.noted) << notes;
    EXPECT_EQ(notes.empty(), !c.noted);
  }
  // One look: the split is the whole error, without a note.
  std::string notes;
  const Design single = read(design_text({{11, "1"}, {20, "1"}, {23, "10"}, {49, "0.01"}}), &notes);
  EXPECT_EQ(single.cum_alpha[1], 0.05f);
  EXPECT_EQ(notes, " You have specified the non-sequential design.\n");
  // Other methods keep the values as read.
  const Design method2 = read(design_text({{49, "0.01 0.01 0.01"}}), &notes);
  EXPECT_EQ(method2.cum_alpha[3], 0.01f);
  EXPECT_EQ(notes, "");
}

TEST(DesignInput, ListsSpreadOverLinesShiftTheLayout) {
  // Twelve look times over two lines: every later line moves down by one.
  std::map<int, std::string> values = testing::base_design_values();
  std::string text;
  for (int line = 1; line <= 145; ++line) {
    if (line == 20) text += "12\n";
    else if (line == 23) text += "1 2 3 4 5 6\n7 8 9 10 11 12\n";
    else if (line == 49) text += "12*0\n";
    else if (line == 61) text += "12*0\n";
    else text += values.count(line) ? values[line] + "\n" : "comment\n";
  }
  const Design d = read(text);  // 146 lines: the last value line is line 146
  EXPECT_EQ(d.look_count, 12);
  EXPECT_EQ(d.look_times[12], 12.0f);
  EXPECT_EQ(d.drop_out_count, 1);
  // Without its last line the input ends early.
  text.resize(text.size() - 2);
  ASSERT_EQ(text.back(), '\n');
  EXPECT_THROW(read(text), InputError);
}

// Designs that read correctly but describe no possible trial; each check
// runs after the defaults of its line, so a default is checked as replaced.
TEST(DesignInput, ImpossibleDesignsAreRefusedNamingTheLine) {
  struct Case { std::map<int, std::string> changes; const char* message; };
  const Case cases[] = {
      {{{23, "36 30 24"}}, "line 23: the look times must increase, but time 2 (30) does not come "
                           "after time 1 (36)"},
      {{{23, "10 20 20"}}, "line 23: the look times must increase, but time 3 (20)"},
      {{{23, "-5 20 30"}}, "line 23: the look times must be positive, but the first is -5"},
      {{{23, "0 20 30"}}, "line 23: the look times must be positive, but the first is 0"},
      // The last time 0 becomes 10, which comes before 20.
      {{{23, "5 20 0"}}, "line 23: the look times must increase, but time 3 (10)"},
      {{{74, "2"}, {78, "20 10"}, {83, "0.6 0.5"}},
       "line 78: the times of the baseline survival curve must increase, but time 2 (10)"},
      {{{74, "2"}, {78, "-1 10"}, {83, "0.6 0.5"}},
       "line 78: the times of the baseline survival curve must be positive"},
      {{{83, "1.2"}}, "line 83: the survival values of the baseline survival curve are "
                      "probabilities, but value 1 is 1.2, above 1"},
      {{{74, "2"}, {78, "10 20"}, {83, "0.5 0.6"}},
       "line 83: the survival values of the baseline survival curve must not increase, but value "
       "2 (0.6) is above value 1 (0.5)"},
      // 0 at the last point becomes 0.00001, above the 0 before it.
      {{{74, "3"}, {78, "10 20 30"}, {83, "0.5 0 0"}},
       "line 83: the survival values of the baseline survival curve must not increase, but value "
       "3 (1e-05) is above value 2 (0) (a last value of at most 0.00001 is set to 0.00001)"},
      {{{93, "2"}, {96, "20 10"}, {106, "0.7 0.8"}},
       "line 96: the treatment-group cut points must increase, but time 2 (10)"},
      {{{93, "2"}, {96, "10 20"}, {101, "1"}, {106, "0.6 0.7"}},
       "line 106: the treatment-group survival values must not increase"},
      {{{101, "1"}, {106, "1.5"}},
       "line 106: the treatment-group survival values are probabilities, but value 1 is 1.5"},
      {{{111, "2"}, {114, "30 20"}, {117, "0.9 0.8"}},
       "line 114: the times of the control group's censoring curve must increase"},
      {{{122, "2"}, {125, "10 30"}, {128, "0.8 0.9"}},
       "line 128: the survival values of the treatment group's censoring curve must not increase"},
      {{{117, "1.01"}}, "line 117: the survival values of the control group's censoring curve are "
                        "probabilities, but value 1 is 1.01"},
      {{{137, "1.5"}}, "line 137: the drop-in probabilities must lie in [0, 1], but value 1 is 1.5"},
      {{{145, "-0.1"}}, "line 145: the drop-out probabilities must lie in [0, 1], but value 1 is "
                        "-0.1"},
  };
  for (const Case& c : cases) {
    try {
      read(design_text(c.changes));
      ADD_FAILURE() << c.message << ": accepted";
    } catch (const InputError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u) << error.what();
    }
  }
  // The edges that stay legal: a flat stretch of survival, probabilities 0
  // and 1, a survival value of exactly 1, the last look time left at 0.
  EXPECT_NO_THROW(read(design_text({{74, "3"}, {78, "10 20 30"}, {83, "1 0.5 0.5"},
                                    {137, "1"}, {145, "0"}})));
  EXPECT_EQ(read(design_text({{20, "1"}, {23, "0"}})).look_times[1], 10.0f);
}

std::vector<std::string> warnings_of(const std::map<int, std::string>& changes) {
  std::FILE* console = std::tmpfile();
  std::istringstream input(design_text(changes));
  Design design;
  std::vector<std::string> warnings;
  read_design(input, console, design, [](const Design&) {}, &warnings);
  std::fclose(console);
  return warnings;
}

// Legal designs that are probably not what was meant: one warning each,
// naming the line, in line order; the design reads as it always has.
TEST(DesignInput, WarningsForTheSilentTraps) {
  // The base design's baseline curve ends at 10 and its last look is at 30.
  const std::vector<std::string> base = warnings_of({});
  ASSERT_EQ(base.size(), 1u);
  EXPECT_EQ(base[0].rfind("line 78: the last point of the baseline survival curve, at time 10, "
                          "lies before the last look, at time 30: the null variance counts "
                          "events only up to that point, so the information stops growing", 0),
            0u)
      << base[0];
  EXPECT_TRUE(warnings_of({{78, "30"}}).empty());
  EXPECT_TRUE(warnings_of({{78, "40"}}).empty());

  const std::vector<std::string> cut = warnings_of({{78, "30"}, {96, "12"}});
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].rfind("line 96: the last hazard-ratio cut point, 12, lies before the last "
                         "look, at time 30: beyond it the hazard ratio is 1", 0),
            0u)
      << cut[0];
  // Survival points of the treatment group have no cut-point trap: the
  // curve continues its last hazard.
  EXPECT_TRUE(warnings_of({{78, "30"}, {96, "12"}, {101, "1"}, {106, "0.6"}}).empty());

  const std::vector<std::string> slash = warnings_of({{78, "30"}, {88, "300/12"}});
  ASSERT_EQ(slash.size(), 1u);
  EXPECT_EQ(slash[0].rfind("line 88: a slash directly follows \"300\" in \"300/12\" (the accrual "
                           "period and accrual rate): it ends the line's values", 0),
            0u)
      << slash[0];
  // A slash after a blank is the plain reading rule, and text after the
  // values a line needs is never read.
  EXPECT_TRUE(warnings_of({{78, "30"}, {88, "300 /"}}).empty());
  EXPECT_TRUE(warnings_of({{78, "30"}, {40, "0.05 a/b 1/2"}}).empty());

  const std::vector<std::string> all = warnings_of({{96, "12"}, {88, "300/12"}});
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].rfind("line 78:", 0), 0u);
  EXPECT_EQ(all[1].rfind("line 88:", 0), 0u);
  EXPECT_EQ(all[2].rfind("line 96:", 0), 0u);
}

// Refused designs are one table, tests/bad_designs/expected.txt; the
// largest accepted subject count is the edge of its 7102-subject case.
TEST(DesignInput, ExactlyTheSubjectCapacityIsAccepted) {
  EXPECT_EQ(read(design_text({{88, "100 71"}})).accrual_rate, 71.0f);
  // And exactly the trial cap (the table refuses one more).
  EXPECT_EQ(read(design_text({{37, "1000000000"}})).sim_count, 1000000000);
}

TEST(DesignInput, TheReportIsCreatedAfterLineFourteenOnly) {
  // An input that ends at line 20: the report hook ran, then reading failed.
  std::string text = design_text();
  std::size_t cut = 0;
  for (int line = 0; line < 19; ++line) cut = text.find('\n', cut) + 1;
  int report_calls = 0;
  try {
    read(text.substr(0, cut), nullptr, &report_calls);
    ADD_FAILURE() << "a design ending at line 19 was accepted";
  } catch (const InputError& error) {
    EXPECT_STREQ(error.what(),
                 "line 20: the design ends here, but the number of looks K is expected");
  }
  EXPECT_EQ(report_calls, 1);
}

}  // namespace
}  // namespace gsd
