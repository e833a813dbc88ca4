#include "skin/core/sFade_win.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "classlib/PlatformCalls.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

constexpr unsigned StepInterval = 10;  // ms

LRESULT PerformCommand(TControl* control, unsigned code, LPARAM lParam = 0) {
  const TOwnAddress own(lParam);
  return control->Perform(SM_ALPHACMD, CommandWParam(code), lParam);
}

bool Alive(TControl* control) { return control && !control->HasState(csDestroying); }

bool ApplicationRunning() { return !Application || !Application->Terminated(); }

// The DC a control is painted on: its window's, or its parent's moved to the
// control's place for a control without a window. Saved and given back on
// every path.
class TControlDC {
 public:
  explicit TControlDC(TControl* control) {
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (windowed) {
      if (windowed->HandleAllocated()) wnd_ = windowed->Handle();
    } else if (control->Parent() && control->Parent()->HandleAllocated()) {
      wnd_ = control->Parent()->Handle();
    }
    if (!wnd_) return;
    dc_ = GetDC(wnd_);
    saved_ = SaveDC(dc_);
    if (!windowed) SetViewportOrgEx(dc_, control->Left(), control->Top(), nullptr);
  }
  ~TControlDC() {
    if (!dc_) return;
    RestoreDC(dc_, saved_);
    ReleaseDC(wnd_, dc_);
  }
  TControlDC(const TControlDC&) = delete;
  TControlDC& operator=(const TControlDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HWND wnd_ = nullptr;
  HDC dc_ = nullptr;
  int saved_ = 0;
};

}  // namespace

bool AnimEffectEnabled(TacAnimatEvent event, TacAnimatEvents events, TsSkinManager* manager) {
  if (!manager) manager = DefaultManager;
  const TacBtnEvents managerEvents = manager ? manager->AnimEffects.Buttons.Events : 0;
  return AnimEffectEnabled(event, events, managerEvents);
}

// --- fade timer ------------------------------------------------------------------------

TsFadeTimer::TsFadeTimer(TComponent* owner) : TTimer(owner) {
  SetDirection(0);
  // The work is in the overridden tick; a handler keeps the timer running.
  SetOnTimer([](TObject*) {});
}

void TsFadeTimer::SetDirection(int direction) {
  direction_ = direction;
  if (step_ < 0) step_ = 1;
  SetEnabled(direction != 0);
}

TControl* TsFadeTimer::LiveControl() const {
  TControl* control = skinData_ ? skinData_->FadeControl() : nullptr;
  return Alive(control) ? control : nullptr;
}

void TsFadeTimer::Setup(TacFadeTarget* skinData) {
  skinData_ = skinData;
  TControl* control = LiveControl();
  TBitmap* cache = skinData->FadeCache();
  if (control && skinData->FadeBGChanged() && (!cache || cache->Empty()))
    PerformCommand(control, cmdFadeStep);
  cache = skinData->FadeCache();
  if (cache)
    oldImage_.Assign(*cache);
  else
    oldImage_.SetSize(0, 0);
  SetInterval(StepInterval);
  iterations_ = skinData->FadingIterations();
  // The direction of the previous fade decides how far this one goes.
  if (direction_ == 1)
    iterations_ = step_;
  else if (direction_ == 2)
    iterations_ -= step_;
}

bool TsFadeTimer::Finished() {
  TControl* control = LiveControl();
  if (control && ApplicationRunning()) {
    if (step_ >= 0 && step_ <= iterations_) return false;
    PerformCommand(control, cmdFadeFinished);
    return true;
  }
  SetDirection(0);
  return false;
}

void TsFadeTimer::Timer() {
  if (!skinData_ || HasState(csDestroying)) return;
  // A step pumps messages while the control paints, so ticks can nest.
  ++tickDepth_;
  if (!Finished() && (direction_ == 1 || direction_ == 2)) FadeStep(this);
  --tickDepth_;
  // Last: nothing of the timer may be touched after this.
  if (freeAfterTick_ && tickDepth_ == 0) Free();
}

void StartFade(TsFadeTimer*& fadeTimer, TacFadeTarget* skinData, bool fast, int direction) {
  if (!skinData->FadingEnabled()) return;
  TControl* control = skinData->FadeControl();
  if (!Alive(control)) return;
  if (fadeTimer) {
    fadeTimer->step_ = skinData->FadingIterations();
  } else {
    fadeTimer = Create<TsFadeTimer>(control);
    fadeTimer->SetEnabled(false);
    fadeTimer->step_ = 1;
  }
  fadeTimer->Setup(skinData);
  if (fast) fadeTimer->iterations_ /= 2;
  if (fadeTimer->step_ >= fadeTimer->iterations_ || fadeTimer->step_ < 1) fadeTimer->step_ = 1;
  PerformCommand(control, cmdFadeStep);
  // The control may have stopped the fade while painting its new state.
  if (fadeTimer) fadeTimer->SetDirection(direction);
}

