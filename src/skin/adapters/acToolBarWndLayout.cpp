#include "skin/adapters/acToolBarWndLayout.h"

namespace kv {
namespace {

// The start of an item of length `item` along a side of length `extent`:
// `margin` from the near side, or centred with `rest` after it.
int Near(int extent, int item, int rest, int margin) {
  return margin >= 0 ? margin : (extent - item - rest) / 2;
}
// The same from the far side.
int Far(int extent, int item, int rest, int margin) {
  return margin >= 0 ? extent - item - margin : extent - (extent - item - rest) / 2 - item;
}

}  // namespace

TacSpeedButtonPlaces SpeedButtonPlaces(TSize button, TSize glyph, TSize caption,
                                       TButtonLayout layout, int margin, int spacing, bool pushed) {
  const int w = button.cx, h = button.cy;
  const int gw = glyph.cx, gh = glyph.cy, tw = caption.cx, th = caption.cy;
  TacSpeedButtonPlaces p;
  if (gw <= 0) {
    // The caption alone takes the glyph's place.
    int x = (w - tw) / 2, y = (h - th) / 2;
    switch (layout) {
      case blGlyphLeft:
        x = Near(w, tw, 0, margin);
        break;
      case blGlyphRight:
        x = Far(w, tw, 0, margin);
        break;
      case blGlyphTop:
        y = Near(h, th, 0, margin);
        break;
      case blGlyphBottom:
        y = Far(h, th, 0, margin);
        break;
    }
    p.Caption = {x, y, x + tw, y + th};
  } else {
    const int s = tw > 0 ? spacing : 0;
    int gx = (w - gw) / 2, gy = (h - gh) / 2, tx = (w - tw) / 2, ty = (h - th) / 2;
    switch (layout) {
      case blGlyphLeft:
        gx = Near(w, gw, s + tw, margin);
        tx = gx + gw + spacing;
        break;
      case blGlyphRight:
        gx = Far(w, gw, s + tw, margin);
        tx = gx - spacing - tw;
        break;
      case blGlyphTop:
        gy = Near(h, gh, s + th, margin);
        ty = gy + gh + spacing;
        break;
      case blGlyphBottom:
        gy = Far(h, gh, s + th, margin);
        ty = gy - spacing - th;
        break;
    }
    p.Glyph = {gx, gy};
    p.Caption = {tx, ty, tx + tw, ty + th};
  }
  if (pushed) {
    p.Glyph = {p.Glyph.X + 1, p.Glyph.Y + 1};
    p.Caption = {p.Caption.Left + 1, p.Caption.Top + 1, p.Caption.Right + 1, p.Caption.Bottom + 1};
  }
  return p;
}

}  // namespace kv
