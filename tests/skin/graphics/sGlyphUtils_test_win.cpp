// Button glyphs from an alpha image, a strip and an image list, on a fake button.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "Pixels.h"
#include "PngFiles.h"
#include "skin/graphics/acAlphaImageList_win.h"
#include "skin/graphics/sGlyphUtils_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Px;
using testing::SetPx;

constexpr std::uint32_t kFace = 0x000000, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF,
                        kKey = 0xFF00FF;

struct FakeButton : IGlyphButton {
  TRect rect{4, 4, 8, 8};
  int state = 0;
  bool down = false, enabled = true, grayed = false, skin = true, hot = false;
  TBitmap* glyph = nullptr;
  int numGlyphs = 1;
  TCustomImageList* images = nullptr;
  int imageIndex = 0, blend = 0, disabledKind = 0;
  TBitmap cache = Filled(12, 12, pf24bit, kFace);

  TRect GlyphRect() override { return rect; }
  int CurrentState() override { return state; }
  bool Down() override { return down; }
  TBitmap* Glyph() override { return glyph; }
  int NumGlyphs() override { return numGlyphs; }
  TCustomImageList* Images() override { return images; }
  int ImageIndex() override { return imageIndex; }
  bool Enabled() override { return enabled; }
  int Blend() override { return blend; }
  bool Grayed() override { return grayed; }
  int DisabledGlyphKind() override { return disabledKind; }
  bool Reflected() override { return false; }
  TBitmap* CacheBmp() override { return &cache; }
  bool SkinAvailable() override { return skin; }
  bool ControlIsHot() override { return hot; }
  TColor SectionColor() override { return static_cast<TColor>(0xFF0000); }  // blue
};

::testing::AssertionResult Near(std::uint32_t got, std::uint32_t want) {
  for (int shift : {0, 8, 16})
    if (std::abs(int(got >> shift & 255) - int(want >> shift & 255)) > 1)
      return ::testing::AssertionFailure() << std::hex << "got " << got << ", want " << want;
  return ::testing::AssertionSuccess();
}

// An opaque red 32-bit glyph keeps Blend percent of its alpha in the normal
// state only; on another target it lands over a copy of the face.
TEST(ButtonGlyph, AlphaImageKeepsBlendPercentOfItsAlphaWhenNormal) {
  TBitmap glyph = Filled(4, 4, pf32bit, 0xFF000000 | kRed);
  struct Case {
    int state;
    bool toOther;
    std::uint32_t want;
  };
  for (const Case& c : {Case{0, false, 0x660000}, Case{1, false, kRed}, Case{0, true, 0x660000}}) {
    FakeButton b;
    b.glyph = &glyph;
    b.blend = 40;
    b.state = c.state;
    TBitmap other = Filled(12, 12, pf24bit, 0x123456);
    PaintButtonGlyph(&b, c.toOther ? &other : nullptr);
    const TBitmap& on = c.toOther ? other : b.cache;
    EXPECT_TRUE(Near(Px(on, 5, 5), c.want)) << "state " << c.state;
    EXPECT_EQ(Px(on, 0, 0), kFace);
  }
  PaintButtonGlyph(nullptr, nullptr);
}

// Frames red, green, blue, each with a transparent bottom-left pixel.
TEST(ButtonGlyph, StripShowsTheFrameOfTheState) {
  TBitmap strip(12, 4, pf24bit);
  for (int x = 0; x < 12; ++x)
    for (int y = 0; y < 4; ++y) SetPx(strip, x, y, x < 4 ? kRed : x < 8 ? kGreen : kBlue);
  for (int x : {0, 4, 8}) SetPx(strip, x, 3, kKey);
  struct Case {
    int state;
    bool down, enabled;
    std::uint32_t want;
  };
  for (const Case& c :
       {Case{0, false, true, kRed}, Case{1, false, true, kGreen}, Case{2, false, true, kBlue},
        Case{2, true, true, kGreen}, Case{2, false, false, kRed}}) {
    FakeButton b;
    b.glyph = &strip;
    b.numGlyphs = 3;
    b.state = c.state;
    b.down = c.down;
    b.enabled = c.enabled;
    PaintButtonGlyph(&b, nullptr);
    EXPECT_EQ(Px(b.cache, 5, 5), c.want) << "state " << c.state << " down " << c.down;
    EXPECT_EQ(Px(b.cache, 4, 7), kFace) << "the transparent pixel shows the face";
  }
}

