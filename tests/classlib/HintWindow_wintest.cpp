// Hints: the application shows a control's hint once the mouse rests on it,
// asks the control with CM_HINTSHOW first, and puts it away after the hide
// pause, on a press, or when the mouse moves to a control without hints.
// The mouse is told by messages; the tests wait for the hint window to show
// or go, never for a time.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "classlib/Forms.h"
#include "support/Pump.h"

namespace kv {
namespace {

using pump::PumpUntil;

// A control that lets a test answer CM_HINTSHOW.
class THinted : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::function<LRESULT(THintInfo&)> OnHintShow;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_HINTSHOW && OnHintShow) {
      m.Result = OnHintShow(*reinterpret_cast<THintInfo*>(m.LParam));
      return;
    }
    TCustomControl::Dispatch(m);
  }
};

class Hints : public ::testing::Test {
 public:
  void SetUp() override {
    savedPause = Application->HintPause();
    savedHide = Application->HintHidePause();
    Application->SetHintPause(1);
    Application->SetHintHidePause(60000);
    form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(300, 200, 300, 200);
    hinted = Add("Alpha", 10, 10);
    hinted->SetShowHint(true);
    plain = Add("Beta", 150, 10);
    form->Show();
    pump::PumpUntilIdle();
  }
  void TearDown() override {
    Application->CancelHint();
    form->Free();
    Application->SetHintPause(savedPause);
    Application->SetHintHidePause(savedHide);
  }
  THinted* Add(const std::string& hint, int left, int top) {
    auto* c = Create<THinted>(form);
    c->SetParent(form);
    c->SetBounds(left, top, 100, 60);
    c->SetHint(hint);
    return c;
  }
  static void MoveOver(TWinControl* c, int x, int y) {
    SendMessageW(c->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }
  static bool HintShows() {
    return PumpUntil([] { return Application->HintWindow() != nullptr; });
  }
  static bool HintGoes() {
    return PumpUntil([] { return Application->HintWindow() == nullptr; });
  }

  TForm* form = nullptr;
  THinted* hinted = nullptr;
  THinted* plain = nullptr;
  int savedPause = 0;
  int savedHide = 0;
};

TEST_F(Hints, AControlsHintShowsBelowTheRestingMouseWithoutTakingTheFocus) {
  HWND active = GetActiveWindow();
  MoveOver(hinted, 20, 15);
  ASSERT_TRUE(HintShows());
  THintWindow* w = Application->HintWindow();
  EXPECT_EQ("Alpha", w->Caption());
  const TPoint mouse = hinted->ClientToScreen({20, 15});
  RECT r{};
  GetWindowRect(w->Handle(), &r);
  EXPECT_EQ(mouse.X, r.left);
  EXPECT_EQ(mouse.Y + GetSystemMetrics(SM_CYCURSOR), r.top);
  EXPECT_TRUE(GetWindowLongW(w->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(active, GetActiveWindow());
}

TEST_F(Hints, NoHintWithoutShowHintOrWithTheApplicationsOff) {
  MoveOver(plain, 20, 15);
  Application->SetShowHint(false);
  MoveOver(hinted, 20, 15);
  EXPECT_FALSE(PumpUntil([] { return Application->HintWindow() != nullptr; }, 200));
  Application->SetShowHint(true);
}

TEST_F(Hints, TheControlAskedFirstMayChangeOrKeepBackItsHint) {
  const struct {
    const char* name;
    LRESULT result;
    std::string text;
    bool shown;
  } rows[] = {
      {"kept back", 1, "Alpha", false}, {"changed", 0, "Gamma", true}, {"emptied", 0, "", false}};
  for (const auto& row : rows) {
    hinted->OnHintShow = [&](THintInfo& info) {
      EXPECT_EQ(hinted, info.HintControl);
      EXPECT_EQ((TPoint{20, 15}), info.CursorPos);
      EXPECT_EQ("Alpha", info.HintStr);
      info.HintStr = row.text;
      return row.result;
    };
    Application->CancelHint();
    MoveOver(hinted, 20, 15);
    if (row.shown) {
      ASSERT_TRUE(HintShows()) << row.name;
      EXPECT_EQ(row.text, Application->HintWindow()->Caption()) << row.name;
    } else {
      EXPECT_FALSE(PumpUntil([] { return Application->HintWindow() != nullptr; }, 200)) << row.name;
    }
  }
}

TEST_F(Hints, ALongHintIsBrokenIntoLinesAtTheMaximumWidth) {
  const std::string text = "A long hint that cannot stand on one line of a narrow window";
  hinted->SetHint(text);
  auto* w = Create<THintWindow>(form);
  const TRect one = w->CalcHintRect(2000, text);
  const TRect narrow = w->CalcHintRect(120, text);
  EXPECT_LE(narrow.Width(), 120 + 20);
  EXPECT_GE(narrow.Height(), 3 * (one.Height() - 8));
  hinted->OnHintShow = [](THintInfo& info) {
    info.HintMaxWidth = 120;
    return LRESULT{0};
  };
  MoveOver(hinted, 20, 15);
  ASSERT_TRUE(HintShows());
  EXPECT_EQ(narrow.Width(), Application->HintWindow()->Width());
  EXPECT_EQ(narrow.Height(), Application->HintWindow()->Height());
}

TEST_F(Hints, TheHintGoesAfterTheHidePauseOnAPressOrOnAControlWithoutHints) {
  const struct {
    const char* name;
    bool beforeShowing;
    std::function<void(Hints*)> act;
  } rows[] = {
      {"hide pause", true, [](Hints*) { Application->SetHintHidePause(1); }},
      {"press", false,
       [](Hints* t) {
         SendMessageW(t->hinted->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 15));
         SendMessageW(t->hinted->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 15));
       }},
      {"other control", false, [](Hints* t) { MoveOver(t->plain, 20, 15); }},
  };
  int asked = 0;
  hinted->OnHintShow = [&](THintInfo&) {
    ++asked;
    return LRESULT{0};
  };
  for (const auto& row : rows) {
    Application->SetHintHidePause(60000);
    Application->CancelHint();
    asked = 0;
    if (row.beforeShowing) row.act(this);
    MoveOver(hinted, 20, 15);
    // A short hide pause may end before the window is looked at.
    ASSERT_TRUE(PumpUntil([&] { return asked > 0; })) << row.name;
    if (!row.beforeShowing) {
      ASSERT_NE(nullptr, Application->HintWindow()) << row.name;
      row.act(this);
    }
    EXPECT_TRUE(HintGoes()) << row.name;
  }
}

TEST_F(Hints, AControlFreedWhileItsHintWaitsShowsNothing) {
  Application->SetHintPause(50);
  MoveOver(hinted, 20, 15);
  hinted->Free();
  hinted = nullptr;
  EXPECT_FALSE(PumpUntil([] { return Application->HintWindow() != nullptr; }, 300));
}

TEST(HintFlags, AChildFollowsItsParentsShowHintUntilItSetsItsOwn) {
  TForm* form = Create<TForm>(nullptr);
  auto* child = Create<TCustomControl>(form);
  child->SetParent(form);
  EXPECT_TRUE(child->ParentShowHint());
  form->SetShowHint(true);
  EXPECT_TRUE(child->ShowHint());
  form->SetShowHint(false);
  EXPECT_FALSE(child->ShowHint());
  child->SetShowHint(true);
  EXPECT_FALSE(child->ParentShowHint());
  form->SetShowHint(false);
  EXPECT_TRUE(child->ShowHint());
  child->SetParentShowHint(true);
  EXPECT_FALSE(child->ShowHint());
  form->Free();
}

}  // namespace
}  // namespace kv
