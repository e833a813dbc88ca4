// Runs the messages waiting in the hand-run Windows benchmarks' queue.
#pragma once

#include <windows.h>

inline void PumpUntilIdle() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}
