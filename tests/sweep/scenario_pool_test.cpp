#include "sweep/scenario_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

namespace gsd {
namespace {

TEST(ScenarioPool, BigJobsRunAloneOnEveryThread) {
  EXPECT_EQ(jobs_run_alone({1, 1, 1, 1}, 2), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(jobs_run_alone({10, 1, 1, 1}, 2), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(jobs_run_alone({5}, 2), (std::vector<bool>{true}));
  EXPECT_EQ(jobs_run_alone({5}, 1), (std::vector<bool>{false}));
  EXPECT_EQ(jobs_run_alone({3, 3, 1}, 4), (std::vector<bool>{true, true, false}));
}

// Every job runs exactly once, with the thread count the rule gives it, on
// one thread or several.
TEST(ScenarioPool, EveryJobOnce) {
  const std::vector<double> work = {50, 1, 2, 1, 1, 3, 1, 1};
  for (const int threads : {1, 2, 3}) {
    std::vector<std::atomic<int>> runs(work.size());
    std::vector<int> given(work.size(), 0);
    std::vector<int> finished;
    run_scenario_pool(
        work, threads,
        [&](int k, int t) {
          ++runs[k];
          given[k] = t;
        },
        [&](int n) { finished.push_back(n); });
    const std::vector<bool> alone = jobs_run_alone(work, threads);
    for (std::size_t k = 0; k < work.size(); ++k) {
      EXPECT_EQ(runs[k], 1) << k;
      EXPECT_EQ(given[k], alone[k] ? threads : 1) << k;
    }
    ASSERT_EQ(finished.size(), work.size());
    for (std::size_t n = 0; n < finished.size(); ++n) EXPECT_EQ(finished[n], int(n) + 1);
  }
}

// Every job runs despite failures; the lowest-numbered failure is the one
// rethrown, whichever thread count and whichever job ran alone.
TEST(ScenarioPool, LowestFailureIsRethrown) {
  for (const int threads : {1, 2, 3}) {
    std::vector<std::atomic<int>> runs(5);
    try {
      run_scenario_pool({1, 1, 1, 1, 20}, threads, [&](int k, int) {
        ++runs[k];
        if (k == 2 || k == 4) throw std::runtime_error("job " + std::to_string(k));
      });
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "job 2");
    }
    for (auto& count : runs) EXPECT_EQ(count, 1);
  }
}

}  // namespace
}  // namespace gsd
