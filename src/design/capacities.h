#pragma once

// Fixed capacities of every table of the system. Tables are indexed from 1
// (the look-indexed cumulative error from 0), so each array is declared one
// longer than its capacity and entry 0 is the origin or unused.
namespace gsd {

inline constexpr int kLookCapacity = 15;
inline constexpr int kStatCapacity = 5;
inline constexpr int kCurveCapacity = 20;     // points after the origin
inline constexpr int kIntervalCapacity = 20;  // treatment-group intervals m
inline constexpr int kListCapacity = 20;      // drop-in and drop-out entries
inline constexpr int kSubjectCapacity = 7100;
inline constexpr int kReportNameLength = 12;
// Simulated trials per run. Every per-trial count of the run (trials, and
// the rejections and stops of a statistic at a look) is a 32-bit integer;
// this cap keeps each far from overflowing (the trial loop's counter runs
// one past the count). A billion trials of the smallest design take hours.
inline constexpr int kTrialCapacity = 1000000000;

// The random stream's seed offset (the subtractive generator's table starts
// from it minus |seed|); seeds of larger magnitude would take the table out
// of its range, so the design input refuses them.
inline constexpr int kSeedMagnitudeLimit = 161803398;

}  // namespace gsd
