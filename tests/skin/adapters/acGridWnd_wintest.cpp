// The grid and tree adapters on a skinned form: colours a grid publishes
// by name given back, a data-aware grid's and a self-painting tree's bars
// following a moved thumb, what erasing does, and the grid's own bars once
// the skin goes.
#include <gtest/gtest.h>
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include <functional>
#include <string>

#include "SkinnedFormFixture.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Grids.h"
#include "classlib/TreeViews.h"
#include "classlib/TypInfo.h"
#include "skin/adapters/acGridWnd_win.h"
#include "skin/adapters/acScrollWndGeometry.h"
#include "skin/core/sCommonData_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "support/Mouse.h"
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

// The objects a virtual tree publishes.
class TLookColors : public TObject {
 public:
  TColor CompressedTextColor = clBlue, FileTextColor = clNavy, FolderTextColor = clTeal;
};
class THeaderFont : public TObject {
 public:
  TColor Color = clBtnText;
};
class TTreeHeader : public TObject {
 public:
  TColor Color = clBtnFace;
  THeaderFont Font;
  std::uint32_t Options = 1;  // hoVisible
  int Height = 18;
};
class TInfoColumn : public TObject {
 public:
  TColor Color = clBtnFace;
  int Style = 0;
};

constexpr COLORREF kHeaderInk = RGB(0x31, 0x62, 0x93), kItemsInk = RGB(0x93, 0x62, 0x31);

// A virtual tree as other libraries have it: its header lies in its frame,
// above the client, and is drawn when the tree prints its frame.
class TLookTree : public TSelfPaintedTree {
 public:
  using TSelfPaintedTree::TSelfPaintedTree;
  std::string ClassName() const override { return "TLookTree"; }
  TLookColors VETColors;
  TTreeHeader Header;
  TInfoColumn PaintInfoColumn;
  std::int64_t Themed = 1;
  int HeaderPrints = 0;

  void Dispatch(TMessage& m) override {
    switch (m.Msg) {
      case WM_NCCALCSIZE:
        TSelfPaintedTree::Dispatch(m);
        if (m.WParam != 0 && (Header.Options & 1) != 0)
          reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0].top += Header.Height;
        return;
      case WM_PRINT:
        if ((m.LParam & PRF_NONCLIENT) != 0 && (Header.Options & 1) != 0) {
          ++HeaderPrints;
          RECT client{};
          ClientRectInWindow(Handle(), client);
          Fill(reinterpret_cast<HDC>(m.WParam),
               {client.left, client.top - Header.Height, client.right, client.top}, kHeaderInk);
        }
        TSelfPaintedTree::Dispatch(m);
        return;
      case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(Handle(), &client);
        Fill(reinterpret_cast<HDC>(m.WParam), client, kItemsInk);
        return;
      }
      default:
        TSelfPaintedTree::Dispatch(m);
    }
  }

 private:
  static void Fill(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH brush = CreateSolidBrush(c);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
};

