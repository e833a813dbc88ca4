// The skinned page control under Wine with the synthetic skin: each tab's
// state shows as its mask colour, which the skin's legend names; the sheets
// show the page area (the checkerboard panel below, through a see-through
// page control); changes, closes and nesting as the main window has them.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "skin/controls/SkinnedContainers.h"
#include "skin/controls/sGroupBox_win.h"
#include "skin/controls/sPageControl_win.h"
#include "skin/core/sVclUtils_win.h"
#include "support/Counters.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"
#include "support/PlatformSeams.h"

namespace kv {
namespace {

using kvtest::TPixels;
using pump::PumpUntilIdle;

class PageControlSkinned : public SkinnedContainers {
 protected:
  TsPageControl* AddPages(TWinControl* parent, int count, TTabStyle style = tsTabs) {
    auto* pc = Create<TsPageControl>(form);
    pc->SetParent(parent);
    pc->SetStyle(style);
    pc->SetBounds(10, 10, 360, 260);
    for (int i = 0; i < count; ++i) {
      auto* sheet = Create<TsTabSheet>(form);
      sheet->SetPageControl(pc);
      sheet->SetCaption("Page " + std::to_string(i + 1));
    }
    return pc;
  }
  // The tab's state as its window shows it now (no repaint first): the
  // legend of the mask colour at the middle of its top edge.
  int ShownState(TsPageControl* pc, int page, const char* section = "TABTOP") {
    const TRect r = pc->SkinTabRect(pc->Pages(page)->TabIndex(), page == pc->ActivePageIndex());
    HDC dc = GetDC(pc->Handle());
    const RECT whole{0, 0, pc->Width(), pc->Height()};
    const TPixels shown = TPixels::FromDC(dc, whole);
    ReleaseDC(pc->Handle(), dc);
    const kvtest::TSkinItem* item = skin->Legend(shown.At((r.Left + r.Right) / 2, r.Top + 2));
    return item != nullptr && item->Section == section && item->Key == "BORDERSMASK" ? item->State
                                                                                     : -1;
  }
  void MoveTo(TsPageControl* pc, TPoint p) {
    SendMessageW(pc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.X, p.Y));
  }
  // The tab control's own up-downs, ours left out.
  static int NativeScrollers(TsPageControl* pc) {
    HWND own = pc->Scroller() != nullptr ? pc->Scroller()->Handle() : nullptr;
    int count = 0;
    for (HWND child = nullptr;
         (child = FindWindowExW(pc->Handle(), child, L"msctls_updown32", nullptr)) != nullptr;)
      if (child != own) ++count;
    return count;
  }
  static TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
};

TEST_F(PageControlSkinned, TheActiveTabIsDrawnLastAndNeverOverdrawnByTheHotOne) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  pc->SetHotTrack(true);
  pc->SetActivePageIndex(1);
  Show();
  pc->Repaint();
  EXPECT_EQ(2, ShownState(pc, 1)) << "active";
  EXPECT_EQ(0, ShownState(pc, 0));
  // Over the left tab, at the edge the active tab overlaps.
  const TRect left = pc->SkinTabRect(0, false);
  MoveTo(pc, {left.Right - 1, left.Top + 4});
  EXPECT_EQ(0, pc->HotTab());
  EXPECT_EQ(1, ShownState(pc, 0)) << "hot";
  EXPECT_EQ(2, ShownState(pc, 1)) << "the active tab stays on top";
  const TRect active = pc->SkinTabRect(1, true);
  HDC dc = GetDC(pc->Handle());
  const TPixels shown = TPixels::FromDC(dc, {0, 0, pc->Width(), pc->Height()});
  ReleaseDC(pc->Handle(), dc);
  EXPECT_TRUE(kvtest::ColourAt(shown, active.Left + 1, active.Top + 2,
                               skin->Colour("TABTOP", "BORDERSMASK", 2)));
  // Over the active tab nothing is hot; leaving the band cools the hot tab.
  MoveTo(pc, Centre(active));
  EXPECT_EQ(-1, pc->HotTab());
  EXPECT_EQ(0, ShownState(pc, 0));
  MoveTo(pc, Centre(left));
  MoveTo(pc, {100, 200});
  EXPECT_EQ(-1, pc->HotTab());
  EXPECT_EQ(0, ShownState(pc, 0));
}

// Without a page animation the new active tab shows before any paint
// message is handled.
TEST_F(PageControlSkinned, ChangingTheActivePageRepaintsTheTabsAtOnce) {
  Load();
  manager->AnimEffects.PageChange.Active = false;
  TsPageControl* pc = AddPages(root, 3);
  Show();
  pc->Repaint();
  ASSERT_EQ(2, ShownState(pc, 0));
  pc->SetActivePageIndex(2);
  EXPECT_EQ(2, ShownState(pc, 2));
  EXPECT_EQ(0, ShownState(pc, 0));
}

