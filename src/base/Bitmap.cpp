#include "base/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/SysUtils.h"

namespace kv {

namespace {

TPixelFormat Concrete(TPixelFormat format) { return format == pfDevice ? pf24bit : format; }

// One pixel of format `from` at s written as format `to` at d.
void ConvertPixel(const std::uint8_t* s, TPixelFormat from, std::uint8_t* d, TPixelFormat to) {
  std::uint8_t b, g, r, a = 0;
  if (from == pf8bit) {
    b = g = r = s[0];
  } else {
    b = s[0];
    g = s[1];
    r = s[2];
    if (from == pf32bit) a = s[3];
  }
  if (to == pf8bit) {
    d[0] = static_cast<std::uint8_t>((b + g + r) / 3);
    return;
  }
  d[0] = b;
  d[1] = g;
  d[2] = r;
  if (to == pf32bit) d[3] = from == pf32bit ? a : 0;
}

}  // namespace

int TBitmap::BytesPerPixelOf(TPixelFormat format) {
  switch (format) {
    case pf8bit:
      return 1;
    case pf32bit:
      return 4;
    default:
      return 3;
  }
}

std::size_t TBitmap::StrideOf(int width, TPixelFormat format) {
  if (width <= 0) return 0;
  const std::size_t bits = static_cast<std::size_t>(width) * 8 * BytesPerPixelOf(format);
  return (bits + 31) / 32 * 4;
}

TBitmap::TBitmap(int width, int height, TPixelFormat format, TRowOrder order) {
  format_ = Concrete(format);
  topDown_ = order == TRowOrder::TopDown;
  Reallocate(width, height, format_, false);
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

void TBitmap::Reallocate(int width, int height, TPixelFormat format, bool keepPixels) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (static_cast<std::int64_t>(width) * height > MaxPixels)
    throw EInvalidOperation("Bitmap is too large");
  if (width == 0 || height == 0) {
    Release();
    width_ = width;
    height_ = height;
    format_ = format;
    return;
  }
  const std::size_t stride = StrideOf(width, format);
  const std::size_t size = stride * static_cast<std::size_t>(height);
  HBITMAP__* handle = nullptr;
  std::uint8_t* bits = AllocPixels(width, topDown_ ? -height : height, format, size, handle);
  if (keepPixels && bits_) {
    SyncPixels();
    const int rows = std::min(height, height_);
    const int cols = std::min(width, width_);
    const int sb = BytesPerPixelOf(format_), db = BytesPerPixelOf(format);
    for (int y = 0; y < rows; ++y) {
      const std::uint8_t* s = Row(bits_, stride_, height_, y);
      std::uint8_t* d = Row(bits, stride, height, y);
      if (format == format_) {
        std::memcpy(d, s, static_cast<std::size_t>(cols) * db);
      } else {
        for (int x = 0; x < cols; ++x) ConvertPixel(s + x * sb, format_, d + x * db, format);
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
}

void TBitmap::SetSize(int width, int height) {
  if (width == width_ && height == height_ && (bits_ || Empty())) {
    if (format_ == pfDevice) format_ = pf24bit;
    return;
  }
  Reallocate(width, height, Concrete(format_), true);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  format = Concrete(format);
  if (format == format_) return;
  Reallocate(width_, height_, format, true);
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
    Reallocate(source.width_, source.height_, source.format_, false);
  } else {
    if (source.width_ != width_ || source.height_ != height_ || source.format_ != format_ || !bits_)
      Reallocate(source.width_, source.height_, source.format_, false);
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
  std::swap(bits_, other.bits_);
  std::swap(handle_, other.handle_);
  std::swap(Transparent, other.Transparent);
  std::swap(TransparentColor, other.TransparentColor);
}

}  // namespace kv
