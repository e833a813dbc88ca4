#include "base/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "base/SysUtils.h"

namespace kv {

namespace {

TPixelFormat Concrete(TPixelFormat format) { return format == pfDevice ? pf24bit : format; }

struct Bgra {
  std::uint8_t b, g, r, a;
};

Bgra ReadPixel(const std::uint8_t* row, int x, TPixelFormat format,
               const std::vector<TColor>& palette) {
  const int bits = TBitmap::BitsPerPixelOf(format);
  if (TBitmap::HasPalette(format)) {
    const unsigned index = PixelIndex(row, x, bits);
    const TColor c = index < palette.size() ? palette[index] : 0;
    return {ColorB(c), ColorG(c), ColorR(c), 0};
  }
  const std::uint8_t* p = row + x * (bits / 8);
  return {p[0], p[1], p[2], format == pf32bit ? p[3] : std::uint8_t{0}};
}

// Palette formats get the grey level as an index on their grey ramp.
void WritePixel(std::uint8_t* row, int x, TPixelFormat format, Bgra v, bool alpha) {
  const int bits = TBitmap::BitsPerPixelOf(format);
  if (TBitmap::HasPalette(format)) {
    const unsigned grey = (v.b + v.g + v.r) / 3u;
    const unsigned top = (1u << bits) - 1;
    return SetPixelIndex(row, x, bits, (grey * top + 127) / 255);
  }
  std::uint8_t* p = row + x * (bits / 8);
  p[0] = v.b;
  p[1] = v.g;
  p[2] = v.r;
  if (format == pf32bit) p[3] = alpha ? v.a : 0;
}

std::vector<TColor> GreyRamp(TPixelFormat format) {
  if (!TBitmap::HasPalette(format)) return {};
  const int n = 1 << TBitmap::BitsPerPixelOf(format);
  std::vector<TColor> ramp(n);
  for (int i = 0; i < n; ++i) {
    const auto v = static_cast<std::uint8_t>(i * 255 / (n - 1));
    ramp[i] = ColorFromRGB(v, v, v);
  }
  return ramp;
}

}  // namespace

unsigned PixelIndex(const std::uint8_t* row, int x, int bits) {
  const int perByte = 8 / bits;
  const int shift = 8 - bits * (x % perByte + 1);
  return (row[x / perByte] >> shift) & ((1u << bits) - 1);
}

void SetPixelIndex(std::uint8_t* row, int x, int bits, unsigned index) {
  const int perByte = 8 / bits;
  const int shift = 8 - bits * (x % perByte + 1);
  const unsigned mask = ((1u << bits) - 1) << shift;
  std::uint8_t& byte = row[x / perByte];
  byte = static_cast<std::uint8_t>((byte & ~mask) | ((index << shift) & mask));
}

int TBitmap::BytesPerPixelOf(TPixelFormat format) { return BitsPerPixelOf(format) / 8; }

int TBitmap::BitsPerPixelOf(TPixelFormat format) {
  switch (format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf32bit:
      return 32;
    default:
      return 24;
  }
}

std::size_t TBitmap::StrideOf(int width, TPixelFormat format) {
  if (width <= 0) return 0;
  const std::size_t bits = static_cast<std::size_t>(width) * BitsPerPixelOf(format);
  return (bits + 31) / 32 * 4;
}

TBitmap::TBitmap(int width, int height, TPixelFormat format, TRowOrder order) {
  format_ = Concrete(format);
  topDown_ = order == TRowOrder::TopDown;
  Reallocate(width, height, format_, false, GreyRamp(format_));
}

TBitmap::TBitmap(const TBitmap& other) { Assign(other); }

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this != &other) Assign(other);
  return *this;
}

TBitmap::TBitmap(TBitmap&& other) noexcept { Swap(other); }

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
  if (this != &other) {
    TBitmap empty;
    empty.Swap(other);
    Swap(empty);
  }
  return *this;
}

TBitmap::~TBitmap() {
  try {
    Release();
  } catch (...) {
    // a destructor must not throw; the memory is freed by Release() regardless
  }
}

