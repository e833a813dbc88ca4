// A form's border style, border icons and window state; the class library's
// forms and the skinned frame's decisions share them.
#pragma once

#include <cstdint>

namespace kv {

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// Tool windows have the small caption.
constexpr bool IsToolWindowStyle(TFormBorderStyle style) {
  return style == bsToolWindow || style == bsSizeToolWin;
}

using TBorderIcons = uint8_t;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

}  // namespace kv
