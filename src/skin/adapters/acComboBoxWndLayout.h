// Where the combo-box adapter puts the drop-down button, the selected text
// and the arrow inside a standard combo box's window: plain arithmetic on
// the window's size and style bits.
#pragma once

#include "base/Types.h"

namespace kv {

// The frame the adapter draws around a combo box.
inline constexpr int acComboFrameWidth = 3;

// The button of a combo box whose style has the drop-down bit (drop-down and
// drop-down list), scrollWidth wide, inside the frame at the right (left
// when reading right to left); 0 wide for a simple combo box.
TRect ComboButtonRect(TSize window, bool dropDown, bool rightToLeft, int scrollWidth);
// The selected text's place: inside the frame, beside the button.
TRect ComboTextRect(TSize window, const TRect& button, bool rightToLeft);
// The arrow's top-left corner: centred across the button and down the
// window.
TPoint ComboGlyphPos(TSize window, const TRect& button, TSize glyph);

}  // namespace kv
