// Skinned scroll bars on a real multi-line edit and list box: the room they
// take, what a point on them hits, how they look, and the scroll messages a
// press, a held arrow and a thumb drag send.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/adapters/AdapterFixture.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sMessages.h"
#include "support/MessageLog.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::AdapterFixture;
using kvtest::TPixels;

constexpr int kEdge = 2;  // WS_EX_CLIENTEDGE

RECT ClientInWindow(HWND wnd) {
  RECT c{}, w{};
  GetClientRect(wnd, &c);
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&c), 2);
  GetWindowRect(wnd, &w);
  OffsetRect(&c, -w.left, -w.top);
  return c;
}

TRect ToWindow(HWND wnd, const TRect& screen) {
  RECT w{};
  GetWindowRect(wnd, &w);
  return {screen.Left - w.left, screen.Top - w.top, screen.Right - w.left, screen.Bottom - w.top};
}

RECT R(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

// Presses and releases the real left button at a screen point.
void Button(POINT screen, bool down) {
  SetCursorPos(screen.x, screen.y);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof(in));
}

class ScrollWnd : public AdapterFixture {
 protected:
  void TearDown() override {
    FreeAdapter(adapter);
    if (wnd != nullptr && IsWindow(wnd)) DestroyWindow(wnd);
    AdapterFixture::TearDown();
  }
  void Attach(HWND w) {
    wnd = w;
    recorder.AttachWindow(wnd);
    adapter = CreateAdapter<TacScrollWnd>(wnd, true, nullptr, manager.get(), "EDIT");
    kvtest::PumpUntilIdle();
  }
  // Fills the edit with more lines and columns than it shows.
  void FillEdit() {
    std::wstring text;
    for (int i = 0; i < 60; ++i)
      text += L"line " + std::to_wstring(i) +
              L" with a long tail of text that runs well past the right edge\r\n";
    SetWindowTextW(wnd, text.c_str());
    SendMessageW(wnd, EM_SETSEL, 0, 0);
    SendMessageW(wnd, EM_SCROLLCARET, 0, 0);
    kvtest::PumpUntilIdle();
  }
  TRect Bar(int kind) {
    return kind == acBarVert ? VertScrollBarRect(adapter, wnd) : HorzScrollBarRect(adapter, wnd);
  }
  TacScrollGeometry Geometry(int kind) {
    TacScrollBar& bar = adapter->Bar(kind);
    UpdateScrollBarInfo(adapter, false);
    return ScrollThumbGeometry(bar, Bar(kind),
                               ScrollBarPartSize(adapter, bar, spsArrowLength, true));
  }
  // The scroll messages recorded below the adapter, as "code:position".
  std::vector<std::string> Scrolls(UINT msg = WM_VSCROLL) {
    std::vector<std::string> out;
    for (const auto& m : recorder.Messages)
      if (m.message == msg)
        out.push_back(std::to_string(LOWORD(m.wParam)) + ":" + std::to_string(HIWORD(m.wParam)));
    return out;
  }
  void OnlyScrolls() {
    recorder.Filter = [](UINT msg) { return msg == WM_VSCROLL || msg == WM_HSCROLL; };
    recorder.Clear();
  }

  HWND wnd = nullptr;
  TacScrollWnd* adapter = nullptr;
  kvtest::TMessageRecorder recorder;
};

TEST_F(ScrollWnd, TheClientAreaLeavesRoomForBothBarsAndTheStylesStay) {
  Attach(MakeEdit(10, 10, 200, 120));
  const RECT c = ClientInWindow(wnd);
  EXPECT_EQ(kEdge, c.left);
  EXPECT_EQ(kEdge, c.top);
  EXPECT_EQ(200 - kEdge - GetSystemMetrics(SM_CXVSCROLL), c.right);
  EXPECT_EQ(120 - kEdge - GetSystemMetrics(SM_CYHSCROLL), c.bottom);
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  EXPECT_NE(0, style & WS_VSCROLL);
  EXPECT_NE(0, style & WS_HSCROLL);
  EXPECT_TRUE(adapter->sBarVert.Shown && adapter->sBarHorz.Shown);
  EXPECT_EQ((TRect{kEdge, kEdge, kEdge, kEdge}), adapter->FrameWidths);
}

