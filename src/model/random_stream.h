#pragma once

namespace gsd {

// Knuth's subtractive generator (D. E. Knuth, The Art of Computer
// Programming, Vol. 2, Section 3.6), the single random stream of a run.
// table(1..55) holds the lagged values; entry 0 is unused.
struct SubtractiveGenerator {
  bool initialized = false;
  int table[56] = {};
  int next_pos = 0;
  int partner_pos = 0;
};

// The next integer r of the stream, 0 <= r < 1000000000.
//
// The generator is (re)initialized first when it is not yet initialized or
// seed is negative; initialization uses |seed| (so seed and -seed give the
// same stream) and overwrites seed with 1, so later calls with the same
// variable continue the stream.
//
// Precondition: |seed| <= 161803398 whenever the call initializes. The
// design input refuses larger magnitudes (and -2147483648). Such a seed
// still causes no undefined behaviour (the arithmetic is 64-bit, stored
// values wrap), but the draws are then not confined to the range above.
int draw_integer(SubtractiveGenerator& generator, int& seed);

// The next uniform number on [0, 1]: draw_integer times the single-precision
// scale 1e-9 (bit pattern 3089705F), multiplied in double and rounded to
// float. r = 0 gives 0 and r = 999999999 gives exactly 1.
float uniform(SubtractiveGenerator& generator, int& seed);

}  // namespace gsd
