#include "skin/controls/sCheckBox_win.h"

#include <algorithm>

#include "classlib/ImgList.h"
#include "classlib/PlatformCalls.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/geometry/sButtonLayout.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

namespace {

// The toolkit's codes for the two kinds; the engine picks "CHECKBOX" and
// "RADIOBUTTON" for them.
constexpr int ControlTypeCheckBox = 32;
constexpr int ControlTypeRadioButton = 33;
// Fade directions: towards the new state, or back.
constexpr int FadeIn = 1, FadeOut = 2;

// One frame of a skin mask: its own picture holds three states over a mask
// half; one cut from the master bitmap has its counts.
TSize MaskGlyphSize(const TsSkinModel& skin, int index) {
  if (!skin.IsMaskIndexValid(index)) return {0, 0};
  const TsMaskData& mask = skin.MaskData[index];
  if (mask.Bmp) return CheckGlyphSize(mask.Bmp->Width(), mask.Bmp->Height());
  return MaskFrameSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
}

const TsSkinModel* SkinOf(const TsCommonData* sd) {
  TsSkinManager* manager = sd->SkinManager();
  return manager != nullptr ? &manager->Skin() : nullptr;
}

}  // namespace

// --- shared ----------------------------------------------------------------------------

template <class Base>
TsCheckControl<Base>::TsCheckControl(TComponent* owner, int controlType)
    : TsSkinnedControl<Base>(owner, controlType, true) {}

template <class Base>
TsCheckControl<Base>::~TsCheckControl() {
  StopFade(this->FadeTimer);
}

template <class Base>
void TsCheckControl<Base>::Loaded() {
  TsSkinnedControl<Base>::Loaded();
  AdjustSize();
}

