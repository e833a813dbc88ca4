// Menus: short-cut texts, the system menus built from the items (dynamic
// changes included), owner-drawn items measured and painted through their
// events, images, and pop-up menus shown and chosen from.
#include "classlib/Menus.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "MessageLog.h"
#include "classlib/Forms.h"
#include "classlib/ImgList.h"
#include "classlib/StdCtrls.h"
#include "classlib/WideText.h"

using namespace kv;

namespace {

TEST(ShortCuts, TextRoundTripsForTheUsualKeys) {
  struct Case {
    TShortCut sc;
    const char* text;
  };
  const Case cases[] = {
      {ShortCut('S', ssCtrl), "Ctrl+S"},
      {ShortCut(VK_F5, ssShift), "Shift+F5"},
      {ShortCut(VK_DELETE, 0), "Del"},
      {ShortCut('1', ssCtrl | ssAlt), "Ctrl+Alt+1"},
      {ShortCut(VK_RETURN, ssShift | ssCtrl), "Shift+Ctrl+Enter"},
      {ShortCut(VK_F12, 0), "F12"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.sc), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.sc) << c.text;
  }
  EXPECT_EQ(TextToShortCut("ctrl+s"), ShortCut('S', ssCtrl));
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
  EXPECT_EQ(ShortCutToText(scNone), "");
}

std::wstring MenuText(HMENU menu, int pos) {
  wchar_t buf[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(pos), buf, 128, MF_BYPOSITION);
  return buf;
}

UINT MenuState(HMENU menu, int pos) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STATE | MIIM_FTYPE;
  GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
  return info.fState | info.fType;
}

TMenuItem* NewItem(TComponent* owner, const std::string& caption) {
  auto* item = Create<TMenuItem>(owner);
  item->SetCaption(caption);
  return item;
}

TEST(MenuItems, SystemMenuFollowsTheItems) {
  Owned<TPopupMenu> menu = CreateOwned<TPopupMenu>();
  auto* open = NewItem(menu.get(), "&Open");
  open->SetShortCut(ShortCut('O', ssCtrl));
  auto* line = NewItem(menu.get(), "-");
  auto* save = NewItem(menu.get(), "&Save");
  save->SetChecked(true);
  save->SetEnabled(false);
  auto* hidden = NewItem(menu.get(), "Hidden");
  hidden->SetVisible(false);
  for (TMenuItem* i : {open, line, save, hidden}) menu->Items()->Add(i);
  HMENU h = menu->Handle();
  ASSERT_EQ(GetMenuItemCount(h), 3) << "the invisible item is left out";
  EXPECT_EQ(MenuText(h, 0), L"&Open\tCtrl+O");
  EXPECT_TRUE(MenuState(h, 1) & MFT_SEPARATOR);
  EXPECT_TRUE(MenuState(h, 2) & MFS_CHECKED);
  EXPECT_TRUE(MenuState(h, 2) & MFS_GRAYED);
  EXPECT_EQ(GetMenuItemID(h, 0), open->Command());

  // Changes after the menu exists show at once.
  hidden->SetVisible(true);
  save->SetEnabled(true);
  EXPECT_EQ(GetMenuItemCount(h), 4);
  EXPECT_FALSE(MenuState(h, 2) & MFS_GRAYED);
  auto* added = NewItem(menu.get(), "Skin A");
  menu->Items()->Insert(1, added);
  EXPECT_EQ(MenuText(h, 1), L"Skin A");
  EXPECT_EQ(added->MenuIndex(), 1);
  menu->Items()->Remove(added);
  EXPECT_EQ(GetMenuItemCount(h), 4);
  EXPECT_EQ(added->Parent(), nullptr);
  menu->Items()->Delete(0);
  EXPECT_EQ(MenuText(h, 0), L"");  // the separator comes first now
  EXPECT_EQ(menu->Items()->Count(), 3);
  EXPECT_THROW(menu->Items()->Items(3), ERangeError);
}

