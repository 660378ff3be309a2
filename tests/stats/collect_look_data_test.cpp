#include "stats/collect_look_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace gsd {
namespace {

constexpr float kNever = std::numeric_limits<float>::infinity();

class CollectLookData : public ::testing::Test {
 protected:
  void set_subject(int i, float entry, float event, float censor, float group) {
    trial_->entry_time[i] = entry;
    trial_->event_time[i] = event;
    trial_->censor_time[i] = censor;
    trial_->group[i] = group;
  }

  std::unique_ptr<SimulatedTrial> trial_ = std::make_unique<SimulatedTrial>();
  std::unique_ptr<LookData> data_ = std::make_unique<LookData>();
};

TEST_F(CollectLookData, OneSubjectAtALook) {
  const float just_before_5 = std::nextafter(5.0f, 0.0f);
  struct Case {
    const char* what;
    float entry, event, censor, look;
    bool present;
    float obs_time;
    int event_flag;
  };
  const Case cases[] = {
      {"entry at the look time", 5.0f, 1.0f, kNever, 5.0f, false, 0, 0},
      {"entry after the look time", 6.0f, 0.5f, kNever, 5.0f, false, 0, 0},
      {"entry just before, event later", just_before_5, 1.0f, kNever, 5.0f, true,
       5.0f - just_before_5, 0},
      {"entry just before, event at once", just_before_5, 0.0f, kNever, 5.0f, true, 0.0f, 1},
      {"event before the look", 1.0f, 2.5f, kNever, 10.0f, true, 2.5f, 1},
      {"event after the look", 1.0f, 9.5f, kNever, 10.0f, true, 9.0f, 0},
      {"event exactly at the end of follow-up", 2.0f, 3.0f, kNever, 5.0f, true, 3.0f, 1},
      {"infinite event time", 0.0f, kNever, kNever, 1.0e6f, true, 1.0e6f, 0},
      {"censoring caps the follow-up", 1.0f, 8.0f, 3.0f, 10.0f, true, 3.0f, 0},
      {"censoring equal to the event time", 0.0f, 3.0f, 3.0f, 10.0f, true, 3.0f, 1},
      {"censoring after the look", 1.0f, 9.5f, 12.0f, 10.0f, true, 9.0f, 0},
      {"infinite event, finite censoring", 1.0f, kNever, 2.0f, 10.0f, true, 2.0f, 0},
      {"censoring time zero", 1.0f, 0.5f, 0.0f, 10.0f, false, 0, 0},
      {"negative censoring time", 1.0f, 0.5f, -1.0f, 10.0f, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    set_subject(1, c.entry, c.event, c.censor, 1.0f);
    data_->m = 99;  // must be rebuilt from 0
    collect_look_data(*trial_, 1, c.look, *data_);
    ASSERT_EQ(data_->m, c.present ? 1 : 0);
    if (c.present) {
      EXPECT_EQ(data_->obs_time[1], c.obs_time);
      EXPECT_EQ(data_->event[1], c.event_flag);
      EXPECT_EQ(data_->group[1], 1.0f);
    }
  }
}

// The follow-up is the single-precision difference. Here it rounds upward,
// so an event time equal to it is reached, although it lies beyond the exact
// difference of the two times.
TEST_F(CollectLookData, FollowUpIsHeldInSinglePrecision) {
  const float entry = 0.1f;
  const float look = 1000.0f;
  const float follow_up = look - entry;
  ASSERT_GT(static_cast<double>(follow_up),
            static_cast<double>(look) - static_cast<double>(entry));

  set_subject(1, entry, follow_up, kNever, 0.0f);
  collect_look_data(*trial_, 1, look, *data_);
  ASSERT_EQ(data_->m, 1);
  EXPECT_EQ(data_->event[1], 1);
  EXPECT_EQ(data_->obs_time[1], follow_up);

  set_subject(1, entry, std::nextafter(follow_up, kNever), kNever, 0.0f);
  collect_look_data(*trial_, 1, look, *data_);
  ASSERT_EQ(data_->m, 1);
  EXPECT_EQ(data_->event[1], 0);
  EXPECT_EQ(data_->obs_time[1], follow_up);
}

// Entries keep subject order, absent subjects leave no gap, and every call
// rebuilds the data from nothing.
TEST_F(CollectLookData, EntriesInSubjectOrder) {
  set_subject(1, 0.0f, 4.0f, kNever, 0.0f);  // event at 4
  set_subject(2, 7.0f, 1.0f, kNever, 0.0f);  // enters after look 1
  set_subject(3, 2.0f, kNever, 1.5f, 0.0f);  // censored at 1.5
  set_subject(4, 1.0f, 0.5f, kNever, 1.0f);  // event at 0.5
  set_subject(5, 6.0f, 9.0f, kNever, 1.0f);  // at look 1 at the look time
  set_subject(6, 3.0f, 8.0f, 2.0f, 1.0f);    // censored at 2

  collect_look_data(*trial_, 6, 6.0f, *data_);
  const float look1_obs[] = {4.0f, 1.5f, 0.5f, 2.0f};
  const float look1_group[] = {0.0f, 0.0f, 1.0f, 1.0f};
  const int look1_event[] = {1, 0, 1, 0};
  ASSERT_EQ(data_->m, 4);
  for (int j = 1; j <= 4; ++j) {
    EXPECT_EQ(data_->obs_time[j], look1_obs[j - 1]) << "entry " << j;
    EXPECT_EQ(data_->group[j], look1_group[j - 1]) << "entry " << j;
    EXPECT_EQ(data_->event[j], look1_event[j - 1]) << "entry " << j;
  }

  collect_look_data(*trial_, 6, 9.0f, *data_);
  const float look2_obs[] = {4.0f, 1.0f, 1.5f, 0.5f, 3.0f, 2.0f};
  const int look2_event[] = {1, 1, 0, 1, 0, 0};
  ASSERT_EQ(data_->m, 6);
  for (int j = 1; j <= 6; ++j) {
    EXPECT_EQ(data_->obs_time[j], look2_obs[j - 1]) << "entry " << j;
    EXPECT_EQ(data_->event[j], look2_event[j - 1]) << "entry " << j;
  }

  collect_look_data(*trial_, 6, 0.0f, *data_);
  EXPECT_EQ(data_->m, 0);
}

}  // namespace
}  // namespace gsd
