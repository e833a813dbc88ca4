// The skinned system menu under Wine: its entries follow the form's state
// and border icons, the skin list breaks into columns of 20, and both ways
// of dropping it show the menu with the right entries.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "KeyScript.h"
#include "SkinnedFormFixture.h"
#include "SystemPointer.h"
#include "base/SysUtils.h"
#include "classlib/WideText.h"
#include "skin/forms/sSystemMenu_win.h"
#include "support/ModalProbe.h"
#include "support/Pump.h"

namespace kv {
namespace {

struct TItemLook {
  bool Visible, Enabled;
  friend bool operator==(const TItemLook&, const TItemLook&) = default;
};
void PrintTo(const TItemLook& l, std::ostream* os) {
  *os << (l.Visible ? "visible" : "hidden") << "/" << (l.Enabled ? "enabled" : "disabled");
}
TItemLook Look(const TMenuItem* item) { return {item->Visible(), item->Enabled()}; }

class SystemMenu : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  TsSystemMenu* Menu() {
    if (menu_ == nullptr) menu_ = Create<TsSystemMenu>(provider, provider);
    menu_->UpdateItems(false);
    return menu_;
  }
  // The form shown with its menu's skin list: the menu's first item.
  TMenuItem* ShownSkinList() {
    Provide();
    Show();
    Menu()->AddSkinSelectItems();
    return menu_->Items()->Items(0);
  }
  TsSystemMenu* menu_ = nullptr;
};

TEST_F(SystemMenu, HasTheStandardItemsWithTheirCommandsAndCloseLast) {
  Provide();
  Show();
  TsSystemMenu* m = Menu();
  const std::vector<std::pair<TMenuItem*, UINT>> items = {
      {m->ItemRestore, SC_RESTORE},   {m->ItemMove, SC_MOVE},         {m->ItemSize, SC_SIZE},
      {m->ItemMinimize, SC_MINIMIZE}, {m->ItemMaximize, SC_MAXIMIZE}, {m->ItemClose, SC_CLOSE}};
  for (const auto& [item, command] : items) {
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(static_cast<UINT>(item->Tag()), command) << item->Name();
  }
  EXPECT_EQ(m->Items()->Items(m->Items()->Count() - 1), m->ItemClose);
  EXPECT_TRUE(m->Items()->Items(5)->IsLine());
}

// A command the program adds to the window's system menu sits between
// Maximize and Close, set off by lines, and is posted when clicked.
TEST_F(SystemMenu, AnAddedSystemCommandSitsBeforeCloseAndIsPosted) {
  constexpr UINT kAbout = 0x110;
  Provide();
  Show();
  AppendMenuW(provider->SystemMenu(), MF_STRING, kAbout, L"About...\tF1");
  TsSystemMenu* m = Menu();
  m->UpdateItems(true);
  ASSERT_EQ(m->ExtraItemsCount, 1);
  const int close = m->Items()->IndexOf(m->ItemClose);
  TMenuItem* about = m->Items()->Items(close - 2);
  EXPECT_EQ(about->Caption(), "About...");
  EXPECT_EQ(static_cast<UINT>(about->Tag()), kAbout);
  EXPECT_EQ(about->ShortCut(), TextToShortCut("F1"));
  EXPECT_TRUE(m->Items()->Items(close - 1)->IsLine());
  EXPECT_TRUE(m->Items()->Items(close - 3)->IsLine());
  about->Click();
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, Wnd(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(msg.wParam, kAbout);
}

TEST_F(SystemMenu, ADialogShowsMoveAndCloseOnly) {
  form->SetBorderStyle(bsDialog);
  Provide();
  Show();
  TsSystemMenu* m = Menu();
  EXPECT_FALSE(m->ItemRestore->Visible());
  EXPECT_TRUE(m->ItemMove->Visible());
  EXPECT_FALSE(m->ItemSize->Visible());
  EXPECT_FALSE(m->ItemMinimize->Visible());
  EXPECT_FALSE(m->ItemMaximize->Visible());
  EXPECT_TRUE(m->ItemClose->Visible());
}

// A maximised form can be restored but neither moved, sized nor maximised.
TEST_F(SystemMenu, AMaximisedFormCanOnlyBeRestoredMinimisedOrClosed) {
  Provide();
  Show();
  form->SetWindowState(wsMaximized);
  kvtest::PumpUntilIdle();
  TsSystemMenu* m = Menu();
  EXPECT_EQ(Look(m->ItemRestore), (TItemLook{true, true}));
  EXPECT_EQ(Look(m->ItemMove), (TItemLook{true, false}));
  EXPECT_EQ(Look(m->ItemSize), (TItemLook{true, false}));
  EXPECT_EQ(Look(m->ItemMinimize), (TItemLook{true, true}));
  EXPECT_EQ(Look(m->ItemMaximize), (TItemLook{true, false}));
  EXPECT_EQ(Look(m->ItemClose), (TItemLook{true, true}));
}

TEST_F(SystemMenu, WithoutMaximiseIconTheMaximiseEntryIsHidden) {
  form->SetBorderIcons(biSystemMenu | biMinimize);
  Provide();
  Show();
  TsSystemMenu* m = Menu();
  EXPECT_FALSE(m->ItemMaximize->Visible());
  EXPECT_TRUE(m->ItemMinimize->Visible());
}

// 45 skins make three columns: breaks before the 21st and the 41st name.
TEST_F(SystemMenu, SkinListBreaksIntoAColumnEveryTwentyNames) {
  for (int i = 0; i < 44; ++i) {
    TsStoredSkin& s = manager->InternalSkins.Add();
    s.Name = "Skin" + std::string(i < 10 ? "0" : "") + std::to_string(i);
    s.Data = skin.Packed();
  }
  TMenuItem* list = ShownSkinList();
  ASSERT_EQ(list->Name(), "SkinSelectItem");
  ASSERT_EQ(list->Count(), 45);
  for (int i = 0; i < list->Count(); ++i)
    EXPECT_EQ(list->Items(i)->Break(), i == 20 || i == 40 ? mbBreak : mbNone) << i;
  for (int i = 0; i < list->Count(); ++i)
    EXPECT_EQ(list->Items(i)->Checked(), list->Items(i)->Caption() == manager->SkinName()) << i;
}

// The list offers every skin the manager can load: the stored ones, the
// packed files and the folders of its skin directory. Chosen, a skin loads.
TEST_F(SystemMenu, SkinListHoldsStoredPackedAndFolderSkins) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string dir = Narrow(temp) + "kvtest-sysmenu-skins\\";
  std::filesystem::remove_all(Wide(dir));
  ASSERT_TRUE(ForceDirectories(dir + "Folder"));
  skin.WriteFolder(dir + "Folder");
  {
    const TacBytes packed = skin.Packed();
    std::ofstream(dir + "Packed.asz", std::ios::binary)
        .write(reinterpret_cast<const char*>(packed.data()),
               static_cast<std::streamsize>(packed.size()));
  }
  manager->SetSkinDirectory(dir);
  TMenuItem* list = ShownSkinList();
  ASSERT_EQ(list->Name(), "SkinSelectItem");
  std::vector<std::string> names;
  for (int i = 0; i < list->Count(); ++i) names.push_back(list->Items(i)->Caption());
  EXPECT_EQ(names, (std::vector<std::string>{"Folder", "Packed", "T"}));
  list->Items(1)->Click();
  EXPECT_EQ(manager->SkinName(), "Packed");
  EXPECT_TRUE(manager->CommonSkinData().Active);
  manager->SetSkinDirectory("c:\\NoSkins");
  std::filesystem::remove_all(Wide(dir));
}

// A skin whose name holds "&" is listed and chosen by its own name.
TEST_F(SystemMenu, ASkinNamedWithAnAmpersandIsChosenByItsName) {
  TsStoredSkin& s = manager->InternalSkins.Add();
  s.Name = "Black & White";
  s.Data = skin.Packed();
  TMenuItem* list = ShownSkinList();
  TsSystemMenu* m = menu_;
  ASSERT_EQ(list->Count(), 2);
  list->Items(0)->Click();
  EXPECT_EQ(manager->SkinName(), "Black & White");
  EXPECT_TRUE(manager->CommonSkinData().Active);
  m->Items()->Remove(list);
  list->Free();
  m->AddSkinSelectItems();
  EXPECT_TRUE(m->Items()->Items(0)->Items(0)->Checked());
}

// Without skinned pop-ups the window's own system menu drops, its Size
// entry grayed for a maximised form; with them our pop-up menu drops.
TEST_F(SystemMenu, DropsTheWindowsOwnMenuOrTheSkinnedOne) {
  Provide();
  Show();
  form->SetWindowState(wsMaximized);
  kvtest::PumpUntilIdle();
  manager->SetSkinnedPopups(false);
  UINT sizeState = 0;
  {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND) {
      sizeState = GetMenuState(provider->SystemMenu(), SC_SIZE, MF_BYCOMMAND);
    });
    POINT p{60, 60};
    provider->DropSysMenu(p.x, p.y);
    EXPECT_TRUE(probe.Found());
  }
  EXPECT_NE(sizeState & MF_GRAYED, 0u);

  manager->SetSkinnedPopups(true);
  bool seen = false;
  {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND) { seen = true; });
    provider->DropSysMenu(60, 60);
  }
  EXPECT_TRUE(seen);
  ASSERT_NE(provider->SystemMenuObject(), nullptr);
  EXPECT_FALSE(provider->SystemMenuObject()->ItemMaximize->Enabled());
}

