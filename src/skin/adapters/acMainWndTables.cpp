#include "skin/adapters/acMainWndTables.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/SysUtils.h"

namespace kv {
namespace {

using K = TacAdapterKind;

constexpr std::array<K, ControlKindCount> ControlKindAdapters = {K::EditWnd,
                                                                 K::BtnWnd,
                                                                 K::BitBtnWnd,
                                                                 K::CheckBoxWnd,
                                                                 K::ComboBoxWnd,
                                                                 K::GridWnd,
                                                                 K::GroupBoxWnd,
                                                                 K::ListViewWnd,
                                                                 K::PanelWnd,
                                                                 K::TreeViewWnd,
                                                                 K::WWComboBoxWnd,
                                                                 K::GridEhWnd,
                                                                 K::VirtualTreeViewWnd,
                                                                 K::PageControlWnd,
                                                                 K::TabControlWnd,
                                                                 K::ToolBarVCLWnd,
                                                                 K::StatusBarWnd,
                                                                 K::None};

// Style type fields of statics and buttons.
constexpr std::uint32_t StaticTypeMask = 0x1F;
constexpr std::uint32_t StaticIcon = 0x03, StaticGrayRect = 0x05, StaticWhiteRect = 0x06;
constexpr std::uint32_t StaticOwnerDraw = 0x0D, StaticBitmap = 0x0E, StaticEnhMetaFile = 0x0F;
constexpr std::uint32_t ButtonTypeMask = 0x0F;
constexpr std::uint32_t ButtonCheckBox = 0x02, ButtonAutoCheckBox = 0x03, ButtonRadio = 0x04;
constexpr std::uint32_t Button3State = 0x05, ButtonAuto3State = 0x06, ButtonGroupBox = 0x07;
constexpr std::uint32_t ButtonAutoRadio = 0x09;
// Push box, owner-drawn, split and command-link buttons (0x0A..0x0F).
constexpr std::uint32_t ButtonFirstSelfDrawn = 0x0A;
constexpr std::uint32_t TabOwnerDrawFixed = 0x2000;
constexpr std::uint32_t ToolBarWrapable = 0x200;

TacDialogChild StaticChild(std::uint32_t style) {
  switch (style & StaticTypeMask) {
    case StaticIcon:
    case StaticBitmap:
      return {K::IconWnd, "CHECKBOX"};
    case StaticOwnerDraw:
    case StaticEnhMetaFile:
    case StaticGrayRect:
    case StaticWhiteRect:
      return {};
    default:
      return {K::StaticWnd, "CHECKBOX"};
  }
}

TacDialogChild ButtonChild(std::uint32_t style) {
  switch (style & ButtonTypeMask) {
    case ButtonGroupBox:
      return {K::GroupBoxWnd, "GROUPBOX"};
    case ButtonCheckBox:
    case ButtonAutoCheckBox:
    case Button3State:
    case ButtonAuto3State:
    case ButtonRadio:
    case ButtonAutoRadio:
      return {K::CheckBoxWnd, "CHECKBOX"};
    default:
      // These draw themselves (or their owner does): the skin would hide it.
      if ((style & ButtonTypeMask) >= ButtonFirstSelfDrawn) return {};
      return {K::BtnWnd, "BUTTON"};
  }
}

constexpr std::array<std::string_view, 3> EditColors = {"Color", "Font.Color", "FocusColor"};

using S = TacGridColorSource;
constexpr std::array<TacGridColor, 13> GridColorTable = {{
    {"FixedColor", false, false, S::GlobalColor},
    {"TitleFont.Color", false, false, S::GlobalFontColor},
    {"FixedFont.Color", true, false, S::GlobalFontColor},
    {"GridFixedLineColor", true, false, S::BorderColor},
    {"GridLineColor", true, false, S::GridLineMix},
    {"ControlLook.FixedGradientFrom", true, true, S::GradientFromMix},
    {"ControlLook.FixedGradientTo", true, true, S::GlobalColor},
    {"SelectionColor", true, false, S::MenuHotColor},
    {"SelectionTextColor", true, false, S::MenuHotFontColor},
    {"FooterColor", false, false, S::GlobalColor},
    {"FooterCellColor", false, false, S::GlobalColor},
    {"TitleColor", false, false, S::GlobalColor},
    {"IndicatorIconColor", false, false, S::OwnSectionFontColor},
}};

}  // namespace

TacAdapterKind AdapterOfControlKind(int listIndex) {
  if (listIndex < 0 || listIndex >= ControlKindCount) return K::None;
  return ControlKindAdapters[static_cast<size_t>(listIndex)];
}

int ControlKindOfClass(const ThirdPartyList& lists, std::string_view className) {
  if (className.empty() || className == " ") return -1;  // " " stands for an empty list
  for (int i = 0; i < ControlKindCount; ++i) {
    std::string_view rest = lists.GetItem(i);
    while (!rest.empty()) {
      const size_t end = rest.find("\r\n");
      if (rest.substr(0, end) == className) return i;
      rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 2);
    }
  }
  return -1;
}

