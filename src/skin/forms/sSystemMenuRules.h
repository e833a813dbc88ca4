// Which entries of a skinned form's system menu are shown and enabled, from
// the form's state alone. The title buttons and the hit test ask the same
// rules, so a button is shown exactly when its menu entry is.
#pragma once

#include <string>
#include <string_view>

#include "base/FormKinds.h"

namespace kv {

// What the rules read of a form.
struct TsFormState {
  TFormBorderStyle BorderStyle = bsSizeable;
  TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
  TWindowState WindowState = wsNormal;
  bool Iconic = false;  // the window is minimised (IsIconic)
  bool Zoomed = false;  // the window is maximised (IsZoomed)
  bool MDIChild = false;
  // The window had WS_SYSMENU when the provider took it off to paint the
  // frame itself: the form has a system menu and a close button.
  bool SysMenuStyleRemoved = true;
};

// The six rules every skinned system menu answers.
bool VisibleClose(const TsFormState& f);
bool VisibleMax(const TsFormState& f);
bool VisibleMin(const TsFormState& f);
bool EnabledMax(const TsFormState& f);
bool EnabledMin(const TsFormState& f);
bool EnabledRestore(const TsFormState& f);

// The form's own system menu adds four.
bool RestoreVisible(const TsFormState& f);
bool SizeVisible(const TsFormState& f);
bool MoveEnabled(const TsFormState& f);
// Only a form in the normal state can be sized from the menu: a maximised
// or minimised one has no edges to drag.
bool SizeEnabled(const TsFormState& f);

struct TsSysMenuItemState {
  bool Visible = false;
  bool Enabled = false;
  friend bool operator==(const TsSysMenuItemState&, const TsSysMenuItemState&) = default;
};

// The six standard entries as the skinned menu shows them.
struct TsSysMenuItems {
  TsSysMenuItemState Restore, Move, Size, Minimize, Maximize, Close;
  friend bool operator==(const TsSysMenuItems&, const TsSysMenuItems&) = default;
};
TsSysMenuItems SysMenuItemStates(const TsFormState& f);

// The window's own system menu, shown when pop-up menus are not skinned,
// has no hidden entries: each is enabled or grayed. Same order as above.
struct TsNativeSysMenuEnabled {
  bool Restore = false, Move = false, Size = false, Minimize = false, Maximize = false,
       Close = false;
  friend bool operator==(const TsNativeSysMenuEnabled&, const TsNativeSysMenuEnabled&) = default;
};
TsNativeSysMenuEnabled NativeSysMenuEnabled(const TsFormState& f);

// The skin list under the system menu starts a new column every 20 names.
constexpr int SkinSelectItemsPerColumn = 20;
constexpr bool SkinSelectItemBreaks(int index) {
  return index > 0 && index % SkinSelectItemsPerColumn == 0;
}

// A skin's name as its entry in the list shows it: "&" doubled, so that it
// is written and not taken for a key.
std::string SkinSelectCaption(std::string_view skinName);
// The skin an entry names: doubled "&" back to one, any other "&" dropped,
// and a name marked "(internal)" cut right after the mark.
std::string SkinNameOfCaption(std::string_view caption);

}  // namespace kv
