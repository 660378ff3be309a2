#include "report/results_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace gsd {
namespace {

std::string results_of(const Design& design, const RunTally& tally) {
  std::FILE* report = std::tmpfile();
  write_results(report, design, tally);
  std::rewind(report);
  std::string text;
  for (int c; (c = std::fgetc(report)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(report);
  return text;
}

Design two_look_design(int method) {
  Design d;
  d.method_code = method;
  d.look_count = 2;
  d.look_times[1] = 10.0f;
  d.look_times[2] = 20.0f;
  d.stat_count = 1;
  d.rho[1] = 0.0f;
  d.tau[1] = 1.0f;
  d.sim_count = 1000;
  d.b_input = 3.0f;
  d.b = 3.0f;
  return d;
}

TEST(ResultsReport, PowerStandardErrorAndStoppingTime) {
  Design d = two_look_design(2);
  RunTally tally;
  tally.rej[1] = 812;
  tally.stop_time_sum[1] = 17500.0;
  EXPECT_EQ(results_of(d, tally),
            "\n"
            "The results of simulation for method: 2\n"
            "\n"
            "---------Result of the 1st statistic:-----------\n"
            "rho = 0.0   tau = 1.0    power =0.8120   s.d. = 0.01236\n"
            "The average stopping time = 17.500\n"
            "\n");
  const StatisticResult none = statistic_result(RunTally{}, 1, 1000);
  EXPECT_EQ(none.power, 0.0f);
  EXPECT_EQ(none.sd, 0.0f);
}

// Event-driven looks: a table after the statistics, one row per look, with
// nothing but the target and the count for a look no trial reached.
TEST(ResultsReport, EventDrivenLooksTable) {
  Design d = two_look_design(4);
  d.look_events[1] = 50;
  d.look_events[2] = 120;
  d.max_time = 30.0f;
  RunTally tally;
  tally.rej[1] = 400;
  tally.stop_time_sum[1] = 15000.0;
  LookTally& looks = tally.looks;
  looks.reached[1] = 1000;
  looks.time_sum[1] = 12345.0;
  looks.time_min[1] = 8.5f;
  looks.time_max[1] = 17.25f;
  looks.events[1] = 50010;
  looks.subjects[1] = 180000;
  const std::string text = results_of(d, tally);
  const std::string table =
      "The average stopping time = 15.000\n"
      "\n"
      "Event-driven looks over the trials that reached them:\n"
      "look  target  trials   mean time    min time    max time  mean events  mean subjects\n"
      "   1      50    1000      12.345       8.500      17.250        50.01         180.00\n"
      "   2     120       0\n";
  ASSERT_GE(text.size(), table.size());
  EXPECT_EQ(text.substr(text.size() - table.size()), table) << text;

  // The same tallies of a calendar-time design: no table.
  d.look_events[1] = 0;
  d.look_events[2] = 0;
  EXPECT_EQ(results_of(d, tally).find("Event-driven"), std::string::npos);
}

TEST(ResultsReport, HeadingsOfLaterStatistics) {
  Design d = two_look_design(2);
  d.stat_count = 5;
  const std::string text = results_of(d, RunTally{});
  for (const char* heading :
       {"---------Result of the 2nd statistic:-----------\n",
        "---------Result of the 3rd statistic:-----------\n",
        "---------Result of the  4th statistic:-----------\n",
        "---------Result of the  5th statistic:-----------\n"}) {
    EXPECT_NE(text.find(heading), std::string::npos) << heading;
  }
}

TEST(ResultsReport, GivenBoundsAndErrorSplit) {
  Design bounds = two_look_design(4);
  bounds.look_count = 14;
  for (int i = 1; i <= 14; ++i) bounds.given_bounds[i] = 1.96f + 0.01f * static_cast<float>(i);
  EXPECT_NE(results_of(bounds, RunTally{})
                .find("The boundary values in the test are:\n"
                      "  1.97   1.98   1.99   2.00   2.01   2.02   2.03   2.04   2.05   2.06"
                      "   2.07   2.08\n  2.09   2.10\nThe average stopping time ="),
            std::string::npos);

  Design split = two_look_design(1);
  split.cum_alpha[1] = 0.01f;
  split.cum_alpha[2] = 0.05f;
  EXPECT_NE(results_of(split, RunTally{})
                .find("The type-I error is splitted as e(1),..., e( 2). They are:\n"
                      " 0.0100 0.0400\n"),
            std::string::npos);
}

TEST(ResultsReport, HaybittleWarningOnlyWhenBWasRaised) {
  struct Case { float b_input; float b; const char* shown; };
  const Case cases[] = {{2.5f, 2.7f, " The b in the input file is  2.50, which is too small.\n"
                                     "The b used in the simulation is  2.70. Please keep \n"},
                        {0.5f, 3.0f, " The b in the input file is  0.50, which is too small.\n"
                                     "The b used in the simulation is  3.00. Please keep \n"},
                        {3.0f, 3.0f, nullptr}};
  for (const Case& c : cases) {
    Design d = two_look_design(3);
    d.b_input = c.b_input;
    d.b = c.b;
    const std::string text = results_of(d, RunTally{});
    const std::size_t warning = text.find("********************** Warning ***********************\n");
    if (c.shown == nullptr) {
      EXPECT_EQ(warning, std::string::npos);
      continue;
    }
    ASSERT_NE(warning, std::string::npos);
    EXPECT_EQ(text.substr(warning - 2, 2), "\n\n");  // an empty line before it
    EXPECT_EQ(text.substr(warning + 55),
              std::string(c.shown) + "this in mind in your considerations.\n" +
                  std::string(54, '*') + "\n");
  }
}

}  // namespace
}  // namespace gsd