TEST_F(PageControlSkinned, TheHotTabIsTrackedWithoutRunningTheQueueAndSurvivesAFullPaint) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  pc->SetHotTrack(true);
  Show();
  constexpr UINT posted = WM_APP + 7;
  InvalidateRect(pc->Handle(), nullptr, FALSE);
  PostMessageW(form->Handle(), posted, 0, 0);
  MoveTo(pc, Centre(pc->SkinTabRect(1, false)));
  MSG msg{};
  EXPECT_TRUE(PeekMessageW(&msg, form->Handle(), posted, posted, PM_REMOVE))
      << "a mouse move must not run the application's queue";
  EXPECT_EQ(1, pc->HotTab());
  EXPECT_EQ(1, ShownState(pc, 1)) << "painted hot over the fresh picture";
  // What the tab control itself invalidates for its hot tab keeps it hot.
  UpdateWindow(pc->Handle());
  pc->Repaint();
  EXPECT_EQ(1, ShownState(pc, 1)) << "after a full paint";
  EXPECT_EQ(2, ShownState(pc, 0)) << "the active tab";
}

TEST_F(PageControlSkinned, EachTabPositionPaintsItsOwnSectionAndTheActiveTabOnTop) {
  Load();
  const struct {
    TTabPosition position;
    const char* section;
  } rows[] = {
      {tpTop, "TABTOP"}, {tpBottom, "TABBOTTOM"}, {tpLeft, "TABLEFT"}, {tpRight, "TABRIGHT"}};
  Show();
  for (const auto& row : rows) {
    TsPageControl* pc = AddPages(root, 3);
    pc->SetTabPosition(row.position);
    pc->SetActivePageIndex(2);
    PumpUntilIdle();
    pc->Repaint();
    EXPECT_EQ(2, ShownState(pc, 2, row.section)) << row.section;
    EXPECT_EQ(0, ShownState(pc, 0, row.section)) << row.section;
    EXPECT_EQ(0, ShownState(pc, 1, row.section)) << row.section;
    pc->Free();
  }
}

// The page area's section goes with the tabs' place; a sheet's children ask
// the sheet for their section (font colours) and background colour, and
// are answered from that section, not from "PAGECONTROL".
TEST_F(PageControlSkinned, ASheetAnswersItsChildrenFromThePageSectionOfItsTabsPlace) {
  Load();
  Show();
  const char* const sections[] = {"PAGECONTROL", "PAGECONTROLBOTTOM", "PAGECONTROLLEFT",
                                  "PAGECONTROLRIGHT"};  // by TabPosition
  for (const TTabPosition position : {tpTop, tpBottom, tpLeft, tpRight}) {
    const char* section = sections[position];
    TsPageControl* pc = AddPages(root, 2);
    pc->SetTabPosition(position);
    PumpUntilIdle();
    pc->Repaint();
    HWND sheet = pc->Pages(0)->Handle();
    EXPECT_EQ(SendCommandToWindow(sheet, cmdGetSectionIndex, 0) - 1,
              manager->Skin().SectionIndexOf(section))
        << section;
    EXPECT_EQ(static_cast<COLORREF>(SendCommandToWindow(sheet, cmdGetBgColor, 0)),
              skin->Colour(section, "COLOR"))
        << section;
    pc->Free();
  }
}

TEST_F(PageControlSkinned, ASheetsChildGetsABackgroundThatLinesUpWithTheSheet) {
  Load({.Keys = {{"PAGECONTROL", "TRANSPARENCY", "100"}}});
  TsPageControl* pc = AddPages(root, 2);
  auto* child = Create<TsPanel>(form);
  child->SetParent(pc->Pages(0));
  child->SetBevelOuter(bvNone);
  child->SetCaption("");
  child->SetBounds(23, 31, 90, 60);
  child->SkinData()->SetSkinSection("EDIT");
  Show();
  EXPECT_TRUE(BackgroundLinesUp(child));
  // The sheet shows what lies below the see-through page area.
  TWinControl* sheet = pc->Pages(0);
  child->SetVisible(false);
  const TPixels onSheet = TPixels::FromClient(sheet->Handle());
  const TPixels onRoot = TPixels::FromClient(root->Handle());
  const TPoint at{pc->Left() + sheet->Left(), pc->Top() + sheet->Top()};
  for (const POINT p : {POINT{5, 5}, POINT{40, 50}, POINT{101, 77}})
    EXPECT_EQ(onRoot.At(at.X + p.x, at.Y + p.y), onSheet.At(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(PageControlSkinned, ARefusedChangeRestoresPaintingAndRemovesTheCover) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  bool allow = false;
  pc->OnChanging = [&](TObject*, bool& allowChange) { allowChange = allow; };
  Show();
  NMHDR changing{pc->Handle(), 0, static_cast<UINT>(TCN_SELCHANGING)};
  EXPECT_EQ(1, pc->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&changing)));
  EXPECT_EQ(nullptr, SnapshotCover);
  EXPECT_NE(0, GetWindowLongW(pc->Handle(), GWL_STYLE) & WS_VISIBLE) << "painting is on";
  EXPECT_EQ(0, pc->ActivePageIndex());
  // Allowed, but the end of the change never told: the next paint takes the cover away.
  allow = true;
  EXPECT_EQ(0, pc->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&changing)));
  EXPECT_NE(nullptr, SnapshotCover);
  pc->Repaint();
  EXPECT_EQ(nullptr, SnapshotCover);
}

