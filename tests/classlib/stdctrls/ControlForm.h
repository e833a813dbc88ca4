#pragma once
// A shown form to put controls on, and a user's actions on it: real cursor
// moves (SetCursorPos queues the system's own WM_MOUSEMOVE under Wine's null
// driver) followed by the button messages a click sends to the window under
// the cursor, and keys posted to the focused window through the
// application's pump.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "MessageLog.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"

namespace kvtest {

struct ControlForm : ::testing::Test {
  static constexpr int kX = 300, kY = 200;

  void SetUp() override {
    form = kv::Create<kv::TForm>(nullptr);
    form->SetBorderStyle(kv::bsNone);
    form->SetFormStyle(kv::fsStayOnTop);
    form->SetBounds(kX, kY, 420, 320);
    form->Show();
    Pump(30);
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Pump(20);
  }

  template <class T>
  T* Add(int left, int top, int width, int height, kv::TWinControl* parent = nullptr) {
    T* c = kv::Create<T>(form);
    c->SetParent(parent != nullptr ? parent : form);
    c->SetBounds(left, top, width, height);
    return c;
  }

  // Clicks at (x, y) of the control's client area.
  static void ClickAt(kv::TControl* control, int x, int y) {
    const kv::TPoint p = control->ClientToScreen(kv::TPoint{x, y});
    SetCursorPos(p.X, p.Y);
    Pump(20);
    POINT pt{p.X, p.Y};
    HWND wnd = WindowFromPoint(pt);
    ASSERT_NE(wnd, nullptr) << "no window under the cursor";
    ScreenToClient(wnd, &pt);
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    Pump(30);
  }

  static void Click(kv::TControl* control) {
    ClickAt(control, control->Width() / 2, control->Height() / 2);
  }

  // Types the text into the window that has the focus, as key-down and
  // character messages through the application's pump.
  static void Type(const std::wstring& text) {
    for (wchar_t ch : text) {
      HWND focus = GetFocus();
      ASSERT_NE(focus, nullptr) << "nothing has the focus";
      PostMessageW(focus, WM_CHAR, ch, 1);
    }
    Pump(30);
  }

  static void PressKey(WORD key) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr) << "nothing has the focus";
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    Pump(30);
  }

  // The colour of a client pixel as the window shows it.
  static COLORREF PixelOf(HWND wnd, int x, int y) {
    UpdateWindow(wnd);
    HDC dc = GetDC(wnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
  }

  kv::TForm* form = nullptr;
};

inline std::string WindowText(HWND wnd) {
  wchar_t buf[512] = {};
  GetWindowTextW(wnd, buf, 512);
  return kv::Narrow(buf);
}

}  // namespace kvtest
