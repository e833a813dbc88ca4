#pragma once
// A shown, top-most pop-up at a fixed screen position, filled with one
// colour: a parent for standard controls under test whose pixels and screen
// coordinates are known.

#include <windows.h>

namespace kvtest {

inline constexpr int kHostX = 200, kHostY = 150;

class THostWindow {
 public:
  explicit THostWindow(int width = 320, int height = 240, COLORREF fill = RGB(0xC0, 0xC0, 0x00));
  ~THostWindow();
  THostWindow(const THostWindow&) = delete;
  THostWindow& operator=(const THostWindow&) = delete;

  HWND Handle() const { return wnd_; }
  COLORREF Fill() const { return fill_; }

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND wnd_ = nullptr;
  COLORREF fill_;
};

}  // namespace kvtest
