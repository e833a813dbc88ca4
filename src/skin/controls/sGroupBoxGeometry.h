// Where a group box's caption goes, apart from any window.
#pragma once

#include <cstdint>

#include "base/Types.h"

namespace kv {

// The group box's caption placement. The bound label's placement is another
// type (TsCaptionLayout), with members of its own.
enum TsGroupCaptionLayout : std::uint8_t { clTopLeft, clTopCenter, clTopRight };

struct TsGroupCaptionMetrics {
  int Width = 0;       // the group box's
  int TextWidth = 0;   // of the caption
  int TextHeight = 0;  // of "W" in the caption's font
  int YOffset = 0;     // CaptionYOffset
  int BorderWidth = 0;
  bool Skinned = false;
  bool RightToLeft = false;
  TsGroupCaptionLayout Layout = clTopLeft;
};

// The caption's rectangle in control coordinates: the text's width plus 8,
// at least 4 + 2 high; skinned, a negative offset lifts its top above the
// control and a positive one makes it taller.
TRect GroupCaptionRect(const TsGroupCaptionMetrics& m);
// Where the frame starts: at the caption's middle, or at the top when the
// caption is lifted above the control.
int GroupFrameTop(const TRect& caption, int yOffset);

}  // namespace kv