template <class Base>
void TsCheckControl<Base>::SetMargin(int value) {
  if (margin_ == value) return;
  margin_ = value;
  AdjustSize();
  this->Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetDisabledKind(TsDisabledKind value) {
  if (disabledKind_ == value) return;
  disabledKind_ = value;
  InvalidateControlSkin(this->SkinData());
}

template <class Base>
void TsCheckControl<Base>::SetGlyphChecked(const TBitmap& value) {
  glyphChecked_.Assign(value);
  AdjustSize();
  InvalidateControlSkin(this->SkinData());
}

template <class Base>
void TsCheckControl<Base>::SetGlyphUnChecked(const TBitmap& value) {
  glyphUnChecked_.Assign(value);
  AdjustSize();
  this->Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetShowFocus(bool value) {
  if (showFocus_ == value) return;
  showFocus_ = value;
  this->Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetTextIndent(int value) {
  if (textIndent_ == value) return;
  textIndent_ = value;
  AdjustSize();
  this->Invalidate();
}

template <class Base>
void TsCheckControl<Base>::SetAutoSize(bool value) {
  if (autoSize_ == value) return;
  autoSize_ = value;
  AdjustSize();
}

template <class Base>
bool TsCheckControl<Base>::CanAutoSize(int& newWidth, int& newHeight) {
  // Without a skin the system button keeps the size it was given.
  if (!autoSize_ || this->HasState(csLoading) || !SkinAvailable(this->SkinData(), true))
    return false;
  TsCheckMetrics m;
  m.Glyph = GlyphSize();
  m.Margin = margin_;
  m.TextIndent = textIndent_;
  const std::string caption = this->Caption();
  TSize text{0, 0};
  if (!caption.empty()) GetFontTextExtent(this->Font()->Handle(), caption, text);
  const TSize size = CheckAutoSize(m, text, !caption.empty());
  newWidth = size.cx;
  newHeight = size.cy;
  return true;
}

template <class Base>
void TsCheckControl<Base>::AdjustSize() {
  SetBounds(this->Left(), this->Top(), this->Width(), this->Height());
}

template <class Base>
void TsCheckControl<Base>::SetBounds(int left, int top, int width, int height) {
  CanAutoSize(width, height);
  TsSkinnedControl<Base>::SetBounds(left, top, width, height);
}

template <class Base>
TSize TsCheckControl<Base>::GlyphSize() {
  const TSize images = ImageListGlyphSize();
  if (images.cx > 0) return images;
  if (glyphChecked_.Width() >= 1)
    return CheckGlyphSize(glyphChecked_.Width(), glyphChecked_.Height());
  const TsSkinModel* skin = SkinOf(this->SkinData());
  const TSize mask = skin != nullptr ? MaskGlyphSize(*skin, LayoutMaskIndex()) : TSize{0, 0};
  // Without a glyph of any kind the layout keeps room for a plain box.
  return mask.cx > 0 && mask.cy > 0 ? mask : TSize{kPlainBoxSize, kPlainBoxSize};
}

template <class Base>
TRect TsCheckControl<Base>::CheckRect() {
  TsCheckMetrics m;
  m.Width = this->Width();
  m.Height = this->Height();
  m.Glyph = GlyphSize();
  m.Margin = margin_;
  m.GlyphAtLeft = GetControlsAlignment() == taRightJustify;
  return CheckGlyphRect(m);
}

template <class Base>
int TsCheckControl<Base>::GlyphState() {
  return CheckGlyphState(pressed_, ControlIsHot(this->SkinData()), GetReadOnly());
}

// --- painting --------------------------------------------------------------------------

template <class Base>
void TsCheckControl<Base>::DrawCaption(TBitmap& cache, bool hot) {
  const std::string caption = this->Caption();
  if (caption.empty()) return;
  TsCheckMetrics m;
  m.Width = this->Width();
  m.Height = this->Height();
  m.Glyph = GlyphSize();
  m.Margin = margin_;
  m.TextIndent = textIndent_;
  m.WordWrap = this->WordWrap();
  m.GlyphAtLeft = GetControlsAlignment() == taRightJustify;
  m.Radio = IsRadio();
  TBitmapCanvas canvas(cache);
  canvas.Font()->Assign(*this->Font());
  TRect measured{0, 0, CheckCaptionMaxWidth(m), 0};
  {
    const TSelectedObject font(canvas.Handle(), canvas.Font()->Handle());
    DrawTextString(canvas.Handle(), caption, measured,
                   DT_CALCRECT | (m.WordWrap ? DT_WORDBREAK : DT_SINGLELINE));
  }
  const TRect r = CheckCaptionRect(m, {measured.Width(), measured.Height()});
  const TsSkinTextSource source = ControlTextSource(this, this->SkinData());
  canvas.Brush()->SetStyle(bsClear);
  WriteSkinText(canvas, caption, true, r, m.WordWrap ? (DT_WORDBREAK | DT_CENTER) : DT_SINGLELINE,
                source, hot);
  if (this->Focused() && showFocus_)
    DrawDottedFocusRect(canvas.Handle(), CheckFocusRect(r, m.WordWrap));
}

template <class Base>
void TsCheckControl<Base>::DrawGlyph(TBitmap& cache) {
  const TRect place = CheckRect();
  const int state = GlyphState();
  TBitmap listed;
  const bool fromList = ImageListGlyph(listed);
  const TBitmap* custom = fromList ? &listed : nullptr;
  if (custom == nullptr && glyphChecked_.Width() >= 1) {
    // An empty unchecked glyph beside a checked one shows nothing.
    custom = CheckState() == BST_CHECKED ? &glyphChecked_
             : glyphUnChecked_.Empty()   ? nullptr
                                         : &glyphUnChecked_;
    if (custom == nullptr) return;
  }
  if (custom != nullptr) {
    // The published picture keeps its format; the painting works on a copy.
    TBitmap picture(*custom);
    picture.SetPixelFormat(pf24bit);
    const int x = state * place.Width();
    CopyRectWithTransparency(place, {x, 0, x + place.Width(), place.Height()}, &cache, &picture,
                             EmptyBgCacheInfo, false);
    return;
  }
  const TsSkinModel* skin = SkinOf(this->SkinData());
  const int index = GlyphMaskIndex();
  if (skin == nullptr || !skin->IsMaskIndexValid(index)) return;
  DrawMaskState(&cache, {place.Left, place.Top}, state, MakeBgCacheInfo(&cache, 0, 0),
                skin->MaskData[index], skin->MasterBitmap.get(), 1);
}

template <class Base>
void TsCheckControl<Base>::PrepareCache() {
  TsCommonData* sd = this->SkinData();
  if (sd->SkinManager() == nullptr) return;
  PrepareCacheBitmap(sd);
  TBitmap* cache = sd->CacheBmp.get();
  TsBgRequest request;
  TsBgCacheInfo background = MakeBgCacheInfo(cache, 0, 0);
  if (this->Parent() != nullptr) {
    GetControlBackgroundInfo(request, this->Parent(), false);
    BackgroundInfoToCacheInfo(request, background);
  }
  const bool hot = ControlIsHot(sd) && !GetReadOnly();
  PaintSkinDataItem(sd, background, false, hot ? 1 : 0, {0, 0, this->Width(), this->Height()},
                    {this->Left(), this->Top()}, cache);
  DrawCaption(*cache, hot);
  DrawGlyph(*cache);
  if (!this->Enabled()) {
    TsBgCacheInfo parentBg;
    GetParentBgInfo(sd, parentBg);
    ApplyDisabledKind(cache, disabledKind_, this, {this->Left(), this->Top()}, parentBg);
  }
  sd->BGChanged = false;
}

template <class Base>
void TsCheckControl<Base>::PaintToDC(HDC dc) {
  TsCommonData* sd = this->SkinData();
  if (PaintingSuspended(sd)) {
    // The parent's command to go on painting brings the picture.
    SetPaintingSuspended(sd, true);
    return;
  }
  if (this->FadeTimer != nullptr && this->FadeTimer->Enabled()) return;  // the fade paints
  const TSavedDC saved(dc);
  PrepareCache();
  RefreshCacheCorners(sd, 0);
  CopyWholeCache(sd, dc);
}

// --- messages --------------------------------------------------------------------------

template <class Base>
void TsCheckControl<Base>::Fade(TacAnimatEvent event, bool halved) {
  TsCommonData* sd = this->SkinData();
  sd->BGChanged = false;
  const int direction = event == aeMouseEnter || event == aeMouseDown ? FadeIn : FadeOut;
  RepaintWithFade(this->FadeTimer, sd, halved, direction,
                  AnimEffectEnabled(event, animatEvents_, nullptr));
}

template <class Base>
bool TsCheckControl<Base>::Interactive() const {
  return this->Enabled() && !this->HasState(csDesigning);
}

template <class Base>
void TsCheckControl<Base>::TakeFocus() {
  if (this->Focused() || !this->CanFocus()) return;
  const bool saved = this->ClicksDisabled();
  // OnEnter may free the control.
  const TLifeToken life = this->LifeToken();
  this->SetClicksDisabled(true);
  this->SetFocus();
  if (life.Alive()) this->SetClicksDisabled(saved);
}

template <class Base>
TacCommandOutcome TsCheckControl<Base>::SkinCommand(TMessage& m) {
  TsCommonData* sd = this->SkinData();
  const auto ownManager = [&] {
    return reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  };
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (!ownManager()) break;
      StopFade(this->FadeTimer);
      HandleSkinCommand(m, sd);
      return coAnswered;
    case cmdSkinRemoved:
      if (!ownManager()) break;
      StopFade(this->FadeTimer);
      HandleSkinCommand(m, sd);
      if (this->HandleAllocated()) {
        // The system button shows the state again, in the system's look.
        SendMessageW(this->Handle(), BM_SETCHECK, CheckState(), 0);
        if (!this->HasState(csDesigning))
          PlatformCalls().SetWindowTheme(this->Handle(), nullptr, nullptr);
      }
      this->Repaint();
      return coAnswered;
    case cmdSkinRefresh:
      if (!ownManager()) break;
      StopFade(this->FadeTimer);
      HandleSkinCommand(m, sd);
      AdjustSize();
      this->Repaint();
      return coAnswered;
    case cmdFadeFinished:
      StopFade(this->FadeTimer);
      return coAnswered;
    case cmdFadeStep:
      PrepareCache();
      return coPassedOn;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

template <class Base>
bool TsCheckControl<Base>::UnskinnedMessage(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
      // A skin may be there already, with the control not yet shown.
      if (SkinAvailable(this->SkinData(), true)) AdjustSize();
      return false;
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN:
      if (m.Msg == WM_LBUTTONDOWN || m.WParam == VK_SPACE) pressed_ = true;
      return false;
    case WM_LBUTTONUP:
    case WM_KEYUP:
      if (m.Msg == WM_LBUTTONUP || m.WParam == VK_SPACE) pressed_ = false;
      return false;
    case BM_SETCHECK:
    case BM_SETSTATE:
      return GetReadOnly() && pressed_ && !this->HasState(csCreating);
    case WM_LBUTTONDBLCLK:
      return GetReadOnly();
    case CN_COMMAND:
      // The system button's click would change the state of a read-only box.
      return GetReadOnly() && (m.WParamHi() == BN_CLICKED || m.WParamHi() == BN_DOUBLECLICKED);
    default:
      return false;
  }
}

template <class Base>
bool TsCheckControl<Base>::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = this->SkinData();
  if (SkinnedCheckMessage(m)) return true;
  switch (m.Msg) {
    case CM_MOUSEENTER:
      if (Interactive() && !sd->MouseAbove) {
        sd->MouseAbove = true;
        Fade(aeMouseEnter, false);
      }
      return false;
    case CM_MOUSELEAVE:
      if (Interactive()) {
        sd->MouseAbove = false;
        pressed_ = false;
        Fade(aeMouseLeave, false);
      }
      return false;
    case WM_SETFOCUS:
    case CM_ENTER:
      if (this->HasState(csDesigning)) return false;
      if (!this->Enabled()) return true;
      {
        // The system button would draw its own focus frame; OnEnter may
        // free the control.
        const TLifeToken life = this->LifeToken();
        {
          const TRedrawLock lock(this);
          if (!PreviewControlMessage(m, sd)) Base::WndProc(m);
        }
        if (!life.Alive()) return true;
      }
      sd->BGChanged = true;
      if (this->FadeTimer != nullptr)
        FadeStep(this->FadeTimer);
      else
        this->Repaint();
      return true;
    case WM_KILLFOCUS:
    case CM_EXIT:
      if (!Interactive()) return false;
      StopFade(this->FadeTimer);
      {
        const TLifeToken life = this->LifeToken();
        {
          const TRedrawLock lock(this);
          if (!PreviewControlMessage(m, sd)) Base::WndProc(m);
        }
        if (!life.Alive()) return true;
      }
      sd->Focused = false;
      sd->MouseAbove = false;
      InvalidateControlSkin(sd);
      return true;
    case WM_SETTEXT: {
      const TRedrawLock lock(this);
      Base::WndProc(m);
      return true;
    }
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdParentPainted && sd->Updating) {
        sd->Updating = false;
        if (!this->HasState(csDesigning)) this->Repaint();
        return true;
      }
      return false;
    case WM_UPDATEUISTATE:
      if (PlatformCalls().IsThemeActive() && !this->HasState(csDesigning))
        PlatformCalls().SetWindowTheme(this->Handle(), L" ", L" ");
      return true;
    case WM_NCPAINT:
    case WM_ENABLE:
    case BM_SETSTATE:
      return true;
    case WM_ERASEBKGND:
      m.Result = 1;
      return true;
    case WM_PAINT:
      TsSkinnedControl<Base>::SkinnedMessage(m);
      return !this->HasState(csDesigning);
    case WM_PRINT:
      // The system button must not print its own look over the skinned one.
      sd->Updating = false;
      if (m.WParam != 0) PaintToDC(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_KEYDOWN: {
      if (m.WParam != VK_SPACE || !Interactive()) return false;
      if (GetReadOnly()) return true;
      pressed_ = true;
      // OnEnter, OnClick and the like may free the control.
      const TLifeToken life = this->LifeToken();
      TakeFocus();
      if (!life.Alive()) return true;
      this->Repaint();
      WORD key = static_cast<WORD>(m.WParam);
      if (this->OnKeyDown) this->OnKeyDown(this, key, KeyDataToShiftState(m.LParam));
      return true;
    }
    case WM_KEYUP: {
      if (m.WParam != VK_SPACE || !Interactive()) return false;
      if (GetReadOnly()) return true;
      const TLifeToken life = this->LifeToken();
      if (pressed_) {
        pressed_ = false;
        UserCheck();
        if (!life.Alive()) return true;
      }
      this->Repaint();
      WORD key = static_cast<WORD>(m.WParam);
      if (this->OnKeyUp) this->OnKeyUp(this, key, KeyDataToShiftState(m.LParam));
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Interactive()) return false;
      // Read-only, the press is swallowed whole: not even the focus moves.
      if (GetReadOnly()) return true;
      pressed_ = true;
      Fade(aeMouseDown, true);
      {
        const TLifeToken life = this->LifeToken();
        TakeFocus();
        if (!life.Alive()) return true;
      }
      if (m.Msg == WM_LBUTTONDBLCLK) {
        if (this->OnDblClick) this->OnDblClick(this);
      } else if (this->OnMouseDown) {
        this->OnMouseDown(this, mbLeft, KeysToShiftState(m.WParam), m.XPos(), m.YPos());
      }
      return true;
    case WM_LBUTTONUP:
      if (!Interactive()) return false;
      if (GetReadOnly()) return true;
      if (pressed_) {
        const TLifeToken life = this->LifeToken();
        pressed_ = false;
        UserCheck();
        if (!life.Alive()) return true;
      }
      this->Repaint();
      if (this->OnMouseUp)
        this->OnMouseUp(this, mbLeft, KeysToShiftState(m.WParam), m.XPos(), m.YPos());
      return true;
    case CM_ENABLEDCHANGED:
      if (!PreviewControlMessage(m, sd)) Base::WndProc(m);
      this->Repaint();
      return true;
    case CM_TEXTCHANGED:
      AdjustSize();
      this->Repaint();
      return true;
    default:
      return false;
  }
}

template class TsCheckControl<TCheckBox>;
template class TsCheckControl<TRadioButton>;

// --- check box -------------------------------------------------------------------------

TsCheckBox::TsCheckBox(TComponent* owner) : TsCheckControl<TCheckBox>(owner, ControlTypeCheckBox) {}

void TsCheckBox::SetChecked(bool value) {
  if (HasState(csLoading)) return;
  TsCommonData* sd = SkinData();
  if (value != Checked()) sd->BGChanged = true;
  const bool changed = sd->BGChanged;
  // The click it runs may free the box (or its form).
  const TLifeToken life = LifeToken();
  TCheckBox::SetChecked(value);
  if (changed && life.Alive()) Repaint();
}

void TsCheckBox::SetImages(TCustomImageList* value) {
  if (images_ == value) return;
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_ != nullptr) images_->FreeNotification(this);
  AdjustSize();
  InvalidateControlSkin(SkinData());
}

void TsCheckBox::SetImgChecked(int value) {
  if (imgChecked_ == value) return;
  imgChecked_ = value;
  AdjustSize();
  if (Checked()) InvalidateControlSkin(SkinData());
}

void TsCheckBox::SetImgUnchecked(int value) {
  if (imgUnchecked_ == value) return;
  imgUnchecked_ = value;
  AdjustSize();
  if (!Checked()) InvalidateControlSkin(SkinData());
}

void TsCheckBox::ActionChange(TBasicAction* sender, bool checkDefaults) {
  SkinData()->BGChanged = true;
  TsCheckControl<TCheckBox>::ActionChange(sender, checkDefaults);
  Repaint();
}

void TsCheckBox::Notification(TComponent* component, TOperation operation) {
  TsCheckControl<TCheckBox>::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

bool TsCheckBox::UsesImages() const {
  return images_ != nullptr && imgChecked_ >= 0 && imgUnchecked_ >= 0;
}

TSize TsCheckBox::ImageListGlyphSize() {
  if (!UsesImages()) return {0, 0};
  return CheckGlyphSize(images_->Width(), images_->Height());
}

bool TsCheckBox::ImageListGlyph(TBitmap& picture) {
  if (!UsesImages()) return false;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(images_->Width(), images_->Height());
  TBitmapCanvas canvas(picture);
  // What the image leaves out stays see-through.
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(static_cast<TColor>(TransparentColor));
  canvas.FillRect({0, 0, picture.Width(), picture.Height()});
  images_->Draw(&canvas, 0, 0, Checked() ? imgChecked_ : imgUnchecked_);
  return true;
}

int TsCheckBox::GlyphMaskIndex() {
  const TsCommonData* sd = SkinData();
  const TsSkinModel* skin = SkinOf(sd);
  if (skin == nullptr) return -1;
  switch (State()) {
    case cbChecked:
      return skin->CommonIndexes.BoxChecked;
    case cbGrayed:
      return skin->CommonIndexes.BoxGrayed;
    default:
      return skin->CommonIndexes.BoxUnchecked;
  }
}

int TsCheckBox::LayoutMaskIndex() {
  const TsSkinModel* skin = SkinOf(SkinData());
  return skin != nullptr ? skin->CommonIndexes.BoxChecked : -1;
}

bool TsCheckBox::SkinnedCheckMessage(TMessage& m) {
  switch (m.Msg) {
    case BM_SETCHECK:
      // The system button would paint its own box; the state is ours anyway.
      if (FadeTimer != nullptr && FadeTimer->Step() < FadeTimer->Iterations()) StopFade(FadeTimer);
      return true;
    case CM_CHANGED:
      if (HasState(csDesigning))
        InvalidateControlSkin(SkinData());
      else
        Fade(aeMouseUp, false);
      TCheckBox::WndProc(m);
      return true;
    default:
      return false;
  }
}

// --- radio button ----------------------------------------------------------------------

TsRadioButton::TsRadioButton(TComponent* owner)
    : TsCheckControl<TRadioButton>(owner, ControlTypeRadioButton) {}

void TsRadioButton::CreateParams(TCreateParams& params) {
  TsCheckControl<TRadioButton>::CreateParams(params);
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TsRadioButton::Invalidate() {
  TsCheckControl<TRadioButton>::Invalidate();
  if (AutoSize() && WordWrap()) SetWordWrap(false);
}

int TsRadioButton::GlyphMaskIndex() {
  const TsCommonData* sd = SkinData();
  const TsSkinModel* skin = SkinOf(sd);
  if (skin == nullptr || !skin->IsSectionIndexValid(sd->SkinIndex)) return -1;
  return Checked() ? skin->CommonIndexes.RadioChecked : skin->CommonIndexes.RadioUnchecked;
}

bool TsRadioButton::SkinnedCheckMessage(TMessage& m) {
  switch (m.Msg) {
    case BM_SETCHECK: {
      {
        // The system button keeps the state it reports, without painting.
        const TRedrawLock lock(this);
        TRadioButton::WndProc(m);
      }
      TsCommonData* sd = SkinData();
      sd->BGChanged = true;
      if (FadeTimer != nullptr && FadeTimer->Step() < FadeTimer->Iterations()) {
        FadeTimer->SetEnabled(false);
        Repaint();
      }
      // Checked from outside (CheckRadioButton), it clicks; the click's
      // handler may free the button.
      const TLifeToken life = LifeToken();
      if (m.WParam == BST_UNCHECKED) SetChecked(false);
      if (m.WParam == BST_CHECKED) SetChecked(true);
      if (!life.Alive()) return true;
      if (HasState(csDesigning))
        InvalidateControlSkin(sd);
      else
        Fade(aeMouseUp, false);
      return true;
    }
    case WM_LBUTTONUP:
      if (!Enabled() || HasState(csDesigning)) return false;
      if (!GetReadOnly() && CanChangeState() && pressed_) {
        const TLifeToken life = LifeToken();
        SetChecked(true);
        if (!life.Alive()) return true;
      }
      pressed_ = false;
      Repaint();
      if (OnMouseUp) OnMouseUp(this, mbLeft, KeysToShiftState(m.WParam), m.XPos(), m.YPos());
      return true;
    default:
      return false;
  }
}

}  // namespace kv