// Each drop builds the skin list afresh: the menu does not grow.
TEST_F(SystemMenu, DroppingTwiceWithTheSkinListKeepsOneListAndOneLine) {
  Provide();
  provider->MakeSkinMenu = true;
  Show();
  manager->SetSkinnedPopups(true);
  std::vector<int> counts;
  for (int i = 0; i < 2; ++i) {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [](HWND) {});
    provider->DropSysMenu(60, 60);
    ASSERT_NE(provider->SystemMenuObject(), nullptr);
    counts.push_back(provider->SystemMenuObject()->Items()->Count());
  }
  EXPECT_EQ(counts[0], counts[1]);
  TsSystemMenu* m = provider->SystemMenuObject();
  EXPECT_EQ(m->Items()->Items(0)->Name(), "SkinSelectItem");
  EXPECT_TRUE(m->Items()->Items(1)->IsLine());
  EXPECT_FALSE(m->Items()->Items(2)->IsLine());
}


// --- reached from the keyboard and the task bar ----------------------------------------

// The open pop-up menu of this thread: its window and its menu.
struct TOpenMenu {
  RECT Rect{};
  HMENU Menu = nullptr;
};
TOpenMenu OpenMenu(HWND menuWnd) {
  TOpenMenu m;
  GetWindowRect(menuWnd, &m.Rect);
  m.Menu = reinterpret_cast<HMENU>(SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
  return m;
}

// The keys that choose the entry of a system command in the open skinned
// menu: the first Down selects the first item, separators are passed over.
bool KeysToChoose(const TsSkinProvider* provider, UINT systemCommand,
                  std::vector<kvtest::TKey>& keys) {
  HWND wnd = kvtest::FindThreadWindow(kvtest::kMenuClass);
  TsSystemMenu* m = provider->SystemMenuObject();
  if (wnd == nullptr || m == nullptr) return false;
  UINT command = 0;
  for (int i = 0; i < m->Items()->Count(); ++i)
    if (static_cast<UINT>(m->Items()->Items(i)->Tag()) == systemCommand)
      command = m->Items()->Items(i)->Command();
  HMENU menu = OpenMenu(wnd).Menu;
  const int count = GetMenuItemCount(menu);
  for (int i = 0, downs = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    if ((info.fType & MFT_SEPARATOR) != 0) continue;
    ++downs;
    if (info.wID != command) continue;
    keys.assign(static_cast<size_t>(downs), {VK_DOWN});
    keys.push_back({VK_RETURN});
    return true;
  }
  return false;
}

class SystemMenuKeys : public SystemMenu, public ::testing::WithParamInterface<TFormBorderStyle> {};

// Alt+Space opens the skinned menu (not the window's own) under the title
// icon, on a main window, a dialog and a tool window alike.
TEST_P(SystemMenuKeys, AltSpaceOpensTheSkinnedMenuUnderTheTitleIcon) {
  form->SetBorderStyle(GetParam());
  Provide();
  manager->SetSkinnedPopups(true);
  Show();
  TOpenMenu open;
  {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND menu) { open = OpenMenu(menu); }, 2000);
    kvtest::PostAltSpace(Wnd());
    pump::PumpUntil([&] { return probe.Found() || probe.TimedOut(); }, 3000);
    ASSERT_TRUE(probe.Found());
  }
  ASSERT_NE(provider->SystemMenuObject(), nullptr);
  EXPECT_EQ(open.Menu, provider->SystemMenuObject()->Handle());
  RECT w{};
  GetWindowRect(Wnd(), &w);
  const TRect icon = provider->TitleIconRect();
  EXPECT_EQ(open.Rect.left, w.left + icon.Left);
  EXPECT_EQ(open.Rect.top, w.top + icon.Bottom);
}

