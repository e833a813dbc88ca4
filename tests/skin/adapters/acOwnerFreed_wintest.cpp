// Controls freed by their own handlers while the adapter in front of their
// window hands the message on: nothing of the freed control or its adapter
// may be touched afterwards. A scroll box or frame bar freed on the
// pointer's entering or leaving; a standard button or check box freed by
// its click; a standard combo box freed by the pick in its open list; a
// string grid freed as another cell is chosen; a standard speed button freed
// while its form lives; the skinning taken away in the middle of a control's
// message.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

#include "classlib/Buttons.h"
#include "classlib/Grids.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/SkinnedFormFixture.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/controls/sScrollBox_win.h"
#include "skin/forms/SystemPointer.h"
#include "skin/forms/sFrameAdapter_win.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"
#include "support/Pump.h"

namespace kv {
namespace {

enum class TScroller { ScrollBox, FrameBar };

class ScrollOwnerFreed : public SkinnedFormFixture,
                         public ::testing::WithParamInterface<std::tuple<TScroller, bool>> {
 protected:
  void TearDown() override {
    kvtest::SystemMoveTo(kvtest::AwayFromWindows());
    SkinnedFormFixture::TearDown();
  }
  TsScrollBox* Make() {
    TsScrollBox* box = std::get<0>(GetParam()) == TScroller::FrameBar
                           ? static_cast<TsScrollBox*>(Create<TsFrameBar>(form))
                           : Create<TsScrollBox>(form);
    box->SetParent(form);
    box->SetBounds(20, 20, 200, 150);
    return box;
  }
};

TEST_P(ScrollOwnerFreed, ItsOwnMouseHandlerFreesItAndThePointerMovesOn) {
  const bool onLeave = std::get<1>(GetParam());
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const kvtest::TFreedMemoryCheck freed;
  TsScrollBox* box = Make();
  ShowSkinned();
  ASSERT_NE(box->ScrollAdapter(), nullptr);
  const HWND wnd = box->Handle();
  RECT r{};
  GetWindowRect(wnd, &r);
  // Below a frame bar's titles.
  const POINT inside{r.left + 8, r.bottom - 8};
  if (onLeave) kvtest::SystemMoveTo(inside);
  int entered = 0;
  (onLeave ? box->OnMouseLeave : box->OnMouseEnter) = [&](TObject*) {
    // The handler goes with the box: nothing of it is read after the free.
    ++entered;
    TsScrollBox* doomed = std::exchange(box, nullptr);
    doomed->Free();
  };
  // Onto the box, or off it onto the form.
  kvtest::SystemMoveTo(onLeave ? POINT{r.right + 40, r.top + 20} : inside);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(box, nullptr);
  EXPECT_FALSE(IsWindow(wnd));
  // The form goes on taking the pointer.
  kvtest::SystemMoveTo({r.left + 5, r.top + 5});
  kvtest::SystemMoveTo({r.left - 4, r.top - 4});
  EXPECT_TRUE(freed.Intact());
}

INSTANTIATE_TEST_SUITE_P(Scrollers, ScrollOwnerFreed,
                         ::testing::Combine(::testing::Values(TScroller::ScrollBox,
                                                              TScroller::FrameBar),
                                            ::testing::Bool()));

// A standard control on a skinned form, freed by its OnClick.
enum class TClicked { Button, CheckBox };

class ClickedControlFreed : public SkinnedFormFixture,
                            public ::testing::WithParamInterface<TClicked> {};

TEST_P(ClickedControlFreed, ItsOwnClickFreesItUnderItsAdapter) {
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const kvtest::TFreedMemoryCheck freed;
  TButtonControl* control = GetParam() == TClicked::Button
                                ? static_cast<TButtonControl*>(Add<TButton>(20, 20, 90, 28))
                                : static_cast<TButtonControl*>(Add<TCheckBox>(20, 20, 120, 24));
  control->SetCaption("Logout");
  ShowSkinned();
  ASSERT_NE(AdapterOf(control), nullptr);
  const HWND wnd = control->Handle();
  int clicked = 0;
  control->OnClick = [&](TObject*) {
    ++clicked;
    TButtonControl* doomed = std::exchange(control, nullptr);
    doomed->Free();
  };
  kvtest::Click(wnd, {10, 10});
  EXPECT_EQ(clicked, 1);
  EXPECT_EQ(control, nullptr);
  EXPECT_FALSE(IsWindow(wnd));
  kvtest::HoverOut();
  EXPECT_TRUE(freed.Intact());
}

INSTANTIATE_TEST_SUITE_P(Controls, ClickedControlFreed,
                         ::testing::Values(TClicked::Button, TClicked::CheckBox));

// A standard combo box freed by its OnChange as an item of its open list is
// picked with the pointer: the list's adapter is in the middle of the
// button-up that made the pick.
class PickedComboFreed : public SkinnedFormFixture {};

TEST_F(PickedComboFreed, NothingOfTheBoxOrItsAdaptersIsTouchedAfterTheFree) {
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const kvtest::TFreedMemoryCheck freed;
  auto* combo = Add<TComboBox>(20, 20, 160, 24);
  combo->SetStyle(csDropDownList);
  for (const char* text : {"COM1", "COM2", "COM3"}) combo->Items()->Add(text);
  ShowSkinned();
  ASSERT_NE(AdapterOf(combo), nullptr);
  const HWND wnd = combo->Handle();
  int changed = 0;
  combo->OnChange = [&](TObject*) {
    ++changed;
    TComboBox* doomed = std::exchange(combo, nullptr);
    doomed->Free();
  };
  RECT r{};
  GetClientRect(wnd, &r);
  kvtest::Click(wnd, {r.right - 8, r.bottom / 2});
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(wnd, &info));
  ASSERT_TRUE(pump::PumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; }));
  RECT item{};
  SendMessageW(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  kvtest::Click(info.hwndList, {item.left + 10, (item.top + item.bottom) / 2});
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(combo, nullptr);
  EXPECT_FALSE(IsWindow(wnd));
  kvtest::HoverOut();
  EXPECT_TRUE(freed.Intact());
}