void TBitmap::Release() {
  if (bits_ && OnHandleChanging) {
    try {
      OnHandleChanging(*this);
    } catch (...) {
      FreePixels(std::exchange(bits_, nullptr), std::exchange(handle_, nullptr));
      stride_ = 0;
      throw;
    }
  }
  FreePixels(std::exchange(bits_, nullptr), std::exchange(handle_, nullptr));
  stride_ = 0;
}

void TBitmap::Reallocate(int width, int height, TPixelFormat format, bool keepPixels,
                         std::vector<TColor> palette) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (static_cast<std::int64_t>(width) * height > MaxPixels)
    throw EInvalidOperation("Bitmap is too large");
  if (width == 0 || height == 0) {
    Release();
    width_ = width;
    height_ = height;
    format_ = format;
    palette_ = std::move(palette);
    return;
  }
  const std::size_t stride = StrideOf(width, format);
  const std::size_t size = stride * static_cast<std::size_t>(height);
  HBITMAP__* handle = nullptr;
  std::uint8_t* bits =
      AllocPixels(width, topDown_ ? -height : height, format, size, palette, handle);
  if (keepPixels && bits_) {
    SyncPixels();
    const int rows = std::min(height, height_);
    const int cols = std::min(width, width_);
    const int depth = BitsPerPixelOf(format);
    // Whole bytes are copied as they are; a last part byte pixel by pixel.
    const int wholeBytes = cols * depth / 8;
    const int firstSingle = format == format_ ? wholeBytes * 8 / depth : 0;
    for (int y = 0; y < rows; ++y) {
      const std::uint8_t* s = Row(bits_, stride_, height_, y);
      std::uint8_t* d = Row(bits, stride, height, y);
      if (format == format_) std::memcpy(d, s, static_cast<std::size_t>(wholeBytes));
      for (int x = firstSingle; x < cols; ++x) {
        if (format == format_)
          SetPixelIndex(d, x, depth, PixelIndex(s, x, depth));
        else
          WritePixel(d, x, format, ReadPixel(s, x, format_, palette_), format_ == pf32bit);
      }
    }
  }
  Release();
  bits_ = bits;
  handle_ = handle;
  stride_ = stride;
  width_ = width;
  height_ = height;
  format_ = format;
  palette_ = std::move(palette);
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_ && (bits_ || Empty())) {
    if (format_ == pfDevice) format_ = pf24bit;
    return;
  }
  Reallocate(width, height, Concrete(format_), true, palette_);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  format = Concrete(format);
  if (format == format_) return;
  Reallocate(width_, height_, format, true, GreyRamp(format));
}

void TBitmap::SetPalette(std::vector<TColor> palette) {
  if (!HasPalette(format_)) return;
  palette.resize(std::min<std::size_t>(palette.size(), std::size_t{1} << BitsPerPixelOf(format_)));
  // The DIB takes its colour table when it is made.
  Reallocate(width_, height_, format_, true, std::move(palette));
}

std::uint8_t* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= height_ || !bits_) throw ERangeError("Scan line index out of range");
  SyncPixels();
  return Row(bits_, stride_, height_, y);
}

std::uint8_t* TBitmap::Row(std::uint8_t* bits, std::size_t stride, int height, int y) const {
  return bits + static_cast<std::size_t>(topDown_ ? y : height - 1 - y) * stride;
}

const std::uint8_t* TBitmap::ScanLine(int y) const {
  return const_cast<TBitmap*>(this)->ScanLine(y);
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  if (source.topDown_ != topDown_) {
    Release();
    topDown_ = source.topDown_;
  }
  if (source.Empty()) {
    Reallocate(source.width_, source.height_, source.format_, false, source.palette_);
  } else {
    if (source.width_ != width_ || source.height_ != height_ || source.format_ != format_ ||
        source.palette_ != palette_ || !bits_)
      Reallocate(source.width_, source.height_, source.format_, false, source.palette_);
    SyncPixels();
    std::memcpy(bits_, source.bits_, ImageSize());
  }
  Transparent = source.Transparent;
  TransparentColor = source.TransparentColor;
}

