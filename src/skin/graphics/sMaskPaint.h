#pragma once
// Painting of skin masks into cache bitmaps: a whole rectangle in nine parts,
// one frame at a point, pieces through the mask plane or the transparent
// colour, copies where a mask corner is transparent, and a colour wash.
//
// A mask's pixels come from its own image (TsMaskData::Bmp) or, when it has
// none, from the skin's master bitmap, which the caller passes as `master`.
// Masks may be 24-bit or 32-bit (PNG masks); 32-bit source pixels are laid
// over the destination by their alpha, and every pixel painted into a 32-bit
// destination from a 24-bit source becomes opaque.
//
// Background records: with Ready, the background of destination pixel (x, y)
// is pixel (x + X, y + Y) of Bmp; otherwise it is FillColor, and 0xFF00FF
// (as in EmptyBgCacheInfo) means there is none: the pixel is left as it is.
//
// Nothing here raises, and every read and write is cut to the bitmaps.

#include <cstdint>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/sConst.h"
#include "skin/model/sMaskData.h"

namespace kv {

class TsSkinModel;

// Margins of one axis of a nine-part cut that fit into `size` pixels: when
// the two do not fit, each gives up half the excess and the second one more
// pixel for an odd size (8/8 on 10, 9, 11 pixels: 5/5, 5/4, 6/5). Unequal
// margins may still overlap (6/5 on 10 stays 6/5); neither exceeds `size`.
struct TsNineMargins {
  int First = 0;
  int Second = 0;
};
TsNineMargins FitNineMargins(int size, int first, int second);

// Frame `state` (clamped to the mask's frames) into `rect` of the bitmap in
// nine parts by the mask's margins WL, WT, WR, WB: corners copied over the
// background record (its bitmap used only with cornersOnBackground), edges
// tiled or, with StretchMode bit 1, stretched, the centre only with
// fillCentre and StretchMode bit 4. StretchMode bit 2 leaves state 0 unpainted.
void PaintMaskNinePart(TBitmap* bitmap, TRect rect, bool fillCentre, const TsBgCacheInfo& cacheInfo,
                       const TsMaskData& mask, TBitmap* master, int state, bool cornersOnBackground,
                       int unused = 0);

// One frame of the mask with its top-left corner at `point`; a negative
// coordinate cuts the frame at the bitmap's edge. Mode 1 draws normally, any
// other mode draws a ghost: the mask plane raised by 100, or a half blend.
void DrawMaskState(TBitmap* bitmap, TPoint point, int state, const TsBgCacheInfo& cacheInfo,
                   const TsMaskData& mask, TBitmap* master, int mode);

// SrcRect of `source` onto DstRect of the bitmap (both inclusive) through the
// mask plane one state height below the image: per channel
// d := ((d - s) * m + s * 256) shr 8, m raised by 100 for modes other than 1.
// Without a mask plane the source is copied leaving out transparent pixels.
// transparentColor is not consulted: the toolkit's own value is.
void PaintMaskedPiece(TRect dstRect, TRect srcRect, TBitmap* bitmap, const TsMaskData& mask,
                      int mode, TColor transparentColor, TBitmap* source);

// As PaintMaskedPiece (mode 1) from the mask's image, its mask plane half
// the mask's height below, where transparent source pixels take the
// background of the record instead: its bitmap's pixel while its FillColor
// is none, else that colour; nothing (the pixel stays) when neither is given.
void PaintMaskedPieceOnBackground(TRect dstRect, TRect srcRect, TBitmap* bitmap,
                                  const TsMaskData& mask, TBitmap* master,
                                  const TsBgCacheInfo& cacheInfo);

// Part codes of CopyWhereMaskTransparent: the corner of the mask tested.
enum : int { mpTopLeft = 13, mpTopRight = 14, mpBottomLeft = 16, mpBottomRight = 17 };

// Pixels of Src from srcPoint copied into dstRect of Dst wherever the mask's
// corner pixel (or, for maskIndex -1, the destination pixel itself) is of the
// transparent colour.
void CopyWhereMaskTransparent(TBitmap* dst, TBitmap* src, TRect dstRect, int partCode,
                              const TsSkinModel* skin, int maskIndex, TPoint srcPoint);

// Washes Rect (exclusive) with a colour: each channel := nearest(channel * p
// + colour * (1 - p)), p = Percent / 100 clamped to 0..1, halves to even.
// Alpha is left as it is.
void BlendRectWithColor(TBitmap* bitmap, TRect rect, int percent, TColor color);

}  // namespace kv
