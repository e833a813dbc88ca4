#include "skin/model/sSkinPixels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kv {

namespace {

std::uint8_t Nearest(double v) {
  return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

}  // namespace

TColor ChangeColorSaturation(TColor color, int amount) {
  if (amount == 0) return color;
  const int c[3] = {ColorR(color), ColorG(color), ColorB(color)};
  const double mean = (c[0] + c[1] + c[2]) / 3.0;
  std::uint8_t out[3];
  for (int i = 0; i < 3; ++i) out[i] = Nearest(amount * (mean - c[i]) / 100.0 + c[i]);
  return ColorFromRGB(out[0], out[1], out[2]);
}

TColor ChangeColorHue(int degrees, TColor color) {
  if (IsSystemColor(color)) return color;  // resolved by the class library only
  const double r = ColorR(color), g = ColorG(color), b = ColorB(color);
  const double v = std::max({r, g, b}), d = v - std::min({r, g, b});
  const double s = v == 0 ? 0 : d / v;
  if (s == 0) return color & 0xFFFFFF;
  double h;
  if (r == v)
    h = 60 * (g - b) / d;
  else if (g == v)
    h = 120 + 60 * (b - r) / d;
  else
    h = 240 + 60 * (r - g) / d;
  if (h < 0) h += 360;
  // Normalised into 0..359, so that negative offsets turn every colour too.
  int hue = static_cast<int>(std::nearbyint(degrees + h)) % 360;
  if (hue < 0) hue += 360;
  const int i = hue / 60;
  const double f = hue / 60.0 - i;
  const double p = (1 - s) * v, q = (1 - s * f) * v, t = (1 - s * (1 - f)) * v;
  double rgb[3];
  switch (i) {
    case 0:
      rgb[0] = v, rgb[1] = t, rgb[2] = p;
      break;
    case 1:
      rgb[0] = q, rgb[1] = v, rgb[2] = p;
      break;
    case 2:
      rgb[0] = p, rgb[1] = v, rgb[2] = t;
      break;
    case 3:
      rgb[0] = p, rgb[1] = q, rgb[2] = v;
      break;
    case 4:
      rgb[0] = t, rgb[1] = p, rgb[2] = v;
      break;
    default:
      rgb[0] = v, rgb[1] = p, rgb[2] = q;
      break;
  }
  return ColorFromRGB(Nearest(rgb[0]), Nearest(rgb[1]), Nearest(rgb[2]));
}

void ClearWhiteTransparentPixels(TBitmap& bitmap) {
  if (bitmap.PixelFormat() != pf32bit || bitmap.Empty()) return;
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* p = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x, p += 4)
      if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 0) p[0] = p[1] = p[2] = 0;
  }
}

}  // namespace kv