TEST_F(PageControlSkinned, ACoverWhoseChangeEndIsNeverToldGoesByItselfOrWithTheControl) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  Show();
  NMHDR changing{pc->Handle(), 0, static_cast<UINT>(TCN_SELCHANGING)};
  pc->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&changing));
  ASSERT_NE(nullptr, SnapshotCover);
  EXPECT_TRUE(pump::PumpUntil([] { return SnapshotCover == nullptr; }, 10000))
      << "the cover stayed over the page";
  pc->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&changing));
  ASSERT_NE(nullptr, SnapshotCover);
  pc->Free();
  EXPECT_EQ(nullptr, SnapshotCover);
}

TEST_F(PageControlSkinned, AnAnimatedChangeEndsOnTheNewPageWithTheCoverGone) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  manager->AnimEffects.PageChange.Active = true;
  manager->AnimEffects.PageChange.Time = 16;
  Show();
  const TPoint tab = Centre(pc->SkinTabRect(2, false));
  kvtest::Click(pc->Handle(), {tab.X, tab.Y});
  PumpUntilIdle();
  EXPECT_EQ(nullptr, SnapshotCover);
  EXPECT_EQ(2, pc->ActivePageIndex());
  pc->Repaint();
  EXPECT_EQ(2, ShownState(pc, 2));
  EXPECT_EQ(0, ShownState(pc, 0));
}

TEST_F(PageControlSkinned, WithoutASkinStandInButtonsCloseTheirTabs) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  Show();
  manager->SetActive(false);
  pc->SetShowCloseBtns(true);
  auto* last = dynamic_cast<TsTabSheet*>(pc->Pages(2));
  ASSERT_NE(nullptr, last->CloseBtn);
  const TRect item = pc->TabRect(2);
  EXPECT_EQ(item.Right - 16, last->CloseBtn->Left()) << "in the tab's top right corner";
  EXPECT_EQ(item.Top + 1, last->CloseBtn->Top());
  TsTabBtn* button = last->CloseBtn;
  button->Click();
  PumpUntilIdle();
  EXPECT_EQ(2, pc->PageCount());
  // With the skin back the control draws its buttons itself.
  manager->SetActive(true);
  EXPECT_EQ(nullptr, dynamic_cast<TsTabSheet*>(pc->Pages(1))->CloseBtn);
}

// Without a skin the stand-in buttons follow the tabs when a sheet is
// freed or its tab hidden by the program: one on each tab left, none behind.
TEST_F(PageControlSkinned, WithoutASkinStandInButtonsFollowTheTabsLeft) {
  Load();
  Show();
  manager->SetActive(false);
  const struct {
    int page;
    bool hide;
  } rows[] = {{0, false}, {1, true}, {2, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.page);
    TsPageControl* pc = AddPages(root, 3);
    pc->SetShowCloseBtns(true);
    PumpUntilIdle();
    if (row.hide)
      pc->Pages(row.page)->SetTabVisible(false);
    else
      pc->Pages(row.page)->Free();
    PumpUntilIdle();
    int shown = 0;
    for (int i = 0; i < pc->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TsTabBtn*>(pc->Controls(i)); b != nullptr && b->Visible()) ++shown;
    EXPECT_EQ(2, shown);
    for (int page = 0; page < pc->PageCount(); ++page) {
      const auto* sheet = dynamic_cast<TsTabSheet*>(pc->Pages(page));
      const int want = sheet->TabVisible() ? pc->TabRect(sheet->TabIndex()).Right - 16 : -1;
      EXPECT_EQ(want, sheet->CloseBtn != nullptr ? sheet->CloseBtn->Left() : -1) << page;
    }
    pc->Free();
  }
}

