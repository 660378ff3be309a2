#pragma once

#include <string>
#include <string_view>

namespace gsd {

// A small JSON writer: objects with one member per line, arrays on one line.
// Reals are written in the shortest form that reads back to the same float
// (or double); not-a-number and infinities, which JSON cannot hold, as null.
struct JsonWriter {
  static constexpr int kDepthCapacity = 16;
  std::string text;
  int depth = 0;
  bool has_items[kDepthCapacity] = {};
  bool in_object[kDepthCapacity] = {};
  bool after_key = false;
};

void json_begin_object(JsonWriter& json);
void json_end_object(JsonWriter& json);
void json_begin_array(JsonWriter& json);
void json_end_array(JsonWriter& json);
// A member name; the next value or container is its value.
void json_key(JsonWriter& json, std::string_view key);
void json_value(JsonWriter& json, float value);
void json_value(JsonWriter& json, double value);
void json_value(JsonWriter& json, long long value);
void json_value(JsonWriter& json, int value);
void json_value(JsonWriter& json, std::string_view value);
void json_value(JsonWriter& json, const char* value);

// The shortest decimal text that reads back to exactly `value`.
std::string shortest_real(float value);
std::string shortest_real(double value);

}  // namespace gsd
