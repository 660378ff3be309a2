#include "report/design_summary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "support/design_text.h"
#include "design/design_input.h"

namespace gsd {
namespace {

using testing::design_text;

Design read(const std::map<int, std::string>& changes) {
  std::FILE* console = std::tmpfile();
  std::istringstream input(design_text(changes));
  Design design;
  read_design(input, console, design, [](const Design&) {});
  std::fclose(console);
  return design;
}

std::string summary_of(const Design& design) {
  std::FILE* report = std::tmpfile();
  write_seed_line(report, design);
  write_design_summary(report, design);
  std::rewind(report);
  std::string text;
  for (int c; (c = std::fgetc(report)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(report);
  return text;
}

TEST(DesignSummary, WholeSummaryOfAHazardRatioDesign) {
  const Design d = read({{17, "0"}, {20, "1"}, {23, "10"}, {26, "2"}, {30, "0 1"}, {33, "1 0.5"},
                         {40, "0.025"}, {43, "1"}, {49, "0"}, {61, "0"}, {74, "2"}, {78, "2.5 5"},
                         {83, "0.8 0.6"}, {93, "2"}, {96, "3 6"}, {106, "0.5 0.75"}});
  EXPECT_EQ(summary_of(d),
            "The seed =    -123457\n"
            "Number of interim analyses =  1\n"
            "Times of the interim analysis =  10.00\n"
            "The rho(s) of the statistic(s)  =      0.00     1.00\n"
            "The tau(s) of the statistic(s) =      1.00     0.50\n"
            "Accrual period and accrual rate =    10.00   20.00\n"
            "Type-I error is 0.025 and 1 sided test has been specified.\n"
            " (x,S(x)) of the baseline survival function are:\n"
            "  (   0.000   1.000)\n"
            " (   2.500   0.800)\n"
            " (   5.000   0.600)\n"
            " The alternative survival distribution is specified\n"
            " by the hazard ratio to the baseline survival:\n"
            " hazard ratio in (   0.00    3.00) is   0.5000\n"
            " hazard ratio in (   3.00    6.00) is   0.7500\n"
            " Censoring survival function for the control group are:\n"
            "  (   0.000   1.000)\n"
            " (  30.000   0.900)\n"
            " Censoring survival function for the treatment group are:\n"
            "  (   0.000   1.000)\n"
            " (  30.000   0.900)\n"
            " The drop-in rate(s) are:\n"
            "  (   0.000   0.000)\n"
            " The drop-out rate(s) are:\n"
            "  (   0.000   0.000)\n"
            " The OBrien & Fleming use function is specified.\n");
}

TEST(DesignSummary, FourteenLooksWrapAfterTwelveAndWideTimesOverflow) {
  const Design d = read({{20, "14"}, {23, "1 2 3 4 5 6 7 8 9 10 11 12 100 14.5"},
                         {49, "14*0"}, {61, "14*0"}});
  const std::string text = summary_of(d);
  EXPECT_NE(text.find("Times of the interim analysis =   1.00  2.00  3.00  4.00  5.00  6.00  7.00"
                      "  8.00  9.00 10.00 11.00 12.00\n ***** 14.50\n"),
            std::string::npos)
      << text;
}

TEST(DesignSummary, SurvivalPointsOfTheTreatmentGroup) {
  const Design d = read({{93, "2"}, {96, "5 10"}, {101, "1"}, {106, "0.7 0.4"}});
  EXPECT_NE(summary_of(d).find(" (x,S(x)) of the alternative survival function are:\n"
                               "  (   0.000   1.000)\n"
                               " (   5.000   0.700)\n"
                               " (  10.000   0.400)\n"
                               " Censoring survival function for the control group are:\n"),
            std::string::npos);
}

TEST(DesignSummary, UseFunctionLinesOnlyUnderMethodTwo) {
  struct Case { const char* method; const char* code; const char* tail; };
  const Case cases[] = {
      {"2", "1", " The drop-out rate(s) are:\n  (   0.000   0.000)\n"
                 " The OBrien & Fleming use function is specified.\n"},
      {"2", "2", "  (   0.000   0.000)\n The Pocock use function is specifieisd.\n"},
      {"2", "3", "  (   0.000   0.000)\n The linear use function is specified.\n"},
      {"2", "7", "  (   0.000   0.000)\n The Siegmund (Haybittle-type) use function is\n"
                 " specified. The b used is:   2.500000    \n"},
      {"3", "7", " The drop-out rate(s) are:\n  (   0.000   0.000)\n"},
      {"1", "1", " The drop-out rate(s) are:\n  (   0.000   0.000)\n"},
  };
  for (const Case& c : cases) {
    const std::string text = summary_of(read({{11, c.method}, {54, "2.5"}, {70, c.code}}));
    const std::string tail = c.tail;
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "method " << c.method;
  }
}

}  // namespace
}  // namespace gsd

namespace gsd {
namespace {

// Event-driven looks: the targets and max_time follow the look-time line,
// which then holds the expected times; nothing else changes.
TEST(DesignSummary, EventTargetsFollowTheLookTimes) {
  Design d = read({{20, "3"}, {23, "11.5 22.25 40"}});
  const std::string calendar = summary_of(d);
  d.look_events[1] = 60;
  d.look_events[2] = 120;
  d.look_events[3] = 190;
  d.max_time = 40.0f;
  const std::string lines =
      "Times of the interim analysis =  11.50 22.25 40.00\n"
      "Event targets of the looks (both groups) =    60   120   190\n"
      "The times above are the expected calendar times of the targets under\n"
      "the alternative; a look whose target is not reached by max_time =   40.00\n"
      "happens then.\n";
  const std::string events = summary_of(d);
  const std::size_t at = events.find(lines);
  ASSERT_NE(at, std::string::npos) << events;
  // Remove the four new lines: the calendar-time summary remains.
  const std::size_t extra = lines.find("Event targets");
  std::string rest = events;
  rest.erase(at + extra, lines.size() - extra);
  EXPECT_EQ(rest, calendar);
}

}  // namespace
}  // namespace gsd
