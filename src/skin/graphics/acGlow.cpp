#include "skin/graphics/acGlow.h"

#include <algorithm>
#include <cstring>

#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

namespace {

// The cuts of one axis where the control is partly hidden: `lo` and `hi`
// are the clip's edges in the control, `size` its size, `full` the halo's.
struct Cuts {
  int first = 0, second = 0;
};
Cuts AxisCuts(int lo, int hi, int size, int full, int maskFirst, int maskSecond, int margin) {
  Cuts c;
  c.first = lo != 0 ? maskFirst + lo - margin : 0;
  if (hi != size)
    c.second = c.first != 0 ? full - c.first - (hi - lo) : size - (hi - lo) + maskSecond - margin;
  // A cut never grows the halo nor takes more than there is.
  c.first = std::clamp(c.first, 0, std::max(full, 0));
  c.second = std::clamp(c.second, 0, std::max(full - c.first, 0));
  return c;
}

}  // namespace

TacGlowPlacement GlowPlacement(const TRect& r, const TRect& clipR, const TRect& m, int margin) {
  TacGlowPlacement p;
  p.FullWidth = r.Width() + m.Left + m.Right - 2 * margin;
  p.FullHeight = r.Height() + m.Top + m.Bottom - 2 * margin;
  Cuts h, v;
  if (clipR.Width() != r.Width() || clipR.Height() != r.Height()) {
    h = AxisCuts(clipR.Left, clipR.Right, r.Width(), p.FullWidth, m.Left, m.Right, margin);
    v = AxisCuts(clipR.Top, clipR.Bottom, r.Height(), p.FullHeight, m.Top, m.Bottom, margin);
  }
  p.CutLeft = h.first;
  p.CutTop = v.first;
  p.Width = p.FullWidth - h.first - h.second;
  p.Height = p.FullHeight - v.first - v.second;
  p.X = r.Left - m.Left + margin + p.CutLeft;
  p.Y = r.Top - m.Top + margin + p.CutTop;
  return p;
}

std::unique_ptr<TBitmap> MakeGlowPicture(const TacGlowPlacement& p, const TsMaskData& mask,
                                         TBitmap* master) {
  if (p.Empty()) return nullptr;
  auto full = NewBitmap32(p.FullWidth, p.FullHeight);  // transparent black
  PaintMaskNinePart(full.get(), {0, 0, p.FullWidth, p.FullHeight}, false, EmptyBgCacheInfo, mask,
                    master, 0, false);
  return CutGlowPicture(std::move(full), p);
}

std::unique_ptr<TBitmap> CutGlowPicture(std::unique_ptr<TBitmap> full, const TacGlowPlacement& p) {
  if (!full || p.Empty()) return nullptr;
  full->SetPixelFormat(pf32bit);
  if (p.CutLeft == 0 && p.CutTop == 0 && p.Width == full->Width() && p.Height == full->Height())
    return full;
  auto cut = NewBitmap32(p.Width, p.Height);
  const int w = std::min(p.Width, full->Width() - p.CutLeft);
  for (int y = 0; y < p.Height && p.CutTop + y < full->Height(); ++y)
    if (w > 0)
      std::memcpy(cut->ScanLine(y), full->ScanLine(p.CutTop + y) + 4 * p.CutLeft,
                  4 * static_cast<std::size_t>(w));
  return cut;
}

std::unique_ptr<TBitmap> PremultipliedCopy(const TBitmap& bitmap) {
  auto out = std::make_unique<TBitmap>(bitmap);
  out->SetPixelFormat(pf32bit);
  for (int y = 0; y < out->Height(); ++y) {
    std::uint8_t* p = out->ScanLine(y);
    for (int x = 0; x < out->Width(); ++x, p += 4)
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * p[3] + 127) / 255);
  }
  return out;
}

}  // namespace kv
