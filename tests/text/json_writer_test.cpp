#include "text/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

namespace gsd {
namespace {

TEST(JsonWriter, NestedDocument) {
  JsonWriter json;
  json_begin_object(json);
  json_key(json, "name");
  json_value(json, "a \"quoted\"\\ name\n");
  json_key(json, "values");
  json_begin_array(json);
  json_value(json, 0.1f);
  json_value(json, 3);
  json_value(json, std::nanf(""));
  json_end_array(json);
  json_key(json, "empty");
  json_begin_object(json);
  json_end_object(json);
  json_end_object(json);
  EXPECT_EQ(json.text,
            "{\n"
            "  \"name\": \"a \\\"quoted\\\"\\\\ name\\u000a\",\n"
            "  \"values\": [0.1, 3, null],\n"
            "  \"empty\": {}\n"
            "}");
}

// The shortest text of a float reads back to the same float, also when the
// float is not the nearest one to a short decimal.
TEST(JsonWriter, RealsRoundTrip) {
  EXPECT_EQ(shortest_real(0.05f), "0.05");
  EXPECT_EQ(shortest_real(1.0e-10f), "1e-10");
  EXPECT_EQ(shortest_real(2.699999f), "2.699999");
  std::mt19937 random(20261210);
  std::uniform_int_distribution<unsigned> bits(0, 0x7f7fffffu);
  for (int i = 0; i < 20000; ++i) {
    const unsigned pattern = bits(random);
    float value;
    static_assert(sizeof value == sizeof pattern);
    std::memcpy(&value, &pattern, sizeof value);
    const std::string text = shortest_real(value);
    EXPECT_EQ(std::strtof(text.c_str(), nullptr), value) << text;
  }
}

}  // namespace
}  // namespace gsd
