#include "skin/graphics/sGraphUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "base/SysUtils.h"
#include "skin/graphics/acFastPixels.h"
#include "skin/model/sMaskData.h"

namespace kv {

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;

bool Is24or32(const TBitmap* b) {
  return b && !b->Empty() && (b->PixelFormat() == pf24bit || b->PixelFormat() == pf32bit);
}

std::uint8_t Nearest(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

// B, G, R of a pixel as a colour value (R in the low byte).
std::uint32_t Rgb(const std::uint8_t* p) { return p[2] | p[1] << 8 | p[0] << 16; }

bool SameRgb(const std::uint8_t* p, TColor c) {
  return p[0] == ColorB(c) && p[1] == ColorG(c) && p[2] == ColorR(c);
}

std::uint8_t* PixelAt(TBitmap* b, int x, int y) { return b->ScanLine(y) + x * b->BytesPerPixel(); }

// A pixel put as BitBlt puts it: a 24-bit one gives a 32-bit one alpha 0.
void CopyPixelLikeBitBlt(std::uint8_t* q, int db, const std::uint8_t* p, int sb) {
  std::memcpy(q, p, 3);
  if (db == 4) q[3] = sb == 4 ? p[3] : 0;
}

// The background pixel behind destination position (x, y), or null.
const std::uint8_t* Background(const TsBgCacheInfo& info, int x, int y) {
  TBitmap* bmp = info.Bmp;
  if (!info.Ready || !Is24or32(bmp)) return nullptr;
  x += info.X;
  y += info.Y;
  if (x < 0 || y < 0 || x >= bmp->Width() || y >= bmp->Height()) return nullptr;
  return PixelAt(bmp, x, y);
}

// Copy of width x height pixels from (sx, sy) of src to (dx, dy) of dst cut to
// both bitmaps; a negative start shifts the other rectangle with it.
struct Span {
  int sx, sy, dx, dy, w, h;
  bool Clip(const TBitmap& src, const TBitmap& dst) {
    const int ox = std::max({0, -sx, -dx}), oy = std::max({0, -sy, -dy});
    sx += ox, dx += ox, w -= ox;
    sy += oy, dy += oy, h -= oy;
    w = std::min({w, src.Width() - sx, dst.Width() - dx});
    h = std::min({h, src.Height() - sy, dst.Height() - dy});
    return w > 0 && h > 0;
  }
};

// The fast sums' blend for two bitmaps of different formats, each pixel read
// by its own size: colour bytes d := (s * (255 - a) + d * a + 127) shr 8; a
// 32-bit destination keeps its alpha, a 24-bit source having none to give.
void BlendAcrossFormats(TBitmap* dst, TBitmap* src, std::uint8_t alpha, TRect srcRect,
                        TPoint dstPoint) {
  Span s{srcRect.Left, srcRect.Top, dstPoint.X, dstPoint.Y, srcRect.Width(), srcRect.Height()};
  if (!s.Clip(*src, *dst)) return;
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  const unsigned a = alpha, na = 255u - alpha;
  for (int j = 0; j < s.h; ++j) {
    const std::uint8_t* p = PixelAt(src, s.sx, s.sy + j);
    std::uint8_t* q = PixelAt(dst, s.dx, s.dy + j);
    for (int i = 0; i < s.w; ++i, p += sb, q += db)
      for (int c = 0; c < 3; ++c)
        q[c] = static_cast<std::uint8_t>((p[c] * na + q[c] * a + 127) >> 8);
  }
}

std::uint8_t AlphaMix(int s, int d, int a) {
  return static_cast<std::uint8_t>(((s - d) * a + d * 256) >> 8);
}

}  // namespace

// --- work bitmaps ----------------------------------------------------------------

std::unique_ptr<TBitmap> NewBitmap24(int width, int height) {
  return std::make_unique<TBitmap>(width, height, pf24bit);
}

std::unique_ptr<TBitmap> NewBitmap32(int width, int height) {
  return std::make_unique<TBitmap>(width, height, pf32bit);
}

std::unique_ptr<TBitmap> NewBitmapLike(const TBitmap& bitmap) {
  return std::make_unique<TBitmap>(bitmap.Width(), bitmap.Height(), bitmap.PixelFormat());
}

// --- colours -------------------------------------------------------------------------

TColor MixColorsByFraction(TColor color1, TColor color2, double fraction) {
  const auto mix = [&](std::uint8_t a, std::uint8_t b) {
    return Nearest(a * fraction + (1 - fraction) * b);
  };
  const TColor rgb =
      ColorFromRGB(mix(ColorR(color1), ColorR(color2)), mix(ColorG(color1), ColorG(color2)),
                   mix(ColorB(color1), ColorB(color2)));
  return static_cast<TColor>((static_cast<std::uint32_t>(color1) & 0xFF000000u) |
                             static_cast<std::uint32_t>(rgb));
}

TColor ColorAsIs(TColor color) { return color; }

// --- blends ----------------------------------------------------------------------------

void BlendBitmapRectFast(TBitmap* dst, TBitmap* src, TColor alpha, TRect r, TPoint p) {
  if (!dst || !src) return;
  if (p.X < 0) r.Left -= p.X, p.X = 0;
  if (p.Y < 0) r.Top -= p.Y, p.Y = 0;
  if (r.Left < 0) p.X -= r.Left, r.Left = 0;
  if (r.Top < 0) p.Y -= r.Top, r.Top = 0;
  if (IsRectEmpty(r) || p.X >= dst->Width() || p.Y >= dst->Height() || r.Left >= src->Width() ||
      r.Top >= src->Height())
    return;
  r.Right = std::min(r.Right, src->Width());
  r.Bottom = std::min(r.Bottom, src->Height());
  r.Right = std::min(r.Right, r.Left + dst->Width() - p.X);
  r.Bottom = std::min(r.Bottom, r.Top + dst->Height() - p.Y);
  const TRect dstRect{p.X, p.Y, p.X + r.Width(), p.Y + r.Height()};
  const auto blend = [&](TacFastSum24& sum) {
    sum.Alpha = static_cast<std::uint8_t>(alpha & 0xFF);
    sum.DstRect = dstRect;
    sum.SrcRect = r;
    sum.Blend();
  };
  if (src->PixelFormat() == pf32bit && dst->PixelFormat() == pf32bit) {
    TacFastSum32 sum;
    if (sum.Attach(src, dst)) blend(sum);
  } else if (src->PixelFormat() == pf24bit && dst->PixelFormat() == pf24bit) {
    if (SharedFastSum24.Attach(src, dst)) blend(SharedFastSum24);
  } else if (Is24or32(dst) && Is24or32(src)) {
    // A 24-bit child over a 32-bit cache (or the reverse) blends all the same.
    BlendAcrossFormats(dst, src, static_cast<std::uint8_t>(alpha & 0xFF), r, p);
  }
}

void BlendSameSizeBitmaps(TBitmap* dst, TBitmap* src, std::uint8_t alpha) {
  if (!dst || !src || dst->Width() != src->Width() || dst->Height() != src->Height()) return;
  const TRect all{0, 0, dst->Width(), dst->Height()};
  if (dst->PixelFormat() != src->PixelFormat()) {
    if (Is24or32(dst) && Is24or32(src)) BlendAcrossFormats(dst, src, alpha, all, {0, 0});
    return;
  }
  if (dst->PixelFormat() == pf32bit) {
    TacFastSum32 sum;  // caches are 32-bit while a border form exists
    if (!sum.Attach(src, dst)) return;
    sum.Alpha = alpha, sum.DstRect = all, sum.SrcRect = all;
    sum.Blend();
  } else if (SharedFastSum24.Attach(src, dst)) {
    SharedFastSum24.Alpha = alpha, SharedFastSum24.DstRect = all, SharedFastSum24.SrcRect = all;
    SharedFastSum24.Blend();
  }
}

void BlendBitmapRect(TBitmap* dst, int x, int y, TBitmap* src, TRect r, double fraction,
                     TColor transparentColor) {
  if (!Is24or32(dst) || !Is24or32(src)) return;
  if (r.Left < 0) x -= r.Left, r.Left = 0;
  if (r.Top < 0) y -= r.Top, r.Top = 0;
  r.Right = std::min(r.Right, src->Width() - 1);
  r.Bottom = std::min(r.Bottom, src->Height() - 1);
  const bool skip = (static_cast<std::uint32_t>(transparentColor) >> 24) != 0xFF;
  const bool src32 = src->PixelFormat() == pf32bit;
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  // Large areas look the results up: nearest(s - (s - d) * fraction) per (s, d).
  std::vector<std::uint8_t> table;
  if (static_cast<std::int64_t>(r.Width() + 1) * (r.Height() + 1) > 32768) {
    table.resize(256 * 256);
    for (int s = 0; s < 256; ++s)
      for (int d = 0; d < 256; ++d) table[s * 256 + d] = Nearest(s - (s - d) * fraction);
  }
  for (int sy = r.Top; sy <= r.Bottom; ++sy) {
    const int dy = y + sy - r.Top;
    if (dy < 0 || dy >= dst->Height()) continue;
    const std::uint8_t* srow = src->ScanLine(sy);
    std::uint8_t* drow = dst->ScanLine(dy);
    for (int sx = r.Left; sx <= r.Right; ++sx) {
      const int dx = x + sx - r.Left;
      if (dx < 0 || dx >= dst->Width()) continue;
      const std::uint8_t* s = srow + sx * sb;
      if (skip) {
        const std::uint32_t v = Rgb(s) | (src32 ? static_cast<std::uint32_t>(s[3]) << 24 : 0);
        if (src32 ? v == static_cast<std::uint32_t>(transparentColor)
                  : SameRgb(s, transparentColor))
          continue;
      }
      std::uint8_t* d = drow + dx * db;
      if (table.empty())
        for (int c = 0; c < 3; ++c) d[c] = Nearest(s[c] - (s[c] - d[c]) * fraction);
      else
        for (int c = 0; c < 3; ++c) d[c] = table[s[c] * 256 + d[c]];
    }
  }
}

void TintBitmap(TBitmap* bitmap, TColor color, TColor transparentColor, double fraction) {
  if (!Is24or32(bitmap)) return;
  const int bpp = bitmap->BytesPerPixel();
  const int target[3] = {ColorB(color), ColorG(color), ColorR(color)};
  std::uint8_t table[3][256];
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < 256; ++v) table[c][v] = Nearest((v - target[c]) * fraction + target[c]);
  for (int y = 0; y < bitmap->Height(); ++y) {
    std::uint8_t* p = bitmap->ScanLine(y);
    for (int x = 0; x < bitmap->Width(); ++x, p += bpp) {
      if (SameRgb(p, transparentColor)) continue;
      for (int c = 0; c < 3; ++c) p[c] = table[c][p[c]];
    }
  }
}