INSTANTIATE_TEST_SUITE_P(BorderStyles, SystemMenuKeys,
                         ::testing::Values(bsSizeable, bsDialog, bsToolWindow));

TEST_F(SystemMenu, TheTaskbarsRequestOpensTheSkinnedMenuAtItsPoint) {
  Provide();
  manager->SetSkinnedPopups(true);
  Show();
  TOpenMenu open;
  {
    kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND menu) { open = OpenMenu(menu); }, 2000);
    SendMessageW(Wnd(), 0x313, 0, MAKELPARAM(120, 130));
    EXPECT_TRUE(probe.Found());
  }
  ASSERT_NE(provider->SystemMenuObject(), nullptr);
  EXPECT_EQ(open.Menu, provider->SystemMenuObject()->Handle());
  EXPECT_EQ(open.Rect.left, 120);
  EXPECT_EQ(open.Rect.top, 130);
}

// Move and Size chosen from the keyboard's menu start the system's keyboard
// loops (arrows move by 8 pixels), Close closes the form.
TEST_F(SystemMenu, MoveSizeAndCloseChosenFromTheKeyboardAct) {
  Provide();
  manager->SetSkinnedPopups(true);
  Show();
  const auto choose = [&](UINT command, std::vector<kvtest::TKey> inLoop) {
    kvtest::TKeyScript menu(Wnd(), [&](auto& keys) { return KeysToChoose(provider, command, keys); });
    kvtest::TKeyScript loop(Wnd(), [&](auto& keys) {
      if (!kvtest::InMoveSizeLoop()) return false;
      keys = inLoop;
      return true;
    });
    kvtest::PostAltSpace(Wnd());
    pump::PumpUntil([&] { return menu.Sent() && (inLoop.empty() || loop.Sent()); }, 4000);
    kvtest::PumpUntilIdle();
    ASSERT_TRUE(menu.Sent()) << command;
  };
  RECT before{}, after{};
  GetWindowRect(Wnd(), &before);
  choose(SC_MOVE, {{VK_RIGHT}, {VK_DOWN}, {VK_RETURN}});
  GetWindowRect(Wnd(), &after);
  EXPECT_EQ(after.left - before.left, 8);
  EXPECT_EQ(after.top - before.top, 8);
  EXPECT_EQ(after.right - after.left, before.right - before.left);

  GetWindowRect(Wnd(), &before);
  // The first arrow picks the edge, the second moves it.
  choose(SC_SIZE, {{VK_RIGHT}, {VK_RIGHT}, {VK_RETURN}});
  GetWindowRect(Wnd(), &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.right - before.right, 8);

  choose(SC_CLOSE, {});
  EXPECT_FALSE(IsWindowVisible(Wnd()));
}

