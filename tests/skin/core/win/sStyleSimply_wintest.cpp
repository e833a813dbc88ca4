// Hooked forms under Wine: each form gets a broadcast once, and redraw is
// switched off and on again in pairs around a skin change.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "SkinTestForms.h"
#include "skin/core/acPlatform.h"
#include "skin/core/sDialogs_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sVclUtils_win.h"

namespace kvtest {
namespace {

TMessage SkinLoaded() {
  TMessage m;
  m.Msg = SM_ALPHACMD;
  m.WParam = CommandWParam(cmdSkinLoaded);
  return m;
}

// The last entry moves into a freed slot, so the list stays compact.
TEST(HookedForms, RemovingMovesTheLastEntryIntoTheFreedSlot) {
  Owned<TSkinTestForm> a = CreateOwned<TSkinTestForm>(true);
  Owned<TSkinTestForm> b = CreateOwned<TSkinTestForm>(true);
  Owned<TSkinTestForm> c = CreateOwned<TSkinTestForm>(true);
  Owned<TSkinTestForm> d = CreateOwned<TSkinTestForm>(true);
  EXPECT_EQ(AddHookedForm(a.get()), 5) << "a listed twice";
  a.reset();
  EXPECT_EQ(HookedForms, (std::vector<TCustomForm*>{d.get(), b.get(), c.get()}));
  RemoveHookedForm(nullptr);
  EXPECT_EQ(HookedForms.size(), 3u) << "a form not listed changes nothing";
  d.reset();
  EXPECT_EQ(HookedForms, (std::vector<TCustomForm*>{c.get(), b.get()}));
  c.reset();
  EXPECT_EQ(HookedForms, (std::vector<TCustomForm*>{b.get()}));
  b.reset();
  EXPECT_TRUE(HookedForms.empty());
}

TEST(HookedForms, EachFormGetsABroadcastOnceWhileAReceiverFreesAnother) {
  Owned<TSkinTestForm> a = CreateOwned<TSkinTestForm>(true);
  Owned<TSkinTestForm> b = CreateOwned<TSkinTestForm>(true);
  // Hooked and owned by the application: reachable both ways.
  auto* c = Create<TSkinTestForm>(Application, true);
  auto* plain = Create<TSkinTestForm>(Application, false);
  for (TSkinTestForm* f : {a.get(), b.get(), c, plain}) f->Handle();
  b->onCommand = [&](unsigned code) {
    if (code == cmdSkinLoaded) a.reset();
  };
  TMessage m = SkinLoaded();
  BroadcastToForms(m);
  EXPECT_EQ(b->Count(cmdSkinLoaded), 1);
  EXPECT_EQ(c->Count(cmdSkinLoaded), 1);
  EXPECT_EQ(plain->Count(cmdSkinLoaded), 1);
  c->Free();
  plain->Free();
}

class FormsLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    manager = CreateOwned<TsSkinManager>();
    form = CreateOwned<TSkinTestForm>(true);
    form->provider.manager = manager.get();
    form->Show();
    mainForm = CreateOwned<TSkinTestForm>(false);
    mainForm->Show();
    Application->SetMainForm(mainForm.get());
  }
  void TearDown() override {
    Application->SetMainForm(nullptr);
    form.reset();
    mainForm.reset();
    manager.reset();
  }
  // Every WM_SETREDRAW 0 followed by one 1, and drawing on at the end.
  static ::testing::AssertionResult Balanced(const std::vector<int>& redraws) {
    int depth = 0;
    for (int r : redraws) {
      depth += r == 0 ? 1 : -1;
      if (depth < 0 || depth > 1) return ::testing::AssertionFailure() << "unpaired WM_SETREDRAW";
    }
    if (depth != 0) return ::testing::AssertionFailure() << "drawing left off";
    return ::testing::AssertionSuccess();
  }
  Owned<TsSkinManager> manager;
  Owned<TSkinTestForm> form;
  Owned<TSkinTestForm> mainForm;
};

TEST_F(FormsLockTest, ANewSkinLocksAndUnlocksTheFormOnce) {
  manager->InternalSkins.Add().Data = ResourceBytes(DefaultSkinResource);
  form->redraws.clear();
  bool broadcasting = false, refreshSkipped = true;
  form->onCommand = [&](unsigned code) {
    if (code == cmdSkinLoaded) broadcasting = SkinBroadcasting;
    if (code == cmdSkinRefresh) refreshSkipped = SkinLoading || SkinBroadcasting;
  };
  manager->SetSkinName("x");
  EXPECT_TRUE(broadcasting);
  EXPECT_FALSE(refreshSkipped) << "the refresh after a new skin must paint";
  EXPECT_EQ(form->redraws, (std::vector<int>{0, 1}));
  EXPECT_FALSE(form->provider.locked);
  EXPECT_FALSE(GlobalRedrawLock);
}

