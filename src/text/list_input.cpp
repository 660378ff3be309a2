#include "text/list_input.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace gsd {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A token as it appears in a message: printable, and not too long.
std::string quoted(std::string_view token) {
  std::string text = "\"";
  const std::size_t shown = token.size() < 40 ? token.size() : 40;
  for (std::size_t i = 0; i < shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(token[i]);
    text += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
  }
  if (shown < token.size()) text += "...";
  return text + "\"";
}

std::string at_line(long long line_number) { return "line " + std::to_string(line_number) + ": "; }

// Reads the next line into the record, without its line end. Input with no
// line end for kLineLengthLimit characters is refused instead of being held
// whole: a design line is short, and a stream of bytes without line ends
// (a binary file, a device) must end the run rather than fill the memory.
bool next_record(ListReader& reader) {
  std::istream& in = *reader.in;
  reader.record.clear();
  reader.pos = 0;
  std::streambuf* buffer = in.rdbuf();
  bool any = false;
  for (;;) {
    const int c = buffer == nullptr ? std::char_traits<char>::eof() : buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      if (!any) return false;
      break;
    }
    any = true;
    if (c == '\n') break;
    if (reader.record.size() == kLineLengthLimit) {
      throw InputError(at_line(reader.line_number + 1) + "the line is longer than " +
                       std::to_string(kLineLengthLimit) +
                       " characters; a design line holds a few values or a comment");
    }
    reader.record += static_cast<char>(c);
  }
  ++reader.line_number;
  return true;
}

[[noreturn]] void fail_end(const ListReader& reader, std::string_view what) {
  throw InputError(at_line(reader.line_number + 1) + "the design ends here, but " +
                   std::string(what) + " is expected");
}

void skip_blanks(ListReader& reader) {
  while (reader.pos < reader.record.size() && is_blank(reader.record[reader.pos])) {
    ++reader.pos;
  }
}

// An unquoted token: up to a blank, comma, slash or the end of the line.
std::string_view take_token(ListReader& reader) {
  const std::size_t start = reader.pos;
  while (reader.pos < reader.record.size()) {
    const char c = reader.record[reader.pos];
    if (is_blank(c) || c == ',' || c == '/') break;
    ++reader.pos;
  }
  return std::string_view(reader.record).substr(start, reader.pos - start);
}

// After a value: the blanks, and a comma if there is one, that separate it
// from the next value on the same line. Returns true when a comma was taken.
bool take_separator(ListReader& reader) {
  skip_blanks(reader);
  if (reader.pos < reader.record.size() && reader.record[reader.pos] == ',') {
    ++reader.pos;
    return true;
  }
  return false;
}

// Where the next value of a read stands.
enum class Next { kValue, kEmpty, kSlash };

// Moves to the next value of a read, across line ends. `after_comma` says
// whether the last separator taken was a comma (or the read just started),
// so that a further comma marks an empty value.
Next advance(ListReader& reader, bool& after_comma, std::string_view what) {
  for (;;) {
    skip_blanks(reader);
    if (reader.pos >= reader.record.size()) {
      if (!next_record(reader)) fail_end(reader, what);
      continue;
    }
    const char c = reader.record[reader.pos];
    if (c == '/') return Next::kSlash;
    if (c == ',') {
      ++reader.pos;
      if (after_comma) return Next::kEmpty;
      after_comma = true;
      continue;
    }
    return Next::kValue;
  }
}

// Splits "r*v" into its repeat count and value. A token without '*' has the
// count 1. Throws for a count that is not a positive integer.
std::string_view split_repeat(const ListReader& reader, std::string_view token, long& repeat,
                              std::string_view what) {
  repeat = 1;
  const std::size_t star = token.find('*');
  // No count before the star: not a repeat form, and not a value either
  // (typically the start of a comment line read as values).
  if (star == std::string_view::npos || star == 0) return token;
  const std::string_view count = token.substr(0, star);
  int value = 0;
  if (!parse_integer(count, value) || !is_digit(count.front()) || value <= 0) {
    throw InputError(at_line(reader.line_number) + "the repeat count in " + quoted(token) +
                     " for " + std::string(what) + " is not a positive whole number");
  }
  repeat = value;
  return token.substr(star + 1);
}

// A read that went past its first line: a message about a later line then
// says where the values began, since the cause (an empty or short value
// line) lies there and every later line has moved down.
[[noreturn]] void fail_continued(const InputError& error, long long first_line) {
  throw InputError(std::string(error.what()) + "; the values were read from line " +
                   std::to_string(first_line) +
                   " on, which held too few of them, so every later line moved down");
}

template <typename Store>
void read_numbers_from(ListReader& reader, int count, std::string_view what, Store store);

// The common loop of the numeric reads: `store(index, token)` parses one
// value into item `index`.
template <typename Store>
void read_numbers(ListReader& reader, int count, std::string_view what, Store store) {
  if (!next_record(reader)) fail_end(reader, what);
  const long long first_line = reader.line_number;
  try {
    read_numbers_from(reader, count, what, store);
  } catch (const InputError& error) {
    if (reader.line_number == first_line) throw;
    fail_continued(error, first_line);
  }
}

