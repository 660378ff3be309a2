#include "design/positional_values.h"

#include <string>

#include "text/list_input.h"

namespace gsd {

namespace {

int read_integer(ListReader& reader) {
  int value = 0;
  read_integers(reader, &value, 1, "a count");
  return value;
}

float read_real(ListReader& reader) {
  float value = 0.0f;
  read_reals(reader, &value, 1, "a value");
  return value;
}

// The count a list is read with: the design input's default for a count
// given as 0 (or, where `up_to_zero`, as 0 or less) is 1.
int used_count(int count, bool up_to_zero) {
  return (up_to_zero ? count <= 0 : count == 0) ? 1 : count;
}

}  // namespace

// The layout of read_design, value line by value line: the same comment
// lines are skipped and the same counts bound the lists.
PositionalValues read_positional_values(std::istream& input) {
  ListReader reader(input);
  PositionalValues v;
  skip_lines(reader, 10, "");
  v.method_code = read_integer(reader);
  skip_lines(reader, 2, "");
  std::string name;
  read_text(reader, name, kReportNameLength, "the report name");
  skip_lines(reader, 2, "");
  v.seed = read_integer(reader);
  skip_lines(reader, 2, "");
  v.look_count = read_integer(reader);
  const int K = v.look_count <= 1 ? 1 : v.look_count;
  skip_lines(reader, 2, "");
  read_reals(reader, &v.look_times[1], K, "");
  skip_lines(reader, 2, "");
  v.stat_count = read_integer(reader);
  const int L = used_count(v.stat_count, false);
  skip_lines(reader, 3, "");
  read_reals(reader, &v.rho[1], L, "");
  skip_lines(reader, 2, "");
  read_reals(reader, &v.tau[1], L, "");
  skip_lines(reader, 3, "");
  v.sim_count = read_integer(reader);
  skip_lines(reader, 2, "");
  v.alpha = read_real(reader);
  skip_lines(reader, 2, "");
  v.sides = read_integer(reader);
  skip_lines(reader, 5, "");
  read_reals(reader, &v.error_split[1], K, "");
  skip_lines(reader, 4, "");
  v.b = read_real(reader);
  skip_lines(reader, 6, "");
  read_reals(reader, &v.critical_values[1], K, "");
  skip_lines(reader, 8, "");
  v.use_function_code = read_integer(reader);
  skip_lines(reader, 3, "");
  v.baseline_count = read_integer(reader);
  const int n = used_count(v.baseline_count, false);
  skip_lines(reader, 3, "");
  read_reals(reader, &v.baseline_times[1], n, "");
  skip_lines(reader, 4, "");
  read_reals(reader, &v.baseline_survival[1], n, "");
  skip_lines(reader, 4, "");
  float accrual[2] = {0.0f, 0.0f};
  read_reals(reader, accrual, 2, "");
  v.accrual_period = accrual[0];
  v.accrual_rate = accrual[1];
  skip_lines(reader, 4, "");
  v.interval_count = read_integer(reader);
  const int m = used_count(v.interval_count, true);
  skip_lines(reader, 2, "");
  read_reals(reader, &v.cutpoints[1], m, "");
  skip_lines(reader, 4, "");
  v.alternative_mode = read_real(reader);
  skip_lines(reader, 4, "");
  read_reals(reader, &v.treatment_values[1], m, "");
  for (int group = 0; group < 2; ++group) {
    skip_lines(reader, 4, "");
    v.censoring_count[group] = read_integer(reader);
    const int points = used_count(v.censoring_count[group], true);
    skip_lines(reader, 2, "");
    read_reals(reader, &v.censoring_times[group][1], points, "");
    skip_lines(reader, 2, "");
    read_reals(reader, &v.censoring_survival[group][1], points, "");
  }
  for (int list = 0; list < 2; ++list) {
    skip_lines(reader, list == 0 ? 4 : 3, "");
    v.crossover_count[list] = read_integer(reader);
    const int entries = used_count(v.crossover_count[list], true);
    skip_lines(reader, 1, "");
    read_reals(reader, &v.crossover_times[list][1], entries, "");
    skip_lines(reader, 1, "");
    read_reals(reader, &v.crossover_probs[list][1], entries, "");
  }
  return v;
}

}  // namespace gsd