// A stand-in button closing the active page keeps its index active only
// while a page is left there; closing the last one, or the first, leaves the
// choice to the class library, which takes the next page round.
TEST_F(PageControlSkinned, WithoutASkinClosingTheActivePageKeepsItsIndexWhileThereIsOne) {
  Load();
  const struct {
    int closed, active;
  } rows[] = {{2, 0}, {1, 1}, {0, 0}};
  Show();
  manager->SetActive(false);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.closed);
    TsPageControl* pc = AddPages(root, 3);
    pc->SetShowCloseBtns(true);
    pc->SetActivePageIndex(row.closed);
    PumpUntilIdle();
    TsTabBtn* button = dynamic_cast<TsTabSheet*>(pc->Pages(row.closed))->CloseBtn;
    ASSERT_NE(nullptr, button);
    kvtest::Click(pc->Handle(), {button->Left() + 7, button->Top() + 7});
    PumpUntilIdle();
    ASSERT_EQ(2, pc->PageCount());
    EXPECT_EQ(row.active, pc->ActivePageIndex());
    pc->Free();
  }
  kvtest::HoverOut();
}

// The frame round the active sheet is the control's own: a frame paint
// restores it from the picture and leaves the tabs alone.
TEST_F(PageControlSkinned, AFramePaintRestoresThePageAreaRoundTheSheet) {
  Load({.Textured = {"PAGECONTROL"}});
  TsPageControl* pc = AddPages(root, 2);
  Show();
  pc->Repaint();
  const TRect sheet = pc->Pages(0)->BoundsRect();
  const POINT frame{sheet.Left - 1, (sheet.Top + sheet.Bottom) / 2};
  const TPoint tab = Centre(pc->SkinTabRect(0, true));
  const POINT inside{tab.X, tab.Y};
  constexpr COLORREF kScribble = RGB(250, 0, 0);
  const auto at = [&](POINT p) {
    HDC dc = GetDC(pc->Handle());
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(pc->Handle(), dc);
    return c;
  };
  {
    HDC dc = GetDC(pc->Handle());
    SetPixel(dc, frame.x, frame.y, kScribble);
    SetPixel(dc, inside.x, inside.y, kScribble);
    ReleaseDC(pc->Handle(), dc);
  }
  ASSERT_EQ(kScribble, at(frame));
  SendMessageW(pc->Handle(), WM_NCPAINT, 1, 0);
  const TPixels cache = TPixels::FromBitmap(*pc->SkinData()->CacheBmp);
  EXPECT_EQ(cache.At(frame.x, frame.y), at(frame));
  EXPECT_EQ(kScribble, at(inside)) << "the active tab is painted with the tabs";
}

// Visual styles are off under Wine: the platform's theme calls stand in.
struct TThemedCalls {
  static inline std::vector<std::pair<int, int>> drawn;  // part, state
  static bool Active() { return true; }
  static HTHEME Open(HWND, LPCWSTR classList) {
    return std::wstring(classList) == L"WINDOW" ? reinterpret_cast<HTHEME>(1) : nullptr;
  }
  static HRESULT Close(HTHEME) { return S_OK; }
  static HRESULT Draw(HTHEME, HDC, int part, int state, const RECT*, const RECT*) {
    drawn.emplace_back(part, state);
    return S_OK;
  }
};

// The system's small close button in the state of the moment, drawn over
// the page control's own painting at its place (the tab it sits on), which
// here marks the button's rectangle.
TEST_F(PageControlSkinned, UnderVisualStylesAStandInButtonIsTheSystemsSmallCloseButton) {
  Load();
  TsPageControl* pc = AddPages(root, 2);
  Show();
  manager->SetActive(false);
  pc->SetShowCloseBtns(true);
  TsTabBtn* button = dynamic_cast<TsTabSheet*>(pc->Pages(1))->CloseBtn;
  ASSERT_NE(nullptr, button);
  kvtest::TPlatformScope platform;
  platform.Calls().IsThemeActive = &TThemedCalls::Active;
  platform.Calls().OpenThemeData = &TThemedCalls::Open;
  platform.Calls().CloseThemeData = &TThemedCalls::Close;
  platform.Calls().DrawThemeBackground = &TThemedCalls::Draw;
  const auto lastDrawn = [&] {
    TThemedCalls::drawn.clear();
    button->Repaint();
    return TThemedCalls::drawn.empty() ? std::pair{0, 0} : TThemedCalls::drawn.back();
  };
  constexpr COLORREF kTab = RGB(30, 200, 90);
  const RECT place{button->Left(), button->Top(), button->Left() + button->Width(),
                   button->Top() + button->Height()};
  const TWndMethod previous = pc->WindowProc;
  pc->WindowProc = TWndMethod([previous, place](TMessage& m) {
    previous(m);
    if (m.Msg != WM_PRINTCLIENT) return;
    HBRUSH brush = CreateSolidBrush(kTab);
    FillRect(reinterpret_cast<HDC>(m.WParam), &place, brush);
    DeleteObject(brush);
  });
  constexpr int smallClose = 19, normal = 1, hot = 2, pushed = 3;
  EXPECT_EQ(std::pair(smallClose, normal), lastDrawn());
  HDC dc = GetDC(pc->Handle());
  const TPixels shown = TPixels::FromDC(dc, place);
  ReleaseDC(pc->Handle(), dc);
  pc->WindowProc = previous;
  EXPECT_EQ(shown.CountOf(kTab, {0, 0, shown.Width(), shown.Height()}),
            shown.Width() * shown.Height())
      << "not on the tab";
  button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(std::pair(smallClose, hot), lastDrawn());
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(std::pair(smallClose, pushed), lastDrawn());
  button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
  button->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(std::pair(smallClose, normal), lastDrawn());
}

