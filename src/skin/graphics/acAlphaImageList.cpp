#include "skin/graphics/acAlphaImageList.h"

#include <algorithm>
#include <cstring>

#include "skin/graphics/acPNG.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

// Mitchell: sharp enough for small icons without ringing much.
constexpr std::uint8_t kResizeFilter = 6;

std::unique_ptr<TPNGGraphic> DecodePng(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) return nullptr;
  auto png = std::make_unique<TPNGGraphic>();
  try {
    png->LoadFromMemory(bytes.data(), bytes.size());
  } catch (const std::exception&) {
    return nullptr;  // a broken file, or a picture too big for the memory there is
  }
  // Grey and indexed images hold palette indexes; the list works on colours.
  if (png->PixelFormat() != pf32bit) png->SetPixelFormat(pf24bit);
  return png;
}

// Resampling needs two pixels each way; smaller pictures are stretched.
void ResizeListPicture(const TBitmap& src, TBitmap& dst, int width, int height) {
  if (src.Width() >= 2 && src.Height() >= 2)
    return ResampleBitmap(src, dst, width, height, kResizeFilter);
  TBitmap out(width, height, src.PixelFormat());
  TBitmap copy = src;
  StretchPixels(&out, {0, 0, width, height}, &copy, {0, 0, src.Width(), src.Height()});
  dst = std::move(out);
}

}  // namespace

TBitmap ListItemPicture(const TsImgListItem& item, int width, int height,
                        const TsIconDecoder& decodeIcon) {
  if (item.ImageFormat == ifPNG) {
    if (auto png = DecodePng(item.ImgData); png && !png->Empty()) return *png;
  } else if (item.ImageFormat == ifICO && decodeIcon) {
    if (auto icon = decodeIcon(item.ImgData); icon && !icon->Empty()) return std::move(*icon);
  }
  return TBitmap(std::max(width, 1), std::max(height, 1), pf32bit);  // zero: transparent
}

bool GetItemPicture(const TsImgListItem& item, int width, int height, TBitmap& bmp) {
  if (item.ImageFormat != ifPNG || width < 1 || height < 1) return false;
  const auto png = DecodePng(item.ImgData);
  if (!png || png->Empty()) return false;
  TBitmap out;
  if (png->Width() == width && png->Height() == height)
    out = *png;
  else
    ResizeListPicture(*png, out, width, height);
  bmp.Swap(out);
  return true;
}

bool GetItemBitmap32(const TsImgListItem& item, int width, int height, TBitmap& bmp) {
  TBitmap out;
  if (!GetItemPicture(item, width, height, out)) return false;
  if (out.PixelFormat() != pf32bit) {
    out.SetPixelFormat(pf32bit);
    AlphaFromColorKey(out);
  }
  bmp.Swap(out);
  return true;
}

bool AlphaFromKeyColour(TBitmap& bmp, TColor key) {
  if (bmp.PixelFormat() != pf32bit || bmp.Empty()) return false;
  const int w = bmp.Width(), h = bmp.Height();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < w; ++x)
      if (p[4 * x + 3] != 0) return false;
  }
  for (int y = 0; y < h; ++y) {
    std::uint8_t* p = bmp.ScanLine(y);
    for (int x = 0; x < w; ++x, p += 4)
      if (ColorFromRGB(p[2], p[1], p[0]) != key) p[3] = 255;
  }
  return true;
}

void AlphaFromColorKey(TBitmap& bmp) {
  if (bmp.PixelFormat() != pf32bit || bmp.Empty()) return;
  const std::uint8_t* corner = bmp.ScanLine(bmp.Height() - 1);
  AlphaFromKeyColour(bmp, ColorFromRGB(corner[2], corner[1], corner[0]));
}

TRect ListImageFrame(int width, int height, int imageCount, int state) {
  const int count = std::max(imageCount, 1);
  const int frame = width / count;
  return Bounds(frame * std::clamp(state, 0, count - 1), 0, frame, height);
}

}  // namespace kv
