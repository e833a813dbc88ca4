#pragma once
// Fonts, pens, brushes and the canvas that draws with them on a device
// context; pictures (the graphic base class, bitmap pictures, icons) and the
// registry of picture file formats by extension.
//
// GDI handles are created lazily and counted (GdiCounters) so that leak tests
// work where the system does not count them (Wine).

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "base/Classes.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "base/Types.h"

namespace kv {

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Live GDI and USER objects taken through this library (counted for the GUI
// thread, where all drawing happens): Wine's GetGuiResources answers 0, so
// leak tests count here.
struct TGdiCounters {
  int Fonts = 0;
  int Pens = 0;
  int Brushes = 0;
  int DCs = 0;
  int Icons = 0;
  int Bitmaps = 0;
  int Regions = 0;
  int Timers = 0;
  int Hooks = 0;
  int Props = 0;
  int WindowProcHooks = 0;  // links of controls' WindowProc chains
  int Total() const {
    return Fonts + Pens + Brushes + DCs + Icons + Bitmaps + Regions + Timers + Hooks + Props +
           WindowProcHooks;
  }
};
TGdiCounters& GdiCounters();

// Handles made outside the wrappers are counted by passing them through
// Counted when created and Uncounted when deleted or handed to the system
// (SetWindowRgn owns its region). Null handles are not counted.
HRGN Counted(HRGN region);
HRGN Uncounted(HRGN region);
HBITMAP Counted(HBITMAP bitmap);
HBITMAP Uncounted(HBITMAP bitmap);
HHOOK Counted(HHOOK hook);
HHOOK Uncounted(HHOOK hook);
HFONT Counted(HFONT font);
HFONT Uncounted(HFONT font);

// RGB value of a colour; system colours resolved with GetSysColor, clNone and
// clDefault give black.
COLORREF ColorToRGB(TColor color);

class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed();
};

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
 public:
  TFont();
  ~TFont() override;
  void Assign(const TPersistent& source) override;

  HFONT Handle();

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  // Negative: character height in pixels; positive: cell height.
  int Height() const { return height_; }
  void SetHeight(int height);
  // In points at the screen's pixels per inch.
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  BYTE Charset() const { return charset_; }
  void SetCharset(BYTE charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);

  static int PixelsPerInch();

 private:
  void FreeHandle();
  void Modified();

  std::string name_ = "Tahoma";
  int height_ = -11;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  BYTE charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  HFONT handle_ = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
 public:
  ~TPen() override;
  void Assign(const TPersistent& source) override;
  HPEN Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  int Width() const { return width_; }
  void SetWidth(int width);

 private:
  void FreeHandle();
  TColor color_ = clBlack;
  TPenStyle style_ = psSolid;
  int width_ = 1;
  HPEN handle_ = nullptr;
};

enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

class TBrush : public TGraphicsObject {
 public:
  ~TBrush() override;
  void Assign(const TPersistent& source) override;
  HBRUSH Handle();
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern brush; the bitmap must outlive the brush's use of it.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);

 private:
  void FreeHandle();
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  HBRUSH handle_ = nullptr;
};

using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

class TGraphic;

class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;

  TNotifyEvent OnChange;

  // The device context drawn on, with the canvas's font, pen and brush
  // selected. Setting it deselects our objects from the previous one; the
  // canvas never frees a context it was given.
  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() { return font_.get(); }
  TPen* Pen() { return pen_.get(); }
  TBrush* Brush() { return brush_.get(); }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }

  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& points);
  void Polygon(const std::vector<TPoint>& points);
  void DrawFocusRect(const TRect& r);
  void TextOut(int x, int y, const std::string& text);
  // Text clipped to r, starting at (x, y).
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);
  TRect ClipRect();

  void Draw(int x, int y, TGraphic& graphic);
  void StretchDraw(const TRect& r, TGraphic& graphic);
  // Bitmaps of the base library draw directly (their DIB section).
  void Draw(int x, int y, const TBitmap& bitmap);
  void StretchDraw(const TRect& r, const TBitmap& bitmap);
  // StretchBlt with CopyMode from another canvas.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& src);

  // Serialises drawing from several threads.
  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }
  // Deselects our objects so that they are selected again on next use.
  void Refresh();

 protected:
  // Called when a handle is needed and none is set; may set one.
  virtual void CreateHandle() {}
  void RequireHandle();
  // Font, pen and brush selected into the context (reselected after a change).
  void RequireObjects();
  void Changed();

 private:
  void DeselectObjects();

  HDC dc_ = nullptr;
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldBrush_ = nullptr;
  HFONT selFont_ = nullptr;
  HPEN selPen_ = nullptr;
  HBRUSH selBrush_ = nullptr;
  TCopyMode copyMode_ = cmSrcCopy;
  std::recursive_mutex lock_;
};

