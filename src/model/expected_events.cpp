#include "model/expected_events.h"

#include <algorithm>
#include <cmath>

namespace gsd {

namespace {

// Pieces of a piecewise-constant hazard: piece j covers [start(j),
// start(j+1)), the last one up to infinity.
constexpr int kPieceCapacity = kCurveCapacity + kIntervalCapacity + 2;

struct PiecewiseHazard {
  int n = 0;
  double start[kPieceCapacity] = {};
  double hazard[kPieceCapacity] = {};
  double cumulative[kPieceCapacity] = {};  // cumulative hazard at start(j)
};

void finish(PiecewiseHazard& h) {
  h.cumulative[0] = 0.0;
  for (int j = 1; j < h.n; ++j) {
    h.cumulative[j] = h.cumulative[j - 1] + h.hazard[j - 1] * (h.start[j] - h.start[j - 1]);
  }
}

int piece_of(const PiecewiseHazard& h, double t) {
  int j = 0;
  while (j + 1 < h.n && t >= h.start[j + 1]) ++j;
  return j;
}

double hazard_at(const PiecewiseHazard& h, double t) { return h.hazard[piece_of(h, t)]; }

double survival_at(const PiecewiseHazard& h, double t) {
  if (t <= 0.0) return 1.0;
  const int j = piece_of(h, t);
  return std::exp(-(h.cumulative[j] + h.hazard[j] * (t - h.start[j])));
}

// A design curve: ln S linear between its points, the last hazard beyond.
PiecewiseHazard hazard_of_curve(const SurvivalCurve& c) {
  PiecewiseHazard h;
  for (int j = 1; j <= c.n; ++j) {
    h.start[h.n] = c.x[j - 1];
    h.hazard[h.n] = (std::log(static_cast<double>(c.S[j - 1])) - std::log(static_cast<double>(c.S[j]))) /
                    (static_cast<double>(c.x[j]) - c.x[j - 1]);
    ++h.n;
  }
  finish(h);
  return h;
}

// The baseline hazard times ratio theta(k) on (tau(k-1), tau(k)], 1 beyond.
PiecewiseHazard hazard_of_ratios(const Design& d, const PiecewiseHazard& baseline) {
  double cuts[kPieceCapacity * 2];
  int count = 0;
  for (int j = 0; j < baseline.n; ++j) cuts[count++] = baseline.start[j];
  for (int k = 1; k <= d.interval_count; ++k) cuts[count++] = d.hazard_cutpoints[k];
  std::sort(cuts, cuts + count);
  count = static_cast<int>(std::unique(cuts, cuts + count) - cuts);
  PiecewiseHazard h;
  for (int i = 0; i < count; ++i) {
    const double s = cuts[i];
    int k = 1;
    while (k <= d.interval_count && s >= d.hazard_cutpoints[k]) ++k;
    const double theta = k <= d.interval_count ? static_cast<double>(d.hazard_ratios[k]) : 1.0;
    h.start[h.n] = s;
    h.hazard[h.n] = theta * hazard_at(baseline, s);
    ++h.n;
  }
  finish(h);
  return h;
}

// One group: its own and the other group's event-time hazards, its
// censoring, and its crossover list with the probability c(k) of crossing
// at each entry.
struct GroupModel {
  PiecewiseHazard own;
  PiecewiseHazard other;
  PiecewiseHazard censoring;
  int cross_count = 0;
  double cross_time[kListCapacity + 1] = {};
  double cross_prob[kListCapacity + 1] = {};
  double crossed[kListCapacity + 1] = {};  // P(the subject crosses at entry k)
};

// P(no crossover entry before k was taken | own event time t), times the
// chance p(k) of entry k when t exceeds its time.
double not_crossed_before(const GroupModel& g, int k, double t) {
  double q = 1.0;
  for (int i = 1; i < k; ++i) {
    if (t > g.cross_time[i]) q *= 1.0 - g.cross_prob[i];
  }
  return q;
}

GroupModel group_model(const PiecewiseHazard& own, const PiecewiseHazard& other,
                       const SurvivalCurve& censoring, int count, const float* times,
                       const float* probs) {
  GroupModel g;
  g.own = own;
  g.other = other;
  g.censoring = hazard_of_curve(censoring);
  for (int k = 1; k <= count; ++k) {
    if (!(probs[k] > 0.0f)) continue;
    ++g.cross_count;
    g.cross_time[g.cross_count] = times[k];
    g.cross_prob[g.cross_count] = std::min(1.0, static_cast<double>(probs[k]));
  }
  // The factor of entry k is constant between the sorted crossover times, so
  // c(k) sums own-survival drops over those stretches (the last one to
  // infinity, including any mass never reaching an event).
  double edges[kListCapacity + 2];
  int m = 0;
  for (int k = 1; k <= g.cross_count; ++k) edges[m++] = std::max(0.0, g.cross_time[k]);
  std::sort(edges, edges + m);
  for (int k = 1; k <= g.cross_count; ++k) {
    double c = 0.0;
    for (int e = 0; e < m; ++e) {
      const double lo = edges[e];
      const double hi_survival = e + 1 < m ? survival_at(own, edges[e + 1]) : 0.0;
      const double drop = survival_at(own, lo) - hi_survival;
      const double mid = e + 1 < m ? 0.5 * (lo + edges[e + 1]) : lo + 1.0;
      if (!(mid > g.cross_time[k])) continue;
      c += drop * g.cross_prob[k] * not_crossed_before(g, k, mid);
    }
    g.crossed[k] = c;
  }
  return g;
}

// The density of the subject's event time, crossovers included.
double event_density(const GroupModel& g, double u) {
  double q = 1.0;
  for (int k = 1; k <= g.cross_count; ++k) {
    if (u > g.cross_time[k]) q *= 1.0 - g.cross_prob[k];
  }
  double f = hazard_at(g.own, u) * survival_at(g.own, u) * q;
  for (int k = 1; k <= g.cross_count; ++k) {
    if (!(u > g.cross_time[k])) continue;
    f += g.crossed[k] * hazard_at(g.other, u) * survival_at(g.other, u) /
         survival_at(g.other, g.cross_time[k]);
  }
  return f;
}

// Gauss-Legendre, 8 points on [-1, 1] (Abramowitz & Stegun, Table 25.4).
constexpr double kNodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                              0.9602898564975363};
constexpr double kWeights[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                0.1012285362903763};
constexpr int kSubdivisions = 4;

double group_events(const GroupModel& g, double A, double t) {
  double edges[4 * kPieceCapacity + kListCapacity + 4];
  int m = 0;
  edges[m++] = 0.0;
  edges[m++] = t;
  if (A > 0.0 && t - A > 0.0) edges[m++] = t - A;
  for (int j = 0; j < g.own.n; ++j) edges[m++] = g.own.start[j];
  for (int j = 0; j < g.other.n; ++j) edges[m++] = g.other.start[j];
  for (int j = 0; j < g.censoring.n; ++j) edges[m++] = g.censoring.start[j];
  for (int k = 1; k <= g.cross_count; ++k) edges[m++] = g.cross_time[k];
  std::sort(edges, edges + m);
  double total = 0.0;
  for (int e = 0; e + 1 < m; ++e) {
    const double lo = std::max(0.0, edges[e]);
    const double hi = std::min(t, edges[e + 1]);
    if (!(hi > lo)) continue;
    const double width = (hi - lo) / kSubdivisions;
    for (int s = 0; s < kSubdivisions; ++s) {
      const double centre = lo + (s + 0.5) * width;
      for (int i = 0; i < 4; ++i) {
        for (int sign = -1; sign <= 1; sign += 2) {
          const double u = centre + sign * kNodes[i] * width / 2.0;
          const double entered = A > 0.0 ? std::min(1.0, (t - u) / A) : 1.0;
          total += kWeights[i] * width / 2.0 * event_density(g, u) *
                   survival_at(g.censoring, u) * entered;
        }
      }
    }
  }
  return total;
}

}  // namespace

