#pragma once
// Small helpers for pixel tests: read and write pixels as 0xAARRGGBB values.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/Bitmap.h"

namespace kv::testing {

// 0xAARRGGBB from the bytes B, G, R (, A) of pixel (x, y).
inline std::uint32_t Px(const TBitmap& b, int x, int y) {
  const std::uint8_t* p = b.ScanLine(y) + x * b.BytesPerPixel();
  if (b.BytesPerPixel() == 1) return p[0];
  std::uint32_t v = p[0] | p[1] << 8 | p[2] << 16;
  if (b.BytesPerPixel() == 4) v |= static_cast<std::uint32_t>(p[3]) << 24;
  return v;
}

// 0xRRGGBB of pixel (x, y) in any format: palette formats through their palette.
inline std::uint32_t PxColour(const TBitmap& b, int x, int y) {
  if (!TBitmap::HasPalette(b.PixelFormat())) return Px(b, x, y) & 0xFFFFFF;
  const unsigned index = PixelIndex(b.ScanLine(y), x, TBitmap::BitsPerPixelOf(b.PixelFormat()));
  const TColor c = index < b.Palette().size() ? b.Palette()[index] : 0;
  return ColorR(c) << 16 | ColorG(c) << 8 | ColorB(c);
}

inline void SetPx(TBitmap& b, int x, int y, std::uint32_t v) {
  std::uint8_t* p = b.ScanLine(y) + x * b.BytesPerPixel();
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                 static_cast<std::uint8_t>(v >> 16),
                                 static_cast<std::uint8_t>(v >> 24)};
  std::memcpy(p, bytes, b.BytesPerPixel());
}

inline TBitmap Filled(int w, int h, TPixelFormat f, std::uint32_t v,
                      TRowOrder order = TRowOrder::BottomUp) {
  TBitmap b(w, h, f, order);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPx(b, x, y, v);
  return b;
}

// Every pixel distinct: 0xAA RR GG BB with R = 10 x, G = 10 y, B = 7, A = 200.
inline TBitmap Numbered(int w, int h, TPixelFormat f) {
  TBitmap b(w, h, f);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPx(b, x, y, 0xC8000007u | (10u * x) << 16 | (10u * y) << 8);
  return b;
}

// Colour bytes of two 0xRRGGBB values at most one apart (rounding of blends).
inline ::testing::AssertionResult Near(std::uint32_t got, std::uint32_t want) {
  for (int shift : {0, 8, 16})
    if (std::abs(int(got >> shift & 255) - int(want >> shift & 255)) > 1)
      return ::testing::AssertionFailure() << std::hex << "got " << got << ", want " << want;
  return ::testing::AssertionSuccess();
}

}  // namespace kv::testing
