// Where an edit adapter's skinned border has see-through pixels (the border
// mask's 0xFF00FF), the cache shows what lies behind the control: the
// parent's background picture or colour. Reads stay inside both images.
#pragma once

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/sMaskData.h"

namespace kv {

struct TacBorderBackground {
  const TBitmap* Bmp = nullptr;  // the parent's picture; null: Color
  TPoint Offset{};               // where the cache's top-left lies in Bmp
  TColor Color = 0;              // RGB as TColor
};

// The border strips of cache (as wide as the mask's WL, WT, WR, WB) against
// the mask's frame for state (limited to its image count); a middle longer
// than the mask's repeats the mask's middle. A cache smaller than 2 x 2
// pixels, a mask frame outside its image or a background pixel outside the
// parent's picture is left alone.
void FillBorderPixels(TBitmap& cache, const TBitmap& maskImage, const TsMaskData& mask, int state,
                      const TacBorderBackground& background);

}  // namespace kv
