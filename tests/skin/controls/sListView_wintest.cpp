// The skinned list view as the main window shows it (report view, 16 rows of
// 13 columns) under the synthetic skin: the header's sections and their
// states, sort arrows, skin colours, sub-item writes, thumb drags, and the
// column records left as given.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>

#include "classlib/ListViews.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sListView_win.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr int kRows = 16;
constexpr int kColumns = 13;
constexpr int kColumnWidth = 40;

class ListViewTest : public kvtest::TSkinnedFormTest {
 protected:
  void SetUp() override {
    Load();
    form->SetBounds(0, 0, 640, 260);
  }

  TsListView* MakeList(bool columnClick = true) {
    auto* list = Create<TsListView>(form);
    list->SetParent(form);
    list->SetBounds(8, 8, 600, 180);
    list->SetViewStyle(vsReport);
    list->SetGridLines(true);
    list->SetRowSelect(true);
    list->SetReadOnly(true);
    list->SetColumnClick(columnClick);
    for (int c = 0; c < kColumns; ++c) {
      TListColumn* column = list->Columns()->Add();
      column->SetCaption("C" + std::to_string(c));
      column->SetWidth(kColumnWidth);
    }
    for (int r = 0; r < kRows; ++r) {
      TListItem* item = list->Items()->Add();
      item->SetCaption(std::to_string(r));
      for (int c = 1; c < kColumns; ++c) item->SubItems().Add("");
    }
    Show();
    return list;
  }
  static RECT SectionRect(HWND header, int column) {
    RECT r{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&r));
    return r;
  }
  TPixels Header(TsListView* list) {
    RedrawWindow(list->HeaderHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return TPixels::FromClient(list->HeaderHandle());
  }
  // The state the section's border shows at the middle of its top edge; -1
  // for anything but the column header's border.
  int SectionState(TsListView* list, int column) {
    const RECT r = SectionRect(list->HeaderHandle(), column);
    const kvtest::TSkinItem* item = skin->Legend(Header(list).At((r.left + r.right) / 2, 1));
    return item != nullptr && item->Section == "COLHEADER" && item->Key == "BORDERSMASK"
               ? item->State
               : -1;
  }
  POINT SectionMiddle(TsListView* list, int column) {
    const RECT r = SectionRect(list->HeaderHandle(), column);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void SetFormat(TsListView* list, int column, int format) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    item.fmt = HDF_STRING | format;
    SendMessageW(list->HeaderHandle(), HDM_SETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
  }
};

TEST_F(ListViewTest, EverySectionAndTheAreaRightOfTheLastShowTheColumnHeaderAtRest) {
  TsListView* list = MakeList();
  ASSERT_NE(list->HeaderHandle(), nullptr);
  kvtest::HoverOut();
  for (int c = 0; c < 3; ++c) EXPECT_EQ(SectionState(list, c), 0) << c;
  const TPixels shot = Header(list);
  const RECT last = SectionRect(list->HeaderHandle(), kColumns - 1);
  ASSERT_LT(last.right, shot.Width() - 8) << "the list is wider than its columns";
  EXPECT_EQ(shot.At((last.right + shot.Width()) / 2, 1), Colour("COLHEADER", "BORDERSMASK", 0));
}

// A list turned to report view gets its header then, and the skin paints it.
TEST_F(ListViewTest, AHeaderMadeWhenTheListTurnsToReportViewIsPaintedByTheSkin) {
  auto* list = Create<TsListView>(form);
  list->SetParent(form);
  list->SetBounds(8, 8, 600, 180);
  list->SetViewStyle(vsList);
  Show();
  list->SetViewStyle(vsReport);
  for (int c = 0; c < 2; ++c) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption("C" + std::to_string(c));
    column->SetWidth(kColumnWidth);
  }
  pump::PumpUntilIdle();
  ASSERT_NE(list->HeaderHandle(), nullptr);
  kvtest::HoverOut();
  EXPECT_EQ(SectionState(list, 0), 0);
}

// Its picture: state 0 of its section, made when it paints.
TEST_F(ListViewTest, PaintingMakesItsPictureOfItsSectionAtRest) {
  TsListView* list = MakeList();
  RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  TBitmap* cache = list->SkinData()->CacheBmp.get();
  ASSERT_NE(cache, nullptr);
  ASSERT_EQ(cache->Width(), list->Width());
  ASSERT_EQ(cache->Height(), list->Height());
  const TPixels picture = TPixels::FromBitmap(*cache);
  const kvtest::TSkinItem* item = skin->Legend(picture.At(list->Width() / 2, 0));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Section, list->SkinData()->SkinSection());
  EXPECT_EQ(item->State, 0);
}

