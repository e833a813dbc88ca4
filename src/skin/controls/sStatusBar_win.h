// The skinned status bar. With a skin it paints the whole bar from its cache:
// the "STATUSBAR" section, each panel framed by the section's
// "STATUSPANELMASK" (or "DIVIDER" between panels when the skin has no such
// mask), the texts shortened with an ellipsis and the "GRIPIMAGE" grip.
// Owner-drawn panels are handed to OnDrawPanel over the skinned frame. It
// holds child controls (the main window's check boxes). With no skin loaded
// it paints as the plain status bar does.
#pragma once

#include <windows.h>

#include "classlib/ComCtrls.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

class TsStatusBar : public TsSkinnedControl<TStatusBar> {
 public:
  explicit TsStatusBar(TComponent* owner);

 protected:
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;
  void PaintWindow(HDC dc) override;
  // Skinned while the cache is being built, the plain drawing otherwise.
  void DrawPanel(TStatusPanel* panel, const TRect& rect) override;

 private:
  // Rebuilds the cache when it is out of date; false while painting is
  // suspended.
  bool RenderCache();
  void PaintPanels();
  // A panel (null: the simple text) in `drawn`, the rectangle it is given.
  void PaintSkinnedPanel(TStatusPanel* panel, const TRect& drawn);
  void PaintDivider(int right);
  void PaintGrip();
  void CopyBorders(HDC dc);
  bool SkinUsable();

  TCanvas* cacheCanvas_ = nullptr;  // set while the panels are painted
};

}  // namespace kv
