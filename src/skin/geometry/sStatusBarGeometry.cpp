#include "skin/geometry/sStatusBarGeometry.h"

#include <algorithm>

namespace kv {

namespace {

TRect Shrunk(TRect r, int by) {
  InflateRect(r, -by, -by);
  return r;
}

}  // namespace

TRect StatusPanelFrame(const TRect& drawn) { return Shrunk(drawn, 1); }

TRect StatusPanelText(const TRect& drawn) {
  TRect r = StatusPanelFrame(drawn);
  r.Left += 2;
  r.Right -= 4;
  r.Bottom -= 1;
  return r;
}

TRect StatusDividerRect(int right, int barHeight, int dividerWidth) {
  const int width = std::max(2, dividerWidth);
  const int height = barHeight - 2;
  // A bar this low has no room for a divider bitmap.
  if (height < 1) return {};
  return Bounds(right - width / 2 - 1, 1, width, height);
}

std::vector<TsStatusPanelPlace> StatusPanelPlaces(const std::vector<int>& widths, int barWidth,
                                                  int barHeight, int dividerWidth) {
  std::vector<TsStatusPanelPlace> places(widths.size());
  int x = 0;
  for (size_t i = 0; i < widths.size(); ++i) {
    TsStatusPanelPlace& p = places[i];
    const bool last = i + 1 == widths.size();
    p.Bounds = {x, 0, last ? barWidth : x + widths[i], barHeight};
    x = p.Bounds.Right;
    // The skinned drawing gets the panel one pixel in from its share.
    const TRect drawn = Shrunk(p.Bounds, 1);
    p.Frame = StatusPanelFrame(drawn);
    p.Text = StatusPanelText(drawn);
    if (!last) p.Divider = StatusDividerRect(drawn.Right, barHeight, dividerWidth);
  }
  return places;
}

TsStatusPanelPlace StatusSimplePlace(int barWidth, int barHeight) {
  const TRect drawn{0, 1, barWidth - 1, barHeight - 1};
  // The simple bar's frame mask covers the whole bar.
  return {drawn, {0, 0, barWidth, barHeight}, StatusPanelText(drawn), {}};
}

TSize StatusGripGlyphSize(bool ownBitmap, int bitmapWidth, int bitmapHeight, const TRect& master,
                          int imageCount, int maskType) {
  if (ownBitmap) return {bitmapWidth / 3, bitmapHeight / 2};
  const int frames = std::max(1, imageCount);
  const int states = std::max(1, maskType + 1);
  return {master.Width() / frames, master.Height() / states};
}

TPoint StatusGripPos(int barWidth, int barHeight, int borderWidth, TSize glyph) {
  return {barWidth - glyph.cx - borderWidth, barHeight - glyph.cy - borderWidth};
}

}  // namespace kv
