#include "skin/geometry/sUpDownGeometry.h"

namespace kv {

TRect UpDownHalfRect(int width, int height, bool vertical, bool first) {
  if (vertical) return first ? TRect{0, 0, width, height / 2} : TRect{0, height / 2, width, height};
  return first ? TRect{0, 0, width / 2, height} : TRect{width / 2, 0, width, height};
}

bool UpDownInaccessible(const TsUpDownRange& range, bool first) {
  // The first half moves up (vertical) or left (horizontal).
  const bool towardMax = range.Vertical == first;
  return range.Position == (towardMax ? range.Max : range.Min);
}

int UpDownHoverState(int state, bool overFirst, bool overSecond, bool mouseDown,
                     bool showInaccessibility, const TsUpDownRange& range) {
  if (!overFirst && !overSecond) return state;
  const bool first = overFirst;
  if (showInaccessibility && UpDownInaccessible(range, first)) return udsNone;
  const int hot = first ? udsFirstHot : udsSecondHot;
  return state == hot || mouseDown ? state : hot;
}

int UpDownPressState(int state, const TsUpDownRange& range) {
  if (state == udsFirstHot && !UpDownInaccessible(range, true)) return udsFirstPressed;
  if (state == udsSecondHot && !UpDownInaccessible(range, false)) return udsSecondPressed;
  return state;
}

int UpDownReleaseState(int state, bool showInaccessibility, const TsUpDownRange& range) {
  if (state != udsFirstPressed && state != udsSecondPressed) return state;
  const bool first = state == udsFirstPressed;
  if (showInaccessibility && UpDownInaccessible(range, first)) return udsNone;
  return first ? udsFirstHot : udsSecondHot;
}

int UpDownHalfLook(int state, bool first) {
  if (state == (first ? udsFirstPressed : udsSecondPressed)) return 2;
  if (state == (first ? udsFirstHot : udsSecondHot)) return 1;
  return 0;
}

}  // namespace kv
