#include <gtest/gtest.h>

#include <cmath>

#include "sim/simulation.h"

namespace gsd {
namespace {

struct LookCase {
  const char* name;
  int sides;
  int look;        // the look i being decided, of K = 3 at times 10, 20, 30
  float Z[3];      // statistics 1 and 2
  float bound;     // the same bound for both statistics
  int stopped_before[3];
  int stopped_after[3];
  int rej[3];
  float stop_sum[3];
};

TEST(LookDecisions, RejectionAndStoppingRules) {
  const float nan = std::nanf("");
  const LookCase cases[] = {
      {"one crosses, the other runs on", 1, 1, {0, 2.5f, 1.0f}, 2.0f, {0, 0, 0},
       {0, 1, 0}, {0, 1, 0}, {0, 10, 0}},
      {"equality rejects", 1, 2, {0, 2.0f, 2.0f}, 2.0f, {0, 0, 0}, {0, 1, 1}, {0, 1, 1},
       {0, 20, 20}},
      {"one-sided ignores the lower side", 1, 1, {0, -3.0f, 0}, 2.0f, {0, 0, 0}, {0, 0, 0},
       {0, 0, 0}, {0, 0, 0}},
      {"two-sided Z equal to minus the bound", 2, 1, {0, -2.0f, -1.9f}, 2.0f, {0, 0, 0},
       {0, 1, 0}, {0, 1, 0}, {0, 10, 0}},
      {"a NaN Z never rejects", 2, 2, {0, nan, nan}, 0.0f, {0, 0, 0}, {0, 0, 0}, {0, 0, 0},
       {0, 0, 0}},
      {"the last look stops everyone", 2, 3, {0, nan, 0.5f}, 2.0f, {0, 0, 0}, {0, 1, 1},
       {0, 0, 0}, {0, 30, 30}},
      {"a stopped statistic is skipped", 2, 3, {0, 9.0f, 9.0f}, 2.0f, {0, 1, 0}, {0, 1, 1},
       {0, 0, 1}, {0, 0, 30}},
  };
  for (const LookCase& c : cases) {
    Design d;
    d.look_count = 3;
    d.look_times[1] = 10;
    d.look_times[2] = 20;
    d.look_times[3] = 30;
    d.stat_count = 2;
    d.sides = c.sides;
    BoundaryTables tables;
    tables.bound[1][c.look] = c.bound;
    tables.bound[2][c.look] = c.bound;
    int stopped[3] = {0, c.stopped_before[1], c.stopped_before[2]};
    RunTally tally;
    record_look_decisions(d, c.look, d.look_times[c.look], c.Z, tables, stopped, tally);
    for (int j = 1; j <= 2; ++j) {
      EXPECT_EQ(stopped[j], c.stopped_after[j]) << c.name << ", statistic " << j;
      EXPECT_EQ(tally.rej[j], c.rej[j]) << c.name << ", statistic " << j;
      EXPECT_EQ(tally.stop_sum[j], c.stop_sum[j]) << c.name << ", statistic " << j;
    }
  }
}

}  // namespace
}  // namespace gsd
