#include "support/HostWindow.h"

#include "support/Pump.h"

namespace kvtest {
namespace {
constexpr wchar_t kClass[] = L"KvTestHost";
}

LRESULT CALLBACK THostWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    auto* self = reinterpret_cast<THostWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    RECT rc{};
    GetClientRect(wnd, &rc);
    HBRUSH brush = CreateSolidBrush(self ? self->fill_ : RGB(0, 0, 0));
    FillRect(reinterpret_cast<HDC>(wp), &rc, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

THostWindow::THostWindow(int width, int height, COLORREF fill) : fill_(fill) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    return RegisterClassW(&wc);
  }();
  (void)atom;
  wnd_ = CreateWindowExW(WS_EX_TOPMOST, kClass, L"", WS_POPUP | WS_CLIPCHILDREN, kHostX, kHostY,
                         width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(wnd_, SW_SHOWNOACTIVATE);
  UpdateWindow(wnd_);
}

THostWindow::~THostWindow() {
  if (IsWindow(wnd_)) DestroyWindow(wnd_);
}

}  // namespace kvtest
