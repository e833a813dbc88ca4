#include "skin/core/sVclUtils.h"

#include "skin/graphics/sGraphUtils.h"

namespace kv {

void CopyPaintedChildren(TBitmap* target, TBitmap* painted, const std::vector<TRect>& children) {
  for (const TRect& r : children) {
    if (r.Width() <= 0 || r.Height() <= 0) continue;
    CopyRectSkipTransparent24(target, painted, r.Left, r.Top,
                              {r.Left, r.Top, r.Right - 1, r.Bottom - 1}, ChildUnpaintedColor);
  }
}

}  // namespace kv
