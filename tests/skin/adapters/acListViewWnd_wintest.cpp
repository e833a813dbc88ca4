// The list view adapter on a standard report-style list view: the header
// painted from the skin, the skin's colours given and given back, thumb drags
// by whole rows (by whole columns in a list-style list), line scrolls, and a
// header subclassed by someone else after us keeping its chain when the
// adapter goes.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <optional>
#include <string>

#include "classlib/ForeignSubclass.h"
#include "skin/adapters/AdapterFixture.h"
#include "skin/adapters/acListViewWnd_win.h"
#include "skin/adapters/acScrollWndGeometry.h"
#include "skin/core/sCommonData_win.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr int kColumnWidth = 30;

class ListViewWnd : public kvtest::AdapterFixture {
 protected:
  void TearDown() override {
    FreeAdapter(adapter);
    if (wnd != nullptr && IsWindow(wnd)) DestroyWindow(wnd);
    AdapterFixture::TearDown();
  }
  void MakeList(int columns, int rows, DWORD view = LVS_REPORT | WS_VSCROLL) {
    wnd = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | view, 4, 4,
                          300, 150, host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int c = 0; c < columns; ++c) {
      std::wstring text = L"C" + std::to_wstring(c);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = kColumnWidth;
      column.pszText = text.data();
      SendMessageW(wnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c),
                   reinterpret_cast<LPARAM>(&column));
    }
    for (int r = 0; r < rows; ++r) {
      std::wstring text = std::to_wstring(r);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = r;
      item.pszText = text.data();
      SendMessageW(wnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(wnd, LVM_SETBKCOLOR, 0, RGB(1, 2, 3));
    sd = std::make_unique<TsCommonData>(nullptr, true);
    sd->SetSkinManager(manager.get());
    adapter =
        static_cast<TacListViewWnd*>(CreateListViewAdapter(wnd, sd.get(), manager.get(), "", true));
    pump::PumpUntilIdle();
  }
  TPixels Header() {
    RedrawWindow(adapter->Header(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return TPixels::FromClient(adapter->Header());
  }
  RECT Section(int column) {
    RECT r{};
    SendMessageW(adapter->Header(), HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&r));
    return r;
  }

  HWND wnd = nullptr;
  std::unique_ptr<TsCommonData> sd;
  TacListViewWnd* adapter = nullptr;
};

TEST_F(ListViewWnd, PaintsEverySectionAndTheRestOfTheHeaderAtRest) {
  MakeList(4, 16);
  ASSERT_NE(adapter->Header(), nullptr);
  kvtest::HoverOut();
  const TPixels shot = Header();
  const COLORREF rest = Legend("COLHEADER", "BORDERSMASK", 0);
  for (int c = 0; c < 4; ++c)
    EXPECT_EQ(shot.At((Section(c).left + Section(c).right) / 2, 1), rest) << c;
  EXPECT_EQ(shot.At(shot.Width() - 10, 1), rest);
}

TEST_F(ListViewWnd, AHeaderWithoutColumnsIsOneEmptySection) {
  MakeList(0, 0);
  if (adapter->Header() == nullptr) GTEST_SKIP() << "this list makes its header with a column";
  const TPixels shot = Header();
  EXPECT_EQ(shot.At(shot.Width() / 2, 1), Legend("COLHEADER", "BORDERSMASK", 0));
}

// The rightmost column of a section where the caption's ink shows: the
// section painted with the caption against it painted without.
int RightmostInk(const TPixels& with, const TPixels& without, const RECT& section) {
  for (int x = section.right - 1; x >= section.left; --x)
    for (int y = section.top; y < section.bottom; ++y)
      if (with.At(x, y) != without.At(x, y)) return x;
  return -1;
}

TEST_F(ListViewWnd, ARightAlignedCaptionKeepsFourPixelsInFromTheSectionsEdge) {
  MakeList(2, 0);
  SendMessageW(wnd, LVM_SETCOLUMNWIDTH, 1, 120);
  const auto caption = [this](const wchar_t* text) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = LVCFMT_RIGHT;
    column.pszText = const_cast<wchar_t*>(text);
    SendMessageW(wnd, LVM_SETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    return Header();
  };
  kvtest::HoverOut();
  const TPixels with = caption(L"WW");
  const TPixels without = caption(L"");
  const RECT r = Section(1);
  const int ink = RightmostInk(with, without, r);
  ASSERT_GT(ink, r.left + 60) << "the caption is drawn at the right";
  // 4 pixels of inset, 5 of the caption's own room, and the ink's last column.
  EXPECT_LE(ink, r.right - 9);
}

TEST_F(ListViewWnd, AHoveredSectionShowsHotAndTheRowsClearIt) {
  MakeList(4, 16);
  const RECT r = Section(1);
  kvtest::MouseMove(adapter->Header(), {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  EXPECT_EQ(adapter->HotColumn(), 1);
  EXPECT_EQ(Header().At((r.left + r.right) / 2, 1), Legend("COLHEADER", "BORDERSMASK", 1));
  kvtest::MouseMove(wnd, {100, 100});
  EXPECT_EQ(adapter->HotColumn(), -1);
}

// A press whose capture is taken away (a message box, Alt+Tab) gets no
// release: it ends there, and the section under the pointer is only hot.
TEST_F(ListViewWnd, AHeaderPressLosingTheCaptureEndsThere) {
  MakeList(4, 4);
  const RECT r = Section(1);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  kvtest::MouseMove(adapter->Header(), middle);
  kvtest::MouseDown(adapter->Header(), middle);
  ASSERT_EQ(adapter->PressedColumn(), 1);
  SetCapture(host->Handle());
  ReleaseCapture();
  EXPECT_EQ(adapter->PressedColumn(), -1);
  EXPECT_EQ(Header().At(middle.x, 1), Legend("COLHEADER", "BORDERSMASK", 1));
}

TEST_F(ListViewWnd, GivesTheSkinColoursAndPutsTheListsOwnBack) {
  MakeList(13, 16);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(wnd, LVM_GETBKCOLOR, 0, 0)),
            Legend("EDIT", "COLOR"));
  FreeAdapter(adapter);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(wnd, LVM_GETBKCOLOR, 0, 0)), RGB(1, 2, 3));
}