TacDialogChild DialogChildAdapter(std::string_view className, std::uint32_t style, bool visible) {
  const std::string name = LowerCase(className);
  if (name == "static") return StaticChild(style);
  if (name == "#32770") return {K::TransPanelWnd, "CHECKBOX"};
  if (name == "tpanel" || name == "tsilentpaintpanel") {
    TacDialogChild c{K::DlgPanelWnd, "PANEL"};
    c.FillPosition = false;
    return c;
  }
  if (name == "button") return ButtonChild(style);
  if (name == "combobox" || name == "comboboxex32") {
    TacDialogChild c{K::ComboBoxWnd, "COMBOBOX", true};
    c.DlgMode = name == "combobox";
    return c;
  }
  if (name == "combolbox") return {K::EditWnd, "COMBOBOX", true};
  if (name == "scrollbar") return {K::SizerWnd, "CHECKBOX"};
  if (name == "systabcontrol32") {
    if ((style & TabOwnerDrawFixed) == TabOwnerDrawFixed) return {};
    return {K::TabControlWnd, "PAGECONTROL"};
  }
  if (name == "syslistview32") return {K::ListViewWnd, "EDIT", false, true};
  if (name == "msctls_updown32") {
    TacDialogChild c{K::SpinWnd, "SPEEDBUTTON_SMALL"};
    c.SpinButtons = true;
    return c;
  }
  if (name == "listbox") return {K::EditWnd, "EDIT", false, true};
  if (name == "link window" || name == "syslink") return {K::LinkWnd, "CHECKBOX"};
  if (name == "toolbarwindow32")
    return {K::ToolBarWnd, (style & ToolBarWrapable) == ToolBarWrapable ? "BAR" : "CHECKBOX"};
  if (name == "edit") {
    if (!visible) return {K::None, {}, true};
    return {K::EditWnd, "EDIT", true, true};
  }
  if (name == "systreeview32") return {K::TreeViewWnd, "EDIT", false, true};
  if (name.find("shbrowseforfolder") != std::string::npos) return {K::TransPanelWnd, "CHECKBOX"};
  return {};
}

std::string_view DefaultAdapterSection(TacAdapterKind kind) {
  switch (kind) {
    case K::BtnWnd:
    case K::BitBtnWnd:
      return "BUTTON";
    case K::CheckBoxWnd:
      return "CHECKBOX";
    case K::GroupBoxWnd:
      return "GROUPBOX";
    case K::TabControlWnd:
    case K::PageControlWnd:
      return "PAGECONTROL";
    case K::StatusBarWnd:
      return "STATUSBAR";
    case K::EditWnd:
    case K::ListViewWnd:
    case K::ComboBoxWnd:
    case K::GridWnd:
    case K::TreeViewWnd:
    case K::VirtualTreeViewWnd:
      return "EDIT";
    default:
      return {};
  }
}

std::span<const std::string_view> EditSavedColors() { return EditColors; }

std::span<const TacGridColor> GridColors() { return GridColorTable; }

TacTabKind TabKindOfStyle(std::uint32_t style) {
  constexpr std::uint32_t Vertical = 0x80, BottomOrRight = 0x2, FlatButtons = 0x8, Buttons = 0x100;
  TacTabKind kind;
  if ((style & Vertical) == 0)
    kind.Position = (style & BottomOrRight) != 0 ? tpBottom : tpTop;
  else
    kind.Position = (style & BottomOrRight) != 0 ? tpRight : tpLeft;
  if ((style & FlatButtons) != 0)
    kind.Style = tsFlatButtons;
  else if ((style & Buttons) != 0)
    kind.Style = tsButtons;
  return kind;
}

std::string_view TabFrameSection(std::string_view own, TTabPosition position, bool hasTabs) {
  static constexpr std::string_view ByPosition[] = {"PAGECONTROL", "PAGECONTROLBOTTOM",
                                                    "PAGECONTROLLEFT", "PAGECONTROLRIGHT"};
  if (!hasTabs) return "CHECKBOX";
  if (!own.empty() && own != ByPosition[tpTop]) return own;
  return ByPosition[position];
}

std::string_view TabItemSection(const TacTabKind& kind) {
  static constexpr std::string_view ByPosition[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  switch (kind.Style) {
    case tsButtons:
      return "BUTTON";
    case tsFlatButtons:
      return "TOOLBUTTON";
    default:
      return ByPosition[kind.Position];
  }
}

std::string_view PanelSection(TacBevel outer, TacBevel inner, bool singleBorder) {
  switch (outer) {
    case TacBevel::Lowered:
      return inner == TacBevel::Raised ? "GROUPBOX" : "PANEL_LOW";
    case TacBevel::Raised:
      return inner == TacBevel::Lowered ? "GROUPBOX" : "PANEL";
    default:
      return singleBorder ? "PANEL_LOW" : "CHECKBOX";
  }
}

TacCaptionBand GroupBoxCaptionBand(int textWidth, int textHeight, int windowWidth) {
  constexpr int left = 6, padding = 14, minHeight = 4, below = 2;
  TacCaptionBand band;
  band.Left = left;
  band.Right = std::max(left, std::min(textWidth + padding, windowWidth - 1));
  band.Bottom = std::max(minHeight, textHeight) + below;
  return band;
}

}  // namespace kv
