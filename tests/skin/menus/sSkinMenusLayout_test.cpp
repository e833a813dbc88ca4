#include "skin/menus/sSkinMenusLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

TEST(SkinMenusLayout, ClassifiesItemsByCaption) {
  struct Case {
    const char* caption;
    bool topLine;
    TsMenuItemType type;
  } cases[] = {
      {"-", false, smDivider},     {"-Tools-", false, smCaption}, {"--", false, smCaption},
      {"-Tools", false, smNormal}, {"Tools-", false, smNormal},   {"&Open", false, smNormal},
      {"", false, smNormal},       {"-", true, smTopLine},        {"File", true, smTopLine},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MenuItemTypeOf(c.caption, c.topLine), c.type) << "caption \"" << c.caption << "\"";
}

TEST(SkinMenusLayout, MeasuresCaptionItemsWithAnExtraDashEachSide) {
  EXPECT_EQ(MeasuredText(smCaption, "-Tools-", ""), "--Tools--");
  EXPECT_EQ(MeasuredText(smNormal, "&Save", "Ctrl+S"), "&SaveCtrl+S");
  EXPECT_EQ(MeasuredText(smDivider, "-", "Ctrl+S"), "");
  EXPECT_EQ(CaptionItemText("-Tools-"), "Tools");
  EXPECT_EQ(CaptionItemText("--Two words--"), "Two words");
  EXPECT_EQ(CaptionItemText("--"), "");
  EXPECT_EQ(RemoveAmpersands("&File && more"), "File  more");
}

TEST(SkinMenusLayout, GlyphColumnComesFromThePictureThenTheImageLists) {
  const TSize none{0, 0}, pic{20, 18}, sub{24, 24}, menu{32, 30};
  EXPECT_EQ(MenuGlyphSize(pic, sub, menu), pic);
  EXPECT_EQ(MenuGlyphSize(none, sub, menu), sub);
  EXPECT_EQ(MenuGlyphSize(none, none, menu), menu);
  // No image anywhere still reserves a 16-pixel column.
  EXPECT_EQ(MenuGlyphSize(none, none, none), (TSize{16, 16}));
  EXPECT_EQ(MenuGlyphSize(none, sub, menu, true), none);
  EXPECT_EQ(MenuGlyphSize(pic, sub, menu, true), pic);
}

TEST(SkinMenusLayout, ItemSizes) {
  const TsMenuSpacing s;  // margin 2, spacing 6
  // 2 x 16 + 50 + 3 x 2 + 6, plus the extra line when it shows.
  EXPECT_EQ(PopupItemWidth(s, 16, 50, 0), 94);
  EXPECT_EQ(PopupItemWidth(s, 16, 50, 32), 126);
  EXPECT_EQ(PopupItemHeight(s, smDivider, 13, 16), 2);
  EXPECT_EQ(PopupItemHeight(s, smCaption, 13, 40), 16 + 4);  // round(16.25)
  EXPECT_EQ(PopupItemHeight(s, smNormal, 13, 16), 16 + 4);
  EXPECT_EQ(PopupItemHeight(s, smNormal, 13, 24), 24 + 4);
  EXPECT_EQ(PopupItemHeight(s, smNormal, 14, 0), 18 + 4);  // round(17.5) = 18
  EXPECT_EQ(TopLineItemWidth(40, 16), 62);
  EXPECT_EQ(TopLineItemWidth(40, 0), 40);
  EXPECT_EQ(TopLineItemHeight(19), 18);
}

TEST(SkinMenusLayout, ColumnsSplitAtBreaks) {
  const std::vector<TsLevelItem> level = {
      {true, false, 80, 20}, {true, false, 100, 20}, {false, false, 300, 20},
      {true, true, 60, 20},  {true, false, 70, 2},
  };
  EXPECT_FALSE(ItemAfterBreak(level, 0));
  EXPECT_FALSE(ItemAfterBreak(level, 2));
  EXPECT_TRUE(ItemAfterBreak(level, 3));
  EXPECT_TRUE(ItemAfterBreak(level, 4));
  EXPECT_EQ(PopupHeight(level), 40);  // the hidden item counts in neither
  EXPECT_EQ(PopupWidth(level), (100 + 12) + 4 + (70 + 12));
  EXPECT_EQ(PopupWidth({}), 0);
  EXPECT_EQ(FirstVisibleItem(level), 0);
  EXPECT_EQ(LastVisibleItem(level), 4);
  const std::vector<TsLevelItem> hidden = {{false, false, 1, 1}};
  EXPECT_EQ(FirstVisibleItem(hidden), -1);
  EXPECT_EQ(LastVisibleItem(hidden), -1);
}

TEST(SkinMenusLayout, ExtraLineAndIconColumn) {
  EXPECT_EQ(ExtraLineWidthFor(false, 32, true), 0);
  EXPECT_EQ(ExtraLineWidthFor(true, 32, false), 0);
  EXPECT_EQ(ExtraLineWidthFor(true, 32, true), 32);
  EXPECT_EQ(IconColumnWidthFor(TsMenuSpacing{}, 16), 24);
}

TEST(SkinMenusLayout, DividerStartsPastTheIconColumn) {
  const TsMenuSpacing s;
  EXPECT_EQ(DividerRect(s, 120, 2, 0, 24), (TRect{26, 0, 110, 2}));
  EXPECT_EQ(DividerRect(s, 120, 2, 32, 24), (TRect{58, 0, 78, 2}));
  // Never inverted on a very narrow item.
  const TRect narrow = DividerRect(s, 20, 2, 0, 24);
  EXPECT_LE(narrow.Left, narrow.Right);
}

TEST(SkinMenusLayout, ShortcutSitsAtTheItemsEdgeInAnyColumn) {
  EXPECT_EQ(ShortcutTextRect(120, 20, 40, 0, false), (TRect{72, 0, 112, 20}));
  EXPECT_EQ(ShortcutTextRect(120, 20, 40, 32, false), (TRect{40, 0, 80, 20}));
  EXPECT_EQ(ShortcutTextRect(120, 20, 40, 0, true), (TRect{6, 0, 112, 20})) << "right to left";
  EXPECT_EQ(PopupTextLeft(TsMenuSpacing{}, 16), 26);
}

}  // namespace
}  // namespace kv
