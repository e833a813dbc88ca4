// Hooks on a control's window procedure: they come off in any order through
// their handles, stay in place while a freed control's window goes, and are
// let go after it, whatever frees the control and whoever owns the hook.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "MessageLog.h"
#include "classlib/Forms.h"
#include "support/Counters.h"

using namespace kv;
using kvtest::SequenceIs;

namespace {

constexpr UINT kProbe = WM_APP + 42;

// A component that hooks a control from its constructor, as a form's skin
// provider or a control's adapter does, and logs what its hook sees.
class THookOwner : public TComponent {
 public:
  THookOwner(TComponent* owner, TControl* target, std::string name, kvtest::TMessageLog* log)
      : TComponent(owner), name_(std::move(name)), log_(log) {
    hook_ = target->InstallWindowProcHook(TWndMethod(this, &THookOwner::Proc));
  }
  ~THookOwner() override { log_->Add(name_ + (hook_.Installed() ? " freed hooked" : " freed")); }

 private:
  void Proc(TMessage& m) {
    if (m.Msg == kProbe || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY)
      log_->Add(name_ + " " + kvtest::MessageName(m.Msg));
    hook_.CallPrevious(m);
  }
  std::string name_;
  kvtest::TMessageLog* log_;
  TWindowProcHook hook_;
};

// What a recorder saw end with the window going, once.
::testing::AssertionResult EndsWithTheWindowGoing(const kvtest::TMessageRecorder& r) {
  std::vector<UINT> tail;
  for (const auto& m : r.Messages) tail.push_back(m.message);
  const std::vector<UINT> last(tail.end() - std::min<size_t>(tail.size(), 2), tail.end());
  if (last != std::vector<UINT>{WM_DESTROY, WM_NCDESTROY} || r.Count(WM_DESTROY) != 1 ||
      r.Count(WM_NCDESTROY) != 1) {
    std::string all;
    for (UINT m : tail) all += " " + kvtest::MessageName(m);
    return ::testing::AssertionFailure() << "expected WM_DESTROY, WM_NCDESTROY last; got" << all;
  }
  return ::testing::AssertionSuccess();
}

enum class TFreedBy { Itself, ItsForm, FormOwner, FormClosed };

struct TeardownCase {
  TFreedBy how;
  const char* name;
};

class HookedTeardown : public ::testing::TestWithParam<TeardownCase> {};

TEST_P(HookedTeardown, HooksSeeTheWindowGoAndNothingAfter) {
  // Declared first: they outlive the form and its child.
  kvtest::TMessageRecorder formRecorder, childRecorder;
  Owned<TForm> owner = CreateOwned<TForm>();
  TForm* form = Create<TForm>(GetParam().how == TFreedBy::FormOwner ? owner.get() : nullptr);
  auto* child = Create<TCustomControl>(form);
  child->SetParent(form);
  child->SetBounds(4, 4, 40, 20);
  form->Show();
  formRecorder.AttachControl(form);
  childRecorder.AttachControl(child);
  bool freed = false;
  form->OnDestroy = [&](TObject*) { freed = true; };

  switch (GetParam().how) {
    case TFreedBy::Itself:
      child->Free();
      form->Free();
      break;
    case TFreedBy::ItsForm:
      form->Free();
      break;
    case TFreedBy::FormOwner:
      owner.reset();
      break;
    case TFreedBy::FormClosed:
      form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
      form->Close();
      ASSERT_TRUE(kvtest::PumpUntil([&] { return freed; })) << "the form was never freed";
      break;
  }
  ASSERT_TRUE(freed);
  EXPECT_TRUE(EndsWithTheWindowGoing(childRecorder)) << "child";
  EXPECT_TRUE(EndsWithTheWindowGoing(formRecorder)) << "form";
}

INSTANTIATE_TEST_SUITE_P(Controls, HookedTeardown,
                         ::testing::Values(TeardownCase{TFreedBy::Itself, "ChildThenForm"},
                                           TeardownCase{TFreedBy::ItsForm, "FormWithChild"},
                                           TeardownCase{TFreedBy::FormOwner, "FormByItsOwner"},
                                           TeardownCase{TFreedBy::FormClosed, "FormClosedToFree"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowProcHooks, OwnedHookOwnersSeeTheFormGoAndAreFreedWithItWhole) {
  const kvtest::TObjectBaseline baseline;
  kvtest::TMessageLog log;
  TForm* form = Create<TForm>(nullptr);
  auto* child = Create<TCustomControl>(form);
  child->SetParent(form);
  Create<THookOwner>(form, form, "provider", &log);
  Create<THookOwner>(form, child, "adapter", &log);
  form->HandleNeeded();
  form->Free();
  EXPECT_TRUE(SequenceIs(log, {"adapter WM_DESTROY", "adapter WM_NCDESTROY", "provider WM_DESTROY",
                               "provider WM_NCDESTROY", "adapter freed", "provider freed"}));
  EXPECT_TRUE(baseline.Unchanged());
}

// Three hooks (two owned by the form, one held apart) taken off in every
// order, stopping after each step: the chain always reaches exactly the
// hooks still on, top first, and nothing is left over once all is freed.
TEST(WindowProcHooks, RemovedInAnyOrderLeaveTheChainWholeAndNothingBehind) {
  std::array<int, 3> order = {0, 1, 2};
  do {
    for (int freedFirst = 0; freedFirst <= 3; ++freedFirst) {
      SCOPED_TRACE("order " + std::to_string(order[0]) + std::to_string(order[1]) +
                   std::to_string(order[2]) + ", freed first " + std::to_string(freedFirst));
      const kvtest::TObjectBaseline baseline;
      kvtest::TMessageLog log;
      TForm* form = Create<TForm>(nullptr);
      form->HandleNeeded();
      std::array<THookOwner*, 3> hooks = {Create<THookOwner>(form, form, "0", &log),
                                          Create<THookOwner>(nullptr, form, "1", &log),
                                          Create<THookOwner>(form, form, "2", &log)};
      std::vector<std::string> expected = {"2 " + kvtest::MessageName(kProbe),
                                           "1 " + kvtest::MessageName(kProbe),
                                           "0 " + kvtest::MessageName(kProbe)};
      for (int i = 0; i < freedFirst; ++i) {
        const int k = order[static_cast<size_t>(i)];
        hooks[static_cast<size_t>(k)]->Free();
        hooks[static_cast<size_t>(k)] = nullptr;
        std::erase(expected, std::to_string(k) + " " + kvtest::MessageName(kProbe));
      }
      log.Clear();
      form->Perform(kProbe);
      EXPECT_TRUE(SequenceIs(log, expected));
      form->Free();
      if (hooks[1] != nullptr) hooks[1]->Free();  // outlived the form it hooked
      EXPECT_TRUE(baseline.Unchanged());
    }
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST(WindowProcHooks, HookTakenOffUnderAHandMadeReplacementPassesMessagesOn) {
  const kvtest::TObjectBaseline baseline;
  kvtest::TMessageLog log;
  {
    Owned<TForm> form = CreateOwned<TForm>();
    form->HandleNeeded();
    auto* owner = Create<THookOwner>(nullptr, form.get(), "hook", &log);
    const TWndMethod saved = form->WindowProc;
    form->WindowProc = TWndMethod([&log, saved](TMessage& m) {
      if (m.Msg == kProbe) log.Add("by hand");
      saved(m);
    });
    owner->Free();
    log.Clear();
    EXPECT_EQ(SendMessageW(form->Handle(), kProbe, 0, 0), 0);
    EXPECT_TRUE(SequenceIs(log, {"by hand"}));
  }
  EXPECT_TRUE(baseline.Unchanged());
}

// A hook put on a form before its window exists sees the window's first
// messages, which come before CreateWindowEx returns, with the form already
// knowing its window.
TEST(WindowProcHooks, HookOnAFormWithoutWindowSeesTheFirstMessagesOfCreation) {
  Owned<TForm> form = CreateOwned<TForm>();
  std::vector<UINT> seen;
  bool handleKnown = true;
  TWindowProcHook hook;
  hook = form->InstallWindowProcHook(TWndMethod([&](TMessage& m) {
    if (m.Msg == WM_GETMINMAXINFO || m.Msg == WM_NCCREATE || m.Msg == WM_CREATE) {
      seen.push_back(m.Msg);
      handleKnown = handleKnown && form->HandleAllocated() && form->Handle() != nullptr;
    }
    hook.CallPrevious(m);
  }));
  form->HandleNeeded();
  ASSERT_FALSE(seen.empty());
  const auto at = [&](UINT msg) { return std::find(seen.begin(), seen.end(), msg) - seen.begin(); };
  EXPECT_LT(at(WM_NCCREATE), at(WM_CREATE));
  EXPECT_LT(at(WM_GETMINMAXINFO), at(WM_CREATE));
  EXPECT_TRUE(handleKnown);
}

}  // namespace
