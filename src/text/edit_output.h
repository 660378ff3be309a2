#pragma once

#include <cstdio>
#include <string_view>

namespace gsd {

// One output line built from classic edit descriptors. Fixed storage, so
// lines can be composed inside the simulation loops without allocation.
// Text beyond the capacity is dropped (no line of the system comes close).
struct Line {
  static constexpr int kCapacity = 1024;
  char text[kCapacity];
  int length = 0;
};

std::string_view view(const Line& line);

// Literal text, as stored.
void put_text(Line& line, std::string_view text);
// nX: n blanks.
void put_blanks(Line& line, int count);
// Iw: the integer right-aligned in w columns; w asterisks when it does not fit.
void put_int(Line& line, long long value, int width);
// Fw.d: the exact binary value rounded to d decimals (to nearest, ties to
// even), right-aligned in w columns. The zero before the point is written
// only when there is room (0.5 in F4.3 is ".500"); a negative value keeps
// its minus sign also when it rounds to zero; w asterisks when it does not
// fit. Not-a-number and infinities are written as NaN, Inf or Infinity when
// they fit.
void put_fixed(Line& line, double value, int width, int decimals);

// List-directed items. A list-directed line starts with one blank, which
// start_list_line writes; texts follow back to back.
void start_list_line(Line& line);
// An integer in a field of 12, right-aligned.
void put_list_int(Line& line, long long value);
// A real as G15.7 with a two-digit exponent: magnitudes from 0.1 up to below
// 10^7 (after rounding to 7 significant digits) in fixed notation with 7
// significant digits right-aligned in 11 columns and 4 blanks; others as
// 0.ddddddd E+ee right-aligned in 15 columns.
void put_list_real(Line& line, float value);

// Writes the line and a newline. Returns false when the stream reports an
// error.
bool write_line(std::FILE* out, const Line& line);
// Writes a list-directed line holding one text: a blank, then the text.
bool write_list_text(std::FILE* out, std::string_view text);

}  // namespace gsd
