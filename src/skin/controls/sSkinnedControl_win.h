// The skeleton every skinned control stands on: it owns the control's skin
// data and runs each message in one order: the skin commands, the unskinned
// path while no skin is usable, the control's skinned handling (painting its
// cache on WM_PAINT, WM_PRINT and WM_ERASEBKGND by default), the common
// first handler, then the base class. Fades take the skin data as their
// target and are stopped before the control goes. A control freed by a
// handler of its own (a click, a key) is not touched again.
#pragma once

#include <windows.h>

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/PlatformCalls.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sFade_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGlyphUtils_win.h"

namespace kv {

// BeginPaint and EndPaint as a pair, so a paint validates whatever happens
// inside it; a WM_PAINT that brings its own context needs neither.
class TPaintScope {
 public:
  TPaintScope(HWND wnd, HDC given) : wnd_(wnd), dc_(given) {
    if (dc_ == nullptr && wnd_ != nullptr) {
      dc_ = BeginPaint(wnd_, &ps_);
      began_ = true;
    }
  }
  ~TPaintScope() {
    if (began_) EndPaint(wnd_, &ps_);
  }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
  PAINTSTRUCT ps_{};
  bool began_ = false;
};

// WM_SETREDRAW off for the scope, so that only the skinned repaint shows.
class TRedrawLock {
 public:
  explicit TRedrawLock(TWinControl* control, bool active = true)
      : wnd_(active && control->HandleAllocated() ? control->Handle() : nullptr) {
    if (wnd_ != nullptr) SendMessageW(wnd_, WM_SETREDRAW, FALSE, 0);
  }
  ~TRedrawLock() {
    if (wnd_ != nullptr && IsWindow(wnd_)) SendMessageW(wnd_, WM_SETREDRAW, TRUE, 0);
  }
  TRedrawLock(const TRedrawLock&) = delete;
  TRedrawLock& operator=(const TRedrawLock&) = delete;

 private:
  HWND wnd_;
};

// The window's theme data of a class for the scope; null when visual styles
// are off.
class TThemeData {
 public:
  TThemeData(HWND wnd, const wchar_t* classList)
      : theme_(PlatformCalls().IsThemeActive() ? PlatformCalls().OpenThemeData(wnd, classList)
                                               : nullptr) {}
  ~TThemeData() {
    if (theme_ != nullptr) PlatformCalls().CloseThemeData(theme_);
  }
  TThemeData(const TThemeData&) = delete;
  TThemeData& operator=(const TThemeData&) = delete;
  HTHEME Handle() const { return theme_; }

