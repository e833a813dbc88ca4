// Animated showing through the snapshot cover window.
#include <gtest/gtest.h>
#include <windows.h>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "skin/core/sVclUtils_win.h"

namespace kv {
namespace {

struct AnimatedShow : ::testing::Test {
  void SetUp() override {
    form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 300, 200);
    panel = Panel(10, 10, 100, 40, clRed);
    form->Show();
  }
  void TearDown() override { form->Free(); }
  TPanel* Panel(int x, int y, int w, int h, TColor colour) {
    auto* p = Create<TPanel>(form);
    p->SetParent(form);
    p->SetBevelOuter(bvNone);
    p->SetColor(colour);
    p->SetBounds(x, y, w, h);
    return p;
  }
  bool CoverLeft() {
    return SnapshotCover || FindWindowExW(form->Handle(), nullptr, nullptr, L"acOutputWindow");
  }

  TForm* form = nullptr;
  TPanel* panel = nullptr;
};

TEST_F(AnimatedShow, CoverPathEndsWithTheControlShownAndNoCoverLeft) {
  for (unsigned time : {0u, 80u, 0xFFFFu}) {  // the longest is cut to about a second
    SendMessageW(panel->Handle(), WM_SETREDRAW, 0, 0);
    AnimateShowControl(panel, time);
    EXPECT_TRUE(IsWindowVisible(panel->Handle())) << time << " ms";
    EXPECT_FALSE(CoverLeft()) << time << " ms";
    EXPECT_EQ(nullptr, SnapshotBitmap);
    HDC dc = GetDC(panel->Handle());
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 50, 20)) << time << " ms";
    ReleaseDC(panel->Handle(), dc);
  }
}

TEST_F(AnimatedShow, SnapshotOfAnotherSizeIsTakenAnew) {
  TPanel* small = Panel(150, 10, 60, 30, clBlue);
  ShowSnapshotCover(panel);
  ShowSnapshotCover(small);
  ASSERT_NE(nullptr, SnapshotBitmap);
  EXPECT_EQ(60, SnapshotBitmap->Width());
  EXPECT_EQ(30, SnapshotBitmap->Height());
  AnimateShowControl(small, 16);
  EXPECT_FALSE(CoverLeft());
}

}  // namespace
}  // namespace kv
