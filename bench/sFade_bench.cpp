// One fade step of a 200 x 50 button (budget 0.05 ms) on 24- and 32-bit
// caches, and one step of the cover animation of a 1024 x 768 window.
#include <benchmark/benchmark.h>

#include "skin/core/sFade.h"
#include "skin/graphics/sGraphUtils.h"

namespace {

using namespace kv;

TBitmap Picture(int width, int height, TPixelFormat format, int seed) {
  TBitmap b(width, height, format);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = b.ScanLine(y);
    for (int i = 0; i < b.BytesPerRow(); ++i) p[i] = static_cast<std::uint8_t>(i * seed + y);
  }
  return b;
}

void BM_FadeStep(benchmark::State& state) {
  const TPixelFormat format = state.range(0) == 32 ? pf32bit : pf24bit;
  TBitmap old = Picture(200, 50, format, 7);
  TBitmap cache = Picture(200, 50, format, 13);
  for (auto _ : state) benchmark::DoNotOptimize(BlendFadeStep(old, cache, 128));
  state.SetItemsProcessed(state.iterations() * 200 * 50);
}

void BM_CoverAnimationStep(benchmark::State& state) {
  TBitmap snapshot = Picture(1024, 768, pf24bit, 7);
  TBitmap shown = Picture(1024, 768, pf24bit, 13);
  TBitmap work(1024, 768, pf32bit);
  for (auto _ : state) {
    MixBitmapsByMask(&work, &snapshot, &shown, nullptr, 128);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 1024 * 768);
}

}  // namespace

BENCHMARK(BM_FadeStep)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CoverAnimationStep)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
