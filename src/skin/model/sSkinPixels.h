#pragma once
// The colour and pixel arithmetic that the skin model applies itself: the
// recolouring of a skin by hue and saturation, and the clean-up of decoded
// pictures. The painters reach it through sGraphUtils.h and acPNG.h.

#include "base/Bitmap.h"
#include "base/Types.h"

namespace kv {

// Moves R, G, B toward their mean by Amount percent (away from it when negative).
TColor ChangeColorSaturation(TColor color, int amount);
// Turns the hue by the given degrees (any sign); greys are returned unchanged.
TColor ChangeColorHue(int degrees, TColor color);
// Pixels with R, G, B all 255 and alpha 0 of a 32-bit bitmap become all zero.
void ClearWhiteTransparentPixels(TBitmap& bitmap);

}  // namespace kv
