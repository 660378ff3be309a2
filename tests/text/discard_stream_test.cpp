#include "text/discard_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace gsd {
namespace {

// Writes succeed in full, however much is written, and nothing reaches a
// file or standard output.
TEST(DiscardStream, TakesEveryWriteAndReportsNoError) {
  std::FILE* stream = open_discard_stream();
  ASSERT_NE(stream, nullptr);
  const std::string line(100000, 'x');
  EXPECT_EQ(std::fprintf(stream, "%s\n", line.c_str()), 100001);
  EXPECT_EQ(std::fflush(stream), 0);
  EXPECT_FALSE(std::ferror(stream));
  EXPECT_EQ(std::fclose(stream), 0);
}

}  // namespace
}  // namespace gsd