// Shown again, it reads its bars with a new adapter.
TEST_F(ListViewTest, ShownAgainItsScrollBarsGetANewAdapter) {
  TsListView* list = MakeList();
  ASSERT_NE(list->ScrollAdapter(), nullptr);
  list->ScrollAdapter()->DlgMode = true;  // marks the old one
  list->SetVisible(false);
  list->SetVisible(true);
  ASSERT_NE(list->ScrollAdapter(), nullptr);
  EXPECT_FALSE(list->ScrollAdapter()->DlgMode);
}

TEST_F(ListViewTest, TakesTheSectionColoursAndGivesThePlainOnesBackWithTheSkin) {
  TsListView* list = MakeList();
  EXPECT_EQ(static_cast<std::uint32_t>(SendMessageW(list->Handle(), LVM_GETBKCOLOR, 0, 0)),
            Colour("EDIT", "COLOR"));
  EXPECT_NE(list->ScrollAdapter(), nullptr);
  manager->SetActive(false);
  pump::PumpUntilIdle();
  EXPECT_EQ(list->Color(), clWindow);
  EXPECT_EQ(list->ScrollAdapter(), nullptr);
}

// Hot and pressed sections need column clicks.
class ListViewColumnClick : public ListViewTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ListViewColumnClick, HoverAndPressShowOnlyWithColumnClicks) {
  const bool clicks = GetParam();
  TsListView* list = MakeList(clicks);
  HWND header = list->HeaderHandle();
  kvtest::MouseMove(header, SectionMiddle(list, 2));
  EXPECT_EQ(SectionState(list, 2), clicks ? 1 : 0);
  EXPECT_EQ(SectionState(list, 1), 0);
  kvtest::MouseDown(header, SectionMiddle(list, 2));
  EXPECT_EQ(SectionState(list, 2), clicks ? 2 : 0);
  kvtest::MouseUp(header, SectionMiddle(list, 2));
  EXPECT_EQ(list->PressedSection(), -1);
  // Onto the rows: the header is at rest again.
  kvtest::MouseMove(list->Handle(), {100, 100});
  EXPECT_EQ(SectionState(list, 2), 0);
}

INSTANTIATE_TEST_SUITE_P(Clicks, ListViewColumnClick, ::testing::Bool());

TEST_F(ListViewTest, APressOnADividerPressesNoSection) {
  TsListView* list = MakeList();
  HWND header = list->HeaderHandle();
  const RECT r = SectionRect(header, 1);
  kvtest::MouseDown(header, {r.right, (r.top + r.bottom) / 2});
  EXPECT_EQ(list->PressedSection(), -1);
  kvtest::MouseUp(header, {r.right, (r.top + r.bottom) / 2});
}

struct TSortCase {
  int Format;
  const char* Arrow;  // the glyph's section, null for none
};

class ListViewSortArrow : public ListViewTest, public ::testing::WithParamInterface<TSortCase> {};

TEST_P(ListViewSortArrow, ShowsOnlyWithASortFlag) {
  TsListView* list = MakeList();
  list->Columns()->Items(0)->SetWidth(120);
  SetFormat(list, 0, GetParam().Format);
  const TPixels shot = Header(list);
  const RECT r = SectionRect(list->HeaderHandle(), 0);
  for (const char* section : {"SCROLLBTNTOP", "SCROLLBTNBOTTOM"}) {
    const bool wanted = GetParam().Arrow != nullptr && std::string(section) == GetParam().Arrow;
    EXPECT_EQ(shot.CountOf(Colour(section, "GLYPHMASK", 0), r) > 0, wanted) << section;
  }
}

INSTANTIATE_TEST_SUITE_P(Flags, ListViewSortArrow,
                         ::testing::Values(TSortCase{0, nullptr},
                                           TSortCase{HDF_SORTUP, "SCROLLBTNTOP"},
                                           TSortCase{HDF_SORTDOWN, "SCROLLBTNBOTTOM"}));

