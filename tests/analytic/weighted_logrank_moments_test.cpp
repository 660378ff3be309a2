// Identities of the weighted log-rank moments.

#include "analytic/weighted_logrank_moments.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/expected_counts.h"
#include "support/calibrated_design.h"

namespace gsd {
namespace {

Design design_with_ratio(const char* ratio, const char* treatment_loss) {
  return testing::calibrated_design({{74, "2"}, {78, "6 20"}, {83, "0.7 0.3"}, {88, "12 25"},
                                     {93, "1"}, {96, "100"}, {101, "2"}, {106, ratio},
                                     {114, "100"}, {117, "0.6"}, {125, "100"}, {128, treatment_loss}})
      .design;
}

const double kLooks[] = {0, 8, 14, 20, 30};
const double kRho[] = {0, 0, 1, 0, 0.5};
const double kTau[] = {0, 0, 0, 1, 2};

// Equal curves and equal losses: the log-rank information is a quarter of
// the expected events, every mean is 0 and the variance under the
// alternative is the information.
TEST(WeightedLogrankMoments, NullIdentities) {
  const TrialModel model = make_trial_model(design_with_ratio("1", "0.6"));
  const WeightedLogrankMoments m = weighted_logrank_moments(model, 4, kLooks, 4, kRho, kTau);
  for (int k = 1; k <= 4; ++k) {
    const ExpectedCounts c = expected_counts(model, kLooks[k]);
    EXPECT_NEAR(m.information[1][k], (c.events[0] + c.events[1]) / 4, 1e-9 * m.information[1][k]);
    for (int j = 1; j <= 4; ++j) {
      EXPECT_NEAR(m.score_mean[j][k], 0.0, 1e-12);
      EXPECT_NEAR(m.score_variance[j][k], m.information[j][k], 1e-12 * m.information[j][k]);
      if (k > 1) {
        EXPECT_GT(m.information[j][k], m.information[j][k - 1]);
      }
    }
  }
}

// Proportional hazards: the log-rank drift is near Schoenfeld's
// sqrt(D / 4) |ln HR| (a local approximation, so within a few per cent);
// reversing the effect reverses the sign; an early (late) weight gains from
// an effect that fades (appears) over time.
TEST(WeightedLogrankMoments, DriftFollowsTheEffect) {
  const TrialModel better = make_trial_model(design_with_ratio("0.7", "0.6"));
  const TrialModel worse = make_trial_model(design_with_ratio("1.4286", "0.6"));
  const WeightedLogrankMoments b = weighted_logrank_moments(better, 4, kLooks, 1, kRho, kTau);
  const WeightedLogrankMoments w = weighted_logrank_moments(worse, 4, kLooks, 1, kRho, kTau);
  for (int k = 1; k <= 4; ++k) {
    const ExpectedCounts c = expected_counts(better, kLooks[k]);
    const double schoenfeld = std::sqrt((c.events[0] + c.events[1]) / 4) * -std::log(0.7);
    EXPECT_NEAR(b.drift[1][k], schoenfeld, 0.03 * schoenfeld);
    EXPECT_LT(w.drift[1][k], 0.0);
  }
  const Design fading = testing::calibrated_design(
      {{74, "1"}, {78, "12"}, {83, "0.5"}, {88, "12 25"}, {93, "2"}, {96, "6 100"},
       {101, "2"}, {106, "0.4 1"}}).design;
  const Design delayed = testing::calibrated_design(
      {{74, "1"}, {78, "12"}, {83, "0.5"}, {88, "12 25"}, {93, "2"}, {96, "6 100"},
       {101, "2"}, {106, "1 0.5"}}).design;
  const double rho[] = {0, 0, 1, 0};
  const double tau[] = {0, 0, 0, 1};
  const WeightedLogrankMoments f =
      weighted_logrank_moments(make_trial_model(fading), 4, kLooks, 3, rho, tau);
  const WeightedLogrankMoments d =
      weighted_logrank_moments(make_trial_model(delayed), 4, kLooks, 3, rho, tau);
  EXPECT_GT(f.drift[2][4], f.drift[1][4]);  // FH(1,0) over the log-rank, fading effect
  EXPECT_GT(f.drift[1][4], f.drift[3][4]);
  EXPECT_GT(d.drift[3][4], d.drift[1][4]);  // FH(0,1) over the log-rank, delayed effect
  EXPECT_GT(d.drift[1][4], d.drift[2][4]);
}

}  // namespace
}  // namespace gsd
