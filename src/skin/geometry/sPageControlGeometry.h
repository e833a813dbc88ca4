// The page control's tab layout, apart from any window: where tabs, the tab
// band, the page area, close buttons and the tab scroller go, and which tab
// lies under a point.
#pragma once

#include <vector>

#include "base/TabKinds.h"
#include "base/Types.h"

namespace kv {

// What the page control knows of its tabs at one moment, gathered from the
// tab control and the pages.
struct TsTabLayout {
  TTabStyle Style = tsTabs;
  TTabPosition TabPosition = tpTop;
  int Width = 0;  // the control's size
  int Height = 0;
  TRect DisplayRect;  // the page area inside the tab control's border
  int RowCount = 1;
  bool HasActivePage = false;
  // The tab control's own item rectangle of each tab, by tab index.
  std::vector<TRect> ItemRects;
  // Each page's tab index, in page order; -1 for a page whose tab is hidden.
  std::vector<int> PageTabIndexes;

  int TabCount() const { return static_cast<int>(ItemRects.size()); }
  int PageCount() const { return static_cast<int>(PageTabIndexes.size()); }
  // The item rectangle of a tab; empty for an index without a tab.
  TRect ItemRect(int tabIndex) const;
};

// The rectangle a tab is painted in: the item rectangle grown over the page
// area's edge, the active tab larger than the others. Button styles keep
// the item rectangle. Empty without an active page or for an index outside
// the pages.
TRect SkinTabRect(const TsTabLayout& layout, int tabIndex, bool active);
// The band that holds the tabs; the whole control when there are none.
TRect TabsBandRect(const TsTabLayout& layout);
// The page area with its border; the whole control when there are no tabs.
TRect PageAreaRect(const TsTabLayout& layout);
// The row, from 1, of a tab counted from the page area outwards.
int TabRow(const TsTabLayout& layout, int tabIndex);
// The first page whose inactive tab rectangle holds the point; -1 for none.
int TabAtPos(const TsTabLayout& layout, TPoint point);
// Pages whose tab is shown.
int VisibleTabCount(const TsTabLayout& layout);
// Tabs lying beyond the room left of the scroller (scrollerWidth 0 when
// there is none) or scrolled out to the left.
int HiddenTabCount(const TsTabLayout& layout, int scrollerWidth);
// The scroller's position: the shown tabs scrolled out to the left.
int TabScrollerPosition(const TsTabLayout& layout);
// The scroller sits at the right end of the tab band's outer edge.
TPoint TabScrollerPos(const TsTabLayout& layout, int scrollerWidth, int scrollerHeight);

// A close button's size from its mask: one frame of ImageCount side by side
// and one state of MaskType + 1 stacked; counts below 1 count as 1.
TPoint CloseBtnSize(int maskWidth, int maskHeight, int imageCount, int maskType);
// A skinned close button sits in the tab's top right corner.
TRect CloseBtnBounds(const TRect& tabRect, TPoint btnSize);
// The stand-in close button used without a skin, width x height, on the
// tab's item rectangle: top right corner, top left for left-hand tabs.
TRect TabBtnBounds(TTabPosition position, const TRect& itemRect, int width, int height);

// The caption of a top or bottom tab: the tab shrunk by 3 on each side; an
// image of imageSize (0, 0 without one) sits before the text, the pair
// centred, and the text moves right past it.
struct TsTabCaption {
  TRect TextRect;
  TPoint ImagePos;
};
TsTabCaption TabCaptionLayout(const TRect& tabRect, int textWidth, TPoint imageSize);
// The focus frame: the caption's size centred in the tab, grown by 2 and 1,
// moved right by half the image width.
TRect TabFocusRect(const TRect& tabRect, TPoint captionSize, int imageWidth);

}  // namespace kv
