#include "stats/sort_look_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace gsd {
namespace {

// Entry j starts with group j and event 100 + j, so that the arrangement of
// every entry, tied ones included, can be read back from the results.
void fill(LookData& data, const std::vector<float>& times) {
  data.m = static_cast<int>(times.size());
  for (int j = 1; j <= data.m; ++j) {
    data.obs_time[j] = times[j - 1];
    data.group[j] = static_cast<float>(j);
    data.event[j] = 100 + j;
  }
}

std::vector<int> arrangement(const LookData& data) {
  std::vector<int> original;
  for (int j = 1; j <= data.m; ++j) original.push_back(static_cast<int>(data.group[j]));
  return original;
}

// Same entries in the same positions, compared bit for bit.
bool same_entries(const LookData& a, const LookData& b) {
  if (a.m != b.m) return false;
  for (int j = 1; j <= a.m; ++j) {
    if (std::bit_cast<std::uint32_t>(a.obs_time[j]) != std::bit_cast<std::uint32_t>(b.obs_time[j]) ||
        std::bit_cast<std::uint32_t>(a.group[j]) != std::bit_cast<std::uint32_t>(b.group[j]) ||
        a.event[j] != b.event[j]) {
      return false;
    }
  }
  return true;
}

class SortLookData : public ::testing::Test {
 protected:
  // Runs both sorts on copies of `times`; *literal_ and *fast_ hold the results.
  void sort_both(const std::vector<float>& times) {
    fill(*literal_, times);
    fill(*fast_, times);
    sort_look_data_literal(*literal_);
    sort_look_data(*fast_, *scratch_);
  }

