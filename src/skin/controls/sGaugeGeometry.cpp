#include "skin/controls/sGaugeGeometry.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "base/SysUtils.h"

namespace kv {

namespace {

// The widest range the error text names (the smallest Integer is never offered).
constexpr int LowestMinValue = -INT_MAX;
constexpr int HighestMaxValue = INT_MAX;

[[noreturn]] void RaiseRange(std::int64_t low, std::int64_t high) {
  throw EInvalidOperation("Value must be between " + std::to_string(low) + " and " +
                          std::to_string(high));
}

// Nearest integer, halves to even.
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

void TsGaugeRange::SetMinValue(int value, bool loading) {
  if (value == MinValue) return;
  if (!loading && value > MaxValue) RaiseRange(LowestMinValue, std::int64_t{MaxValue} - 1);
  MinValue = value;
  if (Progress < MinValue) Progress = MinValue;
}

void TsGaugeRange::SetMaxValue(int value, bool loading) {
  if (value == MaxValue) return;
  if (!loading && value < MinValue) RaiseRange(std::int64_t{MinValue} + 1, HighestMaxValue);
  MaxValue = value;
  if (Progress > MaxValue) Progress = MaxValue;
}

bool TsGaugeRange::SetProgress(int value) {
  // While loading the limits may cross; the minimum wins then.
  if (value > MaxValue) value = MaxValue;
  if (value < MinValue) value = MinValue;
  if (value == Progress) return false;
  Progress = value;
  return true;
}

int TsGaugeRange::Percent() const { return GaugePercent(MinValue, MaxValue, Progress); }

int GaugePercent(int minValue, int maxValue, int progress) {
  const std::int64_t range = std::int64_t{maxValue} - minValue;
  if (range == 0) return 0;
  const std::int64_t done = std::int64_t{progress} - minValue;
  return RoundHalfEven(static_cast<double>(done) * 100.0 / static_cast<double>(range));
}

int GaugeFillLength(int percent, int length) {
  if (length <= 0 || percent <= 0) return 0;
  const int fill = RoundHalfEven(percent * 0.01 * length);
  return fill < length ? fill : length;
}

std::string GaugeText(int number, const std::string& suffix) {
  return std::to_string(number) + suffix;
}

TRect GaugeBarFill(TsGaugeKind kind, const TRect& area, int percent) {
  TRect fill = area;
  switch (kind) {
    case gkHorizontalBar:
      fill.Right = area.Left + GaugeFillLength(percent, area.Width());
      return fill;
    case gkVerticalBar: {
      int length = GaugeFillLength(percent, area.Height());
      if (length > area.Height() - 1) length = area.Height() - 1;
      fill.Top = area.Bottom - (length > 0 ? length : 0);
      return fill;
    }
    default:
      return {area.Left, area.Top, area.Left, area.Top};
  }
}

TPoint GaugePieStart(int percent, int width, int height) {
  const int hw = width / 2, hh = height / 2;
  const double a = (percent / 50.0 + 0.5) * std::numbers::pi;
  return {RoundHalfEven((1 - std::cos(a)) * hw), RoundHalfEven((1 - std::sin(a)) * hh)};
}

TPoint GaugeNeedleEnd(int percent, int width, int bottom) {
  const int hw = width / 2;
  const double b = percent / 100.0 * std::numbers::pi;
  return {RoundHalfEven((1 - std::cos(b)) * hw), RoundHalfEven((1 - std::sin(b)) * (bottom - 1))};
}

}  // namespace kv
