#include "text/edit_output.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace gsd {

namespace {

void put_chars(Line& line, const char* text, int count) {
  for (int i = 0; i < count && line.length < Line::kCapacity; ++i) {
    line.text[line.length++] = text[i];
  }
}

void put_right_aligned(Line& line, const char* text, int count, int width) {
  if (count > width) {
    for (int i = 0; i < width; ++i) put_chars(line, "*", 1);
    return;
  }
  put_blanks(line, width - count);
  put_chars(line, text, count);
}

// Writes NaN or an infinity the way fixed fields show them. Returns false
// for finite values.
bool put_non_finite(Line& line, double value, int width) {
  if (std::isnan(value)) {
    put_right_aligned(line, "NaN", 3, width);
    return true;
  }
  if (!std::isinf(value)) return false;
  const bool negative = value < 0;
  const char* word = negative ? "-Infinity" : "Infinity";
  int count = static_cast<int>(std::strlen(word));
  if (count > width) {
    word = negative ? "-Inf" : "Inf";
    count = static_cast<int>(std::strlen(word));
  }
  put_right_aligned(line, word, count, width);
  return true;
}

}  // namespace

std::string_view view(const Line& line) {
  return std::string_view(line.text, static_cast<std::size_t>(line.length));
}

void put_text(Line& line, std::string_view text) {
  put_chars(line, text.data(), static_cast<int>(text.size()));
}

void put_blanks(Line& line, int count) {
  for (int i = 0; i < count; ++i) put_chars(line, " ", 1);
}

void put_int(Line& line, long long value, int width) {
  char buffer[32];
  const int count = std::snprintf(buffer, sizeof buffer, "%lld", value);
  put_right_aligned(line, buffer, count, width);
}

void put_fixed(Line& line, double value, int width, int decimals) {
  if (put_non_finite(line, value, width)) return;
  // printf rounds the exact binary value to nearest with ties to even; '#'
  // keeps the decimal point when there are no decimals (F5.0 of 3 is "   3.").
  char buffer[400];
  int count = std::snprintf(buffer, sizeof buffer, "%#.*f", decimals, value);
  if (count > width) {
    // Drop the optional zero before the point: "0.500" -> ".500".
    char* zero = buffer[0] == '-' ? buffer + 1 : buffer;
    if (zero[0] == '0' && zero[1] == '.') {
      std::memmove(zero, zero + 1, std::strlen(zero + 1) + 1);
      --count;
    }
  }
  put_right_aligned(line, buffer, count, width);
}

void start_list_line(Line& line) {
  line.length = 0;
  put_blanks(line, 1);
}

void put_list_int(Line& line, long long value) { put_int(line, value, 12); }

void put_list_real(Line& line, float value) {
  constexpr int kWidth = 15;
  constexpr int kDigits = 7;
  const double v = value;
  if (put_non_finite(line, v, kWidth)) return;
  if (v == 0.0) {
    // Zero takes the fixed form with d - 1 decimals.
    put_fixed(line, v, kWidth - 4, kDigits - 1);
    put_blanks(line, 4);
    return;
  }
  // The decimal exponent k of the value rounded to 7 significant digits,
  // written as 0.ddddddd x 10^k, decides between fixed and exponent form.
  char scientific[40];
  std::snprintf(scientific, sizeof scientific, "%.*e", kDigits - 1, std::fabs(v));
  const char* mark = std::strchr(scientific, 'e');
  const int k = std::atoi(mark + 1) + 1;
  if (k >= 0 && k <= kDigits) {
    put_fixed(line, v, kWidth - 4, kDigits - k);
    put_blanks(line, 4);
    return;
  }
  char buffer[40];
  int count = 0;
  if (v < 0) buffer[count++] = '-';
  buffer[count++] = '0';
  buffer[count++] = '.';
  buffer[count++] = scientific[0];
  for (int i = 2; i < kDigits + 1; ++i) buffer[count++] = scientific[i];
  const int magnitude = std::abs(k);
  if (magnitude <= 99) {
    count += std::snprintf(buffer + count, sizeof buffer - count, "E%c%02d",
                           k < 0 ? '-' : '+', magnitude);
  } else {
    count += std::snprintf(buffer + count, sizeof buffer - count, "%c%03d",
                           k < 0 ? '-' : '+', magnitude);
  }
  put_right_aligned(line, buffer, count, kWidth);
}

bool write_line(std::FILE* out, const Line& line) {
  if (line.length > 0 &&
      std::fwrite(line.text, 1, static_cast<std::size_t>(line.length), out) !=
          static_cast<std::size_t>(line.length)) {
    return false;
  }
  return std::fputc('\n', out) != EOF && !std::ferror(out);
}

bool write_list_text(std::FILE* out, std::string_view text) {
  Line line;
  start_list_line(line);
  put_text(line, text);
  return write_line(out, line);
}

}  // namespace gsd
