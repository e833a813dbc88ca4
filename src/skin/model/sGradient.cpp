#include "skin/model/sGradient.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "base/Bitmap.h"
#include "base/SysUtils.h"
#include "skin/model/acSkinErrors.h"

namespace kv {

void ParseGradientData(std::string_view text, TsGradArray& data) {
  data.clear();
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find(';', pos), text.size());
    if (end > pos) words.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  TsGradArray parsed(words.size() / 5);
  auto number = [&](std::size_t index) {
    std::int32_t v = 0;
    if (!TryStrToInt(words[index], v)) {
      throw ESkinError("'" + std::string(words[index]) + "' is not a valid integer value");
    }
    return v;
  };
  // A bad word ends the parse with the stops before it kept, the rest zero.
  struct Keep {
    TsGradArray& from;
    TsGradArray& to;
    ~Keep() { to = std::move(from); }
  } keep{parsed, data};
  for (std::size_t i = 0; i < parsed.size(); ++i) {
    TsGradStop& s = parsed[i];
    s.Color1 = std::max(0, number(5 * i));
    s.Color2 = std::max(0, number(5 * i + 1));
    s.Percent = static_cast<std::uint8_t>(std::clamp(number(5 * i + 2), 0, 100));
    s.Mode = number(5 * i + 3);
  }
}

namespace {

struct Rgb {
  double R, G, B;
};

Rgb ToRgb(std::int32_t c) {
  return {double(c & 0xFF), double((c >> 8) & 0xFF), double((c >> 16) & 0xFF)};
}

std::uint8_t Channel(double v) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::nearbyint(v)), 0, 255));
}

// A colour as the bytes of one pixel of the bitmap.
struct Pixel {
  std::uint8_t Bytes[4];
};

Pixel ToPixel(const Rgb& c) { return {{Channel(c.B), Channel(c.G), Channel(c.R), 255}}; }

void PutPixel(std::uint8_t* row, int bpp, int x, const Pixel& p) {
  std::uint8_t* d = row + static_cast<std::ptrdiff_t>(bpp) * x;
  d[0] = p.Bytes[0];
  d[1] = p.Bytes[1];
  d[2] = p.Bytes[2];
  if (bpp == 4) d[3] = 255;
}

// Colour of position i of a band running from start to end (inclusive).
Rgb Along(const TsGradStop& s, double start, double end, double i) {
  const Rgb a = ToRgb(s.Color1), b = ToRgb(s.Color2);
  const double t = i - start;
  const double n = end - start;
  return {a.R + (b.R - a.R) / n * t, a.G + (b.G - a.G) / n * t, a.B + (b.B - a.B) / n * t};
}

void Vertical(TBitmap& bmp, const TRect& r, const TsGradArray& data, int offset) {
  const int bpp = bmp.BytesPerPixel();
  const int last = std::min(r.Bottom, bmp.Height()) - 1;
  const long long span = static_cast<long long>(r.Height()) + offset;
  long long y = static_cast<long long>(r.Top) + offset;
  for (std::size_t k = 0; k < data.size(); ++k) {
    const long long start = y;
    y = start + span * data[k].Percent / 100;
    y = k + 1 < data.size() ? std::min<long long>(y, last) : last;
    if (y - start <= 0) continue;
    for (long long row = std::max<long long>(start, r.Top); row <= y; ++row) {
      const Pixel c = ToPixel(Along(data[k], double(start), double(y), double(row)));
      std::uint8_t* line = bmp.ScanLine(static_cast<int>(row));
      for (int x = r.Left; x < r.Right; ++x) PutPixel(line, bpp, x, c);
    }
  }
}

