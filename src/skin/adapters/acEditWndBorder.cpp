#include "skin/adapters/acEditWndBorder.h"

#include <algorithm>
#include <cstdint>

namespace kv {
namespace {

// A cache coordinate along one axis to the mask frame's: the two ends map
// to the frame's ends, the middle repeats the frame's middle.
int MapAxis(int v, int size, int first, int last, int frame) {
  if (v < first) return v;
  if (v >= size - last) return frame - (size - v);
  const int middle = frame - first - last;
  if (middle <= 0) return std::clamp(first, 0, frame - 1);
  return first + (v - first) % middle;
}

bool IsTransparent(const std::uint8_t* p) { return p[2] == 0xFF && p[1] == 0x00 && p[0] == 0xFF; }

}  // namespace

void FillBorderPixels(TBitmap& cache, const TBitmap& maskImage, const TsMaskData& mask, int state,
                      const TacBorderBackground& background) {
  const int w = cache.Width(), h = cache.Height();
  if (w < 2 || h < 2 || cache.BytesPerPixel() < 3 || maskImage.BytesPerPixel() < 3) return;
  const int frameW = MaskFrameWidth(mask), frameH = MaskStateHeight(mask);
  if (frameW <= 0 || frameH <= 0) return;
  state = std::clamp(state, 0, std::max(0, mask.ImageCount - 1));
  const int x0 = mask.R.Left + state * frameW, y0 = mask.R.Top;
  if (x0 < 0 || y0 < 0 || x0 + frameW > maskImage.Width() || y0 + frameH > maskImage.Height())
    return;
  const int wl = std::clamp<int>(mask.WL, 0, frameW), wr = std::clamp<int>(mask.WR, 0, frameW);
  const int wt = std::clamp<int>(mask.WT, 0, frameH), wb = std::clamp<int>(mask.WB, 0, frameH);
  const int cacheStep = cache.BytesPerPixel(), maskStep = maskImage.BytesPerPixel();
  const TBitmap* bmp = background.Bmp;
  const int bgStep = bmp != nullptr ? bmp->BytesPerPixel() : 0;
  for (int y = 0; y < h; ++y) {
    const bool rowInBorder = y < wt || y >= h - wb;
    const int my = y0 + MapAxis(y, h, wt, wb, frameH);
    const std::uint8_t* maskRow = maskImage.ScanLine(my);
    std::uint8_t* row = cache.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      if (!rowInBorder && x >= wl && x < w - wr) {
        x = w - wr - 1;  // straight to the right strip
        continue;
      }
      const int mx = x0 + MapAxis(x, w, wl, wr, frameW);
      if (!IsTransparent(maskRow + mx * maskStep)) continue;
      std::uint8_t* p = row + x * cacheStep;
      if (bmp == nullptr) {
        p[0] = static_cast<std::uint8_t>(background.Color >> 16);
        p[1] = static_cast<std::uint8_t>(background.Color >> 8);
        p[2] = static_cast<std::uint8_t>(background.Color);
        continue;
      }
      // A control sticking out of its parent has no background there.
      const int bx = background.Offset.X + x, by = background.Offset.Y + y;
      if (bx < 0 || by < 0 || bx >= bmp->Width() || by >= bmp->Height() || bgStep < 3) continue;
      const std::uint8_t* s = bmp->ScanLine(by) + bx * bgStep;
      p[0] = s[0];
      p[1] = s[1];
      p[2] = s[2];
    }
  }
}

}  // namespace kv
