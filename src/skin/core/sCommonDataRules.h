// The per-control skin data's decisions that need no window: which section a
// control type paints with, which types are never hot, never glow or repaint
// on hover, and the two ways a part-transparent section's colour is mixed
// with its parent's.
#pragma once

#include <bitset>
#include <cstdint>
#include <string_view>

#include "base/Types.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

// Control-type codes 0..255; a code outside that range is in no set.
using TacControlTypeSet = std::bitset<256>;
extern const TacControlTypeSet NoHotTrackingTypes;
extern const TacControlTypeSet NoGlowTypes;
extern const TacControlTypeSet HoverRepaintTypes;
inline bool InControlTypes(const TacControlTypeSet& set, int code) {
  return code >= 0 && code < static_cast<int>(set.size()) && set[static_cast<size_t>(code)];
}

// The section a control of that type paints with when none is set; empty
// when the type has none (the owner's class name is taken instead).
std::string_view DefaultSectionOfType(int controlType);

// Background colour by fraction T/100 (T = Transparency): the parent's
// colour weighs T, the section's the rest; the top byte is the parent's.
inline TColor MixBgColorByPercent(TColor parentColor, TColor sectionColor, int transparency) {
  return MixColorsByFraction(parentColor, sectionColor, transparency / 100.0);
}

// The colour answered to the background-colour command: each channel moved
// from the section's towards the parent's by T/256 (not T/100; the command
// has always answered so); the top byte is the parent's.
TColor MixBgColorBy256(TColor parentColor, TColor sectionColor, int transparency);

// Where a bound caption label sits beside its control.
enum TsCaptionLayout : std::uint8_t { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

struct TsBoundLabelPlace {
  TRect Bounds;
  bool AutoSize = true;
  bool WordWrap = false;
};

// The label of size labelSize (as it sizes itself) placed by layout around
// the control's bounds: left of it, indent + 4 pixels away and one pixel
// above centre, or above it by indent. A maxWidth above 0 fixes the width and
// wraps the words, at least as high as the control.
TsBoundLabelPlace PlaceBoundLabel(const TRect& control, TSize labelSize, TsCaptionLayout layout,
                                  int indent, int maxWidth);

}  // namespace kv
