#pragma once

#include <vector>

#include "design/capacities.h"

namespace gsd {

// The critical values that methods 1 to 3 recompute in every trial,
// summarised over the trials without keeping any trial's value: per
// statistic j and look i a histogram of fixed bins of width kBoundBinWidth
// over [0, kBoundRange), counts below and above that range, the double sum
// of the values (for the mean) and the least and largest value. Values are
// added in trial order, so the summary is the same at every thread count.
// Nothing of the report or the console depends on it.
inline constexpr double kBoundBinWidth = 0.001;
inline constexpr double kBoundRange = 5.0;
inline constexpr int kBoundBinCount = 5000;

struct BoundTally {
  int stat_count = 0;
  int look_count = 0;
  // kBoundBinCount bins for (j, i) from ((j - 1) * look_count + i - 1) * kBoundBinCount.
  std::vector<int> bins;
  int count[kStatCapacity + 1][kLookCapacity + 1] = {};
  int below[kStatCapacity + 1][kLookCapacity + 1] = {};  // values < 0
  int above[kStatCapacity + 1][kLookCapacity + 1] = {};  // values >= kBoundRange
  int not_finite[kStatCapacity + 1][kLookCapacity + 1] = {};  // not counted elsewhere
  double sum[kStatCapacity + 1][kLookCapacity + 1] = {};
  float least[kStatCapacity + 1][kLookCapacity + 1] = {};
  float largest[kStatCapacity + 1][kLookCapacity + 1] = {};
};

// Sizes the bins for `stat_count` statistics and `look_count` looks, all
// counts 0. The only allocation: made once, before the first trial.
void start_bound_tally(BoundTally& tally, int stat_count, int look_count);

// Adds one trial's critical value of statistic j at look i. No allocation.
void add_bound(BoundTally& tally, int j, int i, float bound);

// One (statistic, look): the trials counted, the mean of their values, the
// 5 % and 95 % quantiles (the smallest bin holding at least that share of
// the values, at the bin's midpoint, kept within [least, largest]; from
// below or above the range, the least or the largest value) and the range.
// Everything is 0 when no trial was counted.
struct BoundSummary {
  int trials = 0;
  double mean = 0.0;
  double q05 = 0.0;
  double q95 = 0.0;
  float least = 0.0f;
  float largest = 0.0f;
};

BoundSummary bound_summary(const BoundTally& tally, int j, int i);

}  // namespace gsd
