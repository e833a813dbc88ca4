#include "support/Mouse.h"

#include "support/Pump.h"

namespace kvtest {
namespace {

void Post(HWND wnd, UINT msg, WPARAM keys, POINT client) {
  const POINT s = ClientToScreenPoint(wnd, client);
  SetCursorPos(s.x, s.y);
  PostMessageW(wnd, msg, keys, MAKELPARAM(client.x, client.y));
  kv::pump::PumpUntilIdle();
}

}  // namespace

POINT ClientToScreenPoint(HWND wnd, POINT client) {
  ClientToScreen(wnd, &client);
  return client;
}

void MouseMove(HWND wnd, POINT client) {
  const POINT s = ClientToScreenPoint(wnd, client);
  SetCursorPos(s.x, s.y);
  kv::pump::PumpUntilIdle();
}

void MouseDown(HWND wnd, POINT client) { Post(wnd, WM_LBUTTONDOWN, MK_LBUTTON, client); }
void MouseUp(HWND wnd, POINT client) { Post(wnd, WM_LBUTTONUP, 0, client); }

void Click(HWND wnd, POINT client) {
  MouseMove(wnd, client);
  MouseDown(wnd, client);
  MouseUp(wnd, client);
}

void Drag(HWND wnd, POINT from, POINT to, int steps) {
  MouseMove(wnd, from);
  MouseDown(wnd, from);
  for (int i = 1; i <= steps; ++i) {
    const POINT p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
    // The button is down, so the move carries MK_LBUTTON as a real one would.
    const POINT s = ClientToScreenPoint(wnd, p);
    SetCursorPos(s.x, s.y);
    PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    kv::pump::PumpUntilIdle();
  }
  MouseUp(wnd, to);
}

void HoverIn(HWND wnd) {
  RECT rc{};
  GetClientRect(wnd, &rc);
  MouseMove(wnd, {rc.right / 2, rc.bottom / 2});
}

void HoverOut() {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  kv::pump::PumpUntilIdle();
}

}  // namespace kvtest
