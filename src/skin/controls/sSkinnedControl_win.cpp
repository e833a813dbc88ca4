#include "skin/controls/sSkinnedControl_win.h"

#include "classlib/Forms.h"

namespace kv {

void CopyWholeCache(const TsCommonData* sd, HDC dc) {
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty() || dc == nullptr) return;
  TBitmapCanvas canvas(*cache);
  const TSavedDC saved(dc);
  BitBlt(dc, 0, 0, cache->Width(), cache->Height(), canvas.Handle(), 0, 0, SRCCOPY);
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
