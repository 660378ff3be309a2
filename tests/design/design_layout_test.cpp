// The layout table against the reader: every value line is where the table
// puts it and is named as the table names it.

#include "design/design_layout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "design/design.h"
#include "design/design_input.h"
#include "support/design_text.h"
#include "text/list_input.h"

namespace gsd {
namespace {

// The reader's message for `text`, or "" when it reads.
std::string refusal(const std::string& text) {
  std::istringstream input(text);
  std::FILE* console = std::tmpfile();
  Design design;
  std::string message;
  try {
    read_design(input, console, design, [](const Design&) {});
  } catch (const InputError& error) {
    message = error.what();
  }
  std::fclose(console);
  return message;
}

// The first `lines` lines of `text`.
std::string head(const std::string& text, int lines) {
  std::size_t at = 0;
  for (int n = 0; n < lines; ++n) at = text.find('\n', at) + 1;
  return text.substr(0, at);
}

TEST(DesignLayout, TheInputEndingBeforeAValueLineNamesItsItem) {
  const std::string design = testing::design_text();
  ASSERT_EQ(refusal(design), "");
  for (const LayoutItem& item : kDesignLayout) {
    // Line 106 is named by what the mode on line 101 makes of it (here 2,
    // hazard ratios).
    const std::string name = item.item == DesignItem::kAlternativeValues
                                 ? "the treatment-group hazard ratios"
                                 : item.name;
    const std::string expected = "line " + std::to_string(item.line) +
                                 ": the design ends here, but " + name + " is expected";
    EXPECT_EQ(refusal(head(design, item.line - 1)).substr(0, expected.size()), expected);
  }
}

TEST(DesignLayout, TheInputEndingInACommentBlockNamesTheNextItem) {
  const std::string design = testing::design_text();
  for (const LayoutItem& item : kDesignLayout) {
    if (comment_lines_before(item.item) == 0) continue;
    const int last_comment = item.line - 1;
    const std::string expected = "line " + std::to_string(last_comment) +
                                 ": the design ends here, but a comment line before " +
                                 item.name + " is expected";
    EXPECT_EQ(refusal(head(design, last_comment - 1)).substr(0, expected.size()), expected);
  }
}

// A word on an integer line is refused there, under the item's name.
TEST(DesignLayout, IntegerItemsRefuseAWord) {
  for (const LayoutItem& item : kDesignLayout) {
    if (item.type != ItemType::kInteger) continue;
    const std::string expected = "line " + std::to_string(item.line) +
                                 ": expected a whole number for " + item.name + ", found \"x\"";
    EXPECT_EQ(refusal(testing::design_text({{item.line, "x"}})).substr(0, expected.size()),
              expected);
  }
}

}  // namespace
}  // namespace gsd
