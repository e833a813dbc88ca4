// Where the title buttons go: their sizes, their order from the right
// (close, maximise or restore, minimise, help, then the user buttons), their
// rectangles in the frame cache and how they are drawn.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "base/Types.h"
#include "skin/forms/sSkinProviderGeometry.h"
#include "skin/model/sMaskData.h"

namespace kv {

class TsSkinModel;

// Hit codes of the title buttons (the Win32 HT values and our own).
namespace TitleHit {
constexpr int MinButton = 8;   // HTMINBUTTON
constexpr int MaxButton = 9;   // HTMAXBUTTON
constexpr int Close = 20;      // HTCLOSE
constexpr int Help = 21;       // HTHELP
constexpr int MDIClose = 101;  // buttons of a maximised MDI child in the menu line
constexpr int MDIRestore = 102;
constexpr int MDIMinimize = 103;
constexpr int FirstUser = 1000;  // user button i is FirstUser + i, i from 0
}  // namespace TitleHit
constexpr bool IsUserTitleHit(int code) { return code >= TitleHit::FirstUser; }

// The button a mask is taken for; Restore is "BICONNORM".
enum class TsTitleMask { Close, Max, Restore, Min, Help, User };

// The masks of the seven button records and of the user buttons.
struct TsTitleButtonMasks {
  int Min = -1, Max = -1, Close = -1, Help = -1;
  bool LargeButton = false;
  int MDIMin = -1, MDIMax = -1, MDIClose = -1;  // a maximised MDI child's buttons
  bool MDILargeButton = false;
  int TitleButton = -1;
  friend bool operator==(const TsTitleButtonMasks&, const TsTitleButtonMasks&) = default;
};
// The mask of a standard button kind (restore's is kept apart); -1 for user buttons.
int StandardTitleMask(const TsTitleButtonMasks& masks, int restoreMask, TsTitleMask kind);
// Mask indexes by key of section "GLOBALINFO", -1 when absent.
using TsMaskLookup = std::function<int(std::string_view key)>;
// Large masks for bsSingle and bsSizeable, small ones otherwise; a skin
// without a close mask of the chosen size gets the large set throughout.
TsTitleButtonMasks LoadTitleButtonMasks(bool large, bool mdiMainForm, const TsMaskLookup& mask);

// Widths of the buttons' masks and their common height, after fall-backs.
struct TsTitleButtonMetrics {
  int Close = 21, Max = 21, Restore = 21, Min = 21, Help = 21;
  int Height = 21;    // the close mask's state height
  int UserMask = 21;  // frame width of "TITLEBUTTON"
  bool LargeButton = true;
  // The skin has a close and a help mask: without one that button is not
  // placed at all (nothing to see, nothing to click).
  bool CloseMask = true, HelpMask = true;
};

// Frame width of a standard button's mask, 21 without one.
int StandardButtonWidth(const TsMaskData* mask);
// State height of the close mask (every standard button's height), 21 without one.
int StandardButtonHeight(const TsMaskData* closeMask);
// The glow margin of a hot close, maximise or minimise button; none for the
// buttons that do not glow.
std::optional<int> TitleButtonGlowMargin(const TsSkinData& data, int hitCode);

// The standard buttons' sizes from the skin's masks (a restore mask of its own
// when the window is maximised or minimised).
TsTitleButtonMetrics StandardTitleMetrics(const TsSkinModel& skin, const TsTitleButtonMasks& masks,
                                          int restoreMask);

struct TsUserTitleButton {
  bool Visible = true;
  bool Enabled = true;
  int GlyphWidth = 0;  // 0 without a glyph
};
int UserButtonWidth(const TsUserTitleButton& button, const TsTitleButtonMetrics& m);

struct TsPlacedTitleButton {
  int HitCode = 0;
  TsTitleMask Mask = TsTitleMask::Close;
  bool Enabled = true;
  TRect Rect{};  // frame cache coordinates
  friend bool operator==(const TsPlacedTitleButton&, const TsPlacedTitleButton&) = default;
};

// 0 when the close button is hidden, else the standard buttons shown.
int VisibleStandardButtons(const TsFrameGeometry& g);
// Room the buttons take at the title's right end, BIRIGHT included; every
// user button counts, visible or not.
int TitleButtonsWidth(const TsFrameGeometry& g, const TsTitleButtonMetrics& m,
                      std::span<const TsUserTitleButton> users);
// Top of every button in the title band.
int TitleButtonTop(const TsFrameGeometry& g, const TsTitleButtonMetrics& m);
// The first row of the title band that holds the title icon, the caption
// (text captionHeight high) or a title button.
int TitleContentTop(const TsFrameGeometry& g, const TsTitleButtonMetrics& m,
                    std::span<const TsUserTitleButton> users, int captionHeight);
// The buttons in placing order, from the right. Nothing for a form without
// a title bar.
std::vector<TsPlacedTitleButton> PlaceTitleButtons(const TsFrameGeometry& g,
                                                   const TsTitleButtonMetrics& m,
                                                   std::span<const TsUserTitleButton> users);

// The three buttons of a maximised MDI child in the main form's menu line,
// in the order minimise, restore, close; w x h is their mask's size.
std::array<TsPlacedTitleButton, 3> MDIChildButtons(const TsFrameGeometry& g, TSize button);

// Drawing mode of a button's mask: 2 (faded) for an inactive form or a
// disabled button while it rests (state 0 or animating), else 1.
int TitleButtonDrawMode(bool formActive, bool enabled, int state, bool animating);

}  // namespace kv
