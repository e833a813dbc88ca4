#include "skin/adapters/acScrollWndGeometry.h"

#include <algorithm>
#include <climits>

#include "skin/model/sConst.h"

namespace kv {
namespace {

// a * b / c rounded half away from zero, as MulDiv does; c must be positive.
std::int64_t MulDiv64(std::int64_t a, std::int64_t b, std::int64_t c) {
  const std::int64_t p = a * b;
  return p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c);
}

int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

int AlongStart(int kind, const TRect& r) { return kind == acBarVert ? r.Top : r.Left; }
int AlongEnd(int kind, const TRect& r) { return kind == acBarVert ? r.Bottom : r.Right; }

// The slice [from, to) of the bar along its kind, full across it.
TRect Slice(int kind, const TRect& bar, int from, int to) {
  if (to < from) to = from;
  if (kind == acBarVert) return {bar.Left, from, bar.Right, to};
  return {from, bar.Top, to, bar.Bottom};
}

}  // namespace

int ScrollArrowFrame(int kind, int maskWidth, int maskHeight, int imageCount, int maskType) {
  if (kind == acBarVert) return maskType >= 0 ? std::max(0, maskHeight) / (maskType + 1) : 0;
  return imageCount >= 1 ? std::max(0, maskWidth) / imageCount : 0;
}

int ScrollBarPartSize(const TacScrollBar& bar, int part, int systemThickness, int skinArrowFrame) {
  std::int64_t stored, automatic;
  if (part == spsThickness) {
    stored = bar.Thickness;
    automatic = systemThickness;
  } else if (part == spsArrowLength) {
    stored = bar.ArrowLength;
    automatic = std::max(DefaultScrollArrowSize, skinArrowFrame);
  } else {
    return 0;
  }
  if (stored >= 0) return static_cast<int>(stored);
  return ClampToInt(std::max<std::int64_t>(0, -stored * automatic));
}

TRect HorzScrollBarRect(const TacScrollFrame& f) {
  TRect r;
  r.Left = f.Window.Left + f.FrameWidths.Left + (f.LeftScrollBar ? f.VertThickness : 0);
  r.Right = f.Window.Right - f.FrameWidths.Right - (f.LeftScrollBar ? 0 : f.VertThickness);
  r.Bottom = f.Window.Bottom - f.FrameWidths.Bottom;
  r.Top = r.Bottom - f.HorzThickness;
  return r;
}

TRect VertScrollBarRect(const TacScrollFrame& f) {
  TRect r;
  r.Top = f.Window.Top + f.FrameWidths.Top;
  r.Bottom = f.Window.Bottom - f.FrameWidths.Bottom - f.HorzThickness;
  if (f.LeftScrollBar) {
    r.Left = f.Window.Left + f.FrameWidths.Left;
    r.Right = r.Left + f.VertThickness;
  } else {
    r.Right = f.Window.Right - f.FrameWidths.Right;
    r.Left = r.Right - f.VertThickness;
  }
  return r;
}

TRect ScrollCornerRect(const TacScrollFrame& f) {
  // Taken across the vertical bar, so that a left scroll bar's corner is on
  // the left, where the horizontal bar leaves it free.
  const TRect h = HorzScrollBarRect(f);
  const TRect v = VertScrollBarRect(f);
  return {v.Left, h.Top, v.Right, h.Bottom};
}

