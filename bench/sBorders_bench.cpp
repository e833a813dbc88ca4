// A 1024 x 768 form's border painted from its mask with the transparent runs
// of the corners collected for the window region.
#include <benchmark/benchmark.h>

#include <memory>

#include "skin/graphics/sBorders.h"

namespace {

using namespace kv;

void BM_FormBorderRegion(benchmark::State& state) {
  TsMaskData mask;
  mask.Bmp = std::make_shared<TBitmap>(360, 120, pf24bit);
  for (int y = 0; y < 120; ++y) {
    std::uint8_t* p = mask.Bmp->ScanLine(y);
    for (int x = 0; x < 360; ++x, p += 3) {
      const bool rounded = (x % 120 < 8 || x % 120 >= 112) && (y < 8 || y >= 112) &&
                           (x % 120 + y) % 7 < 3;  // ragged transparent corners
      p[0] = rounded ? 0xFF : static_cast<std::uint8_t>(x);
      p[1] = rounded ? 0 : static_cast<std::uint8_t>(y);
      p[2] = 0xFF;
    }
  }
  mask.R = {0, 0, 360, 120};
  mask.ImageCount = 3;
  mask.WL = mask.WT = mask.WR = mask.WB = 30;
  TBitmap form(1024, 768, pf24bit);
  TRectList cut;
  for (auto _ : state) {
    cut.clear();
    BuildRegionFromMask(&form, &cut, false, 0, mask, nullptr);
    benchmark::DoNotOptimize(cut.data());
  }
  state.SetItemsProcessed(state.iterations() * (2 * 1024 + 2 * 768) * 30);
}
BENCHMARK(BM_FormBorderRegion);

}  // namespace
