#include "model/random_stream.h"

#include <bit>
#include <cstdint>

#include "design/capacities.h"

namespace gsd {
namespace {

constexpr std::int64_t kModulus = 1000000000;
constexpr std::int64_t kSeedOffset = kSeedMagnitudeLimit;
constexpr int kTableSize = 55;
constexpr int kFillMultiplier = 21;
constexpr int kWarmUpOffset = 30;
constexpr int kWarmUpPasses = 4;
constexpr int kFirstPartner = 31;
constexpr float kScale = 1.0e-9f;
static_assert(std::bit_cast<std::uint32_t>(kScale) == 0x3089705Fu);

// Results are stored as int: C++20 defines the narrowing as wrap-around, so
// an out-of-range seed gives garbage draws but never undefined behaviour.
void initialize(SubtractiveGenerator& g, int& seed) {
  g.initialized = true;
  const std::int64_t magnitude = seed < 0 ? -static_cast<std::int64_t>(seed) : seed;
  // Truncating remainder: v keeps its sign, as the algorithm requires.
  std::int64_t v = (kSeedOffset - magnitude) % kModulus;
  g.table[kTableSize] = static_cast<int>(v);
  std::int64_t w = 1;
  for (int i = 1; i < kTableSize; ++i) {
    const int p = (kFillMultiplier * i) % kTableSize;
    g.table[p] = static_cast<int>(w);
    w = v - w;
    if (w < 0) w += kModulus;
    v = g.table[p];
  }
  for (int pass = 0; pass < kWarmUpPasses; ++pass) {
    for (int i = 1; i <= kTableSize; ++i) {
      std::int64_t t = static_cast<std::int64_t>(g.table[i]) -
                       g.table[1 + (i + kWarmUpOffset) % kTableSize];
      if (t < 0) t += kModulus;
      g.table[i] = static_cast<int>(t);
    }
  }
  g.next_pos = 0;
  g.partner_pos = kFirstPartner;
  seed = 1;
}

}  // namespace

int draw_integer(SubtractiveGenerator& g, int& seed) {
  if (!g.initialized || seed < 0) initialize(g, seed);
  if (++g.next_pos == kTableSize + 1) g.next_pos = 1;
  if (++g.partner_pos == kTableSize + 1) g.partner_pos = 1;
  std::int64_t r = static_cast<std::int64_t>(g.table[g.next_pos]) - g.table[g.partner_pos];
  if (r < 0) r += kModulus;
  g.table[g.next_pos] = static_cast<int>(r);
  return static_cast<int>(r);
}

float uniform(SubtractiveGenerator& g, int& seed) {
  return static_cast<float>(static_cast<double>(draw_integer(g, seed)) *
                            static_cast<double>(kScale));
}

}  // namespace gsd
