#include "classlib/ImgList.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/Controls.h"

namespace kv {

namespace {

// A 32-bit top-down DIB section holding a copy of the bitmap: the system
// list may change the pixels it is given (AddMasked does), and it must not
// get a bitmap that a canvas has selected.
HBITMAP MakeDib32(const TBitmap& source) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = source.Width();
  bi.bmiHeader.biHeight = -source.Height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr) return nullptr;
  auto* out = static_cast<uint8_t*>(bits);
  const int bpp = source.BytesPerPixel();
  for (int y = 0; y < source.Height(); ++y) {
    const uint8_t* in = source.ScanLine(y);
    uint8_t* row = out + static_cast<size_t>(y) * source.Width() * 4;
    for (int x = 0; x < source.Width(); ++x, in += bpp, row += 4) {
      if (bpp == 1) {
        row[0] = row[1] = row[2] = in[0];
        row[3] = 0;
      } else {
        row[0] = in[0];
        row[1] = in[1];
        row[2] = in[2];
        row[3] = bpp == 4 ? in[3] : 0;
      }
    }
  }
  GdiFlush();
  return dib;
}

HBITMAP MakeMonoMask(const TBitmap& mask) {
  // Set bits (white) are left out, as the system list expects.
  const int stride = ((mask.Width() + 15) / 16) * 2;
  std::vector<uint8_t> bits(static_cast<size_t>(stride) * mask.Height());
  const int bpp = mask.BytesPerPixel();
  for (int y = 0; y < mask.Height(); ++y) {
    const uint8_t* in = mask.ScanLine(y);
    for (int x = 0; x < mask.Width(); ++x, in += bpp) {
      if (in[0] | (bpp > 1 ? in[1] | in[2] : 0))
        bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  return CreateBitmap(mask.Width(), mask.Height(), 1, 1, bits.data());
}

}  // namespace

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() { FreeHandle(); }

void TCustomImageList::FreeHandle() {
  if (handle_ != nullptr) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

void TCustomImageList::SetSize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  const bool had = handle_ != nullptr && Count() > 0;
  FreeHandle();
  if (had) Change();
}

int TCustomImageList::Count() const {
  return handle_ != nullptr ? ImageList_GetImageCount(handle_) : 0;
}

void TCustomImageList::SetBkColor(TColor color) {
  if (color == bkColor_) return;
  bkColor_ = color;
  if (handle_ != nullptr)
    ImageList_SetBkColor(handle_, color == clNone ? CLR_NONE : ColorToRGB(color));
  Change();
}

HIMAGELIST TCustomImageList::Handle() {
  if (handle_ == nullptr) {
    handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 0, allocBy_);
    if (handle_ == nullptr) throw EOutOfResources("Cannot create an image list");
    if (bkColor_ != clNone) ImageList_SetBkColor(handle_, ColorToRGB(bkColor_));
  }
  return handle_;
}

int TCustomImageList::Added(int before) {
  const int after = Count();
  if (after == before) return -1;
  Change();
  return before;
}

int TCustomImageList::Add(const TBitmap& image, const TBitmap* mask) {
  if (image.Width() < width_ || image.Height() < height_) return -1;
  const int before = Count();
  HBITMAP dib = MakeDib32(image);
  HBITMAP mono = mask != nullptr && !mask->Empty() ? MakeMonoMask(*mask) : nullptr;
  if (dib != nullptr) ImageList_Add(Handle(), dib, mono);
  if (mono != nullptr) DeleteObject(mono);
  if (dib != nullptr) DeleteObject(dib);
  return Added(before);
}

int TCustomImageList::AddMasked(const TBitmap& image, TColor maskColor) {
  if (image.Width() < width_ || image.Height() < height_) return -1;
  const int before = Count();
  HBITMAP dib = MakeDib32(image);
  if (dib != nullptr) {
    ImageList_AddMasked(Handle(), dib, ColorToRGB(maskColor));
    DeleteObject(dib);
  }
  return Added(before);
}

int TCustomImageList::AddIcon(const TIcon& icon) {
  if (icon.Handle() == nullptr) return -1;
  const int before = Count();
  ImageList_AddIcon(Handle(), icon.Handle());
  return Added(before);
}

void TCustomImageList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  ImageList_Remove(handle_, index);
  Change();
}

void TCustomImageList::Clear() {
  if (Count() == 0) return;
  ImageList_Remove(handle_, -1);
  Change();
}

void TCustomImageList::Change() {
  if (OnChange) OnChange(this);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (canvas == nullptr || index < 0 || index >= Count()) return;
  DoDraw(index, canvas, x, y, enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, bool enabled) {
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_DrawEx(handle_, index, dc, x, y, width_, height_, CLR_DEFAULT, CLR_NONE,
                     bkColor_ == clNone ? ILD_TRANSPARENT : ILD_NORMAL);
    return;
  }
  // Disabled: grey levels at half the opacity, blended over what is there.
  TBitmap image;
  if (!GetBitmap(index, image)) return;
  TBitmap grey(width_, height_, pf32bit);
  for (int row = 0; row < height_; ++row) {
    const uint8_t* in = image.ScanLine(row);
    uint8_t* out = grey.ScanLine(row);
    for (int col = 0; col < width_; ++col, in += 4, out += 4) {
      const int level = (in[0] * 11 + in[1] * 59 + in[2] * 30) / 100;
      const int alpha = in[3] / 2;
      out[0] = out[1] = out[2] = static_cast<uint8_t>(level * alpha / 255);  // premultiplied
      out[3] = static_cast<uint8_t>(alpha);
    }
  }
  GdiFlush();
  HDC mem = CreateCompatibleDC(dc);
  {
    const TSelectedObject bitmap(mem, reinterpret_cast<HBITMAP>(grey.Handle()));
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, width_, height_, mem, 0, 0, width_, height_, blend);
  }
  DeleteDC(mem);
}

bool TCustomImageList::GetBitmap(int index, TBitmap& dest) {
  if (index < 0 || index >= Count()) return false;
  // Drawn once on black and once on white: the difference is the opacity,
  // whatever way the system list keeps its images.
  TBitmap black(width_, height_, pf32bit);
  TBitmap white(width_, height_, pf32bit);
  std::memset(white.Bits(), 0xFF, white.ImageSize());
  HDC mem = CreateCompatibleDC(nullptr);
  for (TBitmap* b : {&black, &white}) {
    const TSelectedObject bitmap(mem, reinterpret_cast<HBITMAP>(b->Handle()));
    ImageList_DrawEx(handle_, index, mem, 0, 0, width_, height_, CLR_NONE, CLR_NONE,
                     ILD_TRANSPARENT);
  }
  DeleteDC(mem);
  GdiFlush();
  dest = TBitmap(width_, height_, pf32bit);
  for (int y = 0; y < height_; ++y) {
    const uint8_t* k = black.ScanLine(y);
    const uint8_t* w = white.ScanLine(y);
    uint8_t* out = dest.ScanLine(y);
    for (int x = 0; x < width_; ++x, k += 4, w += 4, out += 4) {
      const int alpha = 255 - std::clamp(w[1] - k[1], 0, 255);
      out[3] = static_cast<uint8_t>(alpha);
      for (int c = 0; c < 3; ++c)
        out[c] = alpha == 0 ? 0 : static_cast<uint8_t>(std::min(255, k[c] * 255 / alpha));
    }
  }
  return true;
}

}  // namespace kv