// --- scope guards: what a drawing routine changes is undone however it ends ----------

// The canvas draws on a context it was given (a paint, an owner-drawn item)
// until the scope ends; with `lock` it holds the canvas's lock meanwhile.
class TCanvasBinding {
 public:
  TCanvasBinding(TCanvas& canvas, HDC dc, bool lock = false) : canvas_(canvas), locked_(lock) {
    if (locked_) canvas_.Lock();
    canvas_.SetHandle(dc);
  }
  ~TCanvasBinding() {
    canvas_.SetHandle(nullptr);
    if (locked_) canvas_.Unlock();
  }
  TCanvasBinding(const TCanvasBinding&) = delete;
  TCanvasBinding& operator=(const TCanvasBinding&) = delete;

 private:
  TCanvas& canvas_;
  bool locked_;
};

// The context's state (objects, origin, clipping, modes) comes back at the end.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ~TSavedDC() { RestoreDC(dc_, saved_); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

 private:
  HDC dc_;
  int saved_;
};

// The object is selected into the context until the scope ends, then the one
// it replaced goes back (so the object may be deleted afterwards).
class TSelectedObject {
 public:
  TSelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~TSelectedObject() {
    if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  TSelectedObject(const TSelectedObject&) = delete;
  TSelectedObject& operator=(const TSelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The screen's context, for measuring before a control has a window.
class TScreenDC {
 public:
  TScreenDC() : dc_(GetDC(nullptr)) {}
  ~TScreenDC() { ReleaseDC(nullptr, dc_); }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HDC dc_;
};

// A window's whole-window context (frame included), given back on every path.
class TWindowDC {
 public:
  explicit TWindowDC(HWND wnd) : wnd_(wnd), dc_(GetWindowDC(wnd)) {}
  ~TWindowDC() {
    if (dc_ != nullptr) ReleaseDC(wnd_, dc_);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// A canvas on a bitmap of the base library: a memory context with the
// bitmap's DIB section selected, kept valid when the bitmap reallocates.
// The bitmap must outlive the canvas.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap);
  ~TBitmapCanvas() override;
  TBitmap& Bitmap() { return bitmap_; }

 protected:
  void CreateHandle() override;

 private:
  void Release();
  TBitmap& bitmap_;
  HDC memDC_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::function<void(TBitmap&)> chainedHandleChanging_;
};

// --- pictures -----------------------------------------------------------------

class TGraphic : public TPersistent {
 public:
  TNotifyEvent OnChange;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  virtual void Draw(TCanvas& canvas, const TRect& r) = 0;
  // Raises EInvalidGraphic for data it cannot read; the picture is then empty.
  virtual void LoadFromMemory(const uint8_t* data, size_t size) = 0;
  // Reads the rest of the stream.
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);

 protected:
  void Changed();

 private:
  bool transparent_ = false;
};

// A resource the module does not have.
class EResNotFound : public Exception {
  using Exception::Exception;
};

// A BMP picture held in a bitmap of the base library.
class TBitmapImage : public TGraphic {
 public:
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }
  void Draw(TCanvas& canvas, const TRect& r) override;
  void LoadFromMemory(const uint8_t* data, size_t size) override;
  void Assign(const TPersistent& source) override;
  TBitmap& Bitmap() { return bitmap_; }
  const TBitmap& Bitmap() const { return bitmap_; }
  // Loads a BITMAP resource of the module.
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);

 private:
  TBitmap bitmap_;
};

class TIcon : public TGraphic {
 public:
  ~TIcon() override;
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Draw(TCanvas& canvas, const TRect& r) override;
  void LoadFromMemory(const uint8_t* data, size_t size) override;
  void Assign(const TPersistent& source) override;
  HICON Handle() const { return handle_; }
  // Takes ownership of the icon.
  void SetHandle(HICON icon);
  HICON ReleaseHandle();
  void LoadFromResourceName(HINSTANCE instance, const std::string& name);

 private:
  void Free();
  HICON handle_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// A picture of any registered format; the format comes from the file's
// extension.
class TPicture : public TPersistent {
 public:
  TNotifyEvent OnChange;

  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // The bitmap picture, made empty and current when the picture holds another format.
  TBitmapImage& BitmapImage();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  // Raises EInvalidGraphic for an unknown extension or unreadable data.
  void LoadFromFile(const std::string& fileName);
  void Assign(const TPersistent& source) override;

  // Extension with its dot, any case (".bmp" and ".BMP" are the same format).
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 TGraphicFactory factory);
  static void UnregisterFileFormat(const std::string& extension);
  static std::unique_ptr<TGraphic> CreateForExtension(const std::string& extension);

 private:
  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace kv