TEST_F(FormsLockTest, MinimisingBetweenLockAndUnlockStillThaws) {
  LockForms(manager.get());
  Application->Minimize();
  UnlockForms(manager.get());
  Application->Restore();
  EXPECT_EQ(form->redraws, (std::vector<int>{0, 1}));

  form->redraws.clear();
  Application->Minimize();
  LockForms(manager.get());
  Application->Restore();
  UnlockForms(manager.get());
  EXPECT_TRUE(form->redraws.empty()) << "a minimised application locks nothing";
  EXPECT_FALSE(form->provider.locked);
}

TEST_F(FormsLockTest, AnExceptionInsideTheLockStillThaws) {
  try {
    TacFormsLock lock(manager.get());
    throw std::runtime_error("receiver failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(Balanced(form->redraws));
  EXPECT_EQ(form->redraws.size(), 2u);
}

TEST_F(FormsLockTest, FormsOfAnotherManagerOrHiddenAreNotLocked) {
  Owned<TsSkinManager> other = CreateOwned<TsSkinManager>();
  LockForms(other.get());
  UnlockForms(other.get());
  form->Hide();
  LockForms(manager.get());
  UnlockForms(manager.get());
  EXPECT_TRUE(form->redraws.empty());
}

struct LockCase {
  const char* what;
  std::function<void(TSkinTestForm&, TForm& host)> prepare;
  bool locked;
};

// Only a shown top-level form is frozen: a minimised form, one docked into
// another control and an MDI child keep drawing.
TEST_F(FormsLockTest, OnlyShownTopLevelFormsAreLocked) {
  Owned<TSkinTestForm> host = CreateOwned<TSkinTestForm>(false);
  host->Show();
  const LockCase cases[] = {
      {"shown", [](TSkinTestForm&, TForm&) {}, true},
      {"minimised", [](TSkinTestForm& f, TForm&) { f.SetWindowState(wsMinimized); }, false},
      {"docked", [](TSkinTestForm& f, TForm& h) { f.SetParent(&h); }, false},
      {"MDI child",
       [](TSkinTestForm& f, TForm& h) {
         h.SetFormStyle(fsMDIForm);
         f.SetFormStyle(fsMDIChild);
       },
       false}};
  for (const LockCase& c : cases) {
    Owned<TSkinTestForm> f = CreateOwned<TSkinTestForm>(true);
    f->provider.manager = manager.get();
    f->Show();
    c.prepare(*f, *host);
    f->redraws.clear();
    LockForms(manager.get());
    EXPECT_EQ(f->provider.locked, c.locked) << c.what;
    UnlockForms(manager.get());
    const std::vector<int> thawed{0, 1}, untouched;
    EXPECT_EQ(f->redraws, c.locked ? thawed : untouched) << c.what;
    EXPECT_FALSE(f->provider.locked) << c.what;
  }
}

struct RedrawLockCase {
  const char* what;
  bool byDefault, animated, held;
};

// The default manager's animated skin change holds the global redraw lock
// while the new skin is sent and the forms refreshed, and lets it go after.
TEST_F(FormsLockTest, TheGlobalRedrawLockIsHeldWhileTheDefaultManagerSendsANewSkin) {
  const RedrawLockCase cases[] = {{"animated change of the default manager", true, true, true},
                                  {"change without animation", true, false, false},
                                  {"change of another manager", false, true, false}};
  for (const RedrawLockCase& c : cases) {
    Owned<TsSkinManager> other = CreateOwned<TsSkinManager>();
    TsSkinManager* m = c.byDefault ? manager.get() : other.get();
    ASSERT_EQ(m->IsDefault(), c.byDefault);
    form->provider.manager = m;
    m->AnimEffects.SkinChanging.Active = c.animated;
    m->InternalSkins.Add().Data = ResourceBytes(DefaultSkinResource);
    std::vector<bool> during;
    form->onCommand = [&](unsigned code) {
      if (code == cmdSkinLoaded || code == cmdSkinRefresh) during.push_back(GlobalRedrawLock);
    };
    m->SetSkinName("x");
    form->onCommand = nullptr;
    EXPECT_EQ(during, (std::vector<bool>{c.held, c.held})) << c.what;
    EXPECT_FALSE(GlobalRedrawLock) << c.what;
  }
}

TEST(CommandMessage, SendingToAControlNeverMakesItsWindow) {
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(true);
  EXPECT_EQ(SendCommandToControl(form.get(), cmdIsSkinned, 0), 0);
  EXPECT_FALSE(form->HandleAllocated());
  form->Handle();
  EXPECT_EQ(QueryControlCommand(form.get(), cmdIsSkinned), 1);
  EXPECT_TRUE(WindowAnswersCommand(form->Handle(), cmdIsSkinned));
  EXPECT_EQ(QueryControlBgColor(nullptr), TransparentColor);
}

struct BoxCase {
  TacMsgType type;
  TacMsgButtons buttons;
  int answer;
  const char* caption;
  std::vector<int> shown;
};

TEST(MessageBoxes, ShowTheTypeAndButtonsAtTheAskedPlaceAndAnswer) {
  using namespace msgbtn;
  const BoxCase cases[] = {
      {TacMsgType::Confirmation, Yes | No | Cancel, IDNO, "Confirm", {IDCANCEL, IDYES, IDNO}},
      {TacMsgType::Information, Abort, IDRETRY, "Information", {IDABORT, IDRETRY, IDIGNORE}},
  };
  for (const BoxCase& c : cases) {
    TMessageBoxProbe probe;
    probe.answer = c.answer;
    EXPECT_EQ(MessageBoxDlgEx("", "Go on?", c.type, 40, 50, c.buttons), c.answer) << c.caption;
    ASSERT_EQ(probe.seen.size(), 1u);
    const TMessageBoxProbe::Seen& s = probe.seen[0];
    EXPECT_EQ(s.caption, c.caption);
    EXPECT_EQ(s.text, "Go on?");
    EXPECT_EQ(s.buttons, c.shown) << c.caption;
    EXPECT_EQ(s.x, 40);
    EXPECT_EQ(s.y, 50);
    EXPECT_EQ(MessageBoxX, -1);
    EXPECT_EQ(MessageBoxY, -1);
  }
  TMessageBoxProbe probe;
  EXPECT_EQ(AlertBox(), IDOK);
  ASSERT_EQ(probe.seen.size(), 1u);
  EXPECT_EQ(probe.seen[0].caption, "Warning");
  EXPECT_EQ(probe.seen[0].text, "Alert");
  EXPECT_EQ(probe.seen[0].x, -1);
}

// The application hears of a toolkit message box as of a modal window: it
// begins before the box shows and ends once it has gone.
TEST(MessageBoxes, AreModalWindowsOfTheApplication) {
  TMessageBoxProbe probe;
  std::vector<std::string> log;
  struct Restore {
    ~Restore() { Application->OnModalBegin = Application->OnModalEnd = nullptr; }
  } restore;
  Application->OnModalBegin = [&](TObject*) {
    log.push_back("begin " + std::to_string(probe.seen.size()));
  };
  Application->OnModalEnd = [&](TObject*) {
    log.push_back("end " + std::to_string(probe.seen.size()));
  };
  EXPECT_EQ(WarningBox("Careful"), IDOK);
  ASSERT_EQ(probe.seen.size(), 1u);
  EXPECT_EQ(probe.seen[0].modalLevel, 1);
  EXPECT_EQ(Application->ModalLevel(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"begin 0", "end 1"}));
}

}  // namespace
}  // namespace kvtest

namespace kvtest {
namespace {

// A skinned control: answers the skinned query and notes the commands.
class TSkinnedChild : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::vector<unsigned> commands;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD) {
      commands.push_back(HIWORD(m.WParam));
      if (HIWORD(m.WParam) == cmdIsSkinned) m.Result = 1;
      return;
    }
    TCustomControl::WndProc(m);
  }
};

TEST(CommandMessage, BroadcastReachesSkinnedGrandchildrenThroughPlainWindows) {
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(false);
  auto* plain = Create<TCustomControl>(form.get());
  plain->SetParent(form.get());
  auto* grandchild = Create<TSkinnedChild>(form.get());
  grandchild->SetParent(plain);
  auto* child = Create<TSkinnedChild>(form.get());
  child->SetParent(form.get());
  form->Handle();
  TMessage m = SkinLoaded();
  BroadcastToChildren(form.get(), m);
  const auto loaded = [](const TSkinnedChild* c) {
    return std::count(c->commands.begin(), c->commands.end(), unsigned{cmdSkinLoaded});
  };
  EXPECT_EQ(loaded(grandchild), 1);
  EXPECT_EQ(loaded(child), 1);
}

}  // namespace
}  // namespace kvtest
