// Windows back end of the pixel store: the pixels live in a DIB section, so
// that GDI can draw into the same memory the pixel routines read.
#include <windows.h>

#include <new>

#include "base/Bitmap.h"

namespace kv {

std::uint8_t* TBitmap::AllocPixels(int width, int height, TPixelFormat format, std::size_t,
                                   const std::vector<TColor>& palette, HBITMAP__*& handle) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;  // positive: bottom-up, negative: top-down
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(BitsPerPixelOf(format));
  info.header.biCompression = BI_RGB;
  if (HasPalette(format)) {
    // Entries past the palette stay black.
    info.header.biClrUsed = 1u << BitsPerPixelOf(format);
    for (std::size_t i = 0; i < palette.size() && i < 256; ++i)
      info.colors[i] = RGBQUAD{ColorB(palette[i]), ColorG(palette[i]), ColorR(palette[i]), 0};
  }
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                 &bits, nullptr, 0);
  if (!dib || !bits) {
    if (dib) DeleteObject(dib);
    throw std::bad_alloc();
  }
  handle = dib;
  return static_cast<std::uint8_t*>(bits);  // a new DIB section is zero-filled
}

void TBitmap::FreePixels(std::uint8_t*, HBITMAP__* handle) {
  if (handle) DeleteObject(handle);
}

void TBitmap::SyncPixels() { GdiFlush(); }

}  // namespace kv
