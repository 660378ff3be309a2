#include "driver/report_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "design/run_errors.h"

namespace gsd {
namespace {

// A full device accepts the open but fails the writes: the failure must be
// reported, never taken for success.
TEST(ReportFile, AFailedWriteIsAnError) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full on this machine";
  std::fputs("The seed = 1\n", full);
  EXPECT_THROW(close_report(full, "full"), ReportError);
}

}  // namespace
}  // namespace gsd
