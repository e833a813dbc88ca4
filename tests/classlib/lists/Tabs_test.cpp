// TPageControl and TTabSheet: tabs for the visible sheets, the active sheet
// alone shown inside the display area, clicks on tabs with OnChanging and
// OnChange, hidden tabs, captions, styles and nesting.
#include "classlib/Tabs.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ListsTest.h"
#include "classlib/ImgList.h"
#include "classlib/WideText.h"

using namespace kv;

namespace {

std::string TabText(HWND wnd, int index) {
  wchar_t buf[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = 64;
  SendMessageW(wnd, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return Narrow(buf);
}

class PageControlTest : public kvtest::ListsFormTest {
 protected:
  void SetUp() override {
    ListsFormTest::SetUp();
    pages = Create<TPageControl>(form);
    pages->SetParent(form);
    pages->SetBounds(10, 10, 500, 350);
    for (const char* caption : {"Welcome", "Basic Setting", "Historical Record"}) {
      TTabSheet* sheet = Create<TTabSheet>(form);
      sheet->SetCaption(caption);
      sheet->SetPageControl(pages);
      sheets.push_back(sheet);
    }
    kvtest::Pump(30);
  }
  // Which sheets have a visible window.
  std::vector<bool> Shown() {
    std::vector<bool> v;
    for (TTabSheet* s : sheets) v.push_back(IsWindowVisible(s->Handle()) != FALSE);
    return v;
  }
  void ClickTab(int tab) {
    const TRect r = pages->TabRect(tab);
    ASSERT_GT(r.Width(), 0);
    Click(pages->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  TPageControl* pages = nullptr;
  std::vector<TTabSheet*> sheets;
};

TEST_F(PageControlTest, EverySheetHasATabAndOnlyTheActiveOneShows) {
  HWND wnd = pages->Handle();
  EXPECT_EQ(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(TabText(wnd, 1), "Basic Setting");
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->ActivePage(), sheets[0]) << "the first sheet becomes active";
  EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false}));

  pages->SetActivePageIndex(2);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(pages->TabIndex(), 2);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, false, true}));
  // The sheet fills the area inside the tabs.
  EXPECT_EQ(sheets[2]->BoundsRect(), pages->DisplayRect());
  EXPECT_GT(pages->DisplayRect().Top, 10);

  pages->SetActivePageIndex(5);
  EXPECT_EQ(pages->ActivePage(), nullptr);
  EXPECT_EQ(pages->ActivePageIndex(), -1);
  EXPECT_THROW(pages->Pages(3), EInvalidOperation);
}

TEST_F(PageControlTest, ClickingATabAsksOnChangingThenRaisesOnChange) {
  std::vector<std::string> log;
  bool allow = true;
  pages->OnChanging = [&](TObject*, bool& ok) {
    log.push_back("changing from " + pages->ActivePage()->Caption());
    ok = allow;
  };
  pages->OnChange = [&](TObject*) { log.push_back("change to " + pages->ActivePage()->Caption()); };
  ClickTab(1);
  EXPECT_EQ(log, (std::vector<std::string>{"changing from Welcome", "change to Basic Setting"}));
  EXPECT_EQ(Shown(), (std::vector<bool>{false, true, false}));

  log.clear();
  allow = false;
  ClickTab(2);
  EXPECT_EQ(log, (std::vector<std::string>{"changing from Basic Setting"}));
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_EQ(pages->TabIndex(), 1);

  // Setting the page in code raises neither event.
  log.clear();
  pages->SetActivePage(sheets[2]);
  EXPECT_TRUE(log.empty());
}

TEST_F(PageControlTest, HiddenTabsAreSkippedAndCaptionsUpdateTheirTab) {
  HWND wnd = pages->Handle();
  pages->SetActivePage(sheets[1]);
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(sheets[1]->TabIndex(), -1);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  EXPECT_EQ(sheets[2]->PageIndex(), 2);
  EXPECT_EQ(pages->ActivePage(), sheets[2]) << "the active sheet's tab went: the next one";
  sheets[2]->SetCaption("History");
  EXPECT_EQ(TabText(wnd, 1), "History");
  sheets[1]->SetTabVisible(true);
  EXPECT_EQ(TabText(wnd, 1), "Basic Setting");
  EXPECT_EQ(pages->TabIndex(), 2);

  sheets[0]->SetPageIndex(2);
  EXPECT_EQ(TabText(wnd, 2), "Welcome");
  EXPECT_EQ(pages->Pages(0), sheets[1]);
}

TEST_F(PageControlTest, FreeingASheetRemovesItsTab) {
  pages->SetActivePage(sheets[0]);
  sheets[0]->Free();
  sheets.erase(sheets.begin());
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  EXPECT_TRUE(IsWindowVisible(sheets[0]->Handle()));
}

