// Native back end of the pixel store: plain zero-filled heap memory.
#include <cstdlib>
#include <new>

#include "base/Bitmap.h"

namespace kv {

std::uint8_t* TBitmap::AllocPixels(int, int, TPixelFormat, std::size_t size,
                                   const std::vector<TColor>&, HBITMAP__*& handle) {
  handle = nullptr;
  void* p = std::calloc(size, 1);
  if (!p) throw std::bad_alloc();
  return static_cast<std::uint8_t*>(p);
}

void TBitmap::FreePixels(std::uint8_t* bits, HBITMAP__*) { std::free(bits); }

void TBitmap::SyncPixels() {}

}  // namespace kv
