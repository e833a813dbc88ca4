// The device-context half of the section painter.
#include "skin/graphics/sSectionPaint_win.h"

#include "classlib/Graphics.h"
#include "skin/core/sSkinModel.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

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

}  // namespace kv
