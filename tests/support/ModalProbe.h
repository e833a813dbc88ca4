#pragma once
// Checks inside a modal loop (a message box, a dialog, a pop-up menu): arm the
// probe, then call the blocking function. A one-shot timer finds this
// thread's window of the class ("#32770" for dialogs and message boxes,
// "#32768" for pop-up menus), runs the check on it and closes it (IDCANCEL to
// a dialog, EndMenu for a menu). A watchdog closes whatever is open and fails
// the test if the window never appeared, so a test never hangs.

#include <windows.h>

#include <functional>
#include <string>

namespace kvtest {

inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr wchar_t kMenuClass[] = L"#32768";

class TModalProbe {
 public:
  using TCheck = std::function<void(HWND)>;

  // The watchdog's limit only bounds a failing test.
  TModalProbe(const wchar_t* windowClass, TCheck check, int watchdogMs = 5000);
  ~TModalProbe();
  TModalProbe(const TModalProbe&) = delete;
  TModalProbe& operator=(const TModalProbe&) = delete;

  bool Found() const { return found_ != nullptr; }
  HWND Window() const { return found_; }
  bool TimedOut() const { return timedOut_; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
  void Poll();
  void Watchdog();
  std::wstring class_;
  TCheck check_;
  UINT_PTR poll_ = 0, watchdog_ = 0;
  HWND found_ = nullptr;
  bool timedOut_ = false;
};

// This thread's visible window of the class, or null.
HWND FindThreadWindow(const wchar_t* windowClass);

}  // namespace kvtest
