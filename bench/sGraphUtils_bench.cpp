// Pixel operations in pixels per second, next to a plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>

#include "skin/graphics/acFastPixels.h"
#include "skin/graphics/sGraphUtils.h"

namespace {

using namespace kv;

constexpr int kSize = 512;

TBitmap Picture(TPixelFormat format) {
  TBitmap b(kSize, kSize, format);
  for (int y = 0; y < kSize; ++y) {
    std::uint8_t* p = b.ScanLine(y);
    for (int i = 0; i < b.BytesPerRow(); ++i) p[i] = static_cast<std::uint8_t>(i * 7 + y);
  }
  return b;
}

TPixelFormat Format(const benchmark::State& state) {
  return state.range(0) == 32 ? pf32bit : pf24bit;
}

void Finish(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kSize * kSize);
  state.SetBytesProcessed(state.iterations() * kSize * kSize * (state.range(0) / 8));
}

void BM_PlainCopy(benchmark::State& state) {
  const TBitmap src = Picture(Format(state));
  TBitmap dst(kSize, kSize, Format(state));
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), src.ImageSize());
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void BM_BlendBitmapRectFast(benchmark::State& state) {
  TBitmap src = Picture(Format(state)), dst = Picture(Format(state));
  for (auto _ : state) {
    BlendBitmapRectFast(&dst, &src, 100, {0, 0, kSize, kSize}, {0, 0});
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void BM_PaintAlphaBitmap(benchmark::State& state) {
  TBitmap src = Picture(pf32bit), dst = Picture(Format(state));
  for (auto _ : state) {
    PaintAlphaBitmap({0, 0, kSize, kSize}, {0, 0, kSize, kSize}, &dst, false, 0, clNone, false,
                     EmptyBgCacheInfo, &src);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void BM_CopyRectWithTransparency(benchmark::State& state) {
  TBitmap src = Picture(Format(state)), dst = Picture(pf24bit);
  for (auto _ : state) {
    CopyRectWithTransparency({0, 0, kSize, kSize}, {0, 0, kSize, kSize}, &dst, &src,
                             EmptyBgCacheInfo, false);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void BM_BlendBitmapRect(benchmark::State& state) {
  TBitmap src = Picture(Format(state)), dst = Picture(Format(state));
  for (auto _ : state) {
    BlendBitmapRect(&dst, 0, 0, &src, {0, 0, kSize - 1, kSize - 1}, 0.4, clFuchsia);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void BM_TintBitmap(benchmark::State& state) {
  TBitmap b = Picture(Format(state));
  for (auto _ : state) {
    TintBitmap(&b, clRed, clFuchsia, 0.7);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void BM_GrayscaleBitmap(benchmark::State& state) {
  TBitmap b = Picture(Format(state));
  for (auto _ : state) {
    GrayscaleBitmap(&b);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void BM_FillRect32(benchmark::State& state) {
  TBitmap b = Picture(pf32bit);
  for (auto _ : state) {
    FillRect32(&b, {0, 0, kSize, kSize}, clRed);
    benchmark::ClobberMemory();
  }
  Finish(state);
}

void BM_ResampleHalf(benchmark::State& state) {
  const TBitmap src = Picture(Format(state));
  TBitmap dst;
  for (auto _ : state) ResampleBitmap(src, dst, kSize / 2, kSize / 2, 1);
  Finish(state);  // source pixels
}

BENCHMARK(BM_PlainCopy)->Arg(24)->Arg(32);
BENCHMARK(BM_BlendBitmapRectFast)->Arg(24)->Arg(32);
BENCHMARK(BM_PaintAlphaBitmap)->Arg(24)->Arg(32);
BENCHMARK(BM_CopyRectWithTransparency)->Arg(24)->Arg(32);
BENCHMARK(BM_BlendBitmapRect)->Arg(24)->Arg(32);
BENCHMARK(BM_TintBitmap)->Arg(24)->Arg(32);
BENCHMARK(BM_GrayscaleBitmap)->Arg(24)->Arg(32);
BENCHMARK(BM_FillRect32)->Arg(32);
BENCHMARK(BM_ResampleHalf)->Arg(24)->Arg(32);

}  // namespace

BENCHMARK_MAIN();
