#include "skin/graphics/sBorders.h"

#include <algorithm>
#include <cstring>

#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/model/sConst.h"

namespace kv {

namespace {

bool Is24or32(const TBitmap* b) {
  return b && !b->Empty() && (b->PixelFormat() == pf24bit || b->PixelFormat() == pf32bit);
}

TBitmap* ImageOf(const TsMaskData& mask, TBitmap* master) {
  TBitmap* image = mask.Bmp ? mask.Bmp.get() : master;
  return Is24or32(image) ? image : nullptr;
}

bool IsKey(const std::uint8_t* p) {
  return p[0] == ColorB(TransparentColor) && p[1] == ColorG(TransparentColor) &&
         p[2] == ColorR(TransparentColor);
}

const std::uint8_t* PixelAt(const TBitmap* b, int x, int y) {
  return b->ScanLine(y) + static_cast<std::ptrdiff_t>(x) * b->BytesPerPixel();
}

// Calls run(i0, i1) for each maximal run of transparent pixels among the w
// pixels from (x, y) of the image, and opaque(i) for the others.
template <typename Run, typename Opaque>
void ScanRow(const TBitmap& image, int x, int y, int w, Run run, Opaque opaque) {
  const std::uint8_t* p = PixelAt(&image, x, y);
  const int bpp = image.BytesPerPixel();
  int start = -1;
  for (int i = 0; i < w; ++i, p += bpp) {
    if (IsKey(p)) {
      if (start < 0) start = i;
      continue;
    }
    if (start >= 0) run(start, i), start = -1;
    opaque(i, p);
  }
  if (start >= 0) run(start, w);
}

struct Frame {
  int left = 0, top = 0, fw = 0, fh = 0;
};

// State's frame; a mask without frames counts as one frame of its whole image.
Frame FrameOf(const TsMaskData& mask, const TBitmap& image, int state) {
  TRect r = mask.R;
  int count = mask.ImageCount;
  if (count < 1) count = 1, r = {0, 0, image.Width(), image.Height()};
  const int fw = r.Width() / count;
  const int fh = mask.MaskType >= 0 ? r.Height() / (mask.MaskType + 1) : 0;
  return {r.Left + fw * std::clamp(state, 0, count - 1), r.Top, fw, fh};
}

}  // namespace

void CopyMaskPart(int dstLeft, int dstTop, int dstRight, int dstBottom, int srcLeft, int srcTop,
                  int srcRight, int srcBottom, TBitmap* bitmap, TRectList* cut,
                  const TsMaskData& mask, TBitmap* master, bool cutRegion) {
  TBitmap* image = ImageOf(mask, master);
  if (!image || !Is24or32(bitmap) || bitmap->Width() < 2 || bitmap->Height() < 2) return;
  if (std::min({dstLeft, dstTop, srcLeft, srcTop}) < 0) return;
  // The smaller of both sizes, cut to the bitmap and to the image.
  const int w = std::min({dstRight - dstLeft, srcRight - srcLeft, bitmap->Width() - 1 - dstLeft,
                          image->Width() - 1 - srcLeft}) +
                1;
  const int h = std::min({dstBottom - dstTop, srcBottom - srcTop, bitmap->Height() - 1 - dstTop,
                          image->Height() - 1 - srcTop}) +
                1;
  if (w <= 0 || h <= 0) return;
  if (!cutRegion) {
    if (mask.MaskType == 1)
      CopyMaskPartWithBackground(Bounds(dstLeft, dstTop, w, h), Bounds(srcLeft, srcTop, w, h),
                                 bitmap, image, EmptyBgCacheInfo, false, mask);
    else
      CopyPixels(bitmap, dstLeft, dstTop, image, srcLeft, srcTop, w, h);
    return;
  }
  const int db = bitmap->BytesPerPixel();
  for (int j = 0; j < h; ++j) {
    std::uint8_t* row = bitmap->ScanLine(dstTop + j) + static_cast<std::ptrdiff_t>(dstLeft) * db;
    const int y = dstTop + j;
    ScanRow(
        *image, srcLeft, srcTop + j, w,
        [&](int i0, int i1) {
          if (cut) cut->push_back({dstLeft + i0, y, dstLeft + i1, y + 1});
        },
        [&](int i, const std::uint8_t* p) {
          std::uint8_t* q = row + static_cast<std::ptrdiff_t>(i) * db;
          std::memcpy(q, p, 3);
          if (db == 4) q[3] = 255;
        });
  }
}

void BuildRegionFromMask(TBitmap* bitmap, TRectList* cut, bool filling, int state,
                         const TsMaskData& mask, TBitmap* master) {
  TBitmap* image = ImageOf(mask, master);
  if (!image || !Is24or32(bitmap) || bitmap->Width() < 2 || bitmap->Height() < 2) return;
  const int width = bitmap->Width(), height = bitmap->Height();
  const TsNineMargins h = FitNineMargins(width, mask.WL, mask.WR);
  const TsNineMargins v = FitNineMargins(height, mask.WT, mask.WB);
  const int L = h.First, R = h.Second, T = v.First, B = v.Second;
  const Frame f = FrameOf(mask, *image, state);
  const int cw = std::max(f.fw - L - R, 0), ch = std::max(f.fh - T - B, 0);
  const int sr = f.left + f.fw - R, sb = f.top + f.fh - B;  // the frame's right and bottom margins

  // Source and destination as (left, top, width, height).
  const auto copy = [&](int dx, int dy, int sx, int sy, int w, int ht, bool cutting) {
    if (w > 0 && ht > 0)
      CopyMaskPart(dx, dy, dx + w - 1, dy + ht - 1, sx, sy, sx + w - 1, sy + ht - 1, bitmap, cut,
                   mask, master, cutting);
  };
  copy(0, 0, f.left, f.top, L, T, true);
  copy(width - R, 0, sr, f.top, R, T, true);
  copy(0, height - B, f.left, sb, L, B, true);
  copy(width - R, height - B, sr, sb, R, B, true);

  const bool stretch = (mask.StretchMode & 1) && mask.MaskType != 1;
  const auto area = [&](const TRect& d, int sx, int sy, int tw, int th) {
    if (tw <= 0 || th <= 0) return;
    if (stretch) return HalftoneStretchPixels(bitmap, d, image, Bounds(sx, sy, tw, th));
    for (int y = d.Top; y < d.Bottom; y += th)
      for (int x = d.Left; x < d.Right; x += tw)
        copy(x, y, sx, sy, std::min(tw, d.Right - x), std::min(th, d.Bottom - y), false);
  };
  area({0, T, L, height - B}, f.left, f.top + T, L, ch);
  area({L, 0, width - R, T}, f.left + L, f.top, cw, T);
  area({width - R, T, width, height - B}, sr, f.top + T, R, ch);
  area({L, height - B, width - R, height}, f.left + L, sb, cw, B);
  if (filling && (mask.StretchMode & 4))
    area({L, T, width - R, height - B}, f.left + L, f.top + T, cw, ch);
}

void AddMaskTransparentRects(TRectList& rects, int width, const TsMaskData& mask, TBitmap* master,
                             int y, bool bottom) {
  TBitmap* image = ImageOf(mask, master);
  if (!image) return;
  const Frame f = FrameOf(mask, *image, 0);
  const int rows = bottom ? mask.WB : mask.WT;
  const int first = bottom ? f.top + f.fh - mask.WB : f.top;
  if (rows <= 0 || first < 0 || first + rows > image->Height()) return;
  // A corner's columns cut to the image.
  const auto scan = [&](int row, int srcLeft, int w, int placedAt) {
    const int x0 = std::max(srcLeft, 0), x1 = std::min(srcLeft + w, image->Width());
    if (x1 <= x0) return;
    const int shift = placedAt + x0 - srcLeft;
    ScanRow(
        *image, x0, first + row, x1 - x0,
        [&](int i0, int i1) {
          rects.push_back({shift + i0, row + y, shift + i1, row + y + 1});
        },
        [](int, const std::uint8_t*) {});
  };
  for (int row = 0; row < rows; ++row) {
    scan(row, f.left, mask.WL, 0);
    scan(row, f.left + f.fw - mask.WR, mask.WR, width - mask.WR);
  }
}

}  // namespace kv
