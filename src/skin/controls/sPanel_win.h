// The skinned panel: a container whose look is the children's background.
// While its look depends on what lies below it keeps it in its cache and
// repaints from there; otherwise it rebuilds the picture at every paint.
// With no skin loaded it paints as the plain panel does.
#pragma once

#include <windows.h>

#include <functional>

#include "classlib/ExtCtrls.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

using TPaintEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;

class TsPanel : public TsSkinnedControl<TPanel> {
 public:
  explicit TsPanel(TComponent* owner);

  // Called with the canvas painted on: the cache's, or the window's while
  // the panel paints straight into it.
  TPaintEvent OnPaint;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // Bevels and border width: how far the caption keeps from the edge.
  int Inset() const;
  virtual void PaintToDC(HDC dc, bool resumeChildren);
  // The caption centred vertically in r, on canvas or else on dc.
  virtual void WriteCaption(TRect r, TCanvas* canvas, HDC dc);

 protected:
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool UnskinnedMessage(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override { PaintToDC(dc, true); }
  void Paint() override;

 private:
  // Kept in the cache while the look depends on the parent.
  bool CachedMode();
  // Where the client area starts inside the window (the non-client border).
  TPoint ClientOffset();
  void PaintBorderStrips();
  void PaintDirect(HDC dc);
  TRect CaptionRect();
};

}  // namespace kv
