// The tab and page control adapters on a real tab control with the
// synthetic skin: frame and tabs by position and style, the selected tab on
// top, the scroller adapted, sheets painted from the frame, and the system's
// look back once the skin goes.
#include <gtest/gtest.h>
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include <string>

#include "SkinnedFormFixture.h"
#include "classlib/StdCtrls.h"
#include "classlib/Tabs.h"
#include "skin/adapters/AdapterFixture.h"
#include "skin/adapters/acTabWnd_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/graphics/sGraphUtils.h"
#include "support/Counters.h"
#include "support/MessageLog.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

RECT TabRect(HWND tabs, int index) {
  RECT r{};
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

struct TabCase {
  const char* name;
  DWORD style;
  const char* frame;
  const char* tab;
};

class TabWnd : public kvtest::AdapterFixture {
 protected:
  void SetUp() override {
    AdapterFixture::SetUp();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void TearDown() override {
    FreeAdapter(adapter);
    if (wnd != nullptr && IsWindow(wnd)) DestroyWindow(wnd);
    AdapterFixture::TearDown();
  }
  HWND MakeTabs(DWORD style, int count, int width = 240) {
    wnd = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | style,
                          10, 10, width, 160, host->Handle(), nullptr, GetModuleHandleW(nullptr),
                          nullptr);
    for (int i = 0; i < count; ++i) {
      std::wstring text = L"Tab " + std::to_wstring(i);
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = text.data();
      SendMessageW(wnd, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(wnd, TCM_SETCURSEL, 1, 0);
    return wnd;
  }
  TPixels Shown() {
    RedrawWindow(wnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump::PumpUntilIdle();
    return TPixels::FromClient(wnd);
  }
  // As the manager does: inactive first, then the removal told.
  void RemoveSkin() {
    manager->SetActive(false);
    SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdSkinRemoved),
                 reinterpret_cast<LPARAM>(manager.get()));
  }

  HWND wnd = nullptr;
  TacMainWnd* adapter = nullptr;
};

class TabPlaces : public TabWnd, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabPlaces, FrameAndTabsComeFromTheSectionsOfTheirPlaceUntilTheSkinGoes) {
  MakeTabs(GetParam().style, 3);
  adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
  const COLORREF frame = Legend(GetParam().frame, "BORDERSMASK");
  const COLORREF tab = Legend(GetParam().tab, "BORDERSMASK", 0);
  const COLORREF selected = Legend(GetParam().tab, "BORDERSMASK", 2);
  TPixels shown = Shown();
  RECT display{0, 0, 240, 160};
  SendMessageW(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  EXPECT_GT(shown.CountOf(frame, display), 0);
  EXPECT_GT(shown.CountOf(tab, TabRect(wnd, 0)), 0);
  EXPECT_GT(shown.CountOf(tab, TabRect(wnd, 2)), 0);
  EXPECT_GT(shown.CountOf(selected, TabRect(wnd, 1)), 0);
  EXPECT_EQ(0, shown.CountOf(tab, TabRect(wnd, 1)));
  // Each caption is written on its tab.
  EXPECT_GT(shown.CountDiffering(tab, TabRect(wnd, 0)) - shown.CountOf(frame, TabRect(wnd, 0)), 0);
  RemoveSkin();
  shown = Shown();
  EXPECT_EQ(0, shown.CountOf(frame, shown.Whole()));
  EXPECT_EQ(0, shown.CountOf(tab, shown.Whole()));
}

INSTANTIATE_TEST_SUITE_P(
    Standard, TabPlaces,
    ::testing::Values(
        TabCase{"Top", 0, "PAGECONTROL", "TABTOP"},
        TabCase{"Bottom", TCS_BOTTOM, "PAGECONTROLBOTTOM", "TABBOTTOM"},
        TabCase{"Left", TCS_VERTICAL | TCS_MULTILINE, "PAGECONTROLLEFT", "TABLEFT"},
        TabCase{"Right", TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, "PAGECONTROLRIGHT", "TABRIGHT"},
        TabCase{"Buttons", TCS_BUTTONS, "PAGECONTROL", "BUTTON"},
        TabCase{"FlatButtons", TCS_BUTTONS | TCS_FLATBUTTONS, "PAGECONTROL", "TOOLBUTTON"}),
    [](const auto& info) { return std::string(info.param.name); });

// Text: pixels no skin item stands for (smoothed edges), or in a font colour.
bool IsText(const kvtest::TTestSkin& skin, COLORREF c) {
  const kvtest::TSkinItem* item = skin.Legend(c & 0xFFFFFF);
  return item == nullptr || item->Key.find("FONTCOLOR") != std::string::npos;
}

// The box around the text of tab i: its caption.
RECT CaptionBox(const TPixels& shown, const kvtest::TTestSkin& skin, RECT tab) {
  RECT box{tab.right, tab.bottom, tab.left, tab.top};
  // Off the tab's edges, where the band's background shows in the corners.
  InflateRect(&tab, -2, -2);
  for (int y = tab.top; y < tab.bottom; ++y)
    for (int x = tab.left; x < tab.right; ++x)
      if (IsText(skin, shown.At(x, y))) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

// A system dialog's tabs name their mnemonics with "&", as its buttons do.
TEST_F(TabWnd, AnAmpersandInATabCaptionUnderlinesTheLetterAfterIt) {
  MakeTabs(0, 0, 300);
  HFONT big = CreateFontW(-22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                          L"Tahoma");
  SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(big), 0);
  for (const wchar_t* text : {L"File", L"&File", L"Other"}) {
    std::wstring t = text;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = t.data();
    SendMessageW(wnd, TCM_INSERTITEMW, 9, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(wnd, TCM_SETCURSEL, 2, 0);
  adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
  const TPixels shown = Shown();
  const RECT plain = CaptionBox(shown, *skin, TabRect(wnd, 0));
  const RECT mnemonic = CaptionBox(shown, *skin, TabRect(wnd, 1));
  ASSERT_LT(plain.left, plain.right);
  kvtest::ExpectMnemonicUnderlined(plain, mnemonic);
  FreeAdapter(adapter);
  DestroyWindow(wnd);
  wnd = nullptr;
  DeleteObject(big);
}

TEST_F(TabWnd, SideTabCaptionsRunAlongTheTabInItsMiddleOffTheFrameSide) {
  struct Side {
    DWORD style;
    const char* name;
    bool towardsPage;
  };
  for (const Side side : {Side{TCS_VERTICAL | TCS_MULTILINE, "TABLEFT", false},
                          Side{TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, "TABRIGHT", true}}) {
    SCOPED_TRACE(side.style);
    MakeTabs(side.style, 3);
    adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
    const TPixels shown = Shown();
    // The tab as drawn, the skin's own edges included.
    const RECT tab = TabRect(wnd, 0);
    const RECT around{tab.left - 4, tab.top + 2, tab.right + 4, tab.bottom - 2};
    RECT drawn = shown.Crop(around).BoundsOf(Legend(side.name, "BORDERSMASK"));
    OffsetRect(&drawn, around.left, around.top);
    const RECT text = CaptionBox(shown, *skin, tab);
    ASSERT_LT(text.left, text.right) << "a caption is written";
    EXPECT_GT(text.bottom - text.top, 2 * (text.right - text.left)) << "turned a quarter";
    // Twice the shift of the caption's middle from the tab's, towards the page.
    const int shift = (text.left + text.right) - (drawn.left + drawn.right);
    if (side.towardsPage)
      EXPECT_LT(shift, 0) << "a right tab's caption sits off the frame's edge";
    else
      EXPECT_NEAR(0, shift, 3);
    EXPECT_NEAR((tab.top + tab.bottom) / 2, (text.top + text.bottom) / 2, 3);
    FreeAdapter(adapter);
    DestroyWindow(wnd);
  }
}

// An image list of one square in a colour no skin item has, given to every tab.
class TTabImages {
 public:
  static constexpr int kSize = 8;
  static constexpr COLORREF kColour = RGB(0x12, 0xEF, 0x34);
  explicit TTabImages(HWND tabs) : list_(ImageList_Create(kSize, kSize, ILC_COLOR24, 1, 0)) {
    kv::TBitmap square(kSize, kSize, pf24bit);
    {
      TBitmapCanvas canvas(square);
      FillRectWithColor(canvas.Handle(), {0, 0, kSize, kSize}, static_cast<TColor>(kColour));
    }
    ImageList_Add(list_, square.Handle(), nullptr);
    SendMessageW(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list_));
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      TCITEMW item{};
      item.mask = TCIF_IMAGE;
      item.iImage = 0;
      SendMessageW(tabs, TCM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
  }
  ~TTabImages() { ImageList_Destroy(list_); }
  TTabImages(const TTabImages&) = delete;
  TTabImages& operator=(const TTabImages&) = delete;

 private:
  HIMAGELIST list_;
};

// The selected side tab with an image: on a left tab, image and caption sit
// two pixels off the tab's middle towards the page; on a right tab, whose
// tabs all lie two pixels towards the page, they are back in the middle.
TEST_F(TabWnd, ASelectedSideTabsImageLiesOffItsMiddleByTheSidesShift) {
  struct Side {
    DWORD style;
    const char* name;
    int shift;
  };
  for (const Side side : {Side{TCS_VERTICAL | TCS_MULTILINE, "TABLEFT", 2},
                          Side{TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE, "TABRIGHT", 0}}) {
    SCOPED_TRACE(side.name);
    MakeTabs(side.style, 3);
    const TTabImages images(wnd);
    ASSERT_EQ(nullptr, skin->Legend(TTabImages::kColour));
    adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
    const TPixels shown = Shown();
    const RECT tab = TabRect(wnd, 1);
    RECT image = shown.Crop(tab).BoundsOf(TTabImages::kColour);
    ASSERT_LT(image.left, image.right) << "the image is drawn";
    OffsetRect(&image, tab.left, tab.top);
    EXPECT_EQ(TTabImages::kSize, image.right - image.left);
    // The selected tab's edges, in the row through the image's middle.
    const COLORREF edge = Legend(side.name, "BORDERSMASK", 2);
    const int row = (image.top + image.bottom) / 2;
    const int left = tab.left - 4;
    const RECT drawn = shown.Crop({left, row, tab.right + 4, row + 1}).BoundsOf(edge);
    ASSERT_LT(drawn.left, drawn.right) << "the selected tab is drawn";
    const int before = image.left - (left + drawn.left);
    const int after = (left + drawn.right) - image.right;
    EXPECT_NEAR(2 * side.shift, before - after, 1) << before << " left of the image, " << after
                                                   << " right of it";
    FreeAdapter(adapter);
    DestroyWindow(wnd);
  }
}

TEST_F(TabWnd, ShrinkingRepaintsTheFrameToo) {
  MakeTabs(0, 3);
  adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
  Shown();
  kvtest::TMessageRecorder recorder;
  recorder.AttachWindow(wnd);
  const auto framesPaintedAfterResize = [&](int w, int h) {
    recorder.Clear();
    SetWindowPos(wnd, nullptr, 0, 0, w, h,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    pump::PumpUntilIdle();
    return recorder.Count(WM_NCPAINT);
  };
  EXPECT_EQ(0, framesPaintedAfterResize(260, 180)) << "grown";
  EXPECT_EQ(1, framesPaintedAfterResize(200, 120)) << "shrunk";
  EXPECT_EQ(1, framesPaintedAfterResize(200, 100)) << "lower";
}

// The size compared with is the one last painted, not the last one sized.
TEST_F(TabWnd, TheFirstShrinkAfterTheAdapterCameRepaintsTheFrame) {
  MakeTabs(0, 3);
  adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
  Shown();
  kvtest::TMessageRecorder recorder;
  recorder.AttachWindow(wnd);
  SetWindowPos(wnd, nullptr, 0, 0, 200, 120,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  pump::PumpUntilIdle();
  EXPECT_EQ(1, recorder.Count(WM_NCPAINT));
}

TEST_F(TabWnd, SideTabsLeaveNoFontBehind) {
  MakeTabs(TCS_VERTICAL | TCS_MULTILINE, 3);
  adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
  Shown();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 5; ++i) Shown();
  EXPECT_TRUE(baseline.Unchanged());
}

TEST_F(TabWnd, TheScrollerIsAdaptedWhileTheSkinLasts) {
  MakeTabs(0, 12, 150);
  adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
  Shown();
  HWND scroller = FindWindowExW(wnd, nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(nullptr, scroller) << "twelve tabs in one row need a scroller";
  auto* tabs = static_cast<TacTabControlWnd*>(adapter);
  ASSERT_NE(nullptr, tabs->Spin);
  EXPECT_EQ(tabs->Spin, AdapterOfWindow(scroller));
  EXPECT_EQ("UPDOWNBTN", tabs->Spin->SkinData->SkinSection());
  RemoveSkin();
  EXPECT_EQ(nullptr, tabs->Spin);
  EXPECT_EQ(nullptr, AdapterOfWindow(scroller));
}

// A sheet window without painting of its own.
HWND MakeSheet(HWND parent, const RECT& r) {
  static const ATOM atom = [] {
    WNDCLASSW c{};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"KvTestSheet";
    return RegisterClassW(&c);
  }();
  (void)atom;
  return CreateWindowExW(0, L"KvTestSheet", L"", WS_CHILD | WS_VISIBLE, r.left, r.top,
                         r.right - r.left, r.bottom - r.top, parent, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

TEST_F(TabWnd, SheetsAreSkinnedWhenTheyComeAndFreedWhenTheyGo) {
  MakeTabs(0, 3);
  RECT display{0, 0, 240, 160};
  SendMessageW(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  HWND first = MakeSheet(wnd, display);
  const int before = PageAdapterCount();
  adapter = CreatePageControlAdapter(wnd, nullptr, manager.get(), "", true);
  EXPECT_EQ(before + 1, PageAdapterCount());
  EXPECT_EQ(1, SendMessageW(first, SM_ALPHACMD, MAKEWPARAM(0, cmdIsSkinned), 0));
  // What the sheets ask for their manager.
  EXPECT_EQ(reinterpret_cast<LRESULT>(manager.get()),
            SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, 27), 0));
  // The sheet shows the page frame's background.
  const TPixels sheet = [&] {
    Shown();
    return TPixels::FromClient(first);
  }();
  TsBgRequest request;
  SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdGetBackground),
               reinterpret_cast<LPARAM>(&request));
  ASSERT_EQ(btColor, request.BgType);
  EXPECT_TRUE(kvtest::ColourAt(sheet, sheet.Width() / 2, sheet.Height() / 2,
                               static_cast<COLORREF>(ColorToRGB(request.Color))));
  // Its edge on the tab side is the frame's.
  for (int y = 0; y < 3; ++y)
    EXPECT_TRUE(kvtest::ColourAt(sheet, sheet.Width() / 2, y, Legend("PAGECONTROL", "BORDERSMASK")));
  EXPECT_TRUE(kvtest::ColourAt(sheet, sheet.Width() / 2, 3,
                               static_cast<COLORREF>(ColorToRGB(request.Color))));
  // A sheet made later is skinned by its creation notice.
  HWND second = MakeSheet(wnd, display);
  pump::PumpUntilIdle();
  EXPECT_EQ(1, SendMessageW(second, SM_ALPHACMD, MAKEWPARAM(0, cmdIsSkinned), 0));
  EXPECT_EQ(before + 2, PageAdapterCount());
  DestroyWindow(first);
  DestroyWindow(second);
  EXPECT_EQ(before, PageAdapterCount());
}

TEST_F(TabWnd, SheetsOfTabsAtTheBottomTakeTheBottomFramesBackground) {
  MakeTabs(TCS_BOTTOM, 3);
  adapter = CreatePageControlAdapter(wnd, nullptr, manager.get(), "", true);
  Shown();
  TsBgRequest request;
  SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdGetBackground),
               reinterpret_cast<LPARAM>(&request));
  ASSERT_EQ(btColor, request.BgType);
  EXPECT_EQ(Legend("PAGECONTROLBOTTOM", "COLOR"), static_cast<COLORREF>(ColorToRGB(request.Color)));
}

TEST_F(TabWnd, AnotherManagersRemovalIsToldToTheChildrenOnly) {
  MakeTabs(0, 3);
  RECT display{0, 0, 240, 160};
  SendMessageW(wnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  HWND sheet = MakeSheet(wnd, display);
  kvtest::TMessageRecorder below, child;
  below.AttachWindow(wnd);
  child.AttachWindow(sheet);
  adapter = CreateTabControlAdapter(wnd, nullptr, manager.get(), "", true);
  const int another = 0;
  SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdSkinRemoved), reinterpret_cast<LPARAM>(&another));
  EXPECT_EQ(0, below.CountCommand(cmdSkinRemoved)) << "the tab control's own procedure";
  EXPECT_EQ(1, child.CountCommand(cmdSkinRemoved));
  EXPECT_EQ(1, SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdIsSkinned), 0)) << "still skinned";
  FreeAdapter(adapter);
}

