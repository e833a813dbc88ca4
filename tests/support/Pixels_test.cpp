// Pixel read-back under Wine's null driver: a window painted in known colours
// reads back the same through its client DC, its window DC, PrintWindow and
// WM_PRINT; cache bitmaps read back too; a failed comparison leaves both
// images behind.
#include "support/Pixels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "support/HostWindow.h"

namespace kvtest {
namespace {

constexpr COLORREF kFill = RGB(200, 30, 60);
constexpr COLORREF kSquare = RGB(10, 220, 40);
constexpr COLORREF kFrame = RGB(30, 40, 230);
constexpr RECT kSquareRect = {10, 12, 22, 20};

void PaintClient(HWND wnd, HDC dc) {
  RECT rc{};
  GetClientRect(wnd, &rc);
  HBRUSH fill = CreateSolidBrush(kFill), square = CreateSolidBrush(kSquare);
  FillRect(dc, &rc, fill);
  FillRect(dc, &kSquareRect, square);
  DeleteObject(fill);
  DeleteObject(square);
}

void PaintFrame(HWND wnd, HDC dc) {
  RECT wr{}, cr{};
  GetWindowRect(wnd, &wr);
  GetClientRect(wnd, &cr);
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&cr), 2);
  OffsetRect(&cr, -wr.left, -wr.top);
  OffsetRect(&wr, -wr.left, -wr.top);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, cr.left, cr.top, cr.right, cr.bottom);
  HBRUSH frame = CreateSolidBrush(kFrame);
  FillRect(dc, &wr, frame);
  DeleteObject(frame);
  RestoreDC(dc, saved);
}

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      PaintClient(wnd, BeginPaint(wnd, &ps));
      EndPaint(wnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintClient(wnd, reinterpret_cast<HDC>(wp));
      return 0;
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(wnd);
      PaintFrame(wnd, dc);
      ReleaseDC(wnd, dc);
      return 0;
    }
    case WM_PRINT:
      // The default handler draws a system frame; ours is drawn here.
      if (lp & PRF_NONCLIENT) PaintFrame(wnd, reinterpret_cast<HDC>(wp));
      if (lp & PRF_CLIENT) {
        POINT origin{0, 0};
        ClientToScreen(wnd, &origin);
        RECT wr{};
        GetWindowRect(wnd, &wr);
        HDC dc = reinterpret_cast<HDC>(wp);
        const int saved = SaveDC(dc);
        if (lp & PRF_NONCLIENT)
          OffsetViewportOrgEx(dc, origin.x - wr.left, origin.y - wr.top, nullptr);
        PaintClient(wnd, dc);
        RestoreDC(dc, saved);
      }
      return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

struct Painted : ::testing::Test {
  void SetUp() override {
    static const ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"KvPaintedWindow";
      return RegisterClassW(&wc);
    }();
    ASSERT_NE(atom, 0);
    wnd = CreateWindowExW(WS_EX_CLIENTEDGE, L"KvPaintedWindow", L"", WS_POPUP | WS_VISIBLE, kHostX,
                          kHostY, 64, 48, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    GetClientRect(wnd, &client);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    RECT wr{};
    GetWindowRect(wnd, &wr);
    OffsetRect(&client, origin.x - wr.left, origin.y - wr.top);
  }
  void TearDown() override { DestroyWindow(wnd); }
  // Where the client area lies in an image of the whole window.
  RECT client{};
  HWND wnd = nullptr;
};

TEST_F(Painted, ClientReadsBackThroughItsDC) {
  const TPixels img = TPixels::FromClient(wnd);
  ASSERT_EQ(img.Width(), client.right - client.left);
  EXPECT_TRUE(ColourAt(img, 0, 0, kFill));
  EXPECT_TRUE(ColourAt(img, img.Width() - 1, img.Height() - 1, kFill));
  EXPECT_TRUE(ColourOnlyInside(img, kSquare, kSquareRect));
  const RECT bounds = img.BoundsOf(kSquare);
  EXPECT_TRUE(EqualRect(&bounds, &kSquareRect));
  EXPECT_EQ(img.CountDiffering(kFill, img.Whole()), 12 * 8);
}

