// Each group's event-time distribution, crossovers included, against the
// event times the generator actually draws.

#include "model/group_event_distribution.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "model/generate_trial.h"
#include "model/random_stream.h"
#include "support/calibrated_design.h"

namespace gsd {
namespace {

// Event times of `trials` generated trials of 7100 subjects, per group.
void generated_event_times(const Design& design, int trials, std::vector<float>& control,
                           std::vector<float>& treatment) {
  SubtractiveGenerator generator;
  int seed = design.seed;
  uniform(generator, seed);
  auto trial = std::make_unique<SimulatedTrial>();
  const int n = kSubjectCapacity;
  for (int t = 0; t < trials; ++t) {
    ASSERT_TRUE(generate_trial(design, n, generator, seed, *trial).ok);
    for (int i = 1; i <= n; ++i) {
      (i > n / 2 ? treatment : control).push_back(trial->event_time[i]);
    }
  }
}

double share_beyond(const std::vector<float>& times, double t) {
  const auto later = std::count_if(times.begin(), times.end(), [&](float x) { return x > t; });
  return static_cast<double>(later) / times.size();
}

// Control: exponential, median 10. Treatment: hazard ratio 0.6 up to 6,
// then 1.2 (or survival points). Crossover lists exercise the cases of the
// generator: an own uniform that carries past the crossover time (the
// other curve above), redraws (the other curve below), unsorted list times,
// a time of 0 and a certain crossover.
TEST(GroupEventDistribution, MatchesTheGeneratorsEventTimes) {
  struct Case {
    const char* name;
    std::map<int, std::string> values;
  };
  const std::map<int, std::string> common = {
      {17, "-9091"}, {74, "1"}, {78, "10"}, {83, "0.5"}, {88, "10 700"}, {93, "2"},
      {96, "6 40"}, {101, "2"}, {106, "0.6 1.2"}};
  std::vector<Case> cases = {
      {"no crossover", {}},
      {"drop-in and drop-out, one entry each",
       {{133, "1"}, {135, "4"}, {137, "0.3"}, {141, "1"}, {143, "8"}, {145, "0.5"}}},
      {"unsorted drop-in list with a certain last entry",
       {{133, "3"}, {135, "12 3 7"}, {137, "0.2 0.4 1"}}},
      {"drop-out from time 0 and survival points",
       {{141, "2"}, {143, "0 15"}, {145, "0.25 0.6"}, {101, "1"}, {106, "0.75 0.05"}}},
  };
  const double times[] = {0.5, 2.0, 3.5, 5.0, 8.0, 11.0, 16.0, 25.0, 40.0};
  for (const Case& c : cases) {
    std::map<int, std::string> values = common;
    for (const auto& [line, text] : c.values) values[line] = text;
    const Design design = testing::calibrated_design(values).design;
    std::vector<float> control, treatment;
    generated_event_times(design, 14, control, treatment);
    for (int g = 0; g < 2; ++g) {
      const GroupEventDistribution dist = make_group_event_distribution(design, g);
      const std::vector<float>& sample = g == 0 ? control : treatment;
      for (double t : times) {
        const double expected = group_survival(dist, t);
        const double se = std::sqrt(expected * (1 - expected) / sample.size());
        EXPECT_NEAR(share_beyond(sample, t), expected, 4.5 * se + 1e-4)
            << c.name << ", group " << g << ", t = " << t;
      }
    }
  }
}

// The density is minus the derivative of the survival function, kinks of
// the crossovers included (central differences away from the kinks).
TEST(GroupEventDistribution, DensityIsTheDerivativeOfSurvival) {
  const Design design = testing::calibrated_design(
      {{74, "2"}, {78, "5 20"}, {83, "0.6 0.2"}, {93, "1"}, {96, "30"}, {101, "2"},
       {106, "0.5"}, {133, "2"}, {135, "9 3"}, {137, "0.5 0.3"}, {141, "1"}, {143, "6"},
       {145, "0.4"}})
                            .design;
  for (int g = 0; g < 2; ++g) {
    const GroupEventDistribution dist = make_group_event_distribution(design, g);
    EXPECT_DOUBLE_EQ(group_survival(dist, 0.0), 1.0);
    for (double t = 0.37; t < 60.0; t += 1.13) {
      const double h = 1e-5;
      const double slope = (group_survival(dist, t - h) - group_survival(dist, t + h)) / (2 * h);
      EXPECT_NEAR(group_density(dist, t), slope, 1e-6 + 1e-5 * slope) << "group " << g << " t " << t;
    }
  }
}

}  // namespace
}  // namespace gsd
