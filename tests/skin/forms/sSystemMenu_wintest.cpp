// The skinned system menu under Wine: its entries follow the form's state
// and border icons, the skin list breaks into columns of 20, and both ways
// of dropping it show the menu with the right entries.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SkinnedFormFixture.h"
#include "skin/forms/sSystemMenu_win.h"
#include "support/ModalProbe.h"

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
  Provide();
  Show();
  TsSystemMenu* m = Menu();
  m->AddSkinSelectItems();
  TMenuItem* list = m->Items()->Items(0);
  ASSERT_EQ(list->Name(), "SkinSelectItem");
  ASSERT_EQ(list->Count(), 45);
  for (int i = 0; i < list->Count(); ++i)
    EXPECT_EQ(list->Items(i)->Break(), i == 20 || i == 40 ? mbBreak : mbNone) << i;
  for (int i = 0; i < list->Count(); ++i)
    EXPECT_EQ(list->Items(i)->Checked(), list->Items(i)->Caption() == manager->SkinName()) << i;
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

}  // namespace
}  // namespace kv
