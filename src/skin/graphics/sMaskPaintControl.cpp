#include "skin/graphics/sMaskPaintControl.h"

#include <algorithm>
#include <cstdint>

#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/model/sSkinModel.h"

namespace kv {

namespace {

bool Is24or32(const TBitmap* bmp) {
  return bmp != nullptr && (bmp->PixelFormat() == pf24bit || bmp->PixelFormat() == pf32bit);
}

bool IsTransparentPixel(const std::uint8_t* p) { return p[0] == 0xFF && p[1] == 0 && p[2] == 0xFF; }

struct Corner {
  TRect src;   // in the mask image
  TPoint dst;  // in the cache
};

void FillCorner(TBitmap& cache, const TBitmap& image, const Corner& corner,
                const TsBgCacheInfo& bg) {
  const int cb = cache.BytesPerPixel(), ib = image.BytesPerPixel();
  const TBitmap* bgBmp = bg.Ready ? bg.Bmp : nullptr;
  const int bb = bgBmp != nullptr ? bgBmp->BytesPerPixel() : 0;
  const auto fill = static_cast<std::uint32_t>(DefaultColorToRGB(bg.FillColor));
  for (int r = 0; r < corner.src.Height(); ++r) {
    const int sy = corner.src.Top + r, dy = corner.dst.Y + r;
    if (sy < 0 || sy >= image.Height() || dy < 0 || dy >= cache.Height()) continue;
    const std::uint8_t* srow = image.ScanLine(sy);
    std::uint8_t* drow = cache.ScanLine(dy);
    const int by = dy + bg.Y;
    if (bgBmp != nullptr && by >= bgBmp->Height()) continue;  // below the background: left
    for (int c = 0; c < corner.src.Width(); ++c) {
      const int sx = corner.src.Left + c, dx = corner.dst.X + c;
      if (sx < 0 || sx >= image.Width() || dx < 0 || dx >= cache.Width()) continue;
      if (!IsTransparentPixel(srow + sx * ib)) continue;
      std::uint8_t* d = drow + dx * cb;
      if (bgBmp == nullptr) {
        d[0] = static_cast<std::uint8_t>(fill >> 16), d[1] = static_cast<std::uint8_t>(fill >> 8),
        d[2] = static_cast<std::uint8_t>(fill);
        continue;
      }
      const int bx = dx + bg.X;
      if (by < 0 || bx >= bgBmp->Width()) break;  // outside the background ends the row
      if (bx < 0) continue;
      std::copy_n(bgBmp->ScanLine(by) + bx * bb, 3, d);
    }
  }
}

}  // namespace

void FillCacheCornersFromMask(TBitmap* cache, const TsSkinModel* skin, int maskIndex, int state,
                              int corners, const TsBgCacheInfo& background) {
  if (!Is24or32(cache) || skin == nullptr || !skin->IsMaskIndexValid(maskIndex)) return;
  if (cache->Width() < 2 || cache->Height() < 2) return;
  const TBitmap* image = skin->MaskImage(maskIndex);
  if (!Is24or32(image)) return;
  if (background.Ready ? !Is24or32(background.Bmp) : background.FillColor == TransparentColor)
    return;
  TsMaskData mask = skin->MaskData[static_cast<size_t>(maskIndex)];
  if (mask.Bmp && mask.ImageCount == 0) {
    mask.ImageCount = 3;
    mask.MaskType = 1;
    mask.R = {0, 0, image->Width(), image->Height()};
  }
  const int count = std::max<int>(mask.ImageCount, 1);
  const int frame = std::clamp(state, 0, count - 1);
  const int left = mask.R.Left + mask.R.Width() * frame / count;
  const int right = left + mask.R.Width() / count;
  const int bottom =
      mask.MaskType != 0 ? mask.R.Top + mask.R.Height() / (mask.MaskType + 1) : mask.R.Bottom;
  const int w = cache->Width(), h = cache->Height();
  const struct {
    int bit;
    Corner corner;
  } order[] = {
      {1, {Bounds(left, mask.R.Top, mask.WL, mask.WT), {0, 0}}},
      {2, {Bounds(left, bottom - mask.WB, mask.WL, mask.WB), {0, h - mask.WB}}},
      {8,
       {Bounds(right - mask.WR, bottom - mask.WB, mask.WR, mask.WB), {w - mask.WR, h - mask.WB}}},
      {4, {Bounds(right - mask.WR, mask.R.Top, mask.WR, mask.WT), {w - mask.WR, 0}}},
  };
  for (const auto& o : order)
    if ((corners & o.bit) != 0) FillCorner(*cache, *image, o.corner, background);
}

void ApplyDisabledKind(TBitmap* bitmap, TsDisabledKind kinds, TPoint point,
                       const TsBgCacheInfo& background, TColor controlBgColor) {
  if (!Is24or32(bitmap)) return;
  if ((kinds & dkGrayed) != 0) GrayscaleBitmap(bitmap);
  if ((kinds & dkBlended) == 0) return;
  if (background.Ready && background.Bmp != nullptr) {
    const TRect r =
        Bounds(background.X + point.X, background.Y + point.Y, bitmap->Width(), bitmap->Height());
    // A top byte of 255 keeps even magenta pixels of the background.
    BlendBitmapRect(
        bitmap, 0, 0, background.Bmp, r, 0.4,
        static_cast<TColor>(0xFF000000u | static_cast<std::uint32_t>(TransparentColor)));
    return;
  }
  const TColor color =
      background.FillColor == TransparentColor ? controlBgColor : background.FillColor;
  BlendRectWithColor(bitmap, {0, 0, bitmap->Width(), bitmap->Height()}, 50, color);
}

}  // namespace kv
