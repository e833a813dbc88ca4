// The skinned bevel: its lines and frames are strips cut from a skin item
// ("GROUPBOX" for a frame, else "PANEL" raised or "PANEL_LOW" lowered)
// painted at the bevel's size. With no skin it paints as the plain bevel does.
#pragma once

#include <string>

#include "classlib/ExtCtrls.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

class TsBevel : public TsSkinnedControl<TBevel> {
 public:
  explicit TsBevel(TComponent* owner);

  void AfterConstruction() override;
  // Also picks the section anew when the shape or the style changed.
  void Invalidate() override;

  // The section for a shape and style.
  static std::string SectionFor(TBevelShape shape, TBevelStyle style);

 protected:
  void Loaded() override;
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;

 private:
  void ChooseSection();

  TBevelStyle LastStyle = bsLowered;
  TBevelShape LastShape = bsBox;
};

}  // namespace kv
