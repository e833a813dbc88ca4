// Messages of windows that are no control: subclass chains on windows that
// are not ours, and hidden message windows.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "MessageLog.h"
#include "classlib/ForeignSubclass.h"
#include "classlib/HiddenWindow.h"

using namespace kv;
using kvtest::SequenceIs;
using kvtest::TMessageLog;

namespace {

constexpr UINT kProbe = WM_APP + 7;

// A plain window and three owners, each logging its name and passing on;
// each owner's proc holds a token, so a freed proc shows as an expired one.
struct Chain {
  HWND wnd =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  LONG_PTR ownProc = GetWindowLongPtrW(wnd, GWLP_WNDPROC);
  const char owners[3] = {'A', 'B', 'C'};
  TMessageLog log;
  std::vector<std::weak_ptr<int>> tokens;

  Chain() {
    for (const char& owner : owners) Add(&owner);
  }
  ~Chain() { DestroyWindow(wnd); }
  bool Add(const char* owner) {
    auto token = std::make_shared<int>(0);
    tokens.push_back(token);
    return SubclassForeign(wnd, owner, [this, owner, token](HWND w, UINT m, WPARAM wp, LPARAM lp) {
      if (m == kProbe || m == WM_NCDESTROY)
        log.Add(std::string(1, *owner) + (m == kProbe ? "" : ":destroy"));
      return DefSubclassProc(w, m, wp, lp);
    });
  }
  const TMessageLog& Probe() {
    log.Clear();
    SendMessageW(wnd, kProbe, 0, 0);
    return log;
  }
};

TEST(ForeignSubclass, LastAddedSeesMessagesFirstAndOneOwnerSubclassesOnce) {
  Chain c;
  EXPECT_FALSE(c.Add(&c.owners[1]));
  EXPECT_TRUE(SequenceIs(c.Probe(), {"C", "B", "A"}));
}

// The owners' indexes in the order their subclasses come off.
class ForeignSubclassRemoval : public ::testing::TestWithParam<std::vector<int>> {};

TEST_P(ForeignSubclassRemoval, AnyOrderLeavesTheOthersChainedAndFreesTheRemoved) {
  Chain c;
  std::vector<std::string> left = {"C", "B", "A"};
  for (int i : GetParam()) {
    UnsubclassForeign(c.wnd, &c.owners[i]);
    std::erase(left, std::string(1, c.owners[i]));
    EXPECT_TRUE(c.tokens[i].expired()) << c.owners[i];
    EXPECT_TRUE(SequenceIs(c.Probe(), left));
  }
  EXPECT_EQ(GetWindowLongPtrW(c.wnd, GWLP_WNDPROC), c.ownProc);
}

INSTANTIATE_TEST_SUITE_P(Orders, ForeignSubclassRemoval,
                         ::testing::Values(std::vector{0, 1, 2}, std::vector{1, 0, 2},
                                           std::vector{2, 0, 1}, std::vector{1, 2, 0}));

TEST(ForeignSubclass, DestroyingTheWindowReleasesEverySubclass) {
  Chain c;
  UnsubclassForeign(c.wnd, &c.owners[1]);
  DestroyWindow(c.wnd);
  EXPECT_TRUE(SequenceIs(c.log, {"C:destroy", "A:destroy"}));
  for (const auto& token : c.tokens) EXPECT_TRUE(token.expired());
}

TEST(ForeignSubclass, AProcMayTakeItselfOffWhileItRuns) {
  Chain c;
  bool ran = false;
  SubclassForeign(c.wnd, &ran, [&](HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kProbe) {
      UnsubclassForeign(w, &ran);
      ran = true;
    }
    return DefSubclassProc(w, m, wp, lp);
  });
  EXPECT_TRUE(SequenceIs(c.Probe(), {"C", "B", "A"}));
  EXPECT_TRUE(ran);
  EXPECT_FALSE(IsForeignSubclassed(c.wnd, &ran));
}

TEST(HiddenWindow, HandsItsRangeToTheHandlerAndFreesItWithTheWindow) {
  std::vector<UINT> seen;
  auto token = std::make_shared<int>(0);
  std::weak_ptr<int> watch = token;
  HWND wnd = CreateHiddenWindow(kProbe, kProbe + 1,
                                [&seen, token](UINT m, WPARAM, LPARAM) { seen.push_back(m); });
  token.reset();
  SendMessageW(wnd, kProbe - 1, 0, 0);
  SendMessageW(wnd, kProbe + 1, 0, 0);
  PostMessageW(wnd, kProbe, 0, 0);
  kvtest::PumpUntil([&] { return seen.size() == 2; });
  EXPECT_EQ(seen, (std::vector<UINT>{kProbe + 1, kProbe}));
  EXPECT_FALSE(watch.expired());
  DestroyWindow(wnd);
  EXPECT_TRUE(watch.expired());
}

}  // namespace
