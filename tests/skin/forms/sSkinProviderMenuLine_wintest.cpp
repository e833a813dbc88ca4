// The form's menu line in the skinned frame under Wine with the synthetic
// skin: every top item of a main menu painted by the skinned menu items
// over the menu line, in the frame cache and on the window; the opened
// item's hot look; two lines on a narrow form; a renamed or added item
// painted again; the system's own menu bar back once the skin goes; and the
// keyboard opening the menu through the skinned frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SkinnedFormFixture.h"
#include "SystemPointer.h"
#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "support/ModalProbe.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr COLORREF kImageRed = RGB(0xFF, 0, 0);

class MenuLine : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  // Four titles, each dropping one command; "&File" shows an image.
  void MakeMenu() {
    menu = Create<TMainMenu>(form);
    auto* images = Create<TImageList>(form);
    images->SetSize(16, 16);
    TBitmap red(16, 16, pf24bit);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) red.ScanLine(y)[3 * x + 2] = 0xFF;
    images->Add(red);
    menu->SetImages(images);
    for (const char* caption : {"&File", "&Edit", "&View", "&Help"}) {
      TMenuItem* title = Add(caption, menu->Items());
      Add("Command", title);
      titles.push_back(title);
    }
    titles[0]->SetImageIndex(0);
    form->SetMenu(menu);
  }
  TMenuItem* Add(const char* caption, TMenuItem* parent) {
    auto* item = Create<TMenuItem>(form);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  }
  void ShowSkinned() {
    form->SetCaption("");
    Provide();
    Show();
    kvtest::PumpUntilIdle();
  }
  // A title's place in the bar, in window (and, without a border form,
  // frame cache) coordinates.
  TRect TitleRect(int index) {
    RECT r{}, w{};
    GetMenuItemRect(Wnd(), GetMenu(Wnd()), static_cast<UINT>(index), &r);
    GetWindowRect(Wnd(), &w);
    return Rect(r.left - w.left, r.top - w.top, r.right - w.left, r.bottom - w.top);
  }
  // The window's pixels as they are, without the repaint a read-back
  // usually asks for first (which would paint the bar from the cache).
  TPixels WindowAsItIs() {
    RECT w{};
    GetWindowRect(Wnd(), &w);
    const int width = w.right - w.left, height = w.bottom - w.top;
    HDC dc = GetWindowDC(Wnd());
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(Wnd(), dc);
    TPixels p = TPixels::FromBitmap(bitmap);
    DeleteObject(bitmap);
    return p;
  }
  // The legend item at a pixel, nullptr for another colour.
  const kvtest::TSkinItem* At(const TPixels& p, int x, int y) const {
    return skin.Legend(p.At(x, y));
  }
  // Each title is a MENUITEM in its state (read inside its top-left
  // corner, away from text), and the line right of the last is MENULINE.
  void ExpectBar(const TPixels& p, int hotIndex, const char* where) {
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
      const TRect r = TitleRect(i);
      const kvtest::TSkinItem* item = At(p, r.Left + 1, r.Top + 1);
      ASSERT_NE(item, nullptr) << where << ": title " << i << " has no legend colour";
      EXPECT_EQ(item->Section, "MENUITEM") << where << ": title " << i;
      EXPECT_EQ(item->State, i == hotIndex ? 1 : 0) << where << ": title " << i;
    }
    const TRect last = TitleRect(static_cast<int>(titles.size()) - 1);
    EXPECT_EQ(SectionAt(p, (last.Right + p.Width()) / 2, last.Top + last.Height() / 2), "MENULINE")
        << where;
  }

  TMainMenu* menu = nullptr;
  std::vector<TMenuItem*> titles;
};

// The provider paints the whole bar into the cache; the window shows it.
TEST_F(MenuLine, EveryTitleIsPaintedOverTheMenuLineInTheCacheAndOnTheWindow) {
  MakeMenu();
  ShowSkinned();
  ASSERT_TRUE(menu->OwnerDraw());
  EXPECT_EQ(provider->MenuLineCount, 1);
  const TPixels cache = Cache();
  ExpectBar(cache, -1, "cache");
  const TRect file = TitleRect(0);
  EXPECT_EQ(cache.At(file.Left + 3 + 8, file.Top + file.Height() / 2), kImageRed)
      << "the image, 3 pixels in";
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  ExpectBar(TPixels::FromWindow(Wnd()), -1, "window");
}

