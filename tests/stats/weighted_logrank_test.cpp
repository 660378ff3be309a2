#include "stats/weighted_logrank.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "stats/sort_look_data.h"

namespace gsd {
namespace {

struct Entry {
  float obs_time;
  float group;
  int event;
};

void fill(LookData& data, const std::vector<Entry>& entries) {
  data.m = static_cast<int>(entries.size());
  for (int j = 1; j <= data.m; ++j) {
    data.obs_time[j] = entries[j - 1].obs_time;
    data.group[j] = entries[j - 1].group;
    data.event[j] = entries[j - 1].event;
  }
}

// rho and tau tables, Z and V outputs, indexed 1..q.
struct Statistics {
  int q = 0;
  float rho[kStatCapacity + 1] = {};
  float tau[kStatCapacity + 1] = {};
  float Z[kStatCapacity + 1] = {};
  float V[kStatCapacity + 1] = {};

  Statistics(std::initializer_list<std::pair<float, float>> pairs) {
    for (const auto& [r, t] : pairs) {
      ++q;
      rho[q] = r;
      tau[q] = t;
    }
  }
  int run(const LookData& data) { return weighted_logrank(data, q, rho, tau, Z, V); }
};

class WeightedLogrank : public ::testing::Test {
 protected:
  std::unique_ptr<LookData> data_ = std::make_unique<LookData>();
};

// Two events: a control one at time 1, then a treatment one at time 2. The
// first event has N = 2, Y1 = 1, S = 2/3, e = -1/2, v = 1/4; the second has
// N = Y1 = 1, e = v = 0. So U = -w/2 and V = w^2/4 with w the first weight,
// and Z = +1 whatever w.
TEST_F(WeightedLogrank, TwoEvents) {
  struct Case {
    float rho, tau;
    double V;
  };
  const Case cases[] = {
      {0.0f, 0.0f, 0.25},                     // w = 1
      {1.0f, 0.0f, 0.25 * 4.0 / 9.0},         // w = S = 2/3
      {0.0f, 1.0f, 0.25 / 9.0},               // w = 1 - S = 1/3
      {0.0f, 2.0f, 0.25 / 81.0},              // w = (1/(N+1))^2: small, not 0
      {0.5f, 0.5f, 0.25 * 2.0 / 9.0},         // w = sqrt(2/9)
  };
  fill(*data_, {{1.0f, 0.0f, 1}, {2.0f, 1.0f, 1}});
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "rho " << c.rho << ", tau " << c.tau);
    Statistics stats{{c.rho, c.tau}};
    EXPECT_EQ(stats.run(*data_), 2);
    EXPECT_FLOAT_EQ(stats.Z[1], 1.0f);
    EXPECT_FLOAT_EQ(stats.V[1], static_cast<float>(c.V));
  }
  Statistics plain{{0.0f, 0.0f}};
  plain.run(*data_);
  EXPECT_EQ(plain.Z[1], 1.0f);  // exact: U = -0.5, V = 0.25
  EXPECT_EQ(plain.V[1], 0.25f);
}

// Every event meets a risk set of treatment subjects only: e = v = 0, so Z is
// 0/0 and no boundary comparison can succeed.
TEST_F(WeightedLogrank, OneGroupOnlyGivesNaN) {
  fill(*data_, {{1.0f, 1.0f, 1}, {2.0f, 1.0f, 1}, {3.0f, 1.0f, 1}});
  Statistics stats{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0.5f, 2}};
  EXPECT_EQ(stats.run(*data_), 3);
  for (int k = 1; k <= stats.q; ++k) {
    EXPECT_TRUE(std::isnan(stats.Z[k])) << "statistic " << k;
    EXPECT_EQ(stats.V[k], 0.0f);
    EXPECT_FALSE(stats.Z[k] >= 1.96f || stats.Z[k] <= -1.96f);
    EXPECT_FALSE(stats.Z[k] >= -5.0f);
  }
}

