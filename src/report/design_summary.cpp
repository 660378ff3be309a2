#include "report/design_summary.h"

#include "design/method.h"
#include "text/edit_output.h"

namespace gsd {

namespace {

void text_line(std::FILE* report, std::string_view text) {
  Line line;
  put_text(line, text);
  write_line(report, line);
}

// The pairs (a(k), b(k)), k = first..last, one per line: the first line opens
// with two blanks, every further line with one.
void write_point_list(std::FILE* report, const float* a, const float* b, int first, int last) {
  for (int k = first; k <= last; ++k) {
    Line line;
    put_blanks(line, k == first ? 2 : 1);
    put_text(line, "(");
    put_fixed(line, a[k], 8, 3);
    put_blanks(line, 1);
    put_fixed(line, b[k], 7, 3);
    put_text(line, ")");
    write_line(report, line);
  }
}

void write_curve(std::FILE* report, const SurvivalCurve& curve) {
  write_point_list(report, curve.x, curve.S, 0, curve.n);
}

// "<heading> v(1) v(2) ...": each value as one blank and F8.2.
void write_statistic_parameters(std::FILE* report, std::string_view heading, const float* values,
                                int count) {
  Line line;
  put_text(line, heading);
  for (int j = 1; j <= count; ++j) {
    put_blanks(line, 1);
    put_fixed(line, values[j], 8, 2);
  }
  write_line(report, line);
}

// Event-driven looks: the targets, and what the times of the line before
// them are.
void write_event_targets(std::FILE* report, const Design& d) {
  Line line;
  put_text(line, "Event targets of the looks (both groups) =");
  for (int i = 1; i <= d.look_count; ++i) {
    if (i == 13) {
      write_line(report, line);
      line.length = 0;
    }
    put_int(line, d.look_events[i], 6);
  }
  write_line(report, line);
  text_line(report, "The times above are the expected calendar times of the targets under");
  line.length = 0;
  put_text(line, "the alternative; a look whose target is not reached by max_time =");
  put_fixed(line, d.max_time, 8, 2);
  write_line(report, line);
  text_line(report, "happens then.");
}

}  // namespace

void write_seed_line(std::FILE* report, const Design& design) {
  Line line;
  put_text(line, "The seed = ");
  put_int(line, design.seed, 10);
  write_line(report, line);
}

void write_design_summary(std::FILE* report, const Design& d) {
  Line line;
  put_text(line, "Number of interim analyses = ");
  put_int(line, d.look_count, 2);
  write_line(report, line);

  // Twelve look times fit the first line; the rest continue on a second.
  line.length = 0;
  put_text(line, "Times of the interim analysis = ");
  for (int i = 1; i <= d.look_count; ++i) {
    if (i == 13) {
      write_line(report, line);
      line.length = 0;
    }
    put_blanks(line, 1);
    put_fixed(line, d.look_times[i], 5, 2);
  }
  write_line(report, line);
  if (uses_event_looks(d)) write_event_targets(report, d);

  write_statistic_parameters(report, "The rho(s) of the statistic(s)  = ", d.rho, d.stat_count);
  write_statistic_parameters(report, "The tau(s) of the statistic(s) = ", d.tau, d.stat_count);

  line.length = 0;
  put_text(line, "Accrual period and accrual rate =  ");
  put_fixed(line, d.accrual_period, 7, 2);
  put_blanks(line, 1);
  put_fixed(line, d.accrual_rate, 7, 2);
  write_line(report, line);

  line.length = 0;
  put_text(line, "Type-I error is ");
  put_fixed(line, d.alpha, 5, 3);
  put_text(line, " and ");
  put_int(line, d.sides, 1);
  put_text(line, " sided test has been specified.");
  write_line(report, line);

  write_list_text(report, "(x,S(x)) of the baseline survival function are:");
  write_curve(report, d.baseline_curve);

  if (uses_hazard_ratios(d)) {
    write_list_text(report, "The alternative survival distribution is specified");
    write_list_text(report, "by the hazard ratio to the baseline survival:");
    for (int k = 1; k <= d.interval_count; ++k) {
      line.length = 0;
      put_text(line, " hazard ratio in (");
      put_fixed(line, k == 1 ? d.baseline_curve.x[0] : d.hazard_cutpoints[k - 1], 7, 2);
      put_blanks(line, 1);
      put_fixed(line, d.hazard_cutpoints[k], 7, 2);
      put_text(line, ") is ");
      put_fixed(line, d.hazard_ratios[k], 8, 4);
      write_line(report, line);
    }
  } else {
    write_list_text(report, "(x,S(x)) of the alternative survival function are:");
    write_curve(report, d.alternative_curve);
  }

  text_line(report, " Censoring survival function for the control group are:");
  write_curve(report, d.control_censoring);
  text_line(report, " Censoring survival function for the treatment group are:");
  write_curve(report, d.treatment_censoring);

  write_list_text(report, "The drop-in rate(s) are:");
  write_point_list(report, d.drop_in_times, d.drop_in_probs, 1, d.drop_in_count);
  write_list_text(report, "The drop-out rate(s) are:");
  write_point_list(report, d.drop_out_times, d.drop_out_probs, 1, d.drop_out_count);

  if (has_method(d, Method::kUseFunction)) {
    switch (use_function_of(d)) {
      case UseFunction::kObrienFleming:
        write_list_text(report, "The OBrien & Fleming use function is specified.");
        break;
      case UseFunction::kPocock:
        write_list_text(report, "The Pocock use function is specifieisd.");
        break;
      case UseFunction::kLinear:
        write_list_text(report, "The linear use function is specified.");
        break;
      case UseFunction::kSiegmund:
        write_list_text(report, "The Siegmund (Haybittle-type) use function is");
        line.length = 0;
        start_list_line(line);
        put_text(line, "specified. The b used is:");
        put_list_real(line, d.b);
        write_line(report, line);
        break;
    }
  }
}

}  // namespace gsd
