#include "report/trial_notes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace gsd {
namespace {

template <typename Write>
std::string written(Write write) {
  std::FILE* file = std::tmpfile();
  write(file);
  std::fflush(file);
  std::rewind(file);
  std::string out;
  for (int c; (c = std::fgetc(file)) != EOF;) out.push_back(static_cast<char>(c));
  std::fclose(file);
  return out;
}

// The list-directed lines a trial may leave, as the reference runs show them.
TEST(TrialNotes, LinesInListDirectedForm) {
  EXPECT_EQ(written([](std::FILE* f) { write_empty_look(f, 5.0f, 12); }),
            " no life enters before   5.000000    \n"
            " no. of simulation=          12\n");
  EXPECT_EQ(written([](std::FILE* f) { write_v0_too_large(f, 2); }),
            " The           2   th v0 is too large.\n");
  EXPECT_EQ(written([](std::FILE* f) {
              write_inverse_warning(f, InverseWarning::kTmppTooSmall);
              write_inverse_warning(f, InverseWarning::kRmlpTooSmall);
            }),
            " tmpp too small\n rmlp too small\n");
}

}  // namespace
}  // namespace gsd