// A dialog shown modally ends its loop when Close is chosen from its
// Alt+Space menu.
TEST_F(SystemMenu, AModalDialogClosesFromItsKeyboardMenu) {
  form->SetBorderStyle(bsDialog);
  Provide();
  manager->SetSkinnedPopups(true);
  kvtest::TKeyScript altSpace(Wnd(), [&](auto&) {
    if (!IsWindowVisible(Wnd())) return false;
    kvtest::PostAltSpace(Wnd());
    return true;
  });
  kvtest::TKeyScript menu(Wnd(), [&](auto& keys) { return KeysToChoose(provider, SC_CLOSE, keys); });
  // Only a failing test gets here: the loop is ended for it.
  const ULONGLONG deadline = GetTickCount64() + 5000;
  kvtest::TKeyScript watchdog(Wnd(), [&](auto&) {
    if (GetTickCount64() < deadline) return false;
    EndMenu();
    form->SetModalResult(mrAbort);
    return true;
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_TRUE(menu.Sent());
}

// Minimize chosen from the main form's menu minimises the application (its
// OnMinimize runs), not only the window.
TEST_F(SystemMenu, MinimizeOfTheMainFormMinimisesTheApplication) {
  Provide();
  manager->SetSkinnedPopups(true);
  Show();
  TCustomForm* savedMain = Application->MainForm();
  const TNotifyEvent savedOnMinimize = Application->OnMinimize;
  Application->SetMainForm(form);
  int minimised = 0;
  Application->OnMinimize = [&](TObject*) { ++minimised; };
  kvtest::TKeyScript menu(Wnd(),
                          [&](auto& keys) { return KeysToChoose(provider, SC_MINIMIZE, keys); });
  kvtest::PostAltSpace(Wnd());
  pump::PumpUntil([&] { return menu.Sent() && IsIconic(Wnd()); }, 4000);
  kvtest::PumpUntilIdle();
  Application->OnMinimize = savedOnMinimize;
  Application->SetMainForm(savedMain);
  EXPECT_TRUE(menu.Sent());
  EXPECT_TRUE(IsIconic(Wnd()));
  EXPECT_EQ(minimised, 1);
  EXPECT_TRUE(provider->SystemMenuObject()->ItemRestore->Enabled()) << "the entries follow at once";
  EXPECT_FALSE(provider->SystemMenuObject()->ItemMinimize->Enabled());
  ShowWindow(Wnd(), SW_RESTORE);
  kvtest::PumpUntilIdle();
}

// With the skin list on, a skin chosen in the Alt+Space menu's list from
// the keyboard is the one the manager then wears.
TEST_F(SystemMenu, ASkinChosenFromTheKeyboardsListIsWorn) {
  TsStoredSkin& other = manager->InternalSkins.Add();
  other.Name = "U";
  other.Data = skin.Packed();
  Provide();
  provider->MakeSkinMenu = true;
  manager->SetSkinnedPopups(true);
  Show();
  // The list first, its first name selected on opening, then the next one.
  kvtest::TKeyScript menu(Wnd(), [&](auto& keys) {
    if (kvtest::FindThreadWindow(kvtest::kMenuClass) == nullptr) return false;
    keys = {{VK_DOWN}, {VK_RIGHT}, {VK_DOWN}, {VK_RETURN}};
    return true;
  });
  kvtest::PostAltSpace(Wnd());
  pump::PumpUntil([&] { return menu.Sent() && manager->SkinName() == "U"; }, 4000);
  kvtest::PumpUntilIdle();
  EXPECT_TRUE(menu.Sent());
  EXPECT_EQ(manager->SkinName(), "U");
  EXPECT_TRUE(manager->CommonSkinData().Active);
  EXPECT_EQ(kvtest::FindThreadWindow(kvtest::kMenuClass), nullptr) << "the menu closed";
}

// After the border style changed (the window is made again) a click on the
// title icon opens the new window's menu, with the command the program
// added to it: the skinned menu, or the window's own without skinned
// pop-ups.
class SystemMenuAfterRestyle : public SystemMenu, public ::testing::WithParamInterface<bool> {};

TEST_P(SystemMenuAfterRestyle, TheTitleIconOpensTheNewWindowsMenu) {
  constexpr UINT kAbout = 0x130;
  Provide();
  manager->SetSkinnedPopups(GetParam());
  Show();
  form->SetBorderStyle(bsSingle);
  kvtest::PumpUntilIdle();
  LookActive();
  ASSERT_TRUE(AppendMenuW(GetSystemMenu(Wnd(), FALSE), MF_STRING, kAbout, L"About..."));
  RECT w{};
  GetWindowRect(Wnd(), &w);
  const TRect icon = provider->TitleIconRect();
  ASSERT_GT(icon.Width(), 0);
  kvtest::SystemMoveTo(
      {w.left + (icon.Left + icon.Right) / 2, w.top + (icon.Top + icon.Bottom) / 2});
  HMENU shown = nullptr;
  {
    kvtest::TModalProbe probe(
        kvtest::kMenuClass, [&](HWND menu) { shown = OpenMenu(menu).Menu; }, 3000);
    INPUT press[2]{};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, press, sizeof(INPUT)), 2u);
    pump::PumpUntil([&] { return probe.Found() || probe.TimedOut(); }, 4000);
    ASSERT_TRUE(probe.Found());
  }
  ASSERT_NE(shown, nullptr);
  if (GetParam()) {
    TsSystemMenu* m = provider->SystemMenuObject();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(shown, m->Handle());
    EXPECT_EQ(m->ExtraItemsCount, 1);
  } else {
    EXPECT_EQ(shown, GetSystemMenu(Wnd(), FALSE));
    EXPECT_NE(GetMenuState(shown, kAbout, MF_BYCOMMAND), static_cast<UINT>(-1));
  }
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

INSTANTIATE_TEST_SUITE_P(Popups, SystemMenuAfterRestyle, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "Skinned" : "TheWindowsOwn");
});

