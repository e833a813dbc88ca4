// Where the speed button and the check box put glyph and caption.
#include "skin/geometry/sButtonLayout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kv {

static std::ostream& operator<<(std::ostream& os, const TRect& r) {
  return os << '(' << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ')';
}

namespace {

using S = TsButtonStyle;

// An 80 x 24 button with a 16 x 16 glyph and a 30 x 13 caption.
TsButtonMetrics Button(TButtonLayout layout, TAlignment alignment, int margin = -1) {
  TsButtonMetrics m{80, 24, 0, {16, 16}, {30, 13}, true, layout, alignment, margin};
  return m;
}

TEST(SpeedButtonLayout, GlyphAndCaptionForEachLayout) {
  TsButtonMetrics dropDown = Button(blGlyphLeft, taCenter);
  dropDown.ArrowWidth = ArrowWidth(S::DropDown);
  TsButtonMetrics top = Button(blGlyphTop, taCenter);
  top.Width = 60, top.Height = 50, top.Spacing = 3;
  TsButtonMetrics bottom = top;
  bottom.Layout = blGlyphBottom;
  TsButtonMetrics pressed = Button(blGlyphLeft, taLeftJustify, 2);
  pressed.State = 2, pressed.TextOffset = 3;
  const struct {
    const char* name;
    TsButtonMetrics m;
    TRect glyph, caption;
  } rows[] = {
      {"centred pair", Button(blGlyphLeft, taCenter), {15, 4, 31, 20}, {34, 5, 67, 19}},
      {"drop-down strip left out", dropDown, {7, 4, 23, 20}, {26, 5, 59, 19}},
      {"glyph on top", top, {23, 9, 39, 25}, {14, 28, 47, 41}},
      {"glyph below", bottom, {23, 25, 39, 41}, {14, 9, 47, 22}},
      {"right, right aligned",
       Button(blGlyphRight, taRightJustify, 2),
       {59, 4, 75, 20},
       {24, 5, 57, 19}},
      {"left, right aligned: the spacing stays between them",
       Button(blGlyphLeft, taRightJustify, 2),
       {25, 4, 41, 20},
       {44, 5, 77, 19}},
      {"pressed, text offset", pressed, {6, 5, 22, 21}, {25, 6, 61, 20}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(r.glyph, SpeedButtonGlyphRect(r.m, false)) << r.name;
    EXPECT_EQ(r.caption, SpeedButtonCaptionRect(r.m)) << r.name;
  }
}

TEST(SpeedButtonLayout, GlyphAloneAndReflected) {
  TsButtonMetrics m = Button(blGlyphLeft, taCenter);
  m.HasCaption = false, m.Caption = {};
  EXPECT_EQ((TRect{32, 4, 48, 20}), SpeedButtonGlyphRect(m, false)) << "no spacing counted";
  m.Glyph = {16, 18};
  EXPECT_EQ((TRect{32, 0, 48, 18}), SpeedButtonGlyphRect(m, true)) << "up a sixth of 18";
}

// Without a glyph there is nothing to keep the spacing from: a centred
// caption sits in the middle whatever the layout, spacing and margin.
TEST(SpeedButtonLayout, CaptionAloneIgnoresTheSpacing) {
  for (const TButtonLayout layout : {blGlyphTop, blGlyphBottom, blGlyphLeft, blGlyphRight})
    for (const int spacing : {3, 8})
      for (const int margin : {-1, 2}) {
        TsButtonMetrics m = Button(layout, taCenter, margin);
        m.Width = 60, m.Height = 50, m.Glyph = {}, m.Spacing = spacing;
        EXPECT_EQ((TRect{14, 18, 47, 32}), SpeedButtonCaptionRect(m))
            << "layout " << layout << ", spacing " << spacing << ", margin " << margin;
      }
}

TEST(SpeedButtonLayout, CaptionWidthNeverBelowZero) {
  TsButtonMetrics arrow = Button(blGlyphLeft, taCenter);
  arrow.ArrowWidth = DropDownArrowWidth;
  TsButtonMetrics narrow = Button(blGlyphLeft, taCenter, 2);
  narrow.Width = 10;
  TsButtonMetrics none = Button(blGlyphLeft, taCenter);
  none.HasCaption = false;
  EXPECT_EQ(62, ButtonCaptionWidth(Button(blGlyphLeft, taCenter))) << "margin -1 widens";
  EXPECT_EQ(82, ButtonCaptionWidth(Button(blGlyphTop, taCenter)));
  EXPECT_EQ(46, ButtonCaptionWidth(arrow));
  EXPECT_EQ(0, ButtonCaptionWidth(narrow));
  EXPECT_EQ(0, ButtonCaptionWidth(none));
}

TEST(SpeedButtonLayout, FrameSizesGuardCountsBelowOne) {
  const struct {
    int image, count, frame;
  } glyphs[] = {{64, 4, 16}, {64, 0, 64}, {64, -2, 64}, {-5, 1, 0}};
  for (const auto& g : glyphs) EXPECT_EQ(g.frame, GlyphFrameWidth(g.image, g.count)) << g.count;
  const struct {
    int count, type;
    TSize frame;
  } masks[] = {{3, 1, {20, 20}}, {2, 2, {30, 13}}, {0, 0, {60, 40}}, {-3, -5, {60, 40}}};
  for (const auto& k : masks) EXPECT_EQ(k.frame, MaskFrameSize(60, 40, k.count, k.type)) << k.count;
}

TEST(SpeedButtonStyle, DropDownStripArrowAndDivider) {
  const TRect strip = DropDownStrip(96, 24, DropDownArrowWidth);
  EXPECT_EQ((TRect{80, 0, 96, 24}), strip);
  EXPECT_EQ((TRect{0, 0, 80, 24}), ButtonMainPart(96, 24, DropDownArrowWidth));
  EXPECT_EQ((TRect{85, 10, 92, 14}), DropDownArrowRect(strip, {7, 4}));
  const TsArrowTriangle up = DropDownTriangle(strip, false);
  EXPECT_EQ((TPoint{85, 9}), up.P[0]);
  EXPECT_EQ((TPoint{90, 9}), up.P[1]);
  EXPECT_EQ((TPoint{87, 14}), up.P[2]);
  EXPECT_EQ((TPoint{86, 10}), DropDownTriangle(strip, true).P[0]);
  EXPECT_EQ((TRect{3, 0, 7, 30}), DividerColumn(10, 30, 4));
  EXPECT_EQ((TRect{4, 0, 6, 30}), DividerEdge(10, 30, false));
  EXPECT_EQ((TRect{4, 0, 8, 30}), DividerEdge(10, 30, true));
}

TEST(SpeedButtonStyle, StyleChangesGiveTheWidthBack) {
  const int wide = WidthAfterStyleChange(S::Button, S::DropDown, 80, false);
  EXPECT_EQ(96, wide);
  EXPECT_EQ(80, WidthAfterStyleChange(S::DropDown, S::Separator, wide, false));
  EXPECT_EQ(80, WidthAfterStyleChange(S::Button, S::DropDown, 80, true)) << "streamed width";
}

// A 100 x 20 check box with a 13 x 13 glyph.
TsCheckMetrics Check(bool glyphAtLeft = true) {
  return {100, 20, {13, 13}, 2, 0, false, glyphAtLeft, false};
}

TEST(CheckLayout, GlyphAndCaptionOnEitherSide) {
  TsCheckMetrics radio = Check();
  radio.Radio = true;
  TsCheckMetrics wrap = Check();
  wrap.WordWrap = true;
  TsCheckMetrics narrow = Check();
  narrow.Width = 10;
  const struct {
    const char* name;
    TsCheckMetrics m;
    TSize text;
    TRect glyph, caption;
  } rows[] = {
      {"glyph left", Check(), {40, 13}, {2, 3, 15, 16}, {19, 2, 59, 15}},
      {"radio runs to the margin", radio, {40, 13}, {2, 3, 15, 16}, {19, 2, 98, 15}},
      {"glyph right", Check(false), {40, 13}, {85, 3, 98, 16}, {2, 2, 83, 15}},
      {"word wrap", wrap, {40, 13}, {2, 3, 15, 16}, {18, 2, 58, 15}},
      {"tall text keeps the margin", Check(), {40, 30}, {2, 3, 15, 16}, {19, 1, 59, 31}},
      {"narrow control", narrow, {0, 13}, {2, 3, 15, 16}, {10, 2, 10, 15}},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(r.glyph, CheckGlyphRect(r.m)) << r.name;
    EXPECT_EQ(r.caption, CheckCaptionRect(r.m, r.text)) << r.name;
  }
  EXPECT_EQ(0, CheckCaptionMaxWidth(narrow)) << "never a negative width to measure in";
  EXPECT_EQ((TRect{18, 2, 60, 15}), CheckFocusRect({19, 2, 59, 15}, false));
  EXPECT_EQ((TRect{18, 2, 60, 16}), CheckFocusRect({19, 2, 59, 15}, true));
}

TEST(CheckLayout, AutoSizeWithAndWithoutCaption) {
  TsCheckMetrics m = Check();
  m.TextIndent = 3;
  EXPECT_EQ((TSize{68, 19}), CheckAutoSize(m, {40, 13}, true));
  EXPECT_EQ((TSize{17, 15}), CheckAutoSize(m, {40, 13}, false));
  EXPECT_EQ((TSize{15, 13}), CheckGlyphSize(45, 26)) << "three states over a mask half";
}

TEST(CheckLayout, StateAndSide) {
  EXPECT_EQ(2, CheckGlyphState(true, false, true));
  EXPECT_EQ(1, CheckGlyphState(false, true, false));
  EXPECT_EQ(0, CheckGlyphState(false, true, true)) << "read-only shows no hot state";
  EXPECT_EQ(taLeftJustify, CheckControlsAlignment(taRightJustify, true));
  EXPECT_EQ(taRightJustify, CheckControlsAlignment(taCenter, true));
  EXPECT_EQ(taCenter, CheckControlsAlignment(taCenter, false));
}

}  // namespace
}  // namespace kv
