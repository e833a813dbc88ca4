// Reading and writing the Windows bitmap files skins are made of, and the
// clean-up PNG images get before they become masks.
#pragma once

#include <cstdint>
#include <memory>

#include "base/Bitmap.h"
#include "skin/core/acSkinPack.h"

namespace kv {

// Uncompressed BMP (8-bit with palette, 24-bit, 32-bit; bottom-up or
// top-down) into a pf24bit or pf32bit bitmap. Every size is checked against
// the bytes present and MaxPixels before allocation; damage raises ESkinError.
std::shared_ptr<TBitmap> ReadSkinBitmap(const TacBytes& bytes, std::int64_t maxPixels);

// A bottom-up 24-bit BMP file of the bitmap (converted when 32-bit).
TacBytes WriteSkinBitmap(const TBitmap& bitmap);

// Fully transparent white pixels of a 32-bit image become 0 in every byte.
void ClearTransparentWhite(TBitmap& bitmap);

}  // namespace kv
