// Forms: window styles from the border properties, focus bookkeeping and
// keyboard navigation, key preview, menus, and forms inside controls.
#include "classlib/Forms.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "MessageLog.h"
#include "classlib/WideText.h"
#include "support/ModalProbe.h"

using namespace kv;
using kvtest::SequenceIs;

namespace {

struct StyleCase {
  TFormBorderStyle border;
  TBorderIcons icons;
  DWORD styleOn;
  DWORD styleOff;
  DWORD exOn;
};

TEST(FormStyles, BorderPropertiesGiveTheConventionalWindowStyles) {
  const StyleCase cases[] = {
      {bsNone, biSystemMenu, WS_POPUP, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0},
      {bsSingle, biSystemMenu | biMinimize, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
       WS_THICKFRAME | WS_MAXIMIZEBOX, 0},
      {bsSizeable, biSystemMenu | biMinimize | biMaximize,
       WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 0},
      {bsDialog, biSystemMenu | biMinimize, WS_CAPTION | WS_SYSMENU, WS_MINIMIZEBOX | WS_THICKFRAME,
       WS_EX_DLGMODALFRAME},
      {bsToolWindow, biSystemMenu, WS_CAPTION, WS_THICKFRAME, WS_EX_TOOLWINDOW},
      {bsSizeToolWin, 0, WS_CAPTION | WS_THICKFRAME, WS_SYSMENU, WS_EX_TOOLWINDOW},
      {bsSingle, biSystemMenu | biHelp, WS_SYSMENU, 0, WS_EX_CONTEXTHELP},
  };
  for (const StyleCase& c : cases) {
    Owned<TForm> form = CreateOwned<TForm>();
    form->SetBorderStyle(c.border);
    form->SetBorderIcons(c.icons);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(form->Handle(), GWL_STYLE));
    const DWORD ex = static_cast<DWORD>(GetWindowLongW(form->Handle(), GWL_EXSTYLE));
    EXPECT_EQ(style & c.styleOn, c.styleOn)
        << "border " << c.border << " style 0x" << std::hex << style;
    EXPECT_EQ(style & c.styleOff, 0u) << "border " << c.border << " style 0x" << std::hex << style;
    EXPECT_EQ(ex & c.exOn, c.exOn) << "border " << c.border << " ex style 0x" << std::hex << ex;
  }
}

class TMessageFormLike : public TForm {
 public:
  explicit TMessageFormLike(TComponent* owner) : TForm(owner) {
    SetBounds(0, 0, 200, 100);  // sizing while constructing makes no window yet
  }

 protected:
  void CreateParams(TCreateParams& p) override {
    TForm::CreateParams(p);
    p.ExStyle |= WS_EX_APPWINDOW;
  }
};

TEST(FormStyles, DerivedFormGetsItsOwnWindowClassAndParams) {
  Owned<TMessageFormLike> form = CreateOwned<TMessageFormLike>();
  EXPECT_FALSE(form->HandleAllocated());
  wchar_t cls[32] = {};
  GetClassNameW(form->Handle(), cls, 32);
  EXPECT_STREQ(cls, L"TMessageFormLike");
  EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST(FormStyles, StayOnTopIsATopmostWindow) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetFormStyle(fsStayOnTop);
  EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  form->SetFormStyle(fsNormal);
  EXPECT_FALSE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(FormStyles, MdiFormHasAnMdiClientFillingItsClientArea) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetFormStyle(fsMDIForm);
  form->SetBounds(0, 0, 300, 200);
  form->Show();
  ASSERT_NE(form->ClientHandle(), nullptr);
  wchar_t cls[16] = {};
  GetClassNameW(form->ClientHandle(), cls, 16);
  EXPECT_EQ(_wcsicmp(cls, L"MDICLIENT"), 0) << "class " << kv::Narrow(cls);
  EXPECT_EQ(GetParent(form->ClientHandle()), form->Handle());
  RECT client, mdi;
  GetClientRect(form->Handle(), &client);
  GetWindowRect(form->ClientHandle(), &mdi);
  EXPECT_EQ(mdi.right - mdi.left, client.right);
}

TEST(FormStyles, ClientSizeIsTheInsideOfTheFrame) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBorderStyle(bsSizeable);
  form->SetClientWidth(200);
  form->SetClientHeight(100);
  RECT rc;
  GetClientRect(form->Handle(), &rc);
  EXPECT_EQ(rc.right, 200);
  EXPECT_EQ(rc.bottom, 100);
  EXPECT_GT(form->Width(), 200);
}