// A string grid (the history grid's kind) freed by its OnSelectCell as the
// user moves to another cell, by a click or by an arrow key, or by its
// OnEnter as a click gives it the focus: the grid's own move and its adapter
// are in the middle of that message.
enum class TMoved { Click, Key, ClickIntoFocus };

class SelectedCellFreed : public SkinnedFormFixture, public ::testing::WithParamInterface<TMoved> {
 protected:
  void TearDown() override {
    kvtest::HoverOut();
    SkinnedFormFixture::TearDown();
  }
};

TEST_P(SelectedCellFreed, NothingOfTheGridOrItsAdapterIsTouchedAfterTheFree) {
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  const kvtest::TFreedMemoryCheck freed;
  auto* grid = Add<TStringGrid>(20, 20, 300, 200);
  grid->SetColCount(4);
  grid->SetRowCount(8);
  ShowSkinned();
  ASSERT_NE(AdapterOf(grid), nullptr);
  const HWND wnd = grid->Handle();
  const TRect target = grid->CellRect(2, 3);
  int asked = 0;
  const auto freeIt = [&] {
    ++asked;
    TStringGrid* doomed = std::exchange(grid, nullptr);
    doomed->Free();
  };
  if (GetParam() == TMoved::ClickIntoFocus) {
    grid->OnEnter = [&](TObject*) { freeIt(); };
    kvtest::Click(wnd, {target.Left + 4, target.Top + 4});
  } else {
    kvtest::Click(wnd, {target.Left + 4, target.Top + 4});
    ASSERT_TRUE(pump::PumpUntil([&] { return GetFocus() == wnd; }));
    grid->OnSelectCell = [&](TObject*, int, int, bool&) { freeIt(); };
  }
  if (GetParam() == TMoved::Click) {
    const TRect other = grid->CellRect(1, 2);
    kvtest::Click(wnd, {other.Left + 4, other.Top + 4});
  } else if (GetParam() == TMoved::Key) {
    INPUT keys[2]{};
    for (INPUT& k : keys) {
      k.type = INPUT_KEYBOARD;
      k.ki.wVk = VK_DOWN;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    pump::PumpUntil([&] { return asked > 0; });
    pump::PumpUntilIdle();
  }
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(grid, nullptr);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_TRUE(freed.Intact());
}

INSTANTIATE_TEST_SUITE_P(Moves, SelectedCellFreed,
                         ::testing::Values(TMoved::Click, TMoved::Key, TMoved::ClickIntoFocus));

// The program takes the skinning away (frees the form's provider, or a
// frame's adapter, and with it the window adapters and the skin data they
// were given) from a control's own handler, in the middle of a message the
// control's window adapter goes on with: the program moving a button, the
// system painting a frame's border (on its own, or from inside the frame's
// paint, which the frame adapter does), the release after a drag of a
// memo's thumb. Nothing freed is read afterwards, and the window, still there, has
// the whole message.
enum class TDuring { ButtonMoved, FrameBorderPainted, FramePainted, MemoThumbReleased };

class SkinningTakenAway : public SkinnedFormFixture, public ::testing::WithParamInterface<TDuring> {
 protected:
  void TearDown() override {
    kvtest::HoverOut();
    SkinnedFormFixture::TearDown();
  }
};

TEST_P(SkinningTakenAway, MidMessageNothingFreedIsReadAndTheWindowHasItAll) {
  const TDuring during = GetParam();
  kvtest::HoverOut();
  const kvtest::TFreedMemoryCheck freed;
  TWinControl* control = nullptr;
  TComponent* skinning = nullptr;
  UINT message = 0;
  switch (during) {
    case TDuring::ButtonMoved:
      control = Add<TButton>(20, 20, 90, 28);
      message = WM_MOVE;
      break;
    case TDuring::FrameBorderPainted:
    case TDuring::FramePainted: {
      auto* frame = Add<TFrame>(20, 20, 160, 100);
      skinning = Create<TsFrameAdapter>(frame);
      control = frame;
      message = WM_NCPAINT;
      break;
    }
    case TDuring::MemoThumbReleased: {
      auto* memo = Add<TMemo>(20, 20, 200, 120);
      memo->SetScrollBars(ssVertical);
      std::string text;
      for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + "\r\n";
      memo->SetText(text);
      control = memo;
      message = WM_VSCROLL;
      break;
    }
  }
  // The control's handler, in place before its window adapter comes on top.
  bool armed = false;
  int taken = 0, releases = 0, painting = 0;
  TWindowProcHook handler;
  handler = control->InstallWindowProcHook(TWndMethod([&](TMessage& m) {
    if (m.Msg == WM_LBUTTONUP) ++releases;
    painting += m.Msg == WM_PAINT;
    handler.CallPrevious(m);
    painting -= m.Msg == WM_PAINT;
    const bool last = m.Msg != WM_VSCROLL || LOWORD(m.WParam) == SB_ENDSCROLL;
    const bool inPaint = during != TDuring::FramePainted || painting > 0;
    if (!armed || m.Msg != message || !last || !inPaint) return;
    armed = false;
    ++taken;
    if (skinning == provider) provider = nullptr;
    std::exchange(skinning, nullptr)->Free();
  }));
  ShowSkinned();
  if (skinning == nullptr) skinning = provider;
  ASSERT_NE(AdapterOf(control), nullptr);
  armed = true;
  switch (during) {
    case TDuring::ButtonMoved:
      control->SetLeft(control->Left() + 10);
      break;
    case TDuring::FrameBorderPainted:
      SendMessageW(control->Handle(), WM_NCPAINT, 1, 0);
      break;
    case TDuring::FramePainted:
      // The adapter's paint begins with BeginPaint, which sends the border's.
      RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
      break;
    case TDuring::MemoThumbReleased:
      DragThumbToEnd(control);
      break;
  }
  pump::PumpUntilIdle();
  EXPECT_EQ(taken, 1);
  EXPECT_EQ(AdapterOf(control), nullptr);
  if (during == TDuring::MemoThumbReleased) {
    EXPECT_EQ(releases, 1) << "the window lost its release";
  }
  EXPECT_EQ(freed.Faults(), 0u);
  EXPECT_TRUE(freed.Intact());
  handler.Remove();
}

std::string DuringName(const ::testing::TestParamInfo<TDuring>& info) {
  static const char* const names[] = {"ButtonMoved", "FrameBorderPainted", "FramePainted",
                                      "MemoThumbReleased"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Messages, SkinningTakenAway,
                         ::testing::Values(TDuring::ButtonMoved, TDuring::FrameBorderPainted,
                                           TDuring::FramePainted, TDuring::MemoThumbReleased),
                         DuringName);

// A speed button has no window to say it is going: its handler learns it
// from its hook. The next walk forgets the button, and the form's end
// leaves it alone.
using SpeedButtonFreed = SkinnedFormFixture;

TEST_F(SpeedButtonFreed, TheNextWalkDropsItAndTheFormsEndLeavesItAlone) {
  const kvtest::TFreedMemoryCheck freed;
  auto* button = Create<TSpeedButton>(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 23, 22);
  ShowSkinned();
  const auto items = [&] {
    const auto& all = Adapter()->GraphItems;
    return std::count_if(all.begin(), all.end(), [&](const auto& i) { return i->Ctrl == button; });
  };
  ASSERT_EQ(items(), 1);
  button->Free();
  Command(form->Handle(), cmdAdaptControl, 0);
  pump::PumpUntilIdle();
  EXPECT_EQ(items(), 0);
  std::exchange(form, nullptr)->Free();
  EXPECT_EQ(freed.Faults(), 0u);
  EXPECT_TRUE(freed.Intact());
}

}  // namespace
}  // namespace kv