TEST(MenuItems, SubItemsMakeSubMenusAndClearFreesThem) {
  Owned<TPopupMenu> menu = CreateOwned<TPopupMenu>();
  auto* skins = NewItem(nullptr, "Skins");
  menu->Items()->Add(skins);
  for (const char* name : {"Blue", "Green", "Grey"}) skins->Add(NewItem(nullptr, name));
  HMENU sub = GetSubMenu(menu->Handle(), 0);
  ASSERT_EQ(sub, skins->Handle());
  EXPECT_EQ(GetMenuItemCount(sub), 3);
  EXPECT_EQ(menu->FindItem(reinterpret_cast<UINT_PTR>(sub), fkHandle), skins);
  EXPECT_EQ(menu->FindItem(skins->Items(1)->Command(), fkCommand), skins->Items(1));
  skins->Clear();
  EXPECT_EQ(skins->Count(), 0);
  EXPECT_EQ(GetMenuItemCount(sub), 0);
  // An item cannot become a sub-item of itself or of its own sub-item.
  auto* child = NewItem(nullptr, "child");
  skins->Add(child);
  child->Add(skins);
  EXPECT_EQ(skins->Parent(), menu->Items());
}

TEST(MenuItems, ShortCutRunsTheEnabledItem) {
  Owned<TMainMenu> menu = CreateOwned<TMainMenu>();
  auto* file = NewItem(menu.get(), "&File");
  auto* save = NewItem(menu.get(), "&Save");
  save->SetShortCut(ShortCut('S', ssCtrl));
  menu->Items()->Add(file);
  file->Add(save);
  int clicks = 0;
  save->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_TRUE(menu->IsShortCut('S', ssCtrl));
  EXPECT_FALSE(menu->IsShortCut('S', 0));
  EXPECT_EQ(clicks, 1);
  file->SetEnabled(false);
  EXPECT_FALSE(menu->IsShortCut('S', ssCtrl)) << "a disabled parent hides the item";
  EXPECT_EQ(clicks, 1);
}

TEST(MenuItems, ShortCutTypedInAControlRunsTheFormsMenuItem) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* menu = Create<TMainMenu>(form.get());
  auto* file = NewItem(form.get(), "&File");
  auto* refresh = NewItem(form.get(), "&Refresh");
  refresh->SetShortCut(ShortCut(VK_F5, 0));
  menu->Items()->Add(file);
  file->Add(refresh);
  form->SetMenu(menu);
  auto* edit = Create<TEdit>(form.get());
  edit->SetParent(form.get());
  int clicks = 0;
  refresh->OnClick = [&](TObject*) { ++clicks; };
  std::vector<WORD> reached;
  edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { reached.push_back(key); };
  form->Show();
  edit->SetFocus();
  PostMessageW(edit->Handle(), WM_KEYDOWN, VK_F5, 1);
  PostMessageW(edit->Handle(), WM_KEYDOWN, 'A', 1);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1) << "F5 runs the menu item";
  EXPECT_EQ(reached, std::vector<WORD>{'A'}) << "only the other key reaches the edit";
}

TEST(MenuItems, ImageOfAMenuThatIsNotOwnerDrawnIsTheItemsBitmap) {
  Owned<TImageList> images = CreateOwned<TImageList>();
  TBitmap strip(32, 16, pf24bit);
  images->Add(strip);
  Owned<TPopupMenu> menu = CreateOwned<TPopupMenu>();
  menu->SetImages(images.get());
  auto* item = NewItem(menu.get(), "Print");
  item->SetImageIndex(1);
  auto* plain = NewItem(menu.get(), "Plain");
  menu->Items()->Add(item);
  menu->Items()->Add(plain);
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfoW(menu->Handle(), 0, TRUE, &info));
  EXPECT_NE(info.hbmpItem, nullptr);
  ASSERT_TRUE(GetMenuItemInfoW(menu->Handle(), 1, TRUE, &info));
  EXPECT_EQ(info.hbmpItem, nullptr);
  EXPECT_EQ(item->GetImageList(), images.get());
  images.reset();
  EXPECT_EQ(menu->Images(), nullptr) << "a freed image list is forgotten";
}

