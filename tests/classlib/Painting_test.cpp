// Painting read back from the window under Wine's null driver: the window's
// own painting, windowless children on top in their order and clipped to
// their bounds, and PaintTo into another device context.
#include <gtest/gtest.h>
#include <windows.h>

#include "MessageLog.h"
#include "classlib/Forms.h"

using namespace kv;

namespace {

class TBlock : public TGraphicControl {
 public:
  TBlock(TComponent* owner, TColor fill) : TGraphicControl(owner), fill_(fill) {}
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    Canvas()->Brush()->SetColor(fill_);
    // Deliberately larger than the control: the parent clips it.
    Canvas()->FillRect(Rect(-20, -20, Width() + 20, Height() + 20));
  }

 private:
  TColor fill_;
};

class TPanelLike : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
    Canvas()->Brush()->SetColor(clBlack);
    Canvas()->FrameRect(ClientRect());
  }
};

COLORREF PixelOf(HWND wnd, int x, int y) {
  HDC dc = GetDC(wnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(wnd, dc);
  return c;
}

struct Painting : ::testing::Test {
  void SetUp() override {
    form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 120, 80);
    form->SetColor(clWhite);
    under = Create<TBlock>(form, clRed);
    under->SetParent(form);
    under->SetBounds(10, 10, 40, 30);
    over = Create<TBlock>(form, clBlue);
    over->SetParent(form);
    over->SetBounds(30, 20, 40, 30);
    form->Show();
    UpdateWindow(form->Handle());
  }
  void TearDown() override { form->Free(); }
  TForm* form = nullptr;
  TBlock* under = nullptr;
  TBlock* over = nullptr;
};

TEST_F(Painting, WindowlessChildrenPaintInOrderClippedToTheirBounds) {
  const HWND wnd = form->Handle();
  EXPECT_EQ(PixelOf(wnd, 5, 5), RGB(255, 255, 255)) << "form background";
  EXPECT_EQ(PixelOf(wnd, 15, 15), RGB(255, 0, 0)) << "first child";
  EXPECT_EQ(PixelOf(wnd, 35, 25), RGB(0, 0, 255)) << "second child lies on top";
  EXPECT_EQ(PixelOf(wnd, 9, 9), RGB(255, 255, 255)) << "painting clipped to the child";
  EXPECT_EQ(PixelOf(wnd, 75, 25), RGB(255, 255, 255)) << "painting clipped to the child";
}

TEST_F(Painting, BringToFrontChangesThePaintOrder) {
  under->BringToFront();
  UpdateWindow(form->Handle());
  EXPECT_EQ(PixelOf(form->Handle(), 35, 25), RGB(255, 0, 0));
  EXPECT_EQ(form->Controls(form->ControlCount() - 1), under);
}

TEST_F(Painting, HiddenChildIsNotPaintedAndItsAreaIsRepainted) {
  over->Hide();
  UpdateWindow(form->Handle());
  EXPECT_EQ(PixelOf(form->Handle(), 60, 40), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(form->Handle(), 35, 25), RGB(255, 0, 0));
}

TEST_F(Painting, MovedChildInvalidatesOldAndNewPlace) {
  over->SetBounds(80, 40, 20, 20);
  UpdateWindow(form->Handle());
  EXPECT_EQ(PixelOf(form->Handle(), 60, 45), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(form->Handle(), 90, 50), RGB(0, 0, 255));
}

TEST_F(Painting, WindowedChildPaintsItsCanvas) {
  auto* panel = Create<TPanelLike>(form);
  panel->SetParent(form);
  panel->SetColor(clLime);
  panel->SetBounds(80, 5, 30, 30);
  UpdateWindow(panel->Handle());
  EXPECT_EQ(PixelOf(panel->Handle(), 10, 10), RGB(0, 255, 0));
  EXPECT_EQ(PixelOf(panel->Handle(), 0, 0), RGB(0, 0, 0));
}

