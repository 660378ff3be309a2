#pragma once

#include "design/design.h"

namespace gsd {

// Expected number of events observed by calendar time t (from the start of
// accrual) in a trial of `subjects` subjects of `design`, under the
// design's alternative: subjects/2 (truncated) control subjects and the
// rest treatment subjects, entering uniformly over the accrual period (all
// at time 0 when it is 0); a subject's event counts when it comes no later
// than its loss to follow-up and by t:
//   E(t) = sum over groups g of n_g * integral over [0, t] of
//          f_g(u) * G_g(u) * P(entry <= t - u) du,
// f_g the density of the group's event time, G_g its censoring survival.
// Curves are piecewise exponential as in the simulation; treatment hazard
// ratios multiply the baseline hazard (1 beyond the last cut point).
//
// Crossover is approximated: a subject crosses at entry k of its list with
// the probability the simulation gives it (its own event time beyond the
// crossover time, that entry's probability, no earlier entry taken), and a
// crossed subject's event time then follows the other group's curve
// conditioned on exceeding the crossover time. The simulation draws that
// time from the same uniform as the subject's own time first, which couples
// the two; the approximation ignores the coupling.
//
// Computed in double by Gauss-Legendre quadrature on the pieces between
// every breakpoint of the curves (relative error far below 1e-6 for
// designs of ordinary scale). t <= 0 gives 0.
double expected_events(const Design& design, int subjects, double t);

// The calendar time at which expected_events reaches `events`, found by
// bisection on [0, max_time] to a width of 1e-9 * max_time; max_time when
// the expected events at max_time fall short of the target. Rounded to
// float. Preconditions: events >= 1, max_time > 0.
float expected_time_of_target(const Design& design, int subjects, int events, float max_time);

}  // namespace gsd
