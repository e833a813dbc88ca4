// The adapter root on real windows: how it goes on and comes off in each of
// its three ways in, what it answers, and that nothing is left pointing at a
// freed adapter or a dead window.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "skin/adapters/AdapterFixture.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "support/MessageLog.h"
#include "support/PlatformSeams.h"

namespace kv {
namespace {

using kvtest::AdapterFixture;

// Records what the adapter's slots and the visual-styles seam were asked.
struct TSlotLog {
  int saved = 0, restored = 0;
  std::vector<std::wstring> themes;  // "off" / "back" per SetWindowTheme call, in order
};
TSlotLog* g_slots = nullptr;

class TProbeAdapter : public TacMainWnd {
 public:
  using TacMainWnd::TacMainWnd;
  ~TProbeAdapter() override { --live; }
  static inline int live = 0;
  TProbeAdapter* Self() { return this; }
  // Freed from inside its own handling of this message.
  UINT freeOn = 0;
  TacMainWnd* holder = nullptr;

  void SaveOriginalState() override { ++g_slots->saved; }
  void RestoreOriginalState() override { ++g_slots->restored; }
  void WndProc(TMessage& m) override {
    if (freeOn != 0 && m.Msg == freeOn) {
      FreeAdapter(holder);
      // Still whole until the dispatch ends.
      Caption = "after free";
    }
    TacMainWnd::WndProc(m);
  }
};

HRESULT RecordTheme(HWND, LPCWSTR app, LPCWSTR) {
  if (g_slots != nullptr) g_slots->themes.push_back(app == nullptr ? L"back" : L"off");
  return S_OK;
}

class MainWnd : public AdapterFixture {
 protected:
  void SetUp() override {
    AdapterFixture::SetUp();
    g_slots = &slots;
    seams.Calls().SetWindowTheme = RecordTheme;
  }
  void TearDown() override {
    g_slots = nullptr;
    AdapterFixture::TearDown();
  }
  TProbeAdapter* Attach(HWND wnd, TsCommonData* sd = nullptr, const char* section = "EDIT") {
    ++TProbeAdapter::live;
    return CreateAdapter<TProbeAdapter>(wnd, false, sd, manager.get(), section);
  }
  LRESULT Command(HWND wnd, WORD code, LPARAM lp = 0) {
    return SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, code), lp);
  }

  TSlotLog slots;
  kvtest::TPlatformScope seams;
};

LRESULT CALLBACK OnTopProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto prev = reinterpret_cast<WNDPROC>(GetPropW(wnd, L"KvTestPrev"));
  return CallWindowProcW(prev, wnd, msg, wp, lp);
}

TEST_F(MainWnd, SubclassingSetsThePropertyAndGivesTheProcedureBack) {
  HWND edit = MakeEdit(10, 10, 100, 60);
  const auto original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  TacMainWnd* a = Attach(edit);
  EXPECT_EQ(TacHookMode::Subclass, a->HookMode());
  EXPECT_EQ(a, AdapterOfWindow(edit));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(&AdapterProc), GetWindowLongPtrW(edit, GWLP_WNDPROC));
  EXPECT_EQ(1, slots.saved);
  FreeAdapter(a);
  EXPECT_EQ(nullptr, a);
  EXPECT_EQ(nullptr, AdapterOfWindow(edit));
  EXPECT_EQ(original, GetWindowLongPtrW(edit, GWLP_WNDPROC));
  EXPECT_EQ(1, slots.restored);
  EXPECT_EQ(0, TProbeAdapter::live);
  DestroyWindow(edit);
}

TEST_F(MainWnd, AnAdapterSubclassedOverStaysAPassThroughUntilTheWindowDies) {
  HWND edit = MakeEdit(10, 10, 100, 60);
  TacMainWnd* a = Attach(edit);
  SetPropW(edit, L"KvTestPrev", reinterpret_cast<HANDLE>(GetWindowLongPtrW(edit, GWLP_WNDPROC)));
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnTopProc));
  FreeAdapter(a);
  // The later subclass keeps its place, and the window still works through it.
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(&OnTopProc), GetWindowLongPtrW(edit, GWLP_WNDPROC));
  EXPECT_EQ(nullptr, AdapterOfWindow(edit));
  SetWindowTextW(edit, L"still here");
  wchar_t text[32] = {};
  GetWindowTextW(edit, text, 32);
  EXPECT_STREQ(L"still here", text);
  // A new adapter takes the old one's place in the chain, not a second one.
  TacMainWnd* b = Attach(edit);
  EXPECT_EQ(1, Command(edit, cmdIsSkinned));
  FreeAdapter(b);
  RemovePropW(edit, L"KvTestPrev");
  DestroyWindow(edit);
}

