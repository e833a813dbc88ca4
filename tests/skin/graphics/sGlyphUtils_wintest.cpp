// Button glyphs from an alpha image, a strip and image lists, on a fake button.
#include <gtest/gtest.h>
#include <windows.h>

#include "Pixels.h"
#include "PngFiles.h"
#include "skin/graphics/acAlphaImageList_win.h"
#include "skin/graphics/sGlyphUtils_win.h"

namespace kv {
namespace {

using testing::Filled;
using testing::Near;
using testing::Px;
using testing::SetPx;

constexpr std::uint32_t kFace = 0, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

struct FakeButton : IGlyphButton {
  int state = 0, numGlyphs = 1, imageIndex = 0, blend = 0, disabledKind = 0;
  bool down = false, enabled = true, grayed = false, hot = false, skinned = true;
  TBitmap* glyph = nullptr;
  TCustomImageList* images = nullptr;
  TBitmap cache = Filled(12, 12, pf24bit, kFace);

  TRect GlyphRect() override { return {4, 4, 8, 8}; }
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
  bool SkinAvailable() override { return skinned; }
  bool ControlIsHot() override { return hot; }
  TColor SectionColor() override { return static_cast<TColor>(0xFF0000); }  // blue
};

struct GlyphCase {
  const char* what;
  int source;  // 0 alpha image, 1 strip, 2 image list, 3 alpha list
  int state, blend;
  bool down, enabled, grayed, hot, toOther;
  int kind, index;  // index: NumGlyphs of an alpha glyph
  std::uint32_t want;
};

class ButtonGlyph : public ::testing::TestWithParam<GlyphCase> {};
constexpr std::uint32_t kGrey = (0xC0 + 0x60) / 3 * 0x010101;
INSTANTIATE_TEST_SUITE_P(
    Sources, ButtonGlyph,
    ::testing::Values(
        GlyphCase{"alpha keeps blend share", 0, 0, 40, false, true, false, false, false, 0, 0,
                  0x660000},
        GlyphCase{"alpha hot", 0, 1, 40, false, true, false, false, false, 0, 1, kRed},
        GlyphCase{"alpha to another", 0, 0, 40, false, true, false, false, true, 0, 0, 0x660000},
        GlyphCase{"strip normal", 1, 0, 0, false, true, false, false, false, 0, 0, kRed},
        GlyphCase{"strip hot", 1, 1, 0, false, true, false, false, false, 0, 0, kGreen},
        GlyphCase{"strip pressed", 1, 2, 0, false, true, false, false, false, 0, 0, kBlue},
        GlyphCase{"strip held down", 1, 2, 0, true, true, false, false, false, 0, 0, kGreen},
        GlyphCase{"strip disabled", 1, 2, 0, false, false, false, false, false, 0, 0, kRed},
        GlyphCase{"list plain", 2, 0, 0, false, true, false, false, false, 0, 0, 0x00C060},
        GlyphCase{"list blended", 2, 0, 50, false, true, false, false, false, 0, 0, 0x006030},
        GlyphCase{"list hot", 2, 0, 50, false, true, false, true, false, 0, 0, 0x00C060},
        GlyphCase{"list grayed", 2, 0, 0, false, true, true, false, false, 0, 0, kGrey},
        GlyphCase{"list disabled", 2, 0, 0, false, false, false, false, false, 3, 0,
                  kGrey / 2 & 0x7F7F7F},
        GlyphCase{"list index = count", 2, 0, 0, false, true, false, false, false, 0, 1, kFace},
        GlyphCase{"list negative", 2, 0, 0, false, true, false, false, false, 0, -1, kFace},
        GlyphCase{"alpha list tint", 3, 0, 0, false, true, true, false, false, 0, 0, kBlue},
        GlyphCase{"alpha list hot", 3, 1, 0, false, true, true, false, false, 0, 0, kRed},
        GlyphCase{"alpha list blend", 3, 0, 50, false, true, false, false, false, 0, 0, 0x7F0000}),
    [](const auto& info) { return std::to_string(info.index); });

// The glyph rectangle shows the state's picture; transparent and masked
// pixels show the face.
TEST_P(ButtonGlyph, ShowsTheStatePicture) {
  const GlyphCase& c = GetParam();
  TBitmap alpha = Filled(4, 4, pf32bit, 0xFF000000 | kRed);
  TBitmap strip(12, 4, pf24bit);  // red, green, blue frames, bottom-left transparent
  for (int x = 0; x < 12; ++x)
    for (int y = 0; y < 4; ++y)
      SetPx(strip, x, y, x % 4 == 0 && y == 3 ? 0xFF00FF : kRed >> x / 4 * 8);
  Owned<TImageList> list = CreateOwned<TImageList>();
  list->SetSize(4, 4);
  TBitmap image = Filled(4, 4, pf24bit, 0x00C060);
  SetPx(image, 3, 3, 0x0000FE);
  list->AddMasked(image, static_cast<TColor>(0xFE0000));  // that pixel as TColor
  Owned<TsAlphaImageList> alphaList = CreateOwned<TsAlphaImageList>();
  testing::Bytes raw;
  for (int y = 0; y < 4; ++y) {
    raw.push_back(0);
    for (int x = 0; x < 4; ++x) raw.insert(raw.end(), {255, 0, 0, 255});
  }
  alphaList->BeginLoading();
  alphaList->SetSize(4, 4);
  alphaList->Items = {{ifPNG, pf32bit, testing::MakePng(4, 4, 8, 6, raw).Join()}};
  alphaList->EndLoading();

  FakeButton b;
  b.glyph = c.source == 0 ? &alpha : c.source == 1 ? &strip : nullptr;
  b.numGlyphs = c.source == 1 ? 3 : c.index;  // an alpha glyph of 0 frames counts as 1
  b.images = c.source == 2 ? static_cast<TCustomImageList*>(list.get()) : alphaList.get();
  b.state = c.state, b.blend = c.blend, b.down = c.down, b.enabled = c.enabled;
  b.grayed = c.grayed, b.hot = c.hot, b.disabledKind = c.kind, b.imageIndex = c.index;
  TBitmap other = Filled(12, 12, pf24bit, 0x123456);
  PaintButtonGlyph(&b, c.toOther ? &other : nullptr);
  const TBitmap& on = c.toOther ? other : b.cache;
  EXPECT_TRUE(Near(Px(on, 5, 5), c.want)) << c.what;
  EXPECT_EQ(Px(on, 0, 0), kFace) << c.what;
  if (c.source == 1 || c.source == 2) {
    EXPECT_EQ(Px(on, c.source == 1 ? 4 : 7, 7), kFace) << c.what;
  }
  EXPECT_EQ(ImageCountOf(c.source == 2 ? list.get() : nullptr), c.source == 2 ? 1 : 0);
}

// A standard list with a background colour draws its image over it; without
// a skin that colour is what is left out round the image, with one only the
// transparent colour is.
TEST(ButtonGlyph, AStandardListsBackgroundShowsOnlyOnASkinnedButton) {
  const struct {
    TColor bk;
    bool skinned;
    std::uint32_t corner;  // the image's masked-out pixel
  } cases[] = {{clWhite, false, kFace}, {clWhite, true, 0xFFFFFF}, {clNone, false, kFace}};
  for (const auto& c : cases) {
    Owned<TImageList> list = CreateOwned<TImageList>();
    list->SetSize(4, 4);
    list->SetBkColor(c.bk);
    TBitmap image = Filled(4, 4, pf24bit, 0x00C060);
    SetPx(image, 3, 3, 0x0000FE);
    list->AddMasked(image, static_cast<TColor>(0xFE0000));
    FakeButton b;
    b.images = list.get();
    b.skinned = c.skinned;
    PaintButtonGlyph(&b, nullptr);
    EXPECT_EQ(Px(b.cache, 5, 5), 0x00C060u) << c.bk << " skinned " << c.skinned;
    EXPECT_EQ(Px(b.cache, 7, 7), c.corner) << c.bk << " skinned " << c.skinned;
  }
}

}  // namespace
}  // namespace kv
