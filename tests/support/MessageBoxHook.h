// Message boxes and system dialogs shown on the test's thread while a hook
// lives: the text of each is recorded, and each is answered with a button
// (after an optional look at the dialog), so that no test waits for a user.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/WideText.h"

namespace kv::test {

class MessageBoxHook {
 public:
  // onShow may fill the dialog in and returns the button to press (0 for
  // `button`).
  explicit MessageBoxHook(int button = IDOK, std::function<int(HWND)> onShow = nullptr)
      : button_(button), onShow_(std::move(onShow)) {
    previous_ = current_;
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
  }
  ~MessageBoxHook() {
    UnhookWindowsHookEx(hook_);
    current_ = previous_;
  }
  MessageBoxHook(const MessageBoxHook&) = delete;
  MessageBoxHook& operator=(const MessageBoxHook&) = delete;

  // The static text of each box shown so far, in order.
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  static BOOL CALLBACK CollectText(HWND child, LPARAM found) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    if (lstrcmpiW(cls, L"Static") == 0 && text[0] != 0)
      *reinterpret_cast<std::string*>(found) = Narrow(text);
    return TRUE;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    MessageBoxHook* self = current_;
    if (code == HCBT_ACTIVATE && self != nullptr) {
      HWND wnd = reinterpret_cast<HWND>(wParam);
      wchar_t cls[32] = {};
      GetClassNameW(wnd, cls, 32);
      if (lstrcmpW(cls, L"#32770") == 0) {
        std::string found;
        EnumChildWindows(wnd, CollectText, reinterpret_cast<LPARAM>(&found));
        self->texts_.push_back(found);
        int button = self->onShow_ ? self->onShow_(wnd) : 0;
        if (button == 0) button = self->button_;
        PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(wnd, button)));
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline thread_local MessageBoxHook* current_ = nullptr;
  MessageBoxHook* previous_ = nullptr;
  HHOOK hook_ = nullptr;
  int button_;
  std::function<int(HWND)> onShow_;
  std::vector<std::string> texts_;
};

}  // namespace kv::test
