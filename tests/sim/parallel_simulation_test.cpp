#include "sim/parallel_simulation.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/simulate_in_process.h"

namespace gsd {
namespace {

template <typename T>
bool same_bytes(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Event-driven looks under the use-function method, whose bounds carry from
// trial to trial, and a max_time that some trials reach before the last
// target: the concurrent trials give the one-thread tallies and lines.
TEST(ParallelSimulation, EventDrivenLooksGiveTheOneThreadResult) {
  const Design design = testing::event_design(
      {{11, "2"}, {20, "3"}, {23, "1 2 3"}, {37, "300"}, {49, "3*0"}, {61, "3*0"},
       {88, "10 6"}},
      {10, 20, 38}, 24.0f);
  const SimulationResult one = testing::simulate_in_process(design, 1);
  ASSERT_GT(one.tally.looks.reached[3], 0);
  EXPECT_EQ(one.tally.looks.time_max[3], 24.0f);  // some trials hit max_time
  EXPECT_LT(one.tally.looks.time_min[3], 24.0f);  // others reached the target
  for (int threads : {2, 3}) {
    SCOPED_TRACE(threads);
    const SimulationResult many = testing::simulate_in_process(design, threads);
    EXPECT_TRUE(same_bytes(one.tally.rej, many.tally.rej));
    EXPECT_TRUE(same_bytes(one.tally.stop_sum, many.tally.stop_sum));
    EXPECT_TRUE(same_bytes(one.tally.looks, many.tally.looks));
    EXPECT_EQ(one.report_text, many.report_text);
    EXPECT_EQ(one.console_text, many.console_text);
  }
}

}  // namespace
}  // namespace gsd
