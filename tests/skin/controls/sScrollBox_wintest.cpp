// The skinned scroll box under the synthetic skin: scrolled by its skinned
// bars (bracketed by the before- and after-scroll events), by the wheel, and
// never left frozen by a scroll that fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sScrollBox_win.h"
#include "support/FreedMemory.h"

namespace kv {
namespace {

// A box whose scroll handling fails.
class TFailingBox : public TsScrollBox {
 public:
  using TsScrollBox::TsScrollBox;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_VSCROLL) throw std::runtime_error("scroll failed");
    TsScrollBox::Dispatch(m);
  }
};

class ScrollBoxTest : public kvtest::TSkinnedFormTest {
 protected:
  template <class Box = TsScrollBox>
  Box* MakeBox() {
    auto* box = Create<Box>(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 200, 120);
    tall = Create<TPanel>(form);
    tall->SetParent(box);
    tall->SetBounds(0, 0, 150, 600);
    box->OnBeforeScroll = [this](TObject*) { ++before; };
    box->OnAfterScroll = [this](TObject*) { ++after; };
    Show();
    return box;
  }
  static POINT BottomArrow(TsScrollBox* box) {
    const TRect bar = VertScrollBarRect(box->ScrollAdapter(), box->Handle());
    return {(bar.Left + bar.Right) / 2, bar.Bottom - 4};
  }
  int before = 0;
  int after = 0;
  TPanel* tall = nullptr;
};