// A page control of the class library on a skinned form.
class PageControlOnForm : public SkinnedFormFixture {
 protected:
  TPageControl* MakePages(int count = 3) {
    auto* pages = Add<TPageControl>(10, 10, 300, 200);
    for (int i = 0; i < count; ++i) {
      auto* sheet = Create<TTabSheet>(form);
      sheet->SetPageControl(pages);
      sheet->SetCaption("Page " + std::to_string(i));
    }
    return pages;
  }
};

TEST_F(PageControlOnForm, ChoosingAPageOffersTheControlToTheFormToAdapt) {
  TPageControl* pages = MakePages();
  ShowSkinned();
  ASSERT_NE(nullptr, AdapterOf(pages));
  kvtest::TMessageRecorder form_;
  form_.AttachWindow(form->Handle());
  SendMessageW(pages->Handle(), TCM_SETCURSEL, 2, 0);
  bool offered = false;
  for (const kvtest::TRecordedMsg& m : form_.Messages)
    offered = offered || (m.message == SM_ALPHACMD && HIWORD(m.wParam) == cmdAdaptControl &&
                          m.lParam == reinterpret_cast<LPARAM>(pages));
  EXPECT_TRUE(offered);
}

TEST_F(PageControlOnForm, WindowlessControlsOnThePageControlAreDrawn) {
  TPageControl* pages = MakePages();
  auto* label = Create<TLabel>(form);
  label->SetParent(pages);
  label->SetCaption("WWWWWW");
  label->SetBounds(200, 2, 90, 14);
  ShowSkinned();
  const kvtest::TPixels shown = Shown(pages);
  EXPECT_GT(shown.CountDiffering(shown.At(295, 8), RECT{200, 2, 290, 16}), 10);
}

TEST_F(PageControlOnForm, AScrollerTheControlHadBeforeItsAdapterIsSkinnedWithIt) {
  TPageControl* pages = MakePages(8);
  // Windows made before the form is skinned: no later resize brings the
  // scroller to the adapter's notice.
  ASSERT_NE(nullptr, form->Handle());
  HWND scroller = FindWindowExW(pages->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(nullptr, scroller) << "eight tabs need a scroller";
  ShowSkinned();
  EXPECT_NE(nullptr, dynamic_cast<TacSpinWnd*>(AdapterOfWindow(scroller)));
}

TEST_F(PageControlOnForm, LabelsOnThePageControlGetTheirOwnColourBackWhenTheSkinGoes) {
  TPageControl* pages = MakePages();
  auto* label = Create<TLabel>(form);
  label->SetParent(pages);
  label->SetBounds(200, 2, 90, 14);
  ShowSkinned();
  ASSERT_NE(nullptr, AdapterOf(pages));
  ASSERT_NE(clWindowText, label->Font()->Color()) << "the skin's font colour";
  manager->SetActive(false);
  pump::PumpUntilIdle();
  EXPECT_EQ(clWindowText, label->Font()->Color());
}

}  // namespace
}  // namespace kv
