#include "skin/controls/sSkinnedControl_win.h"

#include "classlib/Forms.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sBorders_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

void CopyWholeCache(const TsCommonData* sd, HDC dc) {
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty() || dc == nullptr) return;
  TBitmapCanvas canvas(*cache);
  const TSavedDC saved(dc);
  BitBlt(dc, 0, 0, cache->Width(), cache->Height(), canvas.Handle(), 0, 0, SRCCOPY);
}

void OfferNewChildToForm(TWinControl* container, const TMessage& m) {
  if (m.Msg != WM_PARENTNOTIFY || LOWORD(m.WParam) != WM_CREATE || SkinBroadcasting) return;
  AskFormToAdaptControl(container);
}

bool PaintsPlain(const TsCommonData* sd) { return sd->CustomColor() || !NeedsParentCheck(sd); }

void PaintPlainSkin(TWinControl* control, TsCommonData* sd, HDC dc, TRect* inside) {
  const TRect whole{0, 0, control->Width(), control->Height()};
  const bool custom = sd->CustomColor();
  // Asked whatever the colour: the border's transparent pixels show it.
  TsBgCacheInfo below = EmptyBgCacheInfo;
  GetParentBgInfo(sd, below);
  below.X += control->Left();
  below.Y += control->Top();
  const TsGeneralData* section = sd->Section();
  const bool picture = !custom && section != nullptr && section->Transparency == 100 &&
                       below.Ready && below.Bmp != nullptr;
  HWND handle = control->HandleAllocated() ? control->Handle() : nullptr;
  const TColor fill = custom ? static_cast<TColor>(ColorToRGB(control->Color()))
                             : SkinnedBgColor(sd, false, handle);
  TRect inner = whole;
  if (const int border = MaxBorderWidth(sd); border > 0 && sd->SkinManager() != nullptr) {
    // The mask is painted through a bitmap of the control's size.
    PrepareCacheBitmap24(sd);
    TBitmapCanvas canvas(*sd->CacheBmp);
    TsBorderSource source;
    source.CacheBmp = sd->CacheBmp.get();
    source.CacheDC = canvas.Handle();
    source.BgColor = fill;
    source.Background = below;
    source.Mask = sd->BorderMask();
    source.Master = sd->SkinManager()->Skin().MasterBitmap.get();
    PaintSkinnedBorder(dc, whole, border, source, 0, inner);
    inner = whole;
    InflateRect(inner, -border, -border);
  }
  if (picture) {
    TBitmapCanvas from(*below.Bmp);
    BitBlt(dc, inner.Left, inner.Top, inner.Width(), inner.Height(), from.Handle(),
           below.X + inner.Left, below.Y + inner.Top, SRCCOPY);
  } else {
    FillRectWithColor(dc, inner, fill);
  }
  sd->CacheBmp.reset();
  if (inside != nullptr) *inside = inner;
}

void PaintPlainClient(TWinControl* control, TsCommonData* sd, HDC dc, TPoint clientOffset,
                      const std::function<void(HDC)>& over) {
  sd->Updating = false;
  {
    const TSavedDC saved(dc);
    ExcludeGraphicChildrenClip(dc, control, 0, 0);
    OffsetViewportOrgEx(dc, -clientOffset.X, -clientOffset.Y, nullptr);
    PaintPlainSkin(control, sd, dc);
    if (over) over(dc);
  }
  PaintChildGraphics(control, dc);
}

TsSkinTextSource ControlTextSource(TControl* control, TsCommonData* sd) {
  TsSkinManager* manager = sd->SkinManager();
  TsSkinTextSource source;
  source.Manager = manager;
  source.SkinIndex = sd->SkinIndex;
  source.SectionName = sd->SkinSection();
  source.CtrlTypeCode = sd->ControlType;
  source.IsGraphicControl = dynamic_cast<TWinControl*>(control) == nullptr;
  source.HasParent = control->Parent() != nullptr;
  source.FontSourceIndex = FontSourceSectionIndex(control, sd->SkinIndex, manager);
  source.CustomFont = sd->CustomFont();
  source.OwnerFont = control->Font();
  return source;
}

namespace {
bool hintsSwitchedOff = false;
bool savedShowHint = false;
}  // namespace

void HideHintsForPress() {
  if (hintsSwitchedOff || Application == nullptr) return;
  savedShowHint = Application->ShowHint();
  Application->SetShowHint(false);
  hintsSwitchedOff = true;
}

void RestoreHintsAfterPress() {
  if (!hintsSwitchedOff) return;
  hintsSwitchedOff = false;
  if (Application != nullptr) Application->SetShowHint(savedShowHint);
}

}  // namespace kv
