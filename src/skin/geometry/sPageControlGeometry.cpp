#include "skin/geometry/sPageControlGeometry.h"

#include <algorithm>

namespace kv {

TRect TsTabLayout::ItemRect(int tabIndex) const {
  if (tabIndex < 0 || tabIndex >= TabCount()) return {};
  return ItemRects[static_cast<size_t>(tabIndex)];
}

TRect SkinTabRect(const TsTabLayout& layout, int tabIndex, bool active) {
  if (tabIndex < 0 || tabIndex >= layout.PageCount() || !layout.HasActivePage) return {};
  TRect r = layout.ItemRect(tabIndex);
  if (layout.Style != tsTabs || IsRectEmpty(r)) return r;
  const int a = active ? 1 : 0;
  if (active) {
    r.Bottom -= 1;
  } else {
    r.Bottom += 3;
    r.Right -= 1;
  }
  switch (layout.TabPosition) {
    case tpTop:
      InflateRect(r, 2 * a, 2 * a);
      r.Bottom += 1;
      break;
    case tpBottom:
      InflateRect(r, 2 * a, a);
      r.Top -= 2;
      r.Bottom += active ? 1 : -3;
      break;
    case tpLeft:
      InflateRect(r, 0, 1);
      r.Right += 2;
      if (active) {
        InflateRect(r, 1, 1);
      } else {
        r.Bottom -= 4;
        r.Right += 2;
      }
      break;
    case tpRight:
      InflateRect(r, 1, 0);
      OffsetRect(r, -1, -1);
      if (active) {
        InflateRect(r, 1, 1);
        r.Bottom += 3;
      } else {
        r.Bottom -= 2;
      }
      break;
  }
  return r;
}

TRect TabsBandRect(const TsTabLayout& layout) {
  TRect r{0, 0, layout.Width, layout.Height};
  if (layout.TabCount() == 0) return r;
  const TRect& d = layout.DisplayRect;
  switch (layout.TabPosition) {
    case tpTop:
      r.Bottom = d.Top - 4;
      break;
    case tpBottom:
      r.Top = d.Bottom + 1;
      break;
    case tpLeft:
      r.Right = d.Left - 1;
      break;
    case tpRight:
      r.Left = d.Right + 1;
      break;
  }
  return r;
}

TRect PageAreaRect(const TsTabLayout& layout) {
  TRect r{0, 0, layout.Width, layout.Height};
  if (layout.TabCount() == 0) return r;
  const TRect& d = layout.DisplayRect;
  switch (layout.TabPosition) {
    case tpTop:
      r.Top = d.Top - 4;
      break;
    case tpBottom:
      r.Bottom = d.Bottom + 1;
      break;
    case tpLeft:
      r.Left = d.Left - 1;
      break;
    case tpRight:
      r.Right = d.Right + 1;
      break;
  }
  return r;
}

int TabRow(const TsTabLayout& layout, int tabIndex) {
  if (layout.RowCount < 2) return 1;
  const TRect r = layout.ItemRect(tabIndex);
  const int w = r.Width();
  const int h = r.Height();
  // A tab without extent (hidden, not yet laid out) has no row to divide into.
  if (w <= 0 || h <= 0) return 1;
  const TRect band = TabsBandRect(layout);
  switch (layout.TabPosition) {
    case tpTop:
      return (h / 2 + r.Bottom) / h;
    case tpLeft:
      return (w / 2 + r.Right) / w;
    case tpRight:
      return layout.RowCount - (r.Right - band.Left + w / 2) / w + 1;
    case tpBottom:
      return layout.RowCount - (r.Bottom - band.Top + h / 2) / h + 1;
  }
  return 1;
}

int TabAtPos(const TsTabLayout& layout, TPoint point) {
  for (int page = 0; page < layout.PageCount(); ++page) {
    const int tab = layout.PageTabIndexes[static_cast<size_t>(page)];
    if (tab >= 0 && PtInRect(SkinTabRect(layout, tab, false), point)) return page;
  }
  return -1;
}

int VisibleTabCount(const TsTabLayout& layout) {
  return static_cast<int>(std::count_if(layout.PageTabIndexes.begin(), layout.PageTabIndexes.end(),
                                        [](int tab) { return tab >= 0; }));
}

int HiddenTabCount(const TsTabLayout& layout, int scrollerWidth) {
  const int available = layout.Width - scrollerWidth - 3;
  const int shown = VisibleTabCount(layout);
  int hidden = 0;
  for (int tab = 0; tab < shown; ++tab) {
    const TRect r = layout.ItemRect(tab);
    if (!IsRectEmpty(r) && (r.Right > available || r.Right < 5)) ++hidden;
  }
  return hidden;
}

int TabScrollerPosition(const TsTabLayout& layout) {
  // Counted in tabs, not pages: the tab control scrolls by tab index, and
  // pages with hidden tabs would push the position past the real one.
  const int shown = VisibleTabCount(layout);
  for (int tab = 0; tab < shown; ++tab)
    if (layout.ItemRect(tab).Left > 0) return tab;
  return shown;
}

TPoint TabScrollerPos(const TsTabLayout& layout, int scrollerWidth, int scrollerHeight) {
  return {layout.Width - scrollerWidth,
          layout.TabPosition == tpTop ? 0 : layout.Height - scrollerHeight};
}

TPoint CloseBtnSize(int maskWidth, int maskHeight, int imageCount, int maskType) {
  // A damaged skin may give no frame or state count; the whole mask is then
  // one frame rather than a division by zero.
  return {maskWidth / std::max(imageCount, 1), maskHeight / std::max(maskType + 1, 1)};
}

TRect CloseBtnBounds(const TRect& tabRect, TPoint btnSize) {
  return {tabRect.Right - btnSize.X - 1, tabRect.Top + 1, tabRect.Right - 1,
          tabRect.Top + btnSize.Y + 1};
}

TRect TabBtnBounds(TTabPosition position, const TRect& itemRect, int width, int height) {
  const int left = position == tpLeft ? itemRect.Left + 1 : itemRect.Right - width - 1;
  return Bounds(left, itemRect.Top + 1, width, height);
}

TsTabCaption TabCaptionLayout(const TRect& tabRect, int textWidth, TPoint imageSize) {
  TsTabCaption c;
  c.TextRect = tabRect;
  InflateRect(c.TextRect, -3, -3);
  if (imageSize.X > 0) {
    c.ImagePos = {tabRect.Left + (tabRect.Width() - (textWidth + imageSize.X + 8)) / 2,
                  tabRect.Top + (tabRect.Height() - imageSize.Y) / 2};
    c.TextRect.Left += imageSize.X;
  }
  return c;
}

TRect TabFocusRect(const TRect& tabRect, TPoint captionSize, int imageWidth) {
  TRect r =
      Bounds(tabRect.Left + (tabRect.Width() - captionSize.X) / 2,
             tabRect.Top + (tabRect.Height() - captionSize.Y) / 2, captionSize.X, captionSize.Y);
  InflateRect(r, 2, 1);
  OffsetRect(r, imageWidth / 2, 0);
  return r;
}

}  // namespace kv