TEST_F(PageControlSkinned, ClosingTheLastPageWhileActiveSelectsTheNewLastPage) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  pc->SetShowCloseBtns(true);
  pc->SetActivePageIndex(2);
  Show();
  int asked = -1;
  pc->OnCloseBtnClick = [&](TComponent*, int index, bool&, TacCloseAction&) { asked = index; };
  const TRect button = pc->CloseBtnRect(2);
  ASSERT_FALSE(IsRectEmpty(button));
  const TPoint c = Centre(button);
  SendMessageW(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.X, c.Y));
  {
    HDC dc = GetDC(pc->Handle());
    const TPixels shown = TPixels::FromDC(dc, {0, 0, pc->Width(), pc->Height()});
    ReleaseDC(pc->Handle(), dc);
    const kvtest::TSkinItem* item = skin->Legend(shown.At(c.X, c.Y));
    ASSERT_NE(nullptr, item) << "no close button under the press";
    EXPECT_EQ("SICONCLOSE", item->Key);
    EXPECT_EQ(2, item->State) << "pressed";
  }
  SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c.X, c.Y));
  EXPECT_EQ(2, asked);
  ASSERT_EQ(2, pc->PageCount());
  EXPECT_EQ(1, pc->ActivePageIndex());
  EXPECT_EQ(2, ShownState(pc, 1)) << "the new last page's tab is active";
  // A release without a press on the button closes nothing.
  const TPoint again = Centre(pc->CloseBtnRect(1));
  SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(again.X, again.Y));
  EXPECT_EQ(2, pc->PageCount());
}

// Close buttons in a section of the skin: a section the skin lacks gives
// none to see or to press; one it has is painted with its red cross.
TEST_F(PageControlSkinned, CloseButtonsInASectionShowAndCloseOnlyWhenTheSkinHasIt) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  pc->SetShowCloseBtns(true);
  pc->SetCloseBtnSkin("NOSUCHSECTION");
  Show();
  int asked = -1;
  pc->OnCloseBtnClick = [&](TComponent*, int index, bool&, TacCloseAction&) { asked = index; };
  const TRect tab = pc->SkinTabRect(1, false);
  // Where a 15-pixel button would sit in the tab's top right corner.
  const TRect place{tab.Right - 16, tab.Top + 1, tab.Right - 1, tab.Top + 16};
  const auto shown = [&] {
    pc->Repaint();
    PumpUntilIdle();
    HDC dc = GetDC(pc->Handle());
    const TPixels pixels = TPixels::FromDC(dc, {place.Left, place.Top, place.Right, place.Bottom});
    ReleaseDC(pc->Handle(), dc);
    return pixels;
  };
  const auto click = [&] {
    const TPoint c = Centre(place);
    SendMessageW(pc->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.X, c.Y));
    SendMessageW(pc->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c.X, c.Y));
    PumpUntilIdle();
  };
  const COLORREF cross = RGB(255, 0, 0);
  EXPECT_EQ(shown().CountOf(cross, {0, 0, place.Width(), place.Height()}), 0);
  click();
  EXPECT_EQ(asked, -1);
  EXPECT_EQ(pc->PageCount(), 3);

  pc->SetCloseBtnSkin("BUTTON");
  const TPixels button = shown();
  EXPECT_GT(button.CountOf(cross, {0, 0, place.Width(), place.Height()}), 3) << "its cross";
  const kvtest::TSkinItem* item = skin->Legend(button.At(place.Width() / 2, 0));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Section, "BUTTON");
  click();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(pc->PageCount(), 2);
}