void ShadeByMask(TBitmap* bitmap, TBitmap* mask, TColor color) {
  if (!bitmap || !mask || bitmap->PixelFormat() != pf24bit || mask->PixelFormat() != pf24bit ||
      bitmap->Width() != mask->Width() || bitmap->Height() != mask->Height())
    return;
  const int c[3] = {ColorB(color), ColorG(color), ColorR(color)};
  for (int y = 0; y < bitmap->Height(); ++y) {
    std::uint8_t* p = bitmap->ScanLine(y);
    const std::uint8_t* m = mask->ScanLine(y);
    for (int i = 0; i < bitmap->Width() * 3; ++i)
      p[i] = static_cast<std::uint8_t>(((p[i] - c[i % 3]) * m[i] + c[i % 3] * 256) >> 8);
  }
}

void GrayscaleBitmapExcept(TBitmap* bitmap, TColor keepColor) {
  if (!Is24or32(bitmap)) return;
  const int bpp = bitmap->BytesPerPixel();
  const bool keep = keepColor != clNone;
  for (int y = 0; y < bitmap->Height(); ++y) {
    std::uint8_t* p = bitmap->ScanLine(y);
    for (int x = 0; x < bitmap->Width(); ++x, p += bpp) {
      if (keep && SameRgb(p, keepColor)) continue;
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
    }
  }
}

