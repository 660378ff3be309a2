#include "sweep/sweep_grid.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "sweep/shard.h"

namespace gsd {
namespace {

SweepGrid grid_of(const std::vector<std::string>& options) {
  SweepGrid grid;
  for (const std::string& option : options) {
    SweepAxis axis;
    std::string error;
    EXPECT_TRUE(parse_sweep_axis(option, axis, error)) << error;
    grid.axes.push_back(axis);
  }
  return grid;
}

// The last axis varies fastest; every combination comes exactly once.
TEST(SweepGrid, LastAxisVariesFastest) {
  const SweepGrid grid = grid_of({"a=1,2", "b=x,y,z"});
  ASSERT_EQ(scenario_count(grid), 6);
  const std::vector<std::vector<int>> expected = {{0, 0}, {0, 1}, {0, 2},
                                                  {1, 0}, {1, 1}, {1, 2}};
  for (long long s = 1; s <= 6; ++s) EXPECT_EQ(scenario_value_indices(grid, s), expected[s - 1]);

  const SweepGrid three = grid_of({"a=1:4:1", "b=1:3:1", "c=1:5:1"});
  std::set<std::vector<int>> seen;
  for (long long s = 1; s <= scenario_count(three); ++s) {
    seen.insert(scenario_value_indices(three, s));
  }
  EXPECT_EQ(seen.size(), 60u);
  EXPECT_EQ(scenario_value_indices(three, 60), (std::vector<int>{3, 2, 4}));
}

TEST(SweepGrid, RefusedGrids) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{}, "at least one"},
      {{"a=1", "a=2"}, "given twice"},
      {{"looks=1", "looks.times=[1]"}, "would both set looks.times"},
      {{"looks.times=[1]", "looks=1"}, "would both set looks.times"},
      {{"report=a,b"}, "report name cannot be swept"},
      {{"a=1:100:1", "b=1:100:1", "c=1:11:1"}, "more than 100000 scenarios"},
  };
  for (const auto& [options, message] : cases) {
    std::string error;
    EXPECT_FALSE(check_sweep_grid(grid_of(options), error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  std::string error;
  EXPECT_TRUE(check_sweep_grid(grid_of({"looks.times=[1]", "looks.count=1"}), error)) << error;
}

// The shards of N partition the scenarios.
TEST(Shard, ShardsPartitionTheScenarios) {
  for (int count = 1; count <= 4; ++count) {
    for (long long s = 1; s <= 13; ++s) {
      int owners = 0;
      for (int index = 1; index <= count; ++index) owners += in_shard({index, count}, s);
      EXPECT_EQ(owners, 1) << s << " of " << count;
    }
  }
  EXPECT_TRUE(in_shard({2, 3}, 2));
  EXPECT_TRUE(in_shard({2, 3}, 5));
  EXPECT_TRUE(in_shard({3, 3}, 3));
  EXPECT_FALSE(in_shard({3, 3}, 1));
}

TEST(Shard, Parse) {
  Shard shard;
  std::string error;
  ASSERT_TRUE(parse_shard("2/8", shard, error)) << error;
  EXPECT_EQ(shard.index, 2);
  EXPECT_EQ(shard.count, 8);
  for (const char* bad : {"0/4", "5/4", "1/0", "2", "a/b", "1/2/3", "-1/2", ""}) {
    EXPECT_FALSE(parse_shard(bad, shard, error)) << bad;
    EXPECT_NE(error.find("--shard"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace gsd
