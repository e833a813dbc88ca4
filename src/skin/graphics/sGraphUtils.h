#pragma once
// Drawing tools shared by the whole toolkit: work bitmaps, colour arithmetic,
// per-pixel operations on 24-bit and 32-bit bitmaps, resampling, and (Windows
// build only) the few device-context helpers.
//
// Pixel layouts: pf24bit B, G, R; pf32bit B, G, R, A (straight alpha). A pixel
// is "of the transparent colour" when its B, G, R bytes equal the colour's.
// Rectangles marked inclusive count Right and Bottom as part of them; all
// others are exclusive. Every operation cuts its rectangles to the bitmaps it
// reads and writes, whatever it is given.

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/sConst.h"
#include "skin/model/sSkinPixels.h"

struct HDC__;

namespace kv {
struct TsMaskData;
}

namespace kv {

// --- work bitmaps ------------------------------------------------------------------

std::unique_ptr<TBitmap> NewBitmap24(int width, int height);
std::unique_ptr<TBitmap> NewBitmap32(int width, int height);
// Same size and pixel format; contents not copied.
std::unique_ptr<TBitmap> NewBitmapLike(const TBitmap& bitmap);

// --- colours -------------------------------------------------------------------------

// ChangeColorSaturation and ChangeColorHue: skin/model/sSkinPixels.h.
// Each colour byte nearest(c1 * fraction + (1 - fraction) * c2); Color1's top byte.
TColor MixColorsByFraction(TColor color1, TColor color2, double fraction);
TColor ColorAsIs(TColor color);

// --- blends ----------------------------------------------------------------------------

// SrcRect of Src into Dst at DstPoint: d := (s * (255 - a) + d * a + 127) shr 8
// per byte, a the low byte of Alpha. Each bitmap is read by its own format
// (24 or 32 bit); across formats a 32-bit Dst keeps its alpha bytes.
void BlendBitmapRectFast(TBitmap* dst, TBitmap* src, TColor alpha, TRect srcRect, TPoint dstPoint);
// The same blend over the whole image of two bitmaps of one size.
void BlendSameSizeBitmaps(TBitmap* dst, TBitmap* src, std::uint8_t alpha);
// SrcRect (inclusive) of Src into Dst at (X, Y): d := nearest(s - (s - d) *
// fraction) per colour byte (fraction is the weight of Dst). Source pixels of
// the transparent colour are left out unless its top byte is 255; a 32-bit
// source pixel matches only when its alpha equals that top byte too.
void BlendBitmapRect(TBitmap* dst, int x, int y, TBitmap* src, TRect srcRect, double fraction,
                     TColor transparentColor);
// Every pixel not of the transparent colour: c := nearest((c - color) * fraction + color).
void TintBitmap(TBitmap* bitmap, TColor color, TColor transparentColor, double fraction);
// Same-size 24-bit bitmaps: p := ((p - c) * m + c * 256) shr 8, m the mask's byte.
void ShadeByMask(TBitmap* bitmap, TBitmap* mask, TColor color);
// Each pixel's colour bytes := (B + G + R) div 3 (alpha untouched).
void GrayscaleBitmap(TBitmap* bitmap);
void GrayscaleBitmapExcept(TBitmap* bitmap, TColor keepColor);
// Byte channelOffset (0..3) of each 32-bit pixel to the 8-bit bitmap, or back.
void CopyBitmapChannel(TBitmap* bmp32, TBitmap* bmp8, int channelOffset, bool toBmp8);

// --- copies ------------------------------------------------------------------------------

// Src copied to (X, Y) of Dst leaving out transparent-colour pixels; a 32-bit
// Dst gets alpha 255 on the copied pixels.
void CopyBitmapSkipTransparent(TBitmap* dst, TBitmap* src, int x, int y, TColor transparentColor);
// 24-bit SrcRect (inclusive) to (X, Y), leaving out transparent-colour pixels.
void CopyRectSkipTransparent24(TBitmap* dst, TBitmap* src, int x, int y, TRect srcRect,
                               TColor transparentColor, int unused = 0);
// SrcRect of Src onto DstRect of Dst: 32-bit source pixels alpha-blended;
// 0xFF00FF pixels take the background of cacheInfo when asked, else are left out.
void CopyRectWithTransparency(TRect dstRect, TRect srcRect, TBitmap* dst, TBitmap* src,
                              const TsBgCacheInfo& cacheInfo, bool useBackground);
// SrcRect (inclusive) of Src to (X, Y) of Dst; transparent-colour pixels take
// the background of cacheInfo when asked and there is one, else are left out.
void CopyRectWithBackground(TBitmap* dst, TBitmap* src, int x, bool useBackground,
                            const TsBgCacheInfo& cacheInfo, TColor transparentColor, TRect srcRect,
                            int y);
// SrcRect of a 32-bit Src painted onto DstRect of Dst by per-pixel alpha, with
// an optional mirrored reflection below; Color (unless clNone) replaces the
// source colours. Src is made pf32bit.
void PaintAlphaBitmap(TRect dstRect, TRect srcRect, TBitmap* dst, bool reflection,
                      std::uint8_t option, TColor color, bool useBackground,
                      const TsBgCacheInfo& cacheInfo, TBitmap* src);
// The masked copy of the nine-part mask painter for masks with a grey mask
// plane in the lower half of their image: d := ((d - s) * m + s * 256) shr 8,
// m the plane's byte half the mask's height below the image pixel; with the
// flag set and a ready background record its pixel takes the place of d.
void CopyMaskPartWithBackground(TRect dstRect, TRect srcRect, TBitmap* dst, TBitmap* src,
                                const TsBgCacheInfo& cacheInfo, bool onBackground,
                                const TsMaskData& mask);
// Per channel r := (second * 256 + (first - second) * m) shr 8 into the colour
// bytes of the 32-bit Dst; m from the mask, or the constant weight without one.
void MixBitmapsByMask(TBitmap* dst, TBitmap* first, TBitmap* second, TBitmap* mask,
                      std::uint8_t weight);
// Inside R: d := ((s - d) * a + d * 256) shr 8, except where the mask's red is 255.
void BlendAlphaBitmapMasked(TBitmap* dst, TBitmap* src, TBitmap* mask, TRect r);
// A new bitmap holding the picture turned by 90 degrees; null unless 24 or 32 bit.
std::unique_ptr<TBitmap> RotateBitmap90(const TBitmap& bitmap, bool clockwise);

// --- images into rectangles -------------------------------------------------------------

// BitBlt SRCCOPY of w x h pixels cut to both bitmaps: a 24-bit source gives a
// 32-bit destination alpha 0, a 32-bit source gives a 24-bit one no alpha.
void CopyPixels(TBitmap* dst, int dx, int dy, TBitmap* src, int sx, int sy, int w, int h);
// StretchBlt in BLACKONWHITE mode of S onto D, cut to both bitmaps.
void StretchPixels(TBitmap* dst, const TRect& d, TBitmap* src, const TRect& s);
// How a stretch puts one (averaged) source pixel of sb bytes into a
// destination pixel of db bytes.
using TPixelPut = void (*)(std::uint8_t* dst, int db, const std::uint8_t* src, int sb);
// StretchBlt in HALFTONE mode of S onto D, cut to both bitmaps: each
// destination pixel is the mean of the source pixels that fall on it, halves
// rounded up (one pixel when enlarging). Pixels are put as CopyPixels puts
// them unless `put` says otherwise.
void HalftoneStretchPixels(TBitmap* dst, const TRect& d, TBitmap* src, const TRect& s,
                           TPixelPut put = nullptr);

// SrcRect of Src into DstRect of Dst in nine parts by Margins (each limited by
// Limits): corners copied, edges tiled (mode 0) or stretched (mode 1) by
// EdgeModes (left, top, right, bottom), the centre only when paintCentre,
// stretched when centreStretch. Stretching behaves like GDI's BLACKONWHITE.
void StretchBitmapNinePart(TBitmap* dst, TBitmap* src, TRect dstRect, TRect srcRect, TRect margins,
                           TRect limits, const int edgeModes[4], bool centreStretch,
                           bool paintCentre);
// Bits of the disabled look of DrawMultiStateGlyph.
enum : int { dkBlendedBit = 1, dkGrayedBit = 2 };
// One frame of a horizontal strip of frameCount glyph frames at P of a 24-bit
// Dst, by state, through a 24-bit copy whose transparent colour is a
// bottom-left pixel (a 32-bit strip's alpha is not read).
void DrawMultiStateGlyph(TBitmap* src, TBitmap* dst, TPoint p, int frameCount, bool enabled,
                         int disabledKind, int state, int blendPercent, std::uint8_t offset,
                         int unused = 0);
// A button adapter's glyph: a single 32-bit frame laid on by its alpha
// through a copy that takes the disabled or blended look, any other strip
// by DrawMultiStateGlyph.
void DrawButtonGlyph(TBitmap* src, TBitmap* dst, TPoint p, int frameCount, bool enabled,
                     int disabledKind, int state, int blendPercent, std::uint8_t offset);

// Places a glyph and a caption inside a button's client rectangle, positions
// relative to its top-left. Layout: 0 glyph left, 1 right, 2 top, 3 bottom;
// Alignment: 0 left, 1 right, 2 centre; Margin and Spacing -1 are automatic;
// BiDiFlags bit value 2 (right-to-left reading) swaps layouts 0 and 1.
void LayoutGlyphAndCaption(TRect client, TPoint glyphSize, TPoint textSize, std::uint8_t layout,
                           std::uint8_t alignment, int margin, int spacing, TPoint& glyphPos,
                           TRect& textBounds, int biDiFlags);

// --- resampling ----------------------------------------------------------------------------

// Reconstruction filters 0..6: box, triangle, Hermite, bell, B-spline,
// sin(pi x) sin(x) / (pi x^2), Mitchell. Any other index weighs nothing.
double ResampleFilter(int filter, double x);
double ResampleFilterSupport(int filter);

struct TContributor {
  std::ptrdiff_t Offset;  // bytes from the first source sample
  std::int32_t Weight;    // 16.16 fixed point
};
struct TContributorTable {
  std::vector<std::vector<TContributor>> Entries;  // one per destination index
};

// Weights of each destination index; they add up to exactly 1.0 (65536) so
// that a flat image stays flat. Source indexes beyond an edge are mirrored.
TContributorTable BuildContributors(int destSize, int srcSize, std::ptrdiff_t step,
                                    std::uint8_t filter);
void FreeContributors(TContributorTable& table);
void FilterRow24(std::ptrdiff_t srcPixelStep, std::ptrdiff_t dstPixelStep, std::uint8_t* dst,
                 const std::uint8_t* src, const TContributorTable& table, int count);
void FilterRow32(std::ptrdiff_t srcPixelStep, std::ptrdiff_t dstPixelStep, std::uint8_t* dst,
                 const std::uint8_t* src, const TContributorTable& table, int count);
// Dst becomes Src scaled to NewWidth x NewHeight. Raises "Source bitmap is too
// small" for sources below 2 x 2 (Dst untouched then).
void ResampleBitmap(const TBitmap& src, TBitmap& dst, int newWidth, int newHeight,
                    std::uint8_t filter);

// --- device contexts (Windows build only) ----------------------------------------------------

void FillRectWithColor(HDC__* dc, const TRect& r, TColor color);
void FillBorderStrips(HDC__* dc, const TRect& r, int leftWidth, int topHeight, int rightWidth,
                      int bottomHeight, TColor color);
void CopyBorderStrips(HDC__* dc, int x, int y, int width, int height, HDC__* sourceDC, int sourceX,
                      int sourceY, int borderWidth);
// On return R is the area inside the frame and frameWidth is 0.
void DrawFrame3D(HDC__* dc, TRect& r, TColor topLeftColor, TColor bottomRightColor,
                 int& frameWidth);
void DrawDottedFocusRect(HDC__* dc, const TRect& r);
// Blends a soft-edged rounded rectangle of Color into R: the edge keeps the
// picture, the inside keeps Percent of it and takes the rest from Color.
void PaintRoundRectShade(TBitmap* bitmap, TRect r, int percent, TColor color, int edgeWidth,
                         int cornerSize);
// True when the platform table has UpdateLayeredWindow (user32 exports it).
bool LayeredWindowsAvailable();

}  // namespace kv