// --- owner-drawn items ------------------------------------------------------------

struct TPainter {
  int calls = 0;
  void Measure(TObject*, TCanvas*, int&, int& h) {
    ++calls;
    h = 30;
  }
};

TEST(OwnerDraw, HandlerOfAnObjectIsRecognisedSoThatOnlyItsOwnIsCleared) {
  TPainter painter, other;
  const TMenuMeasureItemEvent mine(&painter, &TPainter::Measure);
  EXPECT_TRUE(TMenuMeasureItemEvent(&painter, &TPainter::Measure) == mine);
  EXPECT_FALSE(TMenuMeasureItemEvent(&other, &TPainter::Measure) == mine);
  const TMenuMeasureItemEvent lambda = [](TObject*, TCanvas*, int&, int&) {};
  EXPECT_FALSE(lambda == mine);
  EXPECT_FALSE(lambda == lambda) << "plain functions have no identity";
  int w = 0, h = 0;
  mine(nullptr, nullptr, w, h);
  EXPECT_EQ(painter.calls, 1);
  EXPECT_EQ(h, 30);
  EXPECT_FALSE(TMenuMeasureItemEvent());
}

TEST(OwnerDraw, MenuAndFormMayBeFreedInEitherOrder) {
  {
    Owned<TForm> form = CreateOwned<TForm>();
    Owned<TMainMenu> menu = CreateOwned<TMainMenu>();
    auto* item = NewItem(menu.get(), "&File");
    menu->Items()->Add(item);
    menu->SetOwnerDraw(true);
    form->SetMenu(menu.get());
    int measured = 0;
    item->OnMeasureItem = [&](TObject*, TCanvas*, int&, int&) { ++measured; };
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 0, 0, item->Command()};
    SendMessageW(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_GE(measured, 1);
    menu.reset();  // the form forgets the menu and measures nothing more
    SendMessageW(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(form->Menu(), nullptr) << "the form must not keep a freed menu";
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    form->SetMenu(nullptr);
  }
  {
    Owned<TMainMenu> menu = CreateOwned<TMainMenu>();
    menu->Items()->Add(NewItem(menu.get(), "&File"));
    Owned<TForm> form = CreateOwned<TForm>();
    form->SetMenu(menu.get());
    form->Handle();
    form.reset();  // the menu forgets the form without touching it
    menu->SetOwnerDraw(true);
  }
}

TEST(OwnerDraw, OpeningADropDownOfTheMainMenuClicksItsItem) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* menu = Create<TMainMenu>(form.get());
  auto* view = NewItem(form.get(), "&View");
  view->Add(NewItem(form.get(), "&Refresh"));
  menu->Items()->Add(view);
  form->SetMenu(menu);
  int opened = 0;
  view->OnClick = [&](TObject*) { ++opened; };
  SendMessageW(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view->Handle()), 0);
  EXPECT_EQ(opened, 1);
}

