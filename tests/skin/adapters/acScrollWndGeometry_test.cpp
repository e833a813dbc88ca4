// The skinned scroll bars' arithmetic: sizes, rectangles, thumb, hit test,
// non-client room and dragging, for both bar kinds.
#include "skin/adapters/acScrollWndGeometry.h"

#include <gtest/gtest.h>

#include <climits>

#include "skin/model/sConst.h"

namespace kv {
namespace {

// A horizontal case turned into the vertical one.
TRect Transposed(const TRect& r) { return {r.Top, r.Left, r.Bottom, r.Right}; }

TacScrollBar Bar(int kind, int nMin, int nMax, unsigned nPage, int nPos) {
  TacScrollBar bar;
  bar.Kind = static_cast<std::uint16_t>(kind);
  bar.ScrollInfo = {nMin, nMax, nPage, nPos, 0};
  return bar;
}

TEST(ScrollBarPartSize, StoredOrAutomaticTimesMultiplier) {
  const struct {
    int stored, part, system, skinFrame, size;
  } rows[] = {{7, spsArrowLength, 17, 40, 7},
              {-1, spsArrowLength, 17, 0, 16},
              {-2, spsArrowLength, 17, 12, 32},
              {-1, spsArrowLength, 17, 21, 21},
              {-1, spsThickness, 17, 40, 17},
              {-3, spsThickness, 17, 0, 51},
              {INT_MIN, spsArrowLength, 17, 0, INT_MAX},
              {-1, 2, 17, 0, 0}};
  for (const auto& r : rows) {
    TacScrollBar bar;
    bar.ArrowLength = bar.Thickness = r.stored;
    EXPECT_EQ(r.size, ScrollBarPartSize(bar, r.part, r.system, r.skinFrame))
        << "stored " << r.stored << " part " << r.part;
  }
  EXPECT_EQ(20, ScrollArrowFrame(acBarHorz, 60, 99, 3, 9));
  EXPECT_EQ(33, ScrollArrowFrame(acBarVert, 99, 66, 9, 1));
  EXPECT_EQ(0, ScrollArrowFrame(acBarHorz, 60, 20, 0, 0)) << "no images, no division";
  EXPECT_EQ(0, ScrollArrowFrame(acBarVert, 60, 20, 1, -1));
}

// A system with wider scroll-bar arrows gets wider skinned arrows too.
TEST(ScrollBarPartSize, TheAutomaticArrowLengthIsTheSystemsArrowWidth) {
  struct Restore {
    int saved = DefaultScrollArrowSize;
    ~Restore() { DefaultScrollArrowSize = saved; }
  } restore;
  DefaultScrollArrowSize = 21;
  TacScrollBar bar;
  EXPECT_EQ(21, ScrollBarPartSize(bar, spsArrowLength, 17, 0));
  EXPECT_EQ(30, ScrollBarPartSize(bar, spsArrowLength, 17, 30)) << "a wider skin button wins";
  bar.ArrowLength = -2;
  EXPECT_EQ(42, ScrollBarPartSize(bar, spsArrowLength, 17, 12));
}

TEST(ScrollBarRects, BarsAndCornerOnEitherSide) {
  TacScrollFrame f{{100, 200, 400, 400}, {2, 3, 4, 5}, 17, 15, false};
  EXPECT_EQ((TRect{102, 378, 381, 395}), HorzScrollBarRect(f));
  EXPECT_EQ((TRect{381, 203, 396, 378}), VertScrollBarRect(f));
  EXPECT_EQ((TRect{381, 378, 396, 395}), ScrollCornerRect(f));
  f.LeftScrollBar = true;
  EXPECT_EQ((TRect{117, 378, 396, 395}), HorzScrollBarRect(f));
  EXPECT_EQ((TRect{102, 203, 117, 378}), VertScrollBarRect(f));
  EXPECT_EQ((TRect{102, 378, 117, 395}), ScrollCornerRect(f)) << "the corner follows the bar";
}

class ScrollGeometryTest : public testing::TestWithParam<int> {
 protected:
  int kind() const { return GetParam(); }
  TRect Along(int from, int to) const {
    const TRect h{from, 0, to, 16};
    return kind() == acBarVert ? Transposed(h) : h;
  }
  TPoint At(int along, int across = 5) const {
    return kind() == acBarVert ? TPoint{across, along} : TPoint{along, across};
  }
};

TEST_P(ScrollGeometryTest, ThumbStaysInsideItsTrack) {
  const struct {
    int nMin, nMax;
    unsigned nPage;
    int nPos, minThumb, length, thumbStart, thumbLength;
  } rows[] = {{0, 99, 10, 0, 10, 132, 16, 10},
              {0, 99, 10, 90, 10, 132, 106, 10},
              {0, 99, 10, 5000, 10, 132, 106, 10},
              {0, 99, 10, -5, 10, 132, 16, 10},
              {0, 99, 0, 99, 10, 132, 100, 16},
              {0, 999, 1, 0, 10, 132, 16, 10},
              {-50, 49, 20, -50, 10, 132, 16, 20},
              {0, 99, 10, 0, 200, 132, 16, 0},
              {0, 99, 100, 0, 10, 132, 16, 0},
              {0, 99, 500, 0, 10, 132, 16, 0},
              {10, 5, 1, 7, 10, 132, 16, 0},
              {0, INT_MAX, 1, INT_MAX, 10, 132, 106, 10},
              {INT_MIN, INT_MAX, 1, 0, 10, 132, 61, 10},
              {0, 99, 10, 0, 0, 132, 16, 10},
              {0, 99, 10, 0, 10, 41, 16, 0},
              {0, 99, 10, 0, 10, 31, 15, 0},
              {0, 99, 10, 0, 10, 0, 0, 0},
              {0, 999, 1, 0, -4, 132, 16, 1}};
  for (const auto& r : rows) {
    TacScrollBar bar = Bar(kind(), r.nMin, r.nMax, r.nPage, r.nPos);
    bar.MinThumbLength = r.minThumb;
    const TacScrollGeometry g = ScrollThumbGeometry(bar, Along(0, r.length), 16);
    EXPECT_EQ(r.thumbLength, g.ThumbLength) << r.nMin << ".." << r.nMax << " page " << r.nPage;
    EXPECT_EQ(r.thumbStart, g.ThumbStart) << "pos " << r.nPos << " length " << r.length;
    EXPECT_GE(g.ThumbStart, g.TrackStart);
    EXPECT_LE(g.ThumbStart + g.ThumbLength, g.TrackEnd);
  }
}

TEST_P(ScrollGeometryTest, HitTestAndPaintingSeeTheSameParts) {
  const TRect rect = Along(0, 132);
  const TacScrollGeometry g = ScrollThumbGeometry(Bar(kind(), 0, 99, 10, 45), rect, 16);
  const struct {
    int along, part;
  } rows[] = {{-1, spNone},       {0, spFirstArrow},    {15, spFirstArrow},   {16, spPageBefore},
              {60, spPageBefore}, {61, spThumb},        {70, spThumb},        {71, spPageAfter},
              {115, spPageAfter}, {116, spSecondArrow}, {131, spSecondArrow}, {132, spNone}};
  for (const auto& r : rows)
    EXPECT_EQ(r.part, ScrollBarHitTest(g, kind(), rect, At(r.along))) << r.along;
  EXPECT_EQ(spNone, ScrollBarHitTest(g, kind(), rect, At(61, 16))) << "beside the bar";

  const TacScrollPaintRects paint = ScrollBarPaintRects(g, kind(), rect, true, -1);
  EXPECT_EQ(Along(61, 71), paint.Thumb);
  EXPECT_EQ(Along(0, 66), paint.Track1) << "the halves meet at the thumb's middle";
  EXPECT_EQ(Along(66, 132), paint.Track2);
  EXPECT_EQ(Along(116, 132), paint.SecondArrow);
  EXPECT_EQ(Along(106, 116), ScrollBarPaintRects(g, kind(), rect, true, 500).Thumb)
      << "a dragged thumb stays on the track";
  EXPECT_TRUE(IsRectEmpty(ScrollBarPaintRects(g, kind(), rect, false, -1).Thumb));
}

TEST_P(ScrollGeometryTest, ShortBarIsTwoHalfArrows) {
  const TRect rect = Along(0, 31);
  const TacScrollGeometry g = ScrollThumbGeometry(Bar(kind(), 0, 99, 10, 0), rect, 16);
  EXPECT_EQ(spFirstArrow, ScrollBarHitTest(g, kind(), rect, At(14)));
  EXPECT_EQ(spNone, ScrollBarHitTest(g, kind(), rect, At(15))) << "the odd middle pixel";
  EXPECT_EQ(spSecondArrow, ScrollBarHitTest(g, kind(), rect, At(16)));
  const TacScrollPaintRects paint = ScrollBarPaintRects(g, kind(), rect, true, -1);
  EXPECT_EQ(Along(0, 15), paint.FirstArrow);
  EXPECT_EQ(Along(16, 31), paint.SecondArrow);
  EXPECT_EQ(Along(0, 15), paint.Track1);
  EXPECT_TRUE(IsRectEmpty(paint.Thumb));
}

TEST_P(ScrollGeometryTest, DraggedThumbGivesPositionsFromTheRangeMinimum) {
  const TRect rect = Along(0, 132);
  const struct {
    int nMin, nMax;
    unsigned nPage;
    int thumbStart;
    std::optional<int> pos;
  } rows[] = {{100, 199, 10, 16, 100},     {100, 199, 10, 106, 190},      {100, 199, 10, 61, 145},
              {0, 99, 0, 100, 99},         {0, 1000000, 1, 106, 1000000}, {-70000, 70000, 1, 61, 0},
              {5, 5, 0, 16, std::nullopt}, {0, 99, 100, 16, std::nullopt}};
  for (const auto& r : rows) {
    const TacScrollBar bar = Bar(kind(), r.nMin, r.nMax, r.nPage, r.nMin);
    const TacScrollGeometry g = ScrollThumbGeometry(bar, rect, 16);
    EXPECT_EQ(r.pos, ScrollDragPosition(bar.ScrollInfo, g, r.thumbStart))
        << r.nMin << ".." << r.nMax << " page " << r.nPage << " at " << r.thumbStart;
  }
  const TacScrollGeometry g = ScrollThumbGeometry(Bar(kind(), 0, 99, 10, 0), rect, 16);
  EXPECT_EQ(16, DragThumbStart(g, -300, 4));
  EXPECT_EQ(50, DragThumbStart(g, 54, 4));
  EXPECT_EQ(106, DragThumbStart(g, 300, 4));
}

TEST_P(ScrollGeometryTest, ThumbPlacedAtAPositionDragsBackToIt) {
  const TRect rect = Along(0, 132);
  for (int pos = 0; pos <= 90; ++pos) {
    const TacScrollBar bar = Bar(kind(), 0, 99, 10, pos);
    const TacScrollGeometry g = ScrollThumbGeometry(bar, rect, 16);
    EXPECT_EQ(pos, ScrollDragPosition(bar.ScrollInfo, g, g.ThumbStart));
  }
}

INSTANTIATE_TEST_SUITE_P(BothKinds, ScrollGeometryTest, testing::Values(acBarHorz, acBarVert),
                         [](const auto& info) { return info.param ? "Vertical" : "Horizontal"; });

TEST(ScrollBarState, ActiveBarAndGripCorner) {
  using A = TacBarInfoAnswer;
  EXPECT_TRUE(IsScrollBarActive(acBarHorz, A::Missing, 1, acStyleHScroll));
  EXPECT_FALSE(IsScrollBarActive(acBarVert, A::Missing, 0, acStyleHScroll));
  EXPECT_FALSE(IsScrollBarActive(acBarVert, A::Failed, 0, acStyleVScroll));
  EXPECT_FALSE(IsScrollBarActive(acBarVert, A::Answered, acStateUnavailable, acStyleVScroll));
  EXPECT_TRUE(IsScrollBarActive(acBarVert, A::Answered, 0x40, 0));

  const TRect frame{2, 2, 2, 2};
  const TacGripParent topLevel{true, false, {0, 0, 300, 200}};
  EXPECT_TRUE(IsGripCorner({281, 181, 298, 198}, frame, false, topLevel));
  EXPECT_FALSE(IsGripCorner({280, 181, 297, 198}, frame, false, topLevel));
  EXPECT_TRUE(IsGripCorner({2, 181, 19, 198}, frame, true, topLevel));
  EXPECT_FALSE(
      IsGripCorner({281, 181, 298, 198}, frame, false, {true, true, topLevel.ParentClient}));
  EXPECT_TRUE(IsGripCorner({0, 0, 1, 1}, frame, false, {}));
}

TEST(ScrollBarRoom, BarsTakeRoomOnlyWhereTheyFit) {
  const TRect window{0, 0, 104, 104};
  const std::uint32_t both = acStyleHScroll | acStyleVScroll;
  const struct {
    TRect client;
    std::uint32_t style;
    bool left;
    TRect after;
    bool horz, vert;
  } rows[] = {{{2, 2, 102, 102}, both, false, {2, 2, 85, 85}, true, true},
              {{2, 2, 102, 102}, both, true, {19, 2, 102, 85}, true, true},
              {{2, 2, 102, 102}, acStyleVScroll, false, {2, 2, 85, 102}, false, true},
              {{2, 2, 102, 12}, both, false, {2, 2, 85, 12}, false, true},
              {{2, 2, 12, 102}, both, false, {2, 2, 12, 85}, true, false},
              // A client area exactly as thick as a bar still gives it room.
              {{2, 2, 102, 19}, acStyleHScroll, false, {2, 2, 102, 2}, true, false},
              {{2, 2, 19, 102}, acStyleVScroll, false, {2, 2, 2, 102}, false, true}};
  for (const auto& r : rows) {
    TRect client = r.client;
    const TacScrollRoom room = ReserveScrollBarRoom(window, client, r.style, r.left, 17, 17);
    EXPECT_EQ(r.after, client);
    EXPECT_EQ(r.horz, room.HorzShown);
    EXPECT_EQ(r.vert, room.VertShown);
    EXPECT_EQ((TRect{2, 2, 104 - r.client.Right, 104 - r.client.Bottom}), room.FrameWidths);
  }
}

TEST(ScrollBarNcHitTest, BarsCornerAndTheRest) {
  TacScrollHitFrame f{
      {0, 83, 83, 100}, {83, 0, 100, 83}, {83, 83, 100, 100}, true, true, true, false, true};
  EXPECT_EQ(acHitHScroll, ScrollNcHitTest(f, {10, 90}));
  EXPECT_EQ(acHitNowhere, ScrollNcHitTest(f, {90, 10})) << "an inactive bar";
  EXPECT_EQ(acHitGrip, ScrollNcHitTest(f, {90, 90}));
  EXPECT_EQ(acHitPassOn, ScrollNcHitTest(f, {10, 10}));
  f.HorzShown = false;
  EXPECT_EQ(acHitPassOn, ScrollNcHitTest(f, {10, 90})) << "a bar with no room";
}

TEST(ScrollMessage, PositionsAbove65535ArriveWhole) {
  const TacScrollParams toolkit = ScrollMessageParams(spThumb, 70000, true);
  EXPECT_EQ(5u | (70000u & 0xFFFF) << 16, toolkit.WParam);
  EXPECT_EQ(70000, toolkit.LParam);
  const TacScrollParams plain = ScrollMessageParams(spThumb, 70000, false);
  EXPECT_EQ(0xFFFF0005u, plain.WParam);
  EXPECT_EQ(0, plain.LParam);
  EXPECT_EQ(0x01150008u, ScrollCommandParam(sbEndScroll, 0x115));

  TacScrollBar h, v;
  SetMinThumbSize(h, v, acBarsBoth, 4);
  SetMinThumbSize(h, v, acBarVert, 30);
  SetMinThumbSize(h, v, 2, 99);
  EXPECT_EQ(4, h.MinThumbLength);
  EXPECT_EQ(30, v.MinThumbLength);
}

}  // namespace
}  // namespace kv
