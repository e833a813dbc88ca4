#include "skin/forms/acBorderFormGeometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "skin/forms/sSkinProviderHitTest.h"

namespace kv {
namespace {

TEST(BorderFormPlacement, PutsTheOwnerAtItsPlaceInThePicture) {
  EXPECT_EQ(BorderFormOrigin({100, 50}, {16, 27}), (TPoint{84, 23}));
}

TEST(BorderFormPlacement, MaximisedOwnerKeepsOnlyTheFrameStripOnScreen) {
  TacBorderRegionInput in{
      .Size = {400, 300}, .Shadow = {12, 8, 12, 12}, .ExtraBorder = 2, .FrameBorder = 4};
  EXPECT_FALSE(BorderRegionRect(in).has_value());
  in.Maximised = true;
  EXPECT_EQ(BorderRegionRect(in), Rect(18, 12, 382, 282));
}

TEST(BorderFormShadow, LiesOutsideTheMarginsOfANormalOwnerOnly) {
  const TSize size{100, 80};
  const TRect s{10, 6, 10, 10};
  struct Case {
    TPoint p;
    bool shadow;
  };
  const Case cases[] = {{{0, 0}, true},   {{9, 40}, true}, {{10, 40}, false}, {{89, 40}, false},
                        {{90, 40}, true}, {{50, 5}, true}, {{50, 6}, false},  {{50, 69}, false},
                        {{50, 70}, true}, {{99, 79}, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(InShadow(c.p, size, s, false), c.shadow) << c.p.X << "," << c.p.Y;
    EXPECT_FALSE(InShadow(c.p, size, s, true));
  }
}

// A 200 x 150 picture, margins 10/6/10/10, border 5, title 20 and a menu
// line of 18 below it; a close button and a disabled user button.
class BorderFormHitTestTable : public ::testing::Test {
 protected:
  BorderFormHitTestTable() {
    buttons = {{.HitCode = TitleHit::Close, .Rect = Rect(160, 8, 180, 24)},
               {.HitCode = TitleHit::MaxButton, .Rect = Rect(138, 8, 158, 24)},
               {.HitCode = TitleHit::FirstUser, .Enabled = false, .Rect = Rect(116, 8, 136, 24)}};
    f.Size = {200, 150};
    f.Shadow = {10, 6, 10, 10};
    f.BorderWidth = 5;
    f.TitleHeight = 20;
    f.MenuHeight = 18;
    f.TitleIcon = Rect(16, 10, 32, 24);
    f.ThickFrame = true;
    f.Buttons = buttons;
  }
  std::vector<TsPlacedTitleButton> buttons;
  TacBorderHitFrame f;
};

TEST_F(BorderFormHitTestTable, GivesButtonsBandsTitleAndMenu) {
  struct Case {
    TPoint p;
    TacBorderHit hit;
  };
  const Case cases[] = {
      {{170, 16}, {TitleHit::Close, true}},       {{140, 16}, {TitleHit::MaxButton, true}},
      {{120, 16}, {FrameHit::Caption, false}},  // a disabled user button is title
      {{12, 70}, {FrameHit::Left, false}},        {{187, 70}, {FrameHit::Right, false}},
      {{100, 7}, {FrameHit::Top, false}},         {{100, 137}, {FrameHit::Bottom, false}},
      {{11, 7}, {FrameHit::TopLeft, false}},      {{188, 8}, {FrameHit::TopRight, false}},
      {{12, 138}, {FrameHit::BottomLeft, false}}, {{186, 136}, {FrameHit::BottomRight, false}},
      {{20, 16}, {FrameHit::SysMenu, false}},     {{80, 20}, {FrameHit::Caption, false}},
      {{80, 30}, {FrameHit::Menu, false}},        {{80, 60}, {BorderHitNone, false}},
      {{5, 70}, {BorderHitNone, false}},  // the shadow is nobody's
      {{100, 2}, {BorderHitNone, false}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BorderFormHitTest(f, c.p), c.hit)
        << c.p.X << "," << c.p.Y << " gave " << BorderFormHitTest(f, c.p).Code;
}

TEST_F(BorderFormHitTestTable, KnowsNoSizingWhenMaximisedOrFixed) {
  f.Form.WindowState = wsMaximized;
  f.Form.Zoomed = true;
  EXPECT_EQ(BorderFormHitTest(f, {12, 70}).Code, BorderHitNone);
  f.Form = {};
  f.ThickFrame = false;
  EXPECT_EQ(BorderFormHitTest(f, {100, 7}).Code, FrameHit::Caption);
  EXPECT_EQ(BorderFormHitTest(f, {12, 70}).Code, BorderHitNone);
}

TEST_F(BorderFormHitTestTable, DisabledOwnerAndDialogButtons) {
  f.Enabled = false;
  EXPECT_EQ(BorderFormHitTest(f, {170, 16}).Code, BorderHitNone);
  f.Enabled = true;
  f.DialogOwner = true;
  EXPECT_EQ(BorderFormHitTest(f, {140, 16}).Code, FrameHit::Caption);
  EXPECT_EQ(BorderFormHitTest(f, {170, 16}).Code, TitleHit::Close);
}

TEST_F(BorderFormHitTestTable, GripBelowTheMenuGivesBottomRight) {
  f.Grip = Rect(170, 110, 185, 125);
  EXPECT_EQ(BorderFormHitTest(f, {175, 115}).Code, FrameHit::BottomRight);
  EXPECT_EQ(BorderFormHitTest(f, {160, 115}).Code, BorderHitNone);
}

// A shadow picture 12 x 12 whose pixel (x, y) has alpha 10 * x + y: the
// source of each picture pixel can be read back.
TBitmap CodedShadow() {
  TBitmap shadow(12, 12, pf32bit);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      std::uint8_t* p = shadow.ScanLine(y) + 4 * x;
      p[0] = p[1] = p[2] = 0;
      p[3] = static_cast<std::uint8_t>(10 * x + y);
    }
  return shadow;
}

int Alpha(const TBitmap& b, int x, int y) { return b.ScanLine(y)[4 * x + 3]; }

TEST(BorderFormPicture, ShadowGoesAroundTheFrameAndLeavesItOpaque) {
  TBitmap picture(40, 30, pf32bit);
  const TRect margins{3, 2, 3, 3};
  MakeFrameOpaque(picture, margins);
  PaintShadowAround(picture, CodedShadow(), Rect(0, 0, 12, 12), margins, 1);
  // Corners come unstretched (margin + offset), edges stretched, frame kept.
  EXPECT_EQ(Alpha(picture, 0, 0), 0);
  EXPECT_EQ(Alpha(picture, 2, 1), 21);
  EXPECT_EQ(Alpha(picture, 39, 29), 10 * 11 + 11);
  EXPECT_EQ(Alpha(picture, 37, 28), 10 * 9 + 10);
  EXPECT_EQ(Alpha(picture, 0, 15) / 10, 0);  // the left edge from column 0
  EXPECT_EQ(Alpha(picture, 3, 2), 255);
  EXPECT_EQ(Alpha(picture, 36, 26), 255);
  EXPECT_EQ(Alpha(picture, 20, 26), 255);
  EXPECT_NE(Alpha(picture, 20, 27), 255);
}

TEST(BorderFormPicture, IgnoresPicturesWithoutAlpha) {
  TBitmap picture(20, 20, pf24bit);
  PaintShadowAround(picture, CodedShadow(), Rect(0, 0, 12, 12), {2, 2, 2, 2}, 1);
  MakeFrameOpaque(picture, {2, 2, 2, 2});
  EXPECT_EQ(picture.PixelFormat(), pf24bit);
}

}  // namespace
}  // namespace kv
