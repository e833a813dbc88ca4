// Hidden message windows: the handler sees its range of messages and goes
// with the window.
#include "classlib/HiddenWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "support/Pump.h"

using namespace kv;

namespace {

constexpr UINT kProbe = WM_APP + 7;

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
  kv::pump::PumpUntil([&] { return seen.size() == 2; });
  EXPECT_EQ(seen, (std::vector<UINT>{kProbe + 1, kProbe}));
  EXPECT_FALSE(watch.expired());
  DestroyWindow(wnd);
  EXPECT_TRUE(watch.expired());
}

}  // namespace