TEST(OwnerDraw, MainMenuItemsAreMeasuredAndPaintedThroughTheirEvents) {
  Owned<TForm> form = CreateOwned<TForm>();
  auto* menu = Create<TMainMenu>(form.get());
  auto* file = NewItem(form.get(), "&File");
  auto* exit = NewItem(form.get(), "E&xit");
  menu->Items()->Add(file);
  file->Add(exit);
  menu->SetOwnerDraw(true);
  form->SetMenu(menu);
  EXPECT_TRUE(MenuState(file->Handle(), 0) & MFT_OWNERDRAW);

  kvtest::TMessageLog log;
  exit->OnMeasureItem = [&](TObject* sender, TCanvas* canvas, int& w, int& h) {
    EXPECT_EQ(sender, exit);
    EXPECT_NE(canvas, nullptr);
    log.Add("measure " + std::to_string(w > 0) + std::to_string(h > 0));
    w = 123;
    h = 21;
  };
  exit->OnAdvancedDrawItem = [&](TObject*, TCanvas* canvas, TRect r, TOwnerDrawState s) {
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(r);
    log.Add("draw " + std::to_string(r.Width()) + (s & odSelected ? " selected" : ""));
  };
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, exit->Command(), 0, 0, exit->Command()};
  SendMessageW(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
  EXPECT_EQ(mis.itemWidth, 123u);
  EXPECT_EQ(mis.itemHeight, 21u);

  TBitmap bmp(40, 20, pf24bit);
  TBitmapCanvas target(bmp);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = exit->Command();
  dis.itemData = exit->Command();
  dis.itemState = ODS_SELECTED;
  dis.hDC = target.Handle();
  dis.rcItem = {0, 0, 40, 20};
  SendMessageW(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_TRUE(kvtest::SequenceIs(log, {"measure 11", "draw 40 selected"}));
  EXPECT_EQ(target.Pixel(5, 5), clRed);

  // Without events the item paints itself: the selection colour as background.
  exit->OnAdvancedDrawItem = nullptr;
  SendMessageW(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  EXPECT_EQ(ColorToRGB(target.Pixel(39, 0)), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(OwnerDraw, DefaultPaintingDrawsTheItemsImage) {
  Owned<TImageList> images = CreateOwned<TImageList>();
  TBitmap strip(16, 16, pf24bit);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) strip.ScanLine(y)[x * 3 + 1] = 200;  // green
  images->Add(strip);
  Owned<TPopupMenu> menu = CreateOwned<TPopupMenu>();
  menu->SetImages(images.get());
  menu->SetOwnerDraw(true);
  auto* item = NewItem(menu.get(), "Green");
  item->SetImageIndex(0);
  menu->Items()->Add(item);
  menu->Handle();
  TBitmap bmp(120, 24, pf24bit);
  TBitmapCanvas target(bmp);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = item->Command();
  dis.itemData = item->Command();
  dis.hDC = target.Handle();
  dis.rcItem = {0, 0, 120, 24};
  TMessage m{WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis), 0};
  ASSERT_TRUE(menu->HandleMenuMessage(m));
  EXPECT_EQ(target.Pixel(10, 12), TColor(0x00C800));
  EXPECT_EQ(ColorToRGB(target.Pixel(110, 2)), GetSysColor(COLOR_MENU));
  // Messages for items of other menus are not ours.
  dis.itemData = 0;
  EXPECT_FALSE(menu->HandleMenuMessage(m));
}

// --- pop-up menus shown for real -------------------------------------------------------

// While the menu loop runs, a timer finds the pop-up window and sends it keys.
struct TMenuDriver {
  static inline std::vector<WPARAM> keys;
  static inline HWND seen = nullptr;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (popup == nullptr || !IsWindowVisible(popup)) return;
    seen = popup;
    KillTimer(nullptr, id);
    for (WPARAM key : keys) {
      PostMessageW(popup, WM_KEYDOWN, key, 0);
      PostMessageW(popup, WM_KEYUP, key, 0xC0000000);
    }
  }
  explicit TMenuDriver(std::vector<WPARAM> k) {
    keys = std::move(k);
    seen = nullptr;
    SetTimer(nullptr, 0, 50, Tick);
  }
};

TEST(PopupMenus, OwnerDrawnPopupIsMeasuredPaintedAndChosenFrom) {
  Owned<TPopupMenu> menu = CreateOwned<TPopupMenu>();
  menu->SetOwnerDraw(true);
  auto* first = NewItem(menu.get(), "First");
  auto* second = NewItem(menu.get(), "Second");
  menu->Items()->Add(first);
  menu->Items()->Add(second);
  int measured = 0, drawn = 0, popups = 0;
  std::string chosen;
  for (TMenuItem* i : {first, second}) {
    i->OnMeasureItem = [&](TObject*, TCanvas*, int& w, int& h) {
      ++measured;
      w = 100;
      h = 20;
    };
    i->OnAdvancedDrawItem = [&](TObject*, TCanvas* c, TRect r, TOwnerDrawState) {
      ++drawn;
      c->FillRect(r);
    };
    i->OnClick = [&chosen, i](TObject*) { chosen = i->Caption(); };
  }
  menu->OnPopup = [&](TObject* sender) {
    EXPECT_EQ(sender, menu.get());
    ++popups;
  };
  TMenuDriver driver({VK_DOWN, VK_DOWN, VK_RETURN});
  menu->Popup(100, 100);
  EXPECT_NE(TMenuDriver::seen, nullptr) << "the pop-up window was never shown";
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(measured, 2);
  EXPECT_GE(drawn, 2);
  EXPECT_EQ(chosen, "Second");
}

// While the menu loop runs, moves the real cursor onto one item, then presses
// Enter. (Posted button messages do not reach Wine's menu loop under the null
// driver; the cursor move is real input and selects the item under it.)
struct TMenuPointer {
  static inline HMENU menu = nullptr;
  static inline int index = 0;
  static inline HWND popup = nullptr;
  static void CALLBACK Move(HWND, UINT, UINT_PTR id, DWORD) {
    HWND wnd = FindWindowW(L"#32768", nullptr);
    if (wnd == nullptr || !IsWindowVisible(wnd)) return;
    KillTimer(nullptr, id);
    RECT r{};
    if (!GetMenuItemRect(TPopupList::Window(), menu, static_cast<UINT>(index), &r)) return;
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    // Wine gives the rectangle relative to the pop-up window, Windows on the screen.
    RECT w{};
    GetWindowRect(wnd, &w);
    if (!PtInRect(&w, p)) ClientToScreen(wnd, &p);
    SetCursorPos(p.x, p.y);
    popup = wnd;
    SetTimer(nullptr, 0, 100, Press);
  }
  static void CALLBACK Press(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
  }
  static void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
  }
  TMenuPointer(HMENU m, int i) {
    menu = m;
    index = i;
    popup = nullptr;
    SetTimer(nullptr, 0, 50, Move);
    // A fallback, so that a move that is not understood cannot hang the test.
    giveUp = SetTimer(nullptr, 0, 2000, GiveUp);
  }
  ~TMenuPointer() { KillTimer(nullptr, giveUp); }
  UINT_PTR giveUp = 0;
};

