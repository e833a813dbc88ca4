#pragma once
// A shown form at a fixed screen place, and user input through the shared
// desktop: the cursor really moves there (Wine's null driver queues the
// mouse move) and the button messages follow at that point.

#include <gtest/gtest.h>
#include <windows.h>

#include "MessageLog.h"
#include "classlib/Forms.h"

namespace kvtest {

class ListsFormTest : public ::testing::Test {
 protected:
  static constexpr int kX = 100, kY = 80;
  void SetUp() override {
    form = kv::Create<kv::TForm>(nullptr);
    form->SetBounds(kX, kY, 640, 480);
    form->Show();
    Pump(30);
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Pump(20);
  }

  // A left click at a client point of wnd.
  static void Click(HWND wnd, int x, int y, bool dbl = false) {
    POINT pt{x, y};
    ClientToScreen(wnd, &pt);
    SetCursorPos(pt.x, pt.y);
    Pump(20);
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(wnd, WM_LBUTTONUP, 0, at);
    if (dbl) {
      PostMessageW(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
      PostMessageW(wnd, WM_LBUTTONUP, 0, at);
    }
    Pump(60);
  }

  // A key pressed and released in the focused window wnd.
  static void Key(HWND wnd, WORD vk) {
    PostMessageW(wnd, WM_KEYDOWN, vk, 1);
    PostMessageW(wnd, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    Pump(40);
  }

  kv::TForm* form = nullptr;
};

inline std::wstring WindowText(HWND wnd) {
  wchar_t buf[256] = {};
  GetWindowTextW(wnd, buf, 256);
  return buf;
}

}  // namespace kvtest