TEST_F(Painting, WindowlessCanvasOutsidePaintingDrawsOnTheParentAtTheControl) {
  const int dcs = GdiCounters().DCs;
  under->Canvas()->Brush()->SetColor(clLime);
  under->Canvas()->FillRect(Rect(-5, -5, 100, 100));
  EXPECT_EQ(GdiCounters().DCs, dcs + 1) << "a context is held until idle time";
  TControlCanvas::FreeDeviceContexts();
  EXPECT_EQ(GdiCounters().DCs, dcs);
  EXPECT_EQ(PixelOf(form->Handle(), 12, 12), RGB(0, 255, 0));
  EXPECT_EQ(PixelOf(form->Handle(), 9, 12), RGB(255, 255, 255)) << "clipped to the control";
}

TEST_F(Painting, MouseOnTheParentGoesToTheWindowlessChildUnderIt) {
  std::vector<std::string> events;
  over->OnClick = [&](TObject*) { events.push_back("over click"); };
  over->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    events.push_back("over down " + std::to_string(x) + "," + std::to_string(y));
  };
  under->OnClick = [&](TObject*) { events.push_back("under click"); };
  form->OnClick = [&](TObject*) { events.push_back("form click"); };
  const HWND wnd = form->Handle();
  // (35, 25) is in both; the later child lies on top.
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 25));
  EXPECT_TRUE(over->MouseCapture());
  EXPECT_EQ(GetCapture(), wnd);
  SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 70));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(36, 26));
  EXPECT_FALSE(over->MouseCapture());
  // Released outside the control: no click.
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 30));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(110, 70));
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 70));
  SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(100, 70));
  EXPECT_EQ(events, (std::vector<std::string>{"over down 5,5", "over click", "over down 10,10",
                                              "form click"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Painting, CursorComesFromTheControlUnderTheMouse) {
  over->SetCursor(crHandPoint);
  const HWND wnd = form->Handle();
  POINT pt{35, 25};
  ClientToScreen(wnd, &pt);
  SetCursorPos(pt.x, pt.y);
  EXPECT_EQ(SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            1);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
  Screen->SetCursor(crHourGlass);  // the screen's cursor wins while set
  SendMessageW(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

TEST_F(Painting, PaintToDrawsTheControlTreeIntoAnotherContext) {
  TBitmap bmp(120, 80, pf24bit);
  TBitmapCanvas canvas(bmp);
  canvas.Brush()->SetColor(clBlack);
  canvas.FillRect(Rect(0, 0, 120, 80));
  form->PaintTo(canvas.Handle(), 0, 0);
  EXPECT_EQ(canvas.Pixel(5, 5), clWhite);
  EXPECT_EQ(canvas.Pixel(15, 15), clRed);
  EXPECT_EQ(canvas.Pixel(35, 25), clBlue);
  under->PaintTo(canvas.Handle(), 100, 60);
  EXPECT_EQ(canvas.Pixel(105, 65), clRed);
  EXPECT_EQ(canvas.Pixel(99, 65), clWhite) << "clipped to the control";
}

// A window that cannot be seen keeps no update region; what changed while it
// was hidden, or while its form's drawing was off, shows when it is seen again.
TEST_F(Painting, AChangeMadeOutOfSightShowsWhenSeenAgain) {
  auto* panel = Create<TPanelLike>(form);
  panel->SetParent(form);
  panel->SetBounds(80, 40, 30, 30);
  panel->SetColor(clYellow);
  UpdateWindow(form->Handle());
  const HWND wnd = form->Handle();
  ASSERT_EQ(PixelOf(wnd, 95, 55), RGB(255, 255, 0));

  SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
  panel->SetColor(clLime);
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(panel->Handle(), &update, FALSE));
  SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(PixelOf(wnd, 95, 55), RGB(0, 255, 0));

  form->Hide();
  panel->SetColor(clAqua);
  panel->Repaint();
  form->Show();
  UpdateWindow(wnd);
  EXPECT_EQ(PixelOf(wnd, 95, 55), RGB(0, 255, 255));
}

}  // namespace
