// A window painted under Wine's null driver can be read back pixel by pixel:
// the Windows tests of every control rely on this.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/TextCodec.h"

namespace {

constexpr COLORREF kFill = RGB(200, 30, 60);

LRESULT CALLBACK PaintProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    RECT rc;
    GetClientRect(wnd, &rc);
    HBRUSH brush = CreateSolidBrush(kFill);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    RECT inner = {10, 10, 20, 20};
    FillRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(wnd, &ps);
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

TEST(WindowPixels, PaintedClientAreaReadsBack) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PaintProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KvSmokeWindow";
  ASSERT_NE(RegisterClassW(&wc), 0);
  const std::u16string title = kv::Utf8ToUtf16("温度");
  HWND wnd =
      CreateWindowExW(0, wc.lpszClassName, reinterpret_cast<LPCWSTR>(title.c_str()),
                      WS_POPUP | WS_VISIBLE, 0, 0, 64, 48, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);
  UpdateWindow(wnd);

  HDC dc = GetDC(wnd);
  EXPECT_EQ(GetPixel(dc, 2, 2), kFill) << "expected the fill colour at (2,2)";
  EXPECT_EQ(GetPixel(dc, 15, 15), RGB(0, 0, 0)) << "expected the black square at (15,15)";
  EXPECT_EQ(GetPixel(dc, 63, 47), kFill);
  ReleaseDC(wnd, dc);

  wchar_t buf[8] = {};
  GetWindowTextW(wnd, buf, 8);
  EXPECT_EQ(kv::Utf16ToUtf8(reinterpret_cast<const char16_t*>(buf)), "温度");
  DestroyWindow(wnd);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

}  // namespace
