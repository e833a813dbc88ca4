#include "support/ModalProbe.h"

#include <gtest/gtest.h>

#include <map>

namespace kvtest {
namespace {

// Timer ids of thread timers are chosen by the system, so the probe is found
// through them.
std::map<UINT_PTR, TModalProbe*>& Probes() {
  static std::map<UINT_PTR, TModalProbe*> probes;
  return probes;
}

constexpr UINT kPollMs = 20;

struct TSearch {
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK Match(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<TSearch*>(lp);
  wchar_t name[32] = {};
  GetClassNameW(wnd, name, 32);
  if (lstrcmpW(name, s->cls) == 0 && IsWindowVisible(wnd)) {
    s->found = wnd;
    return FALSE;
  }
  return TRUE;
}

void Close(HWND wnd) {
  wchar_t name[32] = {};
  GetClassNameW(wnd, name, 32);
  if (lstrcmpW(name, kMenuClass) == 0) {
    EndMenu();
  } else {
    PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace

HWND FindThreadWindow(const wchar_t* windowClass) {
  TSearch s{windowClass, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), Match, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

TModalProbe::TModalProbe(const wchar_t* windowClass, TCheck check, int watchdogMs)
    : class_(windowClass), check_(std::move(check)) {
  poll_ = SetTimer(nullptr, 0, kPollMs, OnTimer);
  watchdog_ = SetTimer(nullptr, 0, static_cast<UINT>(watchdogMs), OnTimer);
  Probes()[poll_] = this;
  Probes()[watchdog_] = this;
}

TModalProbe::~TModalProbe() {
  for (UINT_PTR id : {poll_, watchdog_}) {
    if (id == 0) continue;
    KillTimer(nullptr, id);
    Probes().erase(id);
  }
}

void CALLBACK TModalProbe::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Probes().find(id);
  if (it == Probes().end()) return;
  TModalProbe* probe = it->second;
  if (id == probe->poll_)
    probe->Poll();
  else
    probe->Watchdog();
}

void TModalProbe::Poll() {
  HWND wnd = FindThreadWindow(class_.c_str());
  if (wnd == nullptr) return;
  // One shot: both timers end before the check runs, as the check may pump.
  KillTimer(nullptr, poll_);
  KillTimer(nullptr, watchdog_);
  Probes().erase(poll_);
  Probes().erase(watchdog_);
  poll_ = watchdog_ = 0;
  found_ = wnd;
  if (check_) check_(wnd);
  Close(wnd);
}

void TModalProbe::Watchdog() {
  timedOut_ = true;
  ADD_FAILURE() << "modal probe: no window of the class appeared before the watchdog";
  KillTimer(nullptr, poll_);
  KillTimer(nullptr, watchdog_);
  Probes().erase(poll_);
  Probes().erase(watchdog_);
  poll_ = watchdog_ = 0;
  // Whatever modal loop runs must still end.
  EndMenu();
  if (HWND dlg = FindThreadWindow(kDialogClass)) PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace kvtest
