// The skinned form's answer to WM_NCHITTEST, from a point and the frame's
// laid-out parts: title buttons, sizing edges, size grip, menu band, title
// band and icon.
#pragma once

#include <optional>
#include <span>

#include "base/Types.h"
#include "skin/forms/sSkinProviderGeometry.h"
#include "skin/forms/sTitleButtonsLayout.h"

namespace kv {

namespace FrameHit {
constexpr int Nowhere = 0;  // HTNOWHERE
constexpr int Client = 1;   // HTCLIENT
constexpr int Caption = 2;  // HTCAPTION
constexpr int SysMenu = 3;  // HTSYSMENU
constexpr int Menu = 5;     // HTMENU
constexpr int Left = 10;    // HTLEFT .. HTBOTTOMRIGHT
constexpr int Right = 11;
constexpr int Top = 12;
constexpr int TopLeft = 13;
constexpr int TopRight = 14;
constexpr int Bottom = 15;
constexpr int BottomLeft = 16;
constexpr int BottomRight = 17;
}  // namespace FrameHit
constexpr bool IsSizingHit(int code) {
  return code >= FrameHit::Left && code <= FrameHit::BottomRight;
}
// Codes the window's previous procedure answers instead (it knows the
// client, the caption drag and the menu bar); the hot button is cleared.
constexpr bool HitGoesToOldProcedure(int code) {
  return code == FrameHit::Nowhere || code == FrameHit::Client || code == FrameHit::Caption ||
         code == FrameHit::Menu;
}

// What the hit test sees besides the geometry.
struct TsHitTestFrame {
  std::span<const TsPlacedTitleButton> Buttons;     // as laid out, frame cache coordinates
  std::span<const TsPlacedTitleButton> MDIButtons;  // a maximised MDI child's, when shown
  bool GripRightBottom = false;                     // GripMode gmRightBottom
  bool BothScrollBars = false;                      // skinned scroll bars both shown
  TRect ScrollCorner{};                             // the square between them (cache)
  TSize Grip{};                                     // "GRIPIMAGE"; 0 x 0 when the skin lacks it
};

struct TsHitResult {
  int Code = FrameHit::Nowhere;
  // The hot title button to set (SetHotButton), when it changes: a button's
  // code, -1 on a sizing edge, 0 over the client.
  std::optional<int> HotButton;
  friend bool operator==(const TsHitResult&, const TsHitResult&) = default;
};

// `point` is relative to the window's top-left corner.
TsHitResult NCHitTest(const TsFrameGeometry& g, TPoint point, const TsHitTestFrame& frame);

}  // namespace kv
