#include "skin/forms/sSystemMenuRules.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

constexpr TBorderIcons AllIcons = biSystemMenu | biMinimize | biMaximize;

struct MenuCase {
  std::string name;
  TsFormState form;
  // Visible and enabled, in the order Restore, Move, Size, Minimize, Maximize, Close.
  TsSysMenuItems skinned;
  TsNativeSysMenuEnabled native;
};

void PrintTo(const MenuCase& c, std::ostream* os) { *os << c.name; }

TsFormState Form(TFormBorderStyle style, TWindowState state = wsNormal,
                 TBorderIcons icons = AllIcons) {
  return {.BorderStyle = style,
          .BorderIcons = icons,
          .WindowState = state,
          .Iconic = state == wsMinimized,
          .Zoomed = state == wsMaximized};
}

constexpr TsSysMenuItemState Shown{true, true}, Grayed{true, false}, Hidden{false, false};

class SystemMenuRules : public testing::TestWithParam<MenuCase> {};

TEST_P(SystemMenuRules, ItemsFollowTheFormsState) {
  const MenuCase& c = GetParam();
  EXPECT_EQ(SysMenuItemStates(c.form), c.skinned);
  EXPECT_EQ(NativeSysMenuEnabled(c.form), c.native);
}

INSTANTIATE_TEST_SUITE_P(
    FormKinds, SystemMenuRules,
    testing::Values(MenuCase{"Sizeable",
                             Form(bsSizeable),
                             {Grayed, Shown, Shown, Shown, Shown, Shown},
                             {false, true, true, true, true, true}},
                    // Size stays grayed in both menus: a maximised form has no edges to drag.
                    MenuCase{"MaximisedSizeable",
                             Form(bsSizeable, wsMaximized),
                             {Shown, Grayed, Grayed, Shown, Grayed, Shown},
                             {true, false, false, true, false, true}},
                    MenuCase{"MinimisedSizeable",
                             Form(bsSizeable, wsMinimized),
                             {Shown, Shown, Grayed, Grayed, Shown, Shown},
                             {true, false, false, false, true, true}},
                    MenuCase{"SingleWithoutMaximise",
                             Form(bsSingle, wsNormal, biSystemMenu | biMinimize),
                             {Grayed, Shown, Grayed, Shown, Hidden, Shown},
                             {false, true, false, true, false, true}},
                    MenuCase{"DialogShowsMoveAndCloseOnly",
                             Form(bsDialog),
                             {Hidden, Shown, {false, true}, {false, true}, Hidden, Shown},
                             {false, true, false, false, false, true}},
                    MenuCase{"SizeToolWindowKeepsSize",
                             Form(bsSizeToolWin),
                             {Hidden, Shown, Shown, {false, true}, Hidden, Shown},
                             {false, true, true, false, false, true}},
                    // A fixed tool window cannot be sized from its menu.
                    MenuCase{"FixedToolWindowHasNoSize",
                             Form(bsToolWindow),
                             {Hidden, Shown, {false, true}, {false, true}, Hidden, Shown},
                             {false, true, false, false, false, true}},
                    MenuCase{"MDIChildWithoutIcons",
                             {.BorderIcons = biSystemMenu, .MDIChild = true},
                             {Grayed, Shown, Shown, Grayed, Grayed, Shown},
                             {false, true, true, false, false, true}},
                    MenuCase{"NoSystemMenuStyle",
                             {.SysMenuStyleRemoved = false},
                             {Hidden, Shown, Shown, {false, true}, {false, true}, {false, true}},
                             {false, true, true, false, false, false}}),
    [](const testing::TestParamInfo<MenuCase>& info) { return info.param.name; });

TEST(SystemMenuRules, SkinListBreaksIntoColumnsOfTwenty) {
  int breaks = 0;
  for (int i = 0; i < 45; ++i)
    if (SkinSelectItemBreaks(i)) {
      EXPECT_TRUE(i == 20 || i == 40) << "break before item " << i;
      ++breaks;
    }
  EXPECT_EQ(breaks, 2);
}

// An entry shows a skin's name as written and gives back that name; a name
// marked as stored in the program ends at the mark.
TEST(SystemMenuRules, SkinEntriesKeepTheSkinsName) {
  struct Case {
    std::string name, caption, chosen;
  } cases[] = {
      {"Aqua", "Aqua", "Aqua"},
      {"Black & White", "Black && White", "Black & White"},
      {"&&", "&&&&", "&&"},
      {"Blue (internal)", "Blue (internal)", "Blue (internal)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SkinSelectCaption(c.name), c.caption);
    EXPECT_EQ(SkinNameOfCaption(c.caption), c.chosen);
  }
  EXPECT_EQ(SkinNameOfCaption("&Blue"), "Blue") << "a key mark is dropped";
  EXPECT_EQ(SkinNameOfCaption("Blue (internal) v2"), "Blue (internal)");
}

}  // namespace
}  // namespace kv
