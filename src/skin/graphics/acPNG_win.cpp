// The Win32 half of acPNG: icons made from bitmaps.
#include <windows.h>

#include <cstring>
#include <vector>

#include "classlib/Graphics.h"
#include "skin/graphics/acPNG.h"

namespace kv {

HICON__* MakeIconFromBitmap(TBitmap& bitmap, bool useTopLeftColor) {
  if (bitmap.Empty()) return nullptr;
  const bool keyed = useTopLeftColor || bitmap.PixelFormat() != pf32bit;
  bitmap.SetPixelFormat(pf32bit);
  const int w = bitmap.Width(), h = bitmap.Height();
  const int maskStride = (w + 15) / 16 * 2;  // 1-bit rows padded to 16 bits
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(maskStride) * h, 0);
  TBitmap color;
  const TBitmap* source = &bitmap;
  if (keyed) {
    // Pixels of the key colour are transparent; their colour must be black,
    // or the icon would XOR the key colour onto the screen.
    color.Assign(bitmap);
    std::uint32_t key;
    std::memcpy(&key, bitmap.ScanLine(0), 4);
    for (int y = 0; y < h; ++y) {
      std::uint8_t* p = color.ScanLine(y);
      for (int x = 0; x < w; ++x, p += 4) {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        if (v != key) continue;
        mask[static_cast<std::size_t>(y) * maskStride + x / 8] |=
            static_cast<std::uint8_t>(0x80 >> (x % 8));
        std::memset(p, 0, 4);
      }
    }
    source = &color;
  }
  HBITMAP maskBitmap = CreateBitmap(w, h, 1, 1, mask.data());
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmMask = maskBitmap;
  info.hbmColor = source->Handle();
  HICON icon = CreateIconIndirect(&info);
  if (maskBitmap) DeleteObject(maskBitmap);
  return icon;
}

namespace {

// A PNG file as a picture of the class library. The image keeps straight alpha,
// so drawing blends it over what the canvas already shows.
class TPNGPicture : public TGraphic {
 public:
  int Width() const override { return png_.Width(); }
  int Height() const override { return png_.Height(); }

  void Draw(TCanvas& canvas, const TRect& r) override {
    if (png_.Empty() || r.Width() <= 0 || r.Height() <= 0) return;
    TBitmap back;
    back.SetPixelFormat(pf24bit);
    back.SetSize(r.Width(), r.Height());
    HDC mem = CreateCompatibleDC(canvas.Handle());
    {
      const TSelectedObject bitmap(mem, reinterpret_cast<HBITMAP>(back.Handle()));
      BitBlt(mem, 0, 0, r.Width(), r.Height(), canvas.Handle(), r.Left, r.Top, SRCCOPY);
    }
    DeleteDC(mem);
    png_.Draw(back, Rect(0, 0, r.Width(), r.Height()));
    canvas.Draw(r.Left, r.Top, back);
  }

  void LoadFromMemory(const uint8_t* data, size_t size) override {
    png_.LoadFromMemory(data, size);
    Changed();
  }

  void Assign(const TPersistent& source) override {
    const auto* other = dynamic_cast<const TPNGPicture*>(&source);
    if (other == nullptr) return TGraphic::Assign(source);
    png_.Assign(other->png_);
    SetTransparent(other->Transparent());
    Changed();
  }

 private:
  TPNGGraphic png_;
};

}  // namespace

void RegisterPNGPictureFormat() {
  TPicture::RegisterFileFormat(std::string(".") + PNGGraphicExtension, PNGGraphicDescription,
                               [] { return std::make_unique<TPNGPicture>(); });
}

}  // namespace kv