TEST_F(MainWnd, ASecondAdapterStaysOffAnAdaptedWindowAndLeavesItAlone) {
  HWND edit = MakeEdit(10, 10, 100, 60);
  TacMainWnd* first = Attach(edit);
  slots = {};
  TacMainWnd* second = Attach(edit);
  EXPECT_TRUE(second->Destroyed);
  FreeAdapter(second);
  EXPECT_EQ(0, slots.saved + slots.restored);
  EXPECT_TRUE(slots.themes.empty());
  EXPECT_EQ(first, AdapterOfWindow(edit));
  EXPECT_EQ(1, Command(edit, cmdIsSkinned));
  FreeAdapter(first);
  DestroyWindow(edit);
}

TEST_F(MainWnd, AWindowDestroyedWhileSubclassedReleasesItsAdapter) {
  HWND edit = MakeEdit(10, 10, 100, 60);
  TacMainWnd* a = Attach(edit);
  slots.themes.clear();
  DestroyWindow(edit);
  EXPECT_TRUE(a->Destroyed);
  EXPECT_FALSE(a->Hooked());
  // Freeing it later leaves the dead handle alone.
  FreeAdapter(a);
  EXPECT_TRUE(slots.themes.empty());
  EXPECT_EQ(0, TProbeAdapter::live);
}

TEST_F(MainWnd, WindowTextReachesThePreviousHandlerOnceAndIsKept) {
  HWND edit = MakeEdit(10, 10, 100, 60);
  kvtest::TMessageRecorder below;
  below.AttachWindow(edit);
  TacMainWnd* a = Attach(edit);
  int changes = 0;
  below.Filter = [&](UINT msg) { return msg == WM_SETTEXT; };
  SetWindowTextW(edit, L"new text");
  changes = below.Count(WM_SETTEXT);
  EXPECT_EQ(1, changes);
  EXPECT_EQ("new text", a->Caption);
  FreeAdapter(a);
  DestroyWindow(edit);
}

TEST_F(MainWnd, AnAdapterFreedInItsOwnDispatchGoesWhenTheDispatchEnds) {
  HWND edit = MakeEdit(10, 10, 100, 60);
  TProbeAdapter* a = Attach(edit);
  a->freeOn = WM_USER + 7;
  a->holder = a;
  SendMessageW(edit, WM_USER + 7, 0, 0);
  EXPECT_EQ(0, TProbeAdapter::live);
  EXPECT_EQ(nullptr, AdapterOfWindow(edit));
  // The window goes on without it.
  SendMessageW(edit, WM_USER + 7, 0, 0);
  DestroyWindow(edit);
}

TEST_F(MainWnd, CommandsAreAnsweredOnlyWhileTheManagerIsActive) {
  HWND edit = MakeEdit(10, 10, 100, 60);
  kvtest::TMessageRecorder below;
  below.AttachWindow(edit);
  TacMainWnd* a = Attach(edit);
  below.Filter = [](UINT msg) { return msg == SM_ALPHACMD; };
  EXPECT_EQ(1, Command(edit, cmdIsSkinned));
  EXPECT_EQ(reinterpret_cast<LRESULT>(Application), Command(edit, cmdGetApplication));
  EXPECT_NE(0, Command(edit, cmdGetBgColor));
  EXPECT_EQ(0, Command(edit, cmdNeedsRepaint));
  EXPECT_EQ(0, below.Count(SM_ALPHACMD) - below.CountCommand(cmdGetBgColor));
  // Another manager's skin changes only pass through.
  Command(edit, cmdSkinRemoved, 12345);
  EXPECT_EQ(0, slots.restored);
  EXPECT_EQ(1, below.CountCommand(cmdSkinRemoved));
  Command(edit, cmdSkinRemoved, reinterpret_cast<LPARAM>(manager.get()));
  EXPECT_EQ(1, slots.restored);
  manager->SetActive(false);
  EXPECT_EQ(0, Command(edit, cmdIsSkinned));
  FreeAdapter(a);
  DestroyWindow(edit);
}

