#include "skin/core/sSkinImages.h"

#include <cstring>
#include <string>

#include "skin/core/acSkinErrors.h"

namespace kv {
namespace {

std::uint32_t U32(const TacBytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}
std::uint16_t U16(const TacBytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
void Put32(TacBytes& b, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}
void Put16(TacBytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

std::shared_ptr<TBitmap> ReadSkinBitmap(const TacBytes& b, std::int64_t maxPixels) {
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw ESkinError("not a bitmap file");
  const std::uint32_t offset = U32(b, 10);
  const std::uint32_t header = U32(b, 14);
  if (header < 40 || 14 + std::uint64_t(header) > b.size()) throw ESkinError("bad bitmap header");
  const std::int32_t width = static_cast<std::int32_t>(U32(b, 18));
  const std::int32_t rawHeight = static_cast<std::int32_t>(U32(b, 22));
  const int bits = U16(b, 28);
  const std::uint32_t compression = U32(b, 30);
  std::uint32_t colours = U32(b, 46);
  if (U16(b, 26) != 1 || (bits != 8 && bits != 24 && bits != 32)) {
    throw ESkinError("unsupported bitmap format (" + std::to_string(bits) + " bits)");
  }
  if (compression != 0 && !(compression == 3 && bits == 32)) {
    throw ESkinError("compressed bitmaps are not supported");
  }
  if (rawHeight == INT32_MIN) throw ESkinError("bad bitmap size");
  const bool topDown = rawHeight < 0;
  const std::int64_t height = topDown ? -std::int64_t(rawHeight) : rawHeight;
  if (width <= 0 || height <= 0 || std::int64_t(width) * height > maxPixels) {
    throw ESkinError("bad bitmap size " + std::to_string(width) + " x " + std::to_string(height));
  }
  const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
  if (offset > b.size() || stride * std::uint64_t(height) > b.size() - offset) {
    throw ESkinError("bitmap file is truncated");
  }
  std::uint8_t palette[256][3] = {};
  if (bits == 8) {
    if (colours == 0 || colours > 256) colours = 256;
    const std::uint64_t at = 14 + std::uint64_t(header);
    if (at + 4ull * colours > offset) throw ESkinError("bitmap palette is truncated");
    for (std::uint32_t i = 0; i < colours; ++i) std::memcpy(palette[i], &b[at + 4 * i], 3);
  }
  auto bmp =
      std::make_shared<TBitmap>(width, static_cast<int>(height), bits == 32 ? pf32bit : pf24bit);
  for (std::int64_t y = 0; y < height; ++y) {
    const std::uint8_t* src = &b[offset + stride * std::uint64_t(topDown ? y : height - 1 - y)];
    std::uint8_t* dst = bmp->ScanLine(static_cast<int>(y));
    if (bits == 8) {
      for (int x = 0; x < width; ++x) std::memcpy(dst + 3 * x, palette[src[x]], 3);
    } else {
      std::memcpy(dst, src, std::size_t(width) * (bits / 8));
    }
  }
  return bmp;
}

TacBytes WriteSkinBitmap(const TBitmap& bitmap) {
  TBitmap copy(bitmap);
  copy.SetPixelFormat(pf24bit);
  const std::uint32_t stride = (std::uint32_t(copy.Width()) * 3 + 3) / 4 * 4;
  const std::uint32_t size = stride * std::uint32_t(copy.Height());
  TacBytes out{'B', 'M'};
  Put32(out, 54 + size);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(copy.Width()));
  Put32(out, static_cast<std::uint32_t>(copy.Height()));
  Put16(out, 1);
  Put16(out, 24);
  for (int i = 0; i < 6; ++i) Put32(out, i == 1 ? size : 0);
  for (int y = copy.Height() - 1; y >= 0; --y) {
    const std::uint8_t* row = copy.ScanLine(y);
    out.insert(out.end(), row, row + std::size_t(copy.Width()) * 3);
    out.insert(out.end(), stride - std::size_t(copy.Width()) * 3, 0);
  }
  return out;
}

void ClearTransparentWhite(TBitmap& bitmap) {
  if (bitmap.PixelFormat() != pf32bit || bitmap.Empty()) return;
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* p = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x, p += 4) {
      if (p[3] == 0 && p[0] == 255 && p[1] == 255 && p[2] == 255) std::memset(p, 0, 4);
    }
  }
}

}  // namespace kv
