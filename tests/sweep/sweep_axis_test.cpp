#include "sweep/sweep_axis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gsd {
namespace {

struct AxisCase {
  const char* text;
  const char* key;
  std::vector<std::string> values;
};

// Lists, ranges (integer, real, with a step that does not divide the span
// exactly, with float steps that accumulate rounding), list values and
// mixtures of them.
TEST(SweepAxis, ValuesInOrder) {
  const AxisCase cases[] = {
      {"treatment.hazard_ratio=0.6,0.7,0.8", "treatment.hazard_ratio", {"0.6", "0.7", "0.8"}},
      {"accrual.subjects=200:800:200", "accrual.subjects", {"200", "400", "600", "800"}},
      {"accrual.subjects=200:850:200", "accrual.subjects", {"200", "400", "600", "800"}},
      {"x=0.6:0.8:0.1", "x", {"0.6", "0.7", "0.8"}},
      {"x=0.1:1:0.3", "x", {"0.1", "0.4", "0.7", "1.0"}},
      {"x=1:2:0.5", "x", {"1.0", "1.5", "2.0"}},
      {"x=0:0.3:0.05", "x", {"0.0", "0.05", "0.1", "0.15", "0.2", "0.25", "0.3"}},
      {"x=1e-3:3e-3:1e-3", "x", {"0.001", "0.002", "0.003"}},
      {"x=5:5:1", "x", {"5"}},
      {"x=-2:2:2", "x", {"-2", "0", "2"}},
      {"looks.times=[12,18,24],[12, 24, 36]", "looks.times", {"[12,18,24]", "[12, 24, 36]"}},
      {"name=\"a,b\",c", "name", {"\"a,b\"", "c"}},
      {" x = 1, 2:4:1 ,9", "x", {"1", "2", "3", "4", "9"}},
  };
  for (const AxisCase& c : cases) {
    SweepAxis axis;
    std::string error;
    ASSERT_TRUE(parse_sweep_axis(c.text, axis, error)) << c.text << ": " << error;
    EXPECT_EQ(axis.key, c.key) << c.text;
    EXPECT_EQ(axis.values, c.values) << c.text;
  }
}

// Every malformed option names what is wrong.
TEST(SweepAxis, MalformedOptions) {
  const std::pair<const char*, const char*> cases[] = {
      {"trials", "KEY=VALUES"},
      {"=1,2", "names no key"},
      {"trials=", "no values"},
      {"trials=1,,2", "empty value"},
      {"trials=1,", "empty value"},
      {"a b=1", "not a dotted key"},
      {"a..b=1", "empty part"},
      {".a=1", "empty part"},
      {"x=800:200:100", "is empty"},
      {"x=1:2:0", "positive step"},
      {"x=1:2:-1", "positive step"},
      {"x=1:2:3:4", "not three numbers"},
      {"x=1:2", "not three numbers"},
      {"x=12:30:00", "positive step"},
      {"x=1:100000:1", "more than 10000"},
  };
  for (const auto& [text, message] : cases) {
    SweepAxis axis;
    std::string error;
    EXPECT_FALSE(parse_sweep_axis(text, axis, error)) << text;
    EXPECT_NE(error.find(message), std::string::npos) << text << ": " << error;
  }
}

TEST(SweepAxis, ReportNameCannotBeSwept) {
  EXPECT_FALSE(unsweepable_key_reason("report").empty());
  EXPECT_TRUE(unsweepable_key_reason("reporting").empty());
  EXPECT_TRUE(unsweepable_key_reason("accrual.subjects").empty());
}

}  // namespace
}  // namespace gsd
