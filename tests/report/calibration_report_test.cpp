#include "report/calibration_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace gsd {
namespace {

std::string text_of(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string out;
  for (int c; (c = std::fgetc(file)) != EOF;) out.push_back(static_cast<char>(c));
  std::fclose(file);
  return out;
}

// Two statistics of a Haybittle-type design, three looks.
struct Written {
  std::string report;
  std::string console;
};

Written write(const Calibration& calibration, bool announce) {
  Design d;
  d.method_code = 3;
  d.look_count = 3;
  d.stat_count = 2;
  d.sim_count = 100;
  d.report_name[0] = 'r';
  std::FILE* report = std::tmpfile();
  std::FILE* console = std::tmpfile();
  write_calibration(report, console, d, calibration, announce);
  return {text_of(report), text_of(console)};
}

Calibration haybittle_calibration() {
  Calibration c;
  c.subject_count = 40;
  for (int j = 1; j <= 2; ++j) {
    for (int i = 1; i <= 3; ++i) c.null_variance[j][i] = 2.5f * static_cast<float>(i * j);
    c.haybittle_b[j] = 3.2f;
    c.haybittle_c_of[j] = 1.99f;
  }
  c.b_raises[1] = 2;
  return c;
}

TEST(CalibrationReport, BlocksRaisesAndEstimateInTheirPlaces) {
  const Written w = write(haybittle_calibration(), true);
  EXPECT_EQ(w.report,
            "--------------------------------------------------\n"
            "The total number of subjects simulated =   40\n"
            "The number of simulations =      100\n"
            "-------------------------------------------------------\n"
            "Pre-simulation information for the 1st statistic are:\n"
            " The b used in the Haybittle boundary is:   3.200000    \n"
            "The c based on the asymptotic null distribution:  1.99\n"
            " The variance under the null are:\n"
            "    2.50     5.00     7.50\n"
            "-------------------------------------------------------\n"
            "Pre-simulation information for the 2nd statistic are:\n"
            " The b used in the Haybittle boundary is:   3.200000    \n"
            "The c based on the asymptotic null distribution:  1.99\n"
            " The variance under the null are:\n"
            "    5.00    10.00    15.00\n"
            "-------------------------------------------------------\n");
  const std::string raises = " b is too small.  I will increase b by 0.1\n"
                             " b is too small.  I will increase b by 0.1\n";
  EXPECT_EQ(w.console.substr(0, raises.size()), raises);
  EXPECT_EQ(w.console.find("increase", raises.size()), std::string::npos);
  EXPECT_NE(w.console.find("Start simulation, it will take approximately"), std::string::npos);
  EXPECT_NE(w.console.find(" The output is stored in the file named below:\n r\n"),
            std::string::npos);
}

// --check: no name on the console, no rule opening the simulation's part.
TEST(CalibrationReport, WithoutAnnouncementNoNameAndNoClosingRule) {
  const Written announced = write(haybittle_calibration(), true);
  const Written quiet = write(haybittle_calibration(), false);
  EXPECT_EQ(quiet.report + std::string(55, '-') + "\n", announced.report);
  EXPECT_EQ(quiet.console.find("The output is stored"), std::string::npos);
  EXPECT_EQ(quiet.console + " The output is stored in the file named below:\n r\n",
            announced.console);
}

// A calibration that stopped at statistic 2 ends with the head of its block
// and the raises made before the stop; no estimate follows.
TEST(CalibrationReport, AStoppedCalibrationEndsWithTheHeadOfItsBlock) {
  Calibration c = haybittle_calibration();
  c.stopped_at = 2;
  c.b_raises[2] = 1;
  const Written w = write(c, false);
  const std::string head = "Pre-simulation information for the 2nd statistic are:\n";
  ASSERT_GE(w.report.size(), head.size());
  EXPECT_EQ(w.report.substr(w.report.size() - head.size()), head);
  // Two raises of statistic 1's search, one of statistic 2's.
  EXPECT_EQ(w.console, " b is too small.  I will increase b by 0.1\n"
               " b is too small.  I will increase b by 0.1\n"
               " b is too small.  I will increase b by 0.1\n");
}

}  // namespace
}  // namespace gsd
