#pragma once
// Section backgrounds and skin items painted from a loaded skin into a 24-bit
// or 32-bit bitmap: texture (by its fill mode), gradient and plain colour
// mixed by the section's percentages, made partly transparent toward the
// background record, then the corner images and the border mask.
//
// The skin is only read. Where the background lies: the background of
// bitmap pixel (x, y) inside R is pixel (X + Offset.X + x - R.Left,
// Y + Offset.Y + y - R.Top) of the record's Bmp, so Offset is R's place
// relative to the record's origin.
//
// Nothing here raises; a missing skin, section, mask or bitmap paints nothing
// of that layer, and every read and write is cut to the bitmaps.

#include <string_view>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/sConst.h"
#include "skin/model/sMaskData.h"

namespace kv {

class TsSkinModel;

// "No rectangle left": what the texture fills hand back when they covered R.
inline constexpr TRect NoRect{-1, -1, -1, -1};

// Lays a texture into R. A non-empty picture is tiled from R's top-left (mode
// ignored); otherwise the mask's image (its own, else `master`) is laid in by
// the fill mode (its StretchMode). R becomes the part left uncovered, NoRect
// when none; without an image R stays as it is and nothing is painted.
//   0 tiled  1 stretched  2/6 a row of tiles at the top/bottom
//   3/7 a column of tiles at the left/right  4/5 stretched along the top/left
//   10 tiled with a bottom strip of 1 to h rows left as it was
// Other modes behave as 7.
void FillRectWithTexture(TBitmap* bitmap, TRect& r, TBitmap* picture, int mode,
                         const TsMaskData& mask, TBitmap* master);

// Two-state textures (MaskType not 0): the first image, frame width by half
// the image's height, tiled through the transparent colour, which shows the
// background record (destination coordinates). Mode 0 leaves a bottom strip
// as mode 10 of the single image does; mode 10 lays whole tiles only and puts
// the background into the strips left at the right and bottom. R becomes
// NoRect after modes 0 and 10; other modes paint nothing and keep R.
void FillRectWithTwoStateTexture(TBitmap* bitmap, TRect& r, const TsBgCacheInfo& cacheInfo,
                                 int mode, const TsMaskData& mask, TBitmap* master);

// The picture tiled over R from its top-left; an empty picture draws nothing.
void TileGraphic(TBitmap* bitmap, TRect r, TBitmap* picture);

// The section's background into R for State (0 normal, 1 and above the HOT
// values). PatternIndex/HotPatternIndex are mask indexes of the "PATTERN" and
// "HOTPATTERN" textures, -1 to look them up. A CustomColor other than
// 0xFF00FF replaces the colour and switches texture, gradient and
// transparency off.
void PaintSectionBackground(int sectionIndex, std::string_view sectionName,
                            const TsBgCacheInfo& cacheInfo, int state, TRect r, TPoint offset,
                            TBitmap* bitmap, const TsSkinModel* manager, int patternIndex,
                            int hotPatternIndex, TColor customColor = TransparentColor);

// What a control's skin data gives the item painters: its section, its own
// border mask and texture indexes, and the colour that replaces the
// section's look (TransparentColor for none).
struct TsControlLook {
  int SkinIndex = -1;
  std::string_view Section;
  int BorderIndex = -1;
  int Texture = -1;
  int HotTexture = -1;
  TColor CustomColor = TransparentColor;
};

// The control's section background, as PaintSectionBackground.
void PaintSkinDataBackground(const TsControlLook& look, const TsBgCacheInfo& cacheInfo, int state,
                             TRect r, TPoint offset, TBitmap* bitmap, const TsSkinModel* manager);

// A control's whole item: its background, its own border mask in nine parts
// (corners over the background record with cornersOnBackground), then the
// section's corner images over both. R must lie inside the bitmap.
void PaintSkinDataItem(const TsControlLook& look, const TsBgCacheInfo& cacheInfo, bool filling,
                       int state, TRect r, TPoint offset, TBitmap* bitmap,
                       const TsSkinModel* manager, bool cornersOnBackground = true);

// The section's four corner images at R's corners, in the state, over what
// R holds already (their see-through pixels keep it).
void PaintCornerImages(const TsSkinModel& skin, int sectionIndex, int state, TRect r,
                       TBitmap* bitmap);

// The whole item: background, the four corner images, then the border mask
// in nine parts (its centre only with Filling). R must lie inside the bitmap.
void PaintSkinItem(int sectionIndex, std::string_view sectionName, const TsBgCacheInfo& cacheInfo,
                   bool filling, int state, TRect r, TPoint offset, TBitmap* bitmap,
                   const TsSkinModel* manager, int patternIndex = -1, int hotPatternIndex = -1);

// The lighter item painter of scroll-bar parts: the texture is PatternIndex
// (state 0) or HotPatternIndex as given, the section is opaque without a
// background picture, texture and gradient shares of 100 or more add no
// colour, and the border is BorderIndex with no corner images.
void PaintSkinItemFast(int sectionIndex, int borderIndex, int patternIndex, int hotPatternIndex,
                       int unused, const TsBgCacheInfo& cacheInfo, bool filling, int state, TRect r,
                       TPoint offset, TBitmap* bitmap, const TsSkinModel* manager);

}  // namespace kv
