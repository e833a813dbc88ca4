// libFuzzer entry for the BMP reader: any input must either load or raise
// EInvalidGraphic, never crash, leak or read out of bounds, and a failed load
// leaves the bitmap as it was.
#include <cstddef>
#include <cstdint>

#include "base/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kv::TBitmap bmp(2, 3, kv::pf24bit);
  try {
    kv::ReadBmp(data, size, bmp);
    if (bmp.Empty()) __builtin_trap();
    // Touch the last byte of every row so that the sanitizer sees the whole bitmap.
    volatile std::uint8_t sum = 0;
    for (int y = 0; y < bmp.Height(); ++y) sum = sum + bmp.ScanLine(y)[bmp.BytesPerRow() - 1];
  } catch (const kv::EInvalidGraphic&) {
    if (bmp.Width() != 2 || bmp.Height() != 3) __builtin_trap();
  }
  return 0;
}