void GrayscaleBitmap(TBitmap* bitmap) { GrayscaleBitmapExcept(bitmap, clNone); }

void CopyBitmapChannel(TBitmap* bmp32, TBitmap* bmp8, int channelOffset, bool toBmp8) {
  if (!bmp32 || !bmp8 || bmp32->PixelFormat() != pf32bit || bmp8->PixelFormat() != pf8bit ||
      channelOffset < 0 || channelOffset > 3)
    return;
  const int w = std::min(bmp32->Width(), bmp8->Width());
  const int h = std::min(bmp32->Height(), bmp8->Height());
  for (int y = 0; y < h; ++y) {
    std::uint8_t* p = bmp32->ScanLine(y) + channelOffset;
    std::uint8_t* q = bmp8->ScanLine(y);
    for (int x = 0; x < w; ++x, p += 4)
      if (toBmp8)
        q[x] = *p;
      else
        *p = q[x];
  }
}

// --- copies ------------------------------------------------------------------------------

void CopyBitmapSkipTransparent(TBitmap* dst, TBitmap* src, int x, int y, TColor transparentColor) {
  if (!Is24or32(dst) || !Is24or32(src)) return;
  Span s{0, 0, x, y, src->Width(), src->Height()};
  if (!s.Clip(*src, *dst)) return;
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  for (int j = 0; j < s.h; ++j) {
    const std::uint8_t* p = PixelAt(src, s.sx, s.sy + j);
    std::uint8_t* q = PixelAt(dst, s.dx, s.dy + j);
    for (int i = 0; i < s.w; ++i, p += sb, q += db) {
      if (SameRgb(p, transparentColor)) continue;
      std::memcpy(q, p, 3);
      if (db == 4) q[3] = 255;
    }
  }
}

void CopyRectSkipTransparent24(TBitmap* dst, TBitmap* src, int x, int y, TRect r,
                               TColor transparentColor, int) {
  if (!dst || !src || dst->PixelFormat() != pf24bit || src->PixelFormat() != pf24bit) return;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, src->Width() - 1);
  r.Bottom = std::min(r.Bottom, src->Height() - 1);
  for (int sy = r.Top; sy <= r.Bottom; ++sy) {
    const int dy = y + sy - r.Top;
    if (dy < 0 || dy >= dst->Height()) continue;
    for (int sx = r.Left; sx <= r.Right; ++sx) {
      const int dx = x + sx - r.Left;
      if (dx < 0 || dx >= dst->Width()) continue;
      const std::uint8_t* p = PixelAt(src, sx, sy);
      if (!SameRgb(p, transparentColor)) std::memcpy(PixelAt(dst, dx, dy), p, 3);
    }
  }
}

void CopyRectWithTransparency(TRect dstRect, TRect srcRect, TBitmap* dst, TBitmap* src,
                              const TsBgCacheInfo& cacheInfo, bool useBackground) {
  if (!Is24or32(dst) || !Is24or32(src)) return;
  Span s{srcRect.Left,
         srcRect.Top,
         dstRect.Left,
         dstRect.Top,
         std::min(dstRect.Width(), srcRect.Width()),
         std::min(dstRect.Height(), srcRect.Height())};
  if (!s.Clip(*src, *dst)) return;
  const bool src32 = src->PixelFormat() == pf32bit;
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  for (int j = 0; j < s.h; ++j) {
    const std::uint8_t* p = PixelAt(src, s.sx, s.sy + j);
    std::uint8_t* q = PixelAt(dst, s.dx, s.dy + j);
    for (int i = 0; i < s.w; ++i, p += sb, q += db) {
      if (Rgb(p) == kMagenta) {
        if (!useBackground) continue;
        if (const std::uint8_t* bg = Background(cacheInfo, s.dx + i, s.dy + j))
          std::memmove(q, bg, 3);  // the record may be the destination: q == bg
      } else if (src32) {
        for (int c = 0; c < 3; ++c) q[c] = AlphaMix(p[c], q[c], p[3]);
      } else {
        std::memcpy(q, p, 3);
      }
    }
  }
}

void CopyRectWithBackground(TBitmap* dst, TBitmap* src, int x, bool useBackground,
                            const TsBgCacheInfo& cacheInfo, TColor transparentColor, TRect r,
                            int y) {
  if (!Is24or32(dst) || !Is24or32(src)) return;
  Span s{r.Left, r.Top, x, y, r.Width() + 1, r.Height() + 1};
  if (!s.Clip(*src, *dst)) return;
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  for (int j = 0; j < s.h; ++j) {
    const std::uint8_t* p = PixelAt(src, s.sx, s.sy + j);
    std::uint8_t* q = PixelAt(dst, s.dx, s.dy + j);
    for (int i = 0; i < s.w; ++i, p += sb, q += db) {
      if (SameRgb(p, transparentColor)) {
        if (!useBackground) continue;
        if (const std::uint8_t* bg = Background(cacheInfo, s.dx + i, s.dy + j))
          std::memmove(q, bg, 3);  // the record may be the destination: q == bg
        continue;
      }
      std::memcpy(q, p, 3);
      if (db == 4) q[3] = sb == 4 ? p[3] : 255;
    }
  }
}

