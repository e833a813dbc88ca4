// Nine-part mask painting of a button and of a form frame, in pixels per
// second, next to a plain copy of the same destination bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sMaskPaintControl.h"
#include "skin/model/sSkinModel.h"

namespace {

using namespace kv;

// A skin-like mask: `frames` frames of fw x sh with a key-coloured corner
// pixel, cut from a master bitmap, with a mask plane when asked.
struct Mask {
  std::shared_ptr<TBitmap> master;
  TsMaskData data;
};
Mask MakeMask(int fw, int sh, int margin, bool plane, int stretchMode) {
  Mask m;
  const int rows = plane ? 2 * sh : sh;
  m.master = std::make_shared<TBitmap>(3 * fw, rows, pf24bit);
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* p = m.master->ScanLine(y);
    for (int i = 0; i < m.master->BytesPerRow(); ++i) p[i] = static_cast<std::uint8_t>(i * 5 + y);
    if (y == 0) p[0] = p[2] = 0xFF, p[1] = 0;  // a transparent corner pixel
  }
  m.data.R = {0, 0, 3 * fw, rows};
  m.data.ImageCount = 3;
  m.data.MaskType = plane ? 1 : 0;
  m.data.StretchMode = static_cast<std::int16_t>(stretchMode);
  m.data.WL = m.data.WT = m.data.WR = m.data.WB = static_cast<std::int16_t>(margin);
  return m;
}

TPixelFormat Format(const benchmark::State& state) {
  return state.range(0) == 32 ? pf32bit : pf24bit;
}

void Finish(benchmark::State& state, int w, int h) {
  state.SetItemsProcessed(state.iterations() * w * h);
}

// range(0): 24 or 32 bits; range(1): 0 key-coloured mask, 1 mask plane.
void BM_NinePartButton(benchmark::State& state) {
  const Mask m = MakeMask(30, 22, 6, state.range(1) == 1, 4);
  TBitmap cache(100, 25, Format(state)), back(100, 25, pf24bit);
  const TsBgCacheInfo info{&back, 0, 0, TransparentColor, true};
  for (auto _ : state) {
    PaintMaskNinePart(&cache, {0, 0, 100, 25}, true, info, m.data, m.master.get(), 1, true);
    benchmark::ClobberMemory();
  }
  Finish(state, 100, 25);
}

// range(1): 0 border only, 1 with a tiled centre, 2 stretched edges and centre.
void BM_NinePartFrame(benchmark::State& state) {
  const int mode = state.range(1) == 2 ? 5 : 4;
  const Mask m = MakeMask(120, 90, 30, false, mode);
  TBitmap cache(1024, 768, Format(state)), back(1024, 768, pf24bit);
  const TsBgCacheInfo info{&back, 0, 0, TransparentColor, true};
  for (auto _ : state) {
    PaintMaskNinePart(&cache, {0, 0, 1024, 768}, state.range(1) != 0, info, m.data, m.master.get(),
                      0, true);
    benchmark::ClobberMemory();
  }
  Finish(state, 1024, 768);
}

void BM_PlainCopyOfTheFrame(benchmark::State& state) {
  TBitmap src(1024, 768, Format(state)), dst(1024, 768, Format(state));
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), src.ImageSize());
    benchmark::ClobberMemory();
  }
  Finish(state, 1024, 768);
}

BENCHMARK(BM_NinePartButton)->ArgsProduct({{24, 32}, {0, 1}});
BENCHMARK(BM_NinePartFrame)->ArgsProduct({{24, 32}, {0, 1, 2}});
BENCHMARK(BM_PlainCopyOfTheFrame)->Arg(24)->Arg(32);

// A 100 x 25 button's cache corners given back the parent's pixels where its
// border mask (frame of the state) is the transparent colour: what
// RefreshCacheCorners does once it has the parent's background.
// range(0): 24 or 32 bits; range(1): key pixels per corner.
void BM_RefreshCacheCorners(benchmark::State& state) {
  Mask m = MakeMask(30, 22, 6, false, 4);
  const int run = static_cast<int>(state.range(1));
  for (int frame = 0; frame < 3; ++frame)
    for (int i = 0; i < run; ++i)
      for (const auto& [x, y] : {std::pair{i, 0}, {29 - i, 0}, {i, 21}, {29 - i, 21}}) {
        std::uint8_t* p = m.master->ScanLine(y) + 3 * (frame * 30 + x);
        p[0] = p[2] = 0xFF, p[1] = 0;
      }
  TsSkinModel skin;
  skin.MasterBitmap = m.master;
  skin.MaskData = {m.data};
  TBitmap cache(100, 25, Format(state)), back(200, 100, pf24bit);
  const TsBgCacheInfo parent{&back, 40, 30, TransparentColor, true};
  for (auto _ : state) {
    FillCacheCornersFromMask(&cache, &skin, 0, 1, ccAllCorners, parent);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RefreshCacheCorners)->ArgsProduct({{24, 32}, {3, 6}});

}  // namespace

BENCHMARK_MAIN();
