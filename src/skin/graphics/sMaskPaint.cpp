#include "skin/graphics/sMaskPaint.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "skin/graphics/sGraphUtils.h"
#include "skin/model/sSkinModel.h"

namespace kv {

namespace {

bool Is24or32(const TBitmap* b) {
  return b && !b->Empty() && (b->PixelFormat() == pf24bit || b->PixelFormat() == pf32bit);
}

std::uint8_t* At(TBitmap* b, int x, int y) {
  return b->ScanLine(y) + static_cast<std::ptrdiff_t>(x) * b->BytesPerPixel();
}

// B, G, R of the toolkit's transparent colour.
bool IsKey(const std::uint8_t* p) {
  return p[0] == ColorB(TransparentColor) && p[1] == ColorG(TransparentColor) &&
         p[2] == ColorR(TransparentColor);
}

TBitmap* MaskSource(const TsMaskData& mask, TBitmap* master) {
  return mask.Bmp ? mask.Bmp.get() : master;
}

// What a transparent source pixel turns into: the pixel of a background
// bitmap, a plain colour, or nothing (the destination stays).
class Backdrop {
 public:
  static Backdrop None() { return {}; }
  // The record's bitmap only while its fill colour is none: a ready
  // record that names a colour stands for that colour.
  static Backdrop ColourFirst(const TsBgCacheInfo& info) {
    return Of(info, info.FillColor == TransparentColor);
  }
  static Backdrop Of(const TsBgCacheInfo& info, bool useBitmap) {
    Backdrop b;
    if (useBitmap && info.Ready && Is24or32(info.Bmp)) {
      b.bmp_ = info.Bmp;
      b.x_ = info.X;
      b.y_ = info.Y;
    } else if (info.FillColor != TransparentColor) {
      b.hasFill_ = true;
      b.fill_[0] = ColorB(info.FillColor);
      b.fill_[1] = ColorG(info.FillColor);
      b.fill_[2] = ColorR(info.FillColor);
    }
    return b;
  }
  // B, G, R behind destination pixel (x, y), or null.
  const std::uint8_t* At(int x, int y) const {
    if (hasFill_) return fill_;
    if (!bmp_) return nullptr;
    x += x_;
    y += y_;
    if (x < 0 || y < 0 || x >= bmp_->Width() || y >= bmp_->Height()) return nullptr;
    return kv::At(bmp_, x, y);
  }

