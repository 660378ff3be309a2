#include "bounds/update_look_boundaries.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "bounds/last_look_boundary.h"
#include "bounds/normal.h"
#include "bounds/use_function.h"

namespace gsd {
namespace {

constexpr float kNoBoundary = 5.0f;

// One statistic-set of a simulated trial with the statistics it flagged as
// short of v0 collected.
class UpdateLookBoundaries : public ::testing::Test {
 protected:
  // A fresh trial state, for table-driven cases.
  void reset() {
    v0_notes_ = 0;
    design_ = Design{};
    scale_ = InformationScale{};
    tables_ = BoundaryTables{};
    failed_ = 0;
  }

  void set_design(int method, int looks, int sides = 2,
                  UseFunction use_function = UseFunction::kObrienFleming,
                  float b = 0.0f) {
    design_.method_code = method;
    design_.look_count = looks;
    design_.sides = sides;
    design_.use_function_code = static_cast<int>(use_function);
    design_.alpha = 0.05f;
    design_.b = b;
    design_.stat_count = 1;
    for (int j = 1; j <= kStatCapacity; ++j) {
      scale_.v0[j] = 25.0f;
      scale_.v_last[j] = 100.0f;
    }
  }

  // Stores the look's observed information of statistic j, then updates.
  void look(int k, float info, int j = 1) {
    tables_.obs_info[j][k] = info;
    update(k);
  }

  // Updates look k, collecting the statistics flagged as short of v0.
  BoundaryUpdate update(int k) {
    const BoundaryUpdate use = update_look_boundaries(k, design_, scale_, tables_, failed_);
    v0_notes_ |= use.v0_too_large;
    return use;
  }

  // The recursion called directly on information x(1..k) and earlier c.
  float recursion(int k, const float* x, const float* c_before, float ca) {
    float c[kLookCapacity + 1] = {}, cum[kLookCapacity + 1] = {};
    for (int i = 1; i < k; ++i) c[i] = c_before[i];
    cum[k] = ca;
    int failed = -1;
    last_look_boundary(k, x, cum, design_.sides, failed, c);
    EXPECT_EQ(failed, 0);
    return c[k];
  }

