// The dialog and pop-up hook under Wine: message boxes and the file dialogs
// are skinned as they open (their children adapted), a class-library form
// without a provider gets one, a pop-up menu window gets its adapter at
// creation, and nothing stays hooked when the hook goes. Modal loops are
// looked into by a probe that closes the window when it is done.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Dialogs.h"
#include "classlib/Forms.h"
#include "skin/adapters/acButtonWnd_win.h"
#include "skin/adapters/acMainWnd_win.h"
#include "skin/adapters/acMnuWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sDialogs_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acDials_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "support/ChildWindows.h"
#include "support/Counters.h"
#include "support/HostWindow.h"
#include "support/ModalProbe.h"
#include "support/PlatformSeams.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kvtest {
namespace {

using namespace kv;

Owned<TsSkinManager> SkinnedManager() {
  Owned<TsSkinManager> m = CreateOwned<TsSkinManager>();
  m->SetSkinDirectory("c:\\NoSkins");
  TsStoredSkin& skin = m->InternalSkins.Add();
  skin.Name = "T";
  skin.Data = TTestSkin().Packed();
  m->AnimEffects.FormShow.Active = false;
  m->AnimEffects.DialogShow.Active = false;
  m->SetSkinName("T");
  return m;
}

bool Adapted(HWND wnd) {
  return GetPropW(wnd, acAdapterProperty) != nullptr && WindowAnswersCommand(wnd, cmdIsSkinned);
}

using kvtest::DescendantWindows;

// The descendants of the class (any letter case) and how many are adapted.
struct TChildCount {
  int all = 0, adapted = 0;
};
TChildCount CountChildren(HWND wnd, const std::string& className) {
  TChildCount n;
  for (HWND child : DescendantWindows(wnd)) {
    if (_stricmp(WindowClassName(child).c_str(), className.c_str()) != 0) continue;
    ++n.all;
    if (Adapted(child)) ++n.adapted;
  }
  return n;
}

// A stand-in for the dialog window adapter: counts the new-skin commands it
// gets and the objects alive.
class TFakeDialogWnd : public TacMainWnd {
 public:
  using TacMainWnd::TacMainWnd;
  ~TFakeDialogWnd() override { --alive; }
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinLoaded) ++skinLoaded;
    TacMainWnd::WndProc(m);
  }
  static TacMainWnd* Make(HWND dialog, TsSkinManager* manager) {
    ++alive;
    return CreateAdapter<TFakeDialogWnd>(dialog, false, nullptr, manager, "DIALOG");
  }
  int skinLoaded = 0;
  static inline int alive = 0;
};

class DialogHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    saved_ = FormServices();
    InstallFormServices();
    platform_.Calls().IsCompositionEnabled = +[] { return true; };
    manager = SkinnedManager();
    ASSERT_TRUE(manager->CBTHookInstalled());
    ASSERT_NE(HookedWindows, nullptr);
  }
  void TearDown() override {
    manager.reset();
    DialogAdapterFactory = nullptr;
    FormServices() = saved_;
  }
  // A window's destruction is when the hook frees what dialogs left.
  static void DestroyAWindow() {
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr));
  }

  TPlatformScope platform_;
  Owned<TsSkinManager> manager;

 private:
  TacFormServices saved_{};
};

TEST_F(DialogHookTest, AMessageBoxHasItsChildrenAdaptedByKind) {
  struct Seen {
    TChildCount buttons, statics;
    bool provider = false;
    int visibleDialogs = 0;
    bool iconIsIconAdapter = false, textIsTextAdapter = false;
  } seen;
  HWND box = nullptr;
  {
    TModalProbe probe(kDialogClass, [&](HWND dlg) {
      box = dlg;
      seen.buttons = CountChildren(dlg, "Button");
      seen.statics = CountChildren(dlg, "Static");
      seen.provider = FindProvider(dlg) != nullptr;
      seen.visibleDialogs = VisibleDialogCount();
      for (HWND child : DescendantWindows(dlg)) {
        if (_stricmp(WindowClassName(child).c_str(), "Static") != 0) continue;
        TacMainWnd* a = AdapterOfWindow(child);
        const auto type = GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_ICON) seen.iconIsIconAdapter = dynamic_cast<TacIconWnd*>(a) != nullptr;
        // A text static keeps its text: a text adapter, not a picture one.
        if (type == SS_LEFT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP)
          seen.textIsTextAdapter = a != nullptr && dynamic_cast<TacIconWnd*>(a) == nullptr;
      }
    });
    MessageBoxW(nullptr, L"The setting was written.", L"KV42", MB_OKCANCEL | MB_ICONINFORMATION);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_TRUE(seen.provider);
  EXPECT_EQ(seen.visibleDialogs, 1);
  EXPECT_EQ(seen.buttons.all, 2);
  EXPECT_EQ(seen.buttons.adapted, 2);
  EXPECT_GE(seen.statics.all, 2) << "icon and text";
  EXPECT_EQ(seen.statics.adapted, seen.statics.all);
  EXPECT_TRUE(seen.iconIsIconAdapter);
  EXPECT_TRUE(seen.textIsTextAdapter);
  // Gone, though its provider waits for the next destruction to be freed.
  EXPECT_EQ(FindProvider(box), nullptr);
  EXPECT_EQ(VisibleDialogCount(), 0);
  ASSERT_EQ(HookedWindows->size(), 1u);
  DestroyAWindow();
  EXPECT_TRUE(HookedWindows->empty());
}

