// The pop-up menu window adapter and the combo-box variant under Wine: what
// a menu window answers the skinned menus, and where the variant puts its
// button. (The dialog hook's tests open menus that get the adapter.)
#include <gtest/gtest.h>

#include "AdapterFixture.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/acMnuWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sVclUtils_win.h"
#include "support/ModalProbe.h"

namespace kvtest {
namespace {

using namespace kv;

class MenuWndTest : public AdapterFixture {
 protected:
  void SetUp() override {
    saved_ = FormServices();
    AdapterFixture::SetUp();
  }
  void TearDown() override {
    AdapterFixture::TearDown();
    FormServices() = saved_;
  }

 private:
  TacFormServices saved_{};
};

TEST_F(MenuWndTest, AMenuWindowAnswersTheSkinnedMenusQuestions) {
  FormServices().CBTHookProc = NullFormServices().CBTHookProc;  // this test attaches it
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, L"Relay 1 on");
  struct Answers {
    LRESULT skinned = 0, regionBefore = -1, regionAfter = -1, application = 0;
  } got;
  {
    TModalProbe probe(kMenuClass, [&](HWND wnd) {
      TacMainWnd* adapter = CreateMenuWndAdapter(wnd, nullptr, manager.get(), "", false);
      got.skinned = SendCommandToWindow(wnd, cmdIsSkinned, 0);
      got.regionBefore = SendCommandToWindow(wnd, cmdSetSuspended, 0);
      SendCommandToWindow(wnd, cmdMenuPrivate14, 0);
      got.regionAfter = SendCommandToWindow(wnd, cmdSetSuspended, 0);
      got.application = SendCommandToWindow(wnd, cmdGetApplication, 0);
      EXPECT_EQ(adapter->SkinData->SkinSection(), "MAINMENU");
    });
    TrackPopupMenu(menu, TPM_RETURNCMD, kHostX + 10, kHostY + 10, 0, host->Handle(), nullptr);
    ASSERT_TRUE(probe.Found());
  }
  DestroyMenu(menu);
  EXPECT_EQ(got.skinned, 1);
  EXPECT_EQ(got.regionBefore, 0);
  EXPECT_EQ(got.regionAfter, 1) << "command 8 is a question here, answered by command 14";
  EXPECT_EQ(got.application, reinterpret_cast<LRESULT>(Application));
}

TEST_F(MenuWndTest, TheVariantsButtonFollowsTheControlsStyle) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(0, 0, 300, 200);
  const int button = GetSystemMetrics(SM_CXVSCROLL);
  const struct {
    const char* what;
    TComboBoxStyle style;
    int width;
  } rows[] = {{"drop-down", csDropDown, button},
              {"drop-down list", csDropDownList, button},
              {"simple", csSimple, 0}};
  for (const auto& r : rows) {
    auto* box = Create<TComboBox>(form.get());
    box->SetParent(form.get());
    box->SetStyle(r.style);
    box->SetBounds(10, 10, 120, 80);
    auto* adapter = static_cast<TacWWComboBoxWnd*>(
        CreateWWComboBoxAdapter(box->Handle(), nullptr, manager.get(), "COMBOBOX", false));
    const TRect rect = adapter->GetButtonRect({120, 24});
    EXPECT_EQ(rect.Width(), r.width) << r.what;
    EXPECT_EQ(rect.Right, 118) << r.what;
    FreeAdapter(adapter);
    box->Free();
  }
  // A window of another combo class shows its button whatever its style,
  // on the left when it reads right to left.
  HWND other =
      CreateWindowExW(WS_EX_RTLREADING, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_SIMPLE, 10,
                      10, 120, 80, host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  auto* adapter = static_cast<TacWWComboBoxWnd*>(
      CreateWWComboBoxAdapter(other, nullptr, manager.get(), "COMBOBOX", false));
  const TRect rect = adapter->GetButtonRect({120, 24});
  EXPECT_EQ(rect.Left, 2);
  EXPECT_EQ(rect.Width(), button);
  FreeAdapter(adapter);
  DestroyWindow(other);
}

}  // namespace
}  // namespace kvtest
