#pragma once
// Reading back what a window painted, under Wine's null driver as on
// Windows: through the window's own client or window DC after a synchronous
// repaint, through PrintWindow or WM_PRINT into a 32-bit DIB section, or from
// a cache bitmap. Probes answer in COLORREF (RGB(r, g, b)); a failed probe
// writes the image (and the expected one) as BMP files next to the test's
// result file, named after the test.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Bitmap.h"

namespace kvtest {

class TPixels {
 public:
  TPixels() = default;
  TPixels(int width, int height, COLORREF fill = 0);

  // RedrawWindow with an update first, so that what is read is current.
  static TPixels FromClient(HWND wnd);
  static TPixels FromWindow(HWND wnd);  // non-client area included
  static TPixels FromPrintWindow(HWND wnd, UINT flags = 0);
  static TPixels FromPrint(HWND wnd,
                           UINT flags = PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  static TPixels FromBitmap(HBITMAP bitmap);  // after GdiFlush
  static TPixels FromBitmap(const kv::TBitmap& bitmap);
  static TPixels FromDC(HDC dc, const RECT& area);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  COLORREF At(int x, int y) const;
  void Set(int x, int y, COLORREF c);

  // Smallest rectangle holding every pixel of the colour; empty when none.
  RECT BoundsOf(COLORREF c) const;
  int CountOf(COLORREF c, const RECT& area) const;
  int CountDiffering(COLORREF background, const RECT& area) const;
  RECT Whole() const { return {0, 0, width_, height_}; }
  TPixels Crop(const RECT& area) const;

  // Bottom-up 24-bit BMP; false when the file could not be written.
  bool WriteBmp(const std::string& fileName) const;
  // Writes "<suite>.<test>-<what>.bmp" into the working folder; the name.
  std::string Dump(const std::string& what) const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<COLORREF> px_;  // top row first
};

// Probes; each failure says where, what was expected and what was found.
::testing::AssertionResult ColourAt(const TPixels& img, int x, int y, COLORREF expected);
// Every pixel of the colour lies inside the rectangle, and there is one.
::testing::AssertionResult ColourOnlyInside(const TPixels& img, COLORREF c, const RECT& area);
::testing::AssertionResult NoColourInside(const TPixels& img, COLORREF c, const RECT& area);
// Both images alike pixel for pixel; both dumped when they differ.
::testing::AssertionResult SameImage(const TPixels& actual, const TPixels& expected);
// The images differ in size or in a pixel (nothing dumped: for tests that
// expect a difference).
bool ImagesDiffer(const TPixels& a, const TPixels& b);

}  // namespace kvtest