// Deactivated by another window and activated again, a skinned message box
// keeps its one provider and the adapters of its children.
TEST_F(DialogHookTest, AMessageBoxActivatedAgainKeepsItsOneProvider) {
  struct Seen {
    TacProvider* first = nullptr;
    TacProvider* again = nullptr;
    size_t providers = 0, providersAgain = 0, adapters = 0, adaptersAgain = 0;
    bool wentInactive = false, cameBack = false;
  } seen;
  {
    TModalProbe probe(kDialogClass, [&](HWND dlg) {
      seen.first = FindProvider(dlg);
      seen.providers = HookedWindows->size();
      if (seen.first != nullptr) seen.adapters = seen.first->Adapters.size();
      HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
      SetActiveWindow(other);
      seen.wentInactive = GetActiveWindow() == other;
      SetActiveWindow(dlg);
      seen.cameBack = GetActiveWindow() == dlg;
      DestroyWindow(other);
      seen.again = FindProvider(dlg);
      seen.providersAgain = HookedWindows->size();
      if (seen.again != nullptr) seen.adaptersAgain = seen.again->Adapters.size();
    });
    MessageBoxW(nullptr, L"Write the setting?", L"KV42", MB_OKCANCEL | MB_ICONQUESTION);
    ASSERT_TRUE(probe.Found());
  }
  ASSERT_NE(seen.first, nullptr);
  EXPECT_TRUE(seen.wentInactive);
  EXPECT_TRUE(seen.cameBack);
  EXPECT_EQ(seen.again, seen.first);
  EXPECT_EQ(seen.providersAgain, seen.providers);
  EXPECT_EQ(seen.adaptersAgain, seen.adapters);
  DestroyAWindow();
  EXPECT_TRUE(HookedWindows->empty());
}

