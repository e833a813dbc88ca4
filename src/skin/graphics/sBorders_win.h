#pragma once
// Skinned borders and mask-shaped window regions, the GDI half: the border of
// a skinned control painted into its cache bitmap, and the transparent runs
// of a mask's corners cut out of a window region.

#include <windows.h>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/graphics/sBorders.h"
#include "skin/model/sConst.h"
#include "skin/model/sMaskData.h"

namespace kv {

// One region made of the runs (null for an empty list); the caller owns it.
HRGN RegionFromRuns(const TRectList& runs);

// The portable BuildRegionFromMask, with the corner runs removed from
// `region` in one step (region may be null: no region work).
void BuildRegionFromMask(TBitmap* bitmap, HRGN region, bool filling, int state,
                         const TsMaskData& mask, TBitmap* master);

// What a control's border is painted from: its cache bitmap, its skinned
// background colour for the state, its parent's background (offset already
// moved by the control's position; not Ready when the parent answered with a
// colour) and its border mask (null when it has none).
struct TsBorderSource {
  TBitmap* CacheBmp = nullptr;
  HDC CacheDC = nullptr;  // the cache bitmap's context, compared with the target
  TColor BgColor = 0;
  TsBgCacheInfo Background = EmptyBgCacheInfo;
  const TsMaskData* Mask = nullptr;
  TBitmap* Master = nullptr;
};

// Paints the border into the cache bitmap with the parent's background under
// the mask's transparent pixels, fills the band up to BorderWidth with the
// background colour and returns the inside left for the client. A target
// other than the cache gets the BorderWidth-wide strips copied to it.
void PaintSkinnedBorder(HDC dc, TRect r, int borderWidth, const TsBorderSource& source, int state,
                        TRect& clientRect);

}  // namespace kv
