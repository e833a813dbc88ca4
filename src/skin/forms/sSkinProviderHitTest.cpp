#include "skin/forms/sSkinProviderHitTest.h"

namespace kv {

namespace {

// The code a title button under the mouse gives; Client lets the point
// fall through to the rest of the frame.
int ButtonCode(const TsFormState& f, const TsPlacedTitleButton& button) {
  switch (button.HitCode) {
    case TitleHit::Close:
      return TitleHit::Close;
    case TitleHit::MaxButton:
      return EnabledMax(f) || (EnabledRestore(f) && !f.Iconic) ? TitleHit::MaxButton
                                                               : FrameHit::Caption;
    case TitleHit::MinButton:
      return EnabledMin(f) || f.Iconic ? TitleHit::MinButton : FrameHit::Caption;
    case TitleHit::Help:
      return TitleHit::Help;
    default:
      return button.Enabled ? button.HitCode : FrameHit::Client;
  }
}

std::optional<int> TitleButtonHit(const TsFrameGeometry& g, TPoint p,
                                  std::span<const TsPlacedTitleButton> buttons) {
  const TsFormState& f = g.State.Form;
  for (const TsPlacedTitleButton& button : buttons) {
    // Rectangles stay from the last paint; the standard ones count only
    // while the close button is shown now.
    if (!IsUserTitleHit(button.HitCode) && !VisibleClose(f)) continue;
    if (!PtInRect(button.Rect, p)) continue;
    const int code = ButtonCode(f, button);
    if (code != FrameHit::Client) return code;
  }
  return std::nullopt;
}

std::optional<int> SizingEdge(const TsFrameGeometry& g, TPoint p) {
  if (g.IsMaximized() || !g.State.ThickFrame || g.State.BorderForm) return std::nullopt;
  const int w = g.FrameBorderWidth(true);
  const int b = g.NonSkinFrameWidth(false);
  int code = 0;
  if (p.Y < b)
    code = FrameHit::Top;
  else if (p.Y > g.State.Height - w)
    code = FrameHit::Bottom;
  if (p.X < w)
    code = code == FrameHit::Top      ? FrameHit::TopLeft
           : code == FrameHit::Bottom ? FrameHit::BottomLeft
                                      : FrameHit::Left;
  else if (p.X > g.State.Width - w)
    code = code == FrameHit::Top      ? FrameHit::TopRight
           : code == FrameHit::Bottom ? FrameHit::BottomRight
                                      : FrameHit::Right;
  if (code == 0) return std::nullopt;
  return code;
}

int ClientOrGrip(const TsFrameGeometry& g, TPoint p, const TsHitTestFrame& frame) {
  const bool gripShown = frame.GripRightBottom && !g.IsMaximized() && g.State.ThickFrame;
  if (!gripShown && !(frame.BothScrollBars && PtInRect(frame.ScrollCorner, p)))
    return FrameHit::Client;
  const TRect client = g.ClientRect();
  const TRect grip = Rect(client.Right - frame.Grip.cx, client.Bottom - frame.Grip.cy, client.Right,
                          client.Bottom);
  return PtInRect(grip, p) ? FrameHit::BottomRight : FrameHit::Client;
}

}  // namespace

TsHitResult NCHitTest(const TsFrameGeometry& g, TPoint point, const TsHitTestFrame& frame) {
  const TPoint offset = g.CacheOffset();
  const TPoint p{point.X + offset.X, point.Y + offset.Y};
  if (const auto code = TitleButtonHit(g, p, frame.Buttons)) return {*code, *code};
  if (const auto code = SizingEdge(g, point)) return {*code, -1};
  if (p.Y >= g.MenuBandBottom()) return {ClientOrGrip(g, p, frame), 0};
  if (p.Y >= g.TitleBandBottom()) {
    for (const TsPlacedTitleButton& button : frame.MDIButtons)
      if (PtInRect(button.Rect, p)) return {button.HitCode, std::nullopt};
    return {FrameHit::Menu, std::nullopt};
  }
  if (p.Y >= 0) {
    if (PtInRect(g.TitleIconRect(), p)) return {FrameHit::SysMenu, std::nullopt};
    return {FrameHit::Caption, std::nullopt};
  }
  return {FrameHit::Menu, std::nullopt};
}

}  // namespace kv
