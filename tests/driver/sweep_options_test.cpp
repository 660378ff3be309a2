#include "driver/sweep_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "driver/command_line.h"

namespace gsd {
namespace {

bool parse(std::vector<const char*> words, CommandLine& command_line, std::string& error) {
  words.insert(words.begin(), "gsdsim");
  return parse_command_line(static_cast<int>(words.size()), words.data(), command_line, error);
}

TEST(SweepOptions, AcceptedForms) {
  CommandLine c;
  std::string error;
  ASSERT_TRUE(parse({"--sweep", "accrual.subjects=200:400:100", "--sweep=treatment.hazard_ratio=0.7",
                     "--csv", "out.csv", "--shard=2/3", "--threads", "2", "d.toml"},
                    c, error))
      << error;
  ASSERT_EQ(c.sweep.grid.axes.size(), 2u);
  EXPECT_EQ(c.sweep.grid.axes[0].values.size(), 3u);
  EXPECT_EQ(c.sweep.grid.axes[1].key, "treatment.hazard_ratio");
  EXPECT_EQ(c.sweep.csv_path, "out.csv");
  EXPECT_EQ(c.sweep.shard.index, 2);
  EXPECT_EQ(c.sweep.shard.count, 3);
  EXPECT_EQ(c.threads, 2);
  EXPECT_EQ(c.design_path, "d.toml");

  CommandLine s;
  ASSERT_TRUE(parse({"--size-for-power", "0.9", "--statistic=2", "d.toml"}, s, error)) << error;
  EXPECT_TRUE(s.sweep.size_given);
  EXPECT_EQ(s.sweep.size_target, 0.9);
  EXPECT_EQ(s.sweep.statistic, 2);
  EXPECT_FALSE(sweep_requested(s.sweep));
}

// Every refusal is a command-line error with a message naming the option.
TEST(SweepOptions, Refused) {
  const std::pair<std::vector<const char*>, const char*> cases[] = {
      {{"--sweep"}, "--sweep needs KEY=VALUES"},
      {{"--sweep", "trials", "d.toml"}, "KEY=VALUES"},
      {{"--sweep", "x=3:1:1", "d.toml"}, "is empty"},
      {{"--sweep", "report=a,b", "d.toml"}, "report name cannot be swept"},
      {{"--sweep", "trials=1,2", "--sweep", "trials=3", "d.toml"}, "given twice"},
      {{"--sweep", "trials=1,2"}, "needs a keyed design file"},
      {{"--sweep", "trials=1,2", "--check", "d.toml"}, "cannot be combined with --check"},
      {{"--csv", "x.csv", "d.toml"}, "it needs --sweep"},
      {{"--csv=", "d.toml"}, "--csv needs the name"},
      {{"--shard", "1/2", "d.toml"}, "it needs --sweep"},
      {{"--sweep", "trials=1", "--shard", "3/2", "d.toml"}, "--shard 3/2"},
      {{"--size-for-power", "1", "d.toml"}, "strictly between 0 and 1"},
      {{"--size-for-power", "0", "d.toml"}, "strictly between 0 and 1"},
      {{"--size-for-power", "-0.5", "d.toml"}, "strictly between 0 and 1"},
      {{"--size-for-power", "80%", "d.toml"}, "strictly between 0 and 1"},
      {{"--size-for-power", "nan", "d.toml"}, "strictly between 0 and 1"},
      {{"--size-for-power"}, "needs the power wanted"},
      {{"--statistic", "2", "d.toml"}, "it needs --size-for-power"},
      {{"--size-for-power", "0.8", "--statistic", "6", "d.toml"}, "1 to 5"},
      {{"--size-for-power", "0.8", "--sweep", "trials=1", "d.toml"}, "cannot be combined"},
  };
  for (const auto& [words, message] : cases) {
    CommandLine c;
    std::string error;
    EXPECT_FALSE(parse(words, c, error)) << message;
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace gsd
