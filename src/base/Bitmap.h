#pragma once
// The bitmap pixel store every pixel routine works on.
//
// Layout is that of a bottom-up device-independent bitmap, so that the same
// memory can be handed to GDI unchanged in the Windows build:
// - pf1bit, pf4bit, pf8bit: a palette index per pixel, packed from the most
//   significant bits of each byte; Palette() is the DIB's colour table (a grey
//   ramp unless set);
// - pf24bit: bytes B, G, R per pixel;
// - pf32bit: bytes B, G, R, A per pixel, straight (not premultiplied) alpha.
// Rows are padded to a multiple of 4 bytes (BytesPerRow). Row 0 is the top row;
// it lies at the highest address (bottom-up, GDI's usual order and the
// default) or at the lowest (top-down, as DIBs with a negative height):
// ScanLine(y + 1) == ScanLine(y) + RowStep() with RowStep() == -BytesPerRow()
// or +BytesPerRow(). Code that walks rows must use RowStep() (signed,
// pointer-sized) and never assume a direction.
//
// In the Windows build the pixels live in a DIB section whose HBITMAP is
// Handle(); natively they are plain zero-filled memory and Handle() is null.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/SysUtils.h"
#include "base/Types.h"

struct HBITMAP__;  // the Win32 handle type, declared so that no windows.h is needed

namespace kv {

// A picture that cannot be read or held (bad file, size past the limits).
class EInvalidGraphic : public Exception {
  using Exception::Exception;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };
enum class TRowOrder { BottomUp, TopDown };

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height, TPixelFormat format, TRowOrder order = TRowOrder::BottomUp);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&& other) noexcept;
  virtual ~TBitmap();

  // Called before the pixel memory (and in Windows the HBITMAP) is replaced
  // or freed, so that a canvas can deselect the handle from its DC first.
  std::function<void(TBitmap&)> OnHandleChanging;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  TPixelFormat PixelFormat() const { return format_; }
  // Kept through size and format changes and copied by Assign.
  TRowOrder RowOrder() const { return topDown_ ? TRowOrder::TopDown : TRowOrder::BottomUp; }

  // Size changes keep the overlapping top-left pixels and zero the rest.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);

  // Converts the pixels: 24 -> 32 gives alpha 0 (as GDI does), 32 -> 24 drops
  // alpha, from a palette format takes each pixel's palette colour, to one
  // takes the grey level (B + G + R) div 3 on a grey ramp.
  // pfDevice is stored as pf24bit.
  void SetPixelFormat(TPixelFormat format);

  // The colour table of pf1bit, pf4bit and pf8bit (empty for other formats);
  // at most 2^bits entries, indexes past its end show black.
  const std::vector<TColor>& Palette() const { return palette_; }
  // Ignored for formats without a palette. The pixels keep their indexes.
  void SetPalette(std::vector<TColor> palette);

  // Row y (0 = top). Not bounds-checked beyond a debug assertion.
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;
  std::ptrdiff_t RowStep() const {
    return topDown_ ? static_cast<std::ptrdiff_t>(stride_) : -static_cast<std::ptrdiff_t>(stride_);
  }
  int BytesPerRow() const { return static_cast<int>(stride_); }
  int BytesPerPixel() const { return BytesPerPixelOf(format_); }
  // The whole pixel block, lowest address first (the bottom row unless top-down).
  std::uint8_t* Bits() { return bits_; }
  const std::uint8_t* Bits() const { return bits_; }
  std::size_t ImageSize() const { return stride_ * static_cast<std::size_t>(height_); }

  // Copies size, format, pixels and the transparency attributes.
  void Assign(const TBitmap& source);
  // Exchanges everything but the OnHandleChanging observers.
  void Swap(TBitmap& other) noexcept;

  // Drawing with a key colour: pixels of TransparentColor are left out.
  bool Transparent = false;
  TColor TransparentColor = clNone;

  // The DIB section in the Windows build; null natively and while empty.
  HBITMAP__* Handle() const { return handle_; }

  // 0 for the formats of less than a byte per pixel.
  static int BytesPerPixelOf(TPixelFormat format);
  static int BitsPerPixelOf(TPixelFormat format);
  static bool HasPalette(TPixelFormat format) { return BitsPerPixelOf(format) <= 8; }
  static std::size_t StrideOf(int width, TPixelFormat format);
  // Largest pixel count a bitmap may have; larger sizes raise before any allocation.
  static constexpr std::int64_t MaxPixels = std::int64_t{1} << 28;

 private:
  void Reallocate(int width, int height, TPixelFormat format, bool keepPixels,
                  std::vector<TColor> palette);
  void Release();
  std::uint8_t* Row(std::uint8_t* bits, std::size_t stride, int height, int y) const;

  // Back end (Bitmap_posix.cpp / Bitmap_win.cpp): zero-filled block of size
  // bytes for a DIB of that geometry (a negative height: top-down) and colour
  // table; throws on failure.
  static std::uint8_t* AllocPixels(int width, int height, TPixelFormat format, std::size_t size,
                                   const std::vector<TColor>& palette, HBITMAP__*& handle);
  static void FreePixels(std::uint8_t* bits, HBITMAP__* handle);
  // Lets pending GDI drawing reach the memory before it is read directly.
  static void SyncPixels();

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pfDevice;
  bool topDown_ = false;
  std::size_t stride_ = 0;
  std::vector<TColor> palette_;
  std::uint8_t* bits_ = nullptr;
  HBITMAP__* handle_ = nullptr;
};

// Palette index x of a row of a format with `bits` bits per pixel (1, 4 or 8),
// the leftmost pixel in the most significant bits of its byte.
unsigned PixelIndex(const std::uint8_t* row, int x, int bits);
void SetPixelIndex(std::uint8_t* row, int x, int bits, unsigned index);

// The one reader of BMP files: 1, 4 and 8 bits through a palette, 24 bits,
// and 32 bits (also with bit fields, read as B, G, R, A); rows bottom-up or
// top-down; no run-length compression. Every size is checked against the
// bytes present and TBitmap::MaxPixels before anything is allocated. The
// result is pf32bit for 32-bit files, else pf24bit; any fault raises
// EInvalidGraphic "Bitmap image is not valid (...)" and leaves dest alone.
void ReadBmp(const std::uint8_t* data, std::size_t size, TBitmap& dest);
// A bottom-up 24-bit BMP file of the bitmap (a 32-bit one loses its alpha).
std::vector<std::uint8_t> WriteBmp(const TBitmap& bitmap);

}  // namespace kv
