#include "classlib/Graphics.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "base/SysUtils.h"
#include "classlib/Jpeg.h"
#include "classlib/WideText.h"

namespace kv {

TGdiCounters& GdiCounters() {
  static TGdiCounters counters;
  return counters;
}

HRGN Counted(HRGN region) {
  if (region != nullptr) ++GdiCounters().Regions;
  return region;
}
HRGN Uncounted(HRGN region) {
  if (region != nullptr) --GdiCounters().Regions;
  return region;
}
HFONT Counted(HFONT font) {
  if (font != nullptr) ++GdiCounters().Fonts;
  return font;
}
HFONT Uncounted(HFONT font) {
  if (font != nullptr) --GdiCounters().Fonts;
  return font;
}
HBITMAP Counted(HBITMAP bitmap) {
  if (bitmap != nullptr) ++GdiCounters().Bitmaps;
  return bitmap;
}
HBITMAP Uncounted(HBITMAP bitmap) {
  if (bitmap != nullptr) --GdiCounters().Bitmaps;
  return bitmap;
}
HHOOK Counted(HHOOK hook) {
  if (hook != nullptr) ++GdiCounters().Hooks;
  return hook;
}
HHOOK Uncounted(HHOOK hook) {
  if (hook != nullptr) --GdiCounters().Hooks;
  return hook;
}

COLORREF ColorToRGB(TColor color) {
  if (color == clNone || color == clDefault) return RGB(0, 0, 0);
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// --- TFont ------------------------------------------------------------------------

TFont::TFont() = default;
TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (handle_ == nullptr) return;
  DeleteObject(handle_);
  handle_ = nullptr;
  --GdiCounters().Fonts;
}

void TFont::Modified() {
  FreeHandle();
  Changed();
}

void TFont::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TFont*>(&source);
  if (other == nullptr) return TGraphicsObject::Assign(source);
  // Painters assign the control's font on every paint: an equal font keeps
  // its handle and raises no change.
  if (name_ == other->name_ && height_ == other->height_ && color_ == other->color_ &&
      style_ == other->style_ && charset_ == other->charset_ && pitch_ == other->pitch_)
    return;
  name_ = other->name_;
  height_ = other->height_;
  color_ = other->color_;
  style_ = other->style_;
  charset_ = other->charset_;
  pitch_ = other->pitch_;
  Modified();
}

HFONT TFont::Handle() {
  if (handle_ != nullptr) return handle_;
  LOGFONTW lf{};
  lf.lfHeight = height_;
  lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
  lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = charset_;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = pitch_ == fpFixed      ? FIXED_PITCH
                        : pitch_ == fpVariable ? VARIABLE_PITCH
                                               : DEFAULT_PITCH;
  const std::wstring face = Wide(name_);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  handle_ = CreateFontIndirectW(&lf);
  if (handle_ != nullptr) ++GdiCounters().Fonts;
  return handle_;
}

int TFont::PixelsPerInch() {
  static const int ppi = [] {
    HDC dc = GetDC(nullptr);
    int v = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return v > 0 ? v : 96;
  }();
  return ppi;
}

void TFont::SetName(const std::string& name) {
  if (name == name_ || name.empty()) return;
  name_ = name;
  Modified();
}
void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Modified();
}
int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch()); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch(), 72)); }
void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Changed();  // the handle does not carry the colour
}
void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Modified();
}
void TFont::SetCharset(BYTE charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Modified();
}
void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Modified();
}

// --- TPen, TBrush -------------------------------------------------------------------

TPen::~TPen() { FreeHandle(); }
void TPen::FreeHandle() {
  if (handle_ == nullptr) return;
  DeleteObject(handle_);
  handle_ = nullptr;
  --GdiCounters().Pens;
}
void TPen::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TPen*>(&source);
  if (other == nullptr) return TGraphicsObject::Assign(source);
  color_ = other->color_;
  style_ = other->style_;
  width_ = other->width_;
  FreeHandle();
  Changed();
}
HPEN TPen::Handle() {
  if (handle_ != nullptr) return handle_;
  static constexpr int kStyles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                    PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  handle_ = CreatePen(kStyles[style_], width_, ColorToRGB(color_));
  if (handle_ != nullptr) ++GdiCounters().Pens;
  return handle_;
}
void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  FreeHandle();
  Changed();
}
void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  FreeHandle();
  Changed();
}
void TPen::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  FreeHandle();
  Changed();
}