TEST_F(PageControlTest, ButtonStyleMakesANewWindowWithTheSameTabs) {
  pages->SetActivePageIndex(1);
  pages->SetStyle(tsButtons);
  HWND wnd = pages->Handle();
  EXPECT_TRUE(GetWindowLongW(wnd, GWL_STYLE) & TCS_BUTTONS);
  EXPECT_EQ(SendMessageW(wnd, TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(pages->TabIndex(), 1);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, true, false}));
  pages->SetStyle(tsFlatButtons);
  EXPECT_TRUE(GetWindowLongW(pages->Handle(), GWL_STYLE) & TCS_FLATBUTTONS);
}

TEST_F(PageControlTest, NestedPageControlsShowTheirActiveSheetsThreeLevelsDeep) {
  TPageControl* main = Create<TPageControl>(form);
  main->SetParent(sheets[1]);
  main->SetAlign(alClient);
  main->SetStyle(tsButtons);
  std::vector<TTabSheet*> inner;
  for (const char* caption : {"Basic Setting", "DO/TH Setting"}) {
    TTabSheet* s = Create<TTabSheet>(form);
    s->SetCaption(caption);
    s->SetPageControl(main);
    inner.push_back(s);
  }
  TPageControl* didoth = Create<TPageControl>(form);
  didoth->SetParent(inner[1]);
  didoth->SetAlign(alClient);
  TTabSheet* doSheet = Create<TTabSheet>(form);
  doSheet->SetCaption("DO Setting");
  doSheet->SetPageControl(didoth);

  pages->SetActivePageIndex(1);
  main->SetActivePageIndex(1);
  kvtest::Pump(30);
  EXPECT_TRUE(IsWindowVisible(doSheet->Handle()));
  EXPECT_EQ(main->BoundsRect(), Rect(0, 0, sheets[1]->ClientWidth(), sheets[1]->ClientHeight()));
  EXPECT_EQ(doSheet->BoundsRect(), didoth->DisplayRect());
  EXPECT_GT(doSheet->Width(), 100);

  // Clicking a tab of the middle control changes only that level.
  const TRect r = main->TabRect(0);
  Click(main->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(main->ActivePageIndex(), 0);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_FALSE(IsWindowVisible(doSheet->Handle()));
}

TEST_F(PageControlTest, OwnerDrawnTabsArePaintedByOnDrawTab) {
  std::vector<std::pair<int, bool>> drawn;
  pages->OnDrawTab = [&](TPageControl* sender, int tab, const TRect& r, bool active) {
    drawn.push_back({tab, active});
    sender->Canvas()->Brush()->SetColor(clLime);
    sender->Canvas()->FillRect(r);
  };
  pages->SetOwnerDraw(true);
  pages->SetActivePageIndex(1);
  EXPECT_TRUE(GetWindowLongW(pages->Handle(), GWL_STYLE) & TCS_OWNERDRAWFIXED);
  InvalidateRect(pages->Handle(), nullptr, TRUE);
  UpdateWindow(pages->Handle());
  ASSERT_GE(drawn.size(), 3u);
  EXPECT_EQ(std::count(drawn.begin(), drawn.end(), std::make_pair(1, true)), 1);
  EXPECT_EQ(std::count(drawn.begin(), drawn.end(), std::make_pair(0, false)), 1);
  const TRect r = pages->TabRect(2);
  HDC dc = GetDC(pages->Handle());
  EXPECT_EQ(GetPixel(dc, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), RGB(0, 255, 0));
  ReleaseDC(pages->Handle(), dc);
}

TEST_F(PageControlTest, ArrowKeysOnTheTabsMoveThePageLikeClicks) {
  int changes = 0;
  pages->OnChange = [&](TObject*) { ++changes; };
  pages->SetFocus();
  Key(pages->Handle(), VK_RIGHT);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Shown(), (std::vector<bool>{false, true, false}));
}

TEST_F(PageControlTest, TabImagesComeFromTheImageListByEachSheetsIndex) {
  TImageList* images = Create<TImageList>(form);
  images->SetSize(16, 16);
  pages->SetImages(images);
  sheets[1]->SetImageIndex(4);
  HWND wnd = pages->Handle();
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(wnd, TCM_GETIMAGELIST, 0, 0)),
            images->Handle());
  TCITEMW item{};
  item.mask = TCIF_IMAGE;
  SendMessageW(wnd, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.iImage, 4);
  images->Free();
  EXPECT_EQ(pages->Images(), nullptr);
  EXPECT_EQ(SendMessageW(wnd, TCM_GETIMAGELIST, 0, 0), 0);
}

}  // namespace
