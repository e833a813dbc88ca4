// The services the skin core asks of form skinning, under Wine: the ones that
// exist are wired by the start-up call, the dialog hook reads its entry on
// every call, each manager makes and frees its menu painter, a provider hears
// of its skin data at its own message entry, and a control's pop-up menu is
// handed to the menu painter before it opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SkinTestForms.h"
#include "classlib/Menus.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/graphics/acGlow.h"
#include "support/MessageLog.h"
#include "support/ModalProbe.h"
#include "support/TestSkin.h"

namespace kvtest {
namespace {

// Restores the table whatever a test put into it.
class FormServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    saved_ = FormServices();
  }
  void TearDown() override {
    ClearGlows();
    FormServices() = saved_;
  }

  static Owned<TsSkinManager> SkinnedManager(const TTestSkinOptions& options = {}) {
    Owned<TsSkinManager> m = CreateOwned<TsSkinManager>();
    m->SetSkinDirectory("c:\\NoSkins");
    TsStoredSkin& skin = m->InternalSkins.Add();
    skin.Name = "T";
    skin.Data = TTestSkin(options).Packed();
    m->SetSkinName("T");
    return m;
  }

 private:
  TacFormServices saved_{};
};

TEST_F(FormServicesTest, ASkinChangeOrRemovalClearsEveryGlow) {
  InstallFormServices();
  TTestSkinOptions options;
  options.Glow = true;
  Owned<TsSkinManager> manager = SkinnedManager(options);
  ASSERT_TRUE(manager->CommonSkinData().Active);
  const auto showGlow = [&] {
    return ShowGlow({40, 40, 80, 60}, {0, 0, 40, 20}, "GLOBALINFO", &manager->Skin(), nullptr, 255,
                    1, "BICONCLOSEGLOW");
  };
  struct Step {
    const char* what;
    void (*change)(TsSkinManager&);
  } steps[] = {
      {"a new skin", [](TsSkinManager& m) { m.SetSkinName("T"); }},
      {"the skin removed", [](TsSkinManager& m) { m.SetActive(false); }},
  };
  for (const Step& step : steps) {
    const int index = showGlow();
    ASSERT_GE(index, 0) << step.what;
    HWND glow = TacGlowEffects[static_cast<size_t>(index)]->Window();
    ASSERT_TRUE(IsWindow(glow));
    step.change(*manager);
    EXPECT_TRUE(TacGlowEffects.empty()) << step.what;
    EXPECT_FALSE(IsWindow(glow)) << step.what;
  }
}

// Notes the names of the windows this thread creates while it lives.
class TCreatedWindows {
 public:
  TCreatedWindows() {
    names_ = &names;
    hook_ = SetWindowsHookExW(WH_CBT, Proc, nullptr, GetCurrentThreadId());
  }
  ~TCreatedWindows() {
    UnhookWindowsHookEx(hook_);
    names_ = nullptr;
  }
  std::vector<std::wstring> names;

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && names_ != nullptr) {
      const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
      const LPCWSTR name = create->lpcs->lpszName;
      // A name may also be an ordinal (a resource id), which has no text.
      names_->push_back(name != nullptr && !IS_INTRESOURCE(name) ? name : L"");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline std::vector<std::wstring>* names_ = nullptr;
  HHOOK hook_ = nullptr;
};

TEST_F(FormServicesTest, AnAnimatedSkinChangeShowsEachFrozenFormThroughTheAnimation) {
  InstallFormServices();
  Owned<TsSkinManager> manager = SkinnedManager();
  manager->AnimEffects.SkinChanging.Active = true;
  manager->AnimEffects.SkinChanging.Time = 16;
  Owned<TSkinTestForm> form = CreateOwned<TSkinTestForm>(true);
  form->Show();
  TCreatedWindows created;
  manager->SetSkinName("T");
  EXPECT_EQ(std::count(created.names.begin(), created.names.end(), L"acOutputWindow"), 1)
      << "one cover for the one frozen form";
  EXPECT_EQ(SnapshotCover, nullptr) << "the cover is gone afterwards";
}

TEST_F(FormServicesTest, ADialogHookReplacedAfterInstallationIsTheOneCalled) {
  Owned<TsSkinManager> manager = SkinnedManager();
  ASSERT_TRUE(manager->CBTHookInstalled());
  {
    const TCountingDialogHook replaced;  // put in after the hook went in
    EXPECT_EQ(replaced.HooksSeeingAWindow(), 1);
  }
  const TCountingDialogHook again;
  FormServices().CBTHookProc = NullFormServices().CBTHookProc;
  EXPECT_EQ(again.HooksSeeingAWindow(), 0) << "the null hook is back in the table";
}

struct TPainterLog {
  static inline std::vector<std::pair<char, TsSkinManager*>> calls;
};

TEST_F(FormServicesTest, EachManagerMakesItsMenuPainterAndFreesItWhenDestroyed) {
  TPainterLog::calls.clear();
  FormServices().CreateMenuPainter = [](TsSkinManager* m) {
    TPainterLog::calls.push_back({'+', m});
  };
  FormServices().FreeMenuPainter = [](TsSkinManager* m) { TPainterLog::calls.push_back({'-', m}); };
  Owned<TsSkinManager> first = CreateOwned<TsSkinManager>();
  Owned<TsSkinManager> second = CreateOwned<TsSkinManager>();
  TsSkinManager* a = first.get();
  TsSkinManager* b = second.get();
  first.reset();
  second.reset();
  const std::vector<std::pair<char, TsSkinManager*>> want{{'+', a}, {'+', b}, {'-', a}, {'-', b}};
  EXPECT_EQ(TPainterLog::calls, want);
}

