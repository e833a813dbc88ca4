// Where the speed-button handler puts glyph and caption.
#include "skin/adapters/acToolBarWndLayout.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

struct PlaceCase {
  const char* name;
  TSize button, glyph, caption;
  TButtonLayout layout;
  int margin;
  bool pushed;
  TPoint glyphAt;
  TRect captionAt;
};

class SpeedPlaces : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(SpeedPlaces, GlyphAndCaptionGoWhereLayoutAndMarginSay) {
  const PlaceCase& c = GetParam();
  const TacSpeedButtonPlaces p =
      SpeedButtonPlaces(c.button, c.glyph, c.caption, c.layout, c.margin, 4, c.pushed);
  if (c.glyph.cx > 0) {
    EXPECT_EQ(p.Glyph, c.glyphAt);
  }
  EXPECT_EQ(p.Caption, c.captionAt);
}

constexpr TSize kWide{80, 30}, kTall{80, 50}, kGlyph{16, 16}, kText{20, 13}, kNone{0, 0};

INSTANTIATE_TEST_SUITE_P(
    Layouts, SpeedPlaces,
    ::testing::Values(
        PlaceCase{"LeftCentred", kWide, kGlyph, kText, blGlyphLeft, -1, false, {20, 7}, {40, 8, 60, 21}},
        PlaceCase{"LeftAtMargin", kWide, kGlyph, kText, blGlyphLeft, 3, false, {3, 7}, {23, 8, 43, 21}},
        PlaceCase{"LeftAtZero", kWide, kGlyph, kText, blGlyphLeft, 0, false, {0, 7}, {20, 8, 40, 21}},
        PlaceCase{"RightCentred", kWide, kGlyph, kText, blGlyphRight, -1, false, {44, 7}, {20, 8, 40, 21}},
        PlaceCase{"RightAtMargin", kWide, kGlyph, kText, blGlyphRight, 3, false, {61, 7}, {37, 8, 57, 21}},
        PlaceCase{"TopCentred", kTall, kGlyph, kText, blGlyphTop, -1, false, {32, 8}, {30, 28, 50, 41}},
        PlaceCase{"BottomAtMargin", kTall, kGlyph, kText, blGlyphBottom, 2, false, {32, 32}, {30, 15, 50, 28}},
        PlaceCase{"CaptionAloneAtMargin", kWide, kNone, kText, blGlyphLeft, 5, false, {}, {5, 8, 25, 21}},
        PlaceCase{"CaptionAloneCentred", kWide, kNone, kText, blGlyphRight, -1, false, {}, {30, 8, 50, 21}},
        PlaceCase{"GlyphAloneCentred", kWide, kGlyph, kNone, blGlyphLeft, -1, false, {32, 7}, {52, 15, 52, 15}},
        PlaceCase{"PushedMovesBoth", kWide, kGlyph, kText, blGlyphLeft, -1, true, {21, 8}, {41, 9, 61, 22}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv
