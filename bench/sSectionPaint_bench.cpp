// A 100 x 25 button's skin item: textured section with a gradient share and a
// border, at transparency 0, 50 and 100, in pixels per second; and a whole
// rebuild of such a button's cache (item, glyph, corners; no text), whose
// budget is 0.2 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaintControl.h"
#include "skin/graphics/sSectionPaint.h"
#include "skin/model/sSkinModel.h"

namespace {

using namespace kv;

TsSkinModel ButtonSkin(int transparency) {
  TsSkinModel skin;
  skin.MasterBitmap = std::make_shared<TBitmap>(96, 32, pf24bit);
  for (int y = 0; y < 32; ++y) {
    std::uint8_t* p = skin.MasterBitmap->ScanLine(y);
    for (int i = 0; i < skin.MasterBitmap->BytesPerRow(); ++i)
      p[i] = static_cast<std::uint8_t>(i * 3 + y);
  }
  TsGeneralData g;
  g.ClassName = "BUTTON";
  g.Color = 0x808080;
  g.Transparency = transparency;
  g.ImagePercent = 60;
  g.GradientPercent = 30;
  g.GradientArray = {{0xFFFFFF, 0x404040, 100, 0, 0}};
  g.BorderIndex = 1;
  skin.GeneralData.push_back(g);
  TsMaskData texture;
  texture.SectionName = "BUTTON", texture.PropertyName = "PATTERN";
  texture.R = {0, 0, 16, 16};
  texture.ImageCount = 1;
  TsMaskData border;
  border.R = {0, 0, 96, 22};
  border.ImageCount = 3;
  border.WL = border.WT = border.WR = border.WB = 6;
  skin.MaskData = {texture, border};
  return skin;
}

// range(0): transparency; range(1): 24 or 32 bits.
void BM_ButtonItem(benchmark::State& state) {
  const TsSkinModel skin = ButtonSkin(static_cast<int>(state.range(0)));
  TBitmap cache(100, 25, state.range(1) == 32 ? pf32bit : pf24bit), back(200, 100, pf24bit);
  const TsBgCacheInfo info{&back, 0, 0, TransparentColor, true};
  for (auto _ : state) {
    PaintSkinItem(0, "BUTTON", info, true, 0, {0, 0, 100, 25}, {40, 30}, &cache, &skin);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 100 * 25);
}
BENCHMARK(BM_ButtonItem)->ArgsProduct({{0, 50, 100}, {24, 32}});

// What a skinned button does per paint: its item from its skin data over the
// parent's background, a 16 x 16 alpha glyph in the middle, and the border
// mask's transparent corners given back the parent's pixels.
// range(0): transparency; range(1): state.
void BM_ButtonCacheRebuild(benchmark::State& state) {
  TsSkinModel skin = ButtonSkin(static_cast<int>(state.range(0)));
  // Rounded corners: three key-coloured pixels in each corner of every frame.
  for (int frame = 0; frame < 3; ++frame)
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {31, 0}, {0, 21}, {31, 21}}) {
      std::uint8_t* p = skin.MasterBitmap->ScanLine(y) + 3 * (frame * 32 + x);
      p[0] = p[2] = 0xFF, p[1] = 0;
    }
  TsControlLook look;
  look.SkinIndex = 0, look.Section = "BUTTON", look.BorderIndex = 1, look.Texture = 0;
  TBitmap glyph(16, 16, pf32bit);
  for (int y = 0; y < 16; ++y) {
    std::uint8_t* p = glyph.ScanLine(y);
    for (int x = 0; x < 16; ++x)
      p[4 * x] = 40, p[4 * x + 1] = 90, p[4 * x + 2] = 200,
            p[4 * x + 3] = static_cast<std::uint8_t>(x * 16 + y);
  }
  TBitmap cache(100, 25, pf24bit), back(200, 100, pf24bit);
  const TsBgCacheInfo parent{&back, 40, 30, TransparentColor, true};
  const int s = static_cast<int>(state.range(1));
  for (auto _ : state) {
    PaintSkinDataItem(look, parent, true, s, {0, 0, 100, 25}, {0, 0}, &cache, &skin);
    PaintAlphaBitmap({42, 4, 58, 20}, {0, 0, 16, 16}, &cache, false, 0, clNone, false,
                     EmptyBgCacheInfo, &glyph);
    FillCacheCornersFromMask(&cache, &skin, 1, s, ccAllCorners, parent);
    benchmark::ClobberMemory();
  }
  state.SetLabel("budget 200 us");
  state.SetItemsProcessed(state.iterations() * 100 * 25);
}
BENCHMARK(BM_ButtonCacheRebuild)->ArgsProduct({{0, 50}, {0, 1}})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
