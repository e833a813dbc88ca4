// The gauge's arithmetic: range rules, percentage, text and geometry.
#include "skin/controls/sGaugeGeometry.h"

#include <gtest/gtest.h>

#include <climits>

#include "base/SysUtils.h"

namespace kv {
namespace {

TEST(GaugeRange, PercentOfWideRangesDoesNotOverflow) {
  const struct {
    int min, max, progress, percent;
  } rows[] = {{0, 0, 0, 0},
              {5, 5, 5, 0},
              {0, INT_MAX, INT_MAX / 2, 50},
              {-INT_MAX, INT_MAX, 0, 50},
              {-INT_MAX, INT_MAX, INT_MAX, 100},
              {INT_MIN, INT_MAX, INT_MIN, 0},
              {0, 8, 1, 12},  // 12.5 rounds to even
              {0, 8, 5, 62}};
  for (const auto& r : rows)
    EXPECT_EQ(r.percent, GaugePercent(r.min, r.max, r.progress))
        << r.progress << " in " << r.min << ".." << r.max;
}

TEST(GaugeRange, LimitsCrossingRaiseOnlyOutsideLoading) {
  TsGaugeRange range{0, 0, 0};
  EXPECT_THROW(range.SetMinValue(1, false), EInvalidOperation);
  EXPECT_THROW(range.SetMaxValue(-1, false), EInvalidOperation);
  EXPECT_EQ(0, range.Percent()) << "an empty range shows 0 %";
  range.SetMinValue(10, true);  // streamed before the maximum
  range.SetMaxValue(20, true);
  EXPECT_EQ(10, range.Progress);
  EXPECT_FALSE(range.SetProgress(5)) << "clamped up to the unchanged minimum";
  EXPECT_TRUE(range.SetProgress(21));
  EXPECT_EQ(20, range.Progress) << "above the maximum clamps";
}

TEST(GaugeText, IsTheNumberAndTheSuffixAsGiven) {
  EXPECT_EQ("47%", GaugeText(47, "%"));
  EXPECT_EQ("100%%", GaugeText(100, "%%"));
  EXPECT_EQ("-3", GaugeText(-3, ""));
}

TEST(GaugeGeometry, BarsFillFromTheirStartEdge) {
  const TRect area{1, 1, 199, 29};
  EXPECT_EQ((TRect{1, 1, 100, 29}), GaugeBarFill(gkHorizontalBar, area, 50));
  EXPECT_EQ((TRect{1, 1, 199, 29}), GaugeBarFill(gkHorizontalBar, area, 100));
  EXPECT_EQ((TRect{1, 15, 199, 29}), GaugeBarFill(gkVerticalBar, area, 50));
  EXPECT_EQ((TRect{1, 2, 199, 29}), GaugeBarFill(gkVerticalBar, area, 100))
      << "a full vertical bar leaves the top row";
  for (TsGaugeKind kind : {gkText, gkPie, gkNeedle})
    EXPECT_EQ(0, GaugeBarFill(kind, area, 50).Width());
}

TEST(GaugeGeometry, PieAndNeedleTurnClockwiseFromTheirStart) {
  const struct {
    int percent;
    TPoint pie, needle;
  } rows[] = {{0, {50, 0}, {0, 29}},
              {25, {100, 15}, {15, 8}},
              {50, {50, 30}, {50, 0}},
              {75, {0, 15}, {85, 8}},
              {100, {50, 0}, {100, 29}}};
  for (const auto& r : rows) {
    EXPECT_EQ(r.pie, GaugePieStart(r.percent, 100, 30)) << r.percent << " %";
    EXPECT_EQ(r.needle, GaugeNeedleEnd(r.percent, 100, 30)) << r.percent << " %";
  }
}

}  // namespace
}  // namespace kv
