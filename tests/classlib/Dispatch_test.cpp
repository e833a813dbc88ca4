// The order in which a control's window-procedure chain sees a message, for
// messages from Win32 and from Perform, with the chain's entry replaced and
// restored; reflection of a child's notifications back to the child.
#include <gtest/gtest.h>
#include <windows.h>

#include "MessageLog.h"
#include "classlib/Controls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

using namespace kv;
using kvtest::SequenceIs;

namespace {

constexpr UINT kProbe = WM_APP + 17;
kvtest::TMessageLog g_log;

class TProbeBase : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void WndProc(TMessage& m) override {
    if (m.Msg == kProbe) g_log.Add("base WndProc");
    TCustomControl::WndProc(m);
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == kProbe) {
      g_log.Add("base handler");
      m.Result = 7;
    }
    TCustomControl::Dispatch(m);
  }
  void DefaultHandler(TMessage& m) override {
    if (m.Msg == kProbe) g_log.Add("DefaultHandler");
    TCustomControl::DefaultHandler(m);
  }
};

class TProbe : public TProbeBase {
 public:
  using TProbeBase::TProbeBase;
  void WndProc(TMessage& m) override {
    if (m.Msg == kProbe) g_log.Add("derived WndProc");
    TProbeBase::WndProc(m);
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == kProbe) {
      g_log.Add("derived handler");
      TProbeBase::Dispatch(m);  // inherited
      g_log.Add("derived handler after inherited");
      return;
    }
    TProbeBase::Dispatch(m);
  }
};

// Replaces a control's WindowProc the way hooks do: save, install, restore.
class THook {
 public:
  explicit THook(TControl* c) : control_(c) {
    saved_ = c->WindowProc;
    c->WindowProc = TWndMethod(this, &THook::Proc);
  }
  void Restore() {
    if (control_->WindowProc == TWndMethod(this, &THook::Proc)) control_->WindowProc = saved_;
  }
  void Proc(TMessage& m) {
    if (m.Msg == kProbe) g_log.Add("hook");
    saved_(m);
    if (m.Msg == kProbe) g_log.Add("hook after saved");
  }

 private:
  TControl* control_;
  TWndMethod saved_;
};

struct DispatchTest : ::testing::Test {
  void SetUp() override {
    form = Create<TForm>(nullptr);
    probe = Create<TProbe>(form);
    probe->SetParent(form);
    probe->SetBounds(5, 5, 50, 30);
    form->HandleNeeded();
    g_log.Clear();
  }
  void TearDown() override { form->Free(); }
  TForm* form = nullptr;
  TProbe* probe = nullptr;
};

const std::vector<std::string> kPlainChain = {"derived WndProc", "base WndProc",
                                              "derived handler", "base handler",
                                              "DefaultHandler",  "derived handler after inherited"};

TEST_F(DispatchTest, Win32MessageRunsWndProcThenHandlersThenDefaultHandlerOnce) {
  ASSERT_TRUE(probe->HandleAllocated());
  const LRESULT r = SendMessageW(probe->Handle(), kProbe, 1, 2);
  EXPECT_TRUE(SequenceIs(g_log, kPlainChain));
  // DefWindowProc answers 0 for an unknown message; it ran after our handler.
  EXPECT_EQ(r, 0);
}

TEST_F(DispatchTest, PerformRunsTheSameChainAsWin32) {
  probe->Perform(kProbe, 1, 2);
  EXPECT_TRUE(SequenceIs(g_log, kPlainChain));
}

TEST_F(DispatchTest, ReplacedWindowProcSeesMessageFirstAndRestoredOneNoLonger) {
  THook hook(probe);
  SendMessageW(probe->Handle(), kProbe, 0, 0);
  std::vector<std::string> hooked = {"hook"};
  hooked.insert(hooked.end(), kPlainChain.begin(), kPlainChain.end());
  hooked.push_back("hook after saved");
  EXPECT_TRUE(SequenceIs(g_log, hooked));

  hook.Restore();
  g_log.Clear();
  probe->Perform(kProbe, 0, 0);
  EXPECT_TRUE(SequenceIs(g_log, kPlainChain));
}

TEST_F(DispatchTest, HooksRemovedOutOfOrderLeaveTheOtherInPlace) {
  THook first(probe);
  THook second(probe);
  first.Restore();  // not on top: stays, as removing it would cut off `second`
  probe->Perform(kProbe, 0, 0);
  EXPECT_EQ(std::count(g_log.entries.begin(), g_log.entries.end(), "hook"), 2);
  second.Restore();
  first.Restore();
  g_log.Clear();
  probe->Perform(kProbe, 0, 0);
  EXPECT_TRUE(SequenceIs(g_log, kPlainChain));
}

