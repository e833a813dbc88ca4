// A control freed by one of its own mouse events, reached by the real cursor:
// nothing of it is touched afterwards (the freed-memory check makes a look
// at it fault), and its form goes on taking the mouse.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <utility>

#include "classlib/Buttons.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"
#include "support/Pump.h"

using namespace kv;

namespace {

enum class TKind { Windowless, Windowed, SpeedButton };
enum class TEvent { MouseMove, MouseDown, Click, MouseUp, DblClick };

class FreedByItsOwnEvent : public ::testing::TestWithParam<std::tuple<TKind, TEvent>> {
 protected:
  void SetUp() override {
    kvtest::HoverOut();
    form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetFormStyle(fsStayOnTop);
    form->SetBounds(400, 300, 200, 100);
  }
  void TearDown() override {
    form->Free();
    kvtest::HoverOut();
  }
  TControl* Make(TKind kind) {
    TControl* c = nullptr;
    if (kind == TKind::Windowed)
      c = Create<TPanel>(form);
    else if (kind == TKind::SpeedButton)
      c = Create<TSpeedButton>(form);
    else
      c = Create<TImage>(form);
    c->SetParent(form);
    c->SetBounds(20, 20, 60, 40);
    return c;
  }

  TForm* form = nullptr;
};

TEST_P(FreedByItsOwnEvent, NothingOfItIsTouchedAfterwards) {
  const auto [kind, event] = GetParam();
  const kvtest::TFreedMemoryCheck freed;
  TControl* c = Make(kind);
  int calls = 0;
  // The handler goes with the control: it touches nothing after the free.
  const auto freeIt = [&] {
    ++calls;
    std::exchange(c, nullptr)->Free();
  };
  const auto mouse = [&](TObject*, TMouseButton, TShiftState, int, int) { freeIt(); };
  switch (event) {
    case TEvent::MouseMove:
      c->OnMouseMove = [&](TObject*, TShiftState, int, int) { freeIt(); };
      break;
    case TEvent::MouseDown:
      c->OnMouseDown = mouse;
      break;
    case TEvent::Click:
      c->OnClick = [&](TObject*) { freeIt(); };
      break;
    case TEvent::MouseUp:
      c->OnMouseUp = mouse;
      break;
    case TEvent::DblClick:
      c->OnDblClick = [&](TObject*) { freeIt(); };
      break;
  }
  form->Show();
  kv::pump::PumpUntilIdle();
  // A windowless control takes the mouse through its form's window.
  const bool windowed = kind == TKind::Windowed;
  const HWND wnd = windowed ? static_cast<TWinControl*>(c)->Handle() : form->Handle();
  const POINT at = windowed ? POINT{10, 10} : POINT{30, 30};
  if (event == TEvent::MouseMove) {
    kvtest::MouseMove(wnd, at);
  } else {
    kvtest::Click(wnd, at);
    if (event == TEvent::DblClick) {
      PostMessageW(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
      kv::pump::PumpUntilIdle();
      if (IsWindow(wnd)) kvtest::MouseUp(wnd, at);
    }
  }
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(c, nullptr);
  kvtest::Click(form->Handle(), {150, 80});
  EXPECT_EQ(freed.Faults(), 0u) << "the freed control was touched";
  EXPECT_TRUE(freed.Intact());
}

std::string RowName(const ::testing::TestParamInfo<std::tuple<TKind, TEvent>>& info) {
  static const char* const kinds[] = {"Windowless", "Windowed", "SpeedButton"};
  static const char* const events[] = {"MouseMove", "MouseDown", "Click", "MouseUp", "DblClick"};
  return std::string(kinds[static_cast<int>(std::get<0>(info.param))]) +
         events[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(
    Controls, FreedByItsOwnEvent,
    ::testing::Combine(::testing::Values(TKind::Windowless, TKind::Windowed, TKind::SpeedButton),
                       ::testing::Values(TEvent::MouseMove, TEvent::MouseDown, TEvent::Click,
                                         TEvent::MouseUp, TEvent::DblClick)),
    RowName);

}  // namespace
