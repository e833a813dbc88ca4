#pragma once
// Fast pixel access: accessors that bind once to a 24-bit or 32-bit bitmap,
// keep the address of row 0 and the signed distance between rows, and then
// address any pixel by arithmetic instead of a ScanLine call per pixel.
//
// A colour value (TColor) holds R in its low byte, then G, then B; the 32-bit
// pixel values of TacFast32 carry A in the top byte as well.

#include <cstddef>
#include <cstdint>

#include "base/Bitmap.h"
#include "base/Types.h"

namespace kv {

class TacFast24 {
 public:
  // True for a pf24bit bitmap of at least 2 x 2 pixels; otherwise Width is 0.
  bool Attach(TBitmap* bitmap);
  TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);  // the colour's top byte is ignored

  TBitmap* Bitmap = nullptr;
  int Width = 0;
  int Height = 0;
  std::ptrdiff_t RowStep = 0;
  std::uint8_t* Row0 = nullptr;
};

class TacFast32 {
 public:
  // True for a pf32bit bitmap of at least 2 x 2 pixels; otherwise Width is 0.
  bool Attach(TBitmap* bitmap);
  // R + G shl 8 + B shl 16 + A shl 24.
  std::uint32_t GetPixel(int x, int y) const;
  void SetPixel(int x, int y, std::uint32_t value);
  // Writes the value unchanged (memory order B, G, R, A) into the rectangle's
  // pixels; the rectangle is cut to the bitmap.
  void FillRect(const TRect& rect, std::uint32_t pixel);

  TBitmap* Bitmap = nullptr;
  int Width = 0;
  int Height = 0;
  std::ptrdiff_t RowStep = 0;
  std::uint8_t* Row0 = nullptr;
};

// Blends SrcRect of the source into DstRect of the destination with one alpha:
// d := (s * (255 - Alpha) + d * Alpha + 127) shr 8 for every byte (Alpha is the
// weight of the destination). Both rectangles have the same size; the part of
// them that lies outside either bitmap is left out.
class TacFastSum24 {
 public:
  bool Attach(TBitmap* src, TBitmap* dst);
  void Blend();

  TBitmap* SrcBitmap = nullptr;
  TBitmap* DstBitmap = nullptr;
  int Width = 0;
  int Height = 0;
  std::uint8_t* SrcRow0 = nullptr;
  std::uint8_t* DstRow0 = nullptr;
  std::ptrdiff_t SrcRowStep = 0;
  std::ptrdiff_t DstRowStep = 0;
  std::uint8_t Alpha = 0;
  TRect DstRect{};
  TRect SrcRect{};

 protected:
  bool AttachAs(TBitmap* src, TBitmap* dst, TPixelFormat format);

 private:
  int bytesPerPixel_ = 3;
  int srcWidth_ = 0, srcHeight_ = 0, dstWidth_ = 0, dstHeight_ = 0;
};

// The same for 32-bit bitmaps; the alpha byte is blended like a colour byte.
class TacFastSum32 : public TacFastSum24 {
 public:
  bool Attach(TBitmap* src, TBitmap* dst);
};

// The 32-bit pixel value of a colour with A = 255 (memory order B, G, R, 255).
std::uint32_t ColorToPixel32(TColor color);
// Fills a rectangle of a 32-bit bitmap with an opaque colour.
void FillRect32(TBitmap* bitmap, const TRect& rect, TColor color);

// Shared by the painters of the GUI thread; not re-entrant.
extern TacFast24 SharedFast24;
extern TacFastSum24 SharedFastSum24;
extern TacFast32 SharedFast32;

}  // namespace kv
