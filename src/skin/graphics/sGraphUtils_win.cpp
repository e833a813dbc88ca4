// The device-context half of sGraphUtils (Windows build only).
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "classlib/Graphics.h"
#include "classlib/PlatformCalls.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

COLORREF ToColorRef(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

}  // namespace

void FillRectWithColor(HDC dc, const TRect& r, TColor color) {
  const TSavedDC saved(dc);
  HBRUSH brush = CreateSolidBrush(ToColorRef(color));
  {
    const TSelectedObject selected(dc, brush);
    const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(dc, &rc, brush);
  }
  DeleteObject(brush);
}

void FillBorderStrips(HDC dc, const TRect& r, int leftWidth, int topHeight, int rightWidth,
                      int bottomHeight, TColor color) {
  HBRUSH brush = CreateSolidBrush(ToColorRef(color));
  const RECT strips[4] = {
      {r.Left, r.Top, r.Right, r.Top + topHeight},
      {r.Left, r.Top + topHeight, r.Left + leftWidth, r.Bottom},
      {r.Left + leftWidth, r.Bottom - bottomHeight, r.Right, r.Bottom},
      {r.Right - rightWidth, r.Top + topHeight, r.Right, r.Bottom - bottomHeight},
  };
  for (const RECT& s : strips) FillRect(dc, &s, brush);
  DeleteObject(brush);
}

void CopyBorderStrips(HDC dc, int x, int y, int width, int height, HDC sourceDC, int sourceX,
                      int sourceY, int bw) {
  const auto copy = [&](int dx, int dy, int w, int h) {
    if (w > 0 && h > 0)
      BitBlt(dc, x + dx, y + dy, w, h, sourceDC, sourceX + dx, sourceY + dy, SRCCOPY);
  };
  copy(0, 0, bw, height);
  copy(bw, 0, width - bw, bw);
  copy(width - bw, bw, bw, height - bw);
  copy(bw, height - bw, width - 2 * bw, bw);
}

void DrawFrame3D(HDC dc, TRect& r, TColor topLeftColor, TColor bottomRightColor, int& frameWidth) {
  HPEN topLeft = CreatePen(PS_SOLID, 1, ToColorRef(topLeftColor));
  HPEN bottomRight = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(bottomRightColor));
  {
    const TSavedDC saved(dc);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    r.Right -= 1;
    r.Bottom -= 1;
    for (; frameWidth > 0; --frameWidth) {
      SelectObject(dc, topLeft);
      const POINT a[3] = {{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}};
      Polyline(dc, a, 3);
      SelectObject(dc, bottomRight);
      const POINT b[3] = {{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}};
      Polyline(dc, b, 3);
      r.Left += 1, r.Top += 1, r.Right -= 1, r.Bottom -= 1;
    }
    r.Right += 1;
    r.Bottom += 1;
  }
  DeleteObject(topLeft);
  DeleteObject(bottomRight);
}

void DrawDottedFocusRect(HDC dc, const TRect& r) {
  const auto dot = [&](int x, int y) {
    SetPixel(dc, x, y, RGB(0, 0, 0));
    SetPixel(dc, x - 1, y - 1, RGB(255, 255, 255));
  };
  for (int i = 0; i <= r.Width() / 3; ++i) {
    dot(r.Left + 3 * i, r.Top);
    dot(r.Left + 3 * i, r.Bottom);
  }
  for (int j = 0; j <= r.Height() / 3; ++j) {
    dot(r.Left, r.Top + 3 * j);
    dot(r.Right, r.Top + 3 * j);
  }
}

void PaintRoundRectShade(TBitmap* bitmap, TRect r, int percent, TColor color, int edgeWidth,
                         int cornerSize) {
  if (!bitmap || (bitmap->PixelFormat() != pf24bit && bitmap->PixelFormat() != pf32bit)) return;
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, bitmap->Width());
  r.Bottom = std::min(r.Bottom, bitmap->Height());
  const int w = r.Width(), h = r.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap work(w, h, pf24bit), mask(w, h, pf24bit);
  const int bpp = bitmap->BytesPerPixel();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* s = bitmap->ScanLine(r.Top + y) + r.Left * bpp;
    std::uint8_t* d = work.ScanLine(y);
    for (int x = 0; x < w; ++x) std::copy(s + x * bpp, s + x * bpp + 3, d + 3 * x);
  }
  // The mask: white, then rounded rectangles stepping down to the inner level.
  const int e = std::min({w / 2, h / 2, edgeWidth});
  const int c = std::min({w / 2, h / 2, cornerSize});
  const int low = std::clamp(percent, 0, 100) * 255 / 100;
  const double step = (255.0 - low) / (e + 1);
  HDC dc = CreateCompatibleDC(nullptr);
  {
    const TSelectedObject bitmap(dc, mask.Handle());
    const TSelectedObject pen(dc, GetStockObject(NULL_PEN));
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    int level = 255;
    for (int i = 0; i <= e; ++i) {
      level = i == 0 ? 255 : std::min(255, static_cast<int>(std::nearbyint((e - i) * step)) + low);
      HBRUSH brush = CreateSolidBrush(RGB(level, level, level));
      {
        const TSelectedObject selected(dc, brush);
        RoundRect(dc, i, i, w - i, h - i, c, c);
      }
      DeleteObject(brush);
    }
    HBRUSH inner = CreateSolidBrush(RGB(level, level, level));
    {
      const TSelectedObject selected(dc, inner);
      RoundRect(dc, e, e, w - e, h - e, e, e);
    }
    DeleteObject(inner);
  }
  DeleteDC(dc);
  GdiFlush();
  ShadeByMask(&work, &mask, color);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* s = work.ScanLine(y);
    std::uint8_t* d = bitmap->ScanLine(r.Top + y) + r.Left * bpp;
    for (int x = 0; x < w; ++x) std::copy(s + 3 * x, s + 3 * x + 3, d + x * bpp);
  }
}

bool LayeredWindowsAvailable() { return PlatformCalls().UpdateLayeredWindow != nullptr; }

}  // namespace kv
