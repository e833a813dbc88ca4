// The skinned up-down's two halves apart from any window: where they lie,
// when one is inaccessible (the position is already at the limit it moves
// toward), and how the hot and pressed state follows the mouse.
#pragma once

#include "base/Types.h"

namespace kv {

// The up-down's state: nothing hot, the first half hot, the second hot, the
// first pressed, the second pressed. The first half is the top one of a
// vertical up-down and the left one of a horizontal one.
enum TsUpDownState { udsNone = 0, udsFirstHot, udsSecondHot, udsFirstPressed, udsSecondPressed };

struct TsUpDownRange {
  int Min = 0;
  int Max = 100;
  int Position = 0;
  bool Vertical = true;
};

TRect UpDownHalfRect(int width, int height, bool vertical, bool first);
// Vertical: the first (up) half at Max, the second at Min; horizontal: the
// first (left) half at Min, the second at Max.
bool UpDownInaccessible(const TsUpDownRange& range, bool first);
// The mouse over a half (neither: the state stays). An inaccessible half
// never looks hot; while the button is held the state stays.
int UpDownHoverState(int state, bool overFirst, bool overSecond, bool mouseDown,
                     bool showInaccessibility, const TsUpDownRange& range);
// The left button pressed on the hot half; not on one at its limit.
int UpDownPressState(int state, const TsUpDownRange& range);
// Released: a pressed half is hot again, or nothing is when it has now
// reached its limit.
int UpDownReleaseState(int state, bool showInaccessibility, const TsUpDownRange& range);
// The look of one half in a state: 2 pressed, 1 hot, 0 normal.
int UpDownHalfLook(int state, bool first);

}  // namespace kv
