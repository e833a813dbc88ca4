// The skinned group box: its frame starts at the middle of the caption, whose
// band shows what lies below the box; the caption sits on a small skinned
// plate. With CaptionSkin set, the box's own picture is its children's
// background. With no skin loaded it paints as the plain group box does.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/StdCtrls.h"
#include "skin/controls/sGroupBoxGeometry.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

class TsGroupBox : public TsSkinnedControl<TGroupBox> {
 public:
  explicit TsGroupBox(TComponent* owner);

  TsGroupCaptionLayout CaptionLayout() const { return captionLayout_; }
  void SetCaptionLayout(TsGroupCaptionLayout value);
  // Moves the caption down (positive, the client area with it) or lifts it
  // above the box (negative).
  int CaptionYOffset() const { return captionYOffset_; }
  void SetCaptionYOffset(int value);
  // The section of the caption's plate; empty for "CHECKBOX".
  const std::string& CaptionSkin() const { return captionSkin_; }
  void SetCaptionSkin(const std::string& value);

  // The caption's rectangle in control coordinates.
  TRect CaptionRect();

 protected:
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;

  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;

 private:
  void PaintCaptionPlate(TBitmap* cache, const TRect& caption, const TsBgCacheInfo& background);

  TsGroupCaptionLayout captionLayout_ = clTopLeft;
  int captionYOffset_ = 0;
  std::string captionSkin_;
};

}  // namespace kv
