#include "text/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace gsd {

namespace {

// Separator and indentation before an item of the current container.
void open_item(JsonWriter& json) {
  if (json.after_key) {
    json.after_key = false;
    return;
  }
  if (json.depth == 0) return;
  const int level = json.depth - 1;
  if (json.has_items[level]) json.text += json.in_object[level] ? "," : ", ";
  if (json.in_object[level]) {
    json.text += '\n';
    json.text.append(static_cast<std::size_t>(2 * json.depth), ' ');
  }
  json.has_items[level] = true;
}

void open_container(JsonWriter& json, char bracket, bool object) {
  open_item(json);
  json.text += bracket;
  if (json.depth < JsonWriter::kDepthCapacity) {
    json.has_items[json.depth] = false;
    json.in_object[json.depth] = object;
  }
  ++json.depth;
}

void close_container(JsonWriter& json, char bracket) {
  --json.depth;
  if (json.in_object[json.depth] && json.has_items[json.depth]) {
    json.text += '\n';
    json.text.append(static_cast<std::size_t>(2 * json.depth), ' ');
  }
  json.text += bracket;
}

template <typename Real>
std::string shortest(Real value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

template <typename Real>
void real_value(JsonWriter& json, Real value) {
  open_item(json);
  json.text += std::isfinite(value) ? shortest_real(value) : "null";
}

}  // namespace

std::string shortest_real(float value) { return shortest(value); }
std::string shortest_real(double value) { return shortest(value); }

void json_begin_object(JsonWriter& json) { open_container(json, '{', true); }
void json_end_object(JsonWriter& json) { close_container(json, '}'); }
void json_begin_array(JsonWriter& json) { open_container(json, '[', false); }
void json_end_array(JsonWriter& json) { close_container(json, ']'); }

void json_key(JsonWriter& json, std::string_view key) {
  json_value(json, key);
  json.text += ": ";
  json.after_key = true;
}

void json_value(JsonWriter& json, float value) { real_value(json, value); }
void json_value(JsonWriter& json, double value) { real_value(json, value); }

void json_value(JsonWriter& json, long long value) {
  open_item(json);
  json.text += std::to_string(value);
}

void json_value(JsonWriter& json, int value) { json_value(json, static_cast<long long>(value)); }

void json_value(JsonWriter& json, std::string_view value) {
  open_item(json);
  json.text += '"';
  for (const char c : value) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json.text += '\\';
      json.text += c;
    } else if (u < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      json.text += escape;
    } else {
      json.text += c;
    }
  }
  json.text += '"';
}

void json_value(JsonWriter& json, const char* value) { json_value(json, std::string_view(value)); }

}  // namespace gsd
