#include "model/group_event_distribution.h"

#include <algorithm>
#include <cmath>

namespace gsd {
namespace {

// Interval i of u (level(i-1) < u <= level(i)); u <= 0 gives 1.
int interval_of(const GroupEventDistribution& g, double u) {
  int i = 1;
  while (i < g.level_count && g.level[i] < u) ++i;
  return i;
}

// Q_k(x) for entry k (0: no crossover), x in [0, 1].
double integral_to(const GroupEventDistribution& g, int k, double x) {
  const int i = interval_of(g, x);
  return g.integral[i - 1][k] + g.chance[i][k] * (x - g.level[i - 1]);
}

}  // namespace

GroupEventDistribution make_group_event_distribution(const Design& design, int group) {
  GroupEventDistribution g;
  const PiecewiseHazard control = make_piecewise_hazard(design.baseline_curve);
  const PiecewiseHazard treatment = make_treatment_hazard(design);
  g.own = group == 0 ? control : treatment;
  g.other = group == 0 ? treatment : control;
  const int K = group == 0 ? design.drop_in_count : design.drop_out_count;
  const float* times = group == 0 ? design.drop_in_times : design.drop_out_times;
  const float* probs = group == 0 ? design.drop_in_probs : design.drop_out_probs;
  g.entry_count = K;

  double own_level[kListCapacity + 1];
  double p[kListCapacity + 1];
  double levels[kListCapacity + 2];
  int count = 0;
  for (int k = 1; k <= K; ++k) {
    g.cross_time[k] = std::max(0.0, static_cast<double>(times[k]));
    p[k] = std::clamp(static_cast<double>(probs[k]), 0.0, 1.0);
    own_level[k] = survival(g.own, g.cross_time[k]);
    levels[count++] = own_level[k];
  }
  levels[count++] = 1.0;
  std::sort(levels, levels + count);
  g.level[0] = 0.0;
  g.level_count = 0;
  for (int i = 0; i < count; ++i) {
    if (levels[i] > g.level[g.level_count]) g.level[++g.level_count] = levels[i];
  }
  for (int i = 1; i <= g.level_count; ++i) {
    // u just below level(i): entry k is examined when u < S_o(a(k)).
    const double top = g.level[i];
    double remaining = 1.0;
    for (int k = 1; k <= K; ++k) {
      const double c = own_level[k] >= top ? remaining * p[k] : 0.0;
      g.chance[i][k] = c;
      remaining -= c;
    }
    g.chance[i][0] = remaining;
    const double width = g.level[i] - g.level[i - 1];
    for (int k = 0; k <= K; ++k) g.integral[i][k] = g.integral[i - 1][k] + g.chance[i][k] * width;
  }
  for (int k = 1; k <= K; ++k) {
    g.other_hazard_at_cross[k] = cumulative_hazard(g.other, g.cross_time[k]);
    const double other_level = std::exp(-g.other_hazard_at_cross[k]);
    g.redrawn[k] = std::max(0.0, integral_to(g, k, 1.0) - integral_to(g, k, other_level));
  }
  return g;
}

double group_survival(const GroupEventDistribution& g, double t) {
  double s = integral_to(g, 0, survival(g.own, t));
  for (int k = 1; k <= g.entry_count; ++k) {
    const double a = g.cross_time[k];
    const double later = std::max(t, a);
    const double other_later = cumulative_hazard(g.other, later);
    s += integral_to(g, k, std::exp(-other_later));
    if (g.redrawn[k] > 0.0) {
      s += g.redrawn[k] * std::exp(g.other_hazard_at_cross[k] - other_later);
    }
  }
  return s;
}

double group_density(const GroupEventDistribution& g, double t) {
  const double own_survival = survival(g.own, t);
  double f = g.chance[interval_of(g, own_survival)][0] * hazard_at(g.own, t) * own_survival;
  const double other_cumulative = cumulative_hazard(g.other, t);
  const double other_survival = std::exp(-other_cumulative);
  const double other_hazard = hazard_at(g.other, t);
  for (int k = 1; k <= g.entry_count; ++k) {
    if (!(t > g.cross_time[k])) continue;
    f += g.chance[interval_of(g, other_survival)][k] * other_hazard * other_survival;
    if (g.redrawn[k] > 0.0) {
      f += g.redrawn[k] * other_hazard * std::exp(g.other_hazard_at_cross[k] - other_cumulative);
    }
  }
  return f;
}

}  // namespace gsd