struct HitCase {
  const char* name;
  bool bottomRight;  // the edit fills the host's bottom-right corner
  int x, y;          // from the window's bottom-right corner, inwards
  LRESULT expected;
};

class ScrollHits : public ScrollWnd, public ::testing::WithParamInterface<HitCase> {};

TEST_P(ScrollHits, PointsAnswerTheirHitCode) {
  const HitCase& c = GetParam();
  const int x = c.bottomRight ? 320 - 200 : 10, y = c.bottomRight ? 240 - 120 : 10;
  Attach(MakeEdit(x, y, 200, 120));
  FillEdit();
  RECT w{};
  GetWindowRect(wnd, &w);
  const POINT p{w.right - c.x, w.bottom - c.y};
  EXPECT_EQ(c.expected, SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y))) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Edit, ScrollHits,
                         ::testing::Values(HitCase{"vertical bar", false, kEdge + 5, 60, HTVSCROLL},
                                           HitCase{"horizontal bar", false, 60, kEdge + 5,
                                                   HTHSCROLL},
                                           HitCase{"corner at the host's corner", true, kEdge + 5,
                                                   kEdge + 5, HTBOTTOMRIGHT},
                                           HitCase{"client", false, 60, 60, HTCLIENT}),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (ch == ' ' || ch == '\'') ch = '_';
                           return n;
                         });

TEST_F(ScrollWnd, ABarWithNothingToScrollHitsNothingAndTakesNoPress) {
  Attach(MakeEdit(10, 10, 200, 120));
  const TRect v = Bar(acBarVert);
  const POINT p{v.Left + 5, v.Top + 5};
  EXPECT_EQ(0, SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)));
  OnlyScrolls();
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(p.x, p.y));
  SendMessageW(wnd, WM_LBUTTONUP, 0, 0);
  EXPECT_NE(wnd, GetCapture());
  EXPECT_TRUE(Scrolls().empty());
}

TEST_F(ScrollWnd, PartsShowTheirLegendColoursAfterTheSystemDrewItsBars) {
  Attach(MakeEdit(10, 10, 200, 120));
  FillEdit();
  // The edit's own SetScrollInfo draws the system's bar over ours; the
  // adapter paints again after whatever moves the content.
  SendMessageW(wnd, EM_LINESCROLL, 0, 3);
  UpdateScrollBarInfo(adapter, true);
  const TPixels shown = TPixels::FromWindow(wnd);
  const TRect bar = ToWindow(wnd, Bar(acBarVert));
  const int arrow = ScrollBarPartSize(adapter, adapter->sBarVert, spsArrowLength, true);
  const TacScrollGeometry g = ScrollThumbGeometry(adapter->sBarVert, bar, arrow);
  ASSERT_TRUE(g.HasThumb());
  const TacScrollPaintRects p = ScrollBarPaintRects(g, acBarVert, bar, true, -1);
  const struct {
    const char* section;
    TRect where;
  } expected[] = {{"SCROLLBTNTOP", p.FirstArrow},
                  {"SCROLLBTNBOTTOM", p.SecondArrow},
                  {"SCROLLSLIDERV", p.Thumb},
                  {"SCROLLBAR1V", p.Track1},
                  {"SCROLLBAR2V", p.Track2}};
  for (const auto& e : expected)
    EXPECT_GT(shown.CountOf(Legend(e.section, "BORDERSMASK"), R(e.where)), 0) << e.section;
  // The corner shows the edit's background and no grip inside the host.
  const TRect h = ToWindow(wnd, Bar(acBarHorz));
  const RECT corner{bar.Left, h.Top, bar.Right, h.Bottom};
  EXPECT_EQ(0, shown.CountOf(Legend("GLOBALINFO", "GRIPIMAGE"), corner));
  EXPECT_GT(shown.CountOf(Legend("EDIT", "COLOR"), corner), 0);
}