// Every row alike: the first is worked out, the others copied from it.
void Horizontal(TBitmap& bmp, const TRect& r, const TsGradArray& data) {
  const int bpp = bmp.BytesPerPixel();
  const int last = std::min(r.Right, bmp.Width()) - 1;
  std::uint8_t* first = bmp.ScanLine(r.Top);
  int x = r.Left, to = r.Left - 1;
  for (std::size_t k = 0; k < data.size(); ++k) {
    const int start = x;
    x = static_cast<int>(std::nearbyint(start + data[k].Percent * double(r.Width()) / 100));
    x = k + 1 < data.size() ? std::min(x, last) : last;
    if (x - start <= 0) continue;
    for (int col = std::max(start, r.Left); col <= x; ++col)
      PutPixel(first, bpp, col, ToPixel(Along(data[k], start, x, col)));
    to = std::max(to, x);
  }
  // Only what the bands painted: columns they left keep what was there.
  const int from = r.Left;
  if (to < from) return;
  const std::size_t bytes = static_cast<std::size_t>(to - from + 1) * static_cast<std::size_t>(bpp);
  for (int row = r.Top + 1; row < r.Bottom; ++row)
    std::memcpy(bmp.ScanLine(row) + static_cast<std::ptrdiff_t>(bpp) * from,
                first + static_cast<std::ptrdiff_t>(bpp) * from, bytes);
}

// Four triangles from the corners to the centre, each vertex with its own
// colour, filled by barycentric interpolation at pixel centres.
void Triangles(TBitmap& bmp, const TRect& r, const TsGradArray& data) {
  struct V {
    double X, Y;
    Rgb C;
  };
  std::array<Rgb, 5> colour{};
  for (std::size_t k = 0; k < 5; ++k) {
    colour[k] = k < data.size() ? ToRgb(data[k].Color1) : colour[k == 0 ? 0 : k - 1];
  }
  const V v[5] = {{double(r.Left), double(r.Top), colour[0]},
                  {double(r.Left + r.Width() / 2), double(r.Top + r.Height() / 2), colour[1]},
                  {double(r.Right), double(r.Top), colour[2]},
                  {double(r.Right), double(r.Bottom), colour[3]},
                  {double(r.Left), double(r.Bottom), colour[4]}};
  const int tri[4][3] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  const int bpp = bmp.BytesPerPixel();
  for (int y = r.Top; y < r.Bottom; ++y) {
    std::uint8_t* line = bmp.ScanLine(y);
    for (int x = r.Left; x < r.Right; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      for (const auto& t : tri) {
        const V &a = v[t[0]], &b = v[t[1]], &c = v[t[2]];
        const double d = (b.Y - c.Y) * (a.X - c.X) + (c.X - b.X) * (a.Y - c.Y);
        if (d == 0) continue;
        const double wa = ((b.Y - c.Y) * (px - c.X) + (c.X - b.X) * (py - c.Y)) / d;
        const double wb = ((c.Y - a.Y) * (px - c.X) + (a.X - c.X) * (py - c.Y)) / d;
        const double wc = 1 - wa - wb;
        if (wa < -1e-9 || wb < -1e-9 || wc < -1e-9) continue;
        PutPixel(line, bpp, x,
                 ToPixel({wa * a.C.R + wb * b.C.R + wc * c.C.R, wa * a.C.G + wb * b.C.G + wc * c.C.G,
                          wa * a.C.B + wb * b.C.B + wc * c.C.B}));
        break;
      }
    }
  }
}

}  // namespace

void PaintGradientArray(TBitmap& bmp, TRect r, const TsGradArray& data, int offset) {
  if (data.empty()) return;
  if (bmp.PixelFormat() != pf24bit && bmp.PixelFormat() != pf32bit) return;
  r.Right = std::min(r.Right, bmp.Width());
  r.Bottom = std::min(r.Bottom, bmp.Height());
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  switch (data[0].Mode) {
    case 0:
      Vertical(bmp, r, data, offset);
      break;
    case 1:
      Horizontal(bmp, r, data);
      break;
    case 2:
      Triangles(bmp, r, data);
      break;
    default:
      break;
  }
}

}  // namespace kv