TEST_F(WeightedLogrank, NoEventsGiveZeros) {
  const std::vector<std::vector<Entry>> inputs = {
      {},
      {{1.0f, 0.0f, 0}, {2.0f, 1.0f, 0}, {2.5f, 1.0f, 0}},
  };
  for (const auto& input : inputs) {
    fill(*data_, input);
    Statistics stats{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0.5f, 0.5f}};
    for (int k = 1; k <= stats.q; ++k) stats.Z[k] = stats.V[k] = 7.0f;
    EXPECT_EQ(stats.run(*data_), 0);
    for (int k = 1; k <= stats.q; ++k) {
      EXPECT_EQ(stats.Z[k], 0.0f);
      EXPECT_EQ(stats.V[k], 0.0f);
    }
  }
}

std::vector<Entry> random_entries(std::mt19937& rng, int m, double treatment_hazard) {
  std::exponential_distribution<double> control(1.0);
  std::exponential_distribution<double> treatment(treatment_hazard);
  std::exponential_distribution<double> censoring(0.3);
  std::vector<Entry> entries(m);
  for (int j = 0; j < m; ++j) {
    const bool treated = j % 2 == 1;
    const double event = treated ? treatment(rng) : control(rng);
    const double censor = censoring(rng);
    // Rounded to a grid so that ties occur.
    const float t = static_cast<float>(std::round(std::min(event, censor) * 50.0) / 50.0);
    entries[j] = {t, treated ? 1.0f : 0.0f, event <= censor ? 1 : 0};
  }
  return entries;
}

// Fewer treatment events than expected: Z > 0 for every weighting, and
// exchanging the groups turns every Z into its negative.
TEST_F(WeightedLogrank, SignConvention) {
  std::mt19937 rng(7);
  const std::vector<Entry> entries = random_entries(rng, 400, 0.5);
  auto sorted_data = [&](bool swap_groups) {
    fill(*data_, entries);
    if (swap_groups) {
      for (int j = 1; j <= data_->m; ++j) data_->group[j] = 1.0f - data_->group[j];
    }
    auto scratch = std::make_unique<SortScratch>();
    sort_look_data(*data_, *scratch);
  };
  Statistics stats{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0.5f, 0.5f}};
  Statistics swapped = stats;
  sorted_data(false);
  stats.run(*data_);
  sorted_data(true);
  swapped.run(*data_);
  for (int k = 1; k <= stats.q; ++k) {
    SCOPED_TRACE(::testing::Message() << "statistic " << k);
    EXPECT_GT(stats.Z[k], 2.0f);
    EXPECT_NEAR(swapped.Z[k], -stats.Z[k], 1e-4);
    EXPECT_NEAR(swapped.V[k], stats.V[k], 1e-4 * stats.V[k]);
  }
}

