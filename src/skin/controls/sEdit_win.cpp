#include "skin/controls/sEdit_win.h"

#include <string>

#include "classlib/WideText.h"
#include "skin/controls/sLabel_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

constexpr int ControlTypeEdit = 3;

}  // namespace

TsEdit::TsEdit(TComponent* owner)
    : TsSkinnedControl<TEdit>(owner, ControlTypeEdit, true, ccEditLike),
      boundLabel_(std::make_unique<TsBoundLabel>(SkinData())) {}

TsEdit::~TsEdit() { boundLabel_.reset(); }

void TsEdit::SetDisabledKind(TsDisabledKind value) {
  if (disabledKind_ == value) return;
  disabledKind_ = value;
  InvalidateControlSkin(SkinData());
}

// The client edge is two pixels wide, the plain line one.
int TsEdit::FrameWidth() const {
  if (BorderStyle() == bsNone) return 0;
  return Ctl3D() ? 2 : 1;
}

int TsEdit::Inset() const { return FrameWidth() + BevelEdges(); }

// --- painting --------------------------------------------------------------------------

void TsEdit::DrawEditText() {
  TsCommonData* sd = SkinData();
  TBitmapCanvas canvas(*sd->CacheBmp);
  canvas.Font()->Assign(*Font());
  const int inset = Inset();
  const TRect r{inset + 1, inset + 1, Width() - inset, Height() - inset};
  std::string text = Text();
  // The cached picture must never show a password.
  if (PasswordChar() != 0)
    text = Narrow(std::wstring(Wide(text).size(), static_cast<wchar_t>(PasswordChar())));
  TsSkinManager* manager = sd->SkinManager();
  TsSkinTextSource source;
  source.Manager = manager;
  source.SkinIndex = sd->SkinIndex;
  source.SectionName = sd->SkinSection();
  source.CtrlTypeCode = sd->ControlType;
  source.HasParent = Parent() != nullptr;
  source.FontSourceIndex = sd->SkinIndex;
  source.CustomFont = sd->CustomFont();
  source.OwnerFont = Font();
  WriteSkinText(canvas, text, true, r, DT_WORDBREAK | DT_SINGLELINE | DT_NOPREFIX, source,
                ControlIsHot(sd));
}

void TsEdit::PrepareCache() {
  TsCommonData* sd = SkinData();
  PrepareCacheBitmap(sd);
  if (sd->CacheBmp->Empty()) return;
  PaintSkinDataItemOnParent(sd, Parent(), true, ControlIsHot(sd) ? 1 : 0, {0, 0, Width(), Height()},
                            {Left(), Top()}, sd->CacheBmp.get());
  DrawEditText();
  if (!Enabled()) {
    TsBgCacheInfo parentBg;
    GetParentBgInfo(sd, parentBg);
    ApplyDisabledKind(sd->CacheBmp.get(), disabledKind_, this, {Left(), Top()}, parentBg);
  }
  sd->BGChanged = false;
}

// The client part of the cache; dc is the client area's.
void TsEdit::PaintToDC(HDC dc) {
  TsCommonData* sd = SkinData();
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating || dc == nullptr) return;
  if (Parent() != nullptr) {
    sd->BGChanged =
        sd->BGChanged || sd->PaintSkipped || QueryControlCommand(Parent(), cmdGetPaintSkipped) != 0;
    const TRect client = Parent()->ClientRect();
    const TRect bounds = BoundsRect();
    sd->PaintSkipped = bounds.Left < client.Left || bounds.Top < client.Top ||
                       bounds.Right > client.Right || bounds.Bottom > client.Bottom;
  }
  if (sd->BGChanged && !sd->ParentBgForced) PrepareCache();
  RefreshCacheCorners(sd, 0);
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  const int f = Inset();
  TBitmapCanvas canvas(*cache);
  const TSavedDC saved(dc);
  BitBlt(dc, 0, 0, cache->Width() - 2 * f, cache->Height() - 2 * f, canvas.Handle(), f, f, SRCCOPY);
}

