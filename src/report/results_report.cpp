#include "report/results_report.h"

#include <cmath>

#include "design/method.h"
#include "text/edit_output.h"

namespace gsd {

namespace {

void blank_line(std::FILE* report) { std::fputc('\n', report); }

void text_line(std::FILE* report, std::string_view text) {
  Line line;
  put_text(line, text);
  write_line(report, line);
}

// Values as Fw.d each followed by one blank, twelve to a line; the first
// line opens with `lead` blanks, continuation lines with none.
void write_value_rows(std::FILE* report, const float* values, int count, int width, int decimals,
                      int lead) {
  Line line;
  put_blanks(line, lead);
  for (int i = 1; i <= count; ++i) {
    if (i > 1 && (i - 1) % 12 == 0) {
      write_line(report, line);
      line.length = 0;
    } else if (i > 1) {
      put_blanks(line, 1);
    }
    put_fixed(line, values[i], width, decimals);
  }
  write_line(report, line);
}

void write_heading(std::FILE* report, int j) {
  Line line;
  switch (j) {
    case 1: put_text(line, "---------Result of the 1st statistic:-----------"); break;
    case 2: put_text(line, "---------Result of the 2nd statistic:-----------"); break;
    case 3: put_text(line, "---------Result of the 3rd statistic:-----------"); break;
    default:
      put_text(line, "---------Result of the ");
      put_int(line, j, 2);
      put_text(line, "th statistic:-----------");
      break;
  }
  write_line(report, line);
}

// Event-driven looks: per look its calendar time over the trials that
// reached it (mean, least, greatest) and the mean events and subjects in
// its data.
void write_event_look_results(std::FILE* report, const Design& d, const LookTally& looks) {
  text_line(report, "Event-driven looks over the trials that reached them:");
  text_line(report, "look  target  trials   mean time    min time    max time  mean events  "
                    "mean subjects");
  for (int i = 1; i <= d.look_count; ++i) {
    const int reached = looks.reached[i];
    Line line;
    put_int(line, i, 4);
    put_int(line, d.look_events[i], 8);
    put_int(line, reached, 8);
    if (reached > 0) {
      put_fixed(line, looks.time_sum[i] / reached, 12, 3);
      put_fixed(line, looks.time_min[i], 12, 3);
      put_fixed(line, looks.time_max[i], 12, 3);
      put_fixed(line, static_cast<double>(looks.events[i]) / reached, 13, 2);
      put_fixed(line, static_cast<double>(looks.subjects[i]) / reached, 15, 2);
    }
    write_line(report, line);
  }
}

}  // namespace

void write_results(std::FILE* report, const Design& d, const RunTally& tally) {
  const int K = d.look_count;
  blank_line(report);
  Line line;
  put_text(line, "The results of simulation for method:");
  put_int(line, d.method_code, 2);
  write_line(report, line);
  blank_line(report);

  for (int j = 1; j <= d.stat_count; ++j) {
    const StatisticResult result = statistic_result(tally, j, d.sim_count);
    write_heading(report, j);
    line.length = 0;
    put_text(line, "rho =");
    put_fixed(line, d.rho[j], 4, 1);
    put_blanks(line, 3);
    put_text(line, "tau =");
    put_fixed(line, d.tau[j], 4, 1);
    put_blanks(line, 3);
    put_text(line, " power =");
    put_fixed(line, result.power, 6, 4);
    put_blanks(line, 3);
    put_text(line, "s.d. = ");
    put_fixed(line, result.sd, 7, 5);
    write_line(report, line);

    if (has_method(d, Method::kGivenBounds)) {
      text_line(report, "The boundary values in the test are:");
      write_value_rows(report, d.given_bounds, K, 6, 2, 0);
    }
    if (has_method(d, Method::kErrorSplit)) {
      line.length = 0;
      put_text(line, "The type-I error is splitted as e(1),..., e(");
      put_int(line, K, 2);
      put_text(line, "). They are:");
      write_line(report, line);
      float split[kLookCapacity + 1];
      for (int i = 1; i <= K; ++i) split[i] = d.cum_alpha[i] - d.cum_alpha[i - 1];
      write_value_rows(report, split, K, 6, 4, 1);
    }

    line.length = 0;
    put_text(line, "The average stopping time = ");
    put_fixed(line, result.average_stopping_time, 6, 3);
    write_line(report, line);
    blank_line(report);
  }

  if (has_method(d, Method::kHaybittle) && d.b_input < d.b) {
    blank_line(report);
    text_line(report, "********************** Warning ***********************");
    line.length = 0;
    put_text(line, " The b in the input file is");
    put_fixed(line, d.b_input, 6, 2);
    put_text(line, ", which is too small.");
    write_line(report, line);
    line.length = 0;
    put_text(line, "The b used in the simulation is");
    put_fixed(line, d.b, 6, 2);
    put_text(line, ". Please keep ");
    write_line(report, line);
    text_line(report, "this in mind in your considerations.");
    text_line(report, "******************************************************");
  }
  if (uses_event_looks(d)) {
    if (d.method_code == 3 && d.b_input < d.b) blank_line(report);
    write_event_look_results(report, d, tally.looks);
  }
}

}  // namespace gsd