// A hook installed through the control, removable in any order.
class TSplicedHook {
 public:
  TSplicedHook(TControl* c, std::string name) : name_(std::move(name)) {
    hook_ = c->InstallWindowProcHook(TWndMethod(this, &TSplicedHook::Proc));
  }
  void Remove() { hook_.Remove(); }
  void Proc(TMessage& m) {
    if (m.Msg == kProbe) g_log.Add(name_);
    hook_.CallPrevious(m);
  }

 private:
  std::string name_;
  TWindowProcHook hook_;
};

TEST_F(DispatchTest, HooksInstalledThroughTheControlCanBeRemovedInAnyOrder) {
  TSplicedHook lower(probe, "lower");
  TSplicedHook middle(probe, "middle");
  TSplicedHook upper(probe, "upper");
  middle.Remove();
  probe->Perform(kProbe, 0, 0);
  std::vector<std::string> expected = {"upper", "lower"};
  expected.insert(expected.end(), kPlainChain.begin(), kPlainChain.end());
  EXPECT_TRUE(SequenceIs(g_log, expected));
  lower.Remove();
  upper.Remove();
  EXPECT_TRUE(probe->WindowProc == TWndMethod(static_cast<TControl*>(probe), &TControl::WndProc));
  g_log.Clear();
  probe->Perform(kProbe, 0, 0);
  EXPECT_TRUE(SequenceIs(g_log, kPlainChain));
}

TEST(TWndMethod, EqualOnlyForSameObjectAndMember) {
  TForm* a = Create<TForm>(nullptr);
  TForm* b = Create<TForm>(nullptr);
  EXPECT_TRUE(TWndMethod(a, &TControl::WndProc) == TWndMethod(a, &TControl::WndProc));
  EXPECT_FALSE(TWndMethod(a, &TControl::WndProc) == TWndMethod(b, &TControl::WndProc));
  EXPECT_FALSE(TWndMethod(a, &TControl::WndProc) == TWndMethod(a, &TControl::Dispatch));
  EXPECT_TRUE(a->WindowProc == TWndMethod(a, &TControl::WndProc));
  a->Free();
  b->Free();
}

// A wrapped system button: its class is ours, its painting and clicking the system's.
class TTestButton : public TWinControl {
 public:
  explicit TTestButton(TComponent* owner) : TWinControl(owner) {
    // Clicks come from the system button's notification only.
    SetControlStyle(ControlStyle() & ~csClickEvents);
  }
  std::vector<UINT> reflected;
  void Dispatch(TMessage& m) override {
    if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x200) reflected.push_back(m.Msg);
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) Click();
    TWinControl::Dispatch(m);
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TWinControl::CreateParams(p);
    CreateSubClass(p, L"BUTTON");
    p.Style |= BS_PUSHBUTTON;
  }
};

TEST(Reflection, ChildNotificationComesBackToTheChildAsComponentMessage) {
  WNDCLASSW before{};
  ASSERT_TRUE(GetClassInfoW(nullptr, L"BUTTON", &before));
  Owned<TForm> form = CreateOwned<TForm>();
  auto* button = Create<TTestButton>(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 80, 24);
  button->SetCaption("OK");
  int clicks = 0;
  button->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, button);
    ++clicks;
  };
  form->HandleNeeded();

  wchar_t cls[64] = {};
  GetClassNameW(button->Handle(), cls, 64);
  EXPECT_STREQ(cls, L"TTestButton") << "each control class has its own window class";
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  ASSERT_FALSE(button->reflected.empty());
  EXPECT_EQ(button->reflected.front(), CN_COMMAND);

  // Our class never changed the system's.
  WNDCLASSW after{};
  ASSERT_TRUE(GetClassInfoW(nullptr, L"BUTTON", &after));
  EXPECT_EQ(after.lpfnWndProc, before.lpfnWndProc);
  EXPECT_EQ(button->Text(), "OK");
}

TEST(Reflection, ColourMessagesAnswerWithTheChildsColour) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* child = Create<TCustomControl>(form.get());
  child->SetParent(form.get());
  child->SetColor(clRed);
  form->HandleNeeded();
  HDC dc = GetDC(child->Handle());
  const auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(child->Handle())));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 0, 0));
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectW(brush, sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, RGB(255, 0, 0));
  ReleaseDC(child->Handle(), dc);
}

