// The skinned progress gauge, a windowless control. With a skin it paints
// the "GAUGE" section with its bar in "PROGRESSH" or "PROGRESSV" and the text
// twice, so that it changes colour where the bar passes. Without one it
// paints its kind (text, bar, pie or needle) plainly, with the shown number
// and the suffix over it, the text inverting whatever lies under it.
#pragma once

#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sGaugeGeometry.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

class TsSkinModel;

// The progress section's item painted into `piece` (sized to the part) over
// what `cache` shows at `place`; the caller puts it in. The gauge and the
// progress bar paint their bars with it.
void PaintProgressPiece(TBitmap& piece, TBitmap& cache, TPoint place, int sectionIndex,
                        const std::string& section, const TsSkinModel& skin);

class TsGauge : public TsSkinnedControl<TGraphicControl> {
 public:
  explicit TsGauge(TComponent* owner);

  void SetParent(TWinControl* parent) override;

  TNotifyEvent OnChange;

  TsGaugeKind Kind() const { return kind_; }
  void SetKind(TsGaugeKind value);
  // Shows the percentage, or else Progress itself.
  bool CalcPercents() const { return calcPercents_; }
  void SetCalcPercents(bool value);

  int MinValue() const { return range_.MinValue; }
  // Raises EInvalidOperation "Value must be between %d and %d" for a value
  // above MaxValue (not while loading); Progress rises to at least the new
  // minimum.
  void SetMinValue(int value);
  int MaxValue() const { return range_.MaxValue; }
  // Raises the same error for a value below MinValue; Progress falls to at
  // most the new maximum.
  void SetMaxValue(int value);
  int Progress() const { return range_.Progress; }
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
  // The bar's section; empty: "PROGRESSH", or "PROGRESSV" for a vertical bar.
  const std::string& ProgressSkin() const { return progressSkin_; }
  void SetProgressSkin(const std::string& value);
  // A glow sweeps along a skinned horizontal bar every 2222 ms; the timer
  // starts once the gauge is loaded, given a parent or its skin refreshed.
  bool Animated() const { return animated_; }
  void SetAnimated(bool value);
  // One 22 ms tick of the sweep.
  void GlowStep();
  // Where the glow's left edge is along the bar (9999 before the first sweep).
  int GlowPosition() const { return glowPos_; }

  // (Progress - MinValue) of the range in percent, rounded half to even; 0
  // for an empty range.
  int Percent() const { return range_.Percent(); }
  // The number shown and the suffix ("50%").
  std::string ShownText() const;

 protected:
  void Paint() override;
  void Loaded() override;
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;

 private:
  void StartGlow();
  void PaintKind(HDC dc, const RECT& area) const;
  void PaintSkinnedBar(TBitmap& cache);
  void PaintSkinnedShape(TBitmap& cache) const;
  // `sectionIndex` is the bar's section, whose "LRGN" mask confines the glow.
  void PaintGlow(TBitmap& bar, int sectionIndex, const std::string& section);

  TsGaugeRange range_;
  TsGaugeKind kind_ = gkHorizontalBar;
  bool calcPercents_ = true;
  std::string suffix_ = "%";
  bool showText_ = true;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
  TBorderStyle borderStyle_ = bsSingle;
  std::string progressSkin_;
  bool animated_ = true;
  TTimer* glowTimer_ = nullptr;  // owned
  int glowCounter_ = 2223;       // ms since the sweep began; above the period restarts it
  int glowPos_ = 9999;
  std::unique_ptr<TBitmap> glow_;
  // The filled part as the skin paints it, kept while the glow sweeps so that
  // a tick only lays the glow and the text over a copy. Dropped when the size,
  // the skin or the animation changes.
  std::unique_ptr<TBitmap> barCache_;
};

}  // namespace kv
