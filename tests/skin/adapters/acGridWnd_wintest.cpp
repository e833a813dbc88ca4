// The grid and tree adapters on a skinned form: colours a grid publishes
// by name given back, a data-aware grid's and a self-painting tree's bars
// following a moved thumb, what erasing does, and the grid's own bars once
// the skin goes.
#include <gtest/gtest.h>
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include <string>

#include "SkinnedFormFixture.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Grids.h"
#include "classlib/TreeViews.h"
#include "classlib/TypInfo.h"
#include "skin/adapters/acGridWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

// A font object as grids of other kinds publish it.
class TLookFont : public TObject {
 public:
  TColor Color = clMaroon;
};
class TLookOptions : public TObject {};

// A grid publishing "ControlLook", "FixedFont" and "DataSource", as the
// grids of other libraries do.
class TLookGrid : public TStringGrid {
 public:
  using TStringGrid::TStringGrid;
  std::string ClassName() const override { return "TLookGrid"; }
  TLookFont FixedFont;
  TLookOptions ControlLook;
  std::int64_t DataSource = 0;
};

// A control painting its whole client itself, with a vertical bar.
class TSelfPaintedTree : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TSelfPaintedTree"; }

 protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    params.Style |= WS_VSCROLL | WS_HSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
  }
};

const bool registered = [] {
  RegisterOrdProperty<TLookFont>(
      "Color", [](TLookFont& f) { return std::int64_t{f.Color}; },
      [](TLookFont& f, std::int64_t v) { f.Color = static_cast<TColor>(v); });
  RegisterObjectProperty<TLookGrid>("FixedFont",
                                    [](TLookGrid& g) -> TObject* { return &g.FixedFont; });
  RegisterObjectProperty<TLookGrid>("ControlLook",
                                    [](TLookGrid& g) -> TObject* { return &g.ControlLook; });
  RegisterOrdProperty<TLookGrid>(
      "DataSource", [](TLookGrid& g) { return g.DataSource; },
      [](TLookGrid& g, std::int64_t v) { g.DataSource = v; });
  return true;
}();

// The list indexes of grids and of self-painting trees among the kinds the
// control adapter knows by class name.
constexpr int GridKinds = 5, SelfPaintedTreeKinds = 12;

class GridWnd : public SkinnedFormFixture {
 protected:
  void SetUp() override {
    SkinnedFormFixture::SetUp();
    manager->ThirdParty.SetItem(GridKinds, manager->ThirdParty.GetItem(GridKinds) + "\r\nTLookGrid");
    manager->ThirdParty.SetItem(SelfPaintedTreeKinds, "TSelfPaintedTree");
  }
  static int BarPos(TWinControl* c) { return GetScrollPos(c->Handle(), SB_VERT); }
};

TEST_F(GridWnd, AFontColourPublishedByNameIsSkinnedAndGivenBack) {
  auto* grid = Add<TLookGrid>(10, 10, 200, 120);
  ShowSkinned();
  ASSERT_NE(nullptr, dynamic_cast<TacGridWnd*>(AdapterOf(grid)));
  EXPECT_EQ(static_cast<TColor>(manager->Skin().GetGlobalInfoFontColor()), grid->FixedFont.Color);
  manager->SetActive(false);
  pump::PumpUntilIdle();
  EXPECT_EQ(clMaroon, grid->FixedFont.Color);
}

TEST_F(GridWnd, ADataAwareGridsBarTakesTheThumbsPosition) {
  auto* grid = Add<TLookGrid>(10, 10, 200, 120);
  grid->SetRowCount(200);
  ShowSkinned();
  // A bar of the toolkit sends the 32-bit position in LParam.
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_THUMBTRACK, 40);
  EXPECT_EQ(40, BarPos(grid));
  SendMessageW(grid->Handle(), WM_VSCROLL, SB_THUMBPOSITION, 30);
  EXPECT_EQ(31, BarPos(grid)) << "a data set counts its records from one";
}

