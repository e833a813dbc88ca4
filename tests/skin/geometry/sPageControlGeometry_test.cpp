// The page control's tab layout: tab, band and page-area rectangles, rows,
// hit testing, the scroller and close buttons.
#include "skin/geometry/sPageControlGeometry.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TsTabLayout OneTab(TTabPosition position, TTabStyle style = tsTabs) {
  TsTabLayout l;
  l.Style = style;
  l.TabPosition = position;
  l.Width = 200;
  l.Height = 150;
  l.HasActivePage = true;
  l.ItemRects = {{10, 2, 70, 22}};
  l.PageTabIndexes = {0};
  return l;
}

TEST(SkinTabRect, GrowsTheItemRectByPositionAndState) {
  const struct {
    TTabPosition position;
    TRect inactive, active;
  } rows[] = {{tpTop, {10, 2, 69, 26}, {8, 0, 72, 24}},
              {tpBottom, {10, 0, 69, 22}, {8, -1, 72, 23}},
              {tpLeft, {10, 1, 73, 22}, {9, 0, 73, 23}},
              {tpRight, {8, 1, 69, 22}, {7, 0, 71, 24}}};
  for (const auto& r : rows) {
    const TsTabLayout l = OneTab(r.position);
    EXPECT_EQ(r.inactive, SkinTabRect(l, 0, false)) << "position " << r.position;
    EXPECT_EQ(r.active, SkinTabRect(l, 0, true)) << "position " << r.position;
  }
}

TEST(SkinTabRect, ButtonsEmptyItemsAndMissingPagesAreNotGrown) {
  for (TTabStyle style : {tsButtons, tsFlatButtons})
    EXPECT_EQ((TRect{10, 2, 70, 22}), SkinTabRect(OneTab(tpTop, style), 0, true));
  TsTabLayout l = OneTab(tpTop);
  l.ItemRects = {{}};
  EXPECT_EQ(TRect{}, SkinTabRect(l, 0, true));
  l = OneTab(tpTop);
  EXPECT_EQ(TRect{}, SkinTabRect(l, 1, false)) << "beyond the pages";
  EXPECT_EQ(TRect{}, SkinTabRect(l, -1, false));
  l.HasActivePage = false;
  EXPECT_EQ(TRect{}, SkinTabRect(l, 0, false));
}

TEST(TabsBand, SplitsTheControlAtTheDisplayRect) {
  const struct {
    TTabPosition position;
    TRect display, band, page;
  } rows[] = {{tpTop, {4, 28, 196, 146}, {0, 0, 200, 24}, {0, 24, 200, 150}},
              {tpBottom, {4, 4, 196, 122}, {0, 123, 200, 150}, {0, 0, 200, 123}},
              {tpLeft, {60, 4, 196, 146}, {0, 0, 59, 150}, {59, 0, 200, 150}},
              {tpRight, {4, 4, 140, 146}, {141, 0, 200, 150}, {0, 0, 141, 150}}};
  for (const auto& r : rows) {
    TsTabLayout l = OneTab(r.position);
    l.DisplayRect = r.display;
    EXPECT_EQ(r.band, TabsBandRect(l)) << "position " << r.position;
    EXPECT_EQ(r.page, PageAreaRect(l)) << "position " << r.position;
    l.ItemRects.clear();
    EXPECT_EQ((TRect{0, 0, 200, 150}), TabsBandRect(l)) << "no tabs";
    EXPECT_EQ((TRect{0, 0, 200, 150}), PageAreaRect(l)) << "no tabs";
  }
}

TEST(TabRow, CountsRowsFromTheTabsOwnSize) {
  const struct {
    TTabPosition position;
    TRect display, first, second;
    int firstRow, secondRow;
  } rows[] = {
      {tpTop, {4, 48, 196, 146}, {2, 2, 60, 22}, {2, 22, 60, 42}, 1, 2},
      {tpLeft, {44, 4, 196, 146}, {0, 2, 20, 60}, {20, 2, 40, 60}, 1, 2},
      {tpRight, {4, 4, 140, 146}, {141, 2, 161, 60}, {161, 2, 181, 60}, 2, 1},
      {tpBottom, {4, 4, 196, 122}, {2, 123, 60, 143}, {2, 143, 60, 163}, 2, 1},
  };
  for (const auto& r : rows) {
    TsTabLayout l = OneTab(r.position);
    l.DisplayRect = r.display;
    l.ItemRects = {r.first, r.second, {}};
    l.PageTabIndexes = {0, 1, 2};
    l.RowCount = 2;
    EXPECT_EQ(r.firstRow, TabRow(l, 0)) << "position " << r.position;
    EXPECT_EQ(r.secondRow, TabRow(l, 1)) << "position " << r.position;
    // An empty item has no size to divide by: it is on row 1.
    EXPECT_EQ(1, TabRow(l, 2)) << "position " << r.position;
    EXPECT_EQ(1, TabRow(l, 5)) << "position " << r.position;
    l.RowCount = 1;
    EXPECT_EQ(1, TabRow(l, 1)) << "position " << r.position;
  }
}

