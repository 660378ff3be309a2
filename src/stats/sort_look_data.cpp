#include "stats/sort_look_data.h"

#include <bit>
#include <cstring>
#include <utility>

namespace gsd {

void sort_look_data_literal(LookData& data) {
  const int m = data.m;
  float* obs_time = data.obs_time;
  float* group = data.group;
  int* event = data.event;
  int gap = m;
  while (gap > 1) {
    gap /= 2;
    bool exchanged;
    do {
      exchanged = false;
      for (int j = 1; j <= m - gap; ++j) {
        if (obs_time[j] > obs_time[j + gap]) {
          std::swap(obs_time[j], obs_time[j + gap]);
          std::swap(group[j], group[j + gap]);
          std::swap(event[j], event[j + gap]);
          exchanged = true;
        }
      }
    } while (exchanged);
  }
}

// Why a faster sort can reproduce the literal arrangement exactly.
//
// At a given gap the positions fall into chains r, r+gap, r+2*gap, ...; a
// pass compares neighbours of each chain left to right, and different chains
// touch different positions, so a pass is one bubble pass on every chain at
// once. Passes repeat until every chain is in order (a chain already in order
// is left alone by further passes). Bubble passes that exchange only on a
// strict ">" never move an entry past an equal one, so each gap stage turns
// every chain into the unique STABLE ascending arrangement of its contents,
// and any stable sort of each chain yields the same arrangement.
//
// When all times differ, there is a single ascending arrangement, and any
// sort finds it; a radix sort does so in linear time. Ties are common at
// thousands of subjects (uniform numbers have a finite grid), so they are
// detected after the radix sort, and then every gap stage is carried out as
// a stable counting sort of all chains at once, by the dense rank of the
// time, in linear time per stage.
//
// A NaN time breaks both arguments (comparisons with it are all false), so
// such data goes to the literal procedure. collect_look_data never produces
// one.

namespace {

// Order-preserving map from a non-NaN float to an unsigned key: a < b exactly
// when key(a) < key(b), and a == b exactly when the keys are equal (-0 and +0
// are equal times, so both map to the key of +0).
std::uint32_t order_key(float x) {
  if (x == 0.0f) x = 0.0f;
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(x);
  return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

std::uint32_t high_word(std::uint64_t packed) {
  return static_cast<std::uint32_t>(packed >> 32);
}

int low_word(std::uint64_t packed) {
  return static_cast<int>(static_cast<std::uint32_t>(packed));
}

std::uint64_t pack(std::uint32_t high, int low) {
  return static_cast<std::uint64_t>(high) << 32 | static_cast<std::uint32_t>(low);
}

// Stable least-significant-digit radix sort of packed[1..m] by the upper 32
// bits, in digits of 11, 11 and 10 bits. Digits on which all keys agree are
// skipped. The result ends in `packed`.
void radix_sort_by_key(std::uint64_t* packed, std::uint64_t* buffer, int m) {
  constexpr int kDigitBits[3] = {11, 11, 10};
  constexpr int kDigitShift[3] = {32, 43, 54};
  int count[3][2048] = {};
  auto digit = [&](std::uint64_t x, int p) {
    return static_cast<int>((x >> kDigitShift[p]) & ((1u << kDigitBits[p]) - 1));
  };
  for (int i = 1; i <= m; ++i) {
    for (int p = 0; p < 3; ++p) ++count[p][digit(packed[i], p)];
  }
  std::uint64_t* from = packed;
  std::uint64_t* to = buffer;
  for (int p = 0; p < 3; ++p) {
    if (count[p][digit(from[1], p)] == m) continue;
    int next[2048];
    int first = 1;
    for (int b = 0; b < (1 << kDigitBits[p]); ++b) {
      next[b] = first;
      first += count[p][b];
    }
    for (int i = 1; i <= m; ++i) to[next[digit(from[i], p)]++] = from[i];
    std::swap(from, to);
  }
  if (from != packed) std::memcpy(packed + 1, from + 1, sizeof(std::uint64_t) * m);
}

// The gap stages of the literal procedure with ties present. On entry
// scratch.packed[1..m] holds (key, original position) sorted by key; on exit
// it holds (rank, original position) in the literal procedure's final
// arrangement. Each stage stably sorts all chains at once: the entries are
// distributed by rank in position order, then dealt back to their chains in
// that order, so each chain receives its entries ascending, equal ranks in
// their previous order.
void stable_gap_stages(SortScratch& scratch, int m) {
  std::uint64_t* by_rank = scratch.packed;
  std::uint64_t* current = scratch.buffer;
  int* rank_first = scratch.rank_first;
  int* rank_next = scratch.rank_next;
  int* chain_of = scratch.chain_of;
  int* chain_next = scratch.chain_next;

  // Dense ranks: equal times share a rank. current[] gets every entry at its
  // original position.
  int rank = 0;
  rank_first[0] = 1;
  for (int i = 1; i <= m; ++i) {
    if (i > 1 && high_word(by_rank[i]) != high_word(by_rank[i - 1])) {
      ++rank;
      rank_first[rank] = i;
    }
    current[low_word(by_rank[i])] = pack(static_cast<std::uint32_t>(rank), low_word(by_rank[i]));
  }
  const int rank_count = rank + 1;

  int gap = m;
  while (gap > 1) {
    gap /= 2;
    std::memcpy(rank_next, rank_first, sizeof(int) * rank_count);
    int chain = 0;
    for (int p = 1; p <= m; ++p) {
      const int slot = rank_next[high_word(current[p])]++;
      by_rank[slot] = current[p];
      chain_of[slot] = chain;
      if (++chain == gap) chain = 0;
    }
    for (int c = 0; c < gap; ++c) chain_next[c] = c + 1;
    for (int slot = 1; slot <= m; ++slot) {
      const int c = chain_of[slot];
      current[chain_next[c]] = by_rank[slot];
      chain_next[c] += gap;
    }
  }
  std::memcpy(scratch.packed + 1, current + 1, sizeof(std::uint64_t) * m);
}

}  // namespace

namespace {

// Whether every run of equal keys in packed[1..m] (sorted by key) is one
// whose order cannot change weighted_logrank: all its entries censored, or
// all with the same group and event. Such a run may stay in position order.
bool ties_leave_statistics_alone(const std::uint64_t* packed, const LookData& data, int m) {
  int start = 1;
  while (start <= m) {
    int end = start;
    while (end < m && high_word(packed[end + 1]) == high_word(packed[start])) ++end;
    if (end > start) {
      const int first = low_word(packed[start]);
      bool all_censored = true;
      bool all_alike = true;
      for (int p = start; p <= end; ++p) {
        const int i = low_word(packed[p]);
        if (data.event[i] != 0) all_censored = false;
        if (data.event[i] != data.event[first] ||
            std::bit_cast<std::uint32_t>(data.group[i]) !=
                std::bit_cast<std::uint32_t>(data.group[first]) ||
            std::bit_cast<std::uint32_t>(data.obs_time[i]) !=
                std::bit_cast<std::uint32_t>(data.obs_time[first])) {
          all_alike = false;
        }
      }
      if (!all_censored && !all_alike) return false;
    }
    start = end + 1;
  }
  return true;
}

void sort_by_time(LookData& data, SortScratch& scratch, bool for_statistics) {
  const int m = data.m;
  if (m < 2) return;
  for (int i = 1; i <= m; ++i) {
    if (data.obs_time[i] != data.obs_time[i]) {
      sort_look_data_literal(data);
      return;
    }
  }

  std::uint64_t* packed = scratch.packed;
  for (int i = 1; i <= m; ++i) packed[i] = pack(order_key(data.obs_time[i]), i);
  radix_sort_by_key(packed, scratch.buffer, m);
  for (int i = 1; i < m; ++i) {
    if (high_word(packed[i]) == high_word(packed[i + 1])) {
      if (!for_statistics || !ties_leave_statistics_alone(packed, data, m)) {
        stable_gap_stages(scratch, m);
      }
      break;
    }
  }

  std::memcpy(scratch.obs_time + 1, data.obs_time + 1, sizeof(float) * m);
  std::memcpy(scratch.group + 1, data.group + 1, sizeof(float) * m);
  std::memcpy(scratch.event + 1, data.event + 1, sizeof(int) * m);
  for (int i = 1; i <= m; ++i) {
    const int from = low_word(packed[i]);
    data.obs_time[i] = scratch.obs_time[from];
    data.group[i] = scratch.group[from];
    data.event[i] = scratch.event[from];
  }
}

}  // namespace

void sort_look_data(LookData& data, SortScratch& scratch) { sort_by_time(data, scratch, false); }

void sort_look_data_for_statistics(LookData& data, SortScratch& scratch) {
  sort_by_time(data, scratch, true);
}

}  // namespace gsd
