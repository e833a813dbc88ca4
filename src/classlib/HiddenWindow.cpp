#include "classlib/HiddenWindow.h"

#include <memory>

#include "classlib/Controls.h"

namespace kv {

namespace {

constexpr wchar_t kClassName[] = L"KvHiddenWindow";

struct THiddenWindowData {
  UINT first;
  UINT last;
  THiddenWindowHandler handler;
  TObject* sender;
};

LRESULT CALLBACK HiddenWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<THiddenWindowData*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
    std::unique_ptr<THiddenWindowData> owned(data);
    return DefWindowProcW(wnd, msg, wParam, lParam);
  }
  if (data == nullptr || msg < data->first || msg > data->last)
    return DefWindowProcW(wnd, msg, wParam, lParam);
  try {
    data->handler(msg, wParam, lParam);
  } catch (...) {
    HandleEntryException(data->sender);
  }
  return 0;
}

}  // namespace

HWND CreateHiddenWindow(UINT first, UINT last, THiddenWindowHandler handler, TObject* sender) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(instance, kClassName, &wc)) {
    wc.lpfnWndProc = HiddenWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
  }
  auto data = std::make_unique<THiddenWindowData>(
      THiddenWindowData{first, last, std::move(handler), sender});
  HWND wnd =
      CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (wnd == nullptr) throw EOutOfResources("Cannot create a hidden window");
  // Freed by the window on WM_NCDESTROY.
  SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data.release()));
  return wnd;
}

}  // namespace kv
