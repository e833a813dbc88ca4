// The status bar's layout, apart from any window: where its panels, their
// frames, dividers and texts go, and where the size grip sits.
#pragma once

#include <vector>

#include "base/Types.h"

namespace kv {

// One panel as the bar paints it.
struct TsStatusPanelPlace {
  TRect Bounds;   // the panel's share of the bar
  TRect Frame;    // where its skin frame goes
  TRect Text;     // the room its text is shortened to
  TRect Divider;  // the divider after it; empty when there is none
};

// Panels side by side over the bar's full height, each as wide as asked, the
// last one reaching the right edge whatever its width. `dividerWidth` is
// WL + WR of the divider mask (at least 2 is used); dividers go between
// panels only, and not at all on a bar too low to hold one.
std::vector<TsStatusPanelPlace> StatusPanelPlaces(const std::vector<int>& widths, int barWidth,
                                                  int barHeight, int dividerWidth);
// The single rectangle of a simple bar (or one without panels).
TsStatusPanelPlace StatusSimplePlace(int barWidth, int barHeight);
// The frame and text rectangles within the rectangle a panel is drawn in.
TRect StatusPanelFrame(const TRect& drawn);
TRect StatusPanelText(const TRect& drawn);
// The divider bitmap after a panel whose drawn rectangle ends at `right`.
TRect StatusDividerRect(int right, int barHeight, int dividerWidth);

// One frame of the grip mask: an own bitmap holds 3 x 2 frames, one in the
// master bitmap ImageCount frames by MaskType + 1 states. Counts below 1 count
// as 1, so a broken mask never divides by nothing.
TSize StatusGripGlyphSize(bool ownBitmap, int bitmapWidth, int bitmapHeight, const TRect& master,
                          int imageCount, int maskType);
// The grip's top-left corner, inside the border at the bottom-right corner.
TPoint StatusGripPos(int barWidth, int barHeight, int borderWidth, TSize glyph);

}  // namespace kv
