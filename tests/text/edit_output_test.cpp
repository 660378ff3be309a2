#include "text/edit_output.h"

#include <gtest/gtest.h>

#include <string>

namespace gsd {
namespace {

std::string fixed(double value, int width, int decimals) {
  Line line;
  put_fixed(line, value, width, decimals);
  return std::string(view(line));
}

TEST(EditOutput, FixedFields) {
  struct Case { double value; int width; int decimals; const char* text; };
  const Case cases[] = {
      {0.5, 4, 3, ".500"},        // no room for the leading zero
      {0.5, 5, 3, "0.500"},       // room for it
      {-0.001, 5, 2, "-0.00"},    // minus kept when rounding to zero
      {-0.5, 4, 2, "-.50"},
      {100.0, 5, 2, "*****"},     // overflow
      {2.675f, 4, 2, "2.67"},     // the float nearest 2.675 lies below it
      {0.125, 4, 2, "0.12"},      // exact tie goes to even
      {0.375, 4, 2, "0.38"},
      {3.0, 5, 0, "   3."},
      {1.96f, 6, 2, "  1.96"},
      {0.05f, 5, 3, "0.050"},
      {0.8, 6, 4, "0.8000"},
      {0.0123553, 7, 5, "0.01236"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fixed(c.value, c.width, c.decimals), c.text)
        << c.value << " in F" << c.width << "." << c.decimals;
  }
}

TEST(EditOutput, IntegerFields) {
  Line line;
  put_int(line, -123457, 10);
  put_int(line, 14, 2);
  put_int(line, 123, 2);
  EXPECT_EQ(std::string(view(line)), "   -12345714**");
}

TEST(EditOutput, ListDirectedReals) {
  struct Case { float value; const char* text; };
  const Case cases[] = {
      {3.0f, "   3.000000    "},
      {0.5f, "  0.5000000    "},
      {0.1f, "  0.1000000    "},
      {123.4567f, "   123.4567    "},
      {-2.5f, "  -2.500000    "},
      {0.0f, "   0.000000    "},
      {1234567.0f, "   1234567.    "},
      {1.0e7f, "  0.1000000E+08"},
      {0.05f, "  0.5000000E-01"},
      {-1.5e-10f, " -0.1500000E-09"},
  };
  for (const Case& c : cases) {
    Line line;
    put_list_real(line, c.value);
    EXPECT_EQ(std::string(view(line)), c.text) << c.value;
  }
}

TEST(EditOutput, ListDirectedLine) {
  Line line;
  start_list_line(line);
  put_text(line, "The");
  put_list_int(line, 2);
  put_text(line, "   th v0 is too large.");
  EXPECT_EQ(std::string(view(line)), " The           2   th v0 is too large.");
}

}  // namespace
}  // namespace gsd
