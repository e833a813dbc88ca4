// A 100 x 25 button's skin item: textured section with a gradient share and a
// border, at transparency 0, 50 and 100, in pixels per second.
#include <benchmark/benchmark.h>

#include <memory>

#include "skin/core/sSkinModel.h"
#include "skin/graphics/sSectionPaint.h"

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

}  // namespace

BENCHMARK_MAIN();
