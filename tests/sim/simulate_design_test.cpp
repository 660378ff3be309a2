// The library entry point runs a design in memory and hands back what the
// command line prints: the same report bytes as the reviewed reports of the
// shipped examples, the same figures as those reports print, per-look counts
// that add up, and the errors of a run as a status.

#include "sim/simulate_design.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "design/design_input.h"
#include "design/run_errors.h"
#include "report/run_report.h"
#include "support/run_gsdsim.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = fs::path(GSDSIM_SOURCE_DIR);

// The design read from `text`, with the reader's notes in `notes`.
Design read(const std::string& text, std::string& notes) {
  std::istringstream input(text);
  std::FILE* console = std::tmpfile();
  Design design;
  read_design(input, console, design, [](const Design&) {});
  std::rewind(console);
  for (int c; (c = std::fgetc(console)) != EOF;) notes.push_back(static_cast<char>(c));
  std::fclose(console);
  return design;
}

SimulationResult simulate_collected(const Design& design, int threads) {
  SimulationOptions options;
  options.threads = threads;
  options.writer = &run_report_writer();
  options.collect_report = true;
  options.collect_console = true;
  return simulate_design(design, options);
}

// The number after `label` on the first line from `from` on that holds it.
double number_after(const std::string& text, const std::string& label, std::size_t& from) {
  from = text.find(label, from);
  if (from == std::string::npos) return -1.0;
  from += label.size();
  return std::strtod(text.c_str() + from, nullptr);
}

TEST(SimulateDesign, ShippedExamplesGiveTheReportsBytesAndFigures) {
  for (const char* name : {"lan_demets", "error_split", "haybittle", "given_bounds"}) {
    SCOPED_TRACE(name);
    std::string notes;
    const Design design =
        read(testing::read_file(kSource / "examples" / (std::string(name) + ".dsn")), notes);
    const SimulationResult result = simulate_collected(design, 2);
    const fs::path expected = kSource / "tests" / "e2e" / "expected" / (std::string("example_") + name);
    const std::string report = testing::read_file(expected.string() + ".report");
    ASSERT_EQ(result.status, kExitSuccess) << result.error;
    ASSERT_TRUE(result.simulated);
    EXPECT_EQ(result.report_text, report);
    EXPECT_EQ(notes + result.console_text, testing::read_file(expected.string() + ".console"));

    // The figures as printed: power F6.4, s.d. F7.5, stopping time F6.3.
    std::size_t at = 0;
    for (int j = 1; j <= design.stat_count; ++j) {
      const StatisticResult& figures = result.statistics[j];
      EXPECT_NEAR(figures.power, number_after(report, "power =", at), 0.5e-4 + 1e-7) << j;
      EXPECT_NEAR(figures.sd, number_after(report, "s.d. =", at), 0.5e-5 + 1e-8) << j;
      EXPECT_NEAR(figures.average_stopping_time,
                  number_after(report, "The average stopping time =", at), 0.5e-3 + 1e-6)
          << j;
      EXPECT_EQ(figures.power, static_cast<float>(result.tally.rej[j] / static_cast<double>(design.sim_count)));

      // Every trial stops once per statistic, at a look or never.
      int stopped = result.trials_without_stop[j];
      int rejected = 0;
      for (int i = 1; i <= design.look_count; ++i) {
        stopped += result.looks[i].stopped[j];
        rejected += result.looks[i].rejected[j];
      }
      EXPECT_EQ(stopped, design.sim_count) << j;
      EXPECT_EQ(rejected, result.tally.rej[j]) << j;
    }
    EXPECT_EQ(result.looks[1].trials_reached, design.sim_count);
    EXPECT_GT(result.looks[design.look_count].mean_events, 0.0);
    EXPECT_EQ(result.calibration.subject_count,
              static_cast<int>(design.accrual_rate * design.accrual_period));
  }
}

