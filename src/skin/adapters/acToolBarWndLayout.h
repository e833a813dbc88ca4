// Where the speed-button handler puts a speed button's glyph and caption:
// plain arithmetic on the button's size, the glyph frame's and caption's
// sizes, its layout, margin and spacing.
#pragma once

#include "base/ButtonKinds.h"
#include "base/Types.h"

namespace kv {

struct TacSpeedButtonPlaces {
  TPoint Glyph;
  TRect Caption;
};

// A margin of -1 centres glyph and caption together along the layout's
// direction; any other margin is the glyph's distance from its side (the
// caption's, without a glyph). The caption lies on the far side of the glyph,
// spacing apart, and is centred across. Pushed buttons show both one pixel
// right and down. An empty glyph or caption measures 0 x 0.
TacSpeedButtonPlaces SpeedButtonPlaces(TSize button, TSize glyph, TSize caption,
                                       TButtonLayout layout, int margin, int spacing, bool pushed);

}  // namespace kv