void PaintAlphaBitmap(TRect dstRect, TRect srcRect, TBitmap* dst, bool reflection,
                      std::uint8_t option, TColor color, bool useBackground,
                      const TsBgCacheInfo& cacheInfo, TBitmap* src) {
  if (!Is24or32(dst) || !src || src->Empty()) return;
  src->SetPixelFormat(pf32bit);
  Span s{srcRect.Left,
         srcRect.Top,
         dstRect.Left,
         dstRect.Top,
         std::min(dstRect.Width(), srcRect.Width()),
         std::min(dstRect.Height(), srcRect.Height())};
  if (!s.Clip(*src, *dst)) return;
  const bool tint = color != clNone;
  const std::uint8_t tc[3] = {ColorB(color), ColorG(color), ColorR(color)};
  const int db = dst->BytesPerPixel();
  for (int j = 0; j < s.h; ++j) {
    const std::uint8_t* p = PixelAt(src, s.sx, s.sy + j);
    std::uint8_t* q = PixelAt(dst, s.dx, s.dy + j);
    for (int i = 0; i < s.w; ++i, p += 4, q += db) {
      if (Rgb(p) == kMagenta) {
        if (!useBackground) continue;
        if (const std::uint8_t* bg = Background(cacheInfo, s.dx + i, s.dy + j))
          std::memmove(q, bg, 3);  // the record may be the destination: q == bg
        continue;
      }
      const std::uint8_t* c = tint ? tc : p;
      for (int k = 0; k < 3; ++k) q[k] = AlphaMix(c[k], q[k], p[3]);
    }
  }
  // The lower half of the picture mirrored below it, fading out.
  const int half = s.h / 2;
  if (!reflection || half == 0) return;
  const int rows = std::min(half, dst->Height() - (s.dy + s.h));
  int fade = 255;
  for (int k = 0; k < rows; ++k, fade -= 255 / half) {
    const std::uint8_t* p = PixelAt(src, s.sx, s.sy + s.h - k - 1);
    std::uint8_t* q = PixelAt(dst, s.dx, s.dy + s.h + k);
    for (int i = 0; i < s.w; ++i, p += 4, q += db) {
      if (Rgb(p) == kMagenta) continue;
      const double a = option == 0 ? p[3] / 3 * fade / 255.0
                                   : p[3] * (100.0 - option) / 300 * fade / 255;
      const std::uint8_t* c = tint ? tc : p;
      for (int n = 0; n < 3; ++n) q[n] = AlphaMix(c[n], q[n], Nearest(a));
    }
  }
}

void CopyMaskPartWithBackground(TRect dstRect, TRect srcRect, TBitmap* dst, TBitmap* src,
                                const TsBgCacheInfo& cacheInfo, bool onBackground,
                                const TsMaskData& mask) {
  if (!Is24or32(dst) || !Is24or32(src)) return;
  const int half = mask.R.Height() / 2;
  Span s{srcRect.Left,
         srcRect.Top,
         dstRect.Left,
         dstRect.Top,
         std::min(dstRect.Width(), srcRect.Width()),
         std::min(dstRect.Height(), srcRect.Height())};
  if (half <= 0 || !s.Clip(*src, *dst)) return;
  s.h = std::min(s.h, src->Height() - half - s.sy);  // the mask plane must exist
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  const bool background = onBackground && cacheInfo.Ready;
  const std::uint8_t fill[3] = {ColorB(cacheInfo.FillColor), ColorG(cacheInfo.FillColor),
                                ColorR(cacheInfo.FillColor)};
  for (int j = 0; j < s.h; ++j) {
    const std::uint8_t* p = PixelAt(src, s.sx, s.sy + j);
    const std::uint8_t* m = PixelAt(src, s.sx, s.sy + j + half);
    std::uint8_t* q = PixelAt(dst, s.dx, s.dy + j);
    for (int i = 0; i < s.w; ++i, p += sb, m += sb, q += db) {
      const std::uint8_t* bg = background ? Background(cacheInfo, s.dx + i, s.dy + j) : nullptr;
      // A transparent image pixel shows what lies behind, whatever the plane
      // holds under it (skins put magenta or black there).
      if (Rgb(p) == kMagenta) {
        if (!bg && !background && cacheInfo.FillColor != kMagenta) bg = fill;
        if (bg) std::memmove(q, bg, 3);  // bg may be q itself
        continue;
      }
      const std::uint8_t* d = bg ? bg : q;
      std::uint8_t out[3];
      for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>(((d[c] - p[c]) * m[c] + p[c] * 256) >> 8);
      std::memcpy(q, out, 3);
    }
  }
}

void MixBitmapsByMask(TBitmap* dst, TBitmap* first, TBitmap* second, TBitmap* mask,
                      std::uint8_t weight) {
  if (!dst || !first || !second || dst->PixelFormat() != pf32bit ||
      first->PixelFormat() != pf24bit || second->PixelFormat() != pf24bit ||
      first->Width() != second->Width() || first->Height() != second->Height())
    return;
  if (mask && (mask->PixelFormat() != pf24bit || mask->Width() < first->Width() ||
               mask->Height() < first->Height()))
    return;
  const int w = std::min(dst->Width(), first->Width());
  const int h = std::min(dst->Height(), first->Height());
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* a = first->ScanLine(y);
    const std::uint8_t* b = second->ScanLine(y);
    const std::uint8_t* m = mask ? mask->ScanLine(y) : nullptr;
    std::uint8_t* d = dst->ScanLine(y);
    for (int x = 0; x < w; ++x, a += 3, b += 3, d += 4) {
      for (int c = 0; c < 3; ++c) {
        const int k = m ? m[3 * x + c] : weight;
        d[c] = static_cast<std::uint8_t>((b[c] * 256 + (a[c] - b[c]) * k) >> 8);
      }
    }
  }
}

void BlendAlphaBitmapMasked(TBitmap* dst, TBitmap* src, TBitmap* mask, TRect r) {
  if (!Is24or32(dst) || !src || src->PixelFormat() != pf32bit || !Is24or32(mask)) return;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min({r.Right, dst->Width(), src->Width(), mask->Width()});
  r.Bottom = std::min({r.Bottom, dst->Height(), src->Height(), mask->Height()});
  const int db = dst->BytesPerPixel(), mb = mask->BytesPerPixel();
  for (int y = r.Top; y < r.Bottom; ++y) {
    const std::uint8_t* s = PixelAt(src, r.Left, y);
    const std::uint8_t* m = PixelAt(mask, r.Left, y);
    std::uint8_t* d = PixelAt(dst, r.Left, y);
    for (int x = r.Left; x < r.Right; ++x, s += 4, m += mb, d += db) {
      if (m[2] == 255) continue;
      for (int c = 0; c < 3; ++c) d[c] = AlphaMix(s[c], d[c], s[3]);
    }
  }
}

