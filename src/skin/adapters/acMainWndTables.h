// Which window adapter serves which window, the section it skins with when
// its creator names none, and which of a control's colours an adapter keeps
// to put back when the skin goes: data and look-ups, apart from any window.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/TabKinds.h"
#include "base/Types.h"
#include "skin/model/sStoredSkins.h"

namespace kv {

enum class TacAdapterKind : std::uint8_t {
  None,
  StaticWnd,
  IconWnd,
  LinkWnd,
  BtnWnd,
  BitBtnWnd,
  CheckBoxWnd,
  PanelWnd,
  DlgPanelWnd,
  TransPanelWnd,
  GroupBoxWnd,
  SizerWnd,
  TabControlWnd,
  PageControlWnd,
  ToolBarWnd,
  ToolBarVCLWnd,
  StatusBarWnd,
  SpinWnd,
  EditWnd,
  ListViewWnd,
  ComboBoxWnd,
  GridWnd,
  TreeViewWnd,
  WWComboBoxWnd,
  GridEhWnd,
  VirtualTreeViewWnd,
};

// The adapter attached to a control whose class is in the skin manager's
// class list of that index; None for speed buttons (17), which get a
// handler instead, and for indexes outside the lists.
TacAdapterKind AdapterOfControlKind(int listIndex);
// The first list (in index order) naming the class exactly; -1 when none.
int ControlKindOfClass(const ThirdPartyList& lists, std::string_view className);

// How a child window of a system dialog is wrapped.
struct TacDialogChild {
  TacAdapterKind Kind = TacAdapterKind::None;
  std::string_view Section;
  bool ClearSkipPaint = false;  // the dialog keeps its own client painting
  bool DlgMode = false;
  bool SpinButtons = false;  // the spin adapter's buttons in the dialog's kind
  bool FillPosition = true;  // the adapter's position in the dialog is filled
};
// By window class name (any letter case) and style; an invisible edit gets
// no adapter but still clears the dialog's painting. Statics and buttons
// are told apart by their whole type field, so a simple static keeps its
// text and owner-drawn, split and command-link buttons keep their drawing.
TacDialogChild DialogChildAdapter(std::string_view className, std::uint32_t style, bool visible);

// The section an adapter skins with when its creator names none; empty when
// it takes the creator's (or, for panels, works one out itself).
std::string_view DefaultAdapterSection(TacAdapterKind kind);

// Colour properties an edit-like adapter saves from its owner control and
// writes back when the skin goes ("FocusColor" only where the class has it).
std::span<const std::string_view> EditSavedColors();

// Where a grid colour comes from while a skin is applied.
enum class TacGridColorSource : std::uint8_t {
  GlobalColor,          // GLOBALINFO Color
  GlobalFontColor,      // GLOBALINFO main font colour
  BorderColor,          // the skin's border colour
  GridLineMix,          // GLOBALINFO hot colour mixed half with EDIT's hot font colour
  GradientFromMix,      // GLOBALINFO Color mixed half with its hot colour
  MenuHotColor,         // MENUITEM hot colour
  MenuHotFontColor,     // MENUITEM hot font colour
  OwnSectionFontColor,  // the grid's own section's main font colour
};

// Each is saved, and given back when the skin goes.
struct TacGridColor {
  std::string_view Property;  // on the grid; dotted paths reach sub-objects
  bool OnlyWithControlLook = false;
  bool NoneSavedAsBtnFace = false;  // clNone would not survive the round trip
  TacGridColorSource Source = TacGridColorSource::GlobalColor;
};
std::span<const TacGridColor> GridColors();

// A tab control's tab position and style, read from its window style.
struct TacTabKind {
  TTabPosition Position = tpTop;
  TTabStyle Style = tsTabs;
};
TacTabKind TabKindOfStyle(std::uint32_t style);
// The page frame's section: the skin data's own when it names another than
// "PAGECONTROL", else the one for the tab position; "CHECKBOX" without tabs.
std::string_view TabFrameSection(std::string_view own, TTabPosition position, bool hasTabs);
// The tabs' own section: by position for tabs, "BUTTON" or "TOOLBUTTON" for
// the two button styles.
std::string_view TabItemSection(const TacTabKind& kind);

// A panel's bevels as the panel adapter reads them.
enum class TacBevel : std::uint8_t { None, Lowered, Raised, Space };
// The section a panel is skinned with when its creator names none.
std::string_view PanelSection(TacBevel outer, TacBevel inner, bool singleBorder);

// A group box's caption band in window coordinates, from the caption's
// measured size; empty for no caption. Its height is what command 27
// answers (the frame starts half-way down it).
struct TacCaptionBand {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
TacCaptionBand GroupBoxCaptionBand(int textWidth, int textHeight, int windowWidth);

}  // namespace kv
