// Skinned scroll bars of windows the toolkit does not draw: the system keeps
// range, page and position, the adapter takes the bars out of the system's
// non-client layout, reserves their room itself, paints them from the skin
// and plays the mouse work on them (arrows, pages, thumb drag, auto-repeat,
// hover), sending the window the scroll messages the system's bars would.
// The arithmetic is acScrollWndGeometry's; this is its window side.
#pragma once

#include <windows.h>

#include "skin/adapters/acMainWnd_win.h"
#include "skin/adapters/acScrollWndGeometry.h"

namespace kv {

class TacScrollWnd : public TacMainWnd {
 public:
  TacScrollWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  ~TacScrollWnd() override;

  void WndProc(TMessage& message) override;

  TacScrollBar sBarHorz;
  TacScrollBar sBarVert;
  bool LeftScrollBar = false;
  // The non-client room the previous procedure keeps on each side, as
  // measured at the last WM_NCCALCSIZE.
  TRect FrameWidths{};
  bool Dragging = false;
  // Set while the previous procedure computes the frame without the scroll
  // styles (and while an edit adapter applies its skin state): the style
  // changes this makes are not news.
  bool Calculating = false;

  TacScrollBar& Bar(int kind) { return kind == acBarVert ? sBarVert : sBarHorz; }

 protected:
  void HookWindow(HWND handle, bool repaint) override;
  void UnhookWindow(bool repaint) override;
  // The scroll adapter's handling, for descendants that took their share.
  void ScrollWndProc(TMessage& message);
  // Ends a press on this window's bars as a release does (its scroll
  // messages sent, capture let go), without passing the release on.
  void EndPress();

 private:
  friend void HookScrollWnd(TacScrollWnd* adapter, HWND handle, bool repaint);
  friend void UnhookScrollWnd(HWND wnd, bool free, bool repaint, TacScrollWnd*& adapter);
  bool ScrollCommand(TMessage& m);
  void NcCalcSize(TMessage& m);
  void NcHitTest(TMessage& m);
  void NcLButtonDown(TMessage& m);
  void MouseMove(TMessage& m);
  void LButtonUp(TMessage& m);
  void Timer(TMessage& m);
  void NcMouseMove(TMessage& m);
  // What follows a press on this window's bar: the pressed part tracked
  // under the pointer, the thumb dragged, the release.
  void TrackPressedPart(TPoint screen);
  void DragScrollThumb(TPoint screen);
  // Forgets a press or hover that belongs to this window, its timers too.
  void StopTracking();
};

// Makes the two bars' state from the window, then hooks.
void HookScrollWnd(TacScrollWnd* adapter, HWND handle, bool repaint);
// Takes a scroll adapter off wnd, whoever owns its skin data; with free it
// is freed too.
void UnhookScrollWnd(HWND wnd, bool free, bool repaint, TacScrollWnd*& adapter);

// Both bars' data read again and, with repaint, painted.
void UpdateScrollBarInfo(TacScrollWnd* adapter, bool repaint);
// Both bars and the corner into dc (the window DC when null); returns 0.
int DrawWindowScrollBars(TacScrollWnd* adapter, HWND wnd, HDC dc, int thumbOverride, HRGN region);

// The bars' screen rectangles and part sizes as the adapter has them now.
TRect HorzScrollBarRect(TacScrollWnd* adapter, HWND wnd);
TRect VertScrollBarRect(TacScrollWnd* adapter, HWND wnd);
int ScrollBarPartSize(TacScrollWnd* adapter, const TacScrollBar& bar, int part, bool useSkin);
// The system reports the bar usable.
bool IsScrollBarActive(TacScrollWnd* adapter, int kind);
// WM_HSCROLL or WM_VSCROLL to the window, framed by the before- and
// after-scroll commands; a toolkit window gets the whole position in LParam.
void SendScrollMessage(HWND wnd, UINT message, int code, int position);

// The adapter's bar of that kind; null when wnd has no scroll adapter.
TacScrollBar* ScrollBarOfWindow(HWND wnd, int kind);
// A part of one of wnd's bars is held down now.
bool ScrollPartPressed(HWND wnd);
// 1 when wnd has a scroll adapter (its bars' minimum thumb set), else 0.
int SetMinThumbSize(HWND wnd, int kind, int size);

// For skinned containers: a scroll adapter while the skin is usable, none
// (and the system's flat bars back) otherwise.
void UpdateScrollWndAdapter(TsCommonData* sd, TacScrollWnd*& adapter);

}  // namespace kv
