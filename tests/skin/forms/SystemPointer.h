// The pointer moved (and clicked) as the system moves it for a mouse
// (SendInput), for the forms' tests: the window under it gets its hit tests,
// moves and leaves from the system, not from posted messages.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include "support/Pump.h"

namespace kvtest {

inline int AbsoluteX(int x) {
  const int cx = GetSystemMetrics(SM_CXSCREEN);
  return (x * 65536 + cx - 1) / cx;
}
inline int AbsoluteY(int y) {
  const int cy = GetSystemMetrics(SM_CYSCREEN);
  return (y * 65536 + cy - 1) / cy;
}

inline INPUT SystemMove(POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = AbsoluteX(screen.x);
  in.mi.dy = AbsoluteY(screen.y);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

// Moves the pointer and waits until the cursor is there and the queue idle.
inline void SystemMoveTo(POINT screen) {
  INPUT in = SystemMove(screen);
  ASSERT_EQ(SendInput(1, &in, sizeof in), 1u);
  ASSERT_TRUE(kv::pump::PumpUntil([&] {
    POINT p{};
    return GetCursorPos(&p) && p.x == screen.x && p.y == screen.y;
  }));
  kv::pump::PumpUntilIdle();
}

// A left click where the pointer is, as the system's mouse gives it.
inline void SystemClick() {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
  kv::pump::PumpUntilIdle();
}

// A screen corner away from every test window.
inline POINT AwayFromWindows() {
  return {GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2};
}

}  // namespace kvtest
