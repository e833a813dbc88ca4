#pragma once
// Skin items painted onto device contexts (Windows build only).

#include <windows.h>

#include <string_view>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/sConst.h"

namespace kv {

class TsSkinModel;
class TsCommonData;
class TControl;

// The item through a 24-bit bitmap of R's size, copied to the DC at R. Nothing
// without a skin, a valid section, R inside the positive quadrant or R empty.
void PaintSkinItemToDC(int sectionIndex, std::string_view sectionName,
                       const TsBgCacheInfo& cacheInfo, bool filling, int state, TRect r,
                       TPoint offset, HDC dc, const TsSkinModel* manager);

// The whole bitmap as an item of the named section, or of the second name
// when the skin lacks the first; laid over SourceDC's pixels at SourcePoint
// when SourceDC is given, else over FillColor. Returns the section used, an
// invalid index when neither is in the skin (nothing painted then).
int PaintSkinItemByName(TBitmap* bitmap, std::string_view sectionName,
                        std::string_view altSectionName, int state, const TsSkinModel* manager,
                        TPoint sourcePoint, TColor fillColor, HDC sourceDC);

// The painters for a control's skin data: its manager, section, border mask
// and textures. With CustomColor set, the owner's colour (its form's for a
// form provider) replaces the section's look. Nothing without a skin.
void PaintSkinDataBackground(TsCommonData* sd, const TsBgCacheInfo& cacheInfo, int state, TRect r,
                             TPoint offset, TBitmap* bitmap);
void PaintSkinDataItem(TsCommonData* sd, const TsBgCacheInfo& cacheInfo, bool filling, int state,
                       TRect r, TPoint offset, TBitmap* bitmap, bool cornersOnBackground = true);
// The same over the background that parent gives (not asked to draw);
// offset is R's place in the parent.
void PaintSkinDataItemOnParent(TsCommonData* sd, TControl* parent, bool filling, int state, TRect r,
                               TPoint offset, TBitmap* bitmap, bool cornersOnBackground = true);

}  // namespace kv