TBrush::~TBrush() { FreeHandle(); }
void TBrush::FreeHandle() {
  if (handle_ == nullptr) return;
  DeleteObject(handle_);
  handle_ = nullptr;
  --GdiCounters().Brushes;
}
void TBrush::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TBrush*>(&source);
  if (other == nullptr) return TGraphicsObject::Assign(source);
  color_ = other->color_;
  style_ = other->style_;
  bitmap_ = other->bitmap_;
  FreeHandle();
  Changed();
}
HBRUSH TBrush::Handle() {
  if (handle_ != nullptr) return handle_;
  if (bitmap_ != nullptr && bitmap_->Handle() != nullptr) {
    handle_ = CreatePatternBrush(reinterpret_cast<HBITMAP>(bitmap_->Handle()));
  } else if (style_ == bsClear) {
    LOGBRUSH lb{BS_NULL, 0, 0};
    handle_ = CreateBrushIndirect(&lb);
  } else if (style_ == bsSolid) {
    handle_ = CreateSolidBrush(ColorToRGB(color_));
  } else {
    static constexpr int kHatch[] = {
        0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    handle_ = CreateHatchBrush(kHatch[style_], ColorToRGB(color_));
  }
  if (handle_ != nullptr) ++GdiCounters().Brushes;
  return handle_;
}
void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  if (style_ == bsClear) style_ = bsSolid;
  FreeHandle();
  Changed();
}
void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  FreeHandle();
  Changed();
}
void TBrush::SetBitmap(TBitmap* bitmap) {
  bitmap_ = bitmap;
  FreeHandle();
  Changed();
}

// --- TCanvas ------------------------------------------------------------------------

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {
  // A changed object must be selected again: its handle was replaced.
  font_->OnChange = [this](TObject*) { selFont_ = nullptr; };
  pen_->OnChange = [this](TObject*) { selPen_ = nullptr; };
  brush_->OnChange = [this](TObject*) { selBrush_ = nullptr; };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  // Callers draw on the context directly: it carries the canvas's font, pen
  // and brush, so that what they measure is what the canvas would draw.
  RequireObjects();
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  DeselectObjects();
  dc_ = dc;
}

void TCanvas::RequireHandle() {
  if (dc_ == nullptr) CreateHandle();
  if (dc_ == nullptr) throw EInvalidOperation("Canvas does not allow drawing");
}

void TCanvas::DeselectObjects() {
  if (dc_ == nullptr) return;
  if (oldFont_) SelectObject(dc_, oldFont_);
  if (oldPen_) SelectObject(dc_, oldPen_);
  if (oldBrush_) SelectObject(dc_, oldBrush_);
  oldFont_ = oldPen_ = oldBrush_ = nullptr;
  selFont_ = nullptr;
  selPen_ = nullptr;
  selBrush_ = nullptr;
}

void TCanvas::Refresh() { DeselectObjects(); }

void TCanvas::RequireObjects() {
  RequireHandle();
  HFONT f = font_->Handle();
  if (f != selFont_) {
    HGDIOBJ old = SelectObject(dc_, f);
    if (oldFont_ == nullptr) oldFont_ = old;
    selFont_ = f;
  }
  HPEN p = pen_->Handle();
  if (p != selPen_) {
    HGDIOBJ old = SelectObject(dc_, p);
    if (oldPen_ == nullptr) oldPen_ = old;
    selPen_ = p;
  }
  HBRUSH b = brush_->Handle();
  if (b != selBrush_) {
    HGDIOBJ old = SelectObject(dc_, b);
    if (oldBrush_ == nullptr) oldBrush_ = old;
    selBrush_ = b;
  }
  SetTextColor(dc_, ColorToRGB(font_->Color()));
  if (brush_->Style() == bsClear) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ColorToRGB(brush_->Color()));
  }
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

static RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