TacScrollGeometry ScrollThumbGeometry(const TacScrollBar& bar, const TRect& barRect,
                                      int arrowLength) {
  TacScrollGeometry g;
  g.Start = AlongStart(bar.Kind, barRect);
  g.End = std::max(g.Start, AlongEnd(bar.Kind, barRect));
  const int extent = g.End - g.Start;
  const int arrow = std::max(0, arrowLength);
  // Two arrows that do not fit share the bar half and half.
  g.Arrow = extent <= 2 * static_cast<std::int64_t>(arrow) ? extent / 2 : arrow;
  g.TrackStart = g.Start + g.Arrow;
  g.TrackEnd = g.End - g.Arrow;
  g.ThumbStart = g.TrackStart;
  if (g.Arrow != arrow) return g;

  const TacScrollInfo& si = bar.ScrollInfo;
  const std::int64_t track = g.TrackLength();
  const std::int64_t range = static_cast<std::int64_t>(si.nMax) - si.nMin + 1;
  if (range <= 0) return g;
  std::int64_t thumb = si.nPage == 0 ? arrow : MulDiv64(si.nPage, track, range);
  thumb = std::max<std::int64_t>(thumb, std::max(bar.MinThumbLength, 1));
  // A thumb as long as the track (or a minimum longer than it) has nowhere
  // to move: none is shown, so nothing is drawn or hit outside the track.
  if (thumb >= track) return g;

  const std::int64_t free = track - thumb;
  const std::int64_t steps = range - std::max<std::int64_t>(si.nPage, 1);
  std::int64_t offset = 0;
  if (steps > 0) {
    const std::int64_t pos =
        std::clamp<std::int64_t>(static_cast<std::int64_t>(si.nPos) - si.nMin, 0, steps);
    offset = std::clamp<std::int64_t>(MulDiv64(pos, free, steps), 0, free);
  }
  g.ThumbLength = static_cast<int>(thumb);
  g.ThumbStart = g.TrackStart + static_cast<int>(offset);
  return g;
}

int ScrollBarHitTest(const TacScrollGeometry& g, int kind, const TRect& barRect, TPoint point) {
  const int across = kind == acBarVert ? point.X : point.Y;
  const int acrossStart = kind == acBarVert ? barRect.Left : barRect.Top;
  const int acrossEnd = kind == acBarVert ? barRect.Right : barRect.Bottom;
  if (across < acrossStart || across >= acrossEnd) return spNone;
  const int along = kind == acBarVert ? point.Y : point.X;
  if (along < g.Start || along >= g.End) return spNone;
  if (along < g.Start + g.Arrow) return spFirstArrow;
  if (along >= g.End - g.Arrow) return spSecondArrow;
  if (!g.HasThumb()) return spNone;
  if (along < g.ThumbStart) return spPageBefore;
  if (along < g.ThumbStart + g.ThumbLength) return spThumb;
  return spPageAfter;
}

TacScrollPaintRects ScrollBarPaintRects(const TacScrollGeometry& g, int kind, const TRect& barRect,
                                        bool active, int thumbStart) {
  TacScrollPaintRects r;
  r.FirstArrow = Slice(kind, barRect, g.Start, g.Start + g.Arrow);
  r.SecondArrow = Slice(kind, barRect, g.End - g.Arrow, g.End);
  int start = g.ThumbStart;
  if (thumbStart != -1 && g.HasThumb())
    start = std::clamp(thumbStart, g.TrackStart, g.TrackEnd - g.ThumbLength);
  const int middle = g.HasThumb() ? start + g.ThumbLength / 2 : g.Start + (g.End - g.Start) / 2;
  r.Track1 = Slice(kind, barRect, g.Start, middle);
  r.Track2 = Slice(kind, barRect, middle, g.End);
  if (active && g.HasThumb()) r.Thumb = Slice(kind, barRect, start, start + g.ThumbLength);
  return r;
}

bool IsScrollBarActive(int kind, TacBarInfoAnswer answer, std::uint32_t firstState,
                       std::uint32_t windowStyle) {
  switch (answer) {
    case TacBarInfoAnswer::Missing:
      return (windowStyle & (kind == acBarVert ? acStyleVScroll : acStyleHScroll)) != 0;
    case TacBarInfoAnswer::Failed:
      return false;
    case TacBarInfoAnswer::Answered:
      return (firstState & acStateUnavailable) == 0;
  }
  return false;
}

