// The GDI half of sBorders (Windows build only).
#include "skin/graphics/sBorders_win.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "classlib/Graphics.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

HRGN RegionFromRuns(const TRectList& runs) {
  if (runs.empty()) return nullptr;
  // One ExtCreateRegion instead of a CombineRgn per run: a form's corners
  // give hundreds of runs.
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  RECT bounds{runs[0].Left, runs[0].Top, runs[0].Right, runs[0].Bottom};
  for (size_t i = 0; i < runs.size(); ++i) {
    const TRect& r = runs[i];
    rects[i] = {r.Left, r.Top, r.Right, r.Bottom};
    bounds.left = std::min<LONG>(bounds.left, r.Left);
    bounds.top = std::min<LONG>(bounds.top, r.Top);
    bounds.right = std::max<LONG>(bounds.right, r.Right);
    bounds.bottom = std::max<LONG>(bounds.bottom, r.Bottom);
  }
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(runs.size());
  header->nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
  header->rcBound = bounds;
  return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                         reinterpret_cast<const RGNDATA*>(data.data()));
}

void BuildRegionFromMask(TBitmap* bitmap, HRGN region, bool filling, int state,
                         const TsMaskData& mask, TBitmap* master) {
  TRectList runs;
  BuildRegionFromMask(bitmap, region ? &runs : nullptr, filling, state, mask, master);
  if (!region) return;
  HRGN cut = RegionFromRuns(runs);
  if (!cut) return;
  CombineRgn(region, region, cut, RGN_DIFF);
  DeleteObject(cut);
}

void PaintSkinnedBorder(HDC dc, TRect r, int borderWidth, const TsBorderSource& source, int state,
                        TRect& clientRect) {
  const TColor c = source.BgColor;
  if (!source.Mask || !source.CacheBmp) {
    if (borderWidth > 0)
      FillBorderStrips(dc, r, borderWidth, borderWidth, borderWidth, borderWidth, c);
    return;
  }
  const TsMaskData& mask = *source.Mask;
  TBitmap* cache = source.CacheBmp;
  // A cache already selected into the caller's context cannot be selected
  // into a second one.
  std::unique_ptr<TBitmapCanvas> own;
  HDC cacheDC = source.CacheDC;
  if (!cacheDC) {
    own = std::make_unique<TBitmapCanvas>(*cache);
    cacheDC = own->Handle();
  }
  const TsBgCacheInfo& bg = source.Background;
  if (mask.MaskType == 1) {
    // The mask plane mixes with what lies under it, so lay the ground first.
    if (bg.Ready && bg.Bmp)
      CopyPixels(cache, r.Left, r.Top, bg.Bmp, bg.X + r.Left, bg.Y + r.Top, cache->Width() - r.Left,
                 r.Height());
    else
      FillBorderStrips(cacheDC, r, mask.WL, mask.WT, mask.WR, mask.WB, c);
  }
  GdiFlush();  // the pixels are written directly from here on
  PaintMaskNinePart(cache, r, false, bg, mask, source.Master, state, true);
  clientRect = {r.Left + mask.WL, r.Top + mask.WT, r.Right - mask.WR, r.Bottom - mask.WB};
  if (borderWidth <= 0) return;

  const int w = r.Width(), h = r.Height();
  const int left = std::max(std::min(borderWidth, w - mask.WR) - mask.WL, 0);
  const int top = std::max(std::min(borderWidth, h - mask.WB) - mask.WT, 0);
  const int right = std::max(std::min(borderWidth, w - mask.WL) - mask.WR, 0);
  const int bottom = std::max(std::min(borderWidth, h - mask.WT) - mask.WB, 0);
  FillBorderStrips(cacheDC, clientRect, left, top, right, bottom, c);
  clientRect = {r.Left + borderWidth, r.Top + borderWidth, r.Right - borderWidth,
                r.Bottom - borderWidth};
  clientRect.Right = std::max(clientRect.Right, clientRect.Left);
  clientRect.Bottom = std::max(clientRect.Bottom, clientRect.Top);
  // The caller's own target gets only the border; the cache holds the rest.
  if (dc != source.CacheDC)
    CopyBorderStrips(dc, r.Left, r.Top, w, h, cacheDC, r.Left, r.Top, borderWidth);
}

}  // namespace kv
