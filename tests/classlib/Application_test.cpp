// The application object: its hidden window, the message hook that every
// pump calls, modal forms inside a running application, closing, releasing,
// timers, and exceptions thrown by event handlers.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "MessageLog.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"

using namespace kv;

namespace {

constexpr UINT kDataReady = 1124;
constexpr UINT kReplyTimeout = 7147;

struct ApplicationTest : ::testing::Test {
  void SetUp() override {
    Application->ResetForTesting();
    Application->OnException = [this](TObject* sender, const std::exception& e) {
      exceptions.push_back(std::string(e.what()));
      senders.push_back(sender);
    };
  }
  void TearDown() override {
    Application->OnException = nullptr;
    Application->ResetForTesting();
  }
  std::vector<std::string> exceptions;
  std::vector<TObject*> senders;
};

TEST_F(ApplicationTest, HiddenWindowHasTheApplicationClassAndStaysHidden) {
  HWND wnd = Application->Handle();
  ASSERT_NE(wnd, nullptr);
  wchar_t cls[32] = {};
  GetClassNameW(wnd, cls, 32);
  EXPECT_STREQ(cls, L"TApplication");
  EXPECT_FALSE(IsWindowVisible(wnd));
  Application->SetTitle("kvconfig");
  wchar_t title[32] = {};
  GetWindowTextW(wnd, title, 32);
  EXPECT_STREQ(title, L"kvconfig");
  EXPECT_TRUE(EndsText(".exe", Application->ExeName()));
}

TEST_F(ApplicationTest, OnMessageSeesPostedApplicationMessagesDuringProcessMessages) {
  Owned<TApplicationEvents> events = CreateOwned<TApplicationEvents>();
  std::vector<UINT> seen;
  events->OnMessage = [&](MSG& msg, bool&) {
    if (msg.hwnd == Application->Handle()) seen.push_back(msg.message);
  };
  PostMessageW(Application->Handle(), kReplyTimeout, 0, 0);
  PostMessageW(Application->Handle(), kDataReady, 1, 2);
  Application->ProcessMessages();
  EXPECT_EQ(seen, (std::vector<UINT>{kReplyTimeout, kDataReady}));
}

TEST_F(ApplicationTest, HandledMessageGoesNoFurther) {
  Owned<TApplicationEvents> first = CreateOwned<TApplicationEvents>();
  Owned<TApplicationEvents> second = CreateOwned<TApplicationEvents>();
  int secondSaw = 0;
  first->OnMessage = [](MSG& msg, bool& handled) { handled = msg.message == kDataReady; };
  second->OnMessage = [&](MSG& msg, bool&) { secondSaw += msg.message == kDataReady; };
  struct THookOwner {
    int hooked = 0;
    bool Hook(TMessage& m) {
      hooked += m.Msg == kDataReady;
      return false;
    }
  } owner;
  Application->HookMainWindow(TWindowHook(&owner, &THookOwner::Hook));
  PostMessageW(Application->Handle(), kDataReady, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(secondSaw, 0);
  EXPECT_EQ(owner.hooked, 0) << "a handled message is never dispatched";
  first->OnMessage = nullptr;
  PostMessageW(Application->Handle(), kDataReady, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(secondSaw, 1);
  EXPECT_EQ(owner.hooked, 1) << "the main-window hook sees the dispatched message";
  Application->UnhookMainWindow(TWindowHook(&owner, &THookOwner::Hook));
  PostMessageW(Application->Handle(), kDataReady, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(owner.hooked, 1);
}

TEST_F(ApplicationTest, ModalFormLoopFeedsOnMessageAndDisablesTheOtherWindows) {
  Owned<TForm> mainForm = CreateOwned<TForm>();
  Application->SetMainForm(mainForm.get());
  mainForm->Show();
  Owned<TForm> dialog = CreateOwned<TForm>();
  dialog->SetBorderStyle(bsDialog);
  Owned<TApplicationEvents> events = CreateOwned<TApplicationEvents>();
  bool sawWhileModal = false;
  bool mainDisabledMeanwhile = false;
  events->OnMessage = [&](MSG& msg, bool& handled) {
    if (msg.hwnd != Application->Handle() || msg.message != kDataReady) return;
    sawWhileModal = (dialog->FormState() & fsModal) != 0;
    mainDisabledMeanwhile = !IsWindowEnabled(mainForm->Handle());
    dialog->SetModalResult(mrOk);
    handled = true;
  };
  Owned<TTimer> poster = CreateOwned<TTimer>();
  poster->SetInterval(20);
  poster->SetOnTimer([&](TObject*) {
    poster->SetEnabled(false);
    PostMessageW(Application->Handle(), kDataReady, 0, 0);
  });
  const TModalResult result = dialog->ShowModal();
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(sawWhileModal);
  EXPECT_TRUE(mainDisabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(mainForm->Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
  EXPECT_FALSE(dialog->FormState() & fsModal);
  Application->SetMainForm(nullptr);
}

TEST_F(ApplicationTest, ClosingAModalFormAsksOnCloseQueryAndGivesCancel) {
  Owned<TForm> dialog = CreateOwned<TForm>();
  int queries = 0;
  std::vector<TCloseAction> closes;
  dialog->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
  dialog->OnClose = [&](TObject*, TCloseAction& action) { closes.push_back(action); };
  dialog->OnShow = [&](TObject*) {
    // WM_CLOSE twice: the first is refused by OnCloseQuery.
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(closes, std::vector<TCloseAction>{caHide});
}

TEST_F(ApplicationTest, FirstFormCreatedByTheApplicationBecomesTheMainForm) {
  TForm* first = nullptr;
  TForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_EQ(second->Owner(), Application);
  // A secondary form's window is owned by the main form's.
  EXPECT_EQ(GetWindow(second->Handle(), GW_OWNER), first->Handle());
  second->Free();
  first->Free();
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(ApplicationTest, ResultSetWhileShowingEndsTheModalLoopAtOnce) {
  Owned<TForm> dialog = CreateOwned<TForm>();
  dialog->OnShow = [&](TObject*) { dialog->SetModalResult(mrYes); };
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_EQ(dialog->ShowModal(), mrYes);
}

TEST_F(ApplicationTest, ShowModalOfAVisibleFormRaises) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->Show();
  EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

TEST_F(ApplicationTest, ClosedFormWithFreeActionIsReleasedAfterTheCurrentMessage) {
  TForm* form = Create<TForm>(Application);
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  form->Show();
  const HWND wnd = form->Handle();
  SendMessageW(wnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(destroyed) << "freed only once the close message is done";
  EXPECT_TRUE(kvtest::PumpUntil([&] { return destroyed; }));
  EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(ApplicationTest, RunEndsWhenTheMainFormCloses) {
  Owned<TForm> form = CreateOwned<TForm>();
  Application->SetMainForm(form.get());
  bool shown = false;
  form->OnShow = [&](TObject*) {
    shown = true;
    PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
  };
  Application->Run();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Application->Terminated());
  Application->SetMainForm(nullptr);
}

TEST_F(ApplicationTest, ModalDialogInsideRunSeesPostedMessagesInEveryPump) {
  constexpr UINT kOpenDialog = WM_APP + 5;
  Owned<TForm> mainForm = CreateOwned<TForm>();
  Application->SetMainForm(mainForm.get());
  Owned<TForm> dialog = CreateOwned<TForm>();
  Owned<TApplicationEvents> events = CreateOwned<TApplicationEvents>();
  std::vector<std::string> seen;
  const auto where = [&] {
    return std::string((dialog->FormState() & fsModal) ? "modal" : "main loop");
  };
  events->OnMessage = [&](MSG& msg, bool&) {
    if (msg.hwnd != Application->Handle()) return;
    if (msg.message == kDataReady) seen.push_back("1124 in " + where());
    if (msg.message == kReplyTimeout) seen.push_back("7147 in " + where());
  };
  mainForm->OnShow = [&](TObject*) { PostMessageW(Application->Handle(), kOpenDialog, 0, 0); };
  // The application window's hook opens the dialog from inside Run.
  struct THookOwner {
    TForm* dialog;
    TForm* mainForm;
    std::vector<std::string>* seen;
    bool Hook(TMessage& m) {
      if (m.Msg != kOpenDialog) return false;
      PostMessageW(Application->Handle(), kDataReady, 0, 0);
      dialog->OnShow = [this](TObject*) { PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0); };
      const TModalResult r = dialog->ShowModal();
      seen->push_back("dialog closed with " + std::to_string(r));
      // A wait of the kind the program makes between requests.
      PostMessageW(Application->Handle(), kReplyTimeout, 0, 0);
      Application->ProcessMessages();
      mainForm->Close();
      return true;
    }
  } owner{dialog.get(), mainForm.get(), &seen};
  Application->HookMainWindow(TWindowHook(&owner, &THookOwner::Hook));
  Application->Run();
  Application->UnhookMainWindow(TWindowHook(&owner, &THookOwner::Hook));
  Application->SetMainForm(nullptr);
  EXPECT_EQ(seen, (std::vector<std::string>{"1124 in modal", "dialog closed with 2",
                                            "7147 in main loop"}));
}

TEST_F(ApplicationTest, MinimizeAndRestoreActOnTheMainForm) {
  Owned<TForm> form = CreateOwned<TForm>();
  Application->SetMainForm(form.get());
  form->Show();
  int minimized = 0, restored = 0;
  Application->OnMinimize = [&](TObject*) { ++minimized; };
  Application->OnRestore = [&](TObject*) { ++restored; };
  Application->Minimize();
  EXPECT_TRUE(IsIconic(form->Handle()));
  EXPECT_EQ(form->WindowState(), wsMinimized);
  Application->Restore();
  EXPECT_FALSE(IsIconic(form->Handle()));
  EXPECT_EQ(minimized, 1);
  EXPECT_EQ(restored, 1);
  Application->OnMinimize = nullptr;
  Application->OnRestore = nullptr;
  Application->SetMainForm(nullptr);
}

class TThrowingControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override { throw EInvalidOperation("paint failed"); }
};

TEST_F(ApplicationTest, ExceptionsFromHandlersReachHandleExceptionAndNothingCrashes) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* control = Create<TThrowingControl>(form.get());
  control->SetParent(form.get());
  control->SetBounds(0, 0, 40, 40);
  control->OnClick = [](TObject*) { throw Exception("click failed"); };
  form->Show();
  UpdateWindow(form->Handle());  // Paint throws inside WM_PAINT
  SendMessageW(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));

  Owned<TTimer> timer = CreateOwned<TTimer>();
  timer->SetInterval(10);
  timer->SetOnTimer([&](TObject*) {
    timer->SetEnabled(false);
    throw std::runtime_error("timer failed");
  });
  Owned<TApplicationEvents> events = CreateOwned<TApplicationEvents>();
  events->OnMessage = [](MSG& msg, bool&) {
    if (msg.message == kReplyTimeout) throw Exception("hook failed");
  };
  PostMessageW(Application->Handle(), kReplyTimeout, 0, 0);
  const auto unique = [&] { return std::set<std::string>(exceptions.begin(), exceptions.end()); };
  ASSERT_TRUE(kvtest::PumpUntil([&] { return unique().size() >= 4; }));
  EXPECT_EQ(unique(),
            (std::set<std::string>{"click failed", "hook failed", "paint failed", "timer failed"}));
  EXPECT_TRUE(std::find(senders.begin(), senders.end(), control) != senders.end());
  EXPECT_TRUE(IsWindow(control->Handle()));
}

TEST_F(ApplicationTest, TimerFreedInsideItsOwnTickIsSafe) {
  int ticks = 0;
  TTimer* timer = Create<TTimer>(nullptr);
  timer->SetInterval(5);
  timer->SetOnTimer([&ticks, timer](TObject* sender) {
    EXPECT_EQ(sender, timer);
    ++ticks;
    timer->Free();
  });
  const int active = TTimer::ActiveCount();
  kvtest::Pump(100);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(TTimer::ActiveCount(), active - 1);
}

TEST_F(ApplicationTest, ScreenListsFormsAndTracksTheActiveOne) {
  const int before = Screen->FormCount();
  Owned<TForm> a = CreateOwned<TForm>();
  Owned<TForm> b = CreateOwned<TForm>();
  EXPECT_EQ(Screen->FormCount(), before + 2);
  EXPECT_EQ(Screen->Forms(before + 1), b.get());
  b->Show();
  kvtest::PumpUntil([&] { return Screen->ActiveForm() == b.get(); }, 500);
  EXPECT_EQ(Screen->ActiveForm(), b.get());
  b.reset();
  EXPECT_EQ(Screen->FormCount(), before + 1);
  EXPECT_FALSE(IsRectEmpty(Screen->WorkAreaRect()));
}

}  // namespace
