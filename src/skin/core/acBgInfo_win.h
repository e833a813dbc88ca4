// Asking a parent for the background a transparent child paints on: the
// toolkit command for the background with a request record. Skinned parents
// answer from their cache; a parent that does not answer paints itself into
// the child's context (shifted and clipped) or gives a colour.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/Types.h"
#include "classlib/Controls.h"
#include "skin/model/sConst.h"

namespace kv {

// Filled partly by the asker (AskerPos, R, PleaseDraw, DC) and partly by the
// parent that answers (Bmp, Color, Offset, BgType). Position in and origin out
// are two fields, so a container that passes the question on moves each once.
struct TsBgRequest {
  TBitmap* Bmp = nullptr;
  TColor Color = 0;
  // Answered with a bitmap: the asked control's origin inside Bmp, to which
  // the asker adds its own position.
  TPoint Offset{};
  // Asking to draw: the asker's position in the asked control, from where
  // it copies or paints.
  TPoint AskerPos{};
  TRect R{};  // in the asker's coordinates
  std::uint8_t BgType = 0;
  bool PleaseDraw = false;
  HDC DC = nullptr;
};

inline constexpr std::uint8_t btNoAnswer = 0, btColor = 1, btBitmap = 2;

// True when the window answered. Only windows of this process are asked:
// the request travels as a pointer.
bool GetWindowBackgroundInfo(TsBgRequest& request, HWND wnd, bool pleaseDraw);
// True when the control answered; a control without a window is asked
// directly, never made to create one.
bool GetControlBackgroundInfo(TsBgRequest& request, TControl* control, bool pleaseDraw);
// Hands the question that control was asked on to its parent: its own
// position is added to AskerPos on the way up and to Offset on the way back.
// True when the parent answered.
bool ForwardBgRequestToParent(TsBgRequest& request, TControl* control);
// The same for a window known only by handle.
bool ForwardBgRequestToParentWindow(TsBgRequest& request, HWND wnd);
void BackgroundInfoToCacheInfo(const TsBgRequest& request, TsBgCacheInfo& cacheInfo);
// Keeps a windowed control's painting off its visible windowless children
// (moved by the offsets); windowed children paint themselves.
void ExcludeGraphicChildrenClip(HDC dc, TWinControl* control, int offsetX, int offsetY);

}  // namespace kv