POINT Middle(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

TEST_F(ScrollWnd, AHeldArrowRepeatsOnTimerTicksOnlyWhileThePointerIsOnIt) {
  Attach(MakeEdit(10, 10, 200, 120));
  FillEdit();
  OnlyScrolls();
  const TRect bar = Bar(acBarVert);
  const POINT arrow{(bar.Left + bar.Right) / 2, bar.Bottom - 4};
  Button(arrow, true);
  ASSERT_TRUE(kvtest::PumpUntil([&] { return Scrolls().size() == 1; }));
  EXPECT_EQ(wnd, GetCapture());
  // Shown pressed after the edit moved its own bar, without a repaint asked.
  const TRect at = ToWindow(wnd, {bar.Left, bar.Bottom - 16, bar.Right, bar.Bottom});
  HDC dc = GetWindowDC(wnd);
  const TPixels now = TPixels::FromDC(dc, R(at));
  ReleaseDC(wnd, dc);
  EXPECT_GT(now.CountOf(Legend("SCROLLBTNBOTTOM", "BORDERSMASK", 2), now.Whole()), 0);
  SendMessageW(wnd, WM_TIMER, acScrollDelayTimer, 0);  // the first delay is over
  SendMessageW(wnd, WM_TIMER, acScrollRepeatTimer, 0);
  SendMessageW(wnd, WM_TIMER, acScrollRepeatTimer, 0);
  SetCursorPos(bar.Left - 40, bar.Top + 5);  // off the arrow: held, but quiet
  SendMessageW(wnd, WM_TIMER, acScrollRepeatTimer, 0);
  SetCursorPos(arrow.x, arrow.y);
  SendMessageW(wnd, WM_TIMER, acScrollRepeatTimer, 0);
  Button(arrow, false);
  ASSERT_TRUE(kvtest::PumpUntil([&] { return Scrolls().size() == 5; }));
  EXPECT_EQ((std::vector<std::string>{"1:0", "1:0", "1:0", "1:0", "8:0"}), Scrolls());
  EXPECT_NE(wnd, GetCapture());
}

TEST_F(ScrollWnd, AButtonFoundUpOnATickOrLostCaptureEndsTheRepeat) {
  Attach(MakeEdit(10, 10, 200, 120));
  FillEdit();
  OnlyScrolls();
  const TRect bar = Bar(acBarVert);
  const POINT arrow{(bar.Left + bar.Right) / 2, bar.Top + 4};
  SetCursorPos(arrow.x, arrow.y);
  // Pressed without the real button: the first tick finds it up.
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
  SendMessageW(wnd, WM_TIMER, acScrollDelayTimer, 0);
  SendMessageW(wnd, WM_TIMER, acScrollRepeatTimer, 0);
  SendMessageW(wnd, WM_TIMER, acScrollRepeatTimer, 0);
  EXPECT_EQ((std::vector<std::string>{"0:0", "8:0"}), Scrolls());
  EXPECT_NE(wnd, GetCapture());
  // Capture taken away in the middle of a press.
  recorder.Clear();
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
  SetCapture(host->Handle());
  SendMessageW(wnd, WM_TIMER, acScrollDelayTimer, 0);
  SendMessageW(wnd, WM_TIMER, acScrollRepeatTimer, 0);
  ReleaseCapture();
  EXPECT_EQ((std::vector<std::string>{"0:0", "8:0"}), Scrolls());
}

TEST_F(ScrollWnd, AWindowDestroyedInTheMiddleOfAPressLeavesNothingRunning) {
  Attach(MakeEdit(10, 10, 200, 120));
  FillEdit();
  const TRect bar = Bar(acBarVert);
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(Middle(bar).x, bar.Top + 4));
  EXPECT_EQ(wnd, GetCapture());
  DestroyWindow(wnd);
  EXPECT_TRUE(adapter->Destroyed);
  EXPECT_EQ(nullptr, GetCapture());
  // Another window's bars work as if nothing had happened.
  HWND other = MakeEdit(10, 10, 200, 120);
  FreeAdapter(adapter);
  Attach(other);
  FillEdit();
  OnlyScrolls();
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(Middle(bar).x, bar.Top + 4));
  SendMessageW(wnd, WM_LBUTTONUP, 0, 0);
  EXPECT_EQ((std::vector<std::string>{"0:0", "8:0"}), Scrolls());
}

