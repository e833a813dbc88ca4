// Extended borders of a skinned system dialog: the border window around it,
// the shadow margins and picture it shows (the dialog's frame cache), and
// the dialog's side of the border window's questions.
#include "skin/forms/acDialogWndBorder_win.h"

#include <vector>

#include "skin/core/sCommonData_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acBorderForm_win.h"

namespace kv {

namespace {

class TacDialogBorderForm : public TacDialogBorder, public TacBorderFormOwner {
 public:
  explicit TacDialogBorderForm(TacDialogWnd& dialog) : d_(dialog), border_(*this) {}

  // --- what the dialog asks ---

  HWND Handle() const override { return border_.Handle(); }
  void Sync(bool repaint) override { border_.SyncWithOwner(repaint, 255); }
  TRect ShadowMargins() const override {
    return d_.SkinManager != nullptr ? ExtBorderShadowMargins(*d_.SkinManager) : TRect{};
  }
  void PaintShadow(TBitmap& cache, const TRect& margins, bool active) override {
    if (d_.SkinManager != nullptr)
      PaintExtBorderShadow(cache, *d_.SkinManager, margins, active,
                           d_.SkinData != nullptr ? d_.SkinData->BorderIndex : -1);
  }
  bool DrawsFrame() const override {
    return d_.SkinManager != nullptr && BorderWindowDrawsFrame(*d_.SkinManager, true);
  }
  void PaintFramePicture(TBitmap& cache, const TRect& margins, bool active, int sideBorder,
                         const std::function<void()>& paintTitle) override {
    if (d_.SkinManager == nullptr) return paintTitle();
    PaintBorderModeFrame(cache, *d_.SkinManager, margins, active, sideBorder, paintTitle);
  }
  int HitTest(TMessage& m) override { return border_.HitTest(m); }

  // --- what the border window asks ---

  HWND OwnerWnd() const override { return d_.CtrlHandle; }

  TSync SyncState() const override {
    HWND wnd = d_.CtrlHandle;
    if (d_.Destroyed || wnd == nullptr || !IsWindow(wnd)) return TSync::Drop;
    if (!IsWindowVisible(wnd) || IsIconic(wnd)) return TSync::Hide;
    return TSync::Now;
  }
  void DropBorderForm() override { d_.UpdateBorderForm(false); }

  TBitmap* FrameImage() const override {
    return d_.SkinData != nullptr ? d_.SkinData->CacheBmp.get() : nullptr;
  }
  bool FrameImageStale() const override {
    const TBitmap* cache = FrameImage();
    if (cache == nullptr || d_.SkinData->BGChanged) return true;
    const TsFrameGeometry g = d_.Geometry();
    return cache->Width() != g.FrameWidth() || cache->Height() != g.FrameCacheHeight();
  }
  void PaintFrame() override { d_.PaintAll(); }

  TFrameInfo FrameInfo() const override { return FrameInfoOf(d_.Geometry()); }

  TacBorderHitFrame HitFrame() const override {
    const TsFrameGeometry g = d_.Geometry();
    buttons_ = d_.PlacedButtons();
    TacBorderHitFrame f;
    if (const TBitmap* image = FrameImage()) f.Size = {image->Width(), image->Height()};
    f.Shadow = g.State.ShadowMargins;
    f.BorderWidth = g.FrameBorderWidth(true);
    f.TitleHeight = g.TitleBarHeight(true);
    if (f.TitleHeight > 0) f.TitleIcon = d_.TitleIconRect();
    f.Form = g.State.Form;
    f.ThickFrame = g.State.ThickFrame;
    f.Enabled = IsWindowEnabled(d_.CtrlHandle) != FALSE;
    f.HelpButton = HasHelp(d_.DialogState());
    f.DialogOwner = true;
    f.Buttons = buttons_;
    return f;
  }
  void SetHotButton(int hitCode, bool repaint) override { d_.SetHotButton(hitCode, repaint); }
  void FreeButtonAnimations() override { d_.StopButtonAnimations(); }

  bool TitleTogglesMaximise() const override {
    const TacDialogState d = d_.DialogState();
    return CanMaximize(d) || CanRestore(d);
  }
  void AfterTitleToggle() override {
    if (IsWindow(d_.CtrlHandle)) d_.SystemMenu->UpdateItems();
  }
  void EndPendingMove() override {
    if (GetCapture() == d_.CtrlHandle) ReleaseCapture();
  }

 private:
  TacDialogWnd& d_;
  mutable std::vector<TsPlacedTitleButton> buttons_;
  TacBorderForm border_;  // last: it asks the members above while it goes
};

}  // namespace

std::unique_ptr<TacDialogBorder> NewDialogBorder(TacDialogWnd& dialog) {
  if (dialog.CtrlHandle == nullptr || dialog.SkinManager == nullptr || dialog.SkinData == nullptr)
    return nullptr;
  auto border = std::make_unique<TacDialogBorderForm>(dialog);
  // The picture carries the shadow's alpha from now on.
  if (TBitmap* cache = dialog.SkinData->CacheBmp.get()) cache->SetPixelFormat(pf32bit);
  return border;
}

}  // namespace kv