TEST_F(DialogHookTest, AToolkitMessageBoxOpensWhereItWasAsked) {
  RECT where{-1, -1, -1, -1};
  {
    TModalProbe probe(kDialogClass, [&](HWND dlg) { GetWindowRect(dlg, &where); });
    MessageBoxDlgPos("KV42", "Clock set.", TacMsgType::Information, 37, 41,
                     msgbtn::OK | msgbtn::Cancel);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_EQ(where.left, 37);
  EXPECT_EQ(where.top, 41);
}

TEST_F(DialogHookTest, TheDialogsOwnAdapterComesFromTheFactoryAndHearsTheSkinOnce) {
  TFakeDialogWnd::alive = 0;
  DialogAdapterFactory = &TFakeDialogWnd::Make;
  int skinLoaded = -1;
  bool skinned = false;
  {
    TModalProbe probe(kDialogClass, [&](HWND dlg) {
      auto* fake = dynamic_cast<TFakeDialogWnd*>(AdapterOfWindow(dlg));
      if (fake != nullptr) skinLoaded = fake->skinLoaded;
      skinned = WindowAnswersCommand(dlg, cmdIsSkinned);
    });
    MessageBoxW(nullptr, L"Reboot the logger?", L"KV42", MB_OKCANCEL | MB_ICONQUESTION);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_TRUE(skinned);
  EXPECT_EQ(skinLoaded, 1);
  DestroyAWindow();
  EXPECT_EQ(TFakeDialogWnd::alive, 0) << "freed with its provider";
}

TEST_F(DialogHookTest, AMessageBoxWearsTheDialogFrame) {
  std::string section;
  bool skinned = false;
  {
    TModalProbe probe(kDialogClass, [&](HWND dlg) {
      if (auto* adapter = dynamic_cast<TacDialogWnd*>(AdapterOfWindow(dlg)))
        section = adapter->SkinData->SkinSection();
      skinned = WindowAnswersCommand(dlg, cmdIsSkinned);
    });
    MessageBoxW(nullptr, L"Write the setting?", L"KV42", MB_YESNO | MB_ICONQUESTION);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_EQ(section, "DIALOG");
  EXPECT_TRUE(skinned);
}

TEST_F(DialogHookTest, TheFileDialogsWithOurFiltersHaveTheirChildrenAdapted) {
  const struct {
    const char* what;
    bool save;
    const char* filter;
  } dialogs[] = {{"open profile", false, "*.ini|*.ini"},
                 {"save history", true, "CSV File (*.csv)|*.csv"}};
  for (const auto& d : dialogs) {
    TChildCount buttons, edits, toolBars;
    {
      TModalProbe probe(kDialogClass, [&](HWND dlg) {
        buttons = CountChildren(dlg, "Button");
        edits = CountChildren(dlg, "Edit");
        toolBars = CountChildren(dlg, "ToolbarWindow32");
      });
      Owned<TOpenDialog> dialog = d.save ? Owned<TOpenDialog>(CreateOwned<TSaveDialog>().release())
                                         : CreateOwned<TOpenDialog>();
      dialog->SetFilter(d.filter);
      EXPECT_FALSE(dialog->Execute()) << d.what << ": cancelled";
      ASSERT_TRUE(probe.Found()) << d.what;
    }
    EXPECT_GT(buttons.all, 0) << d.what;
    EXPECT_EQ(buttons.adapted, buttons.all) << d.what;
    EXPECT_GT(toolBars.adapted, 0) << d.what;
    EXPECT_GT(edits.adapted, 0) << d.what;
  }
}

TEST_F(DialogHookTest, AFormWithoutProviderGetsOneOnActivationUnlessTaggedAway) {
  const struct {
    const char* what;
    intptr_t tag;
    bool skinned;
  } forms[] = {{"a setting form", 0, true}, {"a toolkit window", -98, false}};
  const size_t hookedBefore = HookedForms.size();
  for (const auto& f : forms) {
    TForm* form = Create<TForm>(nullptr);
    form->SetTag(f.tag);
    form->SetBounds(60, 60, 240, 160);
    form->Show();
    SetForegroundWindow(form->Handle());
    const auto provided = [&] {
      for (int i = 0; i < form->ComponentCount(); ++i)
        if (dynamic_cast<TsSkinProvider*>(form->Components(i)) != nullptr) return true;
      return false;
    };
    pump::PumpUntil([&] { return provided() || GetActiveWindow() == form->Handle(); });
    pump::PumpUntilIdle();
    EXPECT_EQ(provided(), f.skinned) << f.what;
    EXPECT_EQ(WindowAnswersCommand(form->Handle(), cmdIsSkinned), f.skinned) << f.what;
    EXPECT_EQ(HookedForms.size(), hookedBefore + (f.skinned ? 1 : 0)) << f.what;
    form->Free();
    EXPECT_EQ(HookedForms.size(), hookedBefore) << f.what << ": its provider went with it";
  }
}

TEST_F(DialogHookTest, AnMDIFormsChildrenGetProvidersWithTheFormAndWhenAskedForLater) {
  const auto provided = [](TCustomForm* f) {
    for (int i = 0; i < f->ComponentCount(); ++i)
      if (dynamic_cast<TsSkinProvider*>(f->Components(i)) != nullptr) return true;
    return false;
  };
  TForm* form = Create<TForm>(nullptr);
  form->SetFormStyle(fsMDIForm);
  form->SetBounds(60, 60, 360, 260);
  const auto newChild = [&] {
    TForm* child = Create<TForm>(form);
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(0, 0, 120, 90);
    child->Show();
    return child;
  };
  // The children are there before the form is first activated.
  form->HandleNeeded();
  TForm* a = newChild();
  TForm* b = newChild();
  ASSERT_FALSE(provided(a));
  form->Show();
  SetForegroundWindow(form->Handle());
  pump::PumpUntil([&] { return provided(form) || GetActiveWindow() == form->Handle(); });
  ASSERT_TRUE(provided(form));
  for (TForm* child : {a, b}) {
    EXPECT_TRUE(provided(child));
    EXPECT_TRUE(WindowAnswersCommand(child->Handle(), cmdIsSkinned));
  }
  // A child made afterwards is found inside its MDI form and skinned once.
  TForm* c = newChild();
  ASSERT_FALSE(provided(c));
  EXPECT_TRUE(AddProvider(c->Handle()));
  EXPECT_TRUE(provided(c));
  EXPECT_FALSE(AddProvider(c->Handle())) << "a skinned child is left alone";
  form->Free();
}

TEST_F(DialogHookTest, ATrackedMenuGetsTheMenuAdapterOnlyWithoutComposition) {
  THostWindow host;
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"Read Setting");
  AppendMenuW(menu, MF_STRING, 2, L"Write Setting");
  for (const bool composition : {true, false}) {
    platform_.Calls().IsCompositionEnabled =
        composition ? +[] { return true; } : +[] { return false; };
    bool adapted = false, listed = false;
    {
      TModalProbe probe(kMenuClass, [&](HWND wnd) {
        auto* adapter = dynamic_cast<TacMnuWnd*>(AdapterOfWindow(wnd));
        adapted = adapter != nullptr && WindowAnswersCommand(wnd, cmdIsSkinned);
        listed = MenuAdapters.size() == 1 && MenuAdapters[0] == adapter;
      });
      TrackPopupMenu(menu, TPM_RETURNCMD, kHostX + 10, kHostY + 10, 0, host.Handle(), nullptr);
      ASSERT_TRUE(probe.Found());
    }
    EXPECT_EQ(adapted, !composition) << "composition " << composition;
    EXPECT_EQ(listed, !composition) << "composition " << composition;
    EXPECT_TRUE(MenuAdapters.empty()) << "emptied when the last menu went";
  }
  // Each adapter frees itself once its window's last message is handled.
  const TObjectBaseline baseline;
  for (int i = 0; i < 5; ++i) {
    TModalProbe probe(kMenuClass, [](HWND) {});
    TrackPopupMenu(menu, TPM_RETURNCMD, kHostX + 10, kHostY + 10, 0, host.Handle(), nullptr);
    ASSERT_TRUE(probe.Found()) << i;
  }
  EXPECT_TRUE(baseline.Unchanged());
  DestroyMenu(menu);
}

TEST_F(DialogHookTest, TheHookGoingWhileADialogIsOpenLeavesNothingHooked) {
  const struct {
    const char* what;
    void (*take)(Owned<TsSkinManager>& manager, Owned<TsSkinManager>& heir);
    bool heirHooks;
  } ways[] = {
      {"the skin removed",
       [](Owned<TsSkinManager>& m, Owned<TsSkinManager>&) { m->SetActive(false); }, false},
      {"the default manager freed", [](Owned<TsSkinManager>& m, Owned<TsSkinManager>&) { m.reset(); },
       false},
      {"the default manager replaced",
       [](Owned<TsSkinManager>& m, Owned<TsSkinManager>& h) {
         m.reset();
         h->SetIsDefault(true);
       },
       true},
  };
  for (const auto& way : ways) {
    if (manager == nullptr) manager = SkinnedManager();
    if (!manager->Active()) manager->SetActive(true);
    Owned<TsSkinManager> heir = SkinnedManager();  // not the default while the first lives
    ASSERT_TRUE(manager->CBTHookInstalled()) << way.what;
    int before = 0, after = -1;
    bool heirHooked = false;
    {
      TModalProbe probe(kDialogClass, [&](HWND dlg) {
        before = CountChildren(dlg, "Button").adapted;
        way.take(manager, heir);
        after = 0;
        for (HWND child : DescendantWindows(dlg))
          if (GetPropW(child, acAdapterProperty) != nullptr ||
              WindowAnswersCommand(child, cmdIsSkinned))
            ++after;
        heirHooked = heir->CBTHookInstalled();
        if (heirHooked) {
          EXPECT_EQ(FindProvider(dlg), nullptr) << way.what;
        }
      });
      MessageBoxW(nullptr, L"Log out?", L"KV42", MB_OKCANCEL);
      ASSERT_TRUE(probe.Found()) << way.what;
    }
    EXPECT_GT(before, 0) << way.what;
    EXPECT_EQ(after, 0) << way.what;
    EXPECT_EQ(heirHooked, way.heirHooks) << way.what;
    heir.reset();
    manager.reset();
  }
}

TEST_F(DialogHookTest, FiftyMessageBoxesLeaveTheObjectCountersAtBaseline) {
  const auto oneBox = [] {
    TModalProbe probe(kDialogClass, [](HWND) {});
    MessageBoxW(nullptr, L"Saved.", L"KV42", MB_OKCANCEL | MB_ICONWARNING);
    return probe.Found();
  };
  ASSERT_TRUE(oneBox()) << "once first: what lives for the whole run is made now";
  DestroyAWindow();
  const TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(oneBox()) << i;
  DestroyAWindow();
  EXPECT_TRUE(HookedWindows->empty());
  EXPECT_TRUE(baseline.Unchanged());
}

}  // namespace
}  // namespace kvtest