TEST_F(ScrollWnd, AThumbDraggedWithTheRealCursorScrollsTheListBox) {
  Attach(MakeList(10, 10, 150, 160, 300));
  OnlyScrolls();
  const TacScrollGeometry g = Geometry(acBarVert);
  ASSERT_TRUE(g.HasThumb());
  const TRect bar = Bar(acBarVert);
  const int x = (bar.Left + bar.Right) / 2;
  const int y = g.ThumbStart + g.ThumbLength / 2;
  Button({x, y}, true);
  ASSERT_TRUE(kvtest::PumpUntil([&] { return adapter->Dragging; }));
  for (int step = 1; step <= 4; ++step) {
    SetCursorPos(x, y + step * 20);
    kvtest::PumpUntilIdle();
  }
  // The dragged thumb shows pressed over whatever the list drew of its bar.
  HDC dc = GetWindowDC(wnd);
  const TPixels now = TPixels::FromDC(dc, R(ToWindow(wnd, bar)));
  ReleaseDC(wnd, dc);
  EXPECT_GT(now.CountOf(Legend("SCROLLSLIDERV", "BORDERSMASK", 2), now.Whole()), 0);
  Button({x, y + 80}, false);
  ASSERT_TRUE(kvtest::PumpUntil([&] { return !Scrolls().empty() && Scrolls().back()[0] == '8'; }));
  const std::vector<std::string> got = Scrolls();
  ASSERT_GE(got.size(), 3u);
  int last = -1;
  for (size_t i = 0; i + 2 < got.size(); ++i) {
    EXPECT_EQ('5', got[i][0]) << got[i];
    const int pos = std::stoi(got[i].substr(2));
    EXPECT_GT(pos, last);
    last = pos;
  }
  EXPECT_EQ("4:" + std::to_string(last), got[got.size() - 2]);
  EXPECT_EQ("8:" + std::to_string(last), got.back());
  EXPECT_EQ(last, SendMessageW(wnd, LB_GETTOPINDEX, 0, 0));
  EXPECT_FALSE(adapter->Dragging);
}

// A plain window with a long vertical range, as a toolkit window (answering
// the before-scroll command with 1) or as any other.
LRESULT CALLBACK BigProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(wnd, msg, wp, lp);
}

HWND MakeBig(HWND parent) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = BigProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KvBigScroll";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  HWND wnd = CreateWindowExW(0, L"KvBigScroll", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10,
                             120, 200, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  si.nMax = 200000;
  si.nPage = 100;
  SetScrollInfo(wnd, SB_VERT, &si, TRUE);
  return wnd;
}

class BigPositions : public ScrollWnd, public ::testing::WithParamInterface<bool> {};

