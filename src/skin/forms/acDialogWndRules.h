// The decisions of a skinned system dialog ("#32770": message boxes and
// common dialogs) that need no window: its border kind and title buttons from
// its styles, where the buttons, icon and caption go, what a point over the
// frame hits, which frame strips the cache gives the window, which children
// keep their own background, and its system menu's entries.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "base/Types.h"
#include "skin/forms/sSkinProviderGeometry.h"
#include "skin/forms/sSkinProviderHitTest.h"
#include "skin/forms/sSystemMenuRules.h"
#include "skin/forms/sTitleButtonsLayout.h"

namespace kv {

// The window styles the rules read (the Win32 values).
namespace DialogStyleBit {
constexpr std::uint32_t Popup = 0x80000000;    // WS_POPUP
constexpr std::uint32_t Caption = 0x00C00000;  // WS_CAPTION (both bits)
constexpr std::uint32_t Border = 0x00800000;   // WS_BORDER
constexpr std::uint32_t SysMenu = 0x00080000;  // WS_SYSMENU
constexpr std::uint32_t ThickFrame = 0x00040000;
constexpr std::uint32_t MinimizeBox = 0x00020000;
constexpr std::uint32_t MaximizeBox = 0x00010000;
constexpr std::uint32_t ModalFrame = 0x00000080;   // DS_MODALFRAME
constexpr std::uint32_t ContextHelp = 0x00000400;  // WS_EX_CONTEXTHELP
constexpr std::uint32_t NoCloseClass = 0x0200;     // CS_NOCLOSE
}  // namespace DialogStyleBit

// Border kind of a dialog, in the numbering of TFormBorderStyle: 1 until the
// styles are read, then 2 for a pop-up without a full caption, 3 for a
// sizeable one, 0 for a modal frame, 3 otherwise.
constexpr int DialogBorderStyleUnread = 1;
int DialogBorderStyle(std::uint32_t style);

// What the rules know of a dialog.
struct TacDialogState {
  std::uint32_t Style = 0;    // GWL_STYLE as read at set-up
  std::uint32_t ExStyle = 0;  // GWL_EXSTYLE
  int BorderStyle = DialogBorderStyleUnread;
  bool Iconic = false;
  bool Zoomed = false;
  bool NoCloseClass = false;  // the window class has CS_NOCLOSE
};

bool HasSysMenu(const TacDialogState& d);
bool HasMaxBox(const TacDialogState& d);
bool HasMinBox(const TacDialogState& d);
bool HasHelp(const TacDialogState& d);
bool CanClose(const TacDialogState& d);
bool CanMaximize(const TacDialogState& d);
bool CanMinimize(const TacDialogState& d);
bool CanRestore(const TacDialogState& d);
// Large title-button masks, with the skin's gaps between them.
bool UsesLargeTitleButtons(int borderStyle);

// The six entries of the dialog's system menu.
TsSysMenuItems DialogSysMenuItems(const TacDialogState& d);

// The window around the dialog for the shared frame geometry.
struct TacDialogWindow {
  int Width = 0, Height = 0;
  int ClientWidth = 0, ClientHeight = 0;
};
TsFrameGeometry DialogFrameGeometry(const TacDialogState& d, const TacDialogWindow& w,
                                    const TsSystemFrameMetrics& sys, const TsFrameSkin& skin);

// The title buttons from the right: close, maximise (restore when zoomed),
// minimise (restore when iconic), help; none without a title or a system
// menu. Rectangles are frame-cache coordinates.
std::vector<TsPlacedTitleButton> PlaceDialogTitleButtons(const TsFrameGeometry& g,
                                                         const TacDialogState& d,
                                                         const TsTitleButtonMetrics& m);

// The title icon at the small-icon size, left in the title band.
TRect DialogTitleIconRect(const TsFrameGeometry& g, TSize smallIcon);
// Where the caption is written: right of the icon, left of the buttons.
TRect DialogCaptionRect(const TsFrameGeometry& g, int iconWidth,
                        std::span<const TsPlacedTitleButton> buttons);

// The hit test's answer and the title button to make hot (0 for none).
struct TacDialogHit {
  int Code = 0;
  int HotButton = 0;
  friend bool operator==(const TacDialogHit&, const TacDialogHit&) = default;
};
// `point` is in the frame cache (the window's plus the cache offset). Code
// 0 leaves the answer to the dialog's own procedure (caption, borders,
// client), so that dragging and sizing stay the system's.
TacDialogHit DialogHitTest(const TsFrameGeometry& g, const TacDialogState& d, TPoint point,
                           std::span<const TsPlacedTitleButton> buttons, const TRect& icon);
// Codes a button press of the dialog acts on itself; any other goes on to
// the dialog's own procedure unchanged.
bool IsDialogFrameHit(int code);

// The four strips of the frame cache copied onto the window.
struct TacFrameStrip {
  TRect Dest;  // window coordinates
  TPoint Source;
  friend bool operator==(const TacFrameStrip&, const TacFrameStrip&) = default;
};
std::array<TacFrameStrip, 4> DialogFrameStrips(const TsFrameGeometry& g, int cacheWidth);

// A visible child that keeps the dialog's background from being painted
// under it: anything but group boxes and statics marked 0x10000.
bool ChildCoversDialogBackground(std::string_view className, std::uint32_t style);

}  // namespace kv