void TsEdit::PaintFrame() {
  TsCommonData* sd = SkinData();
  sd->Updating = PaintingSuspended(sd);
  const int f = Inset();
  if (sd->Updating || f == 0 || !HandleAllocated()) return;
  if (sd->BGChanged) PrepareCache();
  RefreshCacheCorners(sd, 0);
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  const TWindowDC dc(Handle());
  TBitmapCanvas canvas(*cache);
  CopyBorderStrips(dc.Handle(), 0, 0, cache->Width(), cache->Height(), canvas.Handle(), 0, 0, f);
}

void ApplySectionColorsTo(TsCommonData* sd, bool hot) {
  const TsGeneralData* section = sd->Section();
  TControl* c = sd->OwnerControl;
  if (section == nullptr || c == nullptr) return;
  if (!sd->CustomColor()) c->SetColor(hot ? section->HotColor : section->Color);
  if (!sd->CustomFont())
    c->Font()->SetColor(hot ? section->HotFontColor[0] : section->FontColor[0]);
}

void TsEdit::ApplySkinColors() {
  const TacFlagGuard applying(applyingColors_);
  ApplySectionColorsTo(SkinData(), ControlIsHot(SkinData()));
}

void TsEdit::RedrawFrame() {
  if (HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 1, 0);
}

// --- messages --------------------------------------------------------------------------

// The bound label follows after every message, unless a handler freed the edit.
void TsEdit::MessageDone(TMessage& m) {
  if (boundLabel_) boundLabel_->FollowControl(m);
}

TacCommandOutcome TsEdit::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool ownManager = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
    case cmdSkinRemoved:
      if (!ownManager) break;
      HandleSkinCommand(m, sd);
      return coAnswered;
    case cmdSkinRefresh:
      if (!ownManager) break;
      HandleSkinCommand(m, sd);
      if (!AnimationActive && HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return coAnswered;
    case cmdIsBgNonUniform:
      m.Result = 0;
      return coAnswered;
    case cmdGetBgColor:
      if (SkinAvailable(sd, false)) break;
      m.Result = static_cast<LRESULT>(ColorToRGB(Color()));
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsEdit::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case WM_PRINT: {
      sd->Updating = false;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (dc == nullptr) return true;
      PrepareCache();
      RefreshCacheCorners(sd, 0);
      CopyWholeCache(sd, dc);
      return true;
    }
    case WM_PAINT: {
      sd->Updating = PaintingSuspended(sd);
      if (AnimationActive || sd->Updating) {
        const TPaintScope validate(Handle(), reinterpret_cast<HDC>(m.WParam));
        return true;
      }
      // Before the paint starts: a colour that changes now invalidates
      // again, which must not happen inside the paint.
      ApplySkinColors();
      if (Enabled()) return false;
      const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
      PaintToDC(paint.Handle());
      return true;
    }
    case WM_ERASEBKGND:
      if (AnimationActive || PaintingSuspended(sd) || !Enabled()) {
        m.Result = 1;
        return true;
      }
      return false;
    case WM_NCPAINT:
      if (!AnimationActive) PaintFrame();
      m.Result = 0;
      return true;
    case CM_COLORCHANGED:
      if (sd->CustomColor()) sd->BGChanged = true;
      return false;
    case CM_FONTCHANGED:
      if (!applyingColors_) return false;
      TEdit::WndProc(m);
      return true;
    default:
      return false;
  }
}

void TsEdit::AfterMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool quiet = HasState(csLoading) || AnimationActive;
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdParentPainted && sd->Updating) {
        sd->Updating = false;
        Repaint();
        RedrawFrame();
      }
      return;
    case WM_SIZE:
      RedrawFrame();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_EXIT:
      if (m.Msg != WM_SETFOCUS) {
        sd->Focused = false;
        sd->MouseAbove = false;
      }
      sd->BGChanged = true;
      // The frame and the colours change with the hot look.
      if (Visible() && HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return;
    case WM_SETTEXT:
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      if (quiet) return;
      InvalidateControlSkin(sd);
      RedrawFrame();
      return;
    default:
      return;
  }
}

}  // namespace kv
