// Painting shared by skinned containers that needs no window: the copy of
// their windowless children's pixels over the skinned background.
#pragma once

#include <vector>

#include "base/Bitmap.h"
#include "base/Types.h"

namespace kv {

// What a windowless child leaves unpainted keeps this colour.
inline constexpr TColor ChildUnpaintedColor = 0xFF00FF;

// Each rectangle of the 24-bit `painted` (the children drawn over the
// container's background) to the same place of the 24-bit `target`, leaving
// out ChildUnpaintedColor pixels; everything outside the rectangles stays.
void CopyPaintedChildren(TBitmap* target, TBitmap* painted, const std::vector<TRect>& children);

}  // namespace kv