TEST_F(MainWnd, VisualStylesGoOffExceptForDialogsAndComeBackOnEveryRelease) {
  HWND edit = MakeEdit(10, 10, 100, 60);
  TacMainWnd* a = Attach(edit);
  EXPECT_EQ(std::vector<std::wstring>{L"off"}, slots.themes);
  Command(edit, cmdSkinRemoved, reinterpret_cast<LPARAM>(manager.get()));
  Command(edit, cmdSkinLoaded, reinterpret_cast<LPARAM>(manager.get()));
  TacMainWnd* same = a;
  UnhookWnd(edit, true, false, same);
  EXPECT_EQ((std::vector<std::wstring>{L"off", L"back", L"off", L"back"}), slots.themes);
  slots.themes.clear();
  TacMainWnd* dialog = Attach(edit, nullptr, "DIALOG");
  FreeAdapter(dialog);
  EXPECT_TRUE(slots.themes.empty());
  DestroyWindow(edit);
}

// The two class-library ways in: a control's WindowProc chain and a form
// provider's form.
struct TFormProvider : TacFormProvider {
  TsSkinManager* manager = nullptr;
  TCustomForm* form = nullptr;
  TsSkinManager* SkinManager() const override { return manager; }
  void SetPaintingLocked(bool) override {}
  TCustomForm* Form() const override { return form; }
};

TEST_F(MainWnd, AControlsChainIsHookedAndGivenBackEvenDuringMassFreeing) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* panel = Create<TPanel>(form.get());
  panel->SetParent(form.get());
  form->Show();
  TsCommonData sd(panel, true);
  sd.SetSkinManager(manager.get());
  TacMainWnd* a = Attach(panel->Handle(), &sd, "PANEL");
  EXPECT_EQ(TacHookMode::Control, a->HookMode());
  EXPECT_EQ(1, panel->Perform(SM_ALPHACMD, MAKEWPARAM(0, cmdIsSkinned), 0));
  EXPECT_NE(0u, panel->ControlStyle() & csOpaque);
  acAdaptersFreeing = true;
  FreeAdapter(a);
  acAdaptersFreeing = false;
  EXPECT_EQ(0, slots.restored);
  EXPECT_EQ(0, panel->Perform(SM_ALPHACMD, MAKEWPARAM(0, cmdIsSkinned), 0));
  EXPECT_EQ(nullptr, AdapterOfWindow(panel->Handle()));
}

TEST_F(MainWnd, AProvidersFormIsHookedAndItsDestructionReleasesTheAdapter) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->Show();
  TFormProvider provider;
  provider.manager = manager.get();
  provider.form = form.get();
  TsCommonData sd(nullptr, true);
  sd.SetOwnerProvider(&provider);
  sd.SetSkinManager(manager.get());
  TacMainWnd* a = Attach(form->Handle(), &sd, "FORM");
  EXPECT_EQ(TacHookMode::Provider, a->HookMode());
  EXPECT_EQ(1, form->Perform(SM_ALPHACMD, MAKEWPARAM(0, cmdIsSkinned), 0));
  form.reset();
  EXPECT_TRUE(a->Destroyed);
  slots.themes.clear();
  FreeAdapter(a);
  EXPECT_TRUE(slots.themes.empty());
}

TEST_F(MainWnd, AControlsWindowDestroyedWhileHookedReleasesItsAdapter) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* panel = Create<TPanel>(form.get());
  panel->SetParent(form.get());
  form->Show();
  TsCommonData sd(panel, true);
  sd.SetSkinManager(manager.get());
  TacMainWnd* a = Attach(panel->Handle(), &sd, "PANEL");
  form.reset();
  EXPECT_TRUE(a->Destroyed);
  EXPECT_FALSE(a->Hooked());
  FreeAdapter(a);
  EXPECT_EQ(0, TProbeAdapter::live);
}

}  // namespace
}  // namespace kv