void TCanvas::FillRect(const TRect& r) {
  RequireObjects();
  RECT rc = ToRECT(r);
  ::FillRect(dc_, &rc, brush_->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  RequireObjects();
  RECT rc = ToRECT(r);
  ::FrameRect(dc_, &rc, brush_->Handle());
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  RequireObjects();
  ::Rectangle(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  RequireObjects();
  ::Ellipse(dc_, x1, y1, x2, y2);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  RequireHandle();
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  RequireObjects();
  ::LineTo(dc_, x, y);
  Changed();
}

static std::vector<POINT> ToPOINTs(const std::vector<TPoint>& points) {
  std::vector<POINT> pts;
  pts.reserve(points.size());
  for (const TPoint& p : points) pts.push_back(POINT{p.X, p.Y});
  return pts;
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  RequireObjects();
  const auto pts = ToPOINTs(points);
  ::Polyline(dc_, pts.data(), static_cast<int>(pts.size()));
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  RequireObjects();
  const auto pts = ToPOINTs(points);
  ::Polygon(dc_, pts.data(), static_cast<int>(pts.size()));
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  RequireObjects();
  RECT rc = ToRECT(r);
  ::DrawFocusRect(dc_, &rc);
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  RequireObjects();
  const std::wstring w = Wide(text);
  ExtTextOutW(dc_, x, y, 0, nullptr, w.c_str(), static_cast<UINT>(w.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  RequireObjects();
  RECT rc = ToRECT(r);
  UINT options = ETO_CLIPPED;
  if (brush_->Style() != bsClear) options |= ETO_OPAQUE;
  const std::wstring w = Wide(text);
  ExtTextOutW(dc_, x, y, options, &rc, w.c_str(), static_cast<UINT>(w.size()), nullptr);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
  RequireObjects();
  const std::wstring w = Wide(text);
  SIZE sz{0, 0};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &sz);
  return TSize{sz.cx, sz.cy};
}

TColor TCanvas::Pixel(int x, int y) {
  RequireHandle();
  COLORREF c = GetPixel(dc_, x, y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  RequireHandle();
  ::SetPixel(dc_, x, y, ColorToRGB(color));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequireHandle();
  RECT rc{};
  GetClipBox(dc_, &rc);
  return Rect(rc.left, rc.top, rc.right, rc.bottom);
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, r);
  Changed();
}

namespace {

// Blits a base-library bitmap through a temporary memory context; with
// Transparent set, pixels of TransparentColor are left out.
void BlitBitmap(HDC dest, const TRect& r, const TBitmap& bitmap, DWORD rop) {
  if (bitmap.Empty() || bitmap.Handle() == nullptr) return;
  HDC mem = CreateCompatibleDC(dest);
  HGDIOBJ old = SelectObject(mem, reinterpret_cast<HBITMAP>(bitmap.Handle()));
  if (bitmap.Transparent && bitmap.TransparentColor != clNone) {
    TransparentBlt(dest, r.Left, r.Top, r.Width(), r.Height(), mem, 0, 0, bitmap.Width(),
                   bitmap.Height(), ColorToRGB(bitmap.TransparentColor));
  } else if (r.Width() == bitmap.Width() && r.Height() == bitmap.Height()) {
    BitBlt(dest, r.Left, r.Top, r.Width(), r.Height(), mem, 0, 0, rop);
  } else {
    SetStretchBltMode(dest, COLORONCOLOR);
    StretchBlt(dest, r.Left, r.Top, r.Width(), r.Height(), mem, 0, 0, bitmap.Width(),
               bitmap.Height(), rop);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
}

}  // namespace

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  RequireHandle();
  BlitBitmap(dc_, Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap, copyMode_);
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, const TBitmap& bitmap) {
  RequireHandle();
  BlitBitmap(dc_, r, bitmap, copyMode_);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& src) {
  RequireHandle();
  HDC sdc = source.Handle();
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), sdc, src.Left, src.Top,
             src.Width(), src.Height(), copyMode_);
  Changed();
}

// --- TBitmapCanvas ---------------------------------------------------------------

TBitmapCanvas::TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {
  chainedHandleChanging_ = bitmap_.OnHandleChanging;
  bitmap_.OnHandleChanging = [this](TBitmap& b) {
    Release();  // the DIB section goes away: take it out of our context first
    if (chainedHandleChanging_) chainedHandleChanging_(b);
  };
}

TBitmapCanvas::~TBitmapCanvas() {
  Release();
  bitmap_.OnHandleChanging = chainedHandleChanging_;
}

void TBitmapCanvas::CreateHandle() {
  if (bitmap_.Handle() == nullptr) return;
  memDC_ = CreateCompatibleDC(nullptr);
  if (memDC_ == nullptr) return;
  ++GdiCounters().DCs;
  oldBitmap_ = SelectObject(memDC_, reinterpret_cast<HBITMAP>(bitmap_.Handle()));
  SetHandle(memDC_);
}

void TBitmapCanvas::Release() {
  if (memDC_ == nullptr) return;
  SetHandle(nullptr);
  SelectObject(memDC_, oldBitmap_);
  DeleteDC(memDC_);
  memDC_ = nullptr;
  --GdiCounters().DCs;
}

// --- TGraphic ---------------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromStream(TStream& stream) {
  const std::string data = stream.ReadAll();
  LoadFromMemory(reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  const std::string data = ReadFileBytes(fileName);
  LoadFromMemory(reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

// --- BMP ----------------------------------------------------------------------------

namespace {

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

void TBitmapImage::Draw(TCanvas& canvas, const TRect& r) {
  bitmap_.Transparent = Transparent();
  canvas.StretchDraw(r, bitmap_);
}

void TBitmapImage::LoadFromMemory(const uint8_t* data, size_t size) {
  try {
    ReadBmp(data, size, bitmap_);
  } catch (...) {
    bitmap_.SetSize(0, 0);
    throw;
  }
  Changed();
}

void TBitmapImage::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TBitmapImage*>(&source);
  if (other == nullptr) return TGraphic::Assign(source);
  bitmap_.Assign(other->bitmap_);
  SetTransparent(other->Transparent());
  Changed();
}

void TBitmapImage::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  const std::wstring w = Wide(name);
  HRSRC res = FindResourceW(instance, w.c_str(), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
  HGLOBAL mem = res ? LoadResource(instance, res) : nullptr;
  const auto* bytes = mem ? static_cast<const uint8_t*>(LockResource(mem)) : nullptr;
  if (bytes == nullptr) throw EResNotFound("Resource " + name + " not found");
  // A BITMAP resource is a BMP file without its 14-byte file header.
  const DWORD len = SizeofResource(instance, res);
  if (len < 40) throw EInvalidGraphic("Bitmap image is not valid");
  std::vector<uint8_t> file(14 + len);
  const uint32_t headerSize = Le32(bytes);
  const uint16_t bits = Le16(bytes + 14);
  uint32_t colors = len >= 36 ? Le32(bytes + 32) : 0;
  if (bits <= 8 && colors == 0) colors = 1u << bits;
  const uint32_t compression = Le32(bytes + 16);
  // The pixels follow the header, the palette and, for bit fields in a
  // 40-byte header, the three colour masks.
  const uint32_t masks = (compression == BI_BITFIELDS && headerSize == 40) ? 12 : 0;
  const uint32_t off = 14 + headerSize + masks + (bits <= 8 ? colors * 4 : 0);
  file[0] = 'B';
  file[1] = 'M';
  std::memcpy(file.data() + 10, &off, 4);
  std::memcpy(file.data() + 14, bytes, len);
  LoadFromMemory(file.data(), file.size());
}

// --- TIcon ------------------------------------------------------------------------

TIcon::~TIcon() { Free(); }

void TIcon::Free() {
  if (handle_ == nullptr) return;
  DestroyIcon(handle_);
  handle_ = nullptr;
  width_ = height_ = 0;
  --GdiCounters().Icons;
}

void TIcon::SetHandle(HICON icon) {
  if (icon == handle_) return;
  Free();
  handle_ = icon;
  if (icon != nullptr) {
    ++GdiCounters().Icons;
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      BITMAP bm{};
      if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bm, &bm)) {
        width_ = bm.bmWidth;
        height_ = bm.bmHeight;
      } else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof bm, &bm)) {
        width_ = bm.bmWidth;
        height_ = bm.bmHeight / 2;
      }
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON icon = handle_;
  if (icon != nullptr) --GdiCounters().Icons;
  handle_ = nullptr;
  width_ = height_ = 0;
  return icon;
}

