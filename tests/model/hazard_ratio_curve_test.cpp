#include "model/hazard_ratio_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/curve_points.h"
#include "support/warning_log.h"

namespace gsd {
namespace {

using testing::curve_of;
using testing::hazard_ratio_curve;

// The warnings of the inverse, collected.
struct Report {
  testing::WarningLog log;
  InverseWarnings file = log.sink();
  std::string text() const { return log.text; }
};

TEST(HazardRatioCurve, OneIntervalWorkedValues) {
  Report report;
  const HazardRatioCurve curve = hazard_ratio_curve(curve_of({{1.0f, 0.5f}}), {{2.0f, 0.5f}});
  // y = 0.36 >= tmpp = 0.25: inside the interval.
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.6f, report.file),
                  static_cast<float>(std::log(1.0 / 0.36) / std::log(2.0)));
  EXPECT_NEAR(time_at_survival(curve, 0.6f, report.file), 1.4739f, 1e-4f);
  // y = 0.16 < 0.25: rmlp = 0.25^(-0.5) = 2, baseline inverse at 0.2.
  EXPECT_FLOAT_EQ(time_at_survival(curve, 0.4f, report.file),
                  static_cast<float>(std::log(5.0) / std::log(2.0)));
  EXPECT_NEAR(time_at_survival(curve, 0.4f, report.file), 2.3219f, 1e-4f);
  EXPECT_EQ(time_at_survival(curve, 1.0f, report.file), 0.0f);
  EXPECT_EQ(report.text(), "");
}

TEST(HazardRatioCurve, RatiosOfOneGiveTheBaselineInverse) {
  const SurvivalCurve baseline = curve_of({{1.0f, 0.8f}, {2.5f, 0.4f}, {3.0f, 0.4f}, {6.0f, 0.1f}});
  const HazardRatioCurve curve =
      hazard_ratio_curve(baseline, {{0.5f, 1.0f}, {2.0f, 1.0f}, {4.0f, 1.0f}});
  Report report;
  for (float u : {0.99f, 0.8f, 0.5f, 0.4f, 0.2f, 0.05f, 0.001f, 0.0f}) {
    EXPECT_EQ(time_at_survival(curve, u, report.file), time_at_survival(baseline, u)) << "u " << u;
  }
}

// S1(t) in closed form: R(k) * S0(t)^theta(k) on interval k, and
// R(m) * S0(tau(m))^(theta(m) - 1) * S0(t) beyond tau(m).
double closed_form_survival(const HazardRatioCurve& curve, double t) {
  double R = 1.0;
  for (int k = 1; k <= curve.m; ++k) {
    const double theta = curve.hazard_ratios[k];
    if (t <= curve.hazard_cutpoints[k]) {
      return R * std::pow(survival_at(curve.baseline, static_cast<float>(t)), theta);
    }
    const double next = k < curve.m ? curve.hazard_ratios[k + 1] : 1.0;
    R *= std::pow(survival_at(curve.baseline, curve.hazard_cutpoints[k]), theta - next);
  }
  return R * survival_at(curve.baseline, static_cast<float>(t));
}

TEST(HazardRatioCurve, InverseMatchesClosedFormOverSeveralIntervals) {
  const HazardRatioCurve curve = hazard_ratio_curve(
      curve_of({{1.0f, 0.7f}, {3.0f, 0.3f}, {6.0f, 0.1f}}), {{2.0f, 0.5f}, {4.0f, 0.8f}, {5.0f, 1.6f}});
  Report report;
  for (float u : {0.95f, 0.8f, 0.6f, 0.45f, 0.3f, 0.2f, 0.1f, 0.02f}) {
    const float t = time_at_survival(curve, u, report.file);
    EXPECT_NEAR(closed_form_survival(curve, t), u, 2e-6 * u + 1e-7) << "u " << u << " t " << t;
  }
  EXPECT_EQ(report.text(), "");
}

TEST(HazardRatioCurve, SmallWorkingValuesAreReported) {
  // S0(3) = 1e-9 and S0(4) = 1e-12; after the first cut point
  // rmlp = S0(3)^(2 - 1) = 1e-9. u = 1e-25 passes both cut points.
  const HazardRatioCurve curve =
      hazard_ratio_curve(curve_of({{1.0f, 0.001f}}), {{3.0f, 2.0f}, {4.0f, 1.0f}});
  Report report;
  // Beyond tau(2): S1(t) = 1e-9 * S0(t), so S0(t) = 1e-16 at t = 16/3.
  EXPECT_NEAR(time_at_survival(curve, 1e-25f, report.file), 16.0f / 3.0f, 1e-4f);
  EXPECT_EQ(report.text(), "tmpp tmpp rmlp ");

  // Inside the first interval nothing is written.
  Report quiet;
  time_at_survival(curve, 0.5f, quiet.file);
  EXPECT_EQ(quiet.text(), "");
}

}  // namespace
}  // namespace gsd
