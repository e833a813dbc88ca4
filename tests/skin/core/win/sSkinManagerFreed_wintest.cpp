// A skin manager that is not the default, freed before the controls, the
// form provider and the window adapters it was given, whether it was still
// active or switched off first: none of them may read it afterwards; they
// fall back to the default manager and take its skin at its next broadcast.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include "classlib/Buttons.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/SkinnedFormFixture.h"
#include "skin/adapters/acEditWnd_win.h"
#include "skin/adapters/acToolBarWnd_win.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sListView_win.h"
#include "skin/controls/sPanel_win.h"
#include "support/FreedMemory.h"
#include "support/MessageBoxHook.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

class ManagerFreedBase : public SkinnedFormFixture {
 protected:
  Owned<TsSkinManager> NewOther() {
    Owned<TsSkinManager> other = CreateOwned<TsSkinManager>();
    other->SetSkinDirectory("c:\\NoSkins");
    TsStoredSkin& stored = other->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin().Packed();
    other->SetSkinName("T");
    return other;
  }
  // Painted now, not pumped: a paint that reads freed memory ends quietly
  // and leaves its window to be painted again and again.
  void RepaintAll() {
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
};

class ManagerFreedFirst : public ManagerFreedBase,
                          public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

// With the first parameter the whole form is skinned by the freed manager,
// else only the controls given it are; with the second it is switched off
// (Active False) before it goes. The edit's window adapter was given the
// manager by hand, as a control gives its own.
TEST_P(ManagerFreedFirst, EveryHolderDropsItAndTakesTheDefaultSkinAtTheNextBroadcast) {
  const auto [formToo, switchedOff] = GetParam();
  const kvtest::TFreedMemoryCheck freed;
  Owned<TsSkinManager> other = NewOther();
  ASSERT_FALSE(other->IsDefault());
  auto* panel = Add<TsPanel>(10, 10, 150, 80);
  auto* list = Add<TsListView>(10, 100, 150, 80);
  auto* edit = Add<TsEdit>(200, 10, 150, 24);
  auto* plain = Add<TEdit>(200, 50, 150, 24);
  const std::vector<TsCommonData*> given{panel->SkinData(), list->SkinData(), edit->SkinData()};
  for (TsCommonData* sd : given) sd->SetSkinManager(other.get());
  provider = Create<TsSkinProvider>(form);
  if (formToo) provider->SkinData()->SetSkinManager(other.get());
  form->Show();
  pump::PumpUntilIdle();
  TacEditWnd* held = CreateAdapter<TacEditWnd>(edit->Handle(), true, nullptr, other.get(), "EDIT");
  ASSERT_EQ(AdapterOf(edit), held);
  ASSERT_NE(AdapterOf(list), nullptr);
  ASSERT_NE(AdapterOf(plain), nullptr);
  ASSERT_GE(panel->SkinData()->SkinIndex, 0);
  if (switchedOff) {
    other->SetActive(false);
    RepaintAll();
  }

  other.reset();
  RepaintAll();
  ASSERT_EQ(freed.Faults(), 0u);
  for (TsCommonData* sd : given) EXPECT_EQ(sd->SkinManager(), manager.get());
  EXPECT_EQ(provider->SkinManager(), manager.get());
  EXPECT_EQ(held->SkinManager, manager.get());

  manager->SendNewSkin(true);
  pump::PumpUntilIdle();
  for (TsCommonData* sd : given) EXPECT_GE(sd->SkinIndex, 0);
  for (TWinControl* c : {static_cast<TWinControl*>(list), static_cast<TWinControl*>(plain)}) {
    ASSERT_NE(AdapterOf(c), nullptr) << c->ClassName();
    EXPECT_EQ(AdapterOf(c)->SkinManager, manager.get()) << c->ClassName();
  }
  RepaintAll();
  const kvtest::TPixels shot = kvtest::TPixels::FromClient(form->Handle());
  EXPECT_EQ(SectionAt(shot, panel->Left() + 40, panel->Top() + 40).substr(0, 6), "PANEL.");
  FreeAdapter(held);
  EXPECT_EQ(freed.Faults(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Managers, ManagerFreedFirst,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

// Holders no removal broadcast reaches: a control not placed yet, and one
// on a form that neither the application owns nor a provider skins; on
// that form too, a window adapter and a speed button's handler given the
// manager by hand. Placed and painted after the manager is gone, they
// follow the default one.
enum class TOutOfReach { PlacedLater, OnPlainForm, WindowAdapter, SpeedButtonHandler };

std::string HolderName(const ::testing::TestParamInfo<TOutOfReach>& info) {
  static const char* const names[] = {"PlacedLater", "OnPlainForm", "WindowAdapter",
                                      "SpeedButtonHandler"};
  return names[static_cast<int>(info.param)];
}

class ManagerFreedOutOfReach : public ManagerFreedBase,
                               public ::testing::WithParamInterface<TOutOfReach> {};

TEST_P(ManagerFreedOutOfReach, IsDroppedAllTheSame) {
  const TOutOfReach holder = GetParam();
  const kvtest::TFreedMemoryCheck freed;
  Owned<TsSkinManager> other = NewOther();
  auto* panel = Create<TsPanel>(form);
  panel->SetBounds(10, 10, 150, 80);
  if (holder != TOutOfReach::PlacedLater) panel->SetParent(form);
  auto* edit = Add<TEdit>(200, 10, 150, 24);
  auto* button = Add<TSpeedButton>(200, 50, 23, 22);
  form->Show();
  pump::PumpUntilIdle();
  TacEditWnd* adapter = nullptr;
  std::unique_ptr<TacSpeedButtonHandler> handler;
  const std::function<TsSkinManager*()> held = [&]() -> TsSkinManager* {
    switch (holder) {
      case TOutOfReach::WindowAdapter:
        return adapter->SkinManager;
      case TOutOfReach::SpeedButtonHandler:
        return handler->SkinManager;
      default:
        return panel->SkinData()->SkinManager();
    }
  };
  if (holder == TOutOfReach::WindowAdapter)
    adapter = CreateAdapter<TacEditWnd>(edit->Handle(), true, nullptr, other.get(), "EDIT");
  else if (holder == TOutOfReach::SpeedButtonHandler)
    handler = CreateSpeedButtonHandler(button, "SPEEDBUTTON", other.get(), nullptr);
  else
    panel->SkinData()->SetSkinManager(other.get());
  ASSERT_EQ(held(), other.get());

  other.reset();
  if (holder == TOutOfReach::PlacedLater) panel->SetParent(form);
  RepaintAll();
  EXPECT_EQ(freed.Faults(), 0u) << "the freed manager was read";
  EXPECT_EQ(held(), manager.get());
  if (adapter != nullptr) FreeAdapter(adapter);
  handler.reset();
  EXPECT_EQ(freed.Faults(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Holders, ManagerFreedOutOfReach,
                         ::testing::Values(TOutOfReach::PlacedLater, TOutOfReach::OnPlainForm,
                                           TOutOfReach::WindowAdapter,
                                           TOutOfReach::SpeedButtonHandler),
                         HolderName);

// A manager freed in the middle of its own change of skin: by its before or
// after event, or while the box the change shows is up (a form closed by a
// timer meanwhile). Nothing of it is touched afterwards.
struct TFreedInChange {
  const char* what;
  bool byBefore, byAfter, byBox;
  const char* version;                           // of the skin loaded
  std::function<void(TsSkinManager&)> change;    // what starts the change
};

class ManagerFreedInItsChange : public ::testing::TestWithParam<TFreedInChange> {};

TEST_P(ManagerFreedInItsChange, IsNotTouchedAfterwards) {
  const TFreedInChange& c = GetParam();
  ASSERT_EQ(DefaultManager, nullptr);
  const kvtest::TFreedMemoryCheck freed;
  Owned<TsSkinManager> m = CreateOwned<TsSkinManager>();
  m->SetSkinDirectory("c:\\NoSkins");
  for (const char* name : {"T", "U"}) {
    TsStoredSkin& stored = m->InternalSkins.Add();
    stored.Name = name;
    stored.Data = kvtest::TTestSkin({.Keys = {{"GLOBALINFO", "VERSION", c.version}}}).Packed();
  }
  {
    kv::test::MessageBoxHook quiet;
    m->SetSkinName("T");
  }
  int frees = 0;
  const auto freeIt = [&] {
    ++frees;
    m.reset();
  };
  if (c.byBefore) m->OnBeforeChange = [&](TObject*) { freeIt(); };
  if (c.byAfter) m->OnAfterChange = [&](TObject*) { freeIt(); };
  kv::test::MessageBoxHook boxes(IDOK, [&](HWND) {
    if (c.byBox && m) freeIt();
    return 0;
  });
  c.change(*m);
  EXPECT_EQ(frees, 1);
  EXPECT_EQ(DefaultManager, nullptr);
  EXPECT_EQ(freed.Faults(), 0u) << "the freed manager was read";
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ManagerFreedInItsChange,
    ::testing::Values(
        TFreedInChange{"by its before event", true, false, false, "7.0",
                       [](TsSkinManager& m) { m.SetSkinName("U"); }},
        TFreedInChange{"by its after event", false, true, false, "7.0",
                       [](TsSkinManager& m) { m.SetSkinName("U"); }},
        TFreedInChange{"during the box of a failed load", false, false, true, "7.0",
                       [](TsSkinManager& m) {
                         TsStoredSkin& bad = m.InternalSkins.Add();
                         bad.Name = "Bad";
                         bad.Data = {'n', 'o', 't'};
                         m.SetSkinName("Bad");
                       }},
        TFreedInChange{"during the notice of a new skin", false, false, true, "255.5",
                       [](TsSkinManager& m) { m.SetSkinName("U"); }},
        TFreedInChange{"during the notice of a reload", false, false, true, "255.5",
                       [](TsSkinManager& m) { m.SetHueOffset(20); }}),
    [](const ::testing::TestParamInfo<TFreedInChange>& info) {
      std::string name = info.param.what;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

}  // namespace
}  // namespace kv