// A close button's state as the window shows it now; -1 when none shows.
TEST_F(PageControlSkinned, ACloseButtonIsHotOnlyWhileTheMouseIsOnIt) {
  Load();
  TsPageControl* pc = AddPages(root, 3);
  pc->SetShowCloseBtns(true);
  Show();
  pc->Repaint();
  const auto shown = [&](int tab) {
    const TPoint c = Centre(pc->CloseBtnRect(tab));
    HDC dc = GetDC(pc->Handle());
    const TPixels pixels = TPixels::FromDC(dc, {0, 0, pc->Width(), pc->Height()});
    ReleaseDC(pc->Handle(), dc);
    const kvtest::TSkinItem* item = skin->Legend(pixels.At(c.X, c.Y));
    return item != nullptr && item->Key == "SICONCLOSE" ? item->State : -1;
  };
  const TRect second = pc->SkinTabRect(1, false);
  const TPoint besideButton{second.Left + 3, second.Bottom - 3};
  ASSERT_EQ(0, shown(1));
  MoveTo(pc, Centre(pc->CloseBtnRect(1)));
  EXPECT_EQ(1, pc->HotTab());
  EXPECT_EQ(1, shown(1)) << "on the button";
  MoveTo(pc, besideButton);
  EXPECT_EQ(0, shown(1)) << "on its tab beside it";
  MoveTo(pc, Centre(pc->CloseBtnRect(1)));
  ASSERT_EQ(1, shown(1));
  pc->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(-1, pc->HotTab());
  EXPECT_EQ(0, shown(1)) << "after the mouse left the control";
  // The active tab's button too, though the tab itself is never hot.
  MoveTo(pc, Centre(pc->CloseBtnRect(0)));
  EXPECT_EQ(-1, pc->HotTab());
  EXPECT_EQ(1, shown(0));
  MoveTo(pc, {100, 200});
  EXPECT_NE(1, shown(0)) << "after the mouse went down onto the page";
}

TEST_F(PageControlSkinned, AScrollerIsMadeOnlyForOneRowOfTopOrBottomTabsWithTabsOutOfView) {
  Load();
  const struct {
    int pages;
    TTabPosition position;
    bool multiLine;
    bool wanted;
  } rows[] = {{3, tpTop, false, false},
              {30, tpTop, false, true},
              {30, tpBottom, false, true},
              {30, tpTop, true, false},
              {30, tpLeft, false, false}};
  Show();
  for (const auto& row : rows) {
    TsPageControl* pc = AddPages(root, row.pages);
    pc->SetTabPosition(row.position);
    pc->SetMultiLine(row.multiLine);
    PumpUntilIdle();
    const std::string what = std::to_string(row.pages) + " pages, position " +
                             std::to_string(row.position) + (row.multiLine ? ", rows" : "");
    EXPECT_EQ(row.wanted, pc->NeedsScroller()) << what;
    ASSERT_EQ(row.wanted, pc->Scroller() != nullptr) << what;
    EXPECT_EQ(0, NativeScrollers(pc)) << what;
    if (row.wanted) {
      const TRect band = TabsBandRect(pc->Layout());
      EXPECT_EQ(pc->Width(), pc->Scroller()->Left() + pc->Scroller()->Width()) << what;
      EXPECT_TRUE(pc->Scroller()->Top() >= band.Top &&
                  pc->Scroller()->Top() + pc->Scroller()->Height() <= band.Bottom)
          << what << ": in the tab band";
      EXPECT_TRUE(pc->Scroller()->Visible()) << what;
    }
    pc->Free();
  }
}

TEST_F(PageControlSkinned, TheScrollerGoesWhenTheTabsFitOrTheSkinGoes) {
  Load();
  Show();
  TsPageControl* pc = AddPages(root, 30);
  PumpUntilIdle();
  ASSERT_NE(nullptr, pc->Scroller());
  pc->SetWidth(4000);
  PumpUntilIdle();
  EXPECT_EQ(nullptr, pc->Scroller()) << "every tab fits";
  pc->SetWidth(360);
  PumpUntilIdle();
  ASSERT_NE(nullptr, pc->Scroller());
  manager->SetActive(false);
  PumpUntilIdle();
  EXPECT_EQ(nullptr, pc->Scroller());
  EXPECT_EQ(1, NativeScrollers(pc)) << "the tab control's own is back without a skin";
  manager->SetActive(true);
  PumpUntilIdle();
  EXPECT_NE(nullptr, pc->Scroller());
  EXPECT_EQ(0, NativeScrollers(pc));
}

TEST_F(PageControlSkinned, ClickingTheScrollersHalvesScrollsTheTabs) {
  Load();
  Show();
  TsPageControl* pc = AddPages(root, 30);
  PumpUntilIdle();
  TsUpDown* scroller = pc->Scroller();
  ASSERT_NE(nullptr, scroller);
  const int firstLeft = pc->TabRect(0).Left;
  const POINT next{scroller->Width() * 3 / 4, scroller->Height() / 2};
  const POINT prev{scroller->Width() / 4, scroller->Height() / 2};
  kvtest::Click(scroller->Handle(), next);
  EXPECT_EQ(1, scroller->Position());
  EXPECT_LT(pc->TabRect(1).Left, firstLeft + 3) << "the second tab moved to the front";
  kvtest::Click(scroller->Handle(), next);
  EXPECT_EQ(2, scroller->Position());
  kvtest::Click(scroller->Handle(), prev);
  EXPECT_EQ(1, scroller->Position());
  EXPECT_EQ(firstLeft, pc->TabRect(1).Left);
  EXPECT_EQ(pc->Scroller(), scroller) << "kept while tabs are out of view";
}

