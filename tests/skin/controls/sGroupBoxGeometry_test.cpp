// Where the group box's caption and frame go.
#include "skin/controls/sGroupBoxGeometry.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TsGroupCaptionMetrics Box(TsGroupCaptionLayout layout, bool rightToLeft = false) {
  TsGroupCaptionMetrics m;
  m.Width = 200;
  m.TextWidth = 40;
  m.TextHeight = 13;
  m.Skinned = true;
  m.Layout = layout;
  m.RightToLeft = rightToLeft;
  return m;
}

TEST(GroupCaption, SitsLeftCentredOrRightAndReadingOrderSwapsTheSides) {
  const struct {
    TsGroupCaptionLayout layout;
    bool rightToLeft;
    int left;
  } rows[] = {{clTopLeft, false, 6},  {clTopCenter, false, 75}, {clTopRight, false, 146},
              {clTopLeft, true, 146}, {clTopCenter, true, 75},  {clTopRight, true, 6}};
  for (const auto& row : rows) {
    const TRect r = GroupCaptionRect(Box(row.layout, row.rightToLeft));
    EXPECT_EQ((TRect{row.left, 0, row.left + 48, 15}), r)
        << "layout " << int(row.layout) << (row.rightToLeft ? " right-to-left" : "");
  }
}

TEST(GroupCaption, TheOffsetLiftsOrLowersOnlyASkinnedCaption) {
  TsGroupCaptionMetrics m = Box(clTopLeft);
  m.YOffset = -5;
  EXPECT_EQ((TRect{6, -5, 54, 10}), GroupCaptionRect(m));
  EXPECT_EQ(0, GroupFrameTop(GroupCaptionRect(m), m.YOffset)) << "frame from the very top";
  m.YOffset = 6;
  EXPECT_EQ((TRect{6, 0, 54, 21}), GroupCaptionRect(m));
  EXPECT_EQ(10, GroupFrameTop(GroupCaptionRect(m), m.YOffset)) << "frame from the middle";
  m.Skinned = false;
  EXPECT_EQ((TRect{6, 0, 54, 15}), GroupCaptionRect(m));
}

TEST(GroupCaption, StaysInsideANarrowBoxAndKeepsATinyTextReadable) {
  TsGroupCaptionMetrics m = Box(clTopRight);
  m.Width = 30;
  const TRect narrow = GroupCaptionRect(m);
  EXPECT_EQ(0, narrow.Left) << "never left of the box";
  EXPECT_EQ(30, narrow.Right) << "never right of it";
  m.TextWidth = 0;
  m.TextHeight = 1;
  m.Width = 200;
  m.BorderWidth = 8;
  const TRect tiny = GroupCaptionRect(m);
  EXPECT_EQ((TRect{178, 0, 202, 6}), tiny) << "widened by the border width, at least 6 high";
}

}  // namespace
}  // namespace kv
