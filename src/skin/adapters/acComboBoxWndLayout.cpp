#include "skin/adapters/acComboBoxWndLayout.h"

namespace kv {

TRect ComboButtonRect(TSize window, bool dropDown, bool rightToLeft, int scrollWidth) {
  const int width = dropDown ? scrollWidth : 0;
  const int left = rightToLeft ? 2 : window.cx - width - 2;
  return {left, 2, left + width, window.cy - 2};
}

TRect ComboTextRect(TSize window, const TRect& button, bool rightToLeft) {
  const int f = acComboFrameWidth;
  if (rightToLeft) return {button.Right, f, window.cx - f, window.cy - f};
  return {f, f, button.Left, window.cy - f};
}

TPoint ComboGlyphPos(TSize window, const TRect& button, TSize glyph) {
  return {button.Left + (button.Width() - glyph.cx) / 2, (window.cy - glyph.cy) / 2};
}

}  // namespace kv