TEST(TabAtPos, AnswersThePageIndexUnderTheInactiveTab) {
  TsTabLayout l = OneTab(tpTop);
  l.ItemRects = {{2, 2, 60, 22}, {60, 2, 120, 22}};
  l.PageTabIndexes = {0, -1, 1};  // the middle page's tab is hidden
  const struct {
    TPoint point;
    int page;
  } rows[] = {{{30, 10}, 0},  {{30, 25}, 0},  {{90, 10}, 2},
              {{59, 10}, -1}, {{30, 26}, -1}, {{150, 10}, -1}};
  for (const auto& r : rows)
    EXPECT_EQ(r.page, TabAtPos(l, r.point)) << r.point.X << ", " << r.point.Y;
  EXPECT_EQ(2, VisibleTabCount(l));
  l.HasActivePage = false;
  EXPECT_EQ(-1, TabAtPos(l, {30, 10}));
}

TEST(TabScroller, CountsTabsOutOfViewAndSitsAtTheBandsEnd) {
  TsTabLayout l = OneTab(tpTop);
  l.ItemRects = {{-40, 2, 0, 22},   {0, 2, 60, 22},    {60, 2, 120, 22},
                 {120, 2, 180, 22}, {180, 2, 240, 22}, {}};
  l.PageTabIndexes = {-1, 0, 1, 2, 3, 4, 5};
  // The room ends 3 pixels left of the scroller; the fourth tab ends at 180.
  const struct {
    int scrollerWidth, hidden;
    const char* why;
  } rows[] = {{0, 2, "one left of view, one beyond the edge"},
              {40, 3, "the scroller takes room"},
              {17, 2, "a tab ending exactly where the room ends is in view"},
              {18, 3, "a pixel less room and it is out of view"}};
  for (const auto& r : rows) EXPECT_EQ(r.hidden, HiddenTabCount(l, r.scrollerWidth)) << r.why;
  // Counted in tabs: the page with a hidden tab does not shift it.
  EXPECT_EQ(2, TabScrollerPosition(l));
  EXPECT_EQ((TPoint{160, 0}), TabScrollerPos(l, 40, 18));
  l.TabPosition = tpBottom;
  EXPECT_EQ((TPoint{160, 132}), TabScrollerPos(l, 40, 18));
}

TEST(CloseBtn, SizeFromTheMaskCountsMissingFramesAsOne) {
  const struct {
    int imageCount, maskType;
    TPoint size;
  } rows[] = {{3, 1, {16, 18}}, {1, 0, {48, 36}}, {0, -1, {48, 36}}, {-2, -5, {48, 36}}};
  for (const auto& r : rows)
    EXPECT_EQ(r.size, CloseBtnSize(48, 36, r.imageCount, r.maskType))
        << r.imageCount << " frames, mask type " << r.maskType;
}

TEST(CloseBtn, SitsInTheTabsTopCorner) {
  EXPECT_EQ((TRect{56, 1, 71, 16}), CloseBtnBounds({10, 0, 72, 24}, {15, 15}));
  const TRect item{10, 2, 70, 22};
  for (TTabPosition p : {tpTop, tpBottom, tpRight})
    EXPECT_EQ((TRect{54, 3, 69, 18}), TabBtnBounds(p, item, 15, 15)) << "position " << p;
  EXPECT_EQ((TRect{11, 3, 26, 18}), TabBtnBounds(tpLeft, item, 15, 15));
}

TEST(TabCaption, CentresImageAndTextTogether) {
  const TRect tab{10, 0, 110, 30};
  const TsTabCaption withImage = TabCaptionLayout(tab, 40, {16, 16});
  EXPECT_EQ((TPoint{28, 7}), withImage.ImagePos);
  EXPECT_EQ((TRect{29, 3, 107, 27}), withImage.TextRect);
  EXPECT_EQ((TRect{13, 3, 107, 27}), TabCaptionLayout(tab, 40, {}).TextRect);
  EXPECT_EQ((TRect{46, 7, 90, 23}), TabFocusRect(tab, {40, 14}, 16));
  EXPECT_EQ((TRect{38, 7, 82, 23}), TabFocusRect(tab, {40, 14}, 0));
}

}  // namespace
}  // namespace kv
