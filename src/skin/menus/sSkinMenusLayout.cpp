#include "skin/menus/sSkinMenusLayout.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {
constexpr int kColumnPad = 12;  // room Windows adds beside each column's items
constexpr int kColumnGap = 4;   // the bar between columns
constexpr int kDefaultGlyph = 16;
constexpr int kShortcutRight = 8;
constexpr int kShortcutLeftRtl = 6;
}  // namespace

TsMenuItemType MenuItemTypeOf(std::string_view caption, bool topLine) {
  if (topLine) return smTopLine;
  if (caption == "-") return smDivider;
  if (caption.size() > 1 && caption.front() == '-' && caption.back() == '-') return smCaption;
  return smNormal;
}

std::string MeasuredText(TsMenuItemType type, std::string_view caption,
                         std::string_view shortcutText) {
  switch (type) {
    case smDivider:
      return {};
    case smCaption:
      return "-" + std::string(caption) + "-";
    default:
      return std::string(caption) + std::string(shortcutText);
  }
}

std::string CaptionItemText(std::string_view caption) {
  const size_t start = caption.find_first_not_of('-');
  if (start == std::string_view::npos) return {};
  const size_t end = caption.find('-', start);
  return std::string(caption.substr(start, end == std::string_view::npos ? end : end - start));
}

std::string RemoveAmpersands(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '&') out += c;
  return out;
}

TSize MenuGlyphSize(TSize bitmap, TSize subMenuImages, TSize menuImages, bool bitmapOnly) {
  const auto set = [](TSize s) { return s.cx > 0 && s.cy > 0; };
  if (set(bitmap)) return bitmap;
  if (bitmapOnly) return {0, 0};
  if (set(subMenuImages)) return subMenuImages;
  if (set(menuImages)) return menuImages;
  return {kDefaultGlyph, kDefaultGlyph};
}

int PopupItemWidth(const TsMenuSpacing& s, int glyphWidth, int textWidth, int extraLineWidth) {
  return 2 * glyphWidth + textWidth + 3 * s.Margin + s.Spacing + extraLineWidth;
}

int PopupItemHeight(const TsMenuSpacing& s, TsMenuItemType type, int lineHeight, int glyphHeight) {
  const int text = static_cast<int>(std::lround(lineHeight * 1.25));
  switch (type) {
    case smDivider:
      return 2;
    case smCaption:
      return text + 2 * s.Margin;
    default:
      return std::max(text, glyphHeight) + 2 * s.Margin;
  }
}

int TopLineItemWidth(int captionWidth, int imageWidth) {
  return captionWidth + (imageWidth > 0 ? imageWidth + 6 : 0);
}

int TopLineItemHeight(int systemMenuHeight) { return systemMenuHeight - 1; }

bool ItemAfterBreak(std::span<const TsLevelItem> level, int index) {
  for (int i = 0; i <= index && i < static_cast<int>(level.size()); ++i)
    if (level[static_cast<size_t>(i)].Break) return true;
  return false;
}

int PopupHeight(std::span<const TsLevelItem> level) {
  int best = 0, column = 0;
  for (const TsLevelItem& item : level) {
    if (item.Break) {
      best = std::max(best, column);
      column = 0;
    }
    if (item.Visible) column += item.Height;
  }
  return std::max(best, column);
}

int PopupWidth(std::span<const TsLevelItem> level) {
  int total = 0, column = 0;
  bool any = false;
  for (const TsLevelItem& item : level) {
    if (item.Break && any) {
      total += column + kColumnPad + kColumnGap;
      column = 0;
    }
    any = true;
    if (item.Visible) column = std::max(column, item.Width);
  }
  return any ? total + column + kColumnPad : 0;
}

int FirstVisibleItem(std::span<const TsLevelItem> level) {
  for (size_t i = 0; i < level.size(); ++i)
    if (level[i].Visible) return static_cast<int>(i);
  return -1;
}

int LastVisibleItem(std::span<const TsLevelItem> level) {
  for (size_t i = level.size(); i-- > 0;)
    if (level[i].Visible) return static_cast<int>(i);
  return -1;
}

int ExtraLineWidthFor(bool useExtraLine, int extraLineWidth, bool lineVisible) {
  return useExtraLine && lineVisible ? extraLineWidth : 0;
}

int IconColumnWidthFor(const TsMenuSpacing& s, int firstGlyphWidth) {
  return s.Margin + firstGlyphWidth + s.Spacing;
}

TRect DividerRect(const TsMenuSpacing& s, int width, int height, int extraLineWidth,
                  int iconColumnWidth) {
  const int left =
      std::max(extraLineWidth + s.Margin + s.Spacing, extraLineWidth + iconColumnWidth + 2);
  const int right = width - (2 * s.Margin + s.Spacing + extraLineWidth);
  return {left, 0, std::max(left, right), height};
}

TRect ShortcutTextRect(int itemWidth, int itemHeight, int textWidth, int extraLineWidth,
                       bool rightToLeft) {
  const int right = itemWidth - kShortcutRight - extraLineWidth;
  // Right to left the shortcut goes to the left edge, as the glyphs go right.
  if (rightToLeft) return {kShortcutLeftRtl, 0, right, itemHeight};
  return {right - textWidth, 0, right, itemHeight};
}

int PopupTextLeft(const TsMenuSpacing& s, int glyphWidth) {
  return glyphWidth + 2 * s.Margin + s.Spacing;
}

}  // namespace kv
