// Which adapter serves which window, with which section, and the colours
// adapters keep.
#include "skin/adapters/acMainWndTables.h"

#include <gtest/gtest.h>

#include "skin/model/sConst.h"

namespace kv {
namespace {

using K = TacAdapterKind;

ThirdPartyList DefaultLists() {
  ThirdPartyList lists;
  for (int i = 0; i < ControlKindCount; ++i) lists.SetItem(i, DefaultClassLists[size_t(i)]);
  return lists;
}

TEST(ControlAdapterTable, ClassNamesFindTheirListsAdapter) {
  ThirdPartyList lists = DefaultLists();
  lists.SetItem(7, "TListView\r\nTMemo");
  const struct {
    const char* name;
    int list;
    K kind;
  } rows[] = {{"TMemo", 0, K::EditWnd},
              {"TDateTimePicker", 0, K::EditWnd},
              {"TRadioButton", 3, K::CheckBoxWnd},
              {"TListView", 7, K::ListViewWnd},
              {"TStatusBar", 16, K::StatusBarWnd},
              {"TSpeedButton", 17, K::None},
              {"tmemo", -1, K::None},
              {" ", -1, K::None},
              {"", -1, K::None},
              {"TEdit\r\nTMemo", -1, K::None}};
  for (const auto& r : rows) {
    EXPECT_EQ(r.list, ControlKindOfClass(lists, r.name)) << r.name;
    EXPECT_EQ(r.kind, AdapterOfControlKind(r.list)) << r.name;
  }
  EXPECT_EQ(K::None, AdapterOfControlKind(ControlKindCount));
}

TEST(DialogChildTable, ClassAndStyleChooseAdapterAndSection) {
  const struct {
    const char* name;
    std::uint32_t style;
    bool visible;
    K kind;
    const char* section;
    bool skipPaint, dlgMode;
  } rows[] = {{"Static", 0x50000003, true, K::IconWnd, "CHECKBOX", false, false},
              {"static", 0x0E, true, K::IconWnd, "CHECKBOX", false, false},
              {"static", 0x0B, true, K::StaticWnd, "CHECKBOX", false, false},  // simple text
              {"static", 0x07, true, K::StaticWnd, "CHECKBOX", false, false},  // black frame
              {"static", 0x0D, true, K::None, "", false, false},
              {"static", 0x05, true, K::None, "", false, false},
              {"Button", 0x07, true, K::GroupBoxWnd, "GROUPBOX", false, false},
              {"button", 0x03, true, K::CheckBoxWnd, "CHECKBOX", false, false},
              {"button", 0x09, true, K::CheckBoxWnd, "CHECKBOX", false, false},
              {"button", 0x08, true, K::BtnWnd, "BUTTON", false, false},  // user button
              {"button", 0x0B, true, K::None, "", false, false},  // owner-drawn
              {"button", 0x0C, true, K::None, "", false, false},  // split
              {"button", 0x0E, true, K::None, "", false, false},  // command link
              {"button", 0x50010001, true, K::BtnWnd, "BUTTON", false, false},
              {"ComboBox", 0, true, K::ComboBoxWnd, "COMBOBOX", true, true},
              {"ComboBoxEx32", 0, true, K::ComboBoxWnd, "COMBOBOX", true, false},
              {"SysTabControl32", 0x2000, true, K::None, "", false, false},
              {"ToolbarWindow32", 0x200, true, K::ToolBarWnd, "BAR", false, false},
              {"Edit", 0, true, K::EditWnd, "EDIT", true, true},
              {"Edit", 0, false, K::None, "", true, false},
              {"SHBrowseForFolder ShellNameSpace Control", 0, true, K::TransPanelWnd, "CHECKBOX",
               false, false},
              {"RichEdit20W", 0, true, K::None, "", false, false}};
  for (const auto& r : rows) {
    const TacDialogChild c = DialogChildAdapter(r.name, r.style, r.visible);
    EXPECT_EQ(r.kind, c.Kind) << r.name << " style 0x" << std::hex << r.style;
    EXPECT_EQ(r.section, c.Section) << r.name;
    EXPECT_EQ(r.skipPaint, c.ClearSkipPaint) << r.name;
    EXPECT_EQ(r.dlgMode, c.DlgMode) << r.name;
  }
  EXPECT_FALSE(DialogChildAdapter("TPanel", 0, true).FillPosition);
  EXPECT_TRUE(DialogChildAdapter("msctls_updown32", 0, true).SpinButtons);
}

TEST(AdapterSections, DefaultsAndGridColours) {
  EXPECT_EQ("BUTTON", DefaultAdapterSection(K::BitBtnWnd));
  EXPECT_EQ("EDIT", DefaultAdapterSection(K::ComboBoxWnd));
  EXPECT_EQ("", DefaultAdapterSection(K::StaticWnd)) << "the creator's";
  // Values on the ControlLook object exist only with it, and its "none"
  // gradient colours are kept as a colour that can be written back.
  for (const TacGridColor& c : GridColors()) {
    const bool onControlLook = c.Property.starts_with("ControlLook.");
    EXPECT_EQ(onControlLook, c.NoneSavedAsBtnFace) << c.Property;
    EXPECT_TRUE(!onControlLook || c.OnlyWithControlLook) << c.Property;
  }
}

TEST(AdapterSections, APanelsBevelsChooseItsSection) {
  using B = TacBevel;
  const struct {
    B outer, inner;
    bool single;
    const char* section;
  } rows[] = {{B::Lowered, B::Raised, false, "GROUPBOX"}, {B::Lowered, B::None, false, "PANEL_LOW"},
              {B::Raised, B::Lowered, false, "GROUPBOX"}, {B::Raised, B::Space, true, "PANEL"},
              {B::None, B::Raised, true, "PANEL_LOW"},    {B::Space, B::None, false, "CHECKBOX"},
              {B::None, B::None, false, "CHECKBOX"}};
  for (const auto& r : rows)
    EXPECT_EQ(r.section, PanelSection(r.outer, r.inner, r.single))
        << int(r.outer) << "/" << int(r.inner) << "/" << r.single;
}

TEST(AdapterSections, AGroupBoxsCaptionBandFitsItsTextAndWindow) {
  const struct {
    int textW, textH, windowW;
    int right, bottom;
  } rows[] = {
      {40, 13, 200, 54, 15}, {300, 13, 200, 199, 15}, {0, 0, 200, 14, 6}, {40, 13, 3, 6, 15}};
  for (const auto& r : rows) {
    const TacCaptionBand band = GroupBoxCaptionBand(r.textW, r.textH, r.windowW);
    EXPECT_EQ(6, band.Left);
    EXPECT_EQ(r.right, band.Right) << r.textW << " in " << r.windowW;
    EXPECT_EQ(r.bottom, band.Bottom) << r.textH;
  }
}

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(TabControlKind, PositionAndStyleComeFromTheWindowStyle) {
  const struct {
    std::uint32_t style;
    TTabPosition position;
    TTabStyle tabStyle;
    std::string_view frame, tab;
  } rows[] = {
      {0x0, tpTop, tsTabs, "PAGECONTROL", "TABTOP"},
      {0x2, tpBottom, tsTabs, "PAGECONTROLBOTTOM", "TABBOTTOM"},
      {0x80, tpLeft, tsTabs, "PAGECONTROLLEFT", "TABLEFT"},
      {0x82, tpRight, tsTabs, "PAGECONTROLRIGHT", "TABRIGHT"},
      {0x100, tpTop, tsButtons, "PAGECONTROL", "BUTTON"},
      {0x108, tpTop, tsFlatButtons, "PAGECONTROL", "TOOLBUTTON"},
      {0x182, tpRight, tsButtons, "PAGECONTROLRIGHT", "BUTTON"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.style);
    const TacTabKind kind = TabKindOfStyle(row.style);
    EXPECT_EQ(row.position, kind.Position);
    EXPECT_EQ(row.tabStyle, kind.Style);
    EXPECT_EQ(row.frame, TabFrameSection("PAGECONTROL", kind.Position, true));
    EXPECT_EQ(row.tab, TabItemSection(kind));
  }
}

TEST(TabControlKind, AnOwnFrameSectionStaysAndNoTabsMeanACheckBoxFrame) {
  EXPECT_EQ("MYPAGES", TabFrameSection("MYPAGES", tpRight, true));
  EXPECT_EQ("PAGECONTROLLEFT", TabFrameSection("", tpLeft, true));
  EXPECT_EQ("CHECKBOX", TabFrameSection("MYPAGES", tpTop, false));
}

}  // namespace
}  // namespace kv