TEST(FormStyles, ScreenCentredFormIsPlacedOnFirstShow) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetPosition(poScreenCenter);
  form->SetBounds(0, 0, 200, 100);
  form->Show();
  const TRect area = TScreen::MonitorWorkArea(form->Handle());
  EXPECT_EQ(form->Left(), area.Left + (area.Width() - 200) / 2);
  EXPECT_EQ(form->Top(), area.Top + (area.Height() - 100) / 2);
}

kvtest::TMessageLog g_log;

class TFocusProbe : public TCustomControl {
 public:
  explicit TFocusProbe(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_ENTER) g_log.Add(Name() + " enter");
    if (m.Msg == CM_EXIT) g_log.Add(Name() + " exit");
    if (m.Msg == CM_FOCUSCHANGED && reinterpret_cast<TControl*>(m.LParam) != nullptr &&
        Name() == "a")
      g_log.Add("a told focus is on " + reinterpret_cast<TControl*>(m.LParam)->Name());
    TCustomControl::Dispatch(m);
  }
};

struct Focus : ::testing::Test {
  void SetUp() override {
    form = Create<TForm>(nullptr);
    auto make = [&](const char* name, int x) {
      auto* c = Create<TFocusProbe>(form);
      c->SetName(name);
      c->SetParent(form);
      c->SetBounds(x, 5, 20, 20);
      return c;
    };
    a = make("a", 5);
    b = make("b", 30);
    c = make("c", 55);
    form->Show();
    kvtest::Pump(20);
    g_log.Clear();
  }
  void TearDown() override { form->Free(); }
  TForm* form = nullptr;
  TFocusProbe* a = nullptr;
  TFocusProbe* b = nullptr;
  TFocusProbe* c = nullptr;
};

TEST_F(Focus, MovingTheFocusExitsTheOldControlEntersTheNewAndTellsEveryone) {
  a->SetFocus();
  b->SetFocus();
  EXPECT_TRUE(SequenceIs(
      g_log, {"a enter", "a told focus is on a", "a exit", "b enter", "a told focus is on b"}));
  EXPECT_EQ(form->ActiveControl(), b);
  EXPECT_TRUE(b->Focused());
}

TEST_F(Focus, TabKeyMovesToTheNextTabStopInTabOrder) {
  c->SetTabOrder(0);  // c, a, b
  c->SetFocus();
  EXPECT_TRUE(c->Perform(CN_KEYDOWN, VK_TAB, 0) != 0) << "Tab is the form's";
  EXPECT_EQ(form->ActiveControl(), a);
  b->SetTabStop(false);
  a->Perform(CN_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(form->ActiveControl(), c) << "b is no tab stop and is skipped";
}

TEST_F(Focus, FreeingTheActiveControlClearsTheFormsRecordAndTabOrder) {
  b->SetFocus();
  b->Free();
  b = nullptr;
  EXPECT_EQ(form->ActiveControl(), nullptr);
  c->SetFocus();
  c->Perform(CN_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(form->ActiveControl(), a) << "tab order wraps round without the freed control";
}

TEST_F(Focus, DisablingTheFocusedControlLetsGoOfIt) {
  a->SetFocus();
  a->SetEnabled(false);
  EXPECT_FALSE(a->CanFocus());
  EXPECT_THROW(a->SetFocus(), EInvalidOperation);
}

TEST_F(Focus, KeyPreviewGivesTheFormTheKeyFirst) {
  form->SetKeyPreview(true);
  std::vector<std::string> order;
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    order.push_back("form");
    if (key == 'X') key = 0;  // eaten
  };
  a->OnKeyDown = [&](TObject*, WORD&, TShiftState) { order.push_back("control"); };
  a->SetFocus();
  // As the application's pump does it: preview, then the control's own message.
  for (WORD key : {WORD('A'), WORD('X')}) {
    if (a->Perform(CN_KEYDOWN, key, 0) == 0) SendMessageW(a->Handle(), WM_KEYDOWN, key, 0);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"form", "control", "form"}));
}

TEST_F(Focus, ThePumpPreviewsKeysBeforeTheFocusedControlGetsThem) {
  form->SetKeyPreview(true);
  std::vector<std::string> order;
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    order.push_back("form " + std::string(1, static_cast<char>(key)));
    if (key == 'X') key = 0;
  };
  b->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    order.push_back("b " + std::string(1, static_cast<char>(key)));
  };
  b->SetFocus();
  PostMessageW(b->Handle(), WM_KEYDOWN, 'A', 1);
  PostMessageW(b->Handle(), WM_KEYDOWN, 'X', 1);
  PostMessageW(b->Handle(), WM_KEYDOWN, VK_TAB, 1);
  Application->ProcessMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"form A", "b A", "form X", "form \t"}));
  EXPECT_EQ(form->ActiveControl(), c) << "Tab moved on instead of reaching b";
}

