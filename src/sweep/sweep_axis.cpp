#include "sweep/sweep_axis.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace gsd {

namespace {

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Splits at the commas that lie outside brackets, braces and quotes.
std::vector<std::string_view> split_items(std::string_view text) {
  std::vector<std::string_view> items;
  int depth = 0;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '[' || c == '{') {
      ++depth;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    } else if (c == ',' && depth == 0) {
      items.push_back(trim(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  items.push_back(trim(text.substr(start)));
  return items;
}

bool is_integer_text(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A finite decimal number: digits with an optional sign, point and exponent.
bool parse_number(std::string_view text, double& value) {
  if (text.empty()) return false;
  std::string_view digits = text;
  if (digits.front() == '+') digits.remove_prefix(1);
  const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return status == std::errc() && end == digits.data() + digits.size() && std::isfinite(value);
}

// The decimals a number shows (0.05 shows 2, 1.5e-2 shows 3); -1 when it is
// too small for a fixed count to make sense.
int shown_decimals(std::string_view text) {
  int decimals = 0;
  const std::size_t point = text.find('.');
  const std::size_t exponent = text.find_first_of("eE");
  if (point != std::string_view::npos) {
    const std::size_t end = exponent == std::string_view::npos ? text.size() : exponent;
    decimals = static_cast<int>(end - point - 1);
  }
  if (exponent != std::string_view::npos) {
    int power = 0;
    std::string_view e = text.substr(exponent + 1);
    if (!e.empty() && e.front() == '+') e.remove_prefix(1);
    std::from_chars(e.data(), e.data() + e.size(), power);
    decimals -= power;
  }
  if (decimals < 0) decimals = 0;
  return decimals > 15 ? -1 : decimals;
}

// A real as a TOML float literal: the shortest text that reads back to it,
// with a point so that TOML does not take it for an integer.
std::string real_literal(double value) {
  char text[64];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  std::string literal = text;
  if (literal.find_first_of(".eEn") == std::string::npos) literal += ".0";
  return literal;
}

bool expand_range(std::string_view item, std::vector<std::string>& values, std::string& error) {
  const std::size_t first = item.find(':');
  const std::size_t second = item.find(':', first + 1);
  if (second == std::string_view::npos || item.find(':', second + 1) != std::string_view::npos) {
    error = "the range \"" + std::string(item) + "\" is not three numbers from:to:step";
    return false;
  }
  const std::string_view parts[3] = {trim(item.substr(0, first)),
                                     trim(item.substr(first + 1, second - first - 1)),
                                     trim(item.substr(second + 1))};
  double from = 0, to = 0, step = 0;
  if (!parse_number(parts[0], from) || !parse_number(parts[1], to) ||
      !parse_number(parts[2], step)) {
    error = "the range \"" + std::string(item) + "\" is not three numbers from:to:step";
    return false;
  }
  if (!(step > 0)) {
    error = "the range \"" + std::string(item) + "\" needs a positive step";
    return false;
  }
  if (to < from) {
    error = "the range \"" + std::string(item) + "\" is empty: it ends below its start";
    return false;
  }
  const double steps = std::floor((to - from) / step + 1e-9);
  if (steps + 1 > static_cast<double>(kAxisValueCapacity)) {
    error = "the range \"" + std::string(item) + "\" holds more than " +
            std::to_string(kAxisValueCapacity) + " values";
    return false;
  }
  const bool integers =
      is_integer_text(parts[0]) && is_integer_text(parts[1]) && is_integer_text(parts[2]);
  int decimals = 0;
  for (const std::string_view part : parts) {
    const int shown = shown_decimals(part);
    decimals = shown < 0 || decimals < 0 ? -1 : std::max(decimals, shown);
  }
  const double scale = decimals >= 0 ? std::pow(10.0, decimals) : 1.0;
  for (long long k = 0; k <= static_cast<long long>(steps); ++k) {
    double value = from + static_cast<double>(k) * step;
    if (integers) {
      values.push_back(std::to_string(std::llround(value)));
    } else {
      if (decimals >= 0) value = std::round(value * scale) / scale;
      values.push_back(real_literal(value));
    }
  }
  return true;
}

// Numbers joined by colons are meant as a range (and refused unless there
// are exactly three); anything else with a colon, a quoted text for
// instance, is an ordinary value.
bool looks_like_range(std::string_view item) {
  int colons = 0;
  for (const char c : item) {
    if (c == ':') {
      ++colons;
    } else if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' ||
                 c == 'E' || c == ' ')) {
      return false;
    }
  }
  return colons > 0;
}

}  // namespace

bool parse_sweep_axis(std::string_view text, SweepAxis& axis, std::string& error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    error = "--sweep takes KEY=VALUES, not \"" + std::string(text) + "\"";
    return false;
  }
  axis.key = std::string(trim(text.substr(0, equals)));
  axis.values.clear();
  if (axis.key.empty()) {
    error = "--sweep \"" + std::string(text) + "\" names no key before '='";
    return false;
  }
  for (const char c : axis.key) {
    const bool bare = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '-' || c == '.' || c == '[' || c == ']';
    if (!bare) {
      error = "--sweep key \"" + axis.key +
              "\" is not a dotted key (letters, digits, '_' and '-' joined by '.')";
      return false;
    }
  }
  if (axis.key.front() == '.' || axis.key.back() == '.' ||
      axis.key.find("..") != std::string::npos) {
    error = "--sweep key \"" + axis.key + "\" has an empty part";
    return false;
  }
  const std::string_view values = trim(text.substr(equals + 1));
  if (values.empty()) {
    error = "--sweep " + axis.key + " has no values after '='";
    return false;
  }
  for (const std::string_view item : split_items(values)) {
    if (item.empty()) {
      error = "--sweep " + axis.key + " has an empty value in \"" + std::string(values) + "\"";
      return false;
    }
    if (looks_like_range(item)) {
      if (!expand_range(item, axis.values, error)) {
        error = "--sweep " + axis.key + ": " + error;
        return false;
      }
    } else {
      axis.values.emplace_back(item);
    }
    if (static_cast<long long>(axis.values.size()) > kAxisValueCapacity) {
      error = "--sweep " + axis.key + " holds more than " + std::to_string(kAxisValueCapacity) +
              " values";
      return false;
    }
  }
  return true;
}

std::string unsweepable_key_reason(std::string_view key) {
  if (key == "report" || key.starts_with("report.")) {
    return "a sweep writes no report file, so the report name cannot be swept";
  }
  return {};
}

}  // namespace gsd