TEST(ComponentMessages, SettersAnnounceTheirChangesOnce) {
  struct TWatcher : TCustomControl {
    using TCustomControl::TCustomControl;
    std::vector<UINT> seen;
    void Dispatch(TMessage& m) override {
      if (m.Msg >= CM_BASE && m.Msg <= CM_LAST) seen.push_back(m.Msg);
      TCustomControl::Dispatch(m);
    }
  };
  Owned<TForm> form = CreateOwned<TForm>();
  auto* w = Create<TWatcher>(form.get());
  w->SetParent(form.get());
  form->Show();
  w->seen.clear();
  w->SetEnabled(false);
  w->SetEnabled(false);
  w->SetCaption("x");
  w->SetColor(clLime);
  w->SetColor(clLime);
  w->Font()->SetStyle(fsBold);
  w->SetVisible(false);
  const std::vector<UINT> expected = {CM_ENABLEDCHANGED, CM_TEXTCHANGED,   CM_COLORCHANGED,
                                      CM_INVALIDATE,     CM_FONTCHANGED,   CM_INVALIDATE,
                                      CM_VISIBLECHANGED, CM_SHOWINGCHANGED};
  std::vector<UINT> got;
  for (UINT m : w->seen)
    if (m != CM_INVALIDATE) got.push_back(m);
  std::vector<UINT> want;
  for (UINT m : expected)
    if (m != CM_INVALIDATE) want.push_back(m);
  EXPECT_EQ(got, want);
  EXPECT_FALSE(IsWindowEnabled(w->Handle()));
  EXPECT_FALSE(IsWindowVisible(w->Handle()));
}

TEST(ComponentMessages, ChildrenFollowParentFontAndColourUntilGivenTheirOwn) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* a = Create<TCustomControl>(form.get());
  auto* b = Create<TCustomControl>(form.get());
  a->SetParent(form.get());
  b->SetParent(form.get());
  b->Font()->SetName("Courier New");
  form->Font()->SetHeight(-20);
  form->SetColor(clYellow);
  EXPECT_EQ(a->Font()->Height(), -20);
  EXPECT_TRUE(a->ParentFont());
  EXPECT_EQ(a->Color(), clYellow);
  EXPECT_FALSE(b->ParentFont());
  EXPECT_EQ(b->Font()->Height(), -11);
  b->SetColor(clRed);
  form->SetColor(clBlue);
  EXPECT_EQ(b->Color(), clRed);
  EXPECT_EQ(a->Color(), clBlue);
}

// A new colour keeps the font's handle: the window is only repainted. A new
// size gives it the new font (setting the same font again would make an edit
// lay out its text anew and take back margins of its own).
TEST(ComponentMessages, AFontColourRepaintsAndANewFontReachesTheWindow) {
  struct TWatchedEdit : TEdit {
    using TEdit::TEdit;
    int setFonts = 0;
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_SETFONT) ++setFonts;
      TEdit::WndProc(m);
    }
  };
  Owned<TForm> form = CreateOwned<TForm>();
  auto* edit = Create<TWatchedEdit>(form.get());
  edit->SetParent(form.get());
  form->Show();
  const HWND wnd = edit->Handle();
  SendMessageW(wnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(7, 9));
  UpdateWindow(wnd);
  edit->setFonts = 0;

  edit->Font()->SetColor(clRed);
  EXPECT_EQ(edit->setFonts, 0);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(wnd, &update, FALSE)) << "the new colour is painted";
  EXPECT_EQ(SendMessageW(wnd, EM_GETMARGINS, 0, 0), MAKELRESULT(7, 9));

  edit->Font()->SetHeight(-20);
  EXPECT_EQ(edit->setFonts, 1);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0)), edit->Font()->Handle());
}

// Whether a control has the keyboard focus follows the focus wherever it
// goes: between our controls, to a window that is not ours, to none, and
// away from a control that is destroyed.
TEST(ComponentMessages, FocusedFollowsTheFocusToOursAndOtherWindows) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(0, 0, 300, 120);
  const auto edit = [&](int top) {
    auto* e = Create<TEdit>(form.get());
    e->SetParent(form.get());
    e->SetTop(top);
    return e;
  };
  TEdit* first = edit(0);
  TEdit* second = edit(30);
  form->Show();
  SetForegroundWindow(form->Handle());
  const HWND foreign = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 150, 0, 100, 20,
                                       form->Handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(foreign, nullptr);
  const auto check = [&](const char* step) {
    EXPECT_EQ(first->Focused(), GetFocus() == first->Handle()) << step;
    EXPECT_EQ(second->Focused(), GetFocus() == second->Handle()) << step;
  };
  SetFocus(first->Handle());
  ASSERT_EQ(GetFocus(), first->Handle()) << "the test needs the focus";
  check("first");
  EXPECT_TRUE(first->Focused());
  second->SetFocus();
  check("second");
  EXPECT_TRUE(second->Focused());
  SetFocus(foreign);
  check("a window not ours");
  EXPECT_FALSE(first->Focused() || second->Focused());
  SetFocus(first->Handle());
  check("back to the first");
  SetFocus(nullptr);
  check("none");
  EXPECT_FALSE(first->Focused());
  second->SetFocus();
  const HWND gone = second->Handle();
  second->Free();
  EXPECT_NE(GetFocus(), gone);
  EXPECT_EQ(first->Focused(), GetFocus() == first->Handle()) << "the focused one destroyed";
  DestroyWindow(foreign);
}

}  // namespace