TEST_F(GridWnd, TheGridBuildsItsSystemBarsAgainWhenTheSkinGoes) {
  auto* grid = Add<TStringGrid>(10, 10, 200, 120);
  grid->SetRowCount(40);
  ShowSkinned();
  const HWND skinned = grid->Handle();
  manager->SetActive(false);
  pump::PumpUntilIdle();
  ASSERT_TRUE(grid->HandleAllocated());
  EXPECT_NE(skinned, grid->Handle()) << "a window of its own bars";
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetScrollBarInfo(grid->Handle(), OBJID_VSCROLL, &bar));
  EXPECT_EQ(0u, bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_F(GridWnd, ErasingAGridLeavesItsClientToTheGridAndHoldsItWhileItsParentIsBusy) {
  auto* panel = Add<TPanel>(10, 10, 260, 160);
  auto* grid = Add<TStringGrid>(10, 10, 200, 120, panel);
  ShowSkinned();
  TBitmap canvasBmp(200, 120, pf24bit);
  TBitmapCanvas canvas(canvasBmp);
  FillRectWithColor(canvas.Handle(), {0, 0, 200, 120}, clFuchsia);
  SetPaintingSuspended(AdapterOf(panel)->SkinData, true);
  EXPECT_EQ(1, SendMessageW(grid->Handle(), WM_ERASEBKGND,
                            reinterpret_cast<WPARAM>(canvas.Handle()), 0));
  EXPECT_TRUE(kvtest::ColourAt(kvtest::TPixels::FromBitmap(canvasBmp), 100, 60,
                               static_cast<COLORREF>(ColorToRGB(clFuchsia))));
  EXPECT_TRUE(AdapterOf(grid)->SkinData->Updating);
}

TEST_F(GridWnd, APrintedGridShowsItsCellsInsideTheFrameAndItsSkinnedBar) {
  auto* grid = Add<TStringGrid>(10, 10, 200, 120);
  grid->SetRowCount(40);
  ShowSkinned();
  const kvtest::TPixels printed = kvtest::TPixels::FromPrint(grid->Handle());
  RECT window{}, client{};
  GetWindowRect(grid->Handle(), &window);
  GetClientRect(grid->Handle(), &client);
  MapWindowPoints(grid->Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  // The fixed cells in the skin's colour, from the client's corner on.
  const COLORREF fixed = static_cast<COLORREF>(ColorToRGB(grid->FixedColor()));
  EXPECT_TRUE(kvtest::ColourAt(printed, client.left + 3, client.top + 3, fixed));
  EXPECT_EQ(0, printed.CountOf(fixed, {0, 0, client.left, printed.Height()})) << "not over the frame";
  // The vertical bar right of the client is the skin's.
  const RECT bar{client.right, client.top + 20, printed.Width() - 2, client.bottom - 20};
  int skinned = 0;
  for (const char* section : {"SCROLLBAR1V", "SCROLLBAR2V", "SCROLLSLIDERV"})
    for (int state = 0; state < 3; ++state)
      skinned += printed.CountOf(Legend(section, "BORDERSMASK", state), bar) +
                 printed.CountOf(Legend(section, "COLOR", state), bar);
  EXPECT_GT(skinned, (bar.right - bar.left) * (bar.bottom - bar.top) / 2);
}

TEST_F(GridWnd, ATreeErasesInItsSectionsHotColourAndLeavesTheRestToItsItems) {
  auto* tree = Add<TTreeView>(10, 10, 150, 120);
  ShowSkinned();
  TacMainWnd* a = AdapterOf(tree);
  ASSERT_NE(nullptr, a);
  TBitmap canvasBmp(150, 120, pf24bit);
  TBitmapCanvas canvas(canvasBmp);
  EXPECT_EQ(0, SendMessageW(tree->Handle(), WM_ERASEBKGND,
                            reinterpret_cast<WPARAM>(canvas.Handle()), 0));
  EXPECT_TRUE(kvtest::ColourAt(kvtest::TPixels::FromBitmap(canvasBmp), 75, 60,
                               static_cast<COLORREF>(ColorToRGB(a->SkinData->Section()->HotColor))));
  // Its text in the section's hot font colour.
  EXPECT_EQ(static_cast<LRESULT>(ColorToRGB(a->SkinData->Section()->HotFontColor[0])),
            SendMessageW(tree->Handle(), TVM_GETTEXTCOLOR, 0, 0));
}

TEST_F(GridWnd, ATreeGetsItsOwnColourBackWhenTheSkinGoes) {
  auto* tree = Add<TTreeView>(10, 10, 150, 120);
  tree->SetColor(clYellow);
  ShowSkinned();
  EXPECT_NE(static_cast<LRESULT>(ColorToRGB(clYellow)),
            SendMessageW(tree->Handle(), TVM_GETBKCOLOR, 0, 0));
  manager->SetActive(false);
  pump::PumpUntilIdle();
  EXPECT_EQ(static_cast<LRESULT>(ColorToRGB(clYellow)),
            SendMessageW(tree->Handle(), TVM_GETBKCOLOR, 0, 0));
}

TEST_F(GridWnd, ASelfPaintingTreesBarsFollowTheThumbAndItsClientIsNotErased) {
  auto* tree = Add<TSelfPaintedTree>(10, 10, 150, 120);
  ShowSkinned();
  ASSERT_NE(nullptr, dynamic_cast<TacVirtualTreeViewWnd*>(AdapterOf(tree)));
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMax = 100;
  si.nPage = 10;
  SetScrollInfo(tree->Handle(), SB_VERT, &si, TRUE);
  SendMessageW(tree->Handle(), WM_VSCROLL, SB_THUMBTRACK, 25);
  EXPECT_EQ(25, BarPos(tree));
  TBitmap canvasBmp(150, 120, pf24bit);
  TBitmapCanvas canvas(canvasBmp);
  FillRectWithColor(canvas.Handle(), {0, 0, 150, 120}, clFuchsia);
  SendMessageW(tree->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Handle()), 0);
  EXPECT_TRUE(kvtest::ColourAt(kvtest::TPixels::FromBitmap(canvasBmp), 75, 60,
                               static_cast<COLORREF>(ColorToRGB(clFuchsia))));
  // Its frame is the skin's.
  const kvtest::TPixels whole = kvtest::TPixels::FromWindow(tree->Handle());
  EXPECT_NE(nullptr, skin().Legend(whole.At(1, 60) & 0xFFFFFF));
}

}  // namespace
}  // namespace kv
