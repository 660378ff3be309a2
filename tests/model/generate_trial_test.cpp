#include "model/generate_trial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "support/curve_points.h"
#include "model/hazard_ratio_curve.h"
#include "model/survival_curve.h"

namespace gsd {
namespace {

using testing::curve_of;

// The design of the worked example: every curve the single point (1, 0.5),
// accrual period 10, one drop-in and one drop-out at time 5, probability 0.
Design worked_example_design() {
  Design design;
  design.accrual_period = 10.0f;
  design.accrual_rate = 0.2f;
  design.alternative_mode = 1.0f;
  design.interval_count = 1;
  design.hazard_cutpoints[1] = 1.0f;
  design.baseline_curve = curve_of({{1.0f, 0.5f}});
  design.alternative_curve = curve_of({{1.0f, 0.5f}});
  design.control_censoring = curve_of({{1.0f, 0.5f}});
  design.treatment_censoring = curve_of({{1.0f, 0.5f}});
  design.drop_in_count = 1;
  design.drop_in_times[1] = 5.0f;
  design.drop_in_probs[1] = 0.0f;
  design.drop_out_count = 1;
  design.drop_out_times[1] = 5.0f;
  design.drop_out_probs[1] = 0.0f;
  return design;
}

// The run's stream after the driver has discarded its first number, and a
// second copy to replay the numbers a trial should have used.
struct Streams {
  SubtractiveGenerator generator;
  int seed = -123457;
  SubtractiveGenerator replay;
  int replay_seed = -123457;
  Streams() {
    uniform(generator, seed);
    uniform(replay, replay_seed);
  }
  float next_replayed() { return uniform(replay, replay_seed); }
  // Whether the run's stream has consumed exactly `draws` numbers since the
  // replay copy was last in step with it.
  bool consumed(int draws) {
    for (int i = 0; i < draws; ++i) next_replayed();
    SubtractiveGenerator a = generator;
    int seed_a = seed;
    return draw_integer(a, seed_a) == draw_integer(replay, replay_seed) &&
           draw_integer(a, seed_a) == draw_integer(replay, replay_seed);
  }
};

void expect_single(float actual, float expected, const char* what) {
  EXPECT_NEAR(actual, expected, 6e-7f * std::fabs(expected)) << what;
}

TEST(GenerateTrial, WorkedExample) {
  const Design design = worked_example_design();
  Streams streams;
  SimulatedTrial trial;
  const GenerationStatus status =
      generate_trial(design, 2, streams.generator, streams.seed, trial);
  ASSERT_TRUE(status.ok);
  expect_single(trial.entry_time[1], 0.9234060f, "entry 1");
  expect_single(trial.event_time[1], 0.008538703f, "event 1");
  expect_single(trial.censor_time[1], 0.5799672f, "censor 1");
  EXPECT_EQ(trial.group[1], 0.0f);
  expect_single(trial.entry_time[2], 9.175131f, "entry 2");
  expect_single(trial.event_time[2], 2.232600f, "event 2");
  expect_single(trial.censor_time[2], 0.06905291f, "censor 2");
  EXPECT_EQ(trial.group[2], 1.0f);
  EXPECT_TRUE(streams.consumed(6));  // numbers 2 to 7
}

TEST(GenerateTrial, GroupsFollowTheSubjectCount) {
  Design design = worked_example_design();
  design.drop_in_times[1] = 1e30f;  // no decision draws: three numbers a subject
  design.drop_out_times[1] = 1e30f;
  design.alternative_curve = curve_of({{1.0f, 0.8f}});  // tell the groups apart
  struct Case { int count; std::vector<float> groups; };
  const Case cases[] = {{0, {}}, {1, {1.0f}}, {5, {0.0f, 0.0f, 1.0f, 1.0f, 1.0f}}};
  for (const Case& c : cases) {
    Streams streams;
    SimulatedTrial trial;
    ASSERT_TRUE(generate_trial(design, c.count, streams.generator, streams.seed, trial).ok);
    for (int i = 1; i <= c.count; ++i) {
      EXPECT_EQ(trial.group[i], c.groups[i - 1]) << "count " << c.count << " subject " << i;
      const float entry = streams.next_replayed();
      const float u = streams.next_replayed();
      const float w = streams.next_replayed();
      const bool treatment = c.groups[i - 1] == 1.0f;
      EXPECT_EQ(trial.entry_time[i], entry * 10.0f);
      EXPECT_EQ(trial.event_time[i],
                time_at_survival(treatment ? design.alternative_curve : design.baseline_curve, u));
      EXPECT_EQ(trial.censor_time[i], time_at_survival(treatment ? design.treatment_censoring
                                                                 : design.control_censoring, w));
    }
    EXPECT_TRUE(streams.consumed(0)) << "count " << c.count;
  }
}

TEST(GenerateTrial, DecisionDrawsAreConsumedAtProbabilityZero) {
  Design design = worked_example_design();
  // Two drop-in times every positive event time exceeds, one it never does.
  design.drop_in_count = 3;
  design.drop_in_times[1] = 0.0f;
  design.drop_in_times[2] = 0.0f;
  design.drop_in_times[3] = 1e30f;
  design.drop_in_probs[1] = design.drop_in_probs[2] = design.drop_in_probs[3] = 0.0f;
  design.drop_out_times[1] = 0.0f;
  Streams streams;
  SimulatedTrial trial;
  ASSERT_TRUE(generate_trial(design, 2, streams.generator, streams.seed, trial).ok);
  // Control: entry, u, two decision draws, censoring; treatment: entry, u,
  // one decision draw, censoring.
  const float n[10] = {0, streams.next_replayed(), streams.next_replayed(),
                       streams.next_replayed(), streams.next_replayed(),
                       streams.next_replayed(), streams.next_replayed(),
                       streams.next_replayed(), streams.next_replayed(),
                       streams.next_replayed()};
  EXPECT_EQ(trial.entry_time[1], n[1] * 10.0f);
  EXPECT_EQ(trial.event_time[1], time_at_survival(design.baseline_curve, n[2]));
  EXPECT_EQ(trial.censor_time[1], time_at_survival(design.control_censoring, n[5]));
  EXPECT_EQ(trial.entry_time[2], n[6] * 10.0f);
  EXPECT_EQ(trial.event_time[2], time_at_survival(design.alternative_curve, n[7]));
  EXPECT_EQ(trial.censor_time[2], time_at_survival(design.treatment_censoring, n[9]));
  EXPECT_TRUE(streams.consumed(0));
}

TEST(GenerateTrial, CrossoverAtEntryUsesTheOtherCurveAtTheOwnDraw) {
  Design design = worked_example_design();
  design.alternative_curve = curve_of({{1.0f, 0.8f}});
  design.drop_in_times[1] = 0.0f;
  design.drop_in_probs[1] = 1.0f;
  design.drop_out_times[1] = 0.0f;
  design.drop_out_probs[1] = 1.0f;
  // After a crossover later entries are not examined: no second decision.
  design.drop_in_count = design.drop_out_count = 2;
  design.drop_in_times[2] = design.drop_out_times[2] = 0.0f;
  design.drop_in_probs[2] = design.drop_out_probs[2] = 1.0f;
  Streams streams;
  SimulatedTrial trial;
  ASSERT_TRUE(generate_trial(design, 4, streams.generator, streams.seed, trial).ok);
  for (int i = 1; i <= 4; ++i) {
    streams.next_replayed();  // entry
    const float u = streams.next_replayed();
    streams.next_replayed();  // decision, always <= 1
    streams.next_replayed();  // censoring
    const SurvivalCurve& other = i <= 2 ? design.alternative_curve : design.baseline_curve;
    EXPECT_EQ(trial.event_time[i], time_at_survival(other, u)) << "subject " << i;
  }
  EXPECT_TRUE(streams.consumed(0));
}

TEST(GenerateTrial, EventAtTheListedTimeIsNotCheckedForCrossover) {
  Design design = worked_example_design();
  Streams streams;
  SimulatedTrial trial;
  streams.next_replayed();
  const float event = time_at_survival(design.baseline_curve, streams.next_replayed());
  design.drop_in_times[1] = event;  // not exceeded: no decision draw
  design.drop_in_probs[1] = 1.0f;
  ASSERT_TRUE(generate_trial(design, 2, streams.generator, streams.seed, trial).ok);
  EXPECT_EQ(trial.event_time[1], event);
  EXPECT_EQ(trial.censor_time[1],
            time_at_survival(design.control_censoring, streams.next_replayed()));
}

TEST(GenerateTrial, CrossoverRedrawsUntilPastTheCrossoverTime) {
  // Control subjects live long; after a drop-in at 2 the treatment curve
  // rarely gets past 2 (S = 1e-4 there), so about 10^4 redraws are needed.
  Design design = worked_example_design();
  design.baseline_curve = curve_of({{1.0f, 0.999f}});
  design.alternative_curve = curve_of({{1.0f, 0.01f}});
  design.drop_in_times[1] = 2.0f;
  design.drop_in_probs[1] = 1.0f;
  Streams streams;
  SimulatedTrial trial;
  ASSERT_TRUE(generate_trial(design, 2, streams.generator, streams.seed, trial).ok);

  streams.next_replayed();  // entry
  const float u = streams.next_replayed();
  ASSERT_GT(time_at_survival(design.baseline_curve, u), 2.0f);  // a decision is drawn
  streams.next_replayed();  // decision
  float crossed = time_at_survival(design.alternative_curve, u);
  int redraws = 0;
  while (!(crossed > 2.0f)) {
    crossed = time_at_survival(design.alternative_curve, streams.next_replayed());
    ++redraws;
  }
  EXPECT_GT(redraws, 100);
  EXPECT_EQ(trial.event_time[1], crossed);
  EXPECT_EQ(trial.censor_time[1], time_at_survival(design.control_censoring, streams.next_replayed()));
  EXPECT_EQ(trial.entry_time[2], streams.next_replayed() * 10.0f);
}

TEST(GenerateTrial, TreatmentInverseFollowsTheAlternativeMode) {
  Design design = worked_example_design();
  design.alternative_mode = 2.0f;
  design.interval_count = 1;
  design.hazard_cutpoints[1] = 2.0f;
  design.hazard_ratios[1] = 0.5f;
  Streams streams;
  SimulatedTrial trial;
  ASSERT_TRUE(generate_trial(design, 1, streams.generator, streams.seed, trial).ok);
  streams.next_replayed();
  const float u = streams.next_replayed();
  EXPECT_EQ(trial.event_time[1],
            time_at_survival(make_hazard_ratio_curve(design), u));
  EXPECT_NE(trial.event_time[1], time_at_survival(design.alternative_curve, u));
}

TEST(GenerateTrial, RunawayCrossoverStopsWithItsListEntry) {
  // The other group's curve falls to 1e-5 per time unit: getting past time
  // 5 needs u below 1e-25, which the stream (almost) never gives.
  struct Case { int count; CrossoverList list; };
  for (const Case c : {Case{2, CrossoverList::kDropIn}, Case{1, CrossoverList::kDropOut}}) {
    Design design = worked_example_design();
    design.baseline_curve = curve_of({{1.0f, 0.999f}});
    design.alternative_curve = curve_of({{1.0f, 0.999f}});
    const bool drop_in = c.list == CrossoverList::kDropIn;
    (drop_in ? design.alternative_curve : design.baseline_curve) = curve_of({{1.0f, 0.00001f}});
    int& count = drop_in ? design.drop_in_count : design.drop_out_count;
    float* times = drop_in ? design.drop_in_times : design.drop_out_times;
    float* probs = drop_in ? design.drop_in_probs : design.drop_out_probs;
    count = 2;
    times[1] = 1e30f;  // never exceeded
    probs[1] = 1.0f;
    times[2] = 5.0f;
    probs[2] = 1.0f;
    Streams streams;
    SimulatedTrial trial;
    const GenerationStatus status =
        generate_trial(design, c.count, streams.generator, streams.seed, trial);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.list, c.list);
    EXPECT_EQ(status.index, 2);
    EXPECT_EQ(status.time, 5.0f);
    // entry, u, decision, then exactly the bound of redraws.
    EXPECT_TRUE(streams.consumed(3 + kCrossoverRedrawLimit));
  }
}

TEST(GenerateTrial, SubjectCountTruncatesTheFloatProduct) {
  struct Case { float rate, period; int expected; };
  const Case cases[] = {{0.7f, 10.0f, 7}, {199.99f, 1.0f, 199}, {20.0f, 10.0f, 200},
                        {0.0f, 10.0f, 0}, {3.0e9f, 1.0f, 2147483647}};
  for (const Case& c : cases) {
    Design design;
    design.accrual_rate = c.rate;
    design.accrual_period = c.period;
    EXPECT_EQ(subject_count(design), c.expected) << c.rate << " * " << c.period;
  }
}

}  // namespace
}  // namespace gsd