 private:
  TBitmap* bmp_ = nullptr;
  int x_ = 0, y_ = 0;
  bool hasFill_ = false;
  std::uint8_t fill_[3] = {};
};

// A 32-bit source pixel over a destination pixel by its (straight) alpha.
void Compose(std::uint8_t* q, int db, const std::uint8_t* p) {
  const int a = p[3];
  if (db == 3) {
    for (int c = 0; c < 3; ++c)
      q[c] = static_cast<std::uint8_t>(((p[c] - q[c]) * a + q[c] * 256) >> 8);
    return;
  }
  const int keep = q[3] * (255 - a);  // destination weight, scaled by 255
  const int total = a * 255 + keep;
  if (total == 0) return;
  for (int c = 0; c < 3; ++c)
    q[c] = static_cast<std::uint8_t>((p[c] * a * 255 + q[c] * keep + total / 2) / total);
  q[3] = static_cast<std::uint8_t>((total + 127) / 255);
}

// One source pixel into a destination pixel: 32-bit ones by their alpha,
// 24-bit ones opaque.
void Put(std::uint8_t* q, int db, const std::uint8_t* p, int sb) {
  if (sb == 4) return Compose(q, db, p);
  std::memcpy(q, p, 3);
  if (db == 4) q[3] = 255;
}

// w x h pixels from (sx, sy) of the source onto (dx, dy) of the destination.
struct Piece {
  int sx, sy, dx, dy, w, h;
  // Cuts the piece to the destination and to the first srcRows rows of the
  // source; a negative start shifts the other side with it.
  bool Clip(const TBitmap& src, int srcRows, const TBitmap& dst) {
    const int ox = std::max({0, -sx, -dx}), oy = std::max({0, -sy, -dy});
    sx += ox, dx += ox, w -= ox;
    sy += oy, dy += oy, h -= oy;
    w = std::min({w, src.Width() - sx, dst.Width() - dx});
    h = std::min({h, srcRows - sy, dst.Height() - dy});
    return w > 0 && h > 0;
  }
};

struct PaintOptions {
  bool keyed = false;  // transparent source pixels take the backdrop
  int plane = -1;      // rows from an image pixel down to its mask-plane byte
  int boost = 0;       // added to every mask-plane byte (the ghost look)
};

// The one pixel loop of the mask painters: opaque or keyed copies, 32-bit
// sources by alpha, and the mask-plane mix d := ((d - s) * m + s * 256) shr 8.
void PaintPiece(TBitmap* dst, TBitmap* src, Piece pc, const Backdrop& under,
                const PaintOptions& o) {
  const int rows = src->Height() - std::max(o.plane, 0);
  if (!pc.Clip(*src, rows, *dst)) return;
  const int sb = src->BytesPerPixel(), db = dst->BytesPerPixel();
  if (!o.keyed && o.plane < 0 && sb == 3) {  // the common opaque edge, row by row
    for (int j = 0; j < pc.h; ++j) {
      const std::uint8_t* p = At(src, pc.sx, pc.sy + j);
      std::uint8_t* q = At(dst, pc.dx, pc.dy + j);
      if (db == 3) {
        std::memmove(q, p, 3 * static_cast<std::size_t>(pc.w));
        continue;
      }
      for (int i = 0; i < pc.w; ++i, p += 3, q += 4)
        q[0] = p[0], q[1] = p[1], q[2] = p[2], q[3] = 255;
    }
    return;
  }
  for (int j = 0; j < pc.h; ++j) {
    const std::uint8_t* p = At(src, pc.sx, pc.sy + j);
    const std::uint8_t* m = o.plane >= 0 ? At(src, pc.sx, pc.sy + j + o.plane) : nullptr;
    std::uint8_t* q = At(dst, pc.dx, pc.dy + j);
    for (int i = 0; i < pc.w; ++i, p += sb, q += db, m = m ? m + sb : m) {
      if (o.keyed && IsKey(p)) {
        if (const std::uint8_t* bg = under.At(pc.dx + i, pc.dy + j)) {
          std::memmove(q, bg, 3);  // the backdrop may be the destination: q == bg
          if (db == 4) q[3] = 255;
        }
        continue;
      }
      if (m) {
        for (int c = 0; c < 3; ++c) {
          const int w = std::min(m[c] + o.boost, 255);
          q[c] =
              static_cast<std::uint8_t>(std::clamp(((q[c] - p[c]) * w + p[c] * 256) >> 8, 0, 255));
        }
        if (db == 4) q[3] = 255;
      } else {
        Put(q, db, p, sb);
      }
    }
  }
}

// Tiles of tw x th from (sx, sy) laid over R from its top-left, the last row
// and column cut; a tile size of 0 lays nothing.
template <typename Copy>
void Tile(const TRect& r, int tw, int th, Copy copy) {
  if (tw <= 0 || th <= 0) return;
  for (int y = r.Top; y < r.Bottom; y += th)
    for (int x = r.Left; x < r.Right; x += tw)
      copy(x, y, std::min(tw, r.Right - x), std::min(th, r.Bottom - y));
}

}  // namespace

TsNineMargins FitNineMargins(int size, int first, int second) {
  first = std::max(first, 0);
  second = std::max(second, 0);
  size = std::max(size, 0);
  if (size < first + second) {
    const int excess = (first + second - size) / 2;
    first -= excess;
    second -= excess;
    if (size % 2 != 0) second -= 1;
  }
  // Uneven margins may still overlap (the second corner is laid over the
  // first), but neither reaches past the rectangle.
  return {std::clamp(first, 0, size), std::clamp(second, 0, size)};
}

void PaintMaskNinePart(TBitmap* bitmap, TRect d, bool fillCentre, const TsBgCacheInfo& cacheInfo,
                       const TsMaskData& mask, TBitmap* master, int state, bool cornersOnBackground,
                       int) {
  if (state == 0 && (mask.StretchMode & 2)) return;
  if (d.Width() < 2 || d.Height() < 2) return;
  TBitmap* src = MaskSource(mask, master);
  if (!Is24or32(bitmap) || !Is24or32(src) || mask.ImageCount <= 0) return;
  const TsNineMargins h = FitNineMargins(d.Width(), mask.WL, mask.WR);
  const TsNineMargins v = FitNineMargins(d.Height(), mask.WT, mask.WB);
  const int L = h.First, R = h.Second, T = v.First, B = v.Second;
  const int fw = MaskFrameWidth(mask), sh = MaskStateHeight(mask);
  const int k = std::clamp(state, 0, mask.ImageCount - 1);
  const int sl = mask.R.Left + k * fw, st = mask.R.Top;  // the frame's top-left
  const int sr = sl + fw - R, sbtm = st + sh - B;        // its right and bottom margins
  const int cw = std::max(fw - L - R, 0), ch = std::max(sh - T - B, 0);
  const bool plane = mask.MaskType != 0;
  const bool stretch = !plane && (mask.StretchMode & 1);
  const Backdrop under = Backdrop::Of(cacheInfo, cornersOnBackground);

  const auto corner = [&](int dx, int dy, int sx, int sy, int w, int ht) {
    if (plane)
      CopyMaskPartWithBackground(Bounds(dx, dy, w, ht), Bounds(sx, sy, w, ht), bitmap, src,
                                 cacheInfo, cornersOnBackground, mask);
    else
      PaintPiece(bitmap, src, {sx, sy, dx, dy, w, ht}, under, {.keyed = true});
  };
  // An edge or the centre: tiled, or one stretch without a mask plane.
  const auto area = [&](const TRect& r, int sx, int sy, int tw, int th) {
    if (stretch) return HalftoneStretchPixels(bitmap, r, src, Bounds(sx, sy, tw, th), Put);
    Tile(r, tw, th, [&](int x, int y, int w, int ht) {
      if (plane)
        CopyMaskPartWithBackground(Bounds(x, y, w, ht), Bounds(sx, sy, w, ht), bitmap, src,
                                   EmptyBgCacheInfo, false, mask);
      else
        PaintPiece(bitmap, src, {sx, sy, x, y, w, ht}, Backdrop::None(), {});
    });
  };

  corner(d.Left, d.Top, sl, st, L, T);
  area({d.Left, d.Top + T, d.Left + L, d.Bottom - B}, sl, st + T, L, ch);
  area({d.Left + L, d.Top, d.Right - R, d.Top + T}, sl + L, st, cw, T);
  corner(d.Left, d.Bottom - B, sl, sbtm, L, B);
  area({d.Left + L, d.Bottom - B, d.Right - R, d.Bottom}, sl + L, sbtm, cw, B);
  corner(d.Right - R, d.Bottom - B, sr, sbtm, R, B);
  corner(d.Right - R, d.Top, sr, st, R, T);
  area({d.Right - R, d.Top + T, d.Right, d.Bottom - B}, sr, st + T, R, ch);
  if (fillCentre && (mask.StretchMode & 4))
    area({d.Left + L, d.Top + T, d.Right - R, d.Bottom - B}, sl + L, st + T, cw, ch);
}

void DrawMaskState(TBitmap* bitmap, TPoint point, int state, const TsBgCacheInfo& cacheInfo,
                   const TsMaskData& mask, TBitmap* master, int mode) {
  if (!Is24or32(bitmap) || mask.ImageCount <= 0) return;
  const int k = std::clamp(state, 0, mask.ImageCount - 1);
  int sx = mask.R.Left + k * MaskFrameWidth(mask), sy = mask.R.Top;
  int w = MaskFrameWidth(mask), h = MaskStateHeight(mask);
  // A negative point cuts the frame at the bitmap's edge.
  if (point.X < 0) sx -= point.X, w += point.X, point.X = 0;
  if (point.Y < 0) sy -= point.Y, h += point.Y, point.Y = 0;
  if (w <= 0 || h <= 0) return;
  const TRect dst{point.X, point.Y, point.X + w - 1, point.Y + h - 1};
  const TRect src{sx, sy, sx + w - 1, sy + h - 1};
  if (mask.Bmp) {
    if (mask.Bmp->Width() >= mask.R.Right && mask.Bmp->Height() >= mask.R.Bottom)
      PaintMaskedPiece(dst, src, bitmap, mask, mode, TransparentColor, mask.Bmp.get());
    return;
  }
  if (!Is24or32(master)) return;
  if (mask.MaskType != 0)
    PaintMaskedPiece(dst, src, bitmap, mask, mode, TransparentColor, master);
  else if (mode == 1)
    PaintPiece(bitmap, master, {sx, sy, point.X, point.Y, w, h}, Backdrop::Of(cacheInfo, true),
               {.keyed = true});
  else
    BlendBitmapRect(bitmap, point.X, point.Y, master, src, 0.5, TransparentColor);
}

void PaintMaskedPiece(TRect dstRect, TRect srcRect, TBitmap* bitmap, const TsMaskData& mask,
                      int mode, TColor, TBitmap* source) {
  if (!Is24or32(bitmap) || !Is24or32(source)) return;
  const int sh = MaskStateHeight(mask);
  const bool plane = mask.MaskType != 0;
  if (plane && sh <= 0) return;
  Piece pc{srcRect.Left,
           srcRect.Top,
           dstRect.Left,
           dstRect.Top,
           std::min(dstRect.Width(), srcRect.Width()) + 1,
           std::min(dstRect.Height(), srcRect.Height()) + 1};
  if (mask.ImageCount < 1) pc.h = std::min(pc.h, sh);
  PaintPiece(bitmap, source, pc, Backdrop::None(),
             {.keyed = true, .plane = plane ? sh : -1, .boost = mode == 1 ? 0 : 100});
}

void PaintMaskedPieceOnBackground(TRect dstRect, TRect srcRect, TBitmap* bitmap,
                                  const TsMaskData& mask, TBitmap* master,
                                  const TsBgCacheInfo& cacheInfo) {
  // The mask's own image when it has one: its rectangle is in that image.
  TBitmap* source = MaskSource(mask, master);
  if (!Is24or32(bitmap) || !Is24or32(source)) return;
  const int planeOffset = mask.R.Height() / 2;  // the plane is the image's lower half
  const bool plane = mask.MaskType != 0;
  if (plane && planeOffset <= 0) return;
  const Piece pc{srcRect.Left,
                 srcRect.Top,
                 dstRect.Left,
                 dstRect.Top,
                 std::min(dstRect.Width(), srcRect.Width()) + 1,
                 std::min(dstRect.Height(), srcRect.Height()) + 1};
  PaintPiece(bitmap, source, pc, Backdrop::ColourFirst(cacheInfo),
             {.keyed = true, .plane = plane ? planeOffset : -1});
}

void CopyWhereMaskTransparent(TBitmap* dst, TBitmap* src, TRect r, int partCode,
                              const TsSkinModel* skin, int maskIndex, TPoint srcPoint) {
  if (!Is24or32(dst) || !Is24or32(src)) return;
  TBitmap* image = dst;  // index -1 tests the destination itself
  TPoint start = r.TopLeft();
  if (maskIndex != -1) {
    if (!skin || !skin->IsMaskIndexValid(maskIndex)) return;
    const TsMaskData& mask = skin->MaskData[maskIndex];
    image = MaskSource(mask, skin->MasterBitmap.get());
    if (!Is24or32(image)) return;
    start = mask.R.TopLeft();
    if (partCode == mpTopRight || partCode == mpBottomRight)
      start.X = mask.R.Left + MaskFrameWidth(mask) - mask.WR;
    if (partCode == mpBottomLeft || partCode == mpBottomRight)
      start.Y = mask.R.Top + MaskStateHeight(mask) - mask.WB;
  }
  const auto inside = [](const TBitmap* b, int x, int y) {
    return x >= 0 && y >= 0 && x < b->Width() && y < b->Height();
  };
  const int db = dst->BytesPerPixel(), sb = src->BytesPerPixel();
  for (int row = 0; row < r.Height(); ++row) {
    for (int col = 0; col < r.Width(); ++col) {
      const int dx = r.Left + col, dy = r.Top + row;
      const int sx = srcPoint.X + col, sy = srcPoint.Y + row;
      const int mx = start.X + col, my = start.Y + row;
      if (!inside(dst, dx, dy) || !inside(src, sx, sy) || !inside(image, mx, my)) continue;
      if (!IsKey(At(image, mx, my))) continue;
      std::uint8_t* q = At(dst, dx, dy);
      const std::uint8_t* p = At(src, sx, sy);
      std::memcpy(q, p, 3);
      if (db == 4) q[3] = sb == 4 ? p[3] : 255;
    }
  }
}

void BlendRectWithColor(TBitmap* bitmap, TRect r, int percent, TColor color) {
  if (!Is24or32(bitmap)) return;
  percent = std::clamp(percent, 0, 100);
  color = DefaultColorToRGB(color);
  const int target[3] = {ColorB(color), ColorG(color), ColorR(color)};
  // nearest((v * percent + c * (100 - percent)) / 100), halves to even, in integers
  std::uint8_t table[3][256];
  for (int c = 0; c < 3; ++c)
    for (int v = 0; v < 256; ++v) {
      const int n = v * percent + target[c] * (100 - percent);
      const int q = n / 100, rest = n % 100;
      table[c][v] = static_cast<std::uint8_t>(q + (rest > 50 || (rest == 50 && q % 2 != 0)));
    }
  // Right and bottom exclusive, as every rectangle the section painter hands
  // on: an inclusive edge would wash one column and row outside the section.
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, bitmap->Width());
  r.Bottom = std::min(r.Bottom, bitmap->Height());
  const int bpp = bitmap->BytesPerPixel();
  for (int y = r.Top; y < r.Bottom; ++y) {
    std::uint8_t* p = At(bitmap, r.Left, y);
    for (int x = r.Left; x < r.Right; ++x, p += bpp)
      for (int c = 0; c < 3; ++c) p[c] = table[c][p[c]];
  }
}

}  // namespace kv