// The one-thread loop and the threaded engine give the same result.
TEST(SimulateDesign, ThreadCountChangesNoFigure) {
  std::string notes;
  const Design design =
      read(testing::read_file(kSource / "examples" / "lan_demets.dsn"), notes);
  const SimulationResult one = simulate_collected(design, 1);
  const SimulationResult three = simulate_collected(design, 3);
  EXPECT_EQ(one.report_text, three.report_text);
  EXPECT_EQ(one.console_text, three.console_text);
  for (int j = 1; j <= design.stat_count; ++j) {
    EXPECT_EQ(one.tally.rej[j], three.tally.rej[j]);
    EXPECT_EQ(one.tally.stop_sum[j], three.tally.stop_sum[j]);
  }
  for (int i = 1; i <= design.look_count; ++i) {
    EXPECT_EQ(one.looks[i].mean_subjects, three.looks[i].mean_subjects);
    EXPECT_EQ(one.looks[i].mean_events, three.looks[i].mean_events);
  }
}

// A design that cannot be simulated to an end is a status with its cause;
// the report text keeps what came before the stop, and no figures claim
// success.
TEST(SimulateDesign, ADesignThatCannotEndIsStatusThree) {
  std::string notes;
  const Design design = read(
      testing::read_file(kSource / "tests" / "bad_designs" / "method3_flat_information.dsn"),
      notes);
  const SimulationResult result = simulate_collected(design, 1);
  EXPECT_EQ(result.status, kExitRunError);
  EXPECT_FALSE(result.simulated);
  EXPECT_NE(result.error.find("no Haybittle-type constant b up to 15"), std::string::npos)
      << result.error;
  EXPECT_NE(result.report_text.find("Pre-simulation information for the 1st statistic are:"),
            std::string::npos);
  EXPECT_EQ(result.report_text.find("The results of simulation"), std::string::npos);
}

struct Collected {
  std::string text;
  int refuse_after = -1;  // pieces taken before refusing; -1: never refuses
};

bool collect(void* context, const char* text, std::size_t size) {
  Collected& out = *static_cast<Collected*>(context);
  if (out.refuse_after == 0) return false;
  if (out.refuse_after > 0) --out.refuse_after;
  out.text.append(text, size);
  return true;
}

// Live sinks receive the text that collection would keep; a report sink that
// refuses stops the run as a report error, and one sink for both texts gets
// the calibration's console lines in place (what --check shows).
TEST(SimulateDesign, SinksStreamTheTextAndARefusalStopsTheRun) {
  std::string notes;
  const Design design =
      read(testing::read_file(kSource / "examples" / "haybittle.dsn"), notes);
  const SimulationResult collected = simulate_collected(design, 1);

  Collected report;
  Collected console;
  SimulationOptions options;
  options.threads = 1;
  options.writer = &run_report_writer();
  options.report_sink = TextSink{collect, &report};
  options.console_sink = TextSink{collect, &console};
  const SimulationResult streamed = simulate_design(design, options);
  EXPECT_EQ(streamed.status, kExitSuccess);
  EXPECT_EQ(report.text, collected.report_text);
  EXPECT_EQ(console.text, collected.console_text);
  EXPECT_TRUE(streamed.report_text.empty());

  Collected refusing;
  refusing.refuse_after = 0;
  options.report_sink = TextSink{collect, &refusing};
  const SimulationResult refused = simulate_design(design, options);
  EXPECT_EQ(refused.status, kExitReportError);
  EXPECT_FALSE(refused.simulated);
  EXPECT_EQ(refused.tally.rej[1], 0) << "the trials ran although the report was refused";

  Collected both;
  options.calibrate_only = true;
  options.report_sink = TextSink{collect, &both};
  options.console_sink = options.report_sink;
  const SimulationResult checked = simulate_design(design, options);
  EXPECT_EQ(checked.status, kExitSuccess);
  EXPECT_FALSE(checked.simulated);
  const std::size_t b_line = both.text.find("The b used in the Haybittle boundary is:");
  const std::size_t estimate = both.text.find("Start simulation, it will take");
  ASSERT_NE(b_line, std::string::npos);
  ASSERT_NE(estimate, std::string::npos);
  EXPECT_LT(b_line, estimate);
  EXPECT_EQ(both.text.find("The output is stored"), std::string::npos);
}

}  // namespace
}  // namespace gsd
