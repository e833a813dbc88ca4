// Points, sizes, rectangles and colours, with the rectangle arithmetic of
// Win32 (OffsetRect, IntersectRect ...) done portably on our own types.
#pragma once

#include <cstdint>

namespace kv {

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and Bottom are exclusive, as in Win32.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int32_t x, int32_t y) { return {x, y}; }
constexpr TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {left, top, right, bottom};
}
constexpr TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return {left, top, left + width, top + height};
}

// Win32 semantics: a rectangle is empty when Right <= Left or Bottom <= Top.
bool IsRectEmpty(const TRect& r);
// Left and top edges inside, right and bottom edges outside.
bool PtInRect(const TRect& r, TPoint p);
bool EqualRect(const TRect& a, const TRect& b);
void SetRect(TRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom);
void SetRectEmpty(TRect& r);
bool OffsetRect(TRect& r, int32_t dx, int32_t dy);
// Grows each side by dx, dy (shrinks for negative values).
bool InflateRect(TRect& r, int32_t dx, int32_t dy);
// The common part; when there is none dst becomes (0,0,0,0) and the result
// is false.
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
// The smallest rectangle holding both; empty sources are ignored. Both empty:
// dst becomes (0,0,0,0) and the result is false.
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
// a minus b when b covers a full side of a; otherwise a. False when the
// result is empty.
bool SubtractRect(TRect& dst, const TRect& a, const TRect& b);
TPoint CenterPoint(const TRect& r);

// --- colours -------------------------------------------------------------------
// A TColor is 0x00BBGGRR (red in the low byte). A negative value with high
// byte 0xFF names a system colour: the low byte is the Win32 COLOR_* index,
// resolved to RGB by the class library.
using TColor = int32_t;

constexpr TColor ColorFromRGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}
constexpr uint8_t ColorR(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t ColorG(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t ColorB(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
constexpr TColor clSysColor = static_cast<TColor>(0xFF000000u);
constexpr bool IsSystemColor(TColor c) {
  return (static_cast<uint32_t>(c) & 0xFF000000u) == 0xFF000000u;
}
constexpr int SystemColorIndex(TColor c) { return c & 0xFF; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = clSysColor | 0;
constexpr TColor clBackground = clSysColor | 1;
constexpr TColor clActiveCaption = clSysColor | 2;
constexpr TColor clInactiveCaption = clSysColor | 3;
constexpr TColor clMenu = clSysColor | 4;
constexpr TColor clWindow = clSysColor | 5;
constexpr TColor clWindowFrame = clSysColor | 6;
constexpr TColor clMenuText = clSysColor | 7;
constexpr TColor clWindowText = clSysColor | 8;
constexpr TColor clCaptionText = clSysColor | 9;
constexpr TColor clActiveBorder = clSysColor | 10;
constexpr TColor clInactiveBorder = clSysColor | 11;
constexpr TColor clAppWorkSpace = clSysColor | 12;
constexpr TColor clHighlight = clSysColor | 13;
constexpr TColor clHighlightText = clSysColor | 14;
constexpr TColor clBtnFace = clSysColor | 15;
constexpr TColor clBtnShadow = clSysColor | 16;
constexpr TColor clGrayText = clSysColor | 17;
constexpr TColor clBtnText = clSysColor | 18;
constexpr TColor clInactiveCaptionText = clSysColor | 19;
constexpr TColor clBtnHighlight = clSysColor | 20;
constexpr TColor cl3DDkShadow = clSysColor | 21;
constexpr TColor cl3DLight = clSysColor | 22;
constexpr TColor clInfoText = clSysColor | 23;
constexpr TColor clInfoBk = clSysColor | 24;
constexpr TColor clHotLight = clSysColor | 26;
constexpr TColor clGradientActiveCaption = clSysColor | 27;
constexpr TColor clGradientInactiveCaption = clSysColor | 28;
constexpr TColor clMenuHighlight = clSysColor | 29;
constexpr TColor clMenuBar = clSysColor | 30;

}  // namespace kv