void StopFade(TsFadeTimer*& fadeTimer) {
  TsFadeTimer* timer = fadeTimer;
  if (!timer || timer->HasState(csDestroying) || timer->freeAfterTick_) return;
  timer->SetEnabled(false);
  timer->direction_ = 0;
  fadeTimer = nullptr;
  if (timer->tickDepth_ > 0)
    timer->freeAfterTick_ = true;
  else
    timer->Free();
}

void FadeStep(TsFadeTimer* timer) {
  if (!timer || timer->freeAfterTick_) return;
  TControl* control = timer->LiveControl();
  if (!control || timer->iterations_ == 0) return;
  TacFadeTarget* skinData = timer->skinData_;
  if (!control->Enabled()) {
    timer->SetEnabled(false);
    timer->iterations_ = 0;
    skinData->SetFadeBGChanged(true);
    control->Invalidate();
    return;
  }
  TBitmap* cache = skinData->FadeCache();
  std::unique_ptr<TBitmap> picture =
      cache ? BlendFadeStep(timer->oldImage_, *cache, FadeFactor(timer->step_, timer->iterations_))
            : nullptr;
  if (!picture) {
    // Resized (or lost its cache) mid-fade: the old picture no longer fits.
    timer->SetDirection(0);
    timer->iterations_ = 0;
    skinData->SetFadeBGChanged(true);
    control->Repaint();
    return;
  }
  {
    const TControlDC dc(control);
    if (dc.Handle() &&
        PerformCommand(control, cmdOfferFadeImage, reinterpret_cast<LPARAM>(picture.get())) == 0) {
      TBitmapCanvas canvas(*picture);
      BitBlt(dc.Handle(), 0, 0, picture->Width(), picture->Height(), canvas.Handle(), 0, 0,
             SRCCOPY);
    }
  }
  ++timer->step_;
}

void RepaintWithFade(TsFadeTimer*& fadeTimer, TacFadeTarget* skinData, bool fast, int direction,
                     bool allowFade) {
  if (!skinData->FadeSkinAvailable()) return;
  TControl* control = skinData->FadeControl();
  if (!Alive(control)) return;
  const bool fade = allowFade && !SkinChanging && !AnimationsOff && skinData->FadingEnabled() &&
                    skinData->FadeCache() && !skinData->FadeBGChanged();
  skinData->SetFadeBGChanged(true);
  if (fade) {
    StartFade(fadeTimer, skinData, fast, direction);
  } else {
    StopFade(fadeTimer);
    control->Repaint();
  }
  skinData->FadeShowGlow(fast);
}

// --- animation timer -------------------------------------------------------------------

TsAnimTimer::TsAnimTimer(TComponent* owner) : TTimer(owner) {
  SetEnabled(false);
  SetOnTimer([](TObject*) {});
}

void TsAnimTimer::Setup(TacFadeTarget* skinData) {
  skinData_ = skinData;
  SetInterval(StepInterval);
  Iterations = skinData->FadingIterations();
}

void TsAnimTimer::DoStep() {
  TControl* control = skinData_ ? skinData_->FadeControl() : nullptr;
  TBitmap* cache = skinData_ ? skinData_->FadeCache() : nullptr;
  if (!busy_ && Alive(control) && Iterations != 0 && Step >= 0 && cache) {
    busy_ = true;
    std::unique_ptr<TBitmap> mixed = BlendFadeStep(Source, *cache, FadeFactor(Step, Iterations));
    if (mixed) {
      Work.Assign(*mixed);
      Repaint();
    }
    busy_ = false;
  }
  ++Step;
}

void TsAnimTimer::Repaint() {
  TControl* control = skinData_->FadeControl();
  PerformCommand(control, cmdSetSuspended, 0);
  PerformCommand(control, cmdRepaintNow);
}

bool TsAnimTimer::Finished() {
  TControl* control = skinData_ ? skinData_->FadeControl() : nullptr;
  if (!Alive(control) || !ApplicationRunning()) {
    SetEnabled(false);
    return true;
  }
  if (Step >= 0 && Step <= Iterations) return false;
  PerformCommand(control, cmdFadeFinished);
  return true;
}

void TsAnimTimer::Timer() {
  if (!Finished()) DoStep();
}

// --- layered show ------------------------------------------------------------------