bool IsGripCorner(const TRect& corner, const TRect& frameWidths, bool leftScrollBar,
                  const TacGripParent& parent) {
  if (!parent.HasParent) return true;
  if (parent.ParentHasParent) return false;
  const TRect& client = parent.ParentClient;
  if (corner.Bottom + frameWidths.Bottom != client.Bottom) return false;
  if (leftScrollBar) return corner.Left - frameWidths.Left == client.Left;
  return corner.Right + frameWidths.Right == client.Right;
}

TacScrollRoom ReserveScrollBarRoom(const TRect& window, TRect& client, std::uint32_t style,
                                   bool leftScrollBar, int horzThickness, int vertThickness) {
  TacScrollRoom room;
  room.FrameWidths = {client.Left - window.Left, client.Top - window.Top,
                      window.Right - client.Right, window.Bottom - client.Bottom};
  const int h = std::max(0, horzThickness);
  const int v = std::max(0, vertThickness);
  room.HorzShown = (style & acStyleHScroll) != 0 && h <= client.Height();
  if (room.HorzShown) client.Bottom -= h;
  room.VertShown = (style & acStyleVScroll) != 0 && v <= client.Width();
  if (room.VertShown) {
    if (leftScrollBar)
      client.Left += v;
    else
      client.Right -= v;
  }
  return room;
}

int ScrollNcHitTest(const TacScrollHitFrame& f, TPoint screen) {
  if (f.HorzShown && PtInRect(f.Horz, screen)) return f.HorzActive ? acHitHScroll : acHitNowhere;
  if (f.VertShown && PtInRect(f.Vert, screen)) return f.VertActive ? acHitVScroll : acHitNowhere;
  if (f.Grip && PtInRect(f.Corner, screen)) return acHitGrip;
  return acHitPassOn;
}

int DragThumbStart(const TacScrollGeometry& g, int pointer, int offsetInThumb) {
  if (!g.HasThumb()) return g.TrackStart;
  const std::int64_t wanted = static_cast<std::int64_t>(pointer) - offsetInThumb;
  return static_cast<int>(
      std::clamp<std::int64_t>(wanted, g.TrackStart, g.TrackEnd - g.ThumbLength));
}

std::optional<std::int32_t> ScrollDragPosition(const TacScrollInfo& info,
                                               const TacScrollGeometry& g, int thumbStart) {
  if (!g.HasThumb()) return std::nullopt;
  const std::int64_t free = g.TrackLength() - g.ThumbLength;
  // The same step count as the thumb's placement, so a thumb dragged to
  // where a position puts it stands for that position again.
  const std::int64_t range = static_cast<std::int64_t>(info.nMax) - info.nMin + 1;
  const std::int64_t steps = range - std::max<std::int64_t>(info.nPage, 1);
  if (free <= 0 || steps <= 0) return std::nullopt;
  const std::int64_t moved =
      std::clamp<std::int64_t>(static_cast<std::int64_t>(thumbStart) - g.TrackStart, 0, free);
  const std::int64_t pos =
      info.nMin + std::clamp<std::int64_t>(MulDiv64(moved, steps, free), 0, steps);
  return static_cast<std::int32_t>(pos);
}

TacScrollParams ScrollMessageParams(int code, std::int32_t position, bool toolkitWindow) {
  const std::uint32_t low = static_cast<std::uint32_t>(code) & 0xFFFF;
  if (toolkitWindow)
    return {low | ((static_cast<std::uint32_t>(position) & 0xFFFF) << 16), position};
  const std::int32_t capped = std::min<std::int32_t>(position, 0xFFFF);
  return {low | ((static_cast<std::uint32_t>(capped) & 0xFFFF) << 16), 0};
}

std::uint32_t ScrollCommandParam(int code, unsigned message) {
  return (static_cast<std::uint32_t>(code) & 0xFFFF) | ((message & 0xFFFF) << 16);
}

void SetMinThumbSize(TacScrollBar& horz, TacScrollBar& vert, int kind, int size) {
  if (kind == acBarHorz || kind == acBarsBoth) horz.MinThumbLength = size;
  if (kind == acBarVert || kind == acBarsBoth) vert.MinThumbLength = size;
}

}  // namespace kv