  Design design_;
  InformationScale scale_;
  BoundaryTables tables_;
  int failed_ = 0;
  unsigned v0_notes_ = 0;  // bit j: statistic j
};

TEST_F(UpdateLookBoundaries, ObrienFlemingTypeTwoLooks) {
  set_design(2, 2);
  look(1, 50.0f);
  EXPECT_NEAR(tables_.cum_alpha[1], 0.005575f, 1e-6f);
  EXPECT_NEAR(tables_.bound[1][1], 2.7718f, 2e-4f);
  look(2, 100.0f);
  EXPECT_EQ(tables_.cum_alpha[2], 0.05f);
  EXPECT_NEAR(tables_.bound[1][2], 1.9793f, 5e-4f);
  EXPECT_EQ(failed_, 0);
  EXPECT_EQ(v0_notes_, 0u);
}

TEST_F(UpdateLookBoundaries, LastLookSpendsAlphaWhateverTheInformation) {
  // Information short of the plan at the last look: the use function is not
  // consulted there.
  set_design(2, 2, 2, UseFunction::kPocock);
  look(1, 30.0f);
  EXPECT_EQ(tables_.cum_alpha[1], cumulative_alpha(UseFunction::kPocock, 0.05f, 0.3f, 1.2f, 0.0f));
  look(2, 60.0f);
  EXPECT_EQ(tables_.cum_alpha[2], 0.05f);
  const float x[] = {0.0f, 30.0f, 60.0f};
  EXPECT_EQ(tables_.bound[1][2], recursion(2, x, tables_.bound[1], 0.05f));
}

TEST_F(UpdateLookBoundaries, SiegmundUseFunctionTakesTheRatioToV0) {
  set_design(2, 3, 2, UseFunction::kSiegmund, 3.0f);
  look(1, 50.0f);
  EXPECT_EQ(tables_.cum_alpha[1], cumulative_alpha(UseFunction::kSiegmund, 0.05f, 0.5f, 2.0f, 3.0f));
}

TEST_F(UpdateLookBoundaries, NearlyFinalInterimInformationIsAveragedBack) {
  set_design(2, 3);
  look(1, 50.0f);
  const float cum_alpha_2 = tables_.cum_alpha[2];
  look(2, 99.5f);  // u = 0.995
  EXPECT_EQ(tables_.bound[1][2], kNoBoundary);
  EXPECT_EQ(tables_.obs_info[1][2], 74.75f);
  EXPECT_EQ(tables_.cum_alpha[2], cum_alpha_2);
  EXPECT_EQ(failed_, 0);
  // The last look integrates over the replaced information and the 5.0.
  look(3, 100.0f);
  const float x[] = {0.0f, 50.0f, 74.75f, 100.0f};
  EXPECT_EQ(tables_.bound[1][3], recursion(3, x, tables_.bound[1], 0.05f));
}

TEST_F(UpdateLookBoundaries, NearlyFinalFirstLookCountsAsNoInformation) {
  set_design(2, 2);
  look(1, 120.0f);  // beyond v_last: u capped at 1
  EXPECT_EQ(tables_.bound[1][1], kNoBoundary);
  EXPECT_EQ(tables_.obs_info[1][1], 0.0f);
  // Look 1 then carries no information: the last look is a single look.
  look(2, 130.0f);
  EXPECT_NEAR(tables_.bound[1][2], 1.959964f, 2e-6f);
  EXPECT_EQ(failed_, 0);
}

TEST_F(UpdateLookBoundaries, InformationBelowV0) {
  struct Case { int looks; int sides; float expected; unsigned v0_notes; };
  const Case cases[] = {
      {3, 2, 1.959964f, 1u << 1},
      {3, 1, 1.644854f, 1u << 1},
      {1, 2, kNoBoundary, 0u},
  };
  for (const Case& c : cases) {
    reset();
    set_design(2, c.looks, c.sides);
    for (int k = 1; k <= c.looks; ++k) {
      look(k, 5.0f * static_cast<float>(k));  // below v0 = 25 at every look
      if (k < c.looks) {
        EXPECT_EQ(tables_.bound[1][k], kNoBoundary) << "look " << k;
      }
    }
    EXPECT_NEAR(tables_.bound[1][c.looks], c.expected, 2e-6f) << c.looks << " looks";
    EXPECT_EQ(v0_notes_, c.v0_notes) << c.looks << " looks, " << c.sides << " sides";
    EXPECT_EQ(failed_, 0);
  }
}

TEST_F(UpdateLookBoundaries, TheNoteNamesTheStatistic) {
  set_design(1, 2);
  design_.stat_count = 3;
  tables_.cum_alpha[1] = 0.02f;
  tables_.cum_alpha[2] = 0.05f;
  for (int j = 1; j <= 3; ++j) tables_.obs_info[j][1] = 50.0f;
  update(1);
  tables_.obs_info[1][2] = 100.0f;
  tables_.obs_info[2][2] = 20.0f;  // below v0
  tables_.obs_info[3][2] = 100.0f;
  update(2);
  EXPECT_EQ(v0_notes_, 1u << 2);
  EXPECT_NEAR(tables_.bound[2][2], 1.959964f, 2e-6f);
  EXPECT_EQ(tables_.bound[1][2], tables_.bound[3][2]);
  EXPECT_LT(tables_.bound[1][2], tables_.bound[1][1]);
  // Statistics beyond the configured ones are left alone.
  EXPECT_EQ(tables_.bound[4][1], 0.0f);
}

TEST_F(UpdateLookBoundaries, EqualInformationRisesByOneTenThousandth) {
  set_design(1, 2);
  tables_.cum_alpha[1] = 0.01f;
  tables_.cum_alpha[2] = 0.05f;
  look(1, 50.0f);
  look(2, 50.0f);
  EXPECT_EQ(failed_, 0);
  const float x[] = {0.0f, 50.0f, 50.0f + 0.0001f};
  EXPECT_EQ(tables_.bound[1][2], recursion(2, x, tables_.bound[1], 0.05f));
  EXPECT_NE(tables_.bound[1][2], kNoBoundary);
  // Information that falls is raised the same way, from the raised value.
  look(1, 50.0f);
  look(2, 40.0f);
  EXPECT_EQ(tables_.bound[1][2], recursion(2, x, tables_.bound[1], 0.05f));
}

TEST_F(UpdateLookBoundaries, HaybittleInterimLooksTakeB) {
  set_design(3, 3, 2, UseFunction::kObrienFleming, 3.0f);
  look(1, 30.0f);
  look(2, 65.0f);
  EXPECT_EQ(tables_.bound[1][1], 3.0f);
  EXPECT_EQ(tables_.bound[1][2], 3.0f);
  look(3, 100.0f);
  EXPECT_EQ(tables_.cum_alpha[3], 0.05f);
  const float x[] = {0.0f, 30.0f, 65.0f, 100.0f};
  const float c[] = {0.0f, 3.0f, 3.0f};
  EXPECT_EQ(tables_.bound[1][3], recursion(3, x, c, 0.05f));
  EXPECT_GT(tables_.bound[1][3], 1.959964f);
  EXPECT_LT(tables_.bound[1][3], 2.1f);
}

TEST_F(UpdateLookBoundaries, GivenSplitIsUsedUnchanged) {
  set_design(1, 3);
  const float split[] = {0.0f, 0.01f, 0.03f, 0.05f};
  for (int i = 0; i <= 3; ++i) tables_.cum_alpha[i] = split[i];
  look(1, 30.0f);
  look(2, 60.0f);
  look(3, 100.0f);
  int fault = -1;
  EXPECT_EQ(tables_.bound[1][1], normal_quantile(1.0f - 0.01f / 2, fault));
  const float x[] = {0.0f, 30.0f, 60.0f, 100.0f};
  EXPECT_EQ(tables_.bound[1][2], recursion(2, x, tables_.bound[1], 0.03f));
  EXPECT_EQ(tables_.bound[1][3], recursion(3, x, tables_.bound[1], 0.05f));
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(tables_.cum_alpha[i], split[i]) << i;
}

TEST_F(UpdateLookBoundaries, FailureFlagCarriesIntoTheNextTrial) {
  // b = 0.5 at the interim look stops most paths: the last look fails.
  set_design(3, 2, 2, UseFunction::kObrienFleming, 0.5f);
  look(1, 50.0f);
  EXPECT_EQ(tables_.bound[1][1], 0.5f);
  look(2, 100.0f);
  EXPECT_EQ(failed_, 1);
  EXPECT_EQ(tables_.bound[1][2], kNoBoundary);

  // Next trial, b now usable: the interim look still gets 5.0, and only the
  // recursion at the last look, which integrates over that 5.0, clears the
  // flag.
  design_.b = 3.0f;
  look(1, 50.0f);
  EXPECT_EQ(tables_.bound[1][1], kNoBoundary);
  EXPECT_EQ(failed_, 1);
  look(2, 100.0f);
  EXPECT_EQ(failed_, 0);
  const float x[] = {0.0f, 50.0f, 100.0f};
  const float c[] = {0.0f, kNoBoundary};
  EXPECT_EQ(tables_.bound[1][2], recursion(2, x, c, 0.05f));
  // The trial after that gets b again.
  look(1, 50.0f);
  EXPECT_EQ(tables_.bound[1][1], 3.0f);
}

TEST_F(UpdateLookBoundaries, FlagSetByOneStatisticReachesTheNext) {
  // Last look of two. Statistic 1 used 0.5 at look 1, so its recursion
  // fails; statistic 2 is below v0 and gets its value without a recursion,
  // hence 5.0 too; statistic 3's recursion succeeds and clears the flag.
  set_design(2, 2);
  design_.stat_count = 3;
  tables_.bound[1][1] = 0.5f;
  tables_.bound[2][1] = 2.771808f;
  tables_.bound[3][1] = 2.771808f;
  for (int j = 1; j <= 3; ++j) tables_.obs_info[j][1] = 50.0f;
  tables_.obs_info[1][2] = 100.0f;
  tables_.obs_info[2][2] = 20.0f;
  tables_.obs_info[3][2] = 100.0f;
  update(2);
  EXPECT_EQ(tables_.bound[1][2], kNoBoundary);
  EXPECT_EQ(tables_.bound[2][2], kNoBoundary);
  EXPECT_NEAR(tables_.bound[3][2], 1.9793f, 5e-4f);
  EXPECT_EQ(failed_, 0);
  EXPECT_EQ(v0_notes_, 1u << 2);
}

TEST_F(UpdateLookBoundaries, FlagIsNeverClearedWithoutARecursion) {
  set_design(3, 2, 2, UseFunction::kObrienFleming, 3.0f);
  design_.stat_count = 2;
  failed_ = 1;
  tables_.obs_info[1][1] = 50.0f;
  tables_.obs_info[2][1] = 10.0f;  // below v0
  update(1);
  EXPECT_EQ(tables_.bound[1][1], kNoBoundary);
  EXPECT_EQ(tables_.bound[2][1], kNoBoundary);
  EXPECT_EQ(failed_, 1);
}

// What a call reports about the failure flag: whether its failure rule read
// the flag before a recursion of the call set it, and whether one did.
TEST_F(UpdateLookBoundaries, ReportsItsUseOfTheFailureFlag) {
  struct Case {
    const char* name;
    int method, looks, k;
    float info1, info2;  // statistics 1 and 2 at look k (v0 = 25)
    bool read_before_set, set;
  };
  const Case cases[] = {
      {"recursion for both", 2, 3, 1, 50.0f, 50.0f, false, true},
      {"both below v0", 2, 3, 2, 10.0f, 10.0f, true, false},
      {"first below v0, then a recursion", 2, 3, 2, 10.0f, 50.0f, true, true},
      {"a recursion, then below v0", 2, 3, 2, 50.0f, 10.0f, false, true},
      {"nearly final information", 2, 3, 2, 99.5f, 99.5f, true, false},
      {"Haybittle interim look", 3, 3, 2, 50.0f, 50.0f, true, false},
      {"Haybittle last look", 3, 3, 3, 90.0f, 90.0f, false, true},
      {"given split", 1, 3, 2, 10.0f, 10.0f, true, false},
  };
  for (const Case& c : cases) {
    reset();
    set_design(c.method, c.looks, 2, UseFunction::kObrienFleming, 3.0f);
    design_.stat_count = 2;
    for (int i = 0; i <= c.looks; ++i) tables_.cum_alpha[i] = 0.05f * static_cast<float>(i) / static_cast<float>(c.looks);
    for (int j = 1; j <= 2; ++j) {
      for (int i = 1; i < c.k; ++i) {
        tables_.obs_info[j][i] = 20.0f * static_cast<float>(i);
        tables_.bound[j][i] = 3.0f;
      }
    }
    tables_.obs_info[1][c.k] = c.info1;
    tables_.obs_info[2][c.k] = c.info2;
    const BoundaryUpdate use = update(c.k);
    EXPECT_EQ(use.read_before_set, c.read_before_set) << c.name;
    EXPECT_EQ(use.set, c.set) << c.name;
  }
}

}  // namespace
}  // namespace gsd