std::unique_ptr<TBitmap> RotateBitmap90(const TBitmap& bitmap, bool clockwise) {
  if (!Is24or32(&bitmap)) return nullptr;
  const int w = bitmap.Width(), h = bitmap.Height(), bpp = bitmap.BytesPerPixel();
  auto out = std::make_unique<TBitmap>(h, w, bitmap.PixelFormat());
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* p = bitmap.ScanLine(y);
    for (int x = 0; x < w; ++x, p += bpp) {
      const int nx = clockwise ? h - 1 - y : y;
      const int ny = clockwise ? x : w - 1 - x;
      std::memcpy(out->ScanLine(ny) + nx * bpp, p, bpp);
    }
  }
  return out;
}

// --- images into rectangles -------------------------------------------------------------

// BitBlt SRCCOPY of w x h pixels cut to both bitmaps: a 24-bit source gives a
// 32-bit destination alpha 0, a 32-bit source gives a 24-bit one no alpha.
void CopyPixels(TBitmap* dst, int dx, int dy, TBitmap* src, int sx, int sy, int w, int h) {
  Span s{sx, sy, dx, dy, w, h};
  if (!s.Clip(*src, *dst)) return;
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  for (int j = 0; j < s.h; ++j) {
    const std::uint8_t* p = PixelAt(src, s.sx, s.sy + j);
    std::uint8_t* q = PixelAt(dst, s.dx, s.dy + j);
    if (sb == db) {
      std::memmove(q, p, static_cast<std::size_t>(s.w) * sb);
      continue;
    }
    for (int i = 0; i < s.w; ++i, p += sb, q += db) {
      std::memcpy(q, p, 3);
      if (db == 4) q[3] = 0;
    }
  }
}

// StretchBlt in BLACKONWHITE mode: each destination pixel is the AND of the
// source pixels that fall on it (one pixel when enlarging).
void StretchPixels(TBitmap* dst, const TRect& d, TBitmap* src, const TRect& s) {
  const int dw = d.Width(), dh = d.Height(), sw = s.Width(), sh = s.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  for (int y = std::max(d.Top, 0); y < std::min(d.Bottom, dst->Height()); ++y) {
    const int y0 = s.Top + static_cast<int>(static_cast<std::int64_t>(y - d.Top) * sh / dh);
    const int y1 = std::max(
        y0 + 1, s.Top + static_cast<int>(static_cast<std::int64_t>(y - d.Top + 1) * sh / dh));
    for (int x = std::max(d.Left, 0); x < std::min(d.Right, dst->Width()); ++x) {
      const int x0 = s.Left + static_cast<int>(static_cast<std::int64_t>(x - d.Left) * sw / dw);
      const int x1 = std::max(
          x0 + 1, s.Left + static_cast<int>(static_cast<std::int64_t>(x - d.Left + 1) * sw / dw));
      std::uint8_t acc[4] = {255, 255, 255, 255};
      bool any = false;
      for (int sy = std::max(y0, 0); sy < std::min(y1, src->Height()); ++sy)
        for (int sx = std::max(x0, 0); sx < std::min(x1, src->Width()); ++sx) {
          const std::uint8_t* p = PixelAt(src, sx, sy);
          for (int c = 0; c < sb; ++c) acc[c] &= p[c];
          any = true;
        }
      if (!any) continue;
      std::uint8_t* q = PixelAt(dst, x, y);
      std::memcpy(q, acc, 3);
      if (db == 4) q[3] = sb == 4 ? acc[3] : 0;
    }
  }
}

