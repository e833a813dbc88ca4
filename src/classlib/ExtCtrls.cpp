#include "classlib/ExtCtrls.h"

#include <windows.h>

#include <map>

#include "classlib/Controls.h"

namespace kv {

// One hidden window serves all timers; ticks find their timer by number, so
// a tick for a timer freed meanwhile finds nothing.
struct TimerWindow {
  static std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
  }

  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_TIMER) return DefWindowProcW(wnd, msg, wParam, lParam);
    auto it = Timers().find(wParam);
    if (it == Timers().end()) return 0;
    TTimer* timer = it->second;
    try {
      timer->Timer();
    } catch (...) {
      HandleEntryException(nullptr);  // the timer may be gone: no sender
    }
    return 0;
  }

  static HWND Handle() {
    static HWND wnd = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"KvTimerWindow";
      RegisterClassW(&wc);
      return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             wc.hInstance, nullptr);
    }();
    return wnd;
  }
};

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
}

int TTimer::ActiveCount() { return static_cast<int>(TimerWindow::Timers().size()); }

void TTimer::UpdateTimer() {
  if (id_ != 0) {
    KillTimer(TimerWindow::Handle(), id_);
    TimerWindow::Timers().erase(id_);
    id_ = 0;
  }
  if (!enabled_ || interval_ == 0 || HasState(csLoading | csDestroying)) return;
  static UINT_PTR nextId = 1;
  const UINT_PTR id = nextId++;
  if (SetTimer(TimerWindow::Handle(), id, interval_, nullptr) == 0)
    throw EOutOfResources("Not enough timers available");
  id_ = id;
  TimerWindow::Timers()[id] = this;
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  OnTimer = std::move(handler);
  UpdateTimer();
}

void TTimer::Timer() {
  // A copy: a handler that frees the timer destroys OnTimer while it runs.
  TNotifyEvent handler = OnTimer;
  if (handler) handler(this);
}

}  // namespace kv