TEST(Menus, CommandFromTheMainMenuRunsTheItemsClick) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* menu = Create<TMainMenu>(form.get());
  auto* file = Create<TMenuItem>(form.get());
  file->SetCaption("&File");
  auto* exit = Create<TMenuItem>(form.get());
  exit->SetCaption("E&xit");
  int clicks = 0;
  exit->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, exit);
    ++clicks;
  };
  menu->Items()->Add(file);
  file->Add(exit);
  form->SetMenu(menu);
  ASSERT_EQ(GetMenu(form->Handle()), menu->Handle());
  EXPECT_EQ(GetMenuItemCount(menu->Handle()), 1);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(exit->Command(), 0), 0);
  EXPECT_EQ(clicks, 1);
  // A menu survives the window being made again.
  form->SetBorderStyle(bsDialog);
  EXPECT_EQ(GetMenu(form->Handle()), menu->Handle());
  EXPECT_TRUE(IsMenu(file->Handle()));
}

// A component that hooks its form from the form's constructor, before the
// window and the menu exist, as a skin provider does.
class TMenuSpy : public TComponent {
 public:
  TMenuSpy(TComponent* owner, TControl* form, kvtest::TMessageLog* log)
      : TComponent(owner), log_(log) {
    hook_ = form->InstallWindowProcHook(TWndMethod(this, &TMenuSpy::Proc));
  }

 private:
  void Proc(TMessage& m) {
    if (m.Msg == WM_INITMENUPOPUP || m.Msg == WM_MEASUREITEM)
      log_->Add("hook " + kvtest::MessageName(m.Msg));
    hook_.CallPrevious(m);
  }
  kvtest::TMessageLog* log_;
  TWindowProcHook hook_;
};

class TSpiedForm : public TForm {
 public:
  TSpiedForm(TComponent* owner, kvtest::TMessageLog* log) : TForm(owner) {
    Create<TMenuSpy>(this, this, log);
  }
};

// A key pressed and let go, as the keyboard delivers it to a window.
void PostKey(HWND wnd, WORD key, bool alt) {
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1 << 29) : 0);
  const LPARAM up = down | (1u << 30) | (1u << 31);
  PostMessageW(wnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
  PostMessageW(wnd, alt ? WM_SYSKEYUP : WM_KEYUP, key, up);
}

TEST(Menus, HookInstalledByTheConstructorSeesTheMainMenusMessagesFirst) {
  kvtest::TMessageLog log;
  Owned<TSpiedForm> form = CreateOwned<TSpiedForm>(&log);
  auto* menu = Create<TMainMenu>(form.get());
  auto* file = Create<TMenuItem>(form.get());
  file->SetCaption("&File");
  auto* exit = Create<TMenuItem>(form.get());
  exit->SetCaption("E&xit");
  menu->Items()->Add(file);
  file->Add(exit);
  menu->SetOwnerDraw(true);
  file->OnClick = [&](TObject*) { log.Add("File opens"); };
  exit->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
    log.Add("Exit measured");
    w = 80;
    h = 20;
  };
  form->SetMenu(menu);
  form->Show();
  kvtest::PumpUntilIdle();
  log.Clear();
  // Alt enters the menu bar, Down opens File's drop-down; the probe closes it.
  kvtest::TModalProbe probe(kvtest::kMenuClass, [](HWND) {});
  PostKey(form->Handle(), VK_MENU, true);
  PostKey(form->Handle(), VK_DOWN, false);
  ASSERT_TRUE(kvtest::PumpUntil([&] { return probe.Found(); }, 5000)) << "the menu never opened";
  kvtest::PumpUntilIdle();
  EXPECT_TRUE(SequenceIs(
      log, {"hook WM_INITMENUPOPUP", "File opens", "hook WM_MEASUREITEM", "Exit measured"}));
}

TEST(FormTeardown, FreeingTheActiveFormRaisesNoActivationEvents) {
  Owned<TForm> other = CreateOwned<TForm>();
  other->Show();
  kvtest::TMessageLog log;
  TForm* form = Create<TForm>(nullptr);
  form->OnActivate = [&](TObject*) { log.Add("activate"); };
  form->OnDeactivate = [&](TObject*) { log.Add("deactivate"); };
  form->Show();
  ASSERT_TRUE(kvtest::PumpUntil([&] { return form->Active(); }));
  log.Clear();
  form->Free();
  EXPECT_TRUE(SequenceIs(log, {}));
}