// Alt and a title's key, or a click on the title, open its level, on a
// normal or maximised form, with or without the border window; meanwhile
// the title is drawn hot on the window from the menu line's background.
struct TOpening {
  const char* Name;
  bool Mouse, Maximised, Extended;
};

class MenuLineOpened : public MenuLine, public ::testing::WithParamInterface<TOpening> {};

TEST_P(MenuLineOpened, TheOpenedTitleShowsHotInItsPlace) {
  MakeMenu();
  ShowSkinned();
  if (GetParam().Extended) manager->SetExtendedBorders(true);
  if (GetParam().Maximised) ShowWindow(Wnd(), SW_MAXIMIZE);
  kvtest::PumpUntilIdle();
  LookActive();
  kvtest::PumpUntilIdle();
  bool opened = false;
  TPixels during;
  kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND) {
    opened = true;
    during = WindowAsItIs();
  });
  if (GetParam().Mouse) {
    const TRect r = TitleRect(1);
    RECT w{};
    GetWindowRect(Wnd(), &w);
    kvtest::SystemMoveTo({w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2});
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, click, sizeof click[0]), 2u);
  } else {
    const auto key = [&](UINT down, UINT up, WPARAM vk, bool alt) {
      const LPARAM l = 1 | (static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(vk), 0)) << 16) |
                       (alt ? (1 << 29) : 0);
      PostMessageW(Wnd(), down, vk, l);
      PostMessageW(Wnd(), up, vk, l | (1u << 30) | (1u << 31));
    };
    key(WM_SYSKEYDOWN, WM_SYSKEYUP, VK_MENU, true);
    key(WM_KEYDOWN, WM_KEYUP, 'E', false);
  }
  pump::PumpUntil([&] { return opened || probe.TimedOut(); }, 6000);
  ASSERT_TRUE(opened);
  pump::PumpUntil([] { return kvtest::FindThreadWindow(kvtest::kMenuClass) == nullptr; });
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  ExpectBar(during, 1, "while open");
}

INSTANTIATE_TEST_SUITE_P(
    Ways, MenuLineOpened,
    ::testing::Values(TOpening{"Key", false, false, false}, TOpening{"Mouse", true, false, false},
                      TOpening{"KeyMaximised", false, true, false},
                      TOpening{"MouseMaximised", true, true, false},
                      TOpening{"KeyBorderWindow", false, false, true},
                      TOpening{"MouseBorderWindow", true, false, true},
                      TOpening{"MouseMaximisedBorderWindow", true, true, true}),
    [](const auto& info) { return std::string(info.param.Name); });