// A standard list without a background colour shows the face through its
// masked pixels; blend and grey follow the state, and bad indexes paint nothing.
TEST(ButtonGlyph, ImageListFollowsBlendGreyAndIndex) {
  Owned<TImageList> list = CreateOwned<TImageList>();
  list->SetSize(4, 4);
  TBitmap image = Filled(4, 4, pf24bit, 0x00C060);
  SetPx(image, 0, 0, 0x0000FE);
  list->AddMasked(image, static_cast<TColor>(0xFE0000));  // that pixel, as TColor 0xBBGGRR
  struct Case {
    const char* what;
    bool enabled, grayed, hot;
    int blend, kind, index;
    std::uint32_t want;
  };
  const std::uint32_t grey = (0xC0 + 0x60) / 3 * 0x010101;
  for (const Case& c : {Case{"plain", true, false, false, 0, 0, 0, 0x00C060},
                        Case{"blended", true, false, false, 50, 0, 0, 0x006030},
                        Case{"hot ignores blend", true, false, true, 50, 0, 0, 0x00C060},
                        Case{"grayed", true, true, false, 0, 0, 0, grey},
                        Case{"disabled both", false, false, false, 0, 3, 0, grey / 2 & 0x7F7F7F},
                        Case{"index = count", true, false, false, 0, 0, 1, kFace},
                        Case{"negative", true, false, false, 0, 0, -1, kFace}}) {
    FakeButton b;
    b.images = list.get();
    b.enabled = c.enabled;
    b.grayed = c.grayed;
    b.hot = c.hot;
    b.blend = c.blend;
    b.disabledKind = c.kind;
    b.imageIndex = c.index;
    PaintButtonGlyph(&b, nullptr);
    EXPECT_TRUE(Near(Px(b.cache, 5, 5), c.want)) << c.what;
    EXPECT_EQ(Px(b.cache, 4, 4), kFace) << c.what;
  }
  EXPECT_EQ(ImageCountOf(list.get()), 1);
  EXPECT_EQ(ImageCountOf(nullptr), 0);
}

// An opaque red alpha-list image: a grayed button shows it in its section
// colour while normal, and Blend keeps that share of its alpha.
TEST(ButtonGlyph, AlphaListTakesTintAndBlendInTheNormalState) {
  testing::Bytes raw;
  for (int y = 0; y < 4; ++y) {
    raw.push_back(0);
    for (int x = 0; x < 4; ++x) raw.insert(raw.end(), {255, 0, 0, 255});
  }
  Owned<TsAlphaImageList> list = CreateOwned<TsAlphaImageList>();
  list->BeginLoading();
  list->SetSize(4, 4);
  list->Items = {{ifPNG, pf32bit, testing::MakePng(4, 4, 8, 6, raw).Join()}};
  list->EndLoading();
  struct Case {
    int state, blend;
    bool grayed;
    std::uint32_t want;
  };
  for (const Case& c : {Case{0, 0, true, kBlue}, Case{1, 0, true, kRed},
                        Case{0, 50, false, 0x7F0000}, Case{1, 50, false, kRed}}) {
    FakeButton b;
    b.images = list.get();
    b.state = c.state;
    b.blend = c.blend;
    b.grayed = c.grayed;
    PaintButtonGlyph(&b, nullptr);
    EXPECT_TRUE(Near(Px(b.cache, 5, 5), c.want)) << "state " << c.state << " blend " << c.blend;
  }
}

}  // namespace
}  // namespace kv
