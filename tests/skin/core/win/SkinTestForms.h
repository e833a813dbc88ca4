// Test forms that answer the toolkit command message as skinned forms do, a
// control run by its skin data, a probe that catches message boxes and
// answers them, and a counting dialog hook: small helpers for the skin
// core's Windows tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/WideText.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sDialogs_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"

namespace kvtest {

using namespace kv;

struct TTestProvider : TacFormProvider {
  TsSkinManager* manager = nullptr;  // null: the default manager
  bool locked = false;
  TsSkinManager* SkinManager() const override { return manager ? manager : DefaultManager; }
  void SetPaintingLocked(bool value) override { locked = value; }
};

// Hooked: the form has a provider (answers commands 4 and 7) and is in
// HookedForms, as a form skinned by a provider is.
class TSkinTestForm : public TForm {
 public:
  TSkinTestForm(TComponent* owner, bool hooked) : TForm(owner), hooked_(hooked) {
    SetBounds(10, 10, 200, 120);
    if (hooked_) AddHookedForm(this);
  }
  ~TSkinTestForm() override { RemoveHookedForm(this); }

  std::vector<unsigned> commands;
  std::vector<int> redraws;  // WParam of each WM_SETREDRAW
  std::function<void(unsigned)> onCommand;
  TTestProvider provider;

  int Count(unsigned code) const {
    int n = 0;
    for (unsigned c : commands) n += c == code;
    return n;
  }

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_SETREDRAW) redraws.push_back(static_cast<int>(m.WParam));
    if (m.Msg == SM_ALPHACMD) {
      const unsigned code = HIWORD(m.WParam);
      commands.push_back(code);
      if (hooked_ && code == cmdIsSkinned) m.Result = 1;
      if (hooked_ && code == cmdGetProvider) m.Result = reinterpret_cast<LRESULT>(&provider);
      if (onCommand) onCommand(code);
      return;
    }
    TForm::WndProc(m);
  }

 private:
  bool hooked_;
};

// A windowed control whose first handler is its skin data, as every
// skinned control has it.
class TSkinnedBox : public TCustomControl {
 public:
  explicit TSkinnedBox(TComponent* owner) : TCustomControl(owner), sd(this, true) {}
  TsCommonData sd;

 protected:
  void WndProc(TMessage& m) override {
    if (PreviewControlMessage(m, &sd)) return;
    TCustomControl::WndProc(m);
  }
};

// Catches each message box as it activates, notes what it shows and presses
// the answer button.
class TMessageBoxProbe {
 public:
  struct Seen {
    std::string caption, text;
    std::vector<int> buttons;
    int x = 0, y = 0;    // the toolkit's asked position while it was open
    int modalLevel = 0;  // the application's, while it was open
  };
  std::vector<Seen> seen;
  int answer = IDOK;

  TMessageBoxProbe() {
    self_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId());
  }
  ~TMessageBoxProbe() {
    UnhookWindowsHookEx(hook_);
    self_ = nullptr;
  }

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && self_ != nullptr) self_->Catch(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  void Catch(HWND wnd) {
    wchar_t cls[16] = {};
    GetClassNameW(wnd, cls, 16);
    if (std::wstring(cls) != L"#32770" || wnd == last_) return;
    last_ = wnd;
    Seen s;
    s.caption = Text(wnd);
    for (HWND c = GetWindow(wnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      GetClassNameW(c, cls, 16);
      if (_wcsicmp(cls, L"Static") == 0) s.text += Text(c);
    }
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
      if (GetDlgItem(wnd, id) != nullptr) s.buttons.push_back(id);
    s.x = MessageBoxX;
    s.y = MessageBoxY;
    s.modalLevel = Application->ModalLevel();
    seen.push_back(s);
    PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(wnd, answer)));
  }
  static std::string Text(HWND wnd) {
    wchar_t buf[512] = {};
    GetWindowTextW(wnd, buf, 512);
    return Narrow(buf);
  }
  static inline TMessageBoxProbe* self_ = nullptr;
  HHOOK hook_ = nullptr;
  HWND last_ = nullptr;
};

// Stands in for the dialog hook and counts the windows it is told about: one
// per created window for each copy of the hook installed.
class TCountingDialogHook {
 public:
  TCountingDialogHook() : saved_(FormServices().CBTHookProc) {
    creations_ = 0;
    FormServices().CBTHookProc = Proc;
  }
  ~TCountingDialogHook() { FormServices().CBTHookProc = saved_; }
  // Creates and destroys a window; the number of hooks that saw it.
  int HooksSeeingAWindow() const {
    creations_ = 0;
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr));
    return creations_;
  }

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) ++creations_;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline int creations_ = 0;
  HOOKPROC saved_;
};

}  // namespace kvtest
