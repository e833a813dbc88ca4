#pragma once
// Alpha image lists, the portable half: the items keep the bytes of the PNG or
// ICO file they were made from, and their pictures come out as 32-bit bitmaps
// with straight alpha. The system image list built from them, and drawing
// through it, live in the Windows layer.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/Bitmap.h"
#include "base/Types.h"

namespace kv {

enum TsImageFormat : std::uint8_t { ifPNG = 0, ifICO = 1 };

struct TsImgListItem {
  TsImageFormat ImageFormat = ifPNG;
  TPixelFormat PixelFormat = pf32bit;
  std::vector<std::uint8_t> ImgData;  // the file's bytes, streamed as "ImgData"
};

using TsImgListItems = std::vector<TsImgListItem>;

// Turns an icon file's bytes into a 32-bit bitmap; null when it cannot.
using TsIconDecoder = std::function<std::unique_ptr<TBitmap>(const std::vector<std::uint8_t>&)>;

// The item's picture at its own size for the system list: a PNG decoded here
// (24-bit or 32-bit as the file is; the icon maker keys 24-bit ones), an icon
// through decodeIcon. An item that cannot be decoded becomes a fully
// transparent width x height picture, so that the list's indexes stay those
// of the items.
TBitmap ListItemPicture(const TsImgListItem& item, int width, int height,
                        const TsIconDecoder& decodeIcon);

// A PNG item's picture of width x height (resampled when its size differs),
// 24-bit or 32-bit as the file is. False, and Bmp untouched, for other
// items, an item without bytes or one that does not decode.
bool GetItemPicture(const TsImgListItem& item, int width, int height, TBitmap& bmp);

// A PNG item as a 32-bit bitmap of width x height (resampled when its size
// differs); pictures without alpha get it from their colour key. False, and
// Bmp untouched, for other items, an item without bytes or one that does not
// decode.
bool GetItemBitmap32(const TsImgListItem& item, int width, int height, TBitmap& bmp);

// When no pixel of a 32-bit bitmap has any alpha, every pixel not of the
// key colour becomes opaque; true when it did so. Other bitmaps, and those
// with alpha, are left alone.
bool AlphaFromKeyColour(TBitmap& bmp, TColor key);
// The same with the bottom-left pixel's colour as the key.
void AlphaFromColorKey(TBitmap& bmp);

// The source rectangle of state State in an image of imageCount states side
// by side, width x height in all: a count below 1 counts as 1 and the state
// is held to 0 .. count - 1.
TRect ListImageFrame(int width, int height, int imageCount, int state);

}  // namespace kv
