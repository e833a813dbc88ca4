// The progress bar's arithmetic, apart from any window: its inner and
// progress rectangles, block size and count, the pieces the progress section
// is painted in, and the marquee's steps.
#pragma once

#include <string>
#include <vector>

#include "base/Types.h"

namespace kv {

struct TacProgressBarShape {
  int Width = 0, Height = 0;  // the client size
  int BorderWidth = 0;
  bool Vertical = false;
  bool Smooth = false;
  bool Marquee = false;  // the marquee style rather than the normal one
  int Min = 0, Max = 100, Position = 0;
  int MarqueePos = 0;
  int MarqueeWidth = 40;
};

constexpr int MarqueeBlockLength = 9;
constexpr int MarqueeBlocks = 5;

// The client rectangle shrunk by 1 and then by the border.
TRect ProgressInnerRect(const TacProgressBarShape& bar);
// A block's width and height; never negative, so thin bars get empty blocks.
TSize ProgressBlockSize(const TacProgressBarShape& bar);
// The part that shows progress; the whole inner rectangle for an empty range.
TRect ProgressRect(const TacProgressBarShape& bar);
// Blocks a bar of separate blocks holds, and how many of them are filled; 0
// for the other styles, an empty range or blocks too small to paint.
int ProgressBlockCount(const TacProgressBarShape& bar);
int ProgressFilledBlocks(const TacProgressBarShape& bar);
// Where the progress section is painted, piece by piece; none when only the
// background and frame are to be shown.
std::vector<TRect> ProgressPieces(const TacProgressBarShape& bar);

// The filled-block count the cache was last built for (-1: not yet).
struct TacProgressBlockCache {
  int LastBlocks = -1;
  // True when the cache needs building. A bar of separate blocks with a cache
  // of its size is rebuilt only when a block boundary is crossed or the
  // position reaches the maximum; every build records the blocks it shows.
  bool NeedsBuild(const TacProgressBarShape& bar, bool cacheFits);
};

// The section a bar's progress is painted with: its own choice, else
// "PROGRESSH" or "PROGRESSV" by orientation.
std::string ProgressSectionName(const std::string& progressSkin, bool vertical);

// The marquee's next start, back at 0 once it reaches `width` less a step.
int MarqueeNextPos(int pos, int step, int direction, int width);

}  // namespace kv
