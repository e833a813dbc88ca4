// The gauge's arithmetic, apart from any window: its range rules, the shown
// percentage and text, and where bars, pies and needles go.
#pragma once

#include <string>

#include "base/GaugeKind.h"
#include "base/Types.h"

namespace kv {

using TsGaugeKind = TGaugeKind;

// MinValue, MaxValue and Progress together; Progress always lies between them.
struct TsGaugeRange {
  int MinValue = 0;
  int MaxValue = 100;
  int Progress = 47;

  // A minimum above the maximum raises EInvalidOperation "Value must be
  // between %d and %d" unless loading; Progress rises to the new minimum.
  void SetMinValue(int value, bool loading);
  // A maximum below the minimum raises likewise; Progress falls to it.
  void SetMaxValue(int value, bool loading);
  // Clamped into the range without complaint; true when it changed.
  bool SetProgress(int value);
  int Percent() const;
};

// (progress - min) of (max - min) in percent, rounded half to even, in 64
// bits so that wide ranges do not overflow; 0 for an empty range.
int GaugePercent(int minValue, int maxValue, int progress);
// Pixels of a bar `length` long that `percent` fills, at most `length`.
int GaugeFillLength(int percent, int length);
// The number followed by the suffix, as is ("47" + "%").
std::string GaugeText(int number, const std::string& suffix);
// The filled part of a bar drawn inside `area`: horizontal bars grow from the
// left, vertical ones from the bottom and never cover the top row. Empty for
// the other kinds.
TRect GaugeBarFill(TsGaugeKind kind, const TRect& area, int percent);
// Where the pie of a width x height gauge starts; it runs counter-clockwise
// to the top centre, so it grows clockwise from there.
TPoint GaugePieStart(int percent, int width, int height);
// The needle's outer end; it starts at (width / 2, bottom - 1).
TPoint GaugeNeedleEnd(int percent, int width, int bottom);

}  // namespace kv
