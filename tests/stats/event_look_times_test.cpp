#include "stats/event_look_times.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "model/random_stream.h"
#include "stats/collect_look_data.h"

namespace gsd {
namespace {

constexpr float kNever = std::numeric_limits<float>::infinity();

int events_at(const SimulatedTrial& trial, int n, float T, LookData& data) {
  collect_look_data(trial, n, T, data);
  int events = 0;
  for (int i = 1; i <= data.m; ++i) events += data.event[i];
  return events;
}

TEST(EventObservedTime, TheEventIsCountedFromThere) {
  struct Case {
    const char* what;
    float entry, event, censor;
    float expected;  // kNever: never counted
  };
  const float c = static_cast<float>(0.37 + static_cast<double>(0.026f));
  const Case cases[] = {
      {"exact sum", 2.0f, 3.0f, kNever, 5.0f},
      {"event at the loss to follow-up counts", 2.0f, 3.0f, 3.0f, 5.0f},
      {"event after the loss to follow-up", 2.0f, 3.5f, 3.0f, kNever},
      {"infinite event time", 1.0f, kNever, kNever, kNever},
      {"censoring time zero", 1.0f, 0.0f, 0.0f, kNever},
      {"event at entry: first float after it", 4.0f, 0.0f, kNever, std::nextafter(4.0f, 5.0f)},
      // float(0.396f - 0.37f) falls short of 0.026f: nudged one float up.
      {"rounded sum falls short", 0.37f, 0.026f, kNever, std::nextafter(c, 1.0f)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    EXPECT_EQ(event_observed_time(k.entry, k.event, k.censor), k.expected);
  }
}

struct Trial {
  std::unique_ptr<SimulatedTrial> trial = std::make_unique<SimulatedTrial>();
  std::unique_ptr<LookData> data = std::make_unique<LookData>();
  std::unique_ptr<EventLookScratch> scratch = std::make_unique<EventLookScratch>();
  int n = 0;
  void add(float entry, float event, float censor) {
    ++n;
    trial->entry_time[n] = entry;
    trial->event_time[n] = event;
    trial->censor_time[n] = censor;
    trial->group[n] = static_cast<float>(n % 2);
  }
};

// Six subjects, unsorted; calendar event times 3, 5, 5 (a tie), 9, and two
// subjects whose events are never seen (censored first, no event).
TEST(EventLookTimes, HandWorkedTrial) {
  Trial t;
  t.add(4.0f, 5.0f, kNever);   // event at 9
  t.add(1.0f, 4.0f, 6.0f);     // event at 5
  t.add(0.0f, 8.0f, 2.0f);     // lost at 2 before its event
  t.add(2.0f, 3.0f, 3.0f);     // event at 5, at the end of follow-up
  t.add(0.5f, kNever, kNever); // no event
  t.add(1.0f, 2.0f, 10.0f);    // event at 3
  struct Case {
    const char* what;
    std::vector<int> targets;
    float max_time;
    std::vector<float> expected;
  };
  const Case cases[] = {
      {"every target reached", {1, 2, 3, 4}, 20.0f, {3.0f, 5.0f, 5.0f, 9.0f}},
      {"more targets than events", {2, 5}, 20.0f, {5.0f, 20.0f}},
      {"max_time before the target", {1, 4}, 8.0f, {3.0f, 8.0f}},
      {"target exactly at max_time", {4}, 9.0f, {9.0f}},
      {"max_time before the first event", {1, 2}, 2.5f, {2.5f, 2.5f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int K = static_cast<int>(c.targets.size());
    int targets[kLookCapacity + 1] = {};
    for (int k = 1; k <= K; ++k) targets[k] = c.targets[k - 1];
    float T[kLookCapacity + 1] = {};
    event_look_times(*t.trial, t.n, K, targets, c.max_time, *t.scratch, T);
    for (int k = 1; k <= K; ++k) EXPECT_EQ(T[k], c.expected[k - 1]) << "look " << k;
  }
}

// Random trials of many subjects with entries far larger than some event
// times (so the float rounding of entry + event matters): at each look
// time the data hold at least the target's events, and the look time is
// the rounded k-th calendar event time in exact arithmetic or the float
// just above it.
TEST(EventLookTimes, AgreesWithCollectLookDataOnRandomTrials) {
  SubtractiveGenerator generator;
  int seed = -4711;
  uniform(generator, seed);
  Trial t;
  const int n = 3000;
  int nudged = 0;
  int capped = 0;
  for (int trial_number = 0; trial_number < 5; ++trial_number) {
    t.n = 0;
    std::vector<double> exact;
    for (int i = 1; i <= n; ++i) {
      const float entry = uniform(generator, seed) * 300.0f;
      const float event = -std::log(uniform(generator, seed)) * 20.0f;
      const float censor = -std::log(uniform(generator, seed)) * 60.0f;
      t.add(entry, event, censor);
      if (event <= censor) exact.push_back(static_cast<double>(entry) + event);
    }
    std::sort(exact.begin(), exact.end());
    int targets[kLookCapacity + 1] = {};
    const int K = 15;
    for (int k = 1; k <= K; ++k) targets[k] = 1 + (k - 1) * 150;
    const float max_time = 250.0f;
    float T[kLookCapacity + 1] = {};
    event_look_times(*t.trial, t.n, K, targets, max_time, *t.scratch, T);
    for (int k = 1; k <= K; ++k) {
      SCOPED_TRACE(k);
      const std::size_t rank = static_cast<std::size_t>(targets[k] - 1);
      const float rounded = rank < exact.size() ? static_cast<float>(exact[rank]) : kNever;
      if (rounded > max_time) {
        EXPECT_EQ(T[k], max_time);
        ++capped;
        continue;
      }
      ASSERT_TRUE(T[k] == rounded || T[k] == std::nextafter(rounded, kNever));
      if (T[k] != rounded) ++nudged;
      EXPECT_GE(events_at(*t.trial, t.n, T[k], *t.data), targets[k]);
      // Just before it, fewer events than the target unless the rounding
      // of the calendar time moved an event onto the look time.
      EXPECT_LE(events_at(*t.trial, t.n, std::nextafter(rounded, 0.0f), *t.data), targets[k]);
    }
  }
  EXPECT_GT(nudged, 0);  // the rounding case did occur
  EXPECT_GT(capped, 0);  // and so did targets beyond max_time
}

}  // namespace
}  // namespace gsd