template <typename Store>
void read_numbers_from(ListReader& reader, int count, std::string_view what, Store store) {
  bool after_comma = true;
  int index = 0;
  while (index < count) {
    const Next next = advance(reader, after_comma, what);
    if (next == Next::kSlash) return;
    if (next == Next::kEmpty) {
      ++index;
      continue;
    }
    long repeat = 1;
    const std::string_view token = take_token(reader);
    const std::string_view value = split_repeat(reader, token, repeat, what);
    for (long r = 0; r < repeat && index < count; ++r, ++index) {
      if (!value.empty()) store(index, value);
    }
    if (!value.empty() && reader.pos < reader.record.size() && reader.record[reader.pos] == '/') {
      reader.warnings.push_back(
          at_line(reader.line_number) + "a slash directly follows " + quoted(token) + " in " +
          quoted(reader.record.substr(reader.pos - token.size())) + " (" + std::string(what) +
          "): it ends the line's values, leaving every remaining item of the line at 0; it is "
          "not a division");
    }
    after_comma = take_separator(reader);
  }
}

}  // namespace

bool parse_integer(std::string_view token, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  if (i == token.size()) return false;
  long long magnitude = 0;
  for (; i < token.size(); ++i) {
    if (!is_digit(token[i])) return false;
    magnitude = magnitude * 10 + (token[i] - '0');
    if (magnitude > 2147483648LL) return false;
  }
  const long long signed_value = negative ? -magnitude : magnitude;
  if (signed_value > INT_MAX) return false;
  value = static_cast<int>(signed_value);
  return true;
}

bool parse_real(std::string_view token, float& value) {
  // [sign] digits [. digits] [(e|E|d|D) [sign] digits], with at least one
  // digit in the mantissa.
  std::string normal;
  std::size_t i = 0;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) normal += token[i++];
  int mantissa_digits = 0;
  while (i < token.size() && is_digit(token[i])) normal += token[i++], ++mantissa_digits;
  if (i < token.size() && token[i] == '.') {
    normal += token[i++];
    while (i < token.size() && is_digit(token[i])) normal += token[i++], ++mantissa_digits;
  }
  if (mantissa_digits == 0) return false;
  if (i < token.size()) {
    const char mark = token[i];
    if (mark != 'e' && mark != 'E' && mark != 'd' && mark != 'D') return false;
    normal += 'e';
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) normal += token[i++];
    int exponent_digits = 0;
    while (i < token.size() && is_digit(token[i])) normal += token[i++], ++exponent_digits;
    if (exponent_digits == 0 || i != token.size()) return false;
  }
  errno = 0;
  const float parsed = std::strtof(normal.c_str(), nullptr);
  if (!std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

void skip_lines(ListReader& reader, int count, std::string_view before) {
  for (int i = 0; i < count; ++i) {
    if (!next_record(reader)) {
      throw InputError(at_line(reader.line_number + 1) +
                       "the design ends here, but a comment line before " +
                       std::string(before) + " is expected");
    }
  }
}

void read_integers(ListReader& reader, int* items, int count, std::string_view what) {
  read_numbers(reader, count, what, [&](int index, std::string_view token) {
    if (!parse_integer(token, items[index])) {
      throw InputError(at_line(reader.line_number) + "expected a whole number for " +
                       std::string(what) + ", found " + quoted(token));
    }
  });
}

void read_reals(ListReader& reader, float* items, int count, std::string_view what) {
  read_numbers(reader, count, what, [&](int index, std::string_view token) {
    if (!parse_real(token, items[index])) {
      throw InputError(at_line(reader.line_number) + "expected a number for " +
                       std::string(what) + ", found " + quoted(token) +
                       " (a finite single-precision literal such as 10, 0.05 or 1e-5)");
    }
  });
}

bool read_text(ListReader& reader, std::string& item, std::size_t length,
               std::string_view what) {
  if (!next_record(reader)) fail_end(reader, what);
  // A text item never continues on the next line: that line is usually a
  // comment, and a name taken from it would name a stray file.
  skip_blanks(reader);
  if (reader.pos >= reader.record.size()) return false;
  bool after_comma = true;
  const Next next = advance(reader, after_comma, what);
  if (next != Next::kValue) return false;
  std::string value;
  const char quote = reader.record[reader.pos];
  if (quote == '\'' || quote == '"') {
    ++reader.pos;
    bool closed = false;
    while (reader.pos < reader.record.size()) {
      const char c = reader.record[reader.pos++];
      if (c == quote) {
        if (reader.pos < reader.record.size() && reader.record[reader.pos] == quote) {
          value += quote;
          ++reader.pos;
          continue;
        }
        closed = true;
        break;
      }
      value += c;
    }
    if (!closed) {
      throw InputError(at_line(reader.line_number) + std::string(what) +
                       " opens a quote that the line does not close");
    }
  } else {
    value = std::string(take_token(reader));
  }
  if (value.size() > length) value.resize(length);
  while (!value.empty() && value.back() == ' ') value.pop_back();
  item = value;
  return true;
}

}  // namespace gsd
