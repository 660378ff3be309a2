#include "driver/progress_meter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace gsd {
namespace {

TEST(ProgressMeter, LineText) {
  struct Case { int done; int total; double elapsed; const char* text; };
  const Case cases[] = {
      {0, 1000, 0.2, "gsdsim: 0 of 1000 trials (0%), 0:00 elapsed, ? left"},
      {250, 1000, 30.0, "gsdsim: 250 of 1000 trials (25%), 0:30 elapsed, 1:30 left"},
      {999, 1000, 7322.0, "gsdsim: 999 of 1000 trials (99%), 2:02:02 elapsed, 0:07 left"},
  };
  for (const Case& c : cases) {
    char text[160];
    format_progress(text, sizeof text, c.done, c.total, c.elapsed);
    EXPECT_STREQ(text, c.text);
  }
  char text[160];
  format_progress(text, sizeof text, 3, 12, 9.0, "scenarios");
  EXPECT_STREQ(text, "gsdsim: 3 of 12 scenarios (25%), 0:09 elapsed, 0:27 left");
}

// A file or a pipe never receives the progress line.
TEST(ProgressMeter, SilentUnlessATerminal) {
  std::FILE* file = std::tmpfile();
  ProgressMeter meter;
  start_progress(meter, file, 10);
  for (int done = 1; done <= 10; ++done) show_progress(meter, done);
  finish_progress(meter);
  EXPECT_EQ(std::ftell(file), 0L);
  std::fclose(file);
}

}  // namespace
}  // namespace gsd
