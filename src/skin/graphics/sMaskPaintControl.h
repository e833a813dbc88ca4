// The control-dependent mask painting: a cache bitmap's corners restored from
// what lies behind the control, and the disabled look. The caller brings the
// background as a cache-info record, so nothing here asks a window.
#pragma once

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/acToolkitFlags.h"
#include "skin/model/sConst.h"

namespace kv {

class TsSkinModel;

// Corner set: bit 1 top-left, 2 bottom-left, 4 top-right, 8 bottom-right.
inline constexpr int ccAllCorners = 15;

// Where the border mask (frame of state) is the transparent colour in its
// corners, the cache takes the background: the bitmap's pixel at its own
// position plus (X, Y) when Ready, else FillColor; a FillColor of "none"
// leaves the pixels.
void FillCacheCornersFromMask(TBitmap* cache, const TsSkinModel* skin, int maskIndex, int state,
                              int corners, const TsBgCacheInfo& background);

// Greys (dkGrayed), then blends with what lies behind (dkBlended): the
// background bitmap at (X + point.X, Y + point.Y) by 0.4 when Ready, else a
// 50 percent wash of FillColor, or of controlBgColor when FillColor is none.
// 24- and 32-bit bitmaps; alpha is kept.
void ApplyDisabledKind(TBitmap* bitmap, TsDisabledKind kinds, TPoint point,
                       const TsBgCacheInfo& background, TColor controlBgColor);

}  // namespace kv
