#include "report/calibration_report.h"

#include "design/method.h"
#include "text/edit_output.h"

namespace gsd {

namespace {

void rule(std::FILE* report, int width) {
  Line line;
  for (int i = 0; i < width; ++i) put_text(line, "-");
  write_line(report, line);
}

const char* ordinal_suffix(int j) {
  switch (j) {
    case 1: return "st statistic are:";
    case 2: return "nd statistic are:";
    case 3: return "rd statistic are:";
    default: return "th statistic are:";
  }
}

void write_haybittle_constants(std::FILE* report, float b, float c) {
  Line line;
  start_list_line(line);
  put_text(line, "The b used in the Haybittle boundary is:");
  put_list_real(line, b);
  write_line(report, line);
  line.length = 0;
  put_text(line, "The c based on the asymptotic null distribution:");
  put_fixed(line, c, 6, 2);
  write_line(report, line);
}

void write_null_variances(std::FILE* report, const float* V, int K) {
  write_list_text(report, "The variance under the null are:");
  Line line;
  put_blanks(line, 1);
  for (int i = 1; i <= K; ++i) {
    if (i > 1) put_blanks(line, 2);
    put_fixed(line, V[i], 7, 2);
  }
  write_line(report, line);
}

// Event-driven looks: which single time stands for each look in the
// calibration.
void announce_expected_look_times(const Design& d, std::FILE* console) {
  write_list_text(console, "Event-driven looks: the null variances are taken at the expected");
  write_list_text(console, "calendar times of the event targets under the alternative:");
  for (int i = 1; i <= d.look_count; ++i) {
    Line line;
    put_text(line, " look");
    put_int(line, i, 3);
    put_text(line, ":");
    put_int(line, d.look_events[i], 7);
    put_text(line, " events expected at");
    put_fixed(line, d.look_times[i], 10, 3);
    if (d.look_times[i] == d.max_time) put_text(line, " (max_time: fewer expected by then)");
    write_line(console, line);
  }
}

}  // namespace

void write_calibration(std::FILE* report, std::FILE* console, const Design& d,
                       const Calibration& calibration, bool announce) {
  if (uses_event_looks(d)) announce_expected_look_times(d, console);
  rule(report, 50);
  Line line;
  put_text(line, "The total number of subjects simulated =");
  put_int(line, calibration.subject_count, 5);
  write_line(report, line);
  line.length = 0;
  put_text(line, "The number of simulations = ");
  put_int(line, d.sim_count, 8);
  write_line(report, line);

  const int last = calibration.stopped_at > 0 ? calibration.stopped_at : d.stat_count;
  for (int j = 1; j <= last; ++j) {
    rule(report, 55);
    line.length = 0;
    put_text(line, "Pre-simulation information for the");
    put_int(line, j, 2);
    put_text(line, ordinal_suffix(j));
    write_line(report, line);
    for (int r = 0; r < calibration.b_raises[j]; ++r) {
      write_list_text(console, "b is too small.  I will increase b by 0.1");
    }
    if (j == calibration.stopped_at) return;
    if (has_method(d, Method::kHaybittle)) {
      write_haybittle_constants(report, calibration.haybittle_b[j], calibration.haybittle_c_of[j]);
    }
    write_null_variances(report, calibration.null_variance[j], d.look_count);
  }
  for (int r = 0; r < calibration.siegmund_raises; ++r) {
    write_list_text(console, "The present b is too small.");
    write_list_text(console, "I will increase b by 0.1.");
  }

  line.length = 0;
  put_text(line, "Start simulation, it will take approximately");
  put_fixed(line, run_time_estimate(d, calibration.subject_count), 7, 2);
  put_text(line, " min");
  write_line(console, line);
  line.length = 0;
  put_text(line, "on a PC equiped with a P-II 300 processor.");
  write_line(console, line);
  if (!announce) return;
  write_list_text(console, "The output is stored in the file named below:");
  write_list_text(console, d.report_name);
  rule(report, 55);
}

}  // namespace gsd
