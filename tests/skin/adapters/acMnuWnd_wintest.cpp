// The pop-up menu window adapter and the combo-box variant under Wine: what
// a menu window answers the skinned menus, what a submenu's window shows
// before its items, and where the variant puts its button. (The dialog
// hook's tests open menus that get the adapter.)
#include <gtest/gtest.h>
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include <vector>

#include "AdapterFixture.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/acMnuWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acDials_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/menus/sSkinMenus_win.h"
#include "support/ModalProbe.h"
#include "support/Pixels.h"
#include "support/PlatformSeams.h"

namespace kvtest {
namespace {

using namespace kv;

class MenuWndTest : public AdapterFixture {
 protected:
  // The toolkit's services, as the program has them: the manager made by
  // the fixture gets its menu painter.
  void SetUp() override {
    saved_ = FormServices();
    InstallFormServices();
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

// What each pop-up menu window shows once its background was first erased,
// before its items are drawn. Set above the menu adapter: this hook runs
// before the toolkit's and subclasses the window once the toolkit's has.
class TMenuFirstErase {
 public:
  struct TShot {
    HWND wnd;
    TPixels pixels;
  };
  TMenuFirstErase() {
    self_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
  }
  ~TMenuFirstErase() {
    UnhookWindowsHookEx(hook_);
    self_ = nullptr;
  }
  TMenuFirstErase(const TMenuFirstErase&) = delete;
  TMenuFirstErase& operator=(const TMenuFirstErase&) = delete;
  std::vector<TShot> Shots;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    const LRESULT result = CallNextHookEx(nullptr, code, wp, lp);
    if (code == HCBT_CREATEWND && self_ != nullptr &&
        WindowClassName(reinterpret_cast<HWND>(wp)) == "#32768")
      SetWindowSubclass(reinterpret_cast<HWND>(wp), &Proc, 1, 0);
    return result;
  }
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(wnd, msg, wp, lp);
    if (msg == WM_ERASEBKGND && self_ != nullptr) {
      RemoveWindowSubclass(wnd, &Proc, 1);
      RECT r{};
      GetWindowRect(wnd, &r);
      HDC dc = GetWindowDC(wnd);
      self_->Shots.push_back({wnd, TPixels::FromDC(dc, {0, 0, r.right - r.left, r.bottom - r.top})});
      ReleaseDC(wnd, dc);
    }
    return result;
  }
  static inline TMenuFirstErase* self_ = nullptr;
  HHOOK hook_ = nullptr;
};

// Inside a menu's loop: once the menu shows its items, its first item is
// chosen and opened by keys, as a user does; once the submenu was erased,
// the menu is closed. A watchdog closes it anyway after a few seconds.
class TOpenFirstSubmenu {
 public:
  TOpenFirstSubmenu(HWND keysTo, const TMenuFirstErase& erased) : keysTo_(keysTo), erased_(erased) {
    self_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &Tick);
  }
  ~TOpenFirstSubmenu() {
    KillTimer(nullptr, timer_);
    self_ = nullptr;
  }
  TOpenFirstSubmenu(const TOpenFirstSubmenu&) = delete;
  TOpenFirstSubmenu& operator=(const TOpenFirstSubmenu&) = delete;
  bool TimedOut = false;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    TOpenFirstSubmenu* self = self_;
    if (self == nullptr) return;
    if (++self->ticks_ > 250) {
      self->TimedOut = true;
      EndMenu();
    } else if (!self->posted_ && FindThreadWindow(kMenuClass) != nullptr && MenuInUse()) {
      PostMessageW(self->keysTo_, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageW(self->keysTo_, WM_KEYDOWN, VK_RIGHT, 0);
      self->posted_ = true;
    } else if (self->erased_.Shots.size() >= 2) {
      EndMenu();
    }
  }
  static inline TOpenFirstSubmenu* self_ = nullptr;
  HWND keysTo_;
  const TMenuFirstErase& erased_;
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool posted_ = false;
};

// A skinned menu's submenu opens while the menu is in use: before its items
// are drawn its window shows the skin's menu section, not the system's look.
// (Wine gives a menu window no frame outside its client area: the section's
// frame is in the background picture.)
TEST_F(MenuWndTest, ASubmenusWindowShowsTheSkinsFrameAndBackgroundBeforeItsItems) {
  TPlatformScope platform;
  platform.Calls().IsCompositionEnabled = +[] { return false; };
  TForm* form = Create<TForm>(Application);
  auto* popup = Create<TPopupMenu>(form);
  const auto add = [&](TMenuItem* parent, const char* caption) {
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  };
  TMenuItem* relays = add(popup->Items(), "Relays");
  for (const char* caption : {"Relay 1 on", "Relay 1 off", "Relay 2 on", "Relay 2 off"})
    add(relays, caption);
  add(popup->Items(), "Read Setting");
  FormServices().ApplySkinActive(manager.get());
  TMenuFirstErase paints;
  {
    TOpenFirstSubmenu open(host->Handle(), paints);
    popup->Popup(kHostX + 10, kHostY + 10);
    ASSERT_FALSE(open.TimedOut);
  }
  form->Free();
  ASSERT_EQ(2u, paints.Shots.size()) << "the menu and its submenu";
  const TPixels& sub = paints.Shots[1].pixels;
  const int w = sub.Width(), h = sub.Height();
  // The skin's menu item: its border mask round the edge, the section's
  // colour where the mask lets it through (its corners), nothing else.
  const COLORREF frame = Legend("MAINMENU", "BORDERSMASK"), colour = Legend("MAINMENU", "COLOR");
  for (const POINT p : {POINT{1, h / 2}, POINT{w - 2, h / 2}, POINT{w / 2, 1}, POINT{w / 2, h - 2}})
    EXPECT_TRUE(ColourAt(sub, p.x, p.y, frame));
  EXPECT_TRUE(ColourAt(sub, 0, 0, colour));
  EXPECT_EQ(w * h, sub.CountOf(frame, sub.Whole()) + sub.CountOf(colour, sub.Whole()));
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
