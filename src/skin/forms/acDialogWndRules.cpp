#include "skin/forms/acDialogWndRules.h"

#include <algorithm>

#include "base/SysUtils.h"

namespace kv {

namespace {

bool Has(std::uint32_t style, std::uint32_t bits) { return (style & bits) == bits; }

// A group box is a button of that type; statics marked so draw on the
// dialog's background.
constexpr std::uint32_t kButtonTypeMask = 0x0F;
constexpr std::uint32_t kGroupBoxType = 0x07;
constexpr std::uint32_t kStaticOnBackground = 0x10000;
// How far in a zoomed dialog's edges stop answering.
constexpr int kZoomedEdge = 2;
// Room between the caption and the title buttons.
constexpr int kCaptionButtonGap = 6;
constexpr int kCaptionIconGap = 4;

TFormBorderStyle GeometryStyle(int borderStyle) {
  if (borderStyle == bsToolWindow) return bsToolWindow;
  if (borderStyle == bsSizeToolWin) return bsSizeToolWin;
  // Never bsNone: whether there is a title is the caption style's question.
  return bsDialog;
}

}  // namespace

int DialogBorderStyle(std::uint32_t style) {
  if (Has(style, DialogStyleBit::Popup) && !Has(style, DialogStyleBit::Caption)) return bsSizeable;
  if (Has(style, DialogStyleBit::ThickFrame)) return bsDialog;
  if (Has(style, DialogStyleBit::ModalFrame)) return bsNone;
  return bsDialog;
}

bool HasSysMenu(const TacDialogState& d) { return Has(d.Style, DialogStyleBit::SysMenu); }
bool HasMaxBox(const TacDialogState& d) { return Has(d.Style, DialogStyleBit::MaximizeBox); }
bool HasMinBox(const TacDialogState& d) { return Has(d.Style, DialogStyleBit::MinimizeBox); }
bool HasHelp(const TacDialogState& d) { return Has(d.ExStyle, DialogStyleBit::ContextHelp); }
bool CanClose(const TacDialogState& d) { return HasSysMenu(d) && !d.NoCloseClass; }

bool CanMaximize(const TacDialogState& d) {
  return HasMaxBox(d) && !d.Zoomed &&
         (d.BorderStyle == bsSingle || d.BorderStyle == bsDialog || d.BorderStyle == bsSizeToolWin);
}

bool CanMinimize(const TacDialogState& d) { return HasMinBox(d) && !d.Iconic; }
bool CanRestore(const TacDialogState& d) { return HasMaxBox(d) && (d.Iconic || d.Zoomed); }

bool UsesLargeTitleButtons(int borderStyle) {
  return borderStyle == bsSingle || borderStyle == bsDialog;
}

TsSysMenuItems DialogSysMenuItems(const TacDialogState& d) {
  const int b = d.BorderStyle;
  const bool noRestore = b == bsNone || b == bsSizeable || b == bsToolWindow || b == bsSizeToolWin;
  const bool noSize = b == bsNone || b == bsSizeable || b == bsToolWindow;
  return {
      .Restore = {!noRestore && HasSysMenu(d), CanRestore(d)},
      .Move = {true, !d.Zoomed},
      .Size = {!noSize, b != bsSingle && !d.Iconic},
      .Minimize = {HasMinBox(d), CanMinimize(d)},
      .Maximize = {HasMaxBox(d), CanMaximize(d)},
      .Close = {HasSysMenu(d), true},
  };
}

TsFrameGeometry DialogFrameGeometry(const TacDialogState& d, const TacDialogWindow& w,
                                    const TsSystemFrameMetrics& sys, const TsFrameSkin& skin) {
  TsFrameGeometry g;
  g.Sys = sys;
  g.Skin = skin;
  TsFrameState& s = g.State;
  s.Form.BorderStyle = GeometryStyle(d.BorderStyle);
  s.Form.Iconic = d.Iconic;
  s.Form.Zoomed = d.Zoomed;
  s.Form.WindowState = d.Iconic ? wsMinimized : d.Zoomed ? wsMaximized : wsNormal;
  s.Form.SysMenuStyleRemoved = HasSysMenu(d);
  s.CaptionStyle = Has(d.Style, DialogStyleBit::Caption);
  s.ThickFrame = Has(d.Style, DialogStyleBit::ThickFrame);
  s.BorderBit = Has(d.Style, DialogStyleBit::Border) || Has(d.Style, DialogStyleBit::ModalFrame);
  s.Width = w.Width;
  s.Height = w.Height;
  s.ClientWidth = w.ClientWidth;
  s.ClientHeight = w.ClientHeight;
  s.HasMenu = false;
  s.ShowAppIcon = false;
  return g;
}

std::vector<TsPlacedTitleButton> PlaceDialogTitleButtons(const TsFrameGeometry& g,
                                                         const TacDialogState& d,
                                                         const TsTitleButtonMetrics& m) {
  std::vector<TsPlacedTitleButton> placed;
  const int title = g.TitleBarHeight(true);
  if (title <= 0 || !HasSysMenu(d)) return placed;
  const TRect& shadow = g.State.ShadowMargins;
  const int gap = m.LargeButton ? g.Skin.BISpace : 0;
  // With a border window the title of a maximised dialog lies lower in the
  // picture, and a skin's own border picture moves the title band down.
  const bool borderForm = g.State.BorderForm;
  int top = shadow.Top;
  if (m.LargeButton && g.Skin.BIVAlign == 1) {
    if (borderForm && d.Zoomed) top += 3;
  } else {
    top += (title - m.Height + g.NonSkinFrameWidth(true)) / 2;
    if (borderForm && d.Zoomed) top += g.FrameBorderWidth(true) / 2;
    if (borderForm && g.Skin.BorderMode == 1) top += g.Skin.CenterOffset;
  }
  int x = g.FrameWidth() - g.Skin.BIRight - shadow.Right - g.FrameBorderWidth(true);
  auto place = [&](int hitCode, TsTitleMask mask, bool enabled, int width) {
    placed.push_back({hitCode, mask, enabled, Rect(x - width, top, x, top + m.Height)});
    x -= width + gap;
  };
  place(TitleHit::Close, TsTitleMask::Close, CanClose(d), m.Close);
  if (HasMaxBox(d)) {
    if (d.Zoomed)
      place(TitleHit::MaxButton, TsTitleMask::Restore, CanRestore(d), m.Restore);
    else
      place(TitleHit::MaxButton, TsTitleMask::Max, CanMaximize(d), m.Max);
  }
  if (HasMinBox(d)) {
    if (d.Iconic)
      place(TitleHit::MinButton, TsTitleMask::Restore, CanRestore(d), m.Min);
    else
      place(TitleHit::MinButton, TsTitleMask::Min, CanMinimize(d), m.Min);
  }
  if (HasHelp(d)) place(TitleHit::Help, TsTitleMask::Help, true, m.Help);
  return placed;
}

TRect DialogTitleIconRect(const TsFrameGeometry& g, TSize smallIcon) {
  const TRect& shadow = g.State.ShadowMargins;
  const int left = g.FrameBorderWidth(true) + g.Skin.BILeft + shadow.Left;
  int top = (g.NonSkinFrameWidth(true) + g.TitleBarHeight(true) - smallIcon.cy) / 2 + shadow.Top;
  if (g.State.BorderForm && g.Skin.BorderMode == 1) top += g.Skin.CenterOffset;
  return Bounds(left, top, smallIcon.cx, smallIcon.cy);
}

TRect DialogCaptionRect(const TsFrameGeometry& g, int iconWidth,
                        std::span<const TsPlacedTitleButton> buttons) {
  const TRect& shadow = g.State.ShadowMargins;
  TRect r;
  r.Left = g.FrameBorderWidth(true) + iconWidth + kCaptionIconGap + g.Skin.BILeft + shadow.Left;
  int right = g.FrameWidth() - g.FrameBorderWidth(true) - shadow.Right;
  for (const TsPlacedTitleButton& b : buttons) right = std::min(right, b.Rect.Left);
  r.Right = right - kCaptionButtonGap;
  r.Top = shadow.Top + g.NonSkinFrameWidth(true);
  r.Bottom = g.TitleBandBottom();
  return r;
}

TacDialogHit DialogHitTest(const TsFrameGeometry& g, const TacDialogState& d, TPoint p,
                           std::span<const TsPlacedTitleButton> buttons, const TRect& icon) {
  const int title = g.TitleBarHeight(true);
  if (title > 0) {
    for (const TsPlacedTitleButton& b : buttons) {
      if (!PtInRect(b.Rect, p)) continue;
      int code = FrameHit::Caption;
      switch (b.HitCode) {
        case TitleHit::Close:
        case TitleHit::Help:
          code = b.HitCode;
          break;
        case TitleHit::MaxButton:
          if (CanMaximize(d) || CanRestore(d)) code = b.HitCode;
          break;
        case TitleHit::MinButton:
          if (d.Iconic || CanMinimize(d)) code = b.HitCode;
          break;
        default:
          break;
      }
      return {code, code == FrameHit::Caption ? 0 : code};
    }
    const int bandTop = g.State.ShadowMargins.Top + g.NonSkinFrameWidth(true);
    if (p.X >= icon.Left && p.X < icon.Right && p.Y >= bandTop && p.Y < bandTop + title)
      return {FrameHit::SysMenu, 0};
  }
  const int w = g.State.Width, h = g.State.Height;
  // The point is in the cache; the edge is the window's.
  const TPoint o = g.CacheOffset();
  if (d.Zoomed && !PtInRect(Rect(kZoomedEdge + o.X, kZoomedEdge + o.Y, w - 2 * kZoomedEdge + o.X,
                                 h - 2 * kZoomedEdge + o.Y),
                            p))
    return {-1, 0};
  return {FrameHit::Nowhere, 0};
}

bool IsDialogFrameHit(int code) {
  return code == FrameHit::SysMenu || code == TitleHit::MinButton || code == TitleHit::MaxButton ||
         code == TitleHit::Close || code == TitleHit::Help;
}

std::array<TacFrameStrip, 4> DialogFrameStrips(const TsFrameGeometry& g, int cacheWidth) {
  const int w = g.State.Width, h = g.State.Height;
  const int b = g.FrameBorderWidth(true);
  const int n = g.NonSkinFrameWidth(true);
  const int f = g.TitleBarHeight(true) + n;
  // An iconic dialog's title band is a row taller than its caption.
  const int sides = g.State.Form.Iconic ? f + 1 : f;
  return {{
      {Rect(0, 0, w, f), {0, 0}},
      {Rect(0, sides, b, h), {0, sides}},
      {Rect(b, h - n, w, h), {b, h - n}},
      {Rect(w - b, sides, w, h), {cacheWidth - b, sides}},
  }};
}

bool ChildCoversDialogBackground(std::string_view className, std::uint32_t style) {
  if (SameText(className, "Static") && (style & kStaticOnBackground) != 0) return false;
  if (SameText(className, "Button") && (style & kButtonTypeMask) == kGroupBoxType) return false;
  return true;
}

}  // namespace kv
