#include "skin/forms/sSkinProviderGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "skin/forms/FrameKinds.h"
#include "skin/forms/sTitleButtonsLayout.h"

namespace kv {
namespace {

using namespace kv::test;

struct GeometryCase {
  std::string name;
  TsFrameGeometry g;
  int border, title, captionHeight;
  TPoint client;  // client offsets in the frame cache
  TRect icon;
};

void PrintTo(const GeometryCase& c, std::ostream* os) { *os << c.name; }

class FrameGeometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(FrameGeometry, BordersTitleClientAndIcon) {
  const GeometryCase& c = GetParam();
  EXPECT_EQ(c.g.FrameBorderWidth(true), c.border);
  EXPECT_EQ(c.g.TitleBarHeight(true), c.title);
  EXPECT_EQ(c.g.CaptionHeight(), c.captionHeight);
  EXPECT_EQ((TPoint{c.g.ClientLeftOffset(), c.g.ClientTopOffset()}), c.client);
  EXPECT_EQ(c.g.TitleIconRect(), c.icon);
}

TsFrameGeometry WithIconSize(TsFrameGeometry g, TSize size) {
  g.State.TitleIconSize = size;
  return g;
}

INSTANTIATE_TEST_SUITE_P(
    FormKinds, FrameGeometry,
    testing::Values(
        GeometryCase{"Sizeable", Sizeable(), 4, 19, 23, {4, 23}, Rect(4, 4, 20, 20)},
        GeometryCase{"Single", Single(), 3, 19, 22, {3, 22}, Rect(3, 3, 19, 19)},
        // Dialogs and tool windows show no icon: an empty place at the left.
        GeometryCase{"Dialog", Single(bsDialog), 3, 19, 22, {3, 22}, Rect(3, 11, 3, 11)},
        GeometryCase{"ToolWindow", Single(bsToolWindow), 3, 15, 18, {3, 18}, Rect(3, 9, 3, 9)},
        GeometryCase{"Borderless", Borderless(), 0, 0, 0, {0, 0}, Rect(0, -1, 0, -1)},
        GeometryCase{"Maximised", Maximised(), 4, 19, 23, {4, 23}, Rect(4, 4, 20, 20)},
        GeometryCase{"Minimised", Minimised(), 4, 19, 27, {80, 23}, Rect(4, 4, 20, 20)},
        GeometryCase{"BorderWidth", WithBorderWidth(5), 4, 19, 28, {9, 28}, Rect(4, 4, 20, 20)},
        GeometryCase{"OwnIconSize",
                     WithIconSize(Sizeable(), {12, 10}),
                     4,
                     19,
                     23,
                     {4, 23},
                     Rect(4, 7, 16, 17)},
        // With a border form the cache is larger than the window.
        GeometryCase{"BorderForm", WithBorderForm(), 6, 30, 30, {16, 38}, Rect(16, 15, 32, 31)}),
    [](const testing::TestParamInfo<GeometryCase>& info) { return info.param.name; });

// The title icon is 8 pixels wide up to a 16-pixel title and 16 above.
TEST(FrameGeometry, TheIconGrowsAboveASixteenPixelTitle) {
  for (const auto& [title, side] : {std::pair{16, 8}, std::pair{17, 16}}) {
    TsFrameGeometry g = Sizeable();
    g.Sys.CyCaption = title;
    EXPECT_EQ(g.TitleIconRect().Width(), side) << title;
    EXPECT_EQ(g.TitleIconRect().Height(), side) << title;
  }
}

TEST(FrameGeometry, BorderFormCacheHoldsTheWindowAtItsOffset) {
  const TsFrameGeometry g = WithBorderForm();
  EXPECT_EQ(g.FrameWidth(), 400 + 2 * 2 + 10 + 12);
  EXPECT_EQ(g.FrameCacheHeight(), 300 + 2 + 7 + 8 + 14);
  // The window's client origin (4, 23) lands on the cache's client offsets.
  EXPECT_EQ(g.CacheOffset(), (TPoint{16 - 4, 38 - 23}));
}

TEST(FrameGeometry, MenuLineOnlyForFormsThatShowOne) {
  TsFrameGeometry g = Sizeable();
  g.State.HasMenu = g.State.MenuItemVisible = true;
  g.State.MenuLineCount = 2;
  EXPECT_EQ(g.MenuHeight(), 18);
  EXPECT_EQ(g.MenuBandBottom(), 23 + 36);
  g.State.Form.BorderStyle = bsDialog;
  EXPECT_FALSE(g.HasVisibleMenu());
  EXPECT_EQ(g.MenuBandBottom(), g.TitleBandBottom());
}

TEST(FrameGeometry, MenuWrapsWhenItsItemsOutgrowTheLine) {
  const TsFrameGeometry g = Sizeable();  // 392 pixels of room from x = 4
  EXPECT_EQ(CountMenuLines(g, std::vector{100, 100, 100}), 1);
  EXPECT_EQ(CountMenuLines(g, std::vector{150, 150, 150}), 2);
  EXPECT_EQ(CountMenuLines(g, std::vector{150, 150, 150, 150, 150}), 3);
  // An item wider than the line takes a line of its own, and only one.
  EXPECT_EQ(CountMenuLines(g, std::vector{500}), 1);
  EXPECT_EQ(CountMenuLines(g, std::vector{100, 500, 100}), 3);
}

TEST(FrameGeometry, GripSitsInsideTheBottomRightBorder) {
  EXPECT_EQ(Sizeable().GripPosition({12, 12}), (TPoint{400 - 12 - 4 - 1, 300 - 12 - 4 - 1}));
  EXPECT_EQ(WithBorderForm().GripPosition({12, 12}),
            (TPoint{426 - 12 - 6 - 12 - 1, 331 - 12 - 6 - 14 - 1}));
}

struct MaxCase {
  std::string name;
  TRect workArea;
  int titleHeight, maxHeight, centerOffset;
  int captionBar;    // SM_CYCAPTION
  int buttonHeight;  // the title buttons' masks
  int shownTop;      // the window's first row on the screen
};

void PrintTo(const MaxCase& c, std::ostream* os) { *os << c.name; }

class MaximisedPlacement : public testing::TestWithParam<MaxCase> {};

// What stays visible of a maximised form is the work area, to the pixel,
// with its title's icon, caption and buttons whole: the border and the rows
// the shorter maximised title drops go above the screen only where they lie
// above all three.
TEST_P(MaximisedPlacement, VisibleRegionIsTheWorkAreaWithTheWholeTitle) {
  const MaxCase& c = GetParam();
  TsFrameGeometry g = Maximised();
  g.Skin.TitleHeight = c.titleHeight;
  g.Skin.MaxHeight = c.maxHeight;
  g.Skin.CenterOffset = c.centerOffset;
  g.Sys.CyCaption = c.captionBar;
  const TsTitleButtonMetrics buttons{.Height = c.buttonHeight};
  constexpr int captionText = 13;
  const TRect monitor = Rect(0, 0, 1024, 768);
  const TsMaxPlacement p =
      UpdateMaxInfo(g, monitor, c.workArea, TitleContentTop(g, buttons, {}, captionText));
  TRect visible = p.Region;
  OffsetRect(visible, monitor.Left + p.MaxPosition.X, monitor.Top + p.MaxPosition.Y);
  EXPECT_EQ(visible, c.workArea);
  EXPECT_EQ(p.MaxPosition.Y, c.workArea.Top - c.shownTop);
  EXPECT_EQ(p.Region.Top, c.shownTop);
  EXPECT_LE(p.Region.Right, p.MaxSize.X);
  EXPECT_LE(p.Region.Bottom, p.MaxSize.Y);
  const auto shown = [&](const TRect& r) {
    TRect inside{};
    return IntersectRect(inside, r, p.Region) && inside == r;
  };
  EXPECT_TRUE(shown(g.TitleIconRect()));
  EXPECT_TRUE(shown(CentredRows(g.CaptionTextRect(0, false), captionText)));
  const auto placed = PlaceTitleButtons(g, buttons, {});
  ASSERT_EQ(placed.size(), 3u);
  for (const TsPlacedTitleButton& b : placed) EXPECT_TRUE(shown(b.Rect)) << b.HitCode;
}

// The system's title (frame 4 and caption bar) is 23 rows high unless said.
INSTANTIATE_TEST_SUITE_P(
    Skins, MaximisedPlacement,
    testing::Values(
        // Ours: the buttons fill the caption bar from its second row.
        MaxCase{"TaskbarBelow", Rect(0, 0, 1024, 738), 26, 22, 0, 19, 19, 2},
        MaxCase{"TaskbarAbove", Rect(0, 30, 1024, 768), 26, 22, 0, 19, 19, 2},
        MaxCase{"TitleAsHighMaximised", Rect(0, 0, 1024, 738), 24, 24, 0, 19, 21, 1},
        // A caption bar with room above the buttons for the border and the
        // four rows dropped (and one with room for less).
        MaxCase{"RoomForTheDroppedRows", Rect(0, 30, 1024, 768), 26, 22, 0, 33, 19, 8},
        MaxCase{"RoomForSomeOfThem", Rect(0, 0, 1024, 738), 30, 22, 3, 33, 19, 9}),
    [](const testing::TestParamInfo<MaxCase>& info) { return info.param.name; });

// A maximised form with a border window fills the work area to its sides
// and bottom; above its region the border window draws the title, inside
// the work area.
TEST(MaximisedPlacementWithBorderForm, TheFormFillsTheWorkAreaUnderItsTitle) {
  for (const bool taskbarAbove : {false, true}) {
    TsFrameGeometry g = WithBorderForm();
    g.State.Width = 1032;
    g.State.Height = 776;
    g.State.Form.WindowState = wsMaximized;
    g.State.Form.Zoomed = true;
    const TRect monitor = Rect(0, 0, 1024, 768);
    const TRect work = taskbarAbove ? Rect(0, 30, 1024, 768) : Rect(0, 0, 1024, 738);
    const TsMaxPlacement p = UpdateMaxInfo(g, monitor, work, 0);
    TRect visible = p.Region;
    OffsetRect(visible, p.MaxPosition.X, p.MaxPosition.Y);
    EXPECT_EQ(visible.Left, work.Left);
    EXPECT_EQ(visible.Right, work.Right);
    EXPECT_EQ(visible.Bottom, work.Bottom);
    EXPECT_GT(visible.Top, work.Top);
    EXPECT_LE(visible.Top, work.Top + g.TitleBarHeight(true));
  }
}

}  // namespace
}  // namespace kv
