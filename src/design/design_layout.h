#pragma once

#include <cstddef>
#include <iterator>

namespace gsd {

// The layout of the positional design file, described once: 145 lines, of
// which the 35 below hold values and every other one is a comment. The
// reader skips to each value line by it, the template's comment blocks are
// checked against it at compile time, and the tests build and inspect design
// files with it.

inline constexpr int kDesignLineCount = 145;

// The value items in file order.
enum class DesignItem {
  kMethodCode,
  kReportName,
  kSeed,
  kLookCount,
  kLookTimes,
  kStatCount,
  kRho,
  kTau,
  kSimCount,
  kAlpha,
  kSides,
  kErrorSplit,
  kB,
  kGivenBounds,
  kUseFunctionCode,
  kBaselineCount,
  kBaselineTimes,
  kBaselineSurvival,
  kAccrual,
  kIntervalCount,
  kCutpoints,
  kAlternativeMode,
  kAlternativeValues,
  kControlCensoringCount,
  kControlCensoringTimes,
  kControlCensoringSurvival,
  kTreatmentCensoringCount,
  kTreatmentCensoringTimes,
  kTreatmentCensoringSurvival,
  kDropInCount,
  kDropInTimes,
  kDropInProbs,
  kDropOutCount,
  kDropOutTimes,
  kDropOutProbs,
};

enum class ItemType { kInteger, kReal, kText };

struct LayoutItem {
  int line;                  // position of the value line when no line continues
  DesignItem item;
  ItemType type;
  const char* values;        // how many values: "1", "2", or the count that sets it
  const char* name;          // as messages name it
  const char* default_text;  // what a 0 (or an empty value) asks for; "" for none
};

inline constexpr LayoutItem kDesignLayout[] = {
    {11, DesignItem::kMethodCode, ItemType::kInteger, "1", "the method code", "2"},
    {14, DesignItem::kReportName, ItemType::kText, "1", "the report name", ""},
    {17, DesignItem::kSeed, ItemType::kInteger, "1", "the seed", "-123457"},
    {20, DesignItem::kLookCount, ItemType::kInteger, "1", "the number of looks K", "1"},
    {23, DesignItem::kLookTimes, ItemType::kReal, "K", "the look times", "last time 10"},
    {26, DesignItem::kStatCount, ItemType::kInteger, "1", "the number of statistics L", "1"},
    {30, DesignItem::kRho, ItemType::kReal, "L", "the rho values", ""},
    {33, DesignItem::kTau, ItemType::kReal, "L", "the tau values", ""},
    {37, DesignItem::kSimCount, ItemType::kInteger, "1", "the number of simulated trials", "1000"},
    {40, DesignItem::kAlpha, ItemType::kReal, "1", "the type-I error", "0.05"},
    {43, DesignItem::kSides, ItemType::kInteger, "1", "the number of sides", "2"},
    {49, DesignItem::kErrorSplit, ItemType::kReal, "K", "the type-I error split e(1..K)",
     "alpha when K = 1"},
    {54, DesignItem::kB, ItemType::kReal, "1", "the constant b", "3"},
    {61, DesignItem::kGivenBounds, ItemType::kReal, "K", "the critical values c(1..K)", "1.96"},
    {70, DesignItem::kUseFunctionCode, ItemType::kInteger, "1", "the use-function code", "1"},
    {74, DesignItem::kBaselineCount, ItemType::kInteger, "1",
     "the number of points of the baseline survival curve", "1"},
    {78, DesignItem::kBaselineTimes, ItemType::kReal, "n",
     "the times of the baseline survival curve", "equally spaced up to 10"},
    {83, DesignItem::kBaselineSurvival, ItemType::kReal, "n",
     "the survival values of the baseline survival curve", "last value 0.00001"},
    {88, DesignItem::kAccrual, ItemType::kReal, "2", "the accrual period and accrual rate",
     "10 each"},
    {93, DesignItem::kIntervalCount, ItemType::kInteger, "1",
     "the number of treatment-group intervals m", "1"},
    {96, DesignItem::kCutpoints, ItemType::kReal, "m", "the treatment-group cut points",
     "equally spaced up to 10"},
    {101, DesignItem::kAlternativeMode, ItemType::kReal, "1", "the treatment-group mode", ""},
    {106, DesignItem::kAlternativeValues, ItemType::kReal, "m",
     "the treatment-group hazard ratios or survival values", "ratio 1; last value 0.00001"},
    {111, DesignItem::kControlCensoringCount, ItemType::kInteger, "1",
     "the number of points of the control group's censoring curve", "1"},
    {114, DesignItem::kControlCensoringTimes, ItemType::kReal, "n",
     "the times of the control group's censoring curve", "equally spaced up to 20"},
    {117, DesignItem::kControlCensoringSurvival, ItemType::kReal, "n",
     "the survival values of the control group's censoring curve", "last value 0.00001"},
    {122, DesignItem::kTreatmentCensoringCount, ItemType::kInteger, "1",
     "the number of points of the treatment group's censoring curve", "1"},
    {125, DesignItem::kTreatmentCensoringTimes, ItemType::kReal, "n",
     "the times of the treatment group's censoring curve", "equally spaced up to 20"},
    {128, DesignItem::kTreatmentCensoringSurvival, ItemType::kReal, "n",
     "the survival values of the treatment group's censoring curve", "last value 0.00001"},
    {133, DesignItem::kDropInCount, ItemType::kInteger, "1", "the number of drop-in entries", "1"},
    {135, DesignItem::kDropInTimes, ItemType::kReal, "K1", "the drop-in times", ""},
    {137, DesignItem::kDropInProbs, ItemType::kReal, "K1", "the drop-in probabilities", ""},
    {141, DesignItem::kDropOutCount, ItemType::kInteger, "1", "the number of drop-out entries",
     "1"},
    {143, DesignItem::kDropOutTimes, ItemType::kReal, "K2", "the drop-out times", ""},
    {145, DesignItem::kDropOutProbs, ItemType::kReal, "K2", "the drop-out probabilities", ""},
};

inline constexpr int kDesignItemCount = static_cast<int>(std::size(kDesignLayout));

constexpr const LayoutItem& layout_of(DesignItem item) {
  return kDesignLayout[static_cast<std::size_t>(item)];
}

// The value line of `item` in a design whose lines all hold what they need.
constexpr int value_line(DesignItem item) { return layout_of(item).line; }

// The comment lines between `item` and the value line before it (or the
// start of the file).
constexpr int comment_lines_before(DesignItem item) {
  const int index = static_cast<int>(item);
  const int previous = index == 0 ? 0 : kDesignLayout[index - 1].line;
  return layout_of(item).line - previous - 1;
}

namespace layout_checks {
constexpr bool in_order() {
  for (int i = 0; i < kDesignItemCount; ++i) {
    if (static_cast<int>(kDesignLayout[i].item) != i) return false;
    if (i > 0 && kDesignLayout[i].line <= kDesignLayout[i - 1].line) return false;
  }
  return kDesignLayout[kDesignItemCount - 1].line == kDesignLineCount;
}
static_assert(in_order(), "the layout lists every item once, in file order, up to line 145");
}  // namespace layout_checks

}  // namespace gsd
