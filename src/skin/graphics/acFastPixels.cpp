#include "skin/graphics/acFastPixels.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace kv {

TacFast24 SharedFast24;
TacFastSum24 SharedFastSum24;
TacFast32 SharedFast32;

namespace {

// Row 1 must exist to measure the row step; the format decides the pixel size,
// so a 24-bit reader never walks past the end of a narrower row.
template <class Fast>
bool AttachTo(Fast& f, TBitmap* bitmap, TPixelFormat format) {
  if (!bitmap || bitmap->Width() < 2 || bitmap->Height() < 2 || bitmap->PixelFormat() != format) {
    f.Width = 0;
    return false;
  }
  f.Bitmap = bitmap;
  f.Width = bitmap->Width();
  f.Height = bitmap->Height();
  f.Row0 = bitmap->ScanLine(0);
  f.RowStep = bitmap->ScanLine(1) - f.Row0;
  return true;
}

// One row of bytes; the sum stays below 65536, so 16-bit lanes suffice.
void BlendForward(std::uint8_t* __restrict d, const std::uint8_t* __restrict s, int n,
                  std::uint8_t alpha) {
  const std::uint16_t a = alpha, na = static_cast<std::uint16_t>(255 - alpha);
  for (int i = 0; i < n; ++i)
    d[i] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(s[i] * na + d[i] * a + 127) >> 8);
}

// From the last byte to the first, as a blend within one bitmap expects.
void BlendBackward(std::uint8_t* d, const std::uint8_t* s, int n, std::uint8_t alpha) {
  const unsigned a = alpha, na = 255u - alpha;
  for (int i = n - 1; i >= 0; --i)
    d[i] = static_cast<std::uint8_t>((s[i] * na + d[i] * a + 127) >> 8);
}

}  // namespace

bool TacFast24::Attach(TBitmap* bitmap) { return AttachTo(*this, bitmap, pf24bit); }

TColor TacFast24::GetPixel(int x, int y) const {
  assert(x >= 0 && x < Width && y >= 0 && y < Height);
  const std::uint8_t* p = Row0 + y * RowStep + 3 * x;
  return static_cast<TColor>(p[2] | p[1] << 8 | p[0] << 16);
}

void TacFast24::SetPixel(int x, int y, TColor color) {
  assert(x >= 0 && x < Width && y >= 0 && y < Height);
  std::uint8_t* p = Row0 + y * RowStep + 3 * x;
  p[0] = ColorB(color);
  p[1] = ColorG(color);
  p[2] = ColorR(color);
}

bool TacFast32::Attach(TBitmap* bitmap) { return AttachTo(*this, bitmap, pf32bit); }

std::uint32_t TacFast32::GetPixel(int x, int y) const {
  assert(x >= 0 && x < Width && y >= 0 && y < Height);
  const std::uint8_t* p = Row0 + y * RowStep + 4 * x;
  return p[2] | p[1] << 8 | p[0] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void TacFast32::SetPixel(int x, int y, std::uint32_t value) {
  assert(x >= 0 && x < Width && y >= 0 && y < Height);
  std::uint8_t* p = Row0 + y * RowStep + 4 * x;
  p[2] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
  p[0] = static_cast<std::uint8_t>(value >> 16);
  p[3] = static_cast<std::uint8_t>(value >> 24);
}

void TacFast32::FillRect(const TRect& rect, std::uint32_t pixel) {
  if (!Bitmap || Width == 0) return;
  const int left = std::max(rect.Left, 0), right = std::min(rect.Right, Width);
  const int top = std::max(rect.Top, 0), bottom = std::min(rect.Bottom, Height);
  if (right <= left) return;
  std::uint8_t bytes[4];
  std::memcpy(bytes, &pixel, 4);  // the value's own memory order
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* p = Bitmap->ScanLine(y) + 4 * left;
    for (int x = left; x < right; ++x, p += 4) std::memcpy(p, bytes, 4);
  }
}

bool TacFastSum24::AttachAs(TBitmap* src, TBitmap* dst, TPixelFormat format) {
  if (!src || !dst || src->Width() < 2 || src->Height() < 2 || dst->Width() < 2 ||
      dst->Height() < 2 || src->PixelFormat() != format || dst->PixelFormat() != format)
    return false;
  SrcBitmap = src;
  DstBitmap = dst;
  Width = std::min(src->Width(), dst->Width());
  Height = std::min(src->Height(), dst->Height());
  bytesPerPixel_ = format == pf32bit ? 4 : 3;
  srcWidth_ = src->Width(), srcHeight_ = src->Height();
  dstWidth_ = dst->Width(), dstHeight_ = dst->Height();
  SrcRow0 = src->ScanLine(0);
  DstRow0 = dst->ScanLine(0);
  SrcRowStep = src->ScanLine(1) - SrcRow0;
  DstRowStep = dst->ScanLine(1) - DstRow0;
  return true;
}

bool TacFastSum24::Attach(TBitmap* src, TBitmap* dst) { return AttachAs(src, dst, pf24bit); }

void TacFastSum24::Blend() {
  const int bpp = bytesPerPixel_;
  if (!SrcBitmap || !DstBitmap) return;
  // Cut both rectangles to their bitmaps, keeping them the same size.
  int dl = DstRect.Left, dt = DstRect.Top, sl = SrcRect.Left, st = SrcRect.Top;
  int w = DstRect.Right - DstRect.Left, h = DstRect.Bottom - DstRect.Top;
  const int shiftX = std::max({0, -dl, -sl}), shiftY = std::max({0, -dt, -st});
  dl += shiftX, sl += shiftX, w -= shiftX;
  dt += shiftY, st += shiftY, h -= shiftY;
  w = std::min({w, dstWidth_ - dl, srcWidth_ - sl});
  h = std::min({h, dstHeight_ - dt, srcHeight_ - st});
  if (w <= 0 || h <= 0) return;
  const int bytes = w * bpp;
  for (int y = h - 1; y >= 0; --y) {
    std::uint8_t* d = DstRow0 + (dt + y) * DstRowStep + dl * bpp;
    const std::uint8_t* s = SrcRow0 + (st + y) * SrcRowStep + sl * bpp;
    if (SrcBitmap == DstBitmap)
      BlendBackward(d, s, bytes, Alpha);  // the rectangles may overlap
    else
      BlendForward(d, s, bytes, Alpha);
  }
}

bool TacFastSum32::Attach(TBitmap* src, TBitmap* dst) { return AttachAs(src, dst, pf32bit); }

std::uint32_t ColorToPixel32(TColor color) {
  const std::uint8_t bytes[4] = {ColorB(color), ColorG(color), ColorR(color), 255};
  std::uint32_t v;
  std::memcpy(&v, bytes, 4);
  return v;
}

void FillRect32(TBitmap* bitmap, const TRect& rect, TColor color) {
  TacFast32 fast;
  if (fast.Attach(bitmap)) fast.FillRect(rect, ColorToPixel32(color));
}

}  // namespace kv