// A left-aligned caption without an image starts at the section's edge; a
// centred one stays well inside.
TEST_F(ListViewTest, ALeftAlignedCaptionStartsAtTheSectionsEdge) {
  TsListView* list = MakeList();
  list->Columns()->Items(0)->SetWidth(120);
  list->Columns()->Items(1)->SetWidth(120);
  SetFormat(list, 0, HDF_LEFT);
  SetFormat(list, 1, HDF_CENTER);
  const TPixels shot = Header(list);
  const COLORREF ink = Colour("COLHEADER", "FONTCOLOR");
  const RECT left = shot.Crop(SectionRect(list->HeaderHandle(), 0)).BoundsOf(ink);
  const RECT centre = shot.Crop(SectionRect(list->HeaderHandle(), 1)).BoundsOf(ink);
  ASSERT_LT(left.left, left.right) << "no caption in the header's font colour";
  ASSERT_LT(centre.left, centre.right);
  EXPECT_LE(left.left, 2) << "the caption's ink starts " << left.left << " px in";
  EXPECT_GT(centre.left, 30);
}

// Focus coming and going: the list's own repaint is held while it takes the
// focus and given back after.
class TRedrawLog {
 public:
  explicit TRedrawLog(HWND wnd) : wnd_(wnd) {
    SetWindowSubclass(wnd_, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~TRedrawLog() { RemoveWindowSubclass(wnd_, Proc, 1); }
  std::string Log;

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<TRedrawLog*>(data);
    if (msg == WM_SETFOCUS) self->Log += "set ";
    if (msg == WM_KILLFOCUS) self->Log += "kill ";
    if (msg == WM_SETREDRAW) self->Log += wp != 0 ? "on " : "off ";
    return DefSubclassProc(wnd, msg, wp, lp);
  }
  HWND wnd_;
};

// Moved, resized, shown, disabled, enabled or recoloured, the list paints its
// skinned frame again: a scribble over it goes.
TEST_F(ListViewTest, TheFrameIsPaintedAgainAfterEveryChangeOfPlaceStateOrColour) {
  TsListView* list = MakeList();
  // The left edge of the frame, blacked out first when asked.
  const auto frame = [&](bool scribble) {
    HDC dc = GetWindowDC(list->Handle());
    const RECT strip{0, 0, 2, list->Height()};
    if (scribble) FillRect(dc, &strip, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const COLORREF c = GetPixel(dc, 1, list->Height() / 2);
    ReleaseDC(list->Handle(), dc);
    return c;
  };
  const std::pair<const char*, std::function<void()>> rows[] = {
      {"moved", [&] { list->SetBounds(list->Left() + 3, list->Top() + 2, 600, 180); }},
      {"resized", [&] { list->SetWidth(590); }},
      {"hidden and shown", [&] { list->SetVisible(false), list->SetVisible(true); }},
      {"disabled", [&] { list->SetEnabled(false); }},
      {"enabled", [&] { list->SetEnabled(true); }},
      {"recoloured", [&] { list->SetColor(static_cast<TColor>(0x204060)); }},
  };
  for (const auto& [what, act] : rows) {
    ASSERT_EQ(frame(true), RGB(0, 0, 0)) << what << ": the scribble";
    act();
    pump::PumpUntilIdle();
    EXPECT_NE(frame(false), RGB(0, 0, 0)) << what;
  }
}

TEST_F(ListViewTest, FocusComesAndGoesWithTheListsRedrawHeld) {
  TsListView* list = MakeList();
  auto* other = Create<TsListView>(form);
  other->SetParent(form);
  other->SetBounds(8, 200, 100, 40);
  list->Items()->Item(2)->SetSelected(true);
  const TRedrawLog log(list->Handle());
  kvtest::Click(list->Handle(), {100, 60});
  other->SetFocus();
  EXPECT_EQ("set off on kill off on ", log.Log);
}

TEST_F(ListViewTest, ASubItemWriteShowsInItsCell) {
  TsListView* list = MakeList();
  RECT cell{LVIR_BOUNDS, 3, 0, 0};
  SendMessageW(list->Handle(), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
  cell.left += 2;
  cell.right = cell.left + kColumnWidth - 4;
  cell.top += 1;
  cell.bottom -= 1;  // the grid line
  TPixels before = TPixels::FromClient(list->Handle());
  const COLORREF bg = Colour("EDIT", "COLOR");
  ASSERT_EQ(before.CountDiffering(bg, cell), 0);
  list->Items()->Item(1)->SubItems().Put(2, "WWW");
  pump::PumpUntilIdle();
  EXPECT_GT(TPixels::FromClient(list->Handle()).CountDiffering(bg, cell), 0);
}

TEST_F(ListViewTest, AThumbDragScrollsWholeRowsAndTheSamePositionNothing) {
  TsListView* list = MakeList();
  HWND wnd = list->Handle();
  SendScrollMessage(wnd, WM_VSCROLL, SB_THUMBTRACK, 5);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETTOPINDEX, 0, 0), 5);
  const int pos = GetScrollPos(wnd, SB_VERT);
  SendScrollMessage(wnd, WM_VSCROLL, SB_THUMBTRACK, 5);
  EXPECT_EQ(GetScrollPos(wnd, SB_VERT), pos);
  SendScrollMessage(wnd, WM_VSCROLL, SB_THUMBTRACK, 2);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETTOPINDEX, 0, 0), 2);
}

