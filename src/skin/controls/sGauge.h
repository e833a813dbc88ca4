// The skinned progress gauge. Until its skin painting is built it paints a
// plain horizontal bar with the shown number and the suffix over it, the
// text inverting whatever lies under it so that it stays readable.
#pragma once

#include <string>

#include "classlib/Controls.h"
#include "classlib/StdCtrls.h"

namespace kv {

class TsGauge : public TGraphicControl {
 public:
  explicit TsGauge(TComponent* owner);

  TNotifyEvent OnChange;

  int MinValue() const { return minValue_; }
  // Raises EInvalidOperation "Value must be between %d and %d" for a value
  // above MaxValue; Progress rises to at least the new minimum.
  void SetMinValue(int value);
  int MaxValue() const { return maxValue_; }
  // Raises the same error for a value below MinValue; Progress falls to at
  // most the new maximum.
  void SetMaxValue(int value);
  int Progress() const { return progress_; }
  // Clamped into MinValue..MaxValue without complaint.
  void SetProgress(int value);
  const std::string& Suffix() const { return suffix_; }
  void SetSuffix(const std::string& value);
  bool ShowText() const { return showText_; }
  void SetShowText(bool value);
  TColor ForeColor() const { return foreColor_; }
  void SetForeColor(TColor value);
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

  // (Progress - MinValue) of the range in percent, rounded half to even; 0
  // for an empty range.
  int Percent() const;
  // The number shown and the suffix ("50%").
  std::string ShownText() const;
  // Pixels of a bar of length `length` that the progress fills.
  int FillLength(int length) const;

 protected:
  void Paint() override;

 private:
  int minValue_ = 0;
  int maxValue_ = 100;
  int progress_ = 47;
  std::string suffix_ = "%";
  bool showText_ = true;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
  TBorderStyle borderStyle_ = bsSingle;
};

}  // namespace kv