  std::unique_ptr<LookData> literal_ = std::make_unique<LookData>();
  std::unique_ptr<LookData> fast_ = std::make_unique<LookData>();
  std::unique_ptr<SortScratch> scratch_ = std::make_unique<SortScratch>();
};

TEST_F(SortLookData, FewEntries) {
  struct Case {
    std::vector<float> times;
    std::vector<int> expected;  // original positions, in sorted order
  };
  const Case cases[] = {
      {{}, {}},
      {{7.0f}, {1}},
      {{5.0f, 3.0f}, {2, 1}},
      {{3.0f, 5.0f}, {1, 2}},
      {{2.0f, 2.0f}, {1, 2}},
      {{0.0f, -0.0f}, {1, 2}},  // equal times
      {{-0.0f, 0.0f}, {1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "m = " << c.times.size());
    // Positions past m hold a marker that neither sort may touch.
    literal_->obs_time[c.times.size() + 1] = -1.0f;
    fast_->obs_time[c.times.size() + 1] = -1.0f;
    sort_both(c.times);
    EXPECT_EQ(arrangement(*literal_), c.expected);
    EXPECT_TRUE(same_entries(*literal_, *fast_));
    EXPECT_EQ(literal_->obs_time[c.times.size() + 1], -1.0f);
    EXPECT_EQ(fast_->obs_time[c.times.size() + 1], -1.0f);
  }
  // (5, 3): times, groups and events all move.
  sort_both({5.0f, 3.0f});
  EXPECT_EQ(fast_->obs_time[1], 3.0f);
  EXPECT_EQ(fast_->obs_time[2], 5.0f);
  EXPECT_EQ(fast_->group[1], 2.0f);
  EXPECT_EQ(fast_->event[1], 102);
  EXPECT_EQ(fast_->group[2], 1.0f);
  EXPECT_EQ(fast_->event[2], 101);
}

// Worked by hand, entries named by their position a..e:
//   start      a 1.0  b 4.0  c 4.0  d 0.5  e 5.0
//   gap 2, pass 1: (a,c) no; (b,d) 4 > 0.5 exchange -> a d c b e; (c,e) no
//   gap 2, pass 2: (a,c) (d,b) (c,e) no exchange
//   gap 1, pass 1: a 1 > d 0.5 exchange -> d a c b e; (a,c) no;
//                  (c,b) 4 = 4 no; (b,e) no
//   gap 1, pass 2: no exchange
//   result     d 0.5  a 1.0  c 4.0  b 4.0  e 5.0
// The tied b and c end in reverse subject order: b was carried past c at
// gap 2 and equal times are never exchanged afterwards.
TEST_F(SortLookData, TieLeftOutOfSubjectOrder) {
  sort_both({1.0f, 4.0f, 4.0f, 0.5f, 5.0f});
  const std::vector<int> expected = {4, 1, 3, 2, 5};
  EXPECT_EQ(arrangement(*literal_), expected);
  EXPECT_EQ(arrangement(*fast_), expected);
  EXPECT_TRUE(same_entries(*literal_, *fast_));
}

std::vector<float> random_times(std::mt19937& rng, int m, int kind) {
  std::uniform_real_distribution<float> continuous(0.0f, 10.0f);
  std::uniform_int_distribution<int> few(0, 3);
  std::uniform_int_distribution<int> grid(0, 60);
  std::vector<float> times(m);
  for (float& t : times) {
    switch (kind) {
      case 0: t = continuous(rng); break;                           // ties unlikely
      case 1: t = static_cast<float>(few(rng)); break;              // full of ties
      case 2: t = 0.25f * static_cast<float>(grid(rng)); break;     // many ties
      case 3: t = grid(rng) < 3 ? (few(rng) < 2 ? -0.0f : 0.0f)     // signed zeros
                                : continuous(rng);
              break;
      default: t = 1.0f; break;                                     // all equal
    }
  }
  // Continuous data with a few planted ties.
  if (kind == 0 && m > 3 && few(rng) == 0) {
    for (int k = 0; k < 3; ++k) times[rng() % m] = times[rng() % m];
  }
  return times;
}

TEST_F(SortLookData, FastAgreesWithLiteralOnRandomInput) {
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> small_m(0, 150);
  std::uniform_int_distribution<int> kind_of(0, 4);
  int with_ties = 0;
  int without_ties = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    int m = small_m(rng);
    if (trial % 100 == 0) m = 1 << (trial / 100 % 9);   // powers of two
    if (trial % 400 == 7) m = kSubjectCapacity;         // full capacity
    else if (trial % 400 == 207) m = 1000 + static_cast<int>(rng() % 3000);
    const int kind = kind_of(rng);
    const std::vector<float> times = random_times(rng, m, kind);
    std::vector<float> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end() ? with_ties : without_ties)++;

    sort_both(times);
    ASSERT_TRUE(same_entries(*literal_, *fast_)) << "trial " << trial << ", m = " << m
                                                 << ", kind " << kind;
    // The reference itself: ascending, and a permutation of the input.
    for (int j = 1; j < m; ++j) ASSERT_LE(literal_->obs_time[j], literal_->obs_time[j + 1]);
    std::vector<int> positions = arrangement(*literal_);
    std::sort(positions.begin(), positions.end());
    for (int j = 1; j <= m; ++j) {
      ASSERT_EQ(positions[j - 1], j);
      const int from = static_cast<int>(literal_->group[j]);
      ASSERT_EQ(literal_->event[j], 100 + from);
      ASSERT_EQ(std::bit_cast<std::uint32_t>(literal_->obs_time[j]),
                std::bit_cast<std::uint32_t>(times[from - 1]));
    }
  }
  // Both ways through the fast sort were taken many times.
  EXPECT_GT(with_ties, 500);
  EXPECT_GT(without_ties, 500);
}

// A NaN time is never exchanged; the arrangement is still the literal one.
TEST_F(SortLookData, NaNTimeGivesTheLiteralArrangement) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  sort_both({3.0f, nan, 1.0f, 2.0f, 0.5f, nan, 2.0f});
  EXPECT_TRUE(same_entries(*literal_, *fast_));
}

}  // namespace
}  // namespace gsd