 private:
  HTHEME theme_;
};

// The whole cache bitmap copied to dc at (0, 0).
void CopyWholeCache(const TsCommonData* sd, HDC dc);

// Whether a container paints straight into its window, keeping no picture:
// its own colour, or a look that needs neither its own picture nor its
// parent's (the flags it keeps for its children, which every new skin
// rebuilds).
bool PaintsPlain(const TsCommonData* sd);
// A window made in a container that shows no skin (the skin has no section
// for the container) is offered to the form all the same: the form's skin
// may have one for the new window, as it has when the window is made while
// the container shows a skin. Nothing while a new skin is being announced.
void OfferNewChildToForm(TWinControl* container, const TMessage& m);
// A plain container's look straight into dc, whose origin is the window's
// corner, and nothing kept: the border mask (painted through a bitmap made
// for it and freed after), inside it the section's colour (the control's own
// with CustomColor) or, for a fully see-through section, the parent's picture
// where the parent gives one. inside gets the rectangle within the border.
void PaintPlainSkin(TWinControl* control, TsCommonData* sd, HDC dc, TRect* inside = nullptr);
// A plain container's whole client straight into the DC: the plain look
// under its windowless children (the client area starts at clientOffset in
// the window), `over` drawn on it in the window's coordinates, then the
// windowless children.
void PaintPlainClient(TWinControl* control, TsCommonData* sd, HDC dc, TPoint clientOffset,
                      const std::function<void(HDC)>& over = {});

// A hint popping up over a pressed control would spoil its press picture:
// the application's hints are off from the press until it is painted. One
// saved value serves every control; restoring puts back only what hiding
// switched off.
void HideHintsForPress();
void RestoreHintsAfterPress();

// DrawText's right-to-left flags for a control's text: right alignment where
// the control mirrors, right-to-left reading where it reads so.
inline UINT BiDiTextFlags(const TControl& control) {
  return (control.UseRightToLeftAlignment() ? DT_RIGHT : 0u) |
         (control.UseRightToLeftReading() ? DT_RTLREADING : 0u);
}

// What the skin's text painter needs of a control: its section and manager,
// the section it takes its font colours from and its own font.
TsSkinTextSource ControlTextSource(TControl* control, TsCommonData* sd);

// What the glyph painter reads of a skinned button (bit or speed button):
// their members of the same names.
template <class Button>
class TsButtonGlyphSource : public IGlyphButton {
 public:
  explicit TsButtonGlyphSource(Button* button) : b_(button) {}
  TRect GlyphRect() override { return b_->CalcGlyphRect(); }
  int CurrentState() override { return b_->ButtonState(); }
  bool Down() override { return b_->GetDown(); }
  TBitmap* Glyph() override { return b_->UsesImageList() ? nullptr : &b_->Glyph(); }
  int NumGlyphs() override { return b_->NumGlyphs(); }
  TCustomImageList* Images() override { return b_->UsesImageList() ? b_->Images() : nullptr; }
  int ImageIndex() override { return b_->ImageIndex(); }
  bool Enabled() override { return b_->Enabled(); }
  int Blend() override { return b_->Blend(); }
  bool Grayed() override { return b_->Grayed(); }
  int DisabledGlyphKind() override { return b_->DisabledGlyphKind(); }
  bool Reflected() override { return b_->Reflected(); }
  TBitmap* CacheBmp() override {
    return Target != nullptr ? Target : b_->SkinData()->CacheBmp.get();
  }
  bool SkinAvailable() override { return kv::SkinAvailable(b_->SkinData(), false); }
  bool ControlIsHot() override { return kv::ControlIsHot(b_->SkinData()); }
  TColor SectionColor() override {
    const TsGeneralData* section = b_->SkinData()->Section();
    return section != nullptr ? section->Color : static_cast<TColor>(ColorToRGB(clBtnFace));
  }

  // The picture painted on instead of the cache (the unskinned drawing).
  TBitmap* Target = nullptr;

