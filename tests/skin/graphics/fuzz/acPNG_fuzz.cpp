// libFuzzer entry for the PNG reader: any input must either load or raise
// EInvalidGraphic / EGraphicCompression, never crash, leak or read out of bounds.
#include <cstddef>
#include <cstdint>

#include "skin/graphics/acPNG.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kv::TPNGGraphic png;
  png.MaxPixels = std::int64_t{1} << 22;  // keeps each run small; the limit itself is tested
  try {
    png.LoadFromMemory(data, size);
    if (png.Empty()) __builtin_trap();
    // Touch every row so that the sanitizer sees the whole bitmap.
    volatile std::uint8_t sum = 0;
    for (int y = 0; y < png.Height(); ++y) sum = sum + png.ScanLine(y)[png.BytesPerRow() - 1];
    // Drawing exercises the blends and the resampler on whatever was decoded.
    kv::TBitmap target(17, 13, kv::pf24bit);
    png.Reflected = size % 2 == 1;
    png.Draw(target, {-3, -2, 9, 11});
    png.Draw(target, {2, 1, 2 + png.Width(), 1 + png.Height()});
  } catch (const kv::EInvalidGraphic&) {
  } catch (const kv::EGraphicCompression&) {
  }
  return 0;
}
