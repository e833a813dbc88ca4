// The skinned scroll bars' arithmetic, apart from any window: part sizes, the
// bar and corner rectangles, where the thumb lies, which part a point is in,
// when a bar is active and a corner shows the grip, the room the bars take
// from the client area, the position a dragged thumb stands for and how a
// scroll message carries it. The scroll adapter feeds these with what it
// reads from its window and paints and hit-tests with the same answers.
#pragma once

#include <cstdint>
#include <optional>

#include "base/Types.h"

namespace kv {

// Bar kinds, as SB_HORZ and SB_VERT.
constexpr int acBarHorz = 0;
constexpr int acBarVert = 1;
// SetMinThumbSize's kind for both bars.
constexpr int acBarsBoth = 3;

// The parts of a bar; each is the SB_ code the part sends.
constexpr int spNone = -1;
constexpr int spFirstArrow = 0;   // SB_LINELEFT / SB_LINEUP
constexpr int spSecondArrow = 1;  // SB_LINERIGHT / SB_LINEDOWN
constexpr int spPageBefore = 2;   // SB_PAGELEFT / SB_PAGEUP
constexpr int spPageAfter = 3;    // SB_PAGERIGHT / SB_PAGEDOWN
constexpr int spThumb = 5;        // SB_THUMBTRACK while dragging

// Scroll codes the adapter sends besides the parts'.
constexpr int sbThumbPosition = 4;
constexpr int sbEndScroll = 8;

// ScrollBarPartSize's part argument.
constexpr int spsArrowLength = 0;
constexpr int spsThickness = 1;

// Window styles the bars follow (the values of WS_HSCROLL, WS_VSCROLL and
// WS_EX_LEFTSCROLLBAR) and the unavailable bit of a bar's state.
constexpr std::uint32_t acStyleHScroll = 0x00100000;
constexpr std::uint32_t acStyleVScroll = 0x00200000;
constexpr std::uint32_t acExStyleLeftScrollBar = 0x4000;
constexpr std::uint32_t acStateUnavailable = 0x1;

// TacScrollBar.Flags when the window has the bar's style.
constexpr std::uint16_t acBarHasStyle = 8;

constexpr int acDefaultMinThumbLength = 10;

// Holding an arrow or page part sends once at once, again when the first
// timer fires, then on every tick of the second; the hover timer polls the
// cursor because the non-client area reports no mouse leave.
constexpr unsigned acScrollDelayTimer = 65533;
constexpr unsigned acScrollDelayMs = 300;
constexpr unsigned acScrollRepeatTimer = 65534;
constexpr unsigned acScrollRepeatMs = 55;
constexpr unsigned acScrollHoverTimer = 65522;
constexpr unsigned acScrollHoverMs = 20;

// Non-client hit codes answered for the bars and the grip corner.
constexpr int acHitNowhere = 0;  // a bar that is not active
constexpr int acHitHScroll = 6;  // HTHSCROLL
constexpr int acHitVScroll = 7;  // HTVSCROLL
constexpr int acHitGrip = 17;    // HTBOTTOMRIGHT
constexpr int acHitPassOn = -1;  // not ours: the previous procedure answers

// A bar's range, page and position as SCROLLINFO keeps them.
struct TacScrollInfo {
  std::int32_t nMin = 0;
  std::int32_t nMax = 0;
  std::uint32_t nPage = 0;
  std::int32_t nPos = 0;
  std::int32_t nTrackPos = 0;
};

// The state of one bar of a scroll adapter.
struct TacScrollBar {
  std::uint16_t Flags = 0;  // acBarHasStyle or 0
  bool Shown = false;       // has room in the non-client area
  TacScrollInfo ScrollInfo;
  // n >= 0: n pixels; negative: -n times the automatic length.
  std::int32_t ArrowLength = -1;
  // n >= 0: n pixels; negative: -n times the system metric.
  std::int32_t Thickness = -1;
  std::uint16_t Kind = acBarHorz;
  std::int32_t MinThumbLength = acDefaultMinThumbLength;
};

// One frame of an arrow button's border mask along the bar, 0 when the skin
// has none (or reserves no arrow length): width / image count for the
// horizontal bar's left button, height / (mask type + 1) for the vertical
// bar's top button. Counts below 1 give 0 rather than a division by zero.
int ScrollArrowFrame(int kind, int maskWidth, int maskHeight, int imageCount, int maskType);

// The bar's arrow length (spsArrowLength) or thickness (spsThickness). The
// automatic arrow length is the larger of DefaultScrollArrowSize and
// skinArrowFrame (pass 0 to ask without the skin); the automatic thickness is
// systemThickness (SM_CYHSCROLL or SM_CXVSCROLL).
int ScrollBarPartSize(const TacScrollBar& bar, int part, int systemThickness, int skinArrowFrame);

// What the bar rectangles are made of: the window's screen rectangle, the
// non-client widths the previous procedure keeps on each side (as a TRect
// of widths), and the thickness of each bar when shown, else 0.
struct TacScrollFrame {
  TRect Window;
  TRect FrameWidths;
  int HorzThickness = 0;
  int VertThickness = 0;
  bool LeftScrollBar = false;
};

TRect HorzScrollBarRect(const TacScrollFrame& f);
TRect VertScrollBarRect(const TacScrollFrame& f);
// The square both bars leave free: across the vertical bar, along the
// horizontal bar's height, on whichever side the vertical bar is.
TRect ScrollCornerRect(const TacScrollFrame& f);

// Where a bar's parts lie along it, in the rectangle's coordinates. A bar no
// longer than two arrows is split between two half-length arrows (an odd
// middle pixel belongs to neither) and has neither track nor thumb. The
// thumb is never longer than the track; ThumbLength 0 means no thumb, as
// when it would fill the whole track.
struct TacScrollGeometry {
  int Start = 0;  // the bar's first pixel along its kind
  int End = 0;    // one past its last
  int Arrow = 0;  // each arrow's length as drawn and hit
  int TrackStart = 0;
  int TrackEnd = 0;
  int ThumbStart = 0;
  int ThumbLength = 0;