// An ordinal property read and written straight from a field.
template <class T, class F>
void Ord(F T::*field, const char* name) {
  RegisterOrdProperty<T>(
      name, [field](T& o) { return static_cast<std::int64_t>(o.*field); },
      [field](T& o, std::int64_t v) { o.*field = static_cast<F>(v); });
}

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
  Ord(&TLookColors::CompressedTextColor, "CompressedTextColor");
  Ord(&TLookColors::FileTextColor, "FileTextColor");
  Ord(&TLookColors::FolderTextColor, "FolderTextColor");
  Ord(&THeaderFont::Color, "Color");
  Ord(&TTreeHeader::Color, "Color");
  Ord(&TTreeHeader::Height, "Height");
  Ord(&TInfoColumn::Color, "Color");
  Ord(&TInfoColumn::Style, "Style");
  Ord(&TLookTree::Themed, "Themed");
  RegisterSetProperty<TTreeHeader>(
      "Options", {"hoVisible", "hoOwnerDraw"}, [](TTreeHeader& o) { return o.Options; },
      [](TTreeHeader& o, std::uint32_t v) { o.Options = v; });
  RegisterObjectProperty<TTreeHeader>("Font", [](TTreeHeader& o) -> TObject* { return &o.Font; });
  RegisterObjectProperty<TLookTree>("VETColors",
                                    [](TLookTree& t) -> TObject* { return &t.VETColors; });
  RegisterObjectProperty<TLookTree>("Header", [](TLookTree& t) -> TObject* { return &t.Header; });
  RegisterObjectProperty<TLookTree>("PaintInfoColumn",
                                    [](TLookTree& t) -> TObject* { return &t.PaintInfoColumn; });
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
    manager->ThirdParty.SetItem(SelfPaintedTreeKinds, "TSelfPaintedTree\r\nTLookTree");
  }
  // The pointer goes where no later test's window lies.
  void TearDown() override {
    kvtest::HoverOut();
    SkinnedFormFixture::TearDown();
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

TEST_F(GridWnd, ADataAwareGridsBarTakesTheThumbsPositionBeyondSixteenBits) {
  auto* grid = Add<TLookGrid>(10, 10, 200, 120);
  grid->SetRowCount(100000);
  ShowSkinned();
  SCROLLINFO range{};
  range.cbSize = sizeof range;
  range.fMask = SIF_RANGE | SIF_PAGE;
  ASSERT_TRUE(GetScrollInfo(grid->Handle(), SB_VERT, &range));
  const int last = range.nMax - static_cast<int>(range.nPage) + 1;
  ASSERT_GT(last, 0xFFFF);
  DragThumbToEnd(grid, [&] {
    EXPECT_EQ(last, BarPos(grid));
    EXPECT_GT(grid->TopRow(), 0xFFFF);
  });
  EXPECT_GT(grid->TopRow(), 0xFFFF) << "released where it was dragged to";
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
  DragThumbToEnd(tree, [&] { EXPECT_EQ(91, BarPos(tree)); });
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

TEST_F(GridWnd, AVirtualTreesColoursTakeTheSkinsAndComeBack) {
  auto* tree = Add<TLookTree>(10, 10, 150, 120);
  ShowSkinned();
  ASSERT_NE(nullptr, dynamic_cast<TacVirtualTreeViewWnd*>(AdapterOf(tree)));
  const TsSkinModel& skin = manager->Skin();
  const auto hotFont = static_cast<TColor>(AdapterOf(tree)->SkinData->Section()->HotFontColor[0]);
  EXPECT_EQ(hotFont, tree->VETColors.CompressedTextColor);
  EXPECT_EQ(hotFont, tree->VETColors.FileTextColor);
  EXPECT_EQ(hotFont, tree->VETColors.FolderTextColor);
  EXPECT_EQ(static_cast<TColor>(skin.GetGlobalInfoColor()), tree->PaintInfoColumn.Color);
  EXPECT_EQ(1, tree->PaintInfoColumn.Style);
  EXPECT_EQ(static_cast<TColor>(skin.GetGlobalInfoHotColor()), tree->Header.Color);
  EXPECT_EQ(static_cast<TColor>(skin.GetGlobalInfoFontColor()), tree->Header.Font.Color);
  EXPECT_EQ(0, tree->Themed);
  manager->SetActive(false);
  pump::PumpUntilIdle();
  EXPECT_EQ(clBlue, tree->VETColors.CompressedTextColor);
  EXPECT_EQ(clNavy, tree->VETColors.FileTextColor);
  EXPECT_EQ(clTeal, tree->VETColors.FolderTextColor);
  EXPECT_EQ(clBtnFace, tree->PaintInfoColumn.Color);
  EXPECT_EQ(clBtnFace, tree->Header.Color);
  EXPECT_EQ(clBtnText, tree->Header.Font.Color);
  EXPECT_EQ(1, tree->Themed);
}

TEST_F(GridWnd, AVirtualTreesHeaderShowsInsideItsSkinnedFrameOnScreenAndInPrint) {
  auto* tree = Add<TLookTree>(10, 10, 150, 120);
  ShowSkinned();
  RECT client{};
  ClientRectInWindow(tree->Handle(), client);
  const int middle = (client.left + client.right) / 2;
  const int header = client.top - tree->Header.Height;
  const auto check = [&](const kvtest::TPixels& img) {
    EXPECT_NE(nullptr, skin().Legend(img.At(0, 60) & 0xFFFFFF)) << "the skin's frame";
    EXPECT_TRUE(kvtest::ColourAt(img, middle, header + 2, kHeaderInk));
    EXPECT_TRUE(kvtest::ColourAt(img, middle, client.top - 1, kHeaderInk));
  };
  {
    SCOPED_TRACE("on screen");
    tree->HeaderPrints = 0;
    RedrawWindow(tree->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    pump::PumpUntilIdle();
    EXPECT_GT(tree->HeaderPrints, 0);
    check(kvtest::TPixels::FromWindow(tree->Handle()));
  }
  {
    SCOPED_TRACE("printed");
    const kvtest::TPixels printed = kvtest::TPixels::FromPrint(tree->Handle());
    check(printed);
    // The items below the header, not over it.
    EXPECT_TRUE(kvtest::ColourAt(printed, middle, client.top + 1, kItemsInk));
  }
}

}  // namespace
}  // namespace kv
