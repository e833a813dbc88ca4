#include "skin/forms/sSkinProviderGeometry.h"

#include <algorithm>

namespace kv {

TsFrameSkin FrameSkinOf(const TsSkinData& skin) {
  return {
      .BorderWidth = skin.BorderWidth,
      .TitleHeight = skin.TitleHeight,
      .MaxHeight = skin.MaxTitleHeight,
      .CenterOffset = skin.CenterOffset,
      .BorderMode = skin.BorderMode,
      .BISpace = skin.BISpacing,
      .BIVAlign = skin.BIVAlign,
      .BIRight = skin.BIRightMargin,
      .BILeft = skin.BILeftMargin,
  };
}

namespace {

// The title icon's side for a title bar of that height.
int IconSideFor(int titleHeight) {
  if (titleHeight >= -100 && titleHeight <= 8) return 1;
  if (titleHeight >= 9 && titleHeight <= 16) return 8;
  return 16;
}

// How far a title drawn around the border form moves down: its centre
// offset, and for a maximised form half the rows its shorter title drops.
int TitleShift(const TsFrameGeometry& g) {
  int down = g.Skin.CenterOffset;
  if (g.IsMaximized() && g.Skin.TitleHeight != g.Skin.MaxHeight)
    down += (g.Skin.TitleHeight - g.Skin.MaxHeight) / 2 - 2;
  return down;
}

}  // namespace

bool TsFrameGeometry::HasTitleBar() const {
  const TsFormState& f = State.Form;
  return (State.CaptionStyle && f.BorderStyle != bsNone) || f.MDIChild || f.Iconic;
}

bool TsFrameGeometry::UsesBorderIconSpacing() const {
  return State.Form.BorderStyle == bsSingle || State.Form.BorderStyle == bsSizeable;
}

int TsFrameGeometry::FrameBorderWidth(bool useSkin) const {
  if (useSkin && State.BorderForm && Skin.BorderWidth != 0) return Skin.BorderWidth;
  if (State.ThickFrame) return Sys.CxFrame;
  if (State.BorderBit) return Sys.CxDlgFrame;
  return 0;
}

int TsFrameGeometry::NonSkinFrameWidth(bool useSkin) const {
  return State.BorderForm ? 0 : FrameBorderWidth(useSkin);
}

int TsFrameGeometry::SkinTitleHeight() const { return State.BorderForm ? Skin.TitleHeight : 0; }

int TsFrameGeometry::SkinFrameWidth() const { return State.BorderForm ? Skin.BorderWidth : 0; }

int TsFrameGeometry::ExtraTitleHeight() const {
  if (!State.BorderForm) return 0;
  return TitleBarHeight(true) - TitleBarHeight(false) - FrameBorderWidth(false);
}

int TsFrameGeometry::ExtraBorderWidth() const {
  if (!State.BorderForm) return 0;
  return FrameBorderWidth(true) - FrameBorderWidth(false);
}

int TsFrameGeometry::TitleBarHeight(bool useSkin) const {
  if (!HasTitleBar()) return 0;
  const int system = IsToolWindowStyle(State.Form.BorderStyle) ? Sys.CySmCaption : Sys.CyCaption;
  int height = useSkin && State.BorderForm ? Skin.TitleHeight : 0;
  if (State.MaximisedTitle) height = std::max(height, system + 4);
  return height != 0 ? height : system;
}

int TsFrameGeometry::SideBorderWidth(bool useSkin) const {
  return FrameBorderWidth(useSkin) + State.BorderWidth;
}

int TsFrameGeometry::BottomBorderWidth(bool useSkin) const {
  return NonSkinFrameWidth(useSkin) + State.BorderWidth;
}

int TsFrameGeometry::CaptionHeight() const {
  if (State.BorderForm) return TitleBarHeight(true);
  int height = State.Height - State.ClientHeight;
  if (TitleBarHeight(true) != 0 || State.BorderBit) height -= BottomBorderWidth(true);
  height = std::max(height, 0);
  if (State.Form.Iconic) height += NonSkinFrameWidth(true);
  return height - State.HScrollHeight;
}

int TsFrameGeometry::FrameWidth() const {
  int width = State.Width;
  if (!State.Form.Iconic && State.BorderForm) width += 2 * ExtraBorderWidth();
  return width + State.ShadowMargins.Left + State.ShadowMargins.Right;
}

int TsFrameGeometry::FrameCacheHeight() const {
  if (!State.BorderForm) return State.Height;
  const TRect& s = State.ShadowMargins;
  return State.Height + ExtraBorderWidth() + ExtraTitleHeight() + s.Top + s.Bottom +
         (MenuHeight() != 0 ? 1 : 0);
}

int TsFrameGeometry::MenuHeight() const { return State.HasMenu ? Sys.CyMenu - 1 : 0; }

bool TsFrameGeometry::HasVisibleMenu() const {
  if (State.Form.BorderStyle == bsDialog || State.Form.MDIChild || !State.HasMenu) return false;
  return State.MenuItemVisible;
}

int TsFrameGeometry::MenuLinesHeight() const {
  return HasVisibleMenu() ? State.MenuLineCount * MenuHeight() : 0;
}

int TsFrameGeometry::ClientLeftOffset() const {
  if (State.BorderForm) return SideBorderWidth(true) + State.ShadowMargins.Left;
  return (State.Width - State.ClientWidth - State.VScrollWidth) / 2;
}

int TsFrameGeometry::ClientTopOffset() const {
  if (State.BorderForm)
    return TitleBarHeight(true) + State.MenuLineCount * MenuHeight() + State.BorderWidth +
           State.ShadowMargins.Top;
  return State.Height - State.ClientHeight - (State.BorderBit ? SideBorderWidth(true) : 0) -
         State.HScrollHeight;
}

TRect TsFrameGeometry::ClientRect() const {
  return Bounds(ClientLeftOffset(), ClientTopOffset(), State.ClientWidth, State.ClientHeight);
}

int TsFrameGeometry::TitleBandBottom() const {
  return NonSkinFrameWidth(true) + TitleBarHeight(true) + State.ShadowMargins.Top;
}

TRect TsFrameGeometry::FrameRect() const {
  const TRect& s = State.ShadowMargins;
  return Rect(s.Left, s.Top, FrameWidth() - s.Right, FrameCacheHeight() - s.Bottom);
}

TRect TsFrameGeometry::TitleBandRect() const {
  TRect r = FrameRect();
  r.Bottom = std::min(r.Bottom, TitleBandBottom());
  return r;
}

int TsFrameGeometry::MenuBandBottom() const { return TitleBandBottom() + MenuLinesHeight(); }

bool TsFrameGeometry::ShowsTitleIcon() const {
  const TFormBorderStyle style = State.Form.BorderStyle;
  return (style == bsSingle || style == bsSizeable) && State.ShowAppIcon && State.HasSystemMenu;
}

int TsFrameGeometry::TitleIconWidth() const {
  if (!ShowsTitleIcon()) return 0;
  return State.TitleIconSize.cx != 0 ? State.TitleIconSize.cx : IconSideFor(TitleBarHeight(true));
}

int TsFrameGeometry::TitleIconHeight() const {
  if (!ShowsTitleIcon()) return 0;
  return State.TitleIconSize.cy != 0 ? State.TitleIconSize.cy : IconSideFor(TitleBarHeight(true));
}

TRect TsFrameGeometry::TitleIconRect() const {
  TRect r;
  r.Left = FrameBorderWidth(true) + Skin.BILeft + State.ShadowMargins.Left;
  r.Right = r.Left + TitleIconWidth();
  r.Top = FrameBorderWidth(false) / 2 + State.ShadowMargins.Top - 1;
  r.Top += (TitleBandBottom() - r.Top - TitleIconHeight()) / 2;
  r.Bottom = r.Top + TitleIconHeight();
  if (State.BorderForm) OffsetRect(r, 0, TitleShift(*this));
  return r;
}

TRect TsFrameGeometry::CaptionTextRect(int buttonsWidth, bool captionPlate) const {
  const TRect& s = State.ShadowMargins;
  const int b = FrameBorderWidth(true);
  TRect r;
  r.Left = b + (ShowsTitleIcon() ? TitleIconRect().Width() : 0) + 4 + Skin.BILeft + s.Left +
           (captionPlate ? 2 : 0);
  r.Right = FrameWidth() - buttonsWidth - 6 - s.Right;
  r.Top = IsMaximized() ? b / 2 + s.Top + 1 : s.Top + 2;
  r.Bottom = TitleBandBottom();
  if (Skin.BorderMode == 1) OffsetRect(r, 0, TitleShift(*this));
  return r;
}

TPoint TsFrameGeometry::CacheOffset() const {
  if (!State.BorderForm) return {};
  return {ExtraBorderWidth() + State.ShadowMargins.Left,
          ExtraTitleHeight() + State.ShadowMargins.Top};
}

TPoint TsFrameGeometry::GripPosition(TSize gripMask) const {
  const int b = FrameBorderWidth(true);
  return {FrameWidth() - gripMask.cx - b - State.ShadowMargins.Right - 1,
          FrameCacheHeight() - gripMask.cy - b - State.ShadowMargins.Bottom - 1};
}

TRect CentredRows(TRect r, int height) {
  r.Top += (r.Height() - height) / 2;
  r.Bottom = r.Top + height;
  return r;
}

int CountMenuLines(const TsFrameGeometry& g, std::span<const int> itemWidths) {
  const int b = g.FrameBorderWidth(true);
  const int room = g.State.Width - 2 * b - 2 * g.State.BorderWidth;
  int x = b;
  int lines = 1;
  for (const int width : itemWidths) {
    // An item wider than a whole line still goes on the line it starts,
    // or the menu would count a line with nothing on it.
    if (room < x + width && x != b) {
      ++lines;
      x = b;
    }
    x += width;
  }
  return lines;
}

TsMaxPlacement UpdateMaxInfo(const TsFrameGeometry& g, const TRect& monitor, const TRect& workArea,
                             int titleContentTop) {
  const int b = g.FrameBorderWidth(false);
  const int m = g.Skin.TitleHeight != g.Skin.MaxHeight
                    ? g.Skin.TitleHeight - g.Skin.MaxHeight + g.Skin.CenterOffset
                    : 0;
  const TPoint origin{workArea.Left - monitor.Left, workArea.Top - monitor.Top};
  TsMaxPlacement p;
  if (!g.State.BorderForm) {
    // Above the screen go the border and the m rows the shorter maximised
    // title drops, but only rows above the title's icon, caption and
    // buttons: the system's title is no higher than the skin's buttons may
    // be. What stays visible is exactly the work area.
    const int top = g.HasTitleBar() ? std::max(0, std::min(b + m, titleContentTop)) : b;
    p.MaxPosition = {origin.X - b, origin.Y - top};
    p.MaxSize = {workArea.Width() + 2 * b, workArea.Height() + top + b};
    p.Region = Bounds(b, top, workArea.Width(), workArea.Height());
    return p;
  }
  // With a border form the companion window draws the title above the
  // window; only the difference from the system title is taken off.
  int t = 0;
  if (g.State.CaptionStyle) {
    const int skinned = g.TitleBarHeight(true);
    const int system = g.TitleBarHeight(false);
    t = skinned > system + b ? skinned - system - b : b;
  }
  p.MaxPosition = {origin.X - b, origin.Y + t - b - m};
  p.MaxSize = {workArea.Width() + 2 * b, workArea.Height() - t + 2 * b + m};
  p.Region = g.BorderFormRegion(p.MaxSize.X, p.MaxSize.Y);
  return p;
}

TRect TsFrameGeometry::BorderFormRegion(int width, int height) const {
  const int b = FrameBorderWidth(false);
  const int top = State.MaximisedTitle ? TitleBarHeight(false) - 4
                                       : NonSkinFrameWidth(true) + TitleBarHeight(false);
  return Rect(b, b + top, width - b, height - b);
}

}  // namespace kv
