// Colour gradients of skin sections: the text form of GRADIENTDATA and the
// parsed stops.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/Types.h"

namespace kv {

class TBitmap;

struct TsGradStop {
  std::int32_t Color1 = 0;  // colour value, red in the low byte
  std::int32_t Color2 = 0;
  std::uint8_t Percent = 0;  // share of the rectangle, 0..100
  std::int32_t Mode = 0;     // 0 vertical, 1 horizontal, 2 triangles; first stop only
  std::int32_t Reserved = 0;
};

using TsGradArray = std::vector<TsGradStop>;

// Five ';'-separated integers a stop: Color1;Color2;Percent;Mode;unused.
// Empty fields are skipped and an incomplete last group ignored. A word that
// is not an integer raises ESkinError ("'x' is not a valid integer value").
void ParseGradientData(std::string_view text, TsGradArray& data);

// Paints the gradient into R of a 24-bit or 32-bit bitmap (alpha 255); the
// first stop's Mode picks vertical bands (0), horizontal bands (1) or four
// triangles meeting at the centre (2). Offset shifts a vertical gradient
// down and adds to the height its percentages refer to. Only pixels inside
// both R and the bitmap are written, whatever R and Offset are.
void PaintGradientArray(TBitmap& bmp, TRect r, const TsGradArray& data, int offset);

}  // namespace kv
