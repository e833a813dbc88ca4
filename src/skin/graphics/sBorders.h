#pragma once
// Window shapes cut from border masks, the portable half: a mask painted
// nine-part into a bitmap with the transparent pixels of its four corners
// collected as one-pixel-high runs, which the GDI layer removes from the
// window's region.
//
// Masks come from their own image, else from `master`; 24-bit and 32-bit
// images are read alike (B, G, R compared with 0xFF00FF). Every read and write
// is cut to the bitmaps.

#include <vector>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/sMaskData.h"

namespace kv {

// Runs of transparent pixels, each (x0, y, x1, y + 1).
using TRectList = std::vector<TRect>;

// Paints State's image of the mask nine-part into the whole bitmap: corners
// copied with their transparent pixels left as they were and appended to
// `cut` (when given), edges tiled (or, with StretchMode bit 1 and no mask
// plane, stretched as a halftone stretch does), the centre only with Filling
// and StretchMode bit 4. Nothing
// happens for bitmaps below 2 x 2 or a mask without an image.
void BuildRegionFromMask(TBitmap* bitmap, TRectList* cut, bool filling, int state,
                         const TsMaskData& mask, TBitmap* master);

// Copies a rectangle of the mask's image into the bitmap unscaled (right and
// bottom inclusive) at the smaller of the two sizes, cut to the bitmap and
// to the image. With a mask plane (MaskType 1) each channel becomes
// ((d - s) * m + s * 256) shr 8 clamped, m the plane's byte one state height
// below. With cutRegion only the opaque pixels are copied and the transparent
// runs are appended to `cut` (when given). Negative coordinates copy nothing.
void CopyMaskPart(int dstLeft, int dstTop, int dstRight, int dstBottom, int srcLeft, int srcTop,
                  int srcRight, int srcBottom, TBitmap* bitmap, TRectList* cut,
                  const TsMaskData& mask, TBitmap* master, bool cutRegion);

// Appends the transparent runs of the mask's two top corners (or, with
// `bottom`, its two bottom corners) in state 0, for a window `width` pixels
// wide, rows moved down by Y: left corner runs at their own x, right corner
// runs at width - WR + column.
void AddMaskTransparentRects(TRectList& rects, int width, const TsMaskData& mask, TBitmap* master,
                             int y, bool bottom);

}  // namespace kv
