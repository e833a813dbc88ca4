#include "skin/forms/sSkinProviderHitTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/forms/FrameKinds.h"

namespace kv {
namespace {

using namespace kv::test;

struct HitCase {
  std::string name;
  TPoint point;
  TsHitResult expected;
};

void PrintTo(const HitCase& c, std::ostream* os) { *os << c.name; }

}  // namespace

void PrintTo(const TsHitResult& r, std::ostream* os) {
  *os << "code " << r.Code << ", hot ";
  if (r.HotButton)
    *os << *r.HotButton;
  else
    *os << "unchanged";
}

namespace {

// A 400 x 300 sizeable form with a menu line, a grip and one user button:
// close 375..396, maximise 353..374, minimise 331..352, user 301..322,
// all 1..22 high; icon 4..20; title band to 23, menu band to 41; client
// 4..396 x 41..296.
struct HitTestForm {
  TsFrameGeometry g = Sizeable();
  std::vector<TsPlacedTitleButton> buttons;
  TsHitTestFrame frame;
  HitTestForm() {
    g.State.HasMenu = g.State.MenuItemVisible = true;
    g.State.ClientHeight -= 18;
    g.Skin.BISpace = 1;
    buttons = PlaceTitleButtons(g, {}, std::vector<TsUserTitleButton>{{}});
    frame.Buttons = buttons;
    frame.GripRightBottom = true;
    frame.Grip = {12, 12};
  }
};

class FrameHitTest : public testing::TestWithParam<HitCase> {};

TEST_P(FrameHitTest, PointGivesCodeAndHotButton) {
  const HitTestForm f;
  EXPECT_EQ(NCHitTest(f.g, GetParam().point, f.frame), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sizeable, FrameHitTest,
    testing::Values(HitCase{"Close", {383, 10}, {TitleHit::Close, TitleHit::Close}},
                    HitCase{"Maximise", {353, 21}, {TitleHit::MaxButton, TitleHit::MaxButton}},
                    HitCase{"Minimise", {340, 1}, {TitleHit::MinButton, TitleHit::MinButton}},
                    HitCase{"UserButton", {310, 10}, {1000, 1000}},
                    HitCase{"GapBetweenButtons", {374, 10}, {FrameHit::Caption, {}}},
                    HitCase{"Caption", {100, 10}, {FrameHit::Caption, {}}},
                    HitCase{"Icon", {10, 10}, {FrameHit::SysMenu, {}}},
                    HitCase{"MenuBand", {100, 30}, {FrameHit::Menu, {}}},
                    HitCase{"Client", {200, 150}, {FrameHit::Client, 0}},
                    HitCase{"Grip", {390, 290}, {FrameHit::BottomRight, 0}},
                    HitCase{"BesideGrip", {383, 290}, {FrameHit::Client, 0}},
                    HitCase{"LeftEdge", {3, 150}, {FrameHit::Left, -1}},
                    HitCase{"BottomEdge", {200, 297}, {FrameHit::Bottom, -1}},
                    HitCase{"TopLeft", {0, 0}, {FrameHit::TopLeft, -1}},
                    HitCase{"BottomRight", {399, 299}, {FrameHit::BottomRight, -1}}),
    [](const testing::TestParamInfo<HitCase>& info) { return info.param.name; });

TEST(FrameHitTest, StandardButtonsOnlyWhileCloseIsShown) {
  HitTestForm f;
  f.g.State.Form.SysMenuStyleRemoved = false;  // rectangles kept from the last paint
  EXPECT_EQ(NCHitTest(f.g, {383, 10}, f.frame), (TsHitResult{FrameHit::Caption, {}}));
  EXPECT_EQ(NCHitTest(f.g, {310, 10}, f.frame), (TsHitResult{1000, 1000}));
}

TEST(FrameHitTest, DisabledButtonsActAsCaption) {
  HitTestForm f;
  f.g.State.Form.MDIChild = true;
  f.g.State.Form.BorderIcons = biSystemMenu;
  std::vector<TsUserTitleButton> users{{.Enabled = false}};
  f.buttons = PlaceTitleButtons(f.g, {}, users);
  f.frame.Buttons = f.buttons;
  for (const TPoint p : {TPoint{360, 10}, TPoint{340, 10}, TPoint{310, 10}})
    EXPECT_EQ(NCHitTest(f.g, p, f.frame).Code, FrameHit::Caption) << p.X;
}

TEST(FrameHitTest, GripBetweenScrollBarsWithoutGripMode) {
  HitTestForm f;
  f.frame.GripRightBottom = false;
  EXPECT_EQ(NCHitTest(f.g, {390, 290}, f.frame).Code, FrameHit::Client);
  f.frame.BothScrollBars = true;
  f.frame.ScrollCorner = Rect(380, 280, 396, 296);
  EXPECT_EQ(NCHitTest(f.g, {390, 290}, f.frame).Code, FrameHit::BottomRight);
}

TEST(FrameHitTest, MDIChildButtonsInTheMenuBand) {
  HitTestForm f;
  const auto mdi = MDIChildButtons(f.g, {16, 14});
  f.frame.MDIButtons = mdi;
  EXPECT_EQ(NCHitTest(f.g, {350, 30}, f.frame).Code, TitleHit::MDIMinimize);
  EXPECT_EQ(NCHitTest(f.g, {385, 30}, f.frame).Code, TitleHit::MDIClose);
  EXPECT_EQ(NCHitTest(f.g, {200, 30}, f.frame).Code, FrameHit::Menu);
}

TEST(FrameHitTest, BorderFormPointsAreTakenIntoTheCache) {
  const TsFrameGeometry g = WithBorderForm();
  const auto buttons = PlaceTitleButtons(g, {}, {});
  const TsHitTestFrame frame{.Buttons = buttons, .MDIButtons = {}};
  TRect close = buttons.front().Rect;
  OffsetRect(close, -g.CacheOffset().X, -g.CacheOffset().Y);
  EXPECT_EQ(NCHitTest(g, {close.Left, close.Top}, frame).Code, TitleHit::Close);
  // The companion window sizes the form: no edges of its own.
  EXPECT_EQ(NCHitTest(g, {1, 150}, frame).Code, FrameHit::Client);
}

}  // namespace
}  // namespace kv