TEST(PopupMenus, CursorMovedOntoAnItemSelectsItForEnter) {
  Owned<TPopupMenu> menu = CreateOwned<TPopupMenu>();
  std::string chosen;
  for (const char* caption : {"Setting", "Clear line", "Clear all"}) {
    auto* item = NewItem(menu.get(), caption);
    item->OnClick = [&chosen, item](TObject*) { chosen = item->Caption(); };
    menu->Items()->Add(item);
  }
  TMenuPointer pointer(menu->Handle(), 2);
  menu->Popup(120, 120);
  EXPECT_NE(TMenuPointer::popup, nullptr);
  EXPECT_EQ(chosen, "Clear all");
}

TEST(PopupMenus, EscapeClosesWithoutAClick) {
  Owned<TPopupMenu> menu = CreateOwned<TPopupMenu>();
  auto* item = NewItem(menu.get(), "Only");
  menu->Items()->Add(item);
  int clicks = 0;
  item->OnClick = [&](TObject*) { ++clicks; };
  TMenuDriver driver({VK_ESCAPE});
  menu->Popup(50, 50);
  EXPECT_NE(TMenuDriver::seen, nullptr);
  EXPECT_EQ(clicks, 0);
}

TEST(PopupMenus, RightClickOnAControlPopsUpItsMenuWithThePopupComponent) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(60, 60, 300, 200);
  auto* panel = Create<TCustomControl>(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(10, 10, 100, 100);
  auto* menu = Create<TPopupMenu>(form.get());
  auto* item = NewItem(form.get(), "Setting");
  menu->Items()->Add(item);
  panel->SetPopupMenu(menu);
  TComponent* source = nullptr;
  item->OnClick = [&](TObject*) { source = menu->PopupComponent(); };
  form->Show();
  TMenuDriver driver({VK_DOWN, VK_RETURN});
  const TPoint p = panel->ClientToScreen({20, 20});
  SendMessageW(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()),
               MAKELPARAM(p.X, p.Y));
  EXPECT_EQ(source, panel);
  panel->Free();
  EXPECT_EQ(menu->PopupComponent(), nullptr) << "a freed component is forgotten";
}