// A click on the scroller after which it is not wanted (here the control
// grows as it scrolls until every tab fits, or the skin goes, which also
// makes the tab control's window anew) lets the scroller go inside its own
// click: it is freed, and the window made anew, once the click is over, as
// the system's up-down still works on its own data until then (the
// freed-memory check watches that too).
TEST_F(PageControlSkinned, AScrollerFreedByItsOwnClickIsLeftAlone) {
  Load();
  Show();
  struct TRow {
    const char* what;
    std::function<void(TsPageControl*)> onScroll;
    int nativeScrollers;
  };
  const TRow rows[] = {
      {"every tab fits", [](TsPageControl* pc) { pc->SetWidth(4000); }, 0},
      {"the skin goes", [&](TsPageControl*) { manager->SetActive(false); }, 1},
  };
  for (const TRow& row : rows) {
    manager->SetActive(true);
    const kvtest::TFreedMemoryCheck freed;
    TsPageControl* pc = AddPages(root, 30);
    PumpUntilIdle();
    TsUpDown* scroller = pc->Scroller();
    ASSERT_NE(nullptr, scroller) << row.what;
    const TWndMethod previous = pc->WindowProc;
    int scrolled = 0;
    pc->WindowProc = TWndMethod([&](TMessage& m) {
      previous(m);
      if (m.Msg == WM_HSCROLL && scrolled++ == 0) row.onScroll(pc);
    });
    kvtest::Click(scroller->Handle(), {scroller->Width() * 3 / 4, scroller->Height() / 2});
    PumpUntilIdle();
    kvtest::HoverOut();
    pc->WindowProc = previous;
    EXPECT_GT(scrolled, 0) << row.what << ": the click did not scroll";
    EXPECT_EQ(nullptr, pc->Scroller()) << row.what;
    EXPECT_EQ(row.nativeScrollers, NativeScrollers(pc)) << row.what;
    EXPECT_EQ(freed.Faults(), 0u) << row.what << ": the freed scroller was read";
    pc->Free();
  }
  manager->SetActive(true);
}

TEST_F(PageControlSkinned, OverATabTheHintIsItsSheetsBesideTheCursor) {
  Load();
  Show();
  TsPageControl* pc = AddPages(root, 3);
  pc->SetHint("control");
  for (int i = 0; i < 3; ++i) pc->Pages(i)->SetHint("sheet " + std::to_string(i + 1));
  PumpUntilIdle();
  const auto ask = [&](TPoint at) {
    THintInfo info;
    info.HintControl = pc;
    info.CursorPos = at;
    info.HintStr = pc->Hint();
    info.HintPos = {-1, -1};
    EXPECT_EQ(0, pc->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)));
    return info;
  };
  const TPoint tab = Centre(pc->TabRect(pc->Pages(2)->TabIndex()));
  const THintInfo over = ask(tab);
  EXPECT_EQ("sheet 3", over.HintStr);
  const TPoint screen = pc->ClientToScreen(tab);
  EXPECT_EQ((TPoint{screen.X + GetSystemMetrics(SM_CXCURSOR) / 2,
                    screen.Y + GetSystemMetrics(SM_CYCURSOR) / 2}),
            over.HintPos);
  const THintInfo page = ask({pc->Width() / 2, pc->Height() / 2});
  EXPECT_EQ("control", page.HintStr) << "the page area keeps the control's own";
  EXPECT_EQ((TPoint{-1, -1}), page.HintPos);

  // Resting on one tab and then on another shows each sheet's hint.
  const int pause = Application->HintPause();
  Application->SetHintPause(1);
  pc->SetShowHint(true);
  const auto restOn = [&](int page) {
    const TPoint p = Centre(pc->TabRect(pc->Pages(page)->TabIndex()));
    SendMessageW(pc->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.X, p.Y));
    return pump::PumpUntil([&] {
      THintWindow* w = Application->HintWindow();
      return w != nullptr && w->Caption() == "sheet " + std::to_string(page + 1);
    });
  };
  EXPECT_TRUE(restOn(1));
  EXPECT_TRUE(restOn(0));
  Application->CancelHint();
  Application->SetHintPause(pause);
}