TEST_F(ScrollBoxTest, ItsSkinnedArrowScrollsByTheIncrementBetweenTheScrollEvents) {
  Load();
  TsScrollBox* box = MakeBox();
  ASSERT_NE(box->ScrollAdapter(), nullptr);
  const POINT arrow = BottomArrow(box);
  SetCursorPos(arrow.x, arrow.y);
  SendMessageW(box->Handle(), WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
  SendMessageW(box->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(box->VertScrollBar()->Position(), box->VertScrollBar()->Increment());
  EXPECT_GE(before, 1);
  EXPECT_EQ(before, after);
  EXPECT_FALSE(box->ScrollFrozen());
}

// The box, and the frame bar built on it, draw on their window outside
// their painting through the canvas they own.
TEST_F(ScrollBoxTest, DrawsOnItsWindowThroughItsOwnCanvas) {
  Load();
  TsScrollBox* boxes[] = {Create<TsScrollBox>(form), Create<TsFrameBar>(form)};
  for (int i = 0; i < 2; ++i) {
    boxes[i]->SetParent(form);
    boxes[i]->SetAlign(alNone);  // the frame bar's own is alLeft
    boxes[i]->SetBounds(10 + 150 * i, 10, 140, 120);
  }
  Show();
  for (TsScrollBox* box : boxes) {
    auto* canvas = dynamic_cast<TControlCanvas*>(box->Canvas());
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->Control(), box);
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(Rect(20, 20, 30, 30));
    HDC dc = GetDC(box->Handle());
    EXPECT_EQ(GetPixel(dc, 25, 25), RGB(255, 0, 0)) << box->ClassName();
    ReleaseDC(box->Handle(), dc);
  }
}

TEST_F(ScrollBoxTest, AThumbPositionArrivesWhole) {
  Load();
  TsScrollBox* box = MakeBox();
  SendScrollMessage(box->Handle(), WM_VSCROLL, SB_THUMBPOSITION, 300);
  EXPECT_EQ(box->VertScrollBar()->Position(), 300);
}

struct TWheelCase {
  bool Auto;
  int Delta;
  int Expected;  // in increments
  bool ToChild;  // the wheel comes to a control in the box and is passed up
};

class ScrollBoxWheel : public ScrollBoxTest, public ::testing::WithParamInterface<TWheelCase> {};

TEST_P(ScrollBoxWheel, AutoWheelMovesByIncrementsPerNotch) {
  Load();
  TsScrollBox* box = MakeBox();
  box->SetAutoMouseWheel(GetParam().Auto);
  box->VertScrollBar()->SetPosition(80);
  SendMessageW(GetParam().ToChild ? tall->Handle() : box->Handle(), WM_MOUSEWHEEL,
               MAKEWPARAM(0, static_cast<WORD>(GetParam().Delta)), MAKELPARAM(50, 50));
  EXPECT_EQ(box->VertScrollBar()->Position(),
            80 + GetParam().Expected * box->VertScrollBar()->Increment());
}

INSTANTIATE_TEST_SUITE_P(Notches, ScrollBoxWheel,
                         ::testing::Values(TWheelCase{true, -WHEEL_DELTA, 1, false},
                                           TWheelCase{true, -3 * WHEEL_DELTA, 3, false},
                                           TWheelCase{true, 2 * WHEEL_DELTA, -2, false},
                                           TWheelCase{true, -WHEEL_DELTA, 1, true}));

// What an erase leaves in a bitmap first filled with red, at (x, y).
COLORREF ErasedAt(TsScrollBox* box, int x, int y) {
  constexpr COLORREF kRed = RGB(255, 0, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, box->Width(), box->Height());
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH red = CreateSolidBrush(kRed);
  const RECT all{0, 0, box->Width(), box->Height()};
  FillRect(dc, &all, red);
  DeleteObject(red);
  SendMessageW(box->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return c;
}

// Over a plain background the box paints straight into its window, the
// erase included, and keeps no picture; its frame is two pixels wider than
// BorderWidth with bsSingle and absent with bsNone.
TEST_F(ScrollBoxTest, OverAPlainBackgroundItPaintsStraightIntoTheWindowWithItsFrame) {
  Load();
  TsScrollBox* box = MakeBox();
  box->SetBorderWidth(1);
  box->Repaint();
  SendMessageW(box->Handle(), WM_NCPAINT, 1, 0);
  EXPECT_EQ(nullptr, box->SkinData()->CacheBmp);
  EXPECT_EQ(3, box->FrameWidth());
  const kvtest::TPixels shown = kvtest::TPixels::FromWindow(box->Handle());
  const kvtest::TSkinItem* edge = skin->Legend(shown.At(1, 60));
  ASSERT_NE(nullptr, edge);
  EXPECT_EQ("BORDERSMASK", edge->Key);
  const std::string section = box->SkinData()->SkinSection();
  EXPECT_EQ(Colour(section.c_str(), "COLOR"), shown.At(175, 60));
  EXPECT_EQ(Colour(section.c_str(), "COLOR"), ErasedAt(box, 170, 60)) << "erased";
  box->SetBorderWidth(0);
  box->SetBorderStyle(bsNone);
  EXPECT_EQ(0, box->FrameWidth());
  RECT window{};
  GetWindowRect(box->Handle(), &window);
  POINT origin{0, 0};
  ClientToScreen(box->Handle(), &origin);
  EXPECT_EQ(window.left, origin.x);
  EXPECT_EQ(window.top, origin.y);
}

// A see-through box over a background that is not plain is painted from its
// picture in WM_PAINT: an erase leaves the context as it was.
TEST_F(ScrollBoxTest, ASeeThroughBoxErasesNothingOverABackgroundThatIsNotPlain) {
  kvtest::TTestSkinOptions options;
  options.Transparency = 50;
  Load(options);
  TsScrollBox* box = MakeBox();
  EXPECT_EQ(RGB(255, 0, 0), ErasedAt(box, 170, 60));
}

// A fully see-through section shows what lies below the box.
TEST_F(ScrollBoxTest, AFullyTransparentSectionShowsTheParent) {
  Load({.Keys = {{"PANEL_LOW", "TRANSPARENCY", "100"}}});
  TsScrollBox* box = MakeBox();
  box->Repaint();
  const kvtest::TPixels shown = kvtest::TPixels::FromWindow(box->Handle());
  EXPECT_EQ(kvtest::kFormColour, shown.At(175, 60));
}

// A paint the box held back while its parent was painting comes once the
// parent says it has painted: the box over a picture shows its look again,
// frame and client, not what the screen held. (Its scroll adapter resumes it
// as well; the box does so without one.)
TEST_F(ScrollBoxTest, AHeldPaintComesWhenTheParentHasPainted) {
  kvtest::TTestSkinOptions options;
  options.Transparency = 50;  // drawn from its picture, which waits for the parent
  Load(options);
  TsScrollBox* box = MakeBox();
  const RECT all{0, 0, box->Width(), box->Height()};
  const auto onScreen = [&] {
    HDC dc = GetWindowDC(box->Handle());
    const kvtest::TPixels shot = kvtest::TPixels::FromDC(dc, all);
    ReleaseDC(box->Handle(), dc);
    return shot;
  };
  box->SkinData()->Updating = true;
  HDC dc = GetWindowDC(box->Handle());
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(box->Handle(), dc);
  SendCommandToWindow(box->Handle(), cmdParentPainted, 0);
  UpdateWindow(box->Handle());
  const kvtest::TPixels shown = onScreen();
  EXPECT_FALSE(box->SkinData()->Updating);
  const kvtest::TPixels repainted = kvtest::TPixels::FromWindow(box->Handle());
  for (POINT p : {POINT{1, 60}, POINT{175, 60}}) {
    EXPECT_NE(RGB(0, 0, 0), shown.At(p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(repainted.At(p.x, p.y), shown.At(p.x, p.y)) << p.x << "," << p.y;
  }
}

// A child the box moves when it is resized paints only after the box: the
// box's painting is held while it lays its children out.
class TMovedChild : public TPanel {
 public:
  using TPanel::TPanel;
  void SetBounds(int left, int top, int width, int height) override {
    if (Box != nullptr && width != Width()) HeldWhileMoved.push_back(Box->SkinData()->Updating);
    TPanel::SetBounds(left, top, width, height);
  }
  TsScrollBox* Box = nullptr;
  std::vector<bool> HeldWhileMoved;
};

TEST_F(ScrollBoxTest, ChildrenMovedByANewSizeWaitForTheBox) {
  Load();
  TsScrollBox* box = MakeBox();
  auto* child = Create<TMovedChild>(form);
  child->SetParent(box);
  child->SetAlign(alTop);
  child->Box = box;
  box->SetWidth(box->Width() - 40);
  ASSERT_FALSE(child->HeldWhileMoved.empty()) << "the child was not moved";
  EXPECT_EQ(std::vector<bool>(child->HeldWhileMoved.size(), true), child->HeldWhileMoved);
  EXPECT_FALSE(box->SkinData()->Updating) << "held after the move";
}

// A box made without a parent asks its form for its skin once it is put on one.
class TAdaptingForm : public TForm {
 public:
  using TForm::TForm;
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdAdaptControl)
      Asked.push_back(reinterpret_cast<TControl*>(m.LParam));
    TForm::WndProc(m);
  }
  std::vector<TControl*> Asked;
};

TEST_F(ScrollBoxTest, PutOnAFormItAsksTheFormForItsSkin) {
  Load();
  auto* host = Create<TAdaptingForm>(form);
  host->SetBounds(0, 0, 200, 200);
  host->HandleNeeded();
  auto* box = Create<TsScrollBox>(host);
  box->SetParent(host);
  EXPECT_NE(std::find(host->Asked.begin(), host->Asked.end(), box), host->Asked.end());
}

TEST_F(ScrollBoxTest, AFailingScrollNeverLeavesTheBoxFrozen) {
  kvtest::TTestSkinOptions options;
  options.Transparency = 100;  // over the parent's picture: redrawing is held
  Load(options);
  TFailingBox* box = MakeBox<TFailingBox>();
  box->VertScrollBar()->SetTracking(true);
  SendMessageW(box->Handle(), SM_ALPHACMD, MAKEWPARAM(0, cmdBeforeScroll),
               MAKELPARAM(SB_THUMBTRACK, WM_VSCROLL));
  ASSERT_TRUE(box->ScrollFrozen());
  // The scroll fails and its after-scroll command never comes.
  int failures = 0;
  Application->OnException = [&](TObject*, const std::exception&) { ++failures; };
  SendMessageW(box->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  Application->OnException = nullptr;
  EXPECT_EQ(failures, 1);
  EXPECT_FALSE(box->ScrollFrozen());
  EXPECT_NE(GetWindowLongW(box->Handle(), GWL_STYLE) & WS_VISIBLE, 0);
}

// Freed by its own scroll event (before or after) as its skinned arrow is
// pressed: nothing touches the box afterwards.
class ScrollBoxFreedByScrollEvent : public ScrollBoxTest,
                                    public ::testing::WithParamInterface<bool> {};

TEST_P(ScrollBoxFreedByScrollEvent, IsLeftAlone) {
  Load();
  const kvtest::TFreedMemoryCheck freed;
  TsScrollBox* box = MakeBox();
  ASSERT_NE(box->ScrollAdapter(), nullptr);
  int calls = 0;
  const auto freeIt = [&](TObject*) {
    ++calls;
    box->Free();
  };
  (GetParam() ? box->OnBeforeScroll : box->OnAfterScroll) = freeIt;
  const POINT arrow = BottomArrow(box);
  HWND wnd = box->Handle();
  SetCursorPos(arrow.x, arrow.y);
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
  if (IsWindow(wnd)) SendMessageW(wnd, WM_LBUTTONUP, 0, 0);
  pump::PumpUntilIdle();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(freed.Faults(), 0u) << "the freed box was read";
}

INSTANTIATE_TEST_SUITE_P(BeforeOrAfter, ScrollBoxFreedByScrollEvent, ::testing::Bool());

}  // namespace
}  // namespace kv
