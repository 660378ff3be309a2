#include "sim/bound_tally.h"

#include <algorithm>
#include <cmath>

namespace gsd {

namespace {

int* bins_of(BoundTally& tally, int j, int i) {
  return tally.bins.data() +
         static_cast<std::size_t>((j - 1) * tally.look_count + i - 1) * kBoundBinCount;
}

const int* bins_of(const BoundTally& tally, int j, int i) {
  return tally.bins.data() +
         static_cast<std::size_t>((j - 1) * tally.look_count + i - 1) * kBoundBinCount;
}

// The value of rank `rank` (1-based, among the finite values in order).
double ranked_value(const BoundTally& tally, int j, int i, long long rank) {
  long long seen = tally.below[j][i];
  if (rank <= seen) return tally.least[j][i];
  const int* bins = bins_of(tally, j, i);
  for (int b = 0; b < kBoundBinCount; ++b) {
    seen += bins[b];
    if (rank <= seen) {
      const double mid = (b + 0.5) * kBoundBinWidth;
      return std::clamp(mid, double{tally.least[j][i]}, double{tally.largest[j][i]});
    }
  }
  return tally.largest[j][i];
}

}  // namespace

void start_bound_tally(BoundTally& tally, int stat_count, int look_count) {
  tally = BoundTally{};
  tally.stat_count = stat_count;
  tally.look_count = look_count;
  tally.bins.assign(static_cast<std::size_t>(stat_count) * look_count * kBoundBinCount, 0);
}

void add_bound(BoundTally& tally, int j, int i, float bound) {
  if (!std::isfinite(bound)) {
    tally.not_finite[j][i] += 1;
    return;
  }
  const int n = tally.count[j][i];
  if (n == 0 || bound < tally.least[j][i]) tally.least[j][i] = bound;
  if (n == 0 || bound > tally.largest[j][i]) tally.largest[j][i] = bound;
  tally.count[j][i] = n + 1;
  tally.sum[j][i] += bound;
  if (bound < 0.0f) {
    tally.below[j][i] += 1;
  } else if (bound >= kBoundRange) {
    tally.above[j][i] += 1;
  } else {
    // The bin index from the value in double; a value on an edge belongs to
    // the bin above it (up to the binary representation of the edge).
    const int b = std::min(static_cast<int>(double{bound} / kBoundBinWidth), kBoundBinCount - 1);
    bins_of(tally, j, i)[b] += 1;
  }
}

BoundSummary bound_summary(const BoundTally& tally, int j, int i) {
  BoundSummary s;
  const int n = tally.count[j][i];
  if (n == 0) return s;
  s.trials = n;
  s.mean = tally.sum[j][i] / n;
  s.least = tally.least[j][i];
  s.largest = tally.largest[j][i];
  // The q-quantile is the value of rank ceil(q n).
  s.q05 = ranked_value(tally, j, i, static_cast<long long>(std::ceil(0.05 * n - 1e-9)));
  s.q95 = ranked_value(tally, j, i, static_cast<long long>(std::ceil(0.95 * n - 1e-9)));
  return s;
}

}  // namespace gsd