// A form's provider: the form it skins, and what reached its message entry.
struct TRecordingProvider : TTestProvider {
  TCustomForm* form = nullptr;
  std::vector<TMessage> received;
  TCustomForm* Form() const override { return form; }
  void ReceiveMessage(TMessage& message) override { received.push_back(message); }
};

class ProviderMessagesTest : public FormServicesTest {
 protected:
  void SetUp() override {
    FormServicesTest::SetUp();
    manager = SkinnedManager();
    form = CreateOwned<TForm>();
    form->Handle();
    provider.form = form.get();
    formLog.AttachControl(form.get());
  }

  Owned<TsSkinManager> manager;
  Owned<TForm> form;
  TRecordingProvider provider;
  TMessageRecorder formLog;
};

TEST_F(ProviderMessagesTest, AProvidersSectionChangeSendsNothingToItsForm) {
  TsCommonData sd(nullptr, true);  // a provider's skin data: no owner control
  sd.SetOwnerProvider(&provider);
  sd.BGChanged = false;
  sd.SetSkinSection("FORM");
  EXPECT_EQ(formLog.Count(SM_ALPHACMD), 0);
  EXPECT_TRUE(provider.received.empty());
  EXPECT_TRUE(sd.BGChanged);
}

TEST_F(ProviderMessagesTest, ASectionChangeGoesToTheOwnerControlNotTheProvidersForm) {
  auto* box = Create<TSkinnedBox>(form.get());
  box->SetParent(form.get());
  box->sd.SetOwnerProvider(&provider);
  TMessageRecorder boxLog;
  boxLog.AttachControl(box);
  formLog.Clear();
  box->sd.SetSkinSection("PANEL");
  box->sd.SetSkinSection("NO SUCH SECTION");
  EXPECT_EQ(formLog.Count(SM_ALPHACMD), 0);
  EXPECT_EQ(boxLog.CountCommand(cmdSkinRefresh), 1);
  EXPECT_EQ(boxLog.CountCommand(cmdSkinRemoved), 1);
}

TEST_F(ProviderMessagesTest, AManagerChangeReachesTheProvidersMessageEntryNotItsForm) {
  TsCommonData sd(nullptr, true);
  sd.SetOwnerProvider(&provider);
  sd.SetSkinSection("FORM");
  Owned<TsSkinManager> empty = CreateOwned<TsSkinManager>();  // no skin: not usable
  sd.SetSkinManager(empty.get());
  sd.SetSkinManager(manager.get());
  ASSERT_EQ(provider.received.size(), 2u);
  const struct {
    unsigned code;
    TsSkinManager* manager;
  } want[] = {{cmdSkinRemoved, empty.get()}, {cmdSkinRefresh, manager.get()}};
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(provider.received[i].Msg, SM_ALPHACMD);
    EXPECT_EQ(HIWORD(provider.received[i].WParam), want[i].code) << i;
    EXPECT_EQ(provider.received[i].LParam, reinterpret_cast<LPARAM>(want[i].manager)) << i;
  }
  EXPECT_EQ(formLog.Count(SM_ALPHACMD), 0);
}

struct TMenuLog {
  struct Call {
    TsSkinManager* manager;
    HMENU menu;
    bool enable;
  };
  static inline std::vector<Call> calls;
  static inline bool menuOpenAtCall = false;
};

TEST_F(FormServicesTest, AControlsPopupMenuIsHandedToTheMenuPainterBeforeItOpens) {
  Owned<TsSkinManager> manager = SkinnedManager();
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(0, 0, 200, 150);
  auto* box = Create<TSkinnedBox>(form.get());
  box->SetParent(form.get());
  box->SetBounds(10, 10, 50, 50);
  auto* popup = Create<TPopupMenu>(form.get());
  auto* item = Create<TMenuItem>(popup);
  item->SetCaption("Item");
  popup->Items()->Add(item);
  form->Show();
  TMenuLog::calls.clear();
  FormServices().SetMenuSkinned = [](TsSkinManager* m, HMENU menu, bool enable) {
    TMenuLog::calls.push_back({m, menu, enable});
    TMenuLog::menuOpenAtCall = FindThreadWindow(kMenuClass) != nullptr;
  };

  // Without a pop-up menu nothing is handed over.
  SendMessageW(box->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box->Handle()), -1);
  EXPECT_TRUE(TMenuLog::calls.empty());

  box->SetPopupMenu(popup);
  manager->SetSkinnedPopups(false);
  {
    TModalProbe probe(kMenuClass, [](HWND) {});
    SendMessageW(box->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box->Handle()), -1);
    EXPECT_TRUE(probe.Found()) << "the menu still opens";
  }
  ASSERT_EQ(TMenuLog::calls.size(), 1u);
  EXPECT_EQ(TMenuLog::calls[0].manager, manager.get());
  EXPECT_EQ(TMenuLog::calls[0].menu, popup->Handle());
  EXPECT_FALSE(TMenuLog::calls[0].enable) << "the manager's SkinnedPopups";
  EXPECT_FALSE(TMenuLog::menuOpenAtCall);
}

}  // namespace
}  // namespace kvtest