TEST_F(Painted, WholeWindowReadsBackAlikeThroughWindowDCPrintWindowAndPrint) {
  const TPixels byDC = TPixels::FromWindow(wnd);
  ASSERT_FALSE(byDC.Empty());
  EXPECT_TRUE(ColourAt(byDC, 0, 0, kFrame));
  EXPECT_TRUE(SameImage(byDC.Crop(client), TPixels::FromClient(wnd)));
  EXPECT_TRUE(SameImage(TPixels::FromPrintWindow(wnd), byDC));
  EXPECT_TRUE(SameImage(TPixels::FromPrint(wnd), byDC));
  EXPECT_TRUE(SameImage(TPixels::FromPrint(wnd, PRF_CLIENT), byDC.Crop(client)));
}

TEST(CacheBitmap, ReadsBackFromAGdiBitmapAndFromThePixelStore) {
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 8, 6);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  const RECT all{0, 0, 8, 6}, cell{2, 1, 3, 2};
  HBRUSH fill = CreateSolidBrush(kFill), dot = CreateSolidBrush(kSquare);
  FillRect(dc, &all, fill);
  FillRect(dc, &cell, dot);
  SelectObject(dc, old);
  DeleteObject(fill);
  DeleteObject(dot);
  DeleteDC(dc);
  const TPixels fromGdi = TPixels::FromBitmap(bmp);
  DeleteObject(bmp);
  EXPECT_TRUE(ColourAt(fromGdi, 2, 1, kSquare));
  EXPECT_TRUE(ColourOnlyInside(fromGdi, kSquare, cell));

  kv::TBitmap store(3, 2, kv::pf32bit);
  std::uint8_t* p = store.ScanLine(1) + 4 * 2;
  p[0] = 1, p[1] = 2, p[2] = 3;
  EXPECT_TRUE(ColourAt(TPixels::FromBitmap(store), 2, 1, RGB(3, 2, 1)));
}

TEST(PixelProbes, FailureNamesThePlaceAndLeavesBothImages) {
  TPixels expected(4, 3, kFill), actual(4, 3, kFill);
  actual.Set(3, 2, kSquare);
  const ::testing::AssertionResult r = SameImage(actual, expected);
  ASSERT_FALSE(r);
  const std::string text = r.message();
  EXPECT_NE(text.find("first difference at (3,2): expected 0x3c1ec8, got 0x28dc0a"),
            std::string::npos)
      << text;
  // The message names both files with their folder: "...; images <actual> and <expected>".
  const std::size_t images = text.find("; images ");
  const std::size_t and_ = text.find(" and ", images);
  ASSERT_NE(images, std::string::npos) << text;
  ASSERT_NE(and_, std::string::npos) << text;
  const std::string paths[] = {text.substr(images + 9, and_ - images - 9), text.substr(and_ + 5)};
  const char* const which[] = {"actual", "expected"};
  for (int i = 0; i < 2; ++i) {
    const std::string name =
        "PixelProbes.FailureNamesThePlaceAndLeavesBothImages-" + std::string(which[i]) + ".bmp";
    EXPECT_EQ(paths[i].size() >= name.size() ? paths[i].substr(paths[i].size() - name.size()) : "",
              name);
    std::remove(paths[i].c_str());
  }
  EXPECT_FALSE(SameImage(actual, expected));  // writes both files afresh
  for (const std::string& path : paths) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    EXPECT_EQ(static_cast<long>(in.tellg()), 14 + 40 + 3 * 12) << path;
  }
  EXPECT_FALSE(NoColourInside(actual, kSquare, actual.Whole()));
}

}  // namespace
}  // namespace kvtest
