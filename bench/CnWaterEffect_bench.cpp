// One ripple tick over the login picture: a simulation step and a render of
// 852 x 417 pixels, the work the picture does every 60 ms.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "app/CnWaterEffect.h"
#include "base/Bitmap.h"

namespace {

constexpr int kWidth = 852;
constexpr int kHeight = 417;

kv::TBitmap Picture() {
  kv::TBitmap b(kWidth, kHeight, kv::pf24bit);
  for (int y = 0; y < kHeight; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < kWidth * 3; ++x) row[x] = static_cast<std::uint8_t>(x + y);
  }
  return b;
}

// Water in motion everywhere, as after a few seconds of mouse tracking.
void Stir(kv::TCnWaterEffect& water) {
  for (int y = 10; y < kHeight; y += 37)
    for (int x = 10; x < kWidth; x += 53) water.WaterBlob(x, y, 300, 3);
  for (int i = 0; i < 20; ++i) water.WaterCalc();
}

void BM_WaterCalc(benchmark::State& state) {
  kv::TCnWaterEffect water;
  water.WaterSetSize(kWidth, kHeight);
  Stir(water);
  for (auto _ : state) water.WaterCalc();
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_WaterCalc);

void BM_WaterRender(benchmark::State& state) {
  kv::TCnWaterEffect water;
  water.WaterSetSize(kWidth, kHeight);
  Stir(water);
  kv::TBitmap source = Picture();
  kv::TBitmap output(kWidth, kHeight, kv::pf24bit);
  for (auto _ : state) water.WaterRender(source, output);
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_WaterRender);

void BM_WaterTick(benchmark::State& state) {
  kv::TCnWaterEffect water;
  water.WaterSetSize(kWidth, kHeight);
  kv::TBitmap source = Picture();
  kv::TBitmap output(kWidth, kHeight, kv::pf24bit);
  int step = 0;
  for (auto _ : state) {
    // A mouse trail keeps the water moving, as on the login window.
    water.WaterBlob((step * 7) % kWidth, (step * 3) % kHeight, 300, 3);
    water.WaterCalcAndRender(source, output);
    ++step;
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_WaterTick);

}  // namespace

BENCHMARK_MAIN();
