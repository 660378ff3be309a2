#pragma once

#include "model/piecewise_hazard.h"
#include "design/capacities.h"
#include "design/design.h"

namespace gsd {

// The event-time distribution of one group's subjects, crossovers included,
// exactly as generate_trial draws it. With S_o, S_x the survival of the
// group's own and the other group's curve and u the subject's uniform:
//   T0 = S_o^-1(u); the list entries k = 1..K are examined in order, entry
//   k only when the current time exceeds a(k) (so T0 > a(k), u < S_o(a(k)));
//   with probability p(k) the subject crosses there and no later entry is
//   examined: the time becomes S_x^-1(u) with the same u when that exceeds
//   a(k) (u < S_x(a(k))), otherwise fresh draws until one exceeds a(k),
//   i.e. a draw from S_x conditioned on T > a(k).
// Given u, the chance P_k(u) of crossing at entry k is a step function of u
// with steps at the levels S_o(a(j)):
//   P_k(u) = p(k) [u < S_o(a(k))] prod_{j<k, u < S_o(a(j))} (1 - p(j)),
// P_none(u) the chance of no crossover. With Q(x) = integral_0^x P(u) du,
//   P(T > t) = Q_none(S_o(t))
//            + sum_k Q_k(S_x(max(t, a_k))) + (Q_k(1) - Q_k(S_x(a_k)))
//                    * S_x(max(t, a_k)) / S_x(a_k),
// the first term of the crossed subjects those whose own u carries them past
// a(k), the second those redrawn. The density is its derivative (below).
// a(k) <= 0 is examined for every subject; p(k) is taken within [0, 1].
struct GroupEventDistribution {
  PiecewiseHazard own;
  PiecewiseHazard other;
  int entry_count = 0;
  double cross_time[kListCapacity + 1] = {};  // a(k), at least 0
  // Levels 0 = level(0) < level(1) < ... < level(count) = 1 of u, and per
  // interval (level(i-1), level(i)] the crossing chance of every entry (0:
  // none) and their integrals Q at the levels.
  int level_count = 0;
  double level[kListCapacity + 2] = {};
  double chance[kListCapacity + 2][kListCapacity + 1] = {};      // [interval i][entry k]
  double integral[kListCapacity + 2][kListCapacity + 1] = {};   // Q_k(level(i))
  // Per entry: Q_k(1) - Q_k(S_x(a(k))), the mass of redrawn subjects, and
  // Lambda_x(a(k)).
  double redrawn[kListCapacity + 1] = {};
  double other_hazard_at_cross[kListCapacity + 1] = {};
};

// group 0: the control group with the drop-in list; 1: the treatment group
// with the drop-out list.
GroupEventDistribution make_group_event_distribution(const Design& design, int group);

// P(T > t) and the density of T at t (t > 0).
double group_survival(const GroupEventDistribution& g, double t);
double group_density(const GroupEventDistribution& g, double t);

}  // namespace gsd
