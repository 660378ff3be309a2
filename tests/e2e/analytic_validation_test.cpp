// The analytic power against simulation on the validation designs
// (bench/validation/designs), with 2,000 trials instead of their 20,000:
// the simulated power of every statistic lies within 0.02 + 4 Monte-Carlo
// standard errors of the analytic power at the engine's critical values,
// and the mean events at the first look are the expected events.
// Two designs are left out: their expected information fraction at an
// interim look lies within 2% of the use-function method's 0.99 rule, so
// the trials' boundaries jump between two regimes that no single set of
// boundaries represents (README, "Analytic power").

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

std::vector<double> values_of(const std::string& text, const std::string& key) {
  std::vector<double> values;
  const std::string quoted = "\"" + key + "\": ";
  for (std::size_t at = text.find(quoted); at != std::string::npos;
       at = text.find(quoted, at + 1)) {
    values.push_back(std::stod(text.substr(at + quoted.size())));
  }
  return values;
}

TEST(AnalyticValidation, SimulatedPowerMatchesTheAnalyticPower) {
  const fs::path designs = fs::path(GSDSIM_SOURCE_DIR) / "bench" / "validation" / "designs";
  const int trials = 2000;
  int compared = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(designs)) {
    const std::string name = entry.path().stem().string();
    if (name == "delayed_fh01" || name == "ph_obf_one_sided") continue;
    std::string design = testing::read_file(entry.path());
    // Line 37, the number of trials.
    std::size_t start = 0;
    for (int line = 1; line < 37; ++line) start = design.find('\n', start) + 1;
    design.replace(start, design.find('\n', start) - start, std::to_string(trials));
    const fs::path dir = testing::scratch_directory("validation_" + name);
    const testing::RunResult run =
        testing::run_gsdsim(dir, design, "--threads 2 --json results.json");
    ASSERT_EQ(run.status, 0) << name << "\n" << run.console;
    const std::string json = testing::read_file(dir / "results.json");
    const std::size_t analytic = json.find("\"analytic\": {");
    ASSERT_NE(analytic, std::string::npos);
    const std::vector<double> simulated = values_of(json.substr(0, analytic), "power");
    const std::vector<double> expected =
        values_of(json.substr(analytic), "power_at_engine_bounds");
    ASSERT_EQ(simulated.size(), expected.size()) << name;
    // Every trial reaches the first look: its mean number of events is the
    // expected one (the count of a trial varies about as a Poisson count).
    const double mean_events = values_of(json.substr(0, analytic), "mean_events").at(0);
    const double expected_events = values_of(json.substr(analytic), "expected_events").at(0);
    EXPECT_NEAR(mean_events, expected_events, 5 * std::sqrt(expected_events / trials) + 0.05)
        << name << ", events at the first look";
    for (std::size_t j = 0; j < simulated.size(); ++j) {
      const double se = std::sqrt(expected[j] * (1 - expected[j]) / trials);
      EXPECT_NEAR(simulated[j], expected[j], 0.02 + 4 * se) << name << ", statistic " << j + 1;
      ++compared;
    }
    fs::remove_all(dir);
  }
  EXPECT_GE(compared, 12);
}

}  // namespace
}  // namespace gsd