TEST_P(BigPositions, ArriveWholeAtToolkitWindowsAndThroughTheBarElsewhere) {
  const bool toolkit = GetParam();
  if (toolkit) recorder.Answer(cmdBeforeScroll, 1);
  Attach(MakeBig(host->Handle()));
  recorder.Filter = [](UINT msg) { return msg == WM_VSCROLL; };
  recorder.Clear();
  const TacScrollGeometry g = Geometry(acBarVert);
  const TRect bar = Bar(acBarVert);
  const POINT thumb{(bar.Left + bar.Right) / 2, g.ThumbStart + 2};
  SetCursorPos(thumb.x, thumb.y);
  kvtest::PumpUntilIdle();
  SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(thumb.x, thumb.y));
  // GetMessagePos tells where the pointer was when a queued move was posted.
  SetCursorPos(thumb.x, bar.Bottom + 50);
  PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, 0);
  kvtest::PumpUntilIdle();
  SendMessageW(wnd, WM_LBUTTONUP, 0, 0);
  const auto& sent = recorder.Messages;
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(SB_THUMBPOSITION, LOWORD(sent[sent.size() - 2].wParam));
  EXPECT_EQ(SB_ENDSCROLL, LOWORD(sent.back().wParam));
  const auto& track = sent[sent.size() - 3];
  EXPECT_EQ(SB_THUMBTRACK, LOWORD(track.wParam));
  const int last = 200000 - 100 + 1;
  if (toolkit) {
    EXPECT_EQ(last, track.lParam);
    EXPECT_EQ(last & 0xFFFF, HIWORD(track.wParam));
  } else {
    EXPECT_EQ(0, track.lParam);
    EXPECT_EQ(0xFFFF, HIWORD(track.wParam));
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    GetScrollInfo(wnd, SB_VERT, &si);
    EXPECT_EQ(last, si.nPos);
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, BigPositions, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Toolkit" : "Other"; });

TEST_F(ScrollWnd, HoverLightsTheArrowUnderThePointerUntilItLeavesTheBar) {
  Attach(MakeEdit(10, 10, 200, 120));
  FillEdit();
  const TRect bar = Bar(acBarVert);
  const TRect arrow = ToWindow(wnd, {bar.Left, bar.Top, bar.Right, bar.Top + 16});
  const COLORREF normal = Legend("SCROLLBTNTOP", "BORDERSMASK", 0);
  const COLORREF hot = Legend("SCROLLBTNTOP", "BORDERSMASK", 1);
  SetCursorPos(Middle(bar).x, bar.Top + 4);
  SendMessageW(wnd, WM_NCMOUSEMOVE, HTVSCROLL, MAKELPARAM(Middle(bar).x, bar.Top + 4));
  SendMessageW(wnd, WM_TIMER, acScrollHoverTimer, 0);
  TPixels shown = TPixels::FromWindow(wnd);
  EXPECT_GT(shown.CountOf(hot, R(arrow)), 0);
  EXPECT_EQ(0, shown.CountOf(normal, R(arrow)));
  SetCursorPos(bar.Left - 60, bar.Top + 4);
  SendMessageW(wnd, WM_TIMER, acScrollHoverTimer, 0);
  shown = TPixels::FromWindow(wnd);
  EXPECT_GT(shown.CountOf(normal, R(arrow)), 0);
  EXPECT_EQ(0, shown.CountOf(hot, R(arrow)));
}

TEST_F(ScrollWnd, TheGripShowsOnlyInTheHostsBottomRightCorner) {
  Attach(MakeEdit(320 - 200, 240 - 120, 200, 120));
  FillEdit();
  const TRect v = ToWindow(wnd, Bar(acBarVert)), h = ToWindow(wnd, Bar(acBarHorz));
  const RECT corner{v.Left, h.Top, v.Right, h.Bottom};
  const TPixels shown = TPixels::FromWindow(wnd);
  EXPECT_GT(shown.CountOf(Legend("GLOBALINFO", "GRIPIMAGE"), corner), 0);
}

TEST_F(ScrollWnd, AnUnavailableBarIsFadedIntoItsBackground) {
  Attach(MakeEdit(10, 10, 200, 120));
  const TRect v = ToWindow(wnd, Bar(acBarVert));
  const TPixels shown = TPixels::FromWindow(wnd);
  EXPECT_EQ(0, shown.CountOf(Legend("SCROLLBTNTOP", "BORDERSMASK"), R(v)));
  EXPECT_EQ(0, shown.CountOf(Legend("SCROLLBAR1V", "BORDERSMASK"), R(v)));
  // Ours, not the system's bar left showing.
  EXPECT_EQ(0, shown.CountOf(GetSysColor(COLOR_BTNFACE), R(v)));
  EXPECT_GT(shown.CountDiffering(Legend("EDIT", "COLOR"), R(v)), 0);
}

// What an edit itself answers when asked for its background: a picture
// from its window's corner, or a colour; nothing for btNoAnswer.
struct TOwnBackground {
  std::uint8_t type = btNoAnswer;
  TBitmap* picture = nullptr;
  TColor color = 0;
};

LRESULT CALLBACK AnswerBackground(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
  const auto& own = *reinterpret_cast<const TOwnBackground*>(data);
  if (msg != SM_ALPHACMD || HIWORD(wParam) != cmdGetBackground || lParam == 0 ||
      own.type == btNoAnswer)
    return DefSubclassProc(wnd, msg, wParam, lParam);
  auto& request = *reinterpret_cast<TsBgRequest*>(lParam);
  request.BgType = own.type;
  request.Bmp = own.picture;
  request.Color = own.color;
  request.Offset = {};
  return 0;
}

std::unique_ptr<TBitmap> Picture(int w, int h, COLORREF c) {
  auto picture = std::make_unique<TBitmap>(w, h, pf24bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = picture->ScanLine(y) + 3 * x;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  return picture;
}

// An unavailable bar fades into what its window answers it lies on.
class FadedBar : public ScrollWnd {
 protected:
  // The empty edit's window as shown over `own`; `bar` is where its
  // vertical bar lies.
  TPixels Shown(const TOwnBackground& own) {
    wnd = MakeEdit(10, 10, 200, 120);
    SetWindowSubclass(wnd, AnswerBackground, 1, reinterpret_cast<DWORD_PTR>(&own));
    adapter = CreateAdapter<TacScrollWnd>(wnd, true, nullptr, manager.get(), "EDIT");
    kvtest::PumpUntilIdle();
    bar = ToWindow(wnd, Bar(acBarVert));
    const TPixels shown = TPixels::FromWindow(wnd);
    FreeAdapter(adapter);
    DestroyWindow(wnd);
    wnd = nullptr;
    return shown;
  }
  TRect bar;
};

TEST_F(FadedBar, IsBlendedWithAPictureWhereverThePictureReaches) {
  const auto whole = Picture(240, 160, RGB(0, 192, 128));
  const TPixels over = Shown({btBitmap, whole.get()});
  const int middle = (bar.Top + bar.Bottom) / 2;
  const auto top = Picture(240, middle, RGB(0, 192, 128));  // the bar's upper half
  const TPixels half = Shown({btBitmap, top.get()});
  const RECT upper{bar.Left, bar.Top, bar.Right, middle}, lower{bar.Left, middle, bar.Right, bar.Bottom};
  EXPECT_TRUE(kvtest::SameImage(half.Crop(upper), over.Crop(upper)));
  EXPECT_GT(half.CountOf(Legend("SCROLLBTNBOTTOM", "BORDERSMASK"), lower), 0)
      << "where there is no picture the bar keeps its own look";
}

TEST_F(FadedBar, OfAWindowWithNoColourToGiveFadesIntoTheWindowsOwnColour) {
  const TPixels none = Shown({btColor, nullptr, TransparentColor});
  const TPixels own = Shown({});
  EXPECT_TRUE(kvtest::SameImage(none.Crop(R(bar)), own.Crop(R(bar))));
}

// A skin without the scroll-bar sections, as skins made elsewhere may be:
// the bars keep their room and show the system's plain look there.
class PlainScrollWnd : public ScrollWnd {
 protected:
  void SetUp() override {
    ScrollWnd::SetUp();
    ChooseSparseSkin();
  }
  void ChooseSparseSkin() {
    sparse = std::make_unique<kvtest::TTestSkin>(kvtest::SparseSkinOptions());
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "Sparse";
    stored.Data = sparse->Packed();
    manager->SetSkinName("Sparse");
    ASSERT_TRUE(manager->CommonSkinData().Active);
  }
  // The bar's parts in window coordinates, as the mouse finds them.
  TacScrollPaintRects Parts(int kind) {
    UpdateScrollBarInfo(adapter, false);
    TacScrollBar& bar = adapter->Bar(kind);
    const TRect at = ToWindow(wnd, Bar(kind));
    const TacScrollGeometry g =
        ScrollThumbGeometry(bar, at, ScrollBarPartSize(adapter, bar, spsArrowLength, true));
    return ScrollBarPaintRects(g, kind, at, true, -1);
  }
  std::unique_ptr<kvtest::TTestSkin> sparse;
};

struct PlainCase {
  const char* name;
  int kind;
  int columns, lines;  // scrolled by EM_LINESCROLL
};

class PlainBars : public PlainScrollWnd, public ::testing::WithParamInterface<PlainCase> {};

TEST_P(PlainBars, ShowArrowsTrackAndARaisedThumbWhereThePositionIs) {
  const PlainCase& c = GetParam();
  Attach(MakeEdit(10, 10, 200, 120));
  FillEdit();
  SendMessageW(wnd, EM_LINESCROLL, c.columns, c.lines);
  const TPixels shown = TPixels::FromWindow(wnd);
  const TacScrollPaintRects p = Parts(c.kind);
  ASSERT_FALSE(IsRectEmpty(p.Thumb));
  const bool vert = c.kind == acBarVert;
  for (const TRect& arrow : {p.FirstArrow, p.SecondArrow}) {
    EXPECT_GT(shown.CountOf(GetSysColor(COLOR_BTNTEXT), R(arrow)), 0) << "arrow glyph";
    EXPECT_GT(shown.CountOf(GetSysColor(COLOR_BTNFACE), R(arrow)), 0) << "arrow face";
  }
  // Along the bar's middle between the arrows: the track's colour, but for
  // the thumb, which ends in its raised edge's dark shadow.
  const int across = vert ? (p.Thumb.Left + p.Thumb.Right) / 2 : (p.Thumb.Top + p.Thumb.Bottom) / 2;
  const int from = vert ? p.FirstArrow.Bottom : p.FirstArrow.Right;
  const int to = vert ? p.SecondArrow.Top : p.SecondArrow.Left;
  const int thumbStart = vert ? p.Thumb.Top : p.Thumb.Left;
  const int thumbEnd = vert ? p.Thumb.Bottom : p.Thumb.Right;
  auto at = [&](int along) { return vert ? shown.At(across, along) : shown.At(along, across); };
  std::string wrong;
  for (int along = from; along < to; ++along)
    if ((along < thumbStart || along >= thumbEnd) && at(along) != GetSysColor(COLOR_SCROLLBAR))
      wrong += " " + std::to_string(along);
  EXPECT_EQ("", wrong) << "not the track's colour";
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), at(thumbEnd - 1)) << "the thumb's edge";
  const RECT face{p.Thumb.Left + 2, p.Thumb.Top + 2, p.Thumb.Right - 2, p.Thumb.Bottom - 2};
  EXPECT_EQ((face.right - face.left) * (face.bottom - face.top),
            shown.CountOf(GetSysColor(COLOR_BTNFACE), face));
}

