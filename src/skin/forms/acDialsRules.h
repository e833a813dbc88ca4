// What the dialog hook decides about a window it meets, apart from any
// window: whether an activated window gets a provider (and which kind), and
// whether a new pop-up menu window gets a menu adapter.
#pragma once

#include <cstdint>
#include <string_view>

namespace kv {

// Tag of the toolkit's own auxiliary windows, which nothing skins.
inline constexpr std::intptr_t acTagNeverSkin = -98;

// What the hook knows of a window being activated.
struct TacActivation {
  bool Skinned = false;      // it answers the "is skinned" command
  bool HasManager = false;   // there is a default skin manager
  bool HasProvider = false;  // the hook made a provider for it already
  bool IsForm = false;       // a class-library form of this program
  std::intptr_t FormTag = 0;
  std::string_view ClassName;
  bool SkinStdForms = false;  // the manager's skinning rules
  bool SkinStdDialogs = false;
  int VisibleDialogs = 0;   // live dialogs the hook skinned that are visible
  bool HasToolBar = false;  // a "toolbarwindow32" descendant
};

enum class TacProviderCase : std::uint8_t { Refused, Form, Dialog };

// A form of the class library gets a form provider; a system dialog
// ("#32770") gets a dialog provider. A second system dialog is skinned
// while another skinned dialog is visible only when it has a tool bar (the
// file dialogs do, message boxes do not).
TacProviderCase ProviderCaseOf(const TacActivation& w);

// A pop-up menu window ("#32768") gets the menu-window adapter only while
// the system does not compose the desktop and the manager skins pop-ups.
bool MenuWindowGetsAdapter(std::string_view className, bool composition, bool skinnedPopups,
                           bool skinned);

}  // namespace kv
