#include "model/random_stream.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace gsd {
namespace {

// Integers and numbers of the default stream (seed -123457), as published
// with the system's generator; numbers to eight significant digits.
constexpr int kDefaultIntegers[] = {150876436, 92340608, 994098931,
                                    668979008, 917513080, 212774855};
constexpr float kDefaultNumbers[] = {0.15087643f, 0.092340603f, 0.99409890f,
                                     0.66897899f, 0.91751307f, 0.21277484f};

TEST(RandomStream, DefaultSeedIntegersAndNumbers) {
  for (int start_seed : {-123457, 123457}) {  // the sign of the seed is irrelevant
    SubtractiveGenerator integers;
    SubtractiveGenerator numbers;
    int seed_a = start_seed;
    int seed_b = start_seed;
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(draw_integer(integers, seed_a), kDefaultIntegers[i])
          << "seed " << start_seed << ", draw " << i + 1;
      EXPECT_EQ(uniform(numbers, seed_b), kDefaultNumbers[i])
          << "seed " << start_seed << ", draw " << i + 1;
    }
  }
}

TEST(RandomStream, SeedMinusOne) {
  SubtractiveGenerator generator;
  int seed = -1;
  EXPECT_EQ(draw_integer(generator, seed), 298227348);
  EXPECT_EQ(draw_integer(generator, seed), 715119168);
  EXPECT_EQ(draw_integer(generator, seed), 33021107);
}

TEST(RandomStream, SeedVariableContinuesOrRestartsTheStream) {
  SubtractiveGenerator generator;
  int seed = -123457;
  EXPECT_EQ(draw_integer(generator, seed), kDefaultIntegers[0]);
  EXPECT_EQ(seed, 1);  // so that the next call continues
  EXPECT_EQ(draw_integer(generator, seed), kDefaultIntegers[1]);
  EXPECT_EQ(draw_integer(generator, seed), kDefaultIntegers[2]);

  // A positive seed variable never restarts an initialized generator.
  seed = 7;
  EXPECT_EQ(draw_integer(generator, seed), kDefaultIntegers[3]);
  EXPECT_EQ(seed, 7);

  // A negative one does.
  seed = -123457;
  EXPECT_EQ(draw_integer(generator, seed), kDefaultIntegers[0]);
  EXPECT_EQ(seed, 1);
}

TEST(RandomStream, ScaleMapsTheIntegerRangeOntoTheClosedUnitInterval) {
  SubtractiveGenerator generator;
  generator.initialized = true;
  generator.next_pos = 0;
  generator.partner_pos = 31;
  generator.table[1] = 999999999;  // first draw: table(1) - table(32)
  generator.table[32] = 0;
  generator.table[2] = 5;  // second draw: table(2) - table(33)
  generator.table[33] = 5;
  generator.table[3] = 0;  // third: negative difference wraps
  generator.table[34] = 1;
  int seed = 1;
  EXPECT_EQ(uniform(generator, seed), 1.0f);
  EXPECT_EQ(uniform(generator, seed), 0.0f);
  EXPECT_EQ(draw_integer(generator, seed), 999999999);
  EXPECT_EQ(generator.table[3], 999999999);  // the draw is stored back
}

TEST(RandomStream, LargestAcceptedSeedStaysInRangeThroughPositionWraps) {
  // 200 draws wrap both table positions several times; the opposite seed
  // reproduces the same run.
  SubtractiveGenerator first;
  int seed = -161803398;  // the largest magnitude accepted
  int sequence[200];
  for (int& r : sequence) {
    r = draw_integer(first, seed);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 1000000000);
  }
  EXPECT_GE(first.next_pos, 1);
  EXPECT_LE(first.next_pos, 55);
  SubtractiveGenerator second;
  seed = 161803398;
  for (int r : sequence) EXPECT_EQ(draw_integer(second, seed), r);
}

TEST(RandomStream, OutOfRangeSeedsAreStillWellDefined) {
  // Refused by the design input; here only the absence of undefined
  // behaviour (checked under sanitizers) and determinism matter.
  for (int start_seed : {2147483647, -2147483647 - 1, -200000000}) {
    SubtractiveGenerator a;
    SubtractiveGenerator b;
    int seed_a = start_seed;
    int seed_b = start_seed;
    for (int i = 0; i < 120; ++i) {
      EXPECT_EQ(draw_integer(a, seed_a), draw_integer(b, seed_b));
    }
    EXPECT_EQ(seed_a, 1);
  }
}

}  // namespace
}  // namespace gsd