  // The glyph on a context that holds the button's plain look so far: the
  // painter works on bitmaps, so the pixels go through a picture and back,
  // and a blend or a reflection falls on the frame drawn.
  void PaintOnDC(HDC dc, int width, int height) {
    if (dc == nullptr || width < 1 || height < 1) return;
    TBitmap picture(width, height, pf24bit);
    {
      TBitmapCanvas canvas(picture);
      BitBlt(canvas.Handle(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
      GdiFlush();
    }
    Target = &picture;
    PaintButtonGlyph(this, nullptr);
    Target = nullptr;
    TBitmapCanvas canvas(picture);
    BitBlt(dc, 0, 0, width, height, canvas.Handle(), 0, 0, SRCCOPY);
  }

 private:
  Button* b_;
};

template <class Base>
requires std::derived_from<Base, TControl>
class TsSkinnedControl : public Base {
 public:
  TsCommonData* SkinData() const { return skinData_.get(); }

  void AfterConstruction() override {
    Base::AfterConstruction();
    SkinDataLoaded(skinData_.get());
  }

 protected:
  TsSkinnedControl(TComponent* owner, int controlType, bool withCache,
                   std::uint16_t capabilities = 0)
      : Base(owner), skinData_(std::make_unique<TsCommonData>(this, withCache)) {
    skinData_->ControlType = controlType;
    skinData_->Capabilities = capabilities;
  }

  ~TsSkinnedControl() override {
    StopFade(FadeTimer);
    skinData_.reset();
  }

  void Loaded() override {
    Base::Loaded();
    SkinDataLoaded(skinData_.get());
  }

  void WndProc(TMessage& m) override {
    // A handler the message runs (a click, a key) may free the control:
    // nothing of it is touched once it is gone.
    const TLifeToken life = this->LifeToken();
    RunMessage(m);
    if (life.Alive()) MessageDone(m);
  }

  // The control's own commands come first; the default is the common
  // handling. Anything not answered goes on through the rest of the order.
  virtual TacCommandOutcome SkinCommand(TMessage& m) { return HandleSkinCommand(m, SkinData()); }
  // While the control shows no skin; true when the message is done.
  virtual bool UnskinnedMessage(TMessage& /*m*/) { return false; }
  // With a usable skin; true when the message is done.
  virtual bool SkinnedMessage(TMessage& m) {
    switch (m.Msg) {
      case WM_PAINT: {
        HWND wnd = nullptr;
        if constexpr (std::derived_from<Base, TWinControl>) wnd = this->Handle();
        const TPaintScope paint(wnd, reinterpret_cast<HDC>(m.WParam));
        if (paint.Handle() != nullptr) PaintToDC(paint.Handle());
        m.Result = 0;
        return true;
      }
      case WM_PRINT:
        if (m.WParam != 0) PaintToDC(reinterpret_cast<HDC>(m.WParam));
        return true;
      case WM_ERASEBKGND:
        m.Result = 1;
        return true;
      default:
        return false;
    }
  }
  // After the base class handled a message.
  virtual void AfterMessage(TMessage& /*m*/) {}
  // After every message, whichever way it went, while the control exists.
  virtual void MessageDone(TMessage& /*m*/) {}

  // Runs one of the control's own events; false when its handler freed the
  // control.
  bool RunEvent(const TNotifyEvent& event) { return RunOwnEvent(this->LifeToken(), event, this); }

  // Rebuilds the cache for the present look and clears BGChanged.
  virtual void PrepareCache() { SkinData()->BGChanged = false; }
  // The look on dc: the cache, rebuilt when out of date.
  virtual void PaintToDC(HDC dc) {
    TsCommonData* sd = SkinData();
    sd->Updating = PaintingSuspended(sd);
    if (sd->Updating) return;
    if (sd->BGChanged) PrepareCache();
    CopyWholeCache(sd, dc);
  }

  // The running fade, owned by the control; null when none runs.
  TsFadeTimer* FadeTimer = nullptr;

 private:
  void RunMessage(TMessage& m) {
    TsCommonData* sd = skinData_.get();
    if (sd == nullptr) return Base::WndProc(m);
    const bool command = m.Msg == SM_ALPHACMD;
    if (command && RefuseForeignAddress(m)) return;
    if (command && m.WParamHi() == cmdGetSkinData) {
      m.Result = reinterpret_cast<LRESULT>(sd);
      return;
    }
    // A control the skin has no section for paints plainly and at once: it
    // never holds up its children's painting.
    if (command && m.WParamHi() == cmdNeedsRepaint && !SkinAvailable(sd, true)) {
      m.Result = 0;
      return;
    }
    if (command && SkinCommand(m) == coAnswered) return;
    const TLifeToken life = this->LifeToken();
    if (!ControlReadyToPaint(this) || !SkinAvailable(sd, true)) {
      if (!UnskinnedMessage(m)) Base::WndProc(m);
      if (!life.Alive()) return;
      if constexpr (std::derived_from<Base, TWinControl>) OfferNewChildToForm(this, m);
      return;
    }
    if (SkinnedMessage(m)) return;
    // The commands ran above; the common handler must not run them twice.
    if (!command && PreviewControlMessage(m, sd)) return;
    Base::WndProc(m);
    if (life.Alive()) AfterMessage(m);
  }

  std::unique_ptr<TsCommonData> skinData_;
};

}  // namespace kv