TEST_F(PageControlSkinned, NestedInButtonStyleAsTheMainWindowAndSwitchingSkinsLeavesNothing) {
  Load();
  TsPageControl* outer = AddPages(root, 3);
  outer->SetAlign(alClient);
  TsPageControl* buttons = AddPages(outer->Pages(1), 5, tsButtons);
  buttons->SetAlign(alClient);
  TsPageControl* inner = AddPages(buttons->Pages(1), 2);
  inner->SetAlign(alClient);
  auto* box = Create<TsGroupBox>(form);
  box->SetParent(inner->Pages(0));
  box->SetBounds(10, 10, 200, 90);
  box->SetCaption("Relay");
  box->SetCaptionSkin("BUTTON");
  outer->SetActivePageIndex(1);
  buttons->SetActivePageIndex(1);
  Show();
  form->Repaint();
  EXPECT_EQ(2, ShownState(outer, 1));
  EXPECT_EQ(2, ShownState(buttons, 1, "BUTTON")) << "button style: the BUTTON section";
  EXPECT_EQ(0, ShownState(buttons, 2, "BUTTON"));
  EXPECT_EQ(2, ShownState(inner, 0));
  // One round first: the plain look's pens, brushes and fonts are made once.
  manager->SetActive(false);
  form->Repaint();
  manager->SetActive(true);
  form->Repaint();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) {
    manager->SetActive(i % 2 != 0);
    form->Repaint();
  }
  manager->SetActive(true);
  form->Repaint();
  EXPECT_TRUE(baseline.Unchanged());
  EXPECT_EQ(2, ShownState(inner, 0));
}

// A click on a tab whose change handler frees the whole control (a wizard
// taken down) leaves it alone afterwards; freed by OnChanging it refuses
// the change, which the system's tab control would otherwise go on making
// on its own freed data.
TEST_F(PageControlSkinned, FreedByItsOwnChangeHandlerItIsLeftAlone) {
  Load();
  Show();
  for (const bool changing : {true, false}) {
    SCOPED_TRACE(changing ? "OnChanging" : "OnChange");
    const kvtest::TFreedMemoryCheck freed;
    TsPageControl* pc = AddPages(root, 3);
    PumpUntilIdle();
    int calls = 0;
    if (changing)
      pc->OnChanging = [&](TObject*, bool&) {
        ++calls;
        pc->Free();
      };
    else
      pc->OnChange = [&](TObject*) {
        ++calls;
        pc->Free();
      };
    const TPoint tab = Centre(pc->SkinTabRect(1, false));
    kvtest::Click(pc->Handle(), {tab.X, tab.Y});
    ASSERT_TRUE(pump::PumpUntil([&] { return calls > 0; })) << "the click changed nothing";
    PumpUntilIdle();
    kvtest::HoverOut();
    EXPECT_EQ(freed.Faults(), 0u) << "the freed control was read";
  }
}

// The pointer coming onto a tab, with hot tracking or close buttons, runs
// OnMouseMove between the repaint of the tab it left and of the one it
// reached; a handler that frees the control leaves it alone afterwards.
TEST_F(PageControlSkinned, FreedByItsOwnMouseMoveOverATabItIsLeftAlone) {
  Load();
  Show();
  for (const bool hotTrack : {true, false}) {
    SCOPED_TRACE(hotTrack ? "hot tracking" : "close buttons");
    const kvtest::TFreedMemoryCheck freed;
    TsPageControl* pc = AddPages(root, 3);
    pc->SetHotTrack(hotTrack);
    pc->SetShowCloseBtns(!hotTrack);
    PumpUntilIdle();
    const TRect rect = pc->SkinTabRect(1, false);
    const TPoint tab = Centre(rect);
    int calls = 0;
    pc->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
      if (calls > 0 || !PtInRect(rect, {x, y})) return;
      ++calls;
      pc->Free();
    };
    kvtest::MouseMove(pc->Handle(), {tab.X, tab.Y});
    ASSERT_TRUE(pump::PumpUntil([&] { return calls > 0; })) << "no move came";
    PumpUntilIdle();
    kvtest::HoverOut();
    EXPECT_EQ(freed.Faults(), 0u) << "the freed control was read";
  }
}

// A close handler that frees the sheet itself, or the whole control, and
// leaves CanClose as it was: nothing is freed twice or read once gone.
TEST_F(PageControlSkinned, ACloseHandlerThatFreesTheSheetOrTheControlItself) {
  Load();
  Show();
  for (const bool whole : {false, true}) {
    SCOPED_TRACE(whole ? "the control" : "the sheet");
    const kvtest::TFreedMemoryCheck freed;
    TsPageControl* pc = AddPages(root, 3);
    pc->SetShowCloseBtns(true);
    pc->SetCloseBtnSkin("BUTTON");
    PumpUntilIdle();
    int calls = 0;
    pc->OnCloseBtnClick = [&](TComponent*, int index, bool&, TacCloseAction&) {
      ++calls;
      if (whole)
        pc->Free();
      else
        pc->Pages(index)->Free();
    };
    const TRect tab = pc->SkinTabRect(1, false);
    kvtest::Click(pc->Handle(), {tab.Right - 8, tab.Top + 8});
    ASSERT_TRUE(pump::PumpUntil([&] { return calls > 0; })) << "the close button was not hit";
    PumpUntilIdle();
    kvtest::HoverOut();
    EXPECT_EQ(freed.Faults(), 0u) << "something freed was read";
    if (!whole) {
      EXPECT_EQ(pc->PageCount(), 2);
      pc->Free();
    }
  }
}

}  // namespace
}  // namespace kv
