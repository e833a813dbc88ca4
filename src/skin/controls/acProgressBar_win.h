// The skinned progress bar. With a skin it paints its own section ("GAUGE")
// and the progress over it in "PROGRESSH" or "PROGRESSV": one piece when
// smooth, separate blocks otherwise, or five blocks running along the bar in
// the marquee style. Without one it is the system's progress bar.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/ComCtrls.h"
#include "skin/controls/acProgressBarGeometry.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

class TsProgressBar : public TsSkinnedControl<TProgressBar> {
 public:
  explicit TsProgressBar(TComponent* owner);

  // The progress part's section; empty: "PROGRESSH", or "PROGRESSV" for a
  // vertical bar.
  const std::string& ProgressSkin() const { return progressSkin_; }
  void SetProgressSkin(const std::string& value);
  // Going to the marquee keeps the position, coming back restores it.
  void SetStyle(TProgressBarStyle value);

  // The marquee's window starts this many pixels from the left (from the
  // bottom when vertical).
  int MarqueePos() const { return marqueePos_; }
  // The marquee moves on a timer of the bar's own window: running only in
  // the marquee style while a skin is usable.
  bool MarqueeRunning() const { return marqueeRunning_; }
  // One step of the marquee, as its timer runs it.
  void MarqueeStep();

  // The id of the marquee's window timer (WM_TIMER's WParam).
  static constexpr UINT_PTR MarqueeTimerId = 0x4B56;
  static constexpr UINT MarqueeTick = 30;  // ms
  static constexpr int MarqueeStepLength = 6;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Loaded() override;

  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool UnskinnedMessage(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;

 private:
  TacProgressBarShape Shape();
  void PaintProgress(TBitmap& cache, const TacProgressBarShape& shape);
  void SetMarqueeRunning(bool on);
  // Marquee style, a usable skin and not designing.
  bool MarqueeWanted();

  TacProgressBlockCache blocks_;
  std::string progressSkin_;
  int marqueePos_ = 0;
  int marqueeWidth_ = 40;
  int marqueeDirection_ = 1;
  int savedPosition_ = 0;
  bool marqueeRunning_ = false;
};

}  // namespace kv
