#include "text/list_input.h"

#include <gtest/gtest.h>

#include <sstream>

namespace gsd {
namespace {

struct RealCase {
  const char* input;
  int count;
  float expected[4];
  int lines_used;  // lines consumed by the read
};

// Each case starts from items holding -1, so items left without a value show.
TEST(ListInput, RealReadingRules) {
  const RealCase cases[] = {
      {"1 2.5 3 text after the values\nnext", 3, {1, 2.5f, 3}, 1},
      {"1, 2 ,3,4", 3, {1, 2, 3}, 1},
      {"1 2\n3\nnext", 3, {1, 2, 3}, 2},             // a list spread over two lines
      {"\n   \n5 6", 2, {5, 6}, 3},                   // empty lines give no value
      {",,7", 3, {-1, -1, 7}, 1},                     // empty values keep their items
      {"1,,3", 3, {1, -1, 3}, 1},
      {"1 / 3 4", 3, {1, -1, -1}, 1},                 // a slash ends the read
      {"3*0.5", 3, {0.5f, 0.5f, 0.5f}, 1},
      {"2*0.5 9 8", 3, {0.5f, 0.5f, 9}, 1},
      {"2* 9", 3, {-1, -1, 9}, 1},                    // r* is r empty values
      {"5*1", 2, {1, 1}, 1},                          // surplus repeats ignored
      {"1e-5 +.5 5. 1.5d2", 4, {1e-5f, 0.5f, 5, 150}, 1},
      {"1\n, 2", 2, {1, 2}, 2},                       // a comma after a line end separates
  };
  for (const RealCase& c : cases) {
    std::istringstream input(c.input);
    ListReader reader(input);
    float items[4] = {-1, -1, -1, -1};
    read_reals(reader, items, c.count, "the test values");
    for (int i = 0; i < c.count; ++i) EXPECT_EQ(items[i], c.expected[i]) << c.input << " item " << i;
    EXPECT_EQ(reader.line_number, c.lines_used) << c.input;
  }
}

TEST(ListInput, CommentLinesAreDiscardedWhole) {
  std::istringstream input("7 8 9\n'quoted' 1\n42\n");
  ListReader reader(input);
  skip_lines(reader, 2, "the value");
  int value = 0;
  read_integers(reader, &value, 1, "the value");
  EXPECT_EQ(value, 42);
  EXPECT_EQ(reader.line_number, 3);
}

struct ErrorCase {
  const char* input;
  bool integer;
  const char* message;
};

TEST(ListInput, MalformedValuesNameTheirLine) {
  const ErrorCase cases[] = {
      {"2.5", true, "line 1: expected a whole number for the item, found \"2.5\""},
      {"\nten", true, "line 2: expected a whole number for the item, found \"ten\""},
      {"3000000000", true, "line 1: expected a whole number"},
      {"1e39", false, "line 1: expected a number for the item, found \"1e39\""},
      {"nan", false, "line 1: expected a number"},
      {"inf", false, "line 1: expected a number"},
      {"1.2.3", false, "line 1: expected a number"},
      {"0*5", false, "line 1: the repeat count in \"0*5\""},
      {"-2*5", false, "line 1: the repeat count in \"-2*5\""},
      {"*5", false, "line 1: expected a number for the item, found \"*5\""},  // no count
      {"* a comment", true, "line 1: expected a whole number for the item, found \"*\""},
      {"1\n2", false, "line 3: the design ends here, but the item is expected"},
      {"", true, "line 1: the design ends here, but the item is expected"},
  };
  for (const ErrorCase& c : cases) {
    std::istringstream input(c.input);
    ListReader reader(input);
    try {
      if (c.integer) {
        int item = 0;
        read_integers(reader, &item, 1, "the item");
      } else {
        float items[3] = {};
        read_reals(reader, items, 3, "the item");
      }
      ADD_FAILURE() << "no error for " << c.input;
    } catch (const InputError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.message, 0), 0u)
          << c.input << " gave: " << error.what();
    }
  }
}

TEST(ListInput, AReadThatRanOverSaysWhereItsValuesBegan) {
  // Two values short on line 1, an empty line 2: the error is on line 3,
  // and the message says the values began on line 1.
  std::istringstream input("1\n   \n* comment\n");
  ListReader reader(input);
  float items[3] = {};
  try {
    read_reals(reader, items, 3, "the item");
    ADD_FAILURE() << "no error";
  } catch (const InputError& error) {
    EXPECT_EQ(std::string(error.what()),
              "line 3: expected a number for the item, found \"*\" (a finite single-precision "
              "literal such as 10, 0.05 or 1e-5); the values were read from line 1 on, which "
              "held too few of them, so every later line moved down");
  }
  // An error on the read's own line has no such addition.
  std::istringstream same_line("1 x 3\n");
  ListReader second(same_line);
  try {
    read_reals(second, items, 3, "the item");
    ADD_FAILURE() << "no error";
  } catch (const InputError& error) {
    EXPECT_EQ(std::string(error.what()).find("were read from"), std::string::npos);
  }
}

TEST(ListInput, LinesOverTheLimitAreRefusedEvenAsComments) {
  const std::string longest(kLineLengthLimit, 'x');
  {
    std::istringstream input(longest + "\n7\n");
    ListReader reader(input);
    skip_lines(reader, 1, "the item");  // exactly at the limit: read
    int item = 0;
    read_integers(reader, &item, 1, "the item");
    EXPECT_EQ(item, 7);
  }
  for (const std::string& text : {longest + "x\n7\n", longest + "x"}) {
    std::istringstream input(text);
    ListReader reader(input);
    try {
      skip_lines(reader, 1, "the item");
      ADD_FAILURE() << "no error for a line of " << text.size() << " characters";
    } catch (const InputError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("line 1: the line is longer than 10000 characters", 0),
                0u)
          << error.what();
    }
  }
  // The last line may lack its line end; NUL bytes are characters like others.
  std::istringstream unterminated(std::string("1\n2\0", 4));
  ListReader reader(unterminated);
  int item = 0;
  read_integers(reader, &item, 1, "the item");
  EXPECT_EQ(item, 1);
  EXPECT_THROW(read_integers(reader, &item, 1, "the item"), InputError);
  EXPECT_EQ(reader.line_number, 2);
}

TEST(ListInput, TextItems) {
  struct Case { const char* input; const char* expected; };
  const Case cases[] = {
      {"plain.rpt other words", "plain.rpt"},
      {"'my report.txt'", "my report.tx"},       // quotes allow blanks; 12 characters count
      {"abcdefghijklmno", "abcdefghijkl"},       // 15 characters cut to 12
      {"\"it''s\"", "it''s"},
      {"'it''s'", "it's"},                        // a doubled quote stands for one
      {"name,rest", "name"},
      {"'padded   '", "padded"},
  };
  for (const Case& c : cases) {
    std::istringstream input(c.input);
    ListReader reader(input);
    std::string item;
    ASSERT_TRUE(read_text(reader, item, 12, "the name")) << c.input;
    EXPECT_EQ(item, c.expected) << c.input;
  }
  // No value: an empty item, or a line of blanks (the item is not looked
  // for on the next line, which stays unread).
  for (const char* text : {", x", "   \nname.rpt\n", "\nname.rpt\n"}) {
    std::istringstream input(text);
    ListReader reader(input);
    std::string item = "kept";
    EXPECT_FALSE(read_text(reader, item, 12, "the name")) << text;
    EXPECT_EQ(item, "kept");
    EXPECT_EQ(reader.line_number, 1);
  }
}

}  // namespace
}  // namespace gsd