  int TrackLength() const { return TrackEnd - TrackStart; }
  bool HasThumb() const { return ThumbLength > 0; }
};

// arrowLength is the bar's arrow length; pass the same one for painting and
// for hit-testing, so that both see the same parts.
TacScrollGeometry ScrollThumbGeometry(const TacScrollBar& bar, const TRect& barRect,
                                      int arrowLength);
// The part of the bar under the point (same coordinates as the rectangle),
// or spNone when it is outside the bar, or in the track while there is no
// thumb, or on an odd middle pixel.
int ScrollBarHitTest(const TacScrollGeometry& g, int kind, const TRect& barRect, TPoint point);

// Rectangles to paint a bar with: the two track halves meet at the thumb's
// middle. Without a thumb (or for an inactive bar) Thumb is empty and the
// halves meet at the track's middle. A short bar has its halves meet at its
// middle under the two arrows.
struct TacScrollPaintRects {
  TRect FirstArrow, SecondArrow, Track1, Track2, Thumb;
};
// thumbStart overrides the geometry's (a dragged thumb); -1 keeps it.
TacScrollPaintRects ScrollBarPaintRects(const TacScrollGeometry& g, int kind, const TRect& barRect,
                                        bool active, int thumbStart);

// What GetScrollBarInfo told about a bar.
enum class TacBarInfoAnswer { Missing, Failed, Answered };
// Without the call the style bit decides; when it failed the bar is not
// active; else the bar's first state must not be unavailable.
bool IsScrollBarActive(int kind, TacBarInfoAnswer answer, std::uint32_t firstState,
                       std::uint32_t windowStyle);

// The window's place among its ancestors, for the grip corner.
struct TacGripParent {
  bool HasParent = false;
  bool ParentHasParent = false;
  TRect ParentClient;  // in screen coordinates
};
// The corner shows the grip when the window has no parent, or sits in the
// bottom corner of a top-level parent's client area on its bar's side.
bool IsGripCorner(const TRect& corner, const TRect& frameWidths, bool leftScrollBar,
                  const TacGripParent& parent);

// The room for the bars taken from the client rectangle that the previous
// procedure computed. A bar is shown when the window has its style and its
// thickness fits (the horizontal one first).
struct TacScrollRoom {
  TRect FrameWidths;
  bool HorzShown = false;
  bool VertShown = false;
};
TacScrollRoom ReserveScrollBarRoom(const TRect& window, TRect& client, std::uint32_t style,
                                   bool leftScrollBar, int horzThickness, int vertThickness);

// WM_NCHITTEST for a screen point: acHitHScroll / acHitVScroll on a shown
// active bar, acHitNowhere on a shown inactive one, acHitGrip in the corner
// with the grip, else acHitPassOn.
struct TacScrollHitFrame {
  TRect Horz, Vert, Corner;
  bool HorzShown = false, VertShown = false;
  bool HorzActive = false, VertActive = false;
  bool Grip = false;
};
int ScrollNcHitTest(const TacScrollHitFrame& f, TPoint screen);

// A dragged thumb's new start: the pointer less its offset inside the
// thumb, kept on the track.
int DragThumbStart(const TacScrollGeometry& g, int pointer, int offsetInThumb);
// The position a thumb at thumbStart stands for: from nMin to the last
// position a page can start at, in 64-bit arithmetic. None when the bar
// cannot scroll or the thumb has no room to move.
std::optional<std::int32_t> ScrollDragPosition(const TacScrollInfo& info,
                                               const TacScrollGeometry& g, int thumbStart);

// A scroll message's parameters. A toolkit window (one that answers the
// before-scroll command with 1) gets the whole position in LParam; another
// gets it in WParam's high word, capped at 65535.
struct TacScrollParams {
  std::uint32_t WParam = 0;
  std::int32_t LParam = 0;
};
TacScrollParams ScrollMessageParams(int code, std::int32_t position, bool toolkitWindow);
// LParam of the before- and after-scroll commands.
std::uint32_t ScrollCommandParam(int code, unsigned message);

// SetMinThumbSize's effect on an adapter's bars: kind 0, 1 or both (3).
void SetMinThumbSize(TacScrollBar& horz, TacScrollBar& vert, int kind, int size);

}  // namespace kv