// A command the program adds to the window's system menu after its menu
// first dropped is there, posting its command, the next time it drops.
TEST_F(SystemMenu, ACommandAddedAfterTheFirstDropIsThereOnTheNext) {
  constexpr UINT kAbout = 0x120;
  Provide();
  manager->SetSkinnedPopups(true);
  Show();
  const auto dropByKeys = [&] {
    int count = -1;
    kvtest::TModalProbe probe(
        kvtest::kMenuClass, [&](HWND menu) { count = GetMenuItemCount(OpenMenu(menu).Menu); }, 2000);
    kvtest::PostAltSpace(Wnd());
    pump::PumpUntil([&] { return probe.Found() || probe.TimedOut(); }, 3000);
    return count;
  };
  const int before = dropByKeys();
  ASSERT_GT(before, 0);
  AppendMenuW(provider->SystemMenu(), MF_STRING, kAbout, L"About...");
  EXPECT_EQ(dropByKeys(), before + 2) << "the command and a line before Close";
  TsSystemMenu* m = provider->SystemMenuObject();
  ASSERT_EQ(m->ExtraItemsCount, 1);
  TMenuItem* about = m->Items()->Items(m->Items()->IndexOf(m->ItemClose) - 2);
  EXPECT_EQ(static_cast<UINT>(about->Tag()), kAbout);
  MSG msg{};
  while (PeekMessageW(&msg, Wnd(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {}
  about->Click();
  ASSERT_TRUE(PeekMessageW(&msg, Wnd(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
  EXPECT_EQ(msg.wParam, kAbout);
}

}  // namespace
}  // namespace kv
