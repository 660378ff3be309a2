#include "sweep/size_for_power.h"

#include <gtest/gtest.h>

#include <cmath>

#include "keyed/keyed_table.h"

namespace gsd {
namespace {

double normal_cdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// One look, the log-rank statistic, proportional hazards: Schoenfeld's
// formula (Biometrika 68, 1981, 316-319) gives the power from the expected
// number of events D, Phi(sqrt(D / 4) |ln HR| - z(alpha / 2)), and D from the
// subjects by the chance of an event by the look under uniform entry,
// exponential survival and no loss to follow-up.
TEST(SizeForPower, SchoenfeldDesignWithinTheMonteCarloError) {
  const double median = 12.0, hazard_ratio = 0.6, period = 12.0, look = 30.0;
  const KeyedTable design = parse_keyed_table(R"(report = "size.rpt"
seed = 4711
trials = 1000
alpha = 0.05
sides = 2

[looks]
times = [30.0]

[boundary]
method = "critical-values"
critical_values = [1.959964]

[control]
times = [12.0]
survival = [0.5]

[treatment]
hazard_ratio = 0.6

[accrual]
period = 12.0
rate = 10.0
)");
  auto event_chance = [&](double hazard) {
    return 1.0 - (std::exp(-hazard * (look - period)) - std::exp(-hazard * look)) /
                     (hazard * period);
  };
  const double control_hazard = std::log(2.0) / median;
  const double chance =
      0.5 * (event_chance(control_hazard) + event_chance(hazard_ratio * control_hazard));
  auto schoenfeld_power = [&](double subjects) {
    return normal_cdf(std::sqrt(subjects * chance / 4.0) * std::fabs(std::log(hazard_ratio)) -
                      1.959964);
  };

  SizingOptions options;
  options.target = 0.8;
  options.threads = 2;
  const SizingRun run = size_for_power(design, options);
  ASSERT_EQ(run.status, 0) << run.error;
  const SizeSearch& s = run.search;
  // The Monte-Carlo standard error of a power of 0.8 over 1000 trials.
  const double se = std::sqrt(0.8 * 0.2 / 1000);
  EXPECT_NEAR(schoenfeld_power(s.found.subjects), 0.8, 3 * se) << s.found.subjects;
  EXPECT_GE(s.found.power, 0.8);
  ASSERT_TRUE(s.has_below);
  EXPECT_LT(s.below.power, 0.8);
  EXPECT_EQ(s.below.subjects, s.found.subjects - s.step);
  // The analytic answer lies close to Schoenfeld's: it has no Monte-Carlo
  // error, but Schoenfeld's formula takes the statistic's variance under
  // the null, a few per cent off at a hazard ratio of 0.6.
  EXPECT_NEAR(schoenfeld_power(s.analytic_subjects), 0.8, 0.02) << s.analytic_subjects;
  EXPECT_NE(run.text.find("subjects needed: " + std::to_string(s.found.subjects) + "\n"),
            std::string::npos)
      << run.text;
  EXPECT_NE(run.text.find("carries the Monte-Carlo error"), std::string::npos);
}

}  // namespace
}  // namespace gsd