TEST_F(ListViewWnd, ColoursSetAfterTheFirstPaintGiveWayToTheSkinsAtTheNext) {
  MakeList(3, 4);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  SendMessageW(wnd, LVM_SETBKCOLOR, 0, RGB(4, 5, 6));
  SendMessageW(wnd, LVM_SETTEXTCOLOR, 0, RGB(7, 8, 9));
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(wnd, LVM_GETBKCOLOR, 0, 0)),
            Legend("EDIT", "COLOR"));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(wnd, LVM_GETTEXTCOLOR, 0, 0)),
            Legend("EDIT", "FONTCOLOR"));
}

TEST_F(ListViewWnd, AThumbDragScrollsWholeRowsAndTheSamePositionNothing) {
  MakeList(13, 16);
  SendScrollMessage(wnd, WM_VSCROLL, SB_THUMBTRACK, 4);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETTOPINDEX, 0, 0), 4);
  SendScrollMessage(wnd, WM_VSCROLL, SB_THUMBTRACK, 4);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETTOPINDEX, 0, 0), 4);
  SendScrollMessage(wnd, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(SendMessageW(wnd, LVM_GETTOPINDEX, 0, 0), 5);
}

// A list-style list (the file list of an open or save dialog) scrolls by
// whole columns: the thumb dragged with the pointer shows the column it was
// dragged to, not one as many columns further as a column is wide.
TEST_F(ListViewWnd, AThumbDraggedOnAListStyleListShowsTheColumnDraggedTo) {
  MakeList(0, 120, LVS_LIST | WS_HSCROLL);
  UpdateScrollBarInfo(adapter, false);
  TacScrollBar& bar = adapter->sBarHorz;
  const TRect rect = HorzScrollBarRect(adapter, wnd);
  const TacScrollGeometry g =
      ScrollThumbGeometry(bar, rect, ScrollBarPartSize(adapter, bar, spsArrowLength, true));
  ASSERT_TRUE(g.HasThumb());
  ASSERT_GE(bar.ScrollInfo.nMax - bar.ScrollInfo.nMin, 4) << "several columns off the view";
  const int y = (rect.Top + rect.Bottom) / 2;
  const int grip = g.ThumbStart + 2;
  const int target = g.TrackStart + (g.TrackLength() - g.ThumbLength) / 2;
  const std::optional<std::int32_t> expected = ScrollDragPosition(bar.ScrollInfo, g, target);
  ASSERT_TRUE(expected && *expected > 0);
  SetCursorPos(grip, y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &in, sizeof(in));
  ASSERT_TRUE(pump::PumpUntil([&] { return adapter->Dragging; }));
  for (int step = 1; step <= 4; ++step) {
    SetCursorPos(grip + (target - g.ThumbStart) * step / 4, y);
    pump::PumpUntilIdle();
  }
  in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof(in));
  ASSERT_TRUE(pump::PumpUntil([&] { return !adapter->Dragging; }));
  EXPECT_EQ(GetScrollPos(wnd, SB_HORZ), *expected);
}

WNDPROC gOuterPrev = nullptr;
int gOuterCalls = 0;
LRESULT CALLBACK OuterProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ++gOuterCalls;
  return CallWindowProcW(gOuterPrev, wnd, msg, wParam, lParam);
}

TEST_F(ListViewWnd, AHeaderSubclassedAfterUsKeepsItsChainWhenTheAdapterGoes) {
  MakeList(13, 16);
  HWND header = adapter->Header();
  gOuterPrev = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterProc)));
  FreeAdapter(adapter);
  gOuterCalls = 0;
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(header, GWLP_WNDPROC)), &OuterProc);
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 13);
  EXPECT_EQ(gOuterCalls, 1);
  SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOuterPrev));
}

TEST_F(ListViewWnd, AHandlerOfAHeaderPressThatFreesTheAdapterLeavesNothingTouchedAfter) {
  const kvtest::TFreedMemoryCheck freed;
  MakeList(4, 4);
  HWND header = adapter->Header();
  ASSERT_NE(header, nullptr);
  // The list's own handler of the header's notices, as an application has
  // one: pressing on a divider announces the start of a column drag.
  int freedBy = 0;
  SubclassForeign(wnd, this, [&](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
    if (msg == WM_NOTIFY && notice->hwndFrom == header && adapter != nullptr) {
      ++freedBy;
      FreeAdapter(adapter);
    }
    return DefSubclassProc(w, msg, wParam, lParam);
  });
  kvtest::MouseDown(header, {kColumnWidth, 5});
  kvtest::MouseUp(header, {kColumnWidth, 5});
  EXPECT_EQ(freedBy, 1);
  EXPECT_EQ(freed.Faults(), 0u) << "the freed adapter was touched";
  EXPECT_TRUE(freed.Intact());
  UnsubclassForeign(wnd, this);
}

}  // namespace
}  // namespace kv