void TBitmap::Swap(TBitmap& other) noexcept {
  if (bits_ && OnHandleChanging) OnHandleChanging(*this);
  if (other.bits_ && other.OnHandleChanging) other.OnHandleChanging(other);
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(format_, other.format_);
  std::swap(topDown_, other.topDown_);
  std::swap(stride_, other.stride_);
  std::swap(palette_, other.palette_);
  std::swap(bits_, other.bits_);
  std::swap(handle_, other.handle_);
  std::swap(Transparent, other.Transparent);
  std::swap(TransparentColor, other.TransparentColor);
}

// --- BMP files ---------------------------------------------------------------------

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}
void Put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

[[noreturn]] void BadBmp(const std::string& why) {
  throw EInvalidGraphic("Bitmap image is not valid (" + why + ")");
}

constexpr std::uint32_t kBiRgb = 0, kBiBitFields = 3;

}  // namespace

void ReadBmp(const std::uint8_t* data, std::size_t size, TBitmap& dest) {
  if (size < 14 + 40 || data[0] != 'B' || data[1] != 'M') BadBmp("not a bitmap file");
  const std::uint32_t offBits = Le32(data + 10);
  const std::uint8_t* ih = data + 14;
  const std::uint32_t headerSize = Le32(ih);
  if (headerSize < 40 || headerSize > size - 14) BadBmp("bad header");
  const auto width = static_cast<std::int32_t>(Le32(ih + 4));
  const auto rawHeight = static_cast<std::int32_t>(Le32(ih + 8));
  const std::uint16_t bits = Le16(ih + 14);
  const std::uint32_t compression = Le32(ih + 16);
  std::uint32_t colorsUsed = Le32(ih + 32);
  if (Le16(ih + 12) != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
    BadBmp(std::to_string(bits) + " bits");
  }
  if (compression != kBiRgb && !(compression == kBiBitFields && bits == 32)) BadBmp("compressed");
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) BadBmp("bad size");
  const bool topDown = rawHeight < 0;
  const std::int32_t height = topDown ? -rawHeight : rawHeight;
  if (std::int64_t{width} * height > TBitmap::MaxPixels) {
    BadBmp(std::to_string(width) + " x " + std::to_string(height) + " is too large");
  }
  const std::size_t stride = (std::size_t(width) * bits + 31) / 32 * 4;
  if (offBits > size || stride * std::size_t(height) > size - offBits) BadBmp("truncated");

  // The palette lies between the header and the pixels.
  std::uint8_t palette[256][3] = {};
  if (bits <= 8) {
    if (colorsUsed == 0 || colorsUsed > (1u << bits)) colorsUsed = 1u << bits;
    const std::size_t at = 14 + std::size_t{headerSize};
    if (at + std::size_t{colorsUsed} * 4 > offBits) BadBmp("truncated palette");
    for (std::uint32_t i = 0; i < colorsUsed; ++i) std::memcpy(palette[i], data + at + 4 * i, 3);
  }

  TBitmap result(width, height, bits == 32 ? pf32bit : pf24bit);
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* src = data + offBits + stride * std::size_t(topDown ? y : height - 1 - y);
    std::uint8_t* out = result.ScanLine(y);
    if (bits >= 24) {
      std::memcpy(out, src, std::size_t(width) * (bits / 8));
      continue;
    }
    // The leftmost pixel is in the most significant bits of its byte.
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (std::int32_t x = 0; x < width; ++x) {
      const int shift = 8 - bits * (x % perByte + 1);
      std::memcpy(out + 3 * x, palette[(src[x / perByte] >> shift) & mask], 3);
    }
  }
  dest.Swap(result);
}

std::vector<std::uint8_t> WriteBmp(const TBitmap& bitmap) {
  TBitmap copy(bitmap);
  copy.SetPixelFormat(pf24bit);
  const std::uint32_t stride = (std::uint32_t(copy.Width()) * 3 + 3) / 4 * 4;
  const std::uint32_t size = stride * std::uint32_t(copy.Height());
  std::vector<std::uint8_t> out{'B', 'M'};
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

}  // namespace kv
