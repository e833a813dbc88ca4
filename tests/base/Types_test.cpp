#include "base/Types.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Types, RectangleSizesAndEmptinessFollowWin32) {
  const TRect r = Bounds(10, 20, 30, 40);
  EXPECT_EQ(r, Rect(10, 20, 40, 60));
  EXPECT_EQ(r.Width(), 30);
  EXPECT_EQ(r.Height(), 40);
  EXPECT_EQ(Rect(10, 0, 5, 1).Width(), -5);
  EXPECT_FALSE(IsRectEmpty(r));
  EXPECT_TRUE(IsRectEmpty(Rect(0, 0, 0, 5)));
  EXPECT_TRUE(IsRectEmpty(Rect(10, 0, 5, 5)));  // inverted
  EXPECT_EQ(CenterPoint(Rect(0, 0, 11, 4)), Point(5, 2));
}

TEST(Types, PointsOnTheRightAndBottomEdgesAreOutside) {
  const TRect r = Rect(0, 0, 10, 10);
  EXPECT_TRUE(PtInRect(r, Point(0, 0)));
  EXPECT_TRUE(PtInRect(r, Point(9, 9)));
  EXPECT_FALSE(PtInRect(r, Point(10, 5)));
  EXPECT_FALSE(PtInRect(r, Point(5, 10)));
  EXPECT_FALSE(PtInRect(r, Point(-1, 5)));
}

TEST(Types, IntersectionIsZeroWhenRectanglesDoNotMeet) {
  TRect out = Rect(1, 2, 3, 4);
  EXPECT_TRUE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
  EXPECT_EQ(out, Rect(5, 5, 10, 10));
  EXPECT_FALSE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));  // touching
  EXPECT_EQ(out, TRect{});
  TRect self = Rect(0, 0, 10, 10);
  EXPECT_TRUE(IntersectRect(self, self, Rect(2, 2, 4, 4)));  // dst may be a source
  EXPECT_EQ(self, Rect(2, 2, 4, 4));
}

TEST(Types, UnionIgnoresEmptyRectangles) {
  TRect out;
  EXPECT_TRUE(UnionRect(out, Rect(0, 0, 5, 5), Rect(10, 10, 20, 15)));
  EXPECT_EQ(out, Rect(0, 0, 20, 15));
  EXPECT_TRUE(UnionRect(out, Rect(100, 100, 100, 200), Rect(1, 1, 2, 2)));
  EXPECT_EQ(out, Rect(1, 1, 2, 2));
  EXPECT_FALSE(UnionRect(out, TRect{}, Rect(5, 5, 5, 5)));
  EXPECT_EQ(out, TRect{});
}

TEST(Types, OffsetInflateAndSubtractMoveTheEdges) {
  TRect r = Rect(0, 0, 10, 10);
  OffsetRect(r, 5, -5);
  EXPECT_EQ(r, Rect(5, -5, 15, 5));
  InflateRect(r, -2, 3);
  EXPECT_EQ(r, Rect(7, -8, 13, 8));
  TRect out;
  EXPECT_TRUE(SubtractRect(out, Rect(0, 0, 10, 10), Rect(0, 0, 10, 4)));
  EXPECT_EQ(out, Rect(0, 4, 10, 10));
  EXPECT_TRUE(SubtractRect(out, Rect(0, 0, 10, 10), Rect(2, 2, 4, 4)));  // a hole: unchanged
  EXPECT_EQ(out, Rect(0, 0, 10, 10));
  EXPECT_FALSE(SubtractRect(out, Rect(0, 0, 10, 10), Rect(-1, -1, 11, 11)));
}

TEST(Types, ColoursKeepRedInTheLowByteAndMarkSystemColours) {
  EXPECT_EQ(ColorFromRGB(0x12, 0x34, 0x56), 0x563412);
  EXPECT_EQ(ColorR(clRed), 0xFF);
  EXPECT_EQ(ColorB(clBlue), 0xFF);
  EXPECT_EQ(ColorG(0x00FF00), 0xFF);
  EXPECT_EQ(static_cast<uint32_t>(clBtnFace), 0xFF00000Fu);
  EXPECT_EQ(static_cast<uint32_t>(clWindowText), 0xFF000008u);
  EXPECT_TRUE(IsSystemColor(clBtnFace));
  EXPECT_EQ(SystemColorIndex(clBtnFace), 15);
  EXPECT_FALSE(IsSystemColor(clWhite));
  EXPECT_FALSE(IsSystemColor(clNone));
  EXPECT_FALSE(IsSystemColor(clDefault));
}

}  // namespace
}  // namespace kv
