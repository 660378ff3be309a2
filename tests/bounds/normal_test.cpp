#include "bounds/normal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace gsd {
namespace {

// Reference values of the standard normal distribution from standard tables
// (Abramowitz & Stegun 1964, Table 26.1) to the digits quoted; tolerances are
// a few units in the last place of single precision relative to the value.

TEST(NormalDensity, ValuesAndUnderflowGuard) {
  EXPECT_FLOAT_EQ(normal_density(0.0f), 0.3989423f);
  EXPECT_NEAR(normal_density(1.0f), 0.2419707f, 2e-7f);
  EXPECT_EQ(normal_density(-1.5f), normal_density(1.5f));
  // exp(-85.42): tiny but still a normal float.
  EXPECT_GT(normal_density(13.0f), 0.0f);
  EXPECT_GE(normal_density(13.0f), 1.17549435e-38f);
  // The exponent reaches -87: exactly 0 in both directions.
  EXPECT_EQ(normal_density(13.2f), 0.0f);
  EXPECT_EQ(normal_density(-13.2f), 0.0f);
}

// The density's exponent is a float in (-87, -0.9189385]. Every one of those
// (about 5.5e7) is tried: exp_to_float must give the very float that
// std::exp rounded to float gives, with no tolerance. This is the proof that
// the boundary recursion, which uses exp_to_float, computes what it would
// compute with std::exp. A fraction of the exponents (about 1 in 8000) takes
// the fallback to std::exp, so both of exp_to_float's paths are covered.
TEST(ExpToFloat, EqualsStdExpAtEveryFloatExponentOfTheDensity) {
  const std::uint32_t first = std::bit_cast<std::uint32_t>(normal_density_exponent(0.0f));
  const std::uint32_t end = std::bit_cast<std::uint32_t>(kLeastDensityExponent);
  ASSERT_EQ(normal_density_exponent(0.0f), -kLogRootTwoPi);
  // Negative floats grow in magnitude with their bit pattern.
  ASSERT_LT(first, end);
  std::int64_t tried = 0;
  std::int64_t mismatches = 0;
  float first_mismatch = 0.0f;
  for (std::uint32_t bits = first; bits < end; ++bits) {
    const float t = std::bit_cast<float>(bits);
    const float expected = static_cast<float>(std::exp(double{t}));
    if (std::bit_cast<std::uint32_t>(exp_to_float(t)) != std::bit_cast<std::uint32_t>(expected)) {
      if (mismatches == 0) first_mismatch = t;
      ++mismatches;
    }
    ++tried;
  }
  EXPECT_EQ(mismatches, 0) << "first at t = " << first_mismatch;
  EXPECT_GT(tried, 54'000'000);
  // The last exponent tried is the float just above -87, the cut-off.
  EXPECT_EQ(std::nextafter(std::bit_cast<float>(end - 1), -100.0f), kLeastDensityExponent);
}

TEST(NormalTail, TableOfBothTails) {
  struct Case { float x; bool upper; float expected; float tolerance; };
  const Case cases[] = {
      {0.0f, true, 0.5f, 0.0f},
      {0.0f, false, 0.5f, 0.0f},
      {1.3f, true, 0.0968005f, 2e-7f},   // continued-fraction branch (z > 1.28)
      {1.3f, false, 0.9031995f, 2e-7f},
      {-1.3f, true, 0.9031995f, 2e-7f},
      {1.0f, true, 0.1586553f, 2e-7f},   // rational branch (z <= 1.28)
      {1.96f, true, 0.0249979f, 2e-7f},
      {1.96f, false, 0.9750021f, 2e-7f},
      {-1.96f, false, 0.0249979f, 2e-7f},
      {8.0f, true, 6.220961e-16f, 1e-20f},
      {-8.0f, false, 6.220961e-16f, 1e-20f},
      {8.0f, false, 1.0f, 0.0f},   // the small tail beyond 7 is cut
      {-8.0f, true, 1.0f, 0.0f},
      {19.0f, true, 0.0f, 0.0f},   // beyond 18.66
      {19.0f, false, 1.0f, 0.0f},
      {-19.0f, true, 1.0f, 0.0f},
      {-19.0f, false, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(normal_tail(c.x, c.upper), c.expected, c.tolerance)
        << "x = " << c.x << (c.upper ? " upper" : " lower");
  }
}

TEST(NormalTail, TailsAreComplementaryAndSymmetric) {
  for (float x = -6.0f; x <= 6.0f; x += 0.37f) {
    EXPECT_NEAR(normal_tail(x, true) + normal_tail(x, false), 1.0f, 1.2e-7f) << x;
    EXPECT_EQ(normal_tail(-x, true), normal_tail(x, false)) << x;
  }
}

TEST(NormalQuantile, PublishedPointsAndFaults) {
  struct Case { float p; float expected; int fault; };
  const Case cases[] = {
      {0.975f, 1.959964f, 0},
      {0.025f, -1.959964f, 0},
      {0.95f, 1.644854f, 0},
      {0.995f, 2.575829f, 0},
      {0.5f, 0.0f, 0},
      {1e-21f, 0.0f, 1},  // below the limit 1e-20
      {1.0f, 0.0f, 1},
      {0.0f, 0.0f, 1},
  };
  for (const Case& c : cases) {
    int fault = -1;
    const float x = normal_quantile(c.p, fault);
    EXPECT_NEAR(x, c.expected, 3e-6f) << "p = " << c.p;
    EXPECT_EQ(fault, c.fault) << "p = " << c.p;
  }
  int fault = -1;
  EXPECT_LT(normal_quantile(1e-19f, fault), -9.0f);
  EXPECT_EQ(fault, 0);
}

TEST(NormalQuantile, InvertsTheTail) {
  for (float x = -4.5f; x <= 4.5f; x += 0.25f) {
    int fault = -1;
    const float back = normal_quantile(normal_tail(x, false), fault);
    EXPECT_EQ(fault, 0);
    // The single-precision probability limits how well x comes back.
    const double tolerance = 2e-7 / std::max(1e-12, double{normal_density(x)}) + 1e-5;
    EXPECT_NEAR(back, x, tolerance) << x;
  }
}

}  // namespace
}  // namespace gsd
