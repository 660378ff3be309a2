#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace gsd {

// A design that cannot be read or is refused. The message names the design
// line and what was expected there.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Free-form (list-directed) reading of a line-oriented text. Every read
// starts on the next unread line; values are separated by blanks or by a
// comma with optional blanks; an empty value between commas leaves its item
// unchanged, and a slash leaves every remaining item unchanged and ends the
// read; r*v stands for r copies of v and r* for r empty values; a read that
// finds too few values on its line continues on the following lines; values
// beyond those needed are ignored with the rest of their line.
struct ListReader {
  explicit ListReader(std::istream& input) : in(&input) {}

  std::istream* in;
  std::string record;    // the line being read
  std::size_t pos = 0;   // next unread character of record
  // Lines read so far; 64 bits, as a value read on and on over blank lines
  // can pass any 32-bit count.
  long long line_number = 0;
  // One message per number that a slash follows directly ("300/12"): legal,
  // the slash ends the line's values, but it is rarely what was meant.
  std::vector<std::string> warnings;
};

// Lines longer than this are refused with InputError (the input may not be
// a design at all).
inline constexpr std::size_t kLineLengthLimit = 10000;

// Reads and discards whole lines, whatever they hold. `before` names what
// follows them, for the message when the input ends.
void skip_lines(ListReader& reader, int count, std::string_view before);

// One read of `count` items of one kind. `what` names the items for messages
// ("the number of looks K"). Items without a value keep what they held.
void read_integers(ListReader& reader, int* items, int count, std::string_view what);
void read_reals(ListReader& reader, float* items, int count, std::string_view what);
// A character item, quoted with ' or " (a doubled quote stands for one) or
// unquoted up to a blank, comma or slash. Only the first `length` characters
// count; trailing blanks are removed. Returns false when the item got no value,
// which includes a line of blanks: unlike numbers, a text item is not looked
// for on the following lines.
bool read_text(ListReader& reader, std::string& item, std::size_t length,
               std::string_view what);

// Literal parsing, exposed for the reader's callers and tests. Return false
// for anything that is not a complete literal of the type: integers must fit
// 32 bits; reals must be finite in single precision (a decimal literal is
// rounded once, to the nearest float).
bool parse_integer(std::string_view token, int& value);
bool parse_real(std::string_view token, float& value);

}  // namespace gsd
