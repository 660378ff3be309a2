// The fast paths of a look give the literal results bit for bit: the sort
// that leaves harmless runs of ties in place, and the weighted log-rank that
// computes each distinct power once.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>

#include "stats/sort_look_data.h"
#include "stats/weighted_logrank.h"

namespace gsd {
namespace {

std::uint32_t bits(float x) { return std::bit_cast<std::uint32_t>(x); }

// Random look data of m entries with times on a grid of `levels` values, so
// that runs of ties of every kind occur: censored only, alike, mixed.
void random_look(LookData& data, int m, int levels, double event_share, std::mt19937& rng) {
  std::uniform_int_distribution<int> level(1, levels);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  data.m = m;
  for (int i = 1; i <= m; ++i) {
    data.obs_time[i] = static_cast<float>(level(rng) * 0.25);
    data.group[i] = unit(rng) < 0.5 ? 1.0f : 0.0f;
    data.event[i] = unit(rng) < event_share ? 1 : 0;
  }
}

struct Statistics {
  int q = 5;
  float rho[kStatCapacity + 1] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.5f};
  float tau[kStatCapacity + 1] = {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.5f};
  float Z[kStatCapacity + 1] = {};
  float V[kStatCapacity + 1] = {};
};

void expect_same(const Statistics& a, const Statistics& b, int trial) {
  for (int k = 1; k <= a.q; ++k) {
    ASSERT_EQ(bits(a.Z[k]), bits(b.Z[k])) << "statistic " << k << ", case " << trial;
    ASSERT_EQ(bits(a.V[k]), bits(b.V[k])) << "statistic " << k << ", case " << trial;
  }
}

TEST(StatisticsFastPaths, WeightedLogrankMatchesTheLiteralFormula) {
  // rho and tau sets with repeated, zero, one, two (squares) and other
  // exponents; q below the capacity too.
  const float sets[][2][kStatCapacity + 1] = {
      {{0, 0, 1, 0, 1, 0.5f}, {0, 0, 0, 1, 1, 0.5f}},
      {{0, 2, 1, 0.5f, 3, 1}, {0, 1, 2, 0.25f, 0, 1}},
      {{0, 1, 1, 1, 1, 1}, {0, 1, 1, 1, 1, 1}},
      {{0, 0.3f, 1.7f, 0, 0, 0}, {0, 2, 0.5f, 0, 0, 0}},
  };
  auto data = std::make_unique<LookData>();
  auto scratch = std::make_unique<SortScratch>();
  std::mt19937 rng(99);
  int cases = 0;
  for (const auto& set : sets) {
    for (int q : {1, 3, 5}) {
      for (int m : {1, 2, 7, 60, 900}) {
        random_look(*data, m, 4 * m, 0.6, rng);
        sort_look_data(*data, *scratch);
        Statistics fast, literal;
        fast.q = literal.q = q;
        for (int k = 1; k <= q; ++k) {
          fast.rho[k] = literal.rho[k] = set[0][k];
          fast.tau[k] = literal.tau[k] = set[1][k];
        }
        const int d = weighted_logrank(*data, q, fast.rho, fast.tau, fast.Z, fast.V);
        EXPECT_EQ(d, weighted_logrank_literal(*data, q, literal.rho, literal.tau, literal.Z,
                                              literal.V));
        expect_same(fast, literal, ++cases);
      }
    }
  }
}

TEST(StatisticsFastPaths, SortForStatisticsGivesTheLiteralStatistics) {
  auto literal = std::make_unique<LookData>();
  auto fast = std::make_unique<LookData>();
  auto scratch = std::make_unique<SortScratch>();
  std::mt19937 rng(7);
  struct Case { int m, levels; double event_share; };
  // Coarse grids tie often, mixed or not; few events leave mostly censored
  // runs, all events mostly alike or mixed runs.
  const Case cases[] = {{50, 10, 0.0}, {50, 10, 0.2}, {300, 40, 0.05}, {300, 3000, 0.5},
                        {2000, 500, 0.3}, {7100, 200000, 0.4}, {7100, 7100, 1.0}, {2, 1, 0.5}};
  int runs = 0;
  for (const Case& c : cases) {
    for (int repeat = 0; repeat < 20; ++repeat) {
      random_look(*literal, c.m, c.levels, c.event_share, rng);
      *fast = *literal;
      sort_look_data_literal(*literal);
      sort_look_data_for_statistics(*fast, *scratch);
      // The times are in the same order whatever the ties.
      for (int i = 1; i <= c.m; ++i) ASSERT_EQ(bits(fast->obs_time[i]), bits(literal->obs_time[i]));
      Statistics a, b;
      EXPECT_EQ(weighted_logrank_literal(*fast, a.q, a.rho, a.tau, a.Z, a.V),
                weighted_logrank_literal(*literal, b.q, b.rho, b.tau, b.Z, b.V));
      expect_same(a, b, ++runs);
    }
  }
}

// A run of censored entries of both groups may stay in subject order, and a
// mixed run with an event may not.
TEST(StatisticsFastPaths, OnlyHarmlessRunsStayInSubjectOrder) {
  auto data = std::make_unique<LookData>();
  auto literal = std::make_unique<LookData>();
  auto scratch = std::make_unique<SortScratch>();
  // Times 2, 1, 1, 1, 3: the literal procedure (gap 2, then 1) leaves the
  // three ties at 1 as entries 3, 2, 4.
  const float times[] = {0, 2, 1, 1, 1, 3};
  const float groups[] = {0, 0, 0, 1, 0, 1};
  for (int with_event : {0, 1}) {
    data->m = 5;
    for (int i = 1; i <= 5; ++i) {
      data->obs_time[i] = times[i];
      data->group[i] = groups[i];
      data->event[i] = i == 3 ? with_event : 0;
    }
    *literal = *data;
    sort_look_data_literal(*literal);
    sort_look_data_for_statistics(*data, *scratch);
    const bool same_order = data->group[1] == literal->group[1] &&
                            data->group[2] == literal->group[2] &&
                            data->group[3] == literal->group[3] &&
                            data->event[1] == literal->event[1] &&
                            data->event[2] == literal->event[2];
    if (with_event == 1) {
      EXPECT_TRUE(same_order);
    }
    // Censored only: subject order 2, 3, 4 (groups 0, 1, 0).
    if (with_event == 0) {
      EXPECT_EQ(literal->group[1], 1.0f);
      EXPECT_EQ(data->group[1], 0.0f);
      EXPECT_EQ(data->group[2], 1.0f);
      EXPECT_EQ(data->group[3], 0.0f);
    }
  }
}

}  // namespace
}  // namespace gsd
