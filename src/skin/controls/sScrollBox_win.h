// The skinned scrolling container: background and border from the skin
// (code 58), scroll bars drawn by a scroll adapter while a skin is usable.
// A scroll done with the skinned bars is bracketed by the before- and
// after-scroll commands: the box may hold its redrawing between them, and
// the uncovered strip (or the whole box over a parent picture) is redrawn
// after. With no skin loaded it is the plain scroll box.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "classlib/ExtCtrls.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

using TsPaintEvent = std::function<void(TObject* Sender, TBitmap* Bmp)>;

class TsScrollBox : public TsSkinnedControl<TScrollBox> {
 public:
  explicit TsScrollBox(TComponent* owner);
  ~TsScrollBox() override;

  void SetParent(TWinControl* parent) override;

  // Called with the cache after its background is painted.
  TsPaintEvent OnPaint;
  TNotifyEvent OnBeforeScroll;
  TNotifyEvent OnAfterScroll;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  // The wheel scrolls the box by its vertical bar's Increment per notch when
  // the focused control does not take it.
  bool AutoMouseWheel() const { return autoMouseWheel_; }
  void SetAutoMouseWheel(bool value);

  // Drawing on the box's window outside its painting; owned by the box.
  TCanvas* Canvas() const { return canvas_.get(); }

  // The non-client frame: BorderWidth, plus the sunken edge of bsSingle.
  int FrameWidth() const;
  TacScrollWnd* ScrollAdapter() const { return adapter_; }
  // Redrawing held for a skinned scroll in progress.
  bool ScrollFrozen() const { return frozen_; }

 protected:
  void CreateHandleDone() override;
  void WndProc(TMessage& m) override;
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;
  bool DoMouseWheel(TShiftState shift, int delta, TPoint mousePos) override;

 private:
  TPoint ClientOffset();
  void PaintNonClient(HDC dc);
  void PaintPlainFrame();
  bool PlainMode() const;
  void BeforeScroll(int kind);
  void AfterScroll(int kind);
  void Thaw();

  TacScrollWnd* adapter_ = nullptr;
  std::unique_ptr<TControlCanvas> canvas_ = std::make_unique<TControlCanvas>(this);
  bool autoMouseWheel_ = false;
  bool frozen_ = false;
  bool paintLocked_ = false;
  // Between the before- and after-scroll commands: the scroll message
  // carries the whole position in LParam.
  bool skinnedScroll_ = false;
  int positionBefore_ = 0;
};

}  // namespace kv