TEST_F(ListViewTest, DraggingTheSkinnedThumbLeavesAWholeRowAtTheTop) {
  TsListView* list = MakeList();
  HWND wnd = list->Handle();
  TacEditWnd* adapter = list->ScrollAdapter();
  ASSERT_NE(adapter, nullptr);
  RECT first{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(wnd, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const TRect bar = VertScrollBarRect(adapter, wnd);
  const int arrow = ScrollBarPartSize(adapter, adapter->sBarVert, spsArrowLength, true);
  const POINT thumb{(bar.Left + bar.Right) / 2, bar.Top + arrow + 3};
  SetCursorPos(thumb.x, thumb.y);
  pump::PumpUntilIdle();
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(thumb.x, thumb.y));
  // GetMessagePos tells where the pointer was when a queued move was posted.
  SetCursorPos(thumb.x, thumb.y + 37);
  PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, 0);
  pump::PumpUntilIdle();
  SendMessageW(wnd, WM_LBUTTONUP, 0, 0);
  const int top = static_cast<int>(SendMessageW(wnd, LVM_GETTOPINDEX, 0, 0));
  EXPECT_GT(top, 0);
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(wnd, LVM_GETITEMRECT, static_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&row));
  // Where the first row stood: no part of a row is cut off.
  EXPECT_EQ(row.top, first.top);
}

// What the list's frame shows as it stands, nothing repainted first.
TPixels FrameAsShown(HWND wnd) {
  RECT r;
  GetWindowRect(wnd, &r);
  HDC dc = GetWindowDC(wnd);
  const TPixels shot = TPixels::FromDC(dc, {0, 0, r.right - r.left, r.bottom - r.top});
  ReleaseDC(wnd, dc);
  return shot;
}

TEST_F(ListViewTest, ItsScrollBarsShowTheSkinBeforeThePointerComesNear) {
  TsListView* list = MakeList();
  TacEditWnd* adapter = list->ScrollAdapter();
  ASSERT_NE(adapter, nullptr);
  RECT window;
  GetWindowRect(list->Handle(), &window);
  TRect bar = VertScrollBarRect(adapter, list->Handle());
  OffsetRect(bar, -window.left, -window.top);
  ASSERT_GT(bar.Bottom - bar.Top, 60) << "the rows need the vertical bar";
  const TPixels shown = FrameAsShown(list->Handle());
  const int x = (bar.Left + bar.Right) / 2;
  // The arrow at the top and the track near the bottom.
  for (int y : {bar.Top + 8, bar.Bottom - 24}) {
    const kvtest::TSkinItem* item = skin->Legend(shown.At(x, y));
    EXPECT_TRUE(item != nullptr && item->Section.starts_with("SCROLL"))
        << "at (" << x << ", " << y << "): 0x" << std::hex << shown.At(x, y);
  }
}

TEST_F(ListViewTest, ALineScrollReachesTheListWithoutAControlHandle) {
  TsListView* list = MakeList();
  SendScrollMessage(list->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  pump::PumpUntilIdle();
  EXPECT_EQ(SendMessageW(list->Handle(), LVM_GETTOPINDEX, 0, 0), 1);
}

TEST_F(ListViewTest, AColumnWithoutImageLeavesTheCallersRecordAlone) {
  TsListView* list = MakeList();
  wchar_t text[] = L"X";
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_IMAGE;
  column.pszText = text;
  column.iImage = -1;
  SendMessageW(list->Handle(), LVM_SETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(column.mask, static_cast<UINT>(LVCF_TEXT | LVCF_IMAGE));
}

TEST_F(ListViewTest, KeepsTheUsersCustomDrawHandler) {
  auto* list = Create<TsListView>(form);
  int calls = 0;
  list->OnAdvancedCustomDraw = [&](TListView*, const TRect&, TCustomDrawStage, bool& d) {
    ++calls;
    d = true;
  };
  list->SetParent(form);
  list->SetBounds(8, 8, 200, 100);
  list->SetViewStyle(vsReport);
  list->Columns()->Add()->SetCaption("A");
  list->Items()->Add()->SetCaption("a");
  Show();
  RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GT(calls, 0);
}

}  // namespace
}  // namespace kv
