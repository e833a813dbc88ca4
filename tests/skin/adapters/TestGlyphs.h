// Glyphs the button tests give their buttons.
#pragma once

#include <windows.h>

#include <cstdlib>

#include "base/Bitmap.h"

namespace kvtest {

// The ink of an alpha glyph, and the dark half-see-through ring round it
// that such glyphs have (a quarter opaque).
constexpr COLORREF kAlphaInk = RGB(0xC0, 0x20, 0x20);
constexpr COLORREF kFringe = RGB(0x20, 0x20, 0x20);
constexpr int kAlphaGlyphSize = 16;
// The ring lies one pixel round [4, 12) x [4, 12).
constexpr POINT kFringeAt{3, 8};

// A one-frame 32-bit glyph: opaque ink in the middle, the fringe round it,
// fully transparent black elsewhere (the bottom-left pixel included).
inline kv::TBitmap AlphaGlyph() {
  kv::TBitmap glyph(kAlphaGlyphSize, kAlphaGlyphSize, kv::pf32bit);
  for (int y = 0; y < kAlphaGlyphSize; ++y)
    for (int x = 0; x < kAlphaGlyphSize; ++x) {
      const bool ink = x >= 4 && x < 12 && y >= 4 && y < 12;
      const bool ring = !ink && x >= 3 && x < 13 && y >= 3 && y < 13;
      const COLORREF c = ink ? kAlphaInk : ring ? kFringe : RGB(0, 0, 0);
      std::uint8_t* p = glyph.ScanLine(y) + 4 * x;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
      p[3] = ink ? 255 : ring ? 64 : 0;
    }
  return glyph;
}

inline int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// Where a quarter-opaque dark pixel lies over `under`: much nearer to what
// is under it than to the fringe's own colour.
inline bool BlendedOver(COLORREF shown, COLORREF under) {
  return Distance(shown, under) < Distance(shown, kFringe);
}

}  // namespace kvtest