// Six subjects, unsorted, with tied times and censoring:
//   position    1     2     3     4     5     6
//   time       2.0   3.0   3.0   1.0   1.5   4.0
//   group       T     C     T     C     T     C
//   event       1     1     0     1     1     1
// The sort (gap 3: exchanges 1<->4 and 2<->5; gap 1: exchanges 3<->4) leaves
//   1.0 C ev, 1.5 T ev, 2.0 T ev, 3.0 T cens, 3.0 C ev, 4.0 C ev
// with the censored treatment subject ahead of the tied control event, so it
// is no longer at risk for it. Start: N = 6, Y1 = 3.
//   1.0 C ev: S = 6/7, e = 0 - 3/6 = -1/2, v = 3*3/36 = 1/4
//   1.5 T ev: N = 5, Y1 = 3, S = 5/7, e = 1 - 3/5 = 2/5, v = 2*3/25 = 6/25
//   2.0 T ev: N = 4, Y1 = 2, S = 4/7, e = 1/2, v = 2*2/16 = 1/4
//   3.0 T censored
//   3.0 C ev: N = 2, Y1 = 0: e = v = 0
//   4.0 C ev: N = 1, Y1 = 0: e = v = 0
// d = 5.
//   FH(0,0): U = -1/2 + 2/5 + 1/2 = 2/5, V = 1/4 + 6/25 + 1/4 = 0.74,
//            Z = -0.4 / sqrt(0.74)
//   FH(1,0): U = (6/7)(-1/2) + (5/7)(2/5) + (4/7)(1/2) = 1/7,
//            V = (36/49)/4 + (25/49)(6/25) + (16/49)/4 = 19/49, Z = -1/sqrt(19)
//   FH(0,1): U = (1/7)(-1/2) + (2/7)(2/5) + (3/7)(1/2) = 1.8/7,
//            V = (1/49)/4 + (4/49)(6/25) + (9/49)/4 = 3.46/49, Z = -1.8/sqrt(3.46)
// Had the tie stayed in subject order, the control event at 3.0 would see
// N = 3, Y1 = 1 and add e = -1/3, v = 2/9 (FH(0,0): Z = +0.068).
TEST_F(WeightedLogrank, HandWorkedSubjects) {
  fill(*data_, {{2.0f, 1.0f, 1}, {3.0f, 0.0f, 1}, {3.0f, 1.0f, 0},
                {1.0f, 0.0f, 1}, {1.5f, 1.0f, 1}, {4.0f, 0.0f, 1}});
  auto scratch = std::make_unique<SortScratch>();
  sort_look_data(*data_, *scratch);
  const float sorted_group[] = {0, 1, 1, 1, 0, 0};
  const int sorted_event[] = {1, 1, 1, 0, 1, 1};
  for (int j = 1; j <= 6; ++j) {
    ASSERT_EQ(data_->group[j], sorted_group[j - 1]) << "position " << j;
    ASSERT_EQ(data_->event[j], sorted_event[j - 1]) << "position " << j;
  }

  Statistics stats{{0, 0}, {1, 0}, {0, 1}};
  EXPECT_EQ(stats.run(*data_), 5);
  const double expected_Z[] = {-0.4 / std::sqrt(0.74), -1.0 / std::sqrt(19.0),
                               -1.8 / std::sqrt(3.46)};
  const double expected_V[] = {0.74, 19.0 / 49.0, 3.46 / 49.0};
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(::testing::Message() << "statistic " << k);
    EXPECT_NEAR(stats.Z[k], expected_Z[k - 1], 4e-7);
    EXPECT_NEAR(stats.V[k], expected_V[k - 1], 4e-7);
  }
}

// The ordinary log-rank statistic written out directly in double precision:
// observed minus expected treatment events and the hypergeometric variance,
// one entry per time point.
double plain_logrank_z(const LookData& data) {
  double n = data.m;
  double y1 = 0.0;
  for (int j = 1; j <= data.m; ++j) y1 += data.group[j];
  double observed_minus_expected = 0.0;
  double variance = 0.0;
  for (int j = 1; j <= data.m; ++j) {
    if (data.event[j] == 1) {
      observed_minus_expected += data.group[j] - y1 / n;
      variance += y1 * (n - y1) / (n * n);
    }
    n -= 1.0;
    y1 -= data.group[j];
  }
  return -observed_minus_expected / std::sqrt(variance);
}

TEST_F(WeightedLogrank, FlemingHarrington00IsThePlainLogrank) {
  std::mt19937 rng(11);
  auto scratch = std::make_unique<SortScratch>();
  for (const double hazard : {0.5, 1.0, 1.6}) {
    fill(*data_, random_entries(rng, 3000, hazard));
    sort_look_data(*data_, *scratch);
    Statistics stats{{0, 0}};
    stats.run(*data_);
    EXPECT_NEAR(stats.Z[1], plain_logrank_z(*data_), 2e-4) << "hazard ratio " << hazard;
  }
}

TEST_F(WeightedLogrank, FiveAtOnceEqualFiveAlone) {
  std::mt19937 rng(3);
  fill(*data_, random_entries(rng, 2000, 0.8));
  auto scratch = std::make_unique<SortScratch>();
  sort_look_data(*data_, *scratch);
  Statistics all{{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0.5f, 2.5f}};
  const int d = all.run(*data_);
  EXPECT_GT(d, 500);
  for (int k = 1; k <= all.q; ++k) {
    Statistics one{{all.rho[k], all.tau[k]}};
    EXPECT_EQ(one.run(*data_), d);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(one.Z[1]), std::bit_cast<std::uint32_t>(all.Z[k]))
        << "statistic " << k;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(one.V[1]), std::bit_cast<std::uint32_t>(all.V[k]))
        << "statistic " << k;
  }
}

}  // namespace
}  // namespace gsd
