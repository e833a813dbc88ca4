// The skinned menus' measuring and placing rules, without a window: what kind
// an item is, how wide and high it is measured, how a pop-up level's columns
// add up, and where the divider, the shortcut and the icon column go. The
// menu painter feeds them with text extents taken from a device context.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/Types.h"

namespace kv {

enum TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

// "-" is a divider; "-text-" a caption item; anything else a normal item.
// Top items of a main menu are smTopLine whatever their caption.
TsMenuItemType MenuItemTypeOf(std::string_view caption, bool topLine);

// The text an item is measured with: the caption with its shortcut text
// right after it for a normal item, "-" + caption + "-" for a caption item,
// nothing for a divider.
std::string MeasuredText(TsMenuItemType type, std::string_view caption,
                         std::string_view shortcutText);

// The words a caption item shows: the caption's text between its dashes.
std::string CaptionItemText(std::string_view caption);

// Every "&" taken out.
std::string RemoveAmpersands(std::string_view text);

// The painter's spacing (its published properties).
struct TsMenuSpacing {
  int Margin = 2;
  int Spacing = 6;
  int BorderWidth = 3;
};

// The glyph column's size for an item: its own picture when it has one, else
// the sub-menu images of its parent, else the menu's images, else 16 x 16, so
// the column exists for items without any image. A size of 0 x 0 means "not
// set". With bitmapOnly only the item's own picture counts (0 x 0 without).
TSize MenuGlyphSize(TSize bitmap, TSize subMenuImages, TSize menuImages, bool bitmapOnly = false);

// Width of a pop-up item: both sides of the text get a glyph column's room.
int PopupItemWidth(const TsMenuSpacing& s, int glyphWidth, int textWidth, int extraLineWidth);
// Height of a pop-up item; lineHeight is the text height of "W".
int PopupItemHeight(const TsMenuSpacing& s, TsMenuItemType type, int lineHeight, int glyphHeight);
// Width of a main menu's top item; imageWidth 0 when it shows no image.
int TopLineItemWidth(int captionWidth, int imageWidth);
// Height of a main menu's top item from the system's menu-bar height.
int TopLineItemHeight(int systemMenuHeight);

// One item of a pop-up level as the level's size rules see it.
struct TsLevelItem {
  bool Visible = true;
  bool Break = false;  // starts a new column
  int Width = 0;       // measured
  int Height = 0;      // measured
};

// True when any item up to and including index has Break: the item is not in
// the first column.
bool ItemAfterBreak(std::span<const TsLevelItem> level, int index);
// The tallest column's height.
int PopupHeight(std::span<const TsLevelItem> level);
// Each column's widest item + 12, columns side by side 4 pixels apart.
int PopupWidth(std::span<const TsLevelItem> level);
// The first and the last visible item of a level; -1 when none is visible.
int FirstVisibleItem(std::span<const TsLevelItem> level);
int LastVisibleItem(std::span<const TsLevelItem> level);

// The extra line's width when it is used and shown for the level, else 0.
int ExtraLineWidthFor(bool useExtraLine, int extraLineWidth, bool lineVisible);
// Width of a level's icon column.
int IconColumnWidthFor(const TsMenuSpacing& s, int firstGlyphWidth);

// The divider's mask rectangle inside an item bitmap of width x height.
TRect DividerRect(const TsMenuSpacing& s, int width, int height, int extraLineWidth,
                  int iconColumnWidth);
// Where a shortcut's text goes inside the bitmap of an item itemWidth wide:
// measured from the item's own width, so items of a second column (whose
// left edge is not 0) show theirs too; right to left, at the left edge.
TRect ShortcutTextRect(int itemWidth, int itemHeight, int textWidth, int extraLineWidth,
                       bool rightToLeft);
// The left edge of an item's caption inside its bitmap.
int PopupTextLeft(const TsMenuSpacing& s, int glyphWidth);

}  // namespace kv