double expected_events(const Design& d, int subjects, double t) {
  if (!(t > 0.0)) return 0.0;
  const PiecewiseHazard control = hazard_of_curve(d.baseline_curve);
  const PiecewiseHazard treatment =
      uses_hazard_ratios(d) ? hazard_of_ratios(d, control) : hazard_of_curve(d.alternative_curve);
  const GroupModel control_group =
      group_model(control, treatment, d.control_censoring, d.drop_in_count, d.drop_in_times,
                  d.drop_in_probs);
  const GroupModel treatment_group =
      group_model(treatment, control, d.treatment_censoring, d.drop_out_count,
                  d.drop_out_times, d.drop_out_probs);
  const int control_count = subjects / 2;
  const double A = d.accrual_period;
  return control_count * group_events(control_group, A, t) +
         (subjects - control_count) * group_events(treatment_group, A, t);
}

float expected_time_of_target(const Design& d, int subjects, int events, float max_time) {
  const double target = events;
  double hi = max_time;
  if (!(expected_events(d, subjects, hi) > target)) return max_time;
  double lo = 0.0;
  while (hi - lo > 1e-9 * max_time) {
    const double mid = 0.5 * (lo + hi);
    if (expected_events(d, subjects, mid) < target) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return static_cast<float>(hi);
}

}  // namespace gsd
