#pragma once
// Driving the real cursor. GetMessagePos reports where the cursor was when
// the last queued message was posted, not that message's lParam, so every
// helper moves the cursor first (SetCursorPos; under Wine that also queues a
// WM_MOUSEMOVE for the window below) and then posts the button messages.
// Points are in the client coordinates of `wnd`. Each helper pumps until the
// queue is idle (bounded by a time-out).

#include <windows.h>

namespace kvtest {

POINT ClientToScreenPoint(HWND wnd, POINT client);
void MouseMove(HWND wnd, POINT client);
void MouseDown(HWND wnd, POINT client);
void MouseUp(HWND wnd, POINT client);
void Click(HWND wnd, POINT client);
// Down at `from`, moves in `steps` even steps, up at `to`.
void Drag(HWND wnd, POINT from, POINT to, int steps = 4);
// Into the centre of the window, and to a screen corner away from every
// test window.
void HoverIn(HWND wnd);
void HoverOut();

}  // namespace kvtest
