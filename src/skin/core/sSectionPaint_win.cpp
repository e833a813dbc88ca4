// The device-context half of the section painter.
#include "skin/core/sSectionPaint_win.h"

#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sSectionPaint.h"
#include "skin/model/sSkinModel.h"

namespace kv {

namespace {

TColor CustomColorOf(const TsCommonData* sd) {
  if (!sd->CustomColor()) return TransparentColor;
  if (sd->OwnerProvider != nullptr) {
    const TCustomForm* form = sd->OwnerProvider->Form();
    return form != nullptr ? ColorToRGB(form->Color()) : TransparentColor;
  }
  return sd->OwnerControl != nullptr ? ColorToRGB(sd->OwnerControl->Color()) : TransparentColor;
}

TsControlLook LookOf(const TsCommonData* sd) {
  return {sd->SkinIndex, sd->SkinSection(), sd->BorderIndex,
          sd->Texture,   sd->HotTexture,    CustomColorOf(sd)};
}

// Null unless the control's manager is active and knows its section.
const TsSkinModel* SkinOf(const TsCommonData* sd) {
  return SkinAvailable(sd, true) ? &sd->SkinManager()->Skin() : nullptr;
}

}  // namespace

void PaintSkinItemToDC(int sectionIndex, std::string_view sectionName,
                       const TsBgCacheInfo& cacheInfo, bool filling, int state, TRect r,
                       TPoint offset, HDC dc, const TsSkinModel* manager) {
  if (!manager || !dc || !manager->IsSectionIndexValid(sectionIndex)) return;
  if (r.Left < 0 || r.Top < 0 || r.Width() < 1 || r.Height() < 1) return;
  TBitmap work(r.Width(), r.Height(), pf24bit);
  PaintSkinItem(sectionIndex, sectionName, cacheInfo, filling, state, {0, 0, r.Width(), r.Height()},
                offset, &work, manager);
  TBitmapCanvas canvas(work);
  const TSavedDC saved(dc);
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), canvas.Handle(), 0, 0, SRCCOPY);
}

int PaintSkinItemByName(TBitmap* bitmap, std::string_view sectionName,
                        std::string_view altSectionName, int state, const TsSkinModel* manager,
                        TPoint sourcePoint, TColor fillColor, HDC sourceDC) {
  if (!manager) return -1;
  std::string_view name = sectionName;
  int index = manager->SectionIndexOf(name);
  if (!manager->IsSectionIndexValid(index)) {
    name = altSectionName;
    index = manager->SectionIndexOf(name);
  }
  if (!manager->IsSectionIndexValid(index) || !bitmap || bitmap->Empty()) return index;
  TsBgCacheInfo background{nullptr, 0, 0, fillColor, false};
  if (sourceDC) {
    TBitmapCanvas canvas(*bitmap);
    BitBlt(canvas.Handle(), 0, 0, bitmap->Width(), bitmap->Height(), sourceDC, sourcePoint.X,
           sourcePoint.Y, SRCCOPY);
    GdiFlush();
    background = {bitmap, 0, 0, fillColor, true};
  }
  PaintSkinItem(index, name, background, true, state, {0, 0, bitmap->Width(), bitmap->Height()},
                {0, 0}, bitmap, manager);
  return index;
}

void PaintSkinDataBackground(TsCommonData* sd, const TsBgCacheInfo& cacheInfo, int state, TRect r,
                             TPoint offset, TBitmap* bitmap) {
  const TsSkinModel* skin = SkinOf(sd);
  if (skin == nullptr) return;
  PaintSkinDataBackground(LookOf(sd), cacheInfo, state, r, offset, bitmap, skin);
}

void PaintSkinDataItem(TsCommonData* sd, const TsBgCacheInfo& cacheInfo, bool filling, int state,
                       TRect r, TPoint offset, TBitmap* bitmap, bool cornersOnBackground) {
  const TsSkinModel* skin = SkinOf(sd);
  if (skin == nullptr) return;
  PaintSkinDataItem(LookOf(sd), cacheInfo, filling, state, r, offset, bitmap, skin,
                    cornersOnBackground);
}

void PaintSkinDataItemOnParent(TsCommonData* sd, TControl* parent, bool filling, int state, TRect r,
                               TPoint offset, TBitmap* bitmap, bool cornersOnBackground) {
  const TsSkinModel* skin = SkinOf(sd);
  if (skin == nullptr || parent == nullptr) return;
  TsBgRequest request;
  GetControlBackgroundInfo(request, parent, false);
  TsBgCacheInfo background;
  BackgroundInfoToCacheInfo(request, background);
  PaintSkinDataItem(LookOf(sd), background, filling, state, r, offset, bitmap, skin,
                    cornersOnBackground);
}

}  // namespace kv
