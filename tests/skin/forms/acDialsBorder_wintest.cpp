// A modeless system dialog that destroys itself when closed (Find), skinned
// by the hook with extended borders on, closed from its border window: the
// border window and the dialog's adapter go without a write to memory
// already freed.
#include <commdlg.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "SkinnedFormFixture.h"
#include "SystemPointer.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acDials_win.h"
#include "support/FreedMemory.h"
#include "support/HostWindow.h"
#include "support/Pump.h"

namespace kvtest {
namespace {

using namespace kv;

enum class TCloseBy { CloseButtonReleased, IconDoubleClicked };

class FindDialogBorder : public ::testing::TestWithParam<TCloseBy>, public TSkinnedFormFixture {
 protected:
  void SetUp() override {
    ASSERT_NE(DialogAdapterFactory, nullptr) << "the form services give dialogs their adapter";
    manager->SetExtendedBorders(true);
    find_.lStructSize = sizeof find_;
    find_.hwndOwner = host_.Handle();
    find_.lpstrFindWhat = what_;
    find_.wFindWhatLen = sizeof what_ / sizeof what_[0];
    find_.Flags = FR_DOWN;
    dialog = FindTextW(&find_);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PumpUntil([&] {
      adapter = dynamic_cast<TacDialogWnd*>(AdapterOfWindow(dialog));
      return adapter != nullptr && adapter->BorderForm() != nullptr &&
             IsWindowVisible(adapter->BorderForm()->Handle());
    })) << "the hook skins the dialog and gives it its border window";
    companion = adapter->BorderForm()->Handle();
  }
  void TearDown() override {
    if (IsWindow(dialog)) DestroyWindow(dialog);
    // A window's destruction is when the hook frees what dialogs left.
    DestroyWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr));
  }
  // A screen point at the middle of a rectangle of the border window's picture.
  POINT OnPicture(const TRect& r) const {
    RECT around{};
    GetWindowRect(companion, &around);
    return {around.left + (r.Left + r.Right) / 2, around.top + (r.Top + r.Bottom) / 2};
  }
  static void Press(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
  }

  THostWindow host_;
  wchar_t what_[80] = L"logger";
  FINDREPLACEW find_{};
  HWND dialog = nullptr;
  HWND companion = nullptr;
  TacDialogWnd* adapter = nullptr;
};

TEST_P(FindDialogBorder, ClosedFromItsBorderWindowItGoesWithoutTouchingFreedMemory) {
  TRect close{}, icon = adapter->TitleIconRect();
  for (const TsPlacedTitleButton& b : adapter->PlacedButtons())
    if (b.HitCode == TitleHit::Close) close = b.Rect;
  ASSERT_GT(close.Width(), 0);
  {
    const TFreedMemoryCheck check;
    if (GetParam() == TCloseBy::CloseButtonReleased) {
      // Pressed and released where the border window shows the close button.
      SystemMoveTo(OnPicture(close));
      Press(MOUSEEVENTF_LEFTDOWN);
      EXPECT_TRUE(PumpUntil([&] { return adapter->ButtonState(HTCLOSE) == 2; }))
          << "the press reached the dialog's close button";
      Press(MOUSEEVENTF_LEFTUP);
    } else {
      // The second press of a double click on the icon, as the system
      // gives it to the window under the pointer.
      const POINT at = OnPicture(icon);
      SendMessageW(companion, WM_NCLBUTTONDBLCLK, HTOBJECT, MAKELPARAM(at.x, at.y));
    }
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); })) << "the dialog closed itself";
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(companion); })) << "its border window went too";
    PumpUntilIdle();
    TearDown();
    EXPECT_GT(check.Kept(), 0u) << "the border window and the adapter were freed";
    EXPECT_TRUE(check.Intact());
  }
  SystemMoveTo(AwayFromWindows());
}

INSTANTIATE_TEST_SUITE_P(Find, FindDialogBorder,
                         ::testing::Values(TCloseBy::CloseButtonReleased,
                                           TCloseBy::IconDoubleClicked),
                         [](const ::testing::TestParamInfo<TCloseBy>& info) {
                           return std::string(info.param == TCloseBy::CloseButtonReleased
                                                  ? "CloseButtonReleased"
                                                  : "IconDoubleClicked");
                         });

}  // namespace
}  // namespace kvtest
