#include "design/design_input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

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

// Refused designs are one table, tests/bad_designs/expected.txt; the
// largest accepted subject count is the edge of its 7102-subject case.
TEST(DesignInput, ExactlyTheSubjectCapacityIsAccepted) {
  EXPECT_EQ(read(design_text({{88, "100 71"}})).accrual_rate, 71.0f);
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
