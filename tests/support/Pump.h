// Message pumping for the Windows tests: through the application's pump, so
// that its message hooks see everything, until a condition holds or a deadline
// passes. The deadline only bounds a failing test; nothing is asserted about
// how long it took.
#pragma once

#include <windows.h>

#include <functional>

#include "classlib/Forms.h"

namespace kv::pump {

inline bool PumpUntil(const std::function<bool()>& done, int ms = 2000) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms > 0 ? ms : 0);
  for (;;) {
    if (done && done()) return true;
    if (GetTickCount64() >= end) return false;
    kv::Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void Pump(int ms) { PumpUntil(nullptr, ms); }

// Pumps until this thread's queue holds nothing but timers (or the time-out
// passes): what was posted, sent or painted has been handled.
inline bool PumpUntilIdle(int ms = 2000) {
  return PumpUntil(
      [] {
        kv::Application->ProcessMessages();
        return HIWORD(GetQueueStatus(QS_ALLINPUT & ~QS_TIMER)) == 0;
      },
      ms);
}

}  // namespace kv::pump