void TIcon::Draw(TCanvas& canvas, const TRect& r) {
  if (handle_ == nullptr) return;
  DrawIconEx(canvas.Handle(), r.Left, r.Top, handle_, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromMemory(const uint8_t* data, size_t size) {
  // An .ico file: header, directory, then the images; take the first entry.
  if (size < 6 + 16 || Le16(data) != 0 || Le16(data + 2) != 1 || Le16(data + 4) == 0)
    throw EInvalidGraphic("Icon image is not valid");
  const uint8_t* entry = data + 6;
  const uint32_t bytes = Le32(entry + 8);
  const uint32_t offset = Le32(entry + 12);
  if (offset > size || bytes > size - offset || bytes == 0)
    throw EInvalidGraphic("Icon image is not valid");
  const int w = entry[0] ? entry[0] : 256;
  const int h = entry[1] ? entry[1] : 256;
  HICON icon = CreateIconFromResourceEx(const_cast<PBYTE>(data + offset), bytes, TRUE, 0x00030000,
                                        w, h, LR_DEFAULTCOLOR);
  if (icon == nullptr) throw EInvalidGraphic("Icon image is not valid");
  SetHandle(icon);
}

void TIcon::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TIcon*>(&source);
  if (other == nullptr) return TGraphic::Assign(source);
  SetHandle(other->handle_ ? CopyIcon(other->handle_) : nullptr);
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  const std::wstring w = Wide(name);
  HICON icon = static_cast<HICON>(
      LoadImageW(instance, w.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR | LR_DEFAULTSIZE));
  if (icon == nullptr) throw EResNotFound("Resource " + name + " not found");
  SetHandle(icon);
}

// --- TPicture ------------------------------------------------------------------------

namespace {

struct TFileFormat {
  std::string Description;
  TGraphicFactory Factory;
};

std::map<std::string, TFileFormat>& FileFormats() {
  static std::map<std::string, TFileFormat> formats = [] {
    std::map<std::string, TFileFormat> f;
    f[".bmp"] = {"Bitmaps", [] { return std::make_unique<TBitmapImage>(); }};
    f[".ico"] = {"Icons", [] { return std::make_unique<TIcon>(); }};
    f[".jpg"] = {"JPEG Image File", [] { return std::make_unique<TJPEGImage>(); }};
    f[".jpeg"] = f[".jpg"];
    return f;
  }();
  return formats;
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicFactory factory) {
  FileFormats()[LowerCase(extension)] = {description, std::move(factory)};
}

void TPicture::UnregisterFileFormat(const std::string& extension) {
  FileFormats().erase(LowerCase(extension));
}

std::unique_ptr<TGraphic> TPicture::CreateForExtension(const std::string& extension) {
  auto it = FileFormats().find(LowerCase(extension));
  if (it == FileFormats().end()) return nullptr;
  return it->second.Factory();
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_)
    graphic_->OnChange = [this](TObject*) {
      if (OnChange) OnChange(this);
    };
  if (OnChange) OnChange(this);
}

TBitmapImage& TPicture::BitmapImage() {
  if (auto* image = dynamic_cast<TBitmapImage*>(graphic_.get())) return *image;
  SetGraphic(std::make_unique<TBitmapImage>());
  return static_cast<TBitmapImage&>(*graphic_);
}

void TPicture::LoadFromFile(const std::string& fileName) {
  const std::string ext = ExtractFileExt(fileName);
  std::unique_ptr<TGraphic> graphic = CreateForExtension(ext);
  if (!graphic) throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  graphic->LoadFromFile(fileName);  // raises before anything of ours changed
  SetGraphic(std::move(graphic));
}

void TPicture::Assign(const TPersistent& source) {
  if (const auto* other = dynamic_cast<const TPicture*>(&source)) {
    if (other->graphic_ == nullptr) return SetGraphic(nullptr);
    std::unique_ptr<TGraphic> copy;
    if (dynamic_cast<const TBitmapImage*>(other->graphic_.get()))
      copy = std::make_unique<TBitmapImage>();
    else if (dynamic_cast<const TIcon*>(other->graphic_.get()))
      copy = std::make_unique<TIcon>();
    else if (dynamic_cast<const TJPEGImage*>(other->graphic_.get()))
      copy = std::make_unique<TJPEGImage>();
    if (!copy)
      throw EConvertError("Cannot assign a " + other->graphic_->ClassName() + " to a TPicture");
    copy->Assign(*other->graphic_);
    return SetGraphic(std::move(copy));
  }
  TPersistent::Assign(source);
}

}  // namespace kv