namespace {

constexpr unsigned LayeredFrameMs = 8;
// The temporary window of a layered show, as the provider's other helper
// windows are marked.
constexpr intptr_t HelperWindowTag = -98;

void AddExStyle(HWND wnd, LONG_PTR style) {
  SetWindowLongPtrW(wnd, GWL_EXSTYLE, GetWindowLongPtrW(wnd, GWL_EXSTYLE) | style);
}

// The premultiplied image onto the layered window at Pos, with the
// constant alpha on top of the image's own.
void PushImage(HWND wnd, TBitmap& image, POINT pos, int alpha) {
  const TScreenDC screen;
  TBitmapCanvas canvas(image);
  POINT src{0, 0};
  SIZE size{image.Width(), image.Height()};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), AC_SRC_ALPHA};
  PlatformCalls().UpdateLayeredWindow(wnd, screen.Handle(), &pos, &size, canvas.Handle(), &src, 0,
                                      &blend, ULW_ALPHA);
}

// The form with its frame where the border window shows it: the client
// area after the shadow, the skin's border and title, opaque; the shadow is
// the provider's, which it gives the border window itself.
void PaintFormImage(TBitmap& image, TCustomForm* form, TacFormProvider* provider) {
  HWND wnd = form->Handle();
  const RECT shadow = provider->ShadowMargins();
  const int x = shadow.left + FormServices().FrameBorderWidth(wnd, true, true);
  const int y = shadow.top + provider->TitleBarHeight(true);
  RECT frame, client{0, 0, 0, 0};
  GetWindowRect(wnd, &frame);
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&client), 1);
  PaintControlToBitmap(&image, form, x - (client.left - frame.left), y - (client.top - frame.top),
                       provider);
}

}  // namespace

bool AnimateShowLayered(TWinControl* control, int steps) {
  auto* form = dynamic_cast<TCustomForm*>(control);
  TacFormProvider* provider = form != nullptr ? ProviderOfForm(form) : nullptr;
  if (provider == nullptr || !provider->HasBorderForm() || !LayeredWindowsAvailable() ||
      PlatformCalls().UpdateLayeredWindow == nullptr)
    return false;
  HWND border = provider->BorderFormWindow();
  RECT bounds{};
  if (border == nullptr || !GetWindowRect(border, &bounds)) return false;
  const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
  if (w <= 0 || h <= 0) return false;
  HWND wnd = form->Handle();
  const POINT place{bounds.left, bounds.top};
  constexpr int maxAlpha = 255;  // our forms have no alpha of their own

  Owned<TForm> fader;  // freed on every path, after the form's redraw
  {
    const TacFlagGuard lock(GlobalRedrawLock);
    provider->PaintFrameCache();
    TBitmap image(w, h, pf32bit);
    PaintFormImage(image, form, provider);
    const std::unique_ptr<TBitmap> shown = PremultipliedCopy(image);

    fader = CreateOwned<TForm>();
    fader->SetBorderStyle(bsNone);
    fader->SetTag(HelperWindowTag);
    fader->SetBounds(bounds.left, bounds.top, w, h);
    HWND top = fader->Handle();
    AddExStyle(top, WS_EX_LAYERED | WS_EX_NOACTIVATE);
    AddExStyle(border, WS_EX_LAYERED | WS_EX_NOACTIVATE);
    HWND after = HWND_TOPMOST;
    if (!(GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
      after = GetWindow(wnd, GW_HWNDPREV);
      if (after == nullptr) after = HWND_TOP;
    }
    SetWindowPos(top, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    int alpha = steps > 0 ? 0 : maxAlpha;
    PushImage(top, *shown, place, alpha);
    ShowWindow(top, SW_SHOWNOACTIVATE);
    for (int i = 0; i < steps + 1 && steps > 0; ++i) {
      // The last frame is the whole image, whatever the rounding of the steps.
      alpha = i == steps ? maxAlpha : std::min(alpha + maxAlpha / steps, maxAlpha);
      PushImage(top, *shown, place, alpha);
      if (i < steps) Sleep(LayeredFrameMs);
    }
    ShowWindow(border, SW_HIDE);
    SetWindowPos(border, nullptr, bounds.left, bounds.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PushImage(border, *shown, place, maxAlpha);
  }
  SendMessageW(wnd, WM_SETREDRAW, 1, 0);
  if (HRGN region = provider->BuildFrameRegion(0, 0)) SetWindowRgn(border, region, FALSE);
  RedrawWindow(wnd, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  fader.reset();
  ShowWindow(border, SW_SHOWNA);
  SetWindowPos(border, wnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

}  // namespace kv