void HalftoneStretchPixels(TBitmap* dst, const TRect& d, TBitmap* src, const TRect& s,
                           TPixelPut put) {
  if (put == nullptr) put = CopyPixelLikeBitBlt;
  const int dw = d.Width(), dh = d.Height(), sw = s.Width(), sh = s.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  // The source span [first, last) of destination index i, cut to 0..limit.
  const auto span = [](int i, int dn, int from, int sn, int limit) {
    const int a = from + static_cast<int>(static_cast<std::int64_t>(i) * sn / dn);
    const int b = from + static_cast<int>(static_cast<std::int64_t>(i + 1) * sn / dn);
    return std::pair{std::max(a, 0), std::min(std::max(b, a + 1), limit)};
  };
  const int x0 = std::max(d.Left, 0), x1 = std::min(d.Right, dst->Width());
  if (x1 <= x0) return;
  std::vector<std::pair<int, int>> columns(x1 - x0);
  for (int x = x0; x < x1; ++x) columns[x - x0] = span(x - d.Left, dw, s.Left, sw, src->Width());
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  std::vector<const std::uint8_t*> rows;  // the source rows of one destination row
  for (int y = std::max(d.Top, 0); y < std::min(d.Bottom, dst->Height()); ++y) {
    const auto [sy0, sy1] = span(y - d.Top, dh, s.Top, sh, src->Height());
    if (sy1 <= sy0) continue;  // past the source's rows
    std::uint8_t* q = PixelAt(dst, x0, y);
    rows.clear();
    for (int sy = sy0; sy < sy1; ++sy) rows.push_back(PixelAt(src, 0, sy));
    const std::uint8_t* row = rows.front();
    for (const auto& [sx0, sx1] : columns) {
      const int n = (sy1 - sy0) * std::max(sx1 - sx0, 0);
      if (n == 1) {
        put(q, db, row + static_cast<std::ptrdiff_t>(sx0) * sb, sb);
      } else if (n > 0) {
        unsigned sum[4] = {};
        for (const std::uint8_t* from : rows) {
          const std::uint8_t* p = from + static_cast<std::ptrdiff_t>(sx0) * sb;
          for (int sx = sx0; sx < sx1; ++sx, p += sb)
            for (int c = 0; c < sb; ++c) sum[c] += p[c];
        }
        std::uint8_t avg[4];
        for (int c = 0; c < sb; ++c) avg[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
        put(q, db, avg, sb);
      }
      q += db;
    }
  }
}

namespace {

// Tiles of the source rectangle laid from the destination's top-left, the last
// row and column cut.
void TilePixels(TBitmap* dst, const TRect& d, TBitmap* src, const TRect& s) {
  const int tw = s.Width(), th = s.Height();
  if (tw <= 0 || th <= 0 || d.Width() <= 0 || d.Height() <= 0) return;
  for (int y = d.Top; y < d.Bottom; y += th)
    for (int x = d.Left; x < d.Right; x += tw)
      CopyPixels(dst, x, y, src, s.Left, s.Top, std::min(tw, d.Right - x),
                 std::min(th, d.Bottom - y));
}

void EdgePixels(TBitmap* dst, const TRect& d, TBitmap* src, const TRect& s, int mode) {
  if (d.Width() <= 0 || d.Height() <= 0 || s.Width() <= 0 || s.Height() <= 0) return;
  if (mode == 1)
    StretchPixels(dst, d, src, s);
  else
    TilePixels(dst, d, src, s);
}

}  // namespace

void StretchBitmapNinePart(TBitmap* dst, TBitmap* src, TRect d, TRect s, TRect margins,
                           TRect limits, const int edgeModes[4], bool centreStretch,
                           bool paintCentre) {
  if (!Is24or32(dst) || !Is24or32(src)) return;
  const int ml = margins.Left, mt = margins.Top, mr = margins.Right, mb = margins.Bottom;
  const int ll = std::min(ml, limits.Left), lt = std::min(mt, limits.Top);
  const int lr = std::min(mr, limits.Right), lb = std::min(mb, limits.Bottom);
  // Pieces of no positive size are left out (GDI would mirror negative ones).
  const auto copy = [&](int dx, int dy, int sx, int sy, int w, int h) {
    if (w > 0 && h > 0) CopyPixels(dst, dx, dy, src, sx, sy, w, h);
  };
  copy(d.Left, d.Top, s.Left, s.Top, ml, lt);
  if (mt > lt) copy(d.Left, d.Top + lt, s.Left, s.Top + lt, ll, mt - lt);
  copy(d.Left, d.Bottom - lb, s.Left, s.Bottom - lb, ml, lb);
  if (mb > lb) copy(d.Left, d.Bottom - mb, s.Left, s.Bottom - mb, ll, mb - lb);
  copy(d.Right - mr, d.Top, s.Right - mr, s.Top, mr, lt);
  if (mt > lt) copy(d.Right - lr, d.Top + lt, s.Right - lr, s.Top + lt, lr, mt - lt);
  copy(d.Right - mr, d.Bottom - lb, s.Right - mr, s.Bottom - lb, mr, lb);
  if (mb > lb) copy(d.Right - lr, d.Bottom - mb, s.Right - lr, s.Bottom - mb, lr, mb - lb);

  EdgePixels(dst, {d.Left, d.Top + mt, d.Left + ll, d.Bottom - mb}, src,
             {s.Left, s.Top + mt, s.Left + ll, s.Bottom - mb}, edgeModes[0]);
  EdgePixels(dst, {d.Left + ml, d.Top, d.Right - mr, d.Top + lt}, src,
             {s.Left + ml, s.Top, s.Right - mr, s.Top + lt}, edgeModes[1]);
  EdgePixels(dst, {d.Right - lr, d.Top + mt, d.Right, d.Bottom - mb}, src,
             {s.Right - lr, s.Top + mt, s.Right, s.Bottom - mb}, edgeModes[2]);
  EdgePixels(dst, {d.Left + ml, d.Bottom - lb, d.Right - mr, d.Bottom}, src,
             {s.Left + ml, s.Bottom - lb, s.Right - mr, s.Bottom}, edgeModes[3]);
  if (paintCentre)
    EdgePixels(dst, {d.Left + ml, d.Top + mt, d.Right - mr, d.Bottom - mb}, src,
               {s.Left + ml, s.Top + mt, s.Right - mr, s.Bottom - mb}, centreStretch ? 1 : 0);
}

namespace {

// A single 32-bit glyph laid on by its own alpha, through a copy that takes
// the disabled or blended look: made 24-bit, its soft edges would keep their
// colour at full strength and show a dark fringe.
void DrawAlphaGlyph(TBitmap* src, TBitmap* dst, TPoint p, bool enabled, int disabledKind, int state,
                    int blendPercent) {
  TBitmap copy;
  copy.Assign(*src);
  int keep = 100;  // percent of each pixel's alpha
  if (enabled && state == 0 && blendPercent >= 1) keep = 100 - std::min(blendPercent, 100);
  if (!enabled) {
    if (disabledKind & dkGrayedBit) GrayscaleBitmapExcept(&copy, TransparentColor);
    if (disabledKind & dkBlendedBit) keep = 50;
  }
  if (keep != 100)
    for (int y = 0; y < copy.Height(); ++y) {
      std::uint8_t* q = copy.ScanLine(y);
      for (int x = 0; x < copy.Width(); ++x, q += 4)
        q[3] = static_cast<std::uint8_t>(q[3] * keep / 100);
    }
  // Rounded to the nearest, so that an opaque pixel keeps its colour exactly.
  if (!Is24or32(dst)) return;
  const int dstBytes = dst->BytesPerPixel();
  for (int y = std::max(0, -p.Y); y < copy.Height() && p.Y + y < dst->Height(); ++y) {
    const std::uint8_t* s = copy.ScanLine(y);
    std::uint8_t* d = dst->ScanLine(p.Y + y);
    for (int x = std::max(0, -p.X); x < copy.Width() && p.X + x < dst->Width(); ++x) {
      const std::uint8_t* from = s + 4 * x;
      std::uint8_t* to = d + dstBytes * (p.X + x);
      const int a = from[3];
      for (int c = 0; c < 3; ++c)
        to[c] = static_cast<std::uint8_t>((from[c] * a + to[c] * (255 - a) + 127) / 255);
    }
  }
}

}  // namespace

void DrawButtonGlyph(TBitmap* src, TBitmap* dst, TPoint p, int frameCount, bool enabled,
                     int disabledKind, int state, int blendPercent, std::uint8_t offset) {
  if (!src || src->Empty() || !dst) return;
  if (std::max(frameCount, 1) == 1 && src->PixelFormat() == pf32bit)
    return DrawAlphaGlyph(src, dst, p, enabled, disabledKind, state, blendPercent);
  DrawMultiStateGlyph(src, dst, p, frameCount, enabled, disabledKind, state, blendPercent, offset);
}

void DrawMultiStateGlyph(TBitmap* src, TBitmap* dst, TPoint p, int frameCount, bool enabled,
                         int disabledKind, int state, int blendPercent, std::uint8_t offset, int) {
  if (!src || src->Empty() || !dst) return;
  frameCount = std::max(frameCount, 1);  // a count of 0 would divide by zero
  // 16-colour strips keep their first frame for the hot and pressed looks.
  const bool sixteenColours = src->PixelFormat() == pf4bit;
  TBitmap copy;
  copy.Assign(*src);
  copy.SetPixelFormat(pf24bit);
  const int w = copy.Width(), h = copy.Height();
  const auto colourAt = [&](int x, int y) {
    return static_cast<TColor>(Rgb(PixelAt(&copy, x, y)));
  };
  const TColor stripKey = colourAt(0, h - 1);
  if (frameCount == 1) {
    const TRect all{0, 0, w - 1, h - 1};
    if (enabled && state == 0 && blendPercent >= 1) {
      BlendBitmapRect(dst, p.X, p.Y, &copy, all, blendPercent / 100.0, stripKey);
    } else if (enabled) {
      CopyBitmapSkipTransparent(dst, &copy, p.X, p.Y, stripKey);
    } else {
      // Key pixels stay as they are, or they would turn grey and show.
      if (disabledKind & dkGrayedBit) GrayscaleBitmapExcept(&copy, stripKey);
      if (disabledKind & dkBlendedBit)
        BlendBitmapRect(dst, p.X, p.Y, &copy, all, 0.5, stripKey);
      else
        CopyBitmapSkipTransparent(dst, &copy, p.X, p.Y, stripKey);
    }
    return;
  }
  const int fw = w / frameCount;
  if (fw <= 0) return;
  int index = 0;
  if (enabled && state == 1) {
    index = sixteenColours ? 0 : 1;
  } else if (enabled && state == 2) {
    if (frameCount > offset + 2)
      index = offset + 2;
    else
      index = sixteenColours ? 0 : std::min(1, frameCount - 1);
  }
  const TRect frame{index * fw, 0, (index + 1) * fw - 1, h - 1};
  if (!enabled && state == 0 && blendPercent >= 1)
    BlendBitmapRect(dst, p.X, p.Y, &copy, frame, blendPercent / 100.0, stripKey);
  else
    CopyRectSkipTransparent24(dst, &copy, p.X, p.Y, frame,
                              enabled ? colourAt(index * fw, h - 1) : stripKey);
}

void LayoutGlyphAndCaption(TRect client, TPoint glyphSize, TPoint textSize, std::uint8_t layout,
                           std::uint8_t alignment, int margin, int spacing, TPoint& glyphPos,
                           TRect& textBounds, int biDiFlags) {
  if ((biDiFlags & 2) && layout <= 1) layout ^= 1;
  textBounds = {0, 0, textSize.X, textSize.Y};
  const int cw = client.Width(), ch = client.Height();
  TPoint textPos;
  const bool horizontal = layout <= 1;
  // Across the layout's axis both are centred.
  if (horizontal) {
    glyphPos.Y = (ch - glyphSize.Y + 1) / 2;
    textPos.Y = (ch - textSize.Y + 1) / 2;
  } else {
    glyphPos.X = (cw - glyphSize.X + 1) / 2;
    textPos.X = (cw - textSize.X + 1) / 2;
  }
  if (textSize.X == 0 || glyphSize.X == 0) spacing = 0;
  const int extent = horizontal ? cw : ch;
  const int glyph = horizontal ? glyphSize.X : glyphSize.Y;
  const int text = horizontal ? textSize.X : textSize.Y;
  if (margin == -1) {
    if (spacing == -1)
      margin = spacing = (extent - glyph - text) / 3;
    else
      margin = alignment == 2 ? (extent - glyph - spacing - text + 1) / 2 : 2;
  } else if (spacing == -1) {
    spacing = (extent - margin - glyph - text) / 2;
  }
  // Along the axis: glyph first for layouts 0 and 2, text first for 1 and 3.
  const bool glyphFirst = layout == 0 || layout == 2;
  const int first = glyphFirst ? glyph : text, second = glyphFirst ? text : glyph;
  int firstAt;
  if (alignment == 1)
    firstAt = extent - margin - second - spacing - first;
  else if (alignment == 2)
    firstAt = (extent - (first + spacing + second) + 1) / 2;
  else
    firstAt = margin;
  const int secondAt = firstAt + first + spacing;
  const int glyphAt = glyphFirst ? firstAt : secondAt, textAt = glyphFirst ? secondAt : firstAt;
  if (horizontal) {
    glyphPos.X = glyphAt;
    textPos.X = textAt;
  } else {
    glyphPos.Y = glyphAt;
    textPos.Y = textAt;
  }
  OffsetRect(textBounds, textPos.X, textPos.Y);
}

// --- resampling ----------------------------------------------------------------------------

double ResampleFilterSupport(int filter) {
  static const double support[7] = {0.51, 1.0, 1.0, 1.5, 2.0, 3.0, 2.0};
  return filter >= 0 && filter < 7 ? support[filter] : 0.0;
}

double ResampleFilter(int filter, double x) {
  constexpr double pi = 3.14159265358979323846;
  x = std::fabs(x);
  switch (filter) {
    case 0:
      return x <= 0.5 ? 1 : 0;
    case 1:
      return x < 1 ? 1 - x : 0;
    case 2:
      return x < 1 ? x * x * (2 * x - 3) + 1 : 0;
    case 3:
      if (x < 0.5) return 0.75 - x * x;
      return x < 1.5 ? 0.5 * (x - 1.5) * (x - 1.5) : 0;
    case 4:
      if (x < 1) return x * x * (x / 2 - 1) + 2.0 / 3;
      return x < 2 ? (2 - x) * (2 - x) * (2 - x) / 6 : 0;
    case 5:
      if (x == 0) return 1;
      return x < 3 ? std::sin(pi * x) * std::sin(x) / (pi * x * x) : 0;
    case 6:
      if (x < 1) return x * x * (7.0 / 6 * x - 2) + 8.0 / 9;
      return x < 2 ? x * x * (-7.0 / 18 * x + 2) - 10.0 / 3 * x + 16.0 / 9 : 0;
  }
  return 0;
}

namespace {

// Reflects an index into 0..n-1: -j below the start, 2n - j - 1 past the end,
// as often as a support wider than a small source needs.
int Mirror(int j, int n) {
  for (int i = 0; i < 64 && (j < 0 || j >= n); ++i) j = j < 0 ? -j : 2 * n - j - 1;
  return std::clamp(j, 0, n - 1);
}

}  // namespace

TContributorTable BuildContributors(int destSize, int srcSize, std::ptrdiff_t step,
                                    std::uint8_t filter) {
  TContributorTable table;
  if (destSize <= 0 || srcSize <= 0) return table;
  table.Entries.resize(destSize);
  const double support = ResampleFilterSupport(filter);
  const double scale = srcSize > destSize ? static_cast<double>(destSize) / srcSize : 1.0;
  const double width = support / scale;
  std::vector<std::pair<int, double>> weights;
  for (int i = 0; i < destSize; ++i) {
    const double centre = static_cast<double>(i) * srcSize / destSize;
    weights.clear();
    double sum = 0;
    for (int j = static_cast<int>(std::floor(centre - width));
         j <= static_cast<int>(std::ceil(centre + width)); ++j) {
      const double x = std::fabs(centre - j) * scale;
      if (x >= support) continue;
      const double w = ResampleFilter(filter, x) * scale;
      if (w == 0) continue;
      weights.emplace_back(Mirror(j, srcSize), w);
      sum += w;
    }
    auto& entry = table.Entries[i];
    if (weights.empty() || std::fabs(sum) < 1e-9) continue;
    // Normalised so that the weights add up to exactly 65536.
    std::int32_t total = 0;
    std::size_t largest = 0;
    for (std::size_t k = 0; k < weights.size(); ++k) {
      const auto fixed = static_cast<std::int32_t>(std::nearbyint(weights[k].second / sum * 65536));
      entry.push_back({weights[k].first * step, fixed});
      total += fixed;
      if (std::abs(fixed) > std::abs(entry[largest].Weight)) largest = k;
    }
    entry[largest].Weight += 65536 - total;
  }
  return table;
}

void FreeContributors(TContributorTable& table) { table.Entries.clear(); }

namespace {

template <int Channels>
void FilterRow(std::ptrdiff_t, std::ptrdiff_t dstPixelStep, std::uint8_t* dst,
               const std::uint8_t* src, const TContributorTable& table, int count) {
  count = std::min(count, static_cast<int>(table.Entries.size()));
  for (int i = 0; i < count; ++i, dst += dstPixelStep) {
    std::int32_t sum[Channels] = {};
    for (const TContributor& c : table.Entries[i]) {
      if (c.Weight == 0) continue;
      const std::uint8_t* p = src + c.Offset;
      for (int k = 0; k < Channels; ++k) sum[k] += p[k] * c.Weight;
    }
    for (int k = 0; k < Channels; ++k)
      dst[k] = sum[k] < 0 ? 0 : sum[k] > 0xFF0000 ? 255 : static_cast<std::uint8_t>(sum[k] >> 16);
  }
}

}  // namespace

void FilterRow24(std::ptrdiff_t srcPixelStep, std::ptrdiff_t dstPixelStep, std::uint8_t* dst,
                 const std::uint8_t* src, const TContributorTable& table, int count) {
  FilterRow<3>(srcPixelStep, dstPixelStep, dst, src, table, count);
}

void FilterRow32(std::ptrdiff_t srcPixelStep, std::ptrdiff_t dstPixelStep, std::uint8_t* dst,
                 const std::uint8_t* src, const TContributorTable& table, int count) {
  FilterRow<4>(srcPixelStep, dstPixelStep, dst, src, table, count);
}

void ResampleBitmap(const TBitmap& source, TBitmap& dst, int newWidth, int newHeight,
                    std::uint8_t filter) {
  if (source.Width() < 2 || source.Height() < 2) throw Exception("Source bitmap is too small");
  // The same size is a plain copy, in the source's own format.
  if (newWidth == source.Width() && newHeight == source.Height()) {
    if (&dst != &source) dst.Assign(source);
    return;
  }
  // Only 24-bit and 32-bit rows are filtered; anything else goes through 24 bits.
  TBitmap converted;
  const TBitmap* src = &source;
  if (source.PixelFormat() != pf32bit && source.PixelFormat() != pf24bit) {
    converted.Assign(source);
    converted.SetPixelFormat(pf24bit);
    src = &converted;
  }
  const TPixelFormat format = src->PixelFormat();
  const int bpp = src->BytesPerPixel();
  const int w = src->Width(), h = src->Height();
  if (newWidth < 1 || newHeight < 1) {
    dst = TBitmap(0, 0, format);
    return;
  }
  const auto filterRow = bpp == 4 ? FilterRow32 : FilterRow24;
  TBitmap work(newWidth, h, format);
  TContributorTable table = BuildContributors(newWidth, w, bpp, filter);
  for (int y = 0; y < h; ++y)
    filterRow(bpp, bpp, work.ScanLine(y), src->ScanLine(y), table, newWidth);
  TBitmap out(newWidth, newHeight, format);
  table = BuildContributors(newHeight, h, work.RowStep(), filter);
  for (int x = 0; x < newWidth; ++x)
    filterRow(work.RowStep(), out.RowStep(), out.ScanLine(0) + x * bpp, work.ScanLine(0) + x * bpp,
              table, newHeight);
  dst.Swap(out);
}

}  // namespace kv