INSTANTIATE_TEST_SUITE_P(
    Edit, PlainBars,
    ::testing::Values(PlainCase{"VertAtTheTop", acBarVert, 0, 0},
                      PlainCase{"VertInTheMiddle", acBarVert, 0, 25},
                      PlainCase{"VertAtTheEnd", acBarVert, 0, 1000},
                      PlainCase{"HorzAtTheStart", acBarHorz, 0, 0},
                      PlainCase{"HorzFurtherOn", acBarHorz, 20, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Chosen while the window shows the bars of a skin that has them.
class SwitchToPlain : public PlainScrollWnd {
 protected:
  void SetUp() override { ScrollWnd::SetUp(); }
};

TEST_F(SwitchToPlain, LeavesNothingOfTheFormerSkinsBars) {
  Attach(MakeEdit(10, 10, 200, 120));
  FillEdit();
  const RECT bar = R(ToWindow(wnd, Bar(acBarVert)));
  ASSERT_GT(TPixels::FromWindow(wnd).CountOf(Legend("SCROLLBTNTOP", "BORDERSMASK"), bar), 0);
  ChooseSparseSkin();
  kvtest::PumpUntilIdle();
  const TPixels shown = TPixels::FromWindow(wnd);
  for (const char* section : {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERV", "SCROLLBAR1V"})
    EXPECT_EQ(0, shown.CountOf(Legend(section, "BORDERSMASK"), bar)) << section;
  const TacScrollPaintRects p = Parts(acBarVert);
  EXPECT_GT(shown.CountOf(GetSysColor(COLOR_BTNTEXT), R(p.FirstArrow)), 0);
  EXPECT_GT(shown.CountOf(GetSysColor(COLOR_3DDKSHADOW), R(p.Thumb)), 0);
}

TEST_F(PlainScrollWnd, ClicksOnThePlainBarScrollAsOnASkinnedOne) {
  Attach(MakeEdit(10, 10, 200, 120));
  FillEdit();
  OnlyScrolls();
  const TRect bar = Bar(acBarVert);
  const TacScrollGeometry g = Geometry(acBarVert);
  const POINT arrow{Middle(bar).x, bar.Bottom - 4};
  const POINT page{Middle(bar).x, g.ThumbStart + g.ThumbLength + 4};
  for (POINT at : {arrow, page}) {
    SendMessageW(wnd, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(at.x, at.y));
    SendMessageW(wnd, WM_LBUTTONUP, 0, 0);
  }
  EXPECT_EQ((std::vector<std::string>{"1:0", "8:0", "3:0", "8:0"}), Scrolls());
  EXPECT_GT(SendMessageW(wnd, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
}

}  // namespace
}  // namespace kv