TEST(PopupMenus, ListWindowRoutesCommandsAndSubMenuOpening) {
  Owned<TPopupMenu> menu = CreateOwned<TPopupMenu>();
  auto* parent = NewItem(menu.get(), "More");
  auto* child = NewItem(menu.get(), "Child");
  menu->Items()->Add(parent);
  parent->Add(child);
  kvtest::TMessageLog log;
  parent->OnClick = [&](TObject*) { log.Add("opening"); };
  child->OnClick = [&](TObject*) { log.Add("child"); };
  HWND list = TPopupList::Window();
  wchar_t cls[32] = {};
  GetClassNameW(list, cls, 32);
  EXPECT_STREQ(cls, L"TPopupList");
  EXPECT_FALSE(IsWindowVisible(list));
  SendMessageW(list, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(parent->Handle()), 0);
  SendMessageW(list, WM_COMMAND, MAKEWPARAM(child->Command(), 0), 0);
  EXPECT_TRUE(kvtest::SequenceIs(log, {"opening", "child"}));
}

}  // namespace

namespace {

std::wstring BarTexts(HMENU bar) {
  std::wstring texts;
  for (int i = 0; i < GetMenuItemCount(bar); ++i) texts += (i ? L"," : L"") + MenuText(bar, i);
  return texts;
}

// A main menu with one top item per "caption:group" entry.
TMainMenu* NewMainMenu(TComponent* owner, const std::vector<std::pair<const char*, int>>& items) {
  auto* menu = Create<TMainMenu>(owner);
  for (const auto& [caption, group] : items) {
    TMenuItem* item = NewItem(menu, caption);
    item->SetGroupIndex(static_cast<uint8_t>(group));
    item->Add(NewItem(menu, std::string(caption) + " sub"));
    menu->Items()->Add(item);
  }
  return menu;
}

using TTopItems = std::vector<std::pair<const char*, int>>;

struct MergeCase {
  const char* name;
  TTopItems merged;
  const wchar_t* bar;
};

class MenuMerging : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MenuMerging, GroupsOfTheMergedMenuReplaceOrGoAmongTheOwn) {
  Owned<TComponent> owner = CreateOwned<TComponent>();
  TMainMenu* own = NewMainMenu(owner.get(), {{"File", 0}, {"Window", 5}, {"Help", 9}});
  TMainMenu* merged = NewMainMenu(owner.get(), GetParam().merged);
  HMENU bar = own->Handle();
  own->Merge(merged);
  EXPECT_EQ(BarTexts(bar), GetParam().bar);
  EXPECT_EQ(merged->MergedInto(), own);
  own->Unmerge(merged);
  EXPECT_EQ(BarTexts(bar), L"File,Window,Help");
  EXPECT_EQ(merged->MergedInto(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, MenuMerging,
    ::testing::Values(
        MergeCase{"SameGroupReplaces", {{"Doc", 0}}, L"Doc,Window,Help"},
        MergeCase{"NewGroupInBetween", {{"Edit", 2}, {"View", 3}}, L"File,Edit,View,Window,Help"},
        MergeCase{"MixedAndAfterTheLast",
                  {{"Doc", 0}, {"Edit", 1}, {"Tools", 12}},
                  L"Doc,Edit,Window,Help,Tools"},
        MergeCase{"EmptyMenuChangesNothing", {}, L"File,Window,Help"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MenuMergingLife, MergedItemsAreFoundChangeTheBarAndGoWithTheirMenu) {
  Owned<TComponent> owner = CreateOwned<TComponent>();
  TMainMenu* own = NewMainMenu(owner.get(), {{"File", 0}});
  TMainMenu* merged = NewMainMenu(owner.get(), {{"Edit", 1}});
  TMainMenu* other = NewMainMenu(owner.get(), {{"Chart", 1}});
  HMENU bar = own->Handle();
  own->Merge(merged);
  TMenuItem* edit = merged->Items()->Items(0);
  EXPECT_EQ(own->FindItem(edit->Command(), fkCommand), edit);
  int clicks = 0;
  edit->Items(0)->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_TRUE(own->DispatchCommand(edit->Items(0)->Command()));
  EXPECT_EQ(clicks, 1);

  TMenuItem* format = NewItem(merged, "Format");
  format->SetGroupIndex(1);
  merged->Items()->Add(format);  // a change of the merged menu shows
  EXPECT_EQ(BarTexts(bar), L"File,Edit,Format");
  own->Unmerge(other);  // not the merged one: nothing happens
  EXPECT_EQ(BarTexts(bar), L"File,Edit,Format");
  own->Merge(other);  // takes the place of the last
  EXPECT_EQ(BarTexts(bar), L"File,Chart");
  EXPECT_EQ(merged->MergedInto(), nullptr);
  other->Free();
  EXPECT_EQ(BarTexts(bar), L"File");
  EXPECT_EQ(own->Merged(), nullptr);
  own->Merge(merged);
  own->Free();
  EXPECT_EQ(merged->MergedInto(), nullptr);
}

TForm* NewMDIChildWithMenu(TForm* frame, const std::vector<std::pair<const char*, int>>& items) {
  TForm* child = Create<TForm>(frame);
  child->SetFormStyle(fsMDIChild);
  if (items.size() != 0) child->SetMenu(NewMainMenu(child, items));
  child->SetBounds(0, 0, 150, 100);
  child->Show();
  return child;
}

TEST(MenuMergingLife, ActiveMDIChildsMenuIsInTheFormsBarUntilItGoes) {
  Owned<TForm> frame = CreateOwned<TForm>();
  frame->SetFormStyle(fsMDIForm);
  frame->SetMenu(NewMainMenu(frame.get(), {{"File", 0}, {"Window", 5}}));
  frame->SetBounds(0, 0, 400, 300);
  frame->HandleNeeded();
  HMENU bar = GetMenu(frame->Handle());
  TForm* a = NewMDIChildWithMenu(frame.get(), {{"Doc", 0}, {"Edit", 1}});
  EXPECT_EQ(BarTexts(bar), L"Doc,Edit,Window");

  // A command of the merged item reaches it through the form's window.
  int clicks = 0;
  TMenuItem* editSub = a->Menu()->Items()->Items(1)->Items(0);
  editSub->OnClick = [&](TObject*) { ++clicks; };
  SendMessageW(frame->Handle(), WM_COMMAND, editSub->Command(), 0);
  EXPECT_EQ(clicks, 1);

  frame->SetMenu(NewMainMenu(frame.get(), {{"Project", 0}, {"Help", 9}}));
  EXPECT_EQ(BarTexts(GetMenu(frame->Handle())), L"Doc,Edit,Help") << "a new menu of the form";
  frame->SetMenu(NewMainMenu(frame.get(), {{"File", 0}, {"Window", 5}}));
  bar = GetMenu(frame->Handle());
  EXPECT_EQ(BarTexts(bar), L"Doc,Edit,Window");

  TForm* b = NewMDIChildWithMenu(frame.get(), {});
  EXPECT_EQ(BarTexts(bar), L"File,Window") << "a child without a menu shows the form's own";
  SendMessageW(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a->Handle()), 0);
  EXPECT_EQ(BarTexts(bar), L"Doc,Edit,Window");
  b->SetMenu(NewMainMenu(b, {{"Chart", 2}}));  // inactive: no change
  EXPECT_EQ(BarTexts(bar), L"Doc,Edit,Window");
  a->Free();
  EXPECT_EQ(BarTexts(bar), L"File,Window");
  SendMessageW(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(b->Handle()), 0);
  EXPECT_EQ(BarTexts(bar), L"File,Chart,Window");
  b->Free();
  EXPECT_EQ(BarTexts(bar), L"File,Window");
}

}  // namespace
