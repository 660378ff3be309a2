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
// every chain into the unique STABLE ascending arrangement of its contents.
// Any stable sort of each chain therefore yields the same arrangement, in
// particular gapped insertion that shifts only strictly greater entries.
//
// When all times differ, there is a single ascending arrangement, and any
// sort finds it; a radix sort does so in linear time. Ties are common at
// thousands of subjects (uniform numbers have a finite grid), so they are
// detected after the radix sort and then the gapped insertion stages run.
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

std::uint32_t key_of(std::uint64_t packed) {
  return static_cast<std::uint32_t>(packed >> 32);
}

// Stable least-significant-digit radix sort of packed[1..m] by the key in the
// upper 32 bits, in digits of 11, 11 and 10 bits. Digits on which all keys
// agree are skipped. The result ends in `packed`.
void radix_sort_by_key(std::uint64_t* packed, std::uint64_t* buffer, int m) {
  constexpr int kDigitBits[3] = {11, 11, 10};
  constexpr int kDigitShift[3] = {32, 43, 54};
  int count[3][2048] = {};
  for (int i = 1; i <= m; ++i) {
    for (int p = 0; p < 3; ++p) {
      ++count[p][(packed[i] >> kDigitShift[p]) & ((1u << kDigitBits[p]) - 1)];
    }
  }
  std::uint64_t* from = packed;
  std::uint64_t* to = buffer;
  for (int p = 0; p < 3; ++p) {
    const int digit_of_first =
        static_cast<int>((from[1] >> kDigitShift[p]) & ((1u << kDigitBits[p]) - 1));
    if (count[p][digit_of_first] == m) continue;
    int start[2048];
    int next = 1;
    for (int b = 0; b < (1 << kDigitBits[p]); ++b) {
      start[b] = next;
      next += count[p][b];
    }
    for (int i = 1; i <= m; ++i) {
      const int b = static_cast<int>((from[i] >> kDigitShift[p]) & ((1u << kDigitBits[p]) - 1));
      to[start[b]++] = from[i];
    }
    std::swap(from, to);
  }
  if (from != packed) std::memcpy(packed + 1, from + 1, sizeof(std::uint64_t) * m);
}

// The gap stages of the literal procedure, each done as a stable gapped
// insertion (see above); compares keys only, so equal times never pass.
void gapped_insertion_stages(std::uint64_t* packed, int m) {
  int gap = m;
  while (gap > 1) {
    gap /= 2;
    for (int i = gap + 1; i <= m; ++i) {
      const std::uint64_t entry = packed[i];
      const std::uint32_t key = key_of(entry);
      int j = i;
      while (j > gap && key_of(packed[j - gap]) > key) {
        packed[j] = packed[j - gap];
        j -= gap;
      }
      packed[j] = entry;
    }
  }
}

void pack_in_original_order(const LookData& data, std::uint64_t* packed) {
  for (int i = 1; i <= data.m; ++i) {
    packed[i] = static_cast<std::uint64_t>(order_key(data.obs_time[i])) << 32 |
                static_cast<std::uint32_t>(i);
  }
}

}  // namespace

void sort_look_data(LookData& data, SortScratch& scratch) {
  const int m = data.m;
  if (m < 2) return;
  for (int i = 1; i <= m; ++i) {
    if (data.obs_time[i] != data.obs_time[i]) {
      sort_look_data_literal(data);
      return;
    }
  }

  std::uint64_t* packed = scratch.packed;
  pack_in_original_order(data, packed);
  radix_sort_by_key(packed, scratch.buffer, m);
  bool tie = false;
  for (int i = 1; i < m; ++i) {
    if (key_of(packed[i]) == key_of(packed[i + 1])) {
      tie = true;
      break;
    }
  }
  if (tie) {
    pack_in_original_order(data, packed);
    gapped_insertion_stages(packed, m);
  }

  std::memcpy(scratch.obs_time + 1, data.obs_time + 1, sizeof(float) * m);
  std::memcpy(scratch.group + 1, data.group + 1, sizeof(float) * m);
  std::memcpy(scratch.event + 1, data.event + 1, sizeof(int) * m);
  for (int i = 1; i <= m; ++i) {
    const auto from = static_cast<std::uint32_t>(packed[i]);
    data.obs_time[i] = scratch.obs_time[from];
    data.group[i] = scratch.group[from];
    data.event[i] = scratch.event[from];
  }
}

}  // namespace gsd