// The system draws a title on the window itself (hot, opened, greyed) with
// the same background as the provider's painting into the cache: a greyed
// title, blended with the line under it, comes out pixel for pixel alike.
TEST_F(MenuLine, ATitleDrawnOnTheWindowMatchesItsPictureInTheCache) {
  MakeMenu();
  titles[2]->SetEnabled(false);
  ShowSkinned();
  const TRect r = TitleRect(2);
  const RECT area{r.Left, r.Top, r.Right, r.Bottom};
  HDC dc = GetWindowDC(Wnd());
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DRAWITEMSTRUCT dis{
      ODT_MENU, 0,    titles[2]->Command(), ODA_DRAWENTIRE, ODS_DISABLED | ODS_GRAYED, nullptr,
      dc,       area, titles[2]->Command()};
  SendMessageW(Wnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  ReleaseDC(Wnd(), dc);
  const TPixels cache = Cache();
  ASSERT_EQ(skin.Legend(cache.At(r.Left + 1, r.Top + 1)), nullptr) << "greyed: blended";
  EXPECT_TRUE(kvtest::SameImage(WindowAsItIs().Crop(area), cache.Crop(area)));
}

// Titles that no longer fit on one line wrap: the band and the client move
// down by a menu height, and the second line is painted too.
TEST_F(MenuLine, ANarrowFormHasTwoMenuLines) {
  MakeMenu();
  form->SetBounds(40, 40, 110, 200);
  ShowSkinned();
  const TRect first = TitleRect(0), last = TitleRect(3);
  ASSERT_GT(last.Top, first.Top) << "the system wrapped the bar";
  EXPECT_EQ(provider->MenuLineCount, 2);
  const TsFrameGeometry g = provider->Geometry();
  EXPECT_GE(provider->ClientTopOffset(), g.TitleBandBottom() + 2 * g.MenuHeight());
  const TPixels cache = Cache();
  EXPECT_EQ(SectionAt(cache, last.Left + 1, last.Top + 1), "MENUITEM");
  EXPECT_EQ(
      SectionAt(cache, cache.Width() - g.FrameBorderWidth(true) - 2, last.Top + last.Height() / 2),
      "MENULINE");
}

// A language switch renames the titles, a program may add one: the bar is
// laid out and painted again at once, without a resize or activation.
TEST_F(MenuLine, RenamedAndAddedTitlesArePaintedAgain) {
  MakeMenu();
  ShowSkinned();
  const TRect before = TitleRect(3);
  titles[1]->SetCaption("&Bearbeiten und mehr");
  titles.push_back(Add("&Tools", menu->Items()));
  kvtest::PumpUntilIdle();
  const TRect after = TitleRect(3);
  ASSERT_GT(after.Left, before.Left);
  ExpectBar(Cache(), -1, "cache");
  ExpectBar(TPixels::FromWindow(Wnd()), -1, "window");
}

// Without a skin the menu is the system's again: not owner-drawn, without
// the painter's handlers, its bar painted by the system.
// A provider told to leave the frame to the system leaves it the menu bar
// too; told to draw it again, it takes the bar back.
TEST_F(MenuLine, TheMenuBarFollowsWhoDrawsTheFrame) {
  MakeMenu();
  ShowSkinned();
  const auto ownerDrawn = [&] {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoW(GetMenu(Wnd()), 0, TRUE, &info) && (info.fType & MFT_OWNERDRAW) != 0;
  };
  provider->SetDrawNonClientArea(false);
  kvtest::PumpUntilIdle();
  EXPECT_FALSE(menu->OwnerDraw());
  EXPECT_FALSE(ownerDrawn());
  provider->SetDrawNonClientArea(true);
  kvtest::PumpUntilIdle();
  EXPECT_TRUE(menu->OwnerDraw());
  EXPECT_TRUE(ownerDrawn());
  ExpectBar(Cache(), -1, "cache");
}

TEST_F(MenuLine, SkinRemovalGivesBackTheSystemMenuBar) {
  MakeMenu();
  ShowSkinned();
  manager->SetActive(false);
  kvtest::PumpUntilIdle();
  EXPECT_FALSE(menu->OwnerDraw());
  for (TMenuItem* title : titles) {
    EXPECT_FALSE(title->OnAdvancedDrawItem);
    EXPECT_FALSE(title->OnMeasureItem);
  }
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoW(GetMenu(Wnd()), 0, TRUE, &info));
  EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u);
  RedrawWindow(Wnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const TPixels window = TPixels::FromWindow(Wnd());
  const TRect edit = TitleRect(1);
  EXPECT_EQ(At(window, edit.Left + 1, edit.Top + 1), nullptr) << "no skin colour left";
  // And back with the skin.
  manager->SetActive(true);
  kvtest::PumpUntilIdle();
  EXPECT_TRUE(menu->OwnerDraw());
  ExpectBar(Cache(), -1, "cache after the skin came back");
}

// New system colours build the menu again: with the system's own frame
// its pictures, laid over the menu colour, are made anew.
TEST_F(MenuLine, NewSystemColoursMakeTheMenusPicturesAnew) {
  MakeMenu();
  ShowSkinned();
  provider->SetDrawNonClientArea(false);
  kvtest::PumpUntilIdle();
  const auto picture = [&] {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    GetMenuItemInfoW(GetMenu(Wnd()), 0, TRUE, &info);
    return info.hbmpItem;
  };
  const HBITMAP before = picture();
  ASSERT_NE(before, nullptr);
  SendMessageW(Wnd(), WM_SYSCOLORCHANGE, 0, 0);
  const HBITMAP after = picture();
  EXPECT_NE(after, nullptr);
  EXPECT_NE(after, before);
}

}  // namespace
}  // namespace kv