TEST(FormInControl, ParentedFormIsAChildWindowWithoutCaption) {
  Owned<TForm> host = CreateOwned<TForm>();
  auto* panel = Create<TCustomControl>(host.get());
  panel->SetParent(host.get());
  panel->SetBounds(0, 0, 100, 100);
  auto* inner = Create<TForm>(host.get());
  inner->SetParent(panel);
  inner->SetBounds(5, 5, 50, 50);
  inner->Show();
  host->Show();
  const DWORD style = static_cast<DWORD>(GetWindowLongW(inner->Handle(), GWL_STYLE));
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_EQ(GetParent(inner->Handle()), panel->Handle());
  EXPECT_TRUE(IsWindowVisible(inner->Handle()));
  EXPECT_EQ(inner->GetParentForm(), host.get());
}

TEST(Frames, FrameHostsControlsInsideAParent) {
  Owned<TForm> host = CreateOwned<TForm>();
  auto* frame = Create<TFrame>(host.get());
  frame->SetParent(host.get());
  frame->SetAlign(alClient);
  auto* child = Create<TCustomControl>(frame);
  child->SetParent(frame);
  host->Show();
  EXPECT_EQ(GetParent(child->Handle()), frame->Handle());
  EXPECT_EQ(frame->Width(), host->ClientWidth());
  EXPECT_EQ(child->GetParentForm(), host.get());
}

}  // namespace

namespace {

TForm* NewMDIChild(TForm* frame, int left) {
  TForm* child = Create<TForm>(frame);
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(left, 0, 150, 100);
  child->Show();
  return child;
}

TEST(MDIForms, ChildrenLiveInTheClientWhichKnowsTheActiveOne) {
  Owned<TForm> frame = CreateOwned<TForm>();
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(0, 0, 400, 300);
  frame->HandleNeeded();
  ASSERT_NE(frame->ClientHandle(), nullptr);
  TForm* a = NewMDIChild(frame.get(), 0);
  TForm* b = NewMDIChild(frame.get(), 40);
  EXPECT_EQ(GetParent(a->Handle()), frame->ClientHandle());
  EXPECT_NE(GetWindowLongW(a->Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD, 0);
  EXPECT_EQ(frame->MDIChildCount(), 2);
  EXPECT_EQ(frame->ActiveMDIChild(), b);
  SendMessageW(frame->ClientHandle(), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  EXPECT_EQ(frame->ActiveMDIChild(), a);
  EXPECT_EQ(a->WindowState(), wsMaximized);
  b->Free();
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_EQ(frame->MDIChildren(0), a);
}

// The form states while a form is shown: fsShowing lasts until its window
// is up (its showing and first activation see it), and an MDI child, which
// the system shows as it makes it, is a made child from then on.
TEST(MDIForms, FormStatesFollowTheWindowBeingMadeAndShown) {
  Owned<TForm> frame = CreateOwned<TForm>();
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(0, 0, 400, 300);
  TForm* child = Create<TForm>(frame.get());
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(10, 10, 150, 100);
  for (TForm* form : {frame.get(), child}) {
    SCOPED_TRACE(form == child ? "MDI child" : "MDI form");
    std::vector<TFormState> atShow;  // at the window's WM_SHOWWINDOW
    TWindowProcHook hook = form->InstallWindowProcHook(TWndMethod([&](TMessage& m) {
      if (m.Msg == WM_SHOWWINDOW && m.WParam != 0) atShow.push_back(form->FormState());
      hook.CallPrevious(m);
    }));
    form->Show();
    hook.Remove();
    ASSERT_EQ(atShow.size(), 1u);
    EXPECT_NE(atShow[0] & fsShowing, 0);
    EXPECT_EQ((atShow[0] & fsCreatedMDIChild) != 0, form == child);
    EXPECT_EQ(form->FormState() & fsShowing, 0);
    EXPECT_NE(form->FormState() & fsVisible, 0);
    EXPECT_EQ((form->FormState() & fsCreatedMDIChild) != 0, form == child);
  }
}

TEST(MDIForms, AChildNeedsAnMDIForm) {
  Owned<TForm> child = CreateOwned<TForm>();
  child->SetFormStyle(fsMDIChild);
  EXPECT_THROW(child->HandleNeeded(), EInvalidOperation);
}

}  // namespace
