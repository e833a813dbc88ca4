#include "skin/controls/sGauge.h"

#include <windows.h>

#include <climits>
#include <cmath>
#include <cstdint>

#include "base/SysUtils.h"
#include "classlib/WideText.h"

namespace kv {

namespace {

// The widest range the error text names (the smallest Integer is never offered).
constexpr int LowestMinValue = -INT_MAX;
constexpr int HighestMaxValue = INT_MAX;

[[noreturn]] void RaiseRange(int low, int high) {
  throw EInvalidOperation("Value must be between " + std::to_string(low) + " and " +
                          std::to_string(high));
}

// Nearest integer, halves to even.
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// A memory bitmap of the control's size, all black, selected into its own DC.
class TBlackBitmap {
 public:
  TBlackBitmap(HDC reference, int width, int height)
      : dc_(CreateCompatibleDC(reference)),
        bitmap_(CreateCompatibleBitmap(reference, width, height)),
        old_(SelectObject(dc_, bitmap_)) {
    PatBlt(dc_, 0, 0, width, height, BLACKNESS);
  }
  ~TBlackBitmap() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TBlackBitmap(const TBlackBitmap&) = delete;
  TBlackBitmap& operator=(const TBlackBitmap&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

void Fill(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

TsGauge::TsGauge(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 120, 30);
}

void TsGauge::SetMinValue(int value) {
  if (value > maxValue_) RaiseRange(LowestMinValue, maxValue_ - 1);
  if (value == minValue_) return;
  minValue_ = value;
  if (progress_ < minValue_) progress_ = minValue_;
  Invalidate();
}

void TsGauge::SetMaxValue(int value) {
  if (value < minValue_) RaiseRange(minValue_ + 1, HighestMaxValue);
  if (value == maxValue_) return;
  maxValue_ = value;
  if (progress_ > maxValue_) progress_ = maxValue_;
  Invalidate();
}

void TsGauge::SetProgress(int value) {
  if (value < minValue_) value = minValue_;
  if (value > maxValue_) value = maxValue_;
  if (value != progress_) {
    const int shown = Percent();
    progress_ = value;
    // Painting is the slow part: only a new percentage is worth it.
    if (Percent() != shown) Invalidate();
  }
  if (OnChange) OnChange(this);
}

void TsGauge::SetSuffix(const std::string& value) {
  if (value == suffix_) return;
  suffix_ = value;
  Invalidate();
}

void TsGauge::SetShowText(bool value) {
  showText_ = value;
  Invalidate();
}

void TsGauge::SetForeColor(TColor value) {
  foreColor_ = value;
  Invalidate();
}

void TsGauge::SetBackColor(TColor value) {
  backColor_ = value;
  Invalidate();
}

void TsGauge::SetBorderStyle(TBorderStyle value) {
  borderStyle_ = value;
  Invalidate();
}

int TsGauge::Percent() const {
  const std::int64_t range = static_cast<std::int64_t>(maxValue_) - minValue_;
  if (range == 0) return 0;
  const std::int64_t done = static_cast<std::int64_t>(progress_) - minValue_;
  return RoundHalfEven(static_cast<double>(done) * 100.0 / static_cast<double>(range));
}

std::string TsGauge::ShownText() const { return std::to_string(Percent()) + suffix_; }

int TsGauge::FillLength(int length) const {
  if (length <= 0) return 0;
  const int fill = RoundHalfEven(Percent() * 0.01 * length);
  return fill < length ? fill : length;
}

void TsGauge::Paint() {
  const int width = Width();
  const int height = Height();
  if (width < 1 || height < 1) return;
  HDC target = Canvas()->Handle();
  TBlackBitmap picture(target, width, height);

  RECT r{0, 0, width, height};
  if (borderStyle_ == bsSingle) InflateRect(&r, -1, -1);
  {
    TBlackBitmap bar(target, width, height);
    Fill(bar.Dc(), r, backColor_);
    RECT filled = r;
    filled.right = r.left + FillLength(r.right - r.left);
    if (filled.right > filled.left) Fill(bar.Dc(), filled, foreColor_);
    BitBlt(picture.Dc(), 0, 0, width, height, bar.Dc(), 0, 0, SRCINVERT);
  }
  if (showText_) {
    // White text on black, laid over by XOR: it inverts the bar and the
    // background alike.
    TBlackBitmap text(target, width, height);
    const TSelectedObject font(text.Dc(), Font()->Handle());
    SetBkMode(text.Dc(), TRANSPARENT);
    SetTextColor(text.Dc(), RGB(255, 255, 255));
    RECT all{0, 0, width, height};
    const std::wstring shown = Wide(ShownText());
    DrawTextW(text.Dc(), shown.c_str(), static_cast<int>(shown.size()), &all,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    BitBlt(picture.Dc(), 0, 0, width, height, text.Dc(), 0, 0, SRCINVERT);
  }
  BitBlt(target, 0, 0, width, height, picture.Dc(), 0, 0, SRCCOPY);
}

}  // namespace kv
