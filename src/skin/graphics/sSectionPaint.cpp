#include "skin/graphics/sSectionPaint.h"

#include <algorithm>
#include <cstring>

#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/model/sGradient.h"
#include "skin/model/sSkinModel.h"

namespace kv {

namespace {

bool Is24or32(const TBitmap* b) {
  return b && !b->Empty() && (b->PixelFormat() == pf24bit || b->PixelFormat() == pf32bit);
}

TRect Clipped(TRect r, const TBitmap& b) {
  return {std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, b.Width()),
          std::min(r.Bottom, b.Height())};
}

// An opaque fill (alpha 255 on 32-bit bitmaps) cut to the bitmap.
void FillColor(TBitmap* bitmap, TRect r, TColor color) {
  r = Clipped(r, *bitmap);
  const int bpp = bitmap->BytesPerPixel();
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  const std::uint8_t px[4] = {ColorB(color), ColorG(color), ColorR(color), 255};
  // The first row pixel by pixel, the others copied from it.
  std::uint8_t* first = bitmap->ScanLine(r.Top) + static_cast<std::ptrdiff_t>(r.Left) * bpp;
  std::uint8_t* p = first;
  for (int x = r.Left; x < r.Right; ++x, p += bpp) std::memcpy(p, px, bpp);
  const std::size_t bytes = static_cast<std::size_t>(r.Right - r.Left) * static_cast<std::size_t>(bpp);
  for (int y = r.Top + 1; y < r.Bottom; ++y)
    std::memcpy(bitmap->ScanLine(y) + static_cast<std::ptrdiff_t>(r.Left) * bpp, first, bytes);
}

// Alpha 255 inside R of a 32-bit bitmap: copies and stretches from 24-bit
// images leave alpha 0 there, as GDI does, but a painted section is opaque.
void MakeOpaque(TBitmap* bitmap, TRect r) {
  if (bitmap->PixelFormat() != pf32bit) return;
  r = Clipped(r, *bitmap);
  for (int y = r.Top; y < r.Bottom; ++y) {
    std::uint8_t* p = bitmap->ScanLine(y) + static_cast<std::ptrdiff_t>(r.Left) * 4;
    for (int x = r.Left; x < r.Right; ++x, p += 4) p[3] = 255;
  }
}

// Tiles of the source rectangle S laid from Origin, painted only inside Area.
void TileFrom(TBitmap* dst, const TRect& area, TPoint origin, TBitmap* src, const TRect& s) {
  const int w = s.Width(), h = s.Height();
  if (w <= 0 || h <= 0) return;
  const TRect a = Clipped(area, *dst);
  if (a.Left >= a.Right || a.Top >= a.Bottom) return;
  // Start at the first tile that reaches into the area.
  const int y0 = origin.Y + std::max(0, (a.Top - origin.Y) / h) * h;
  const int x0 = origin.X + std::max(0, (a.Left - origin.X) / w) * w;
  for (int y = y0; y < a.Bottom; y += h)
    for (int x = x0; x < a.Right; x += w) {
      const int px = std::max(x, a.Left), py = std::max(y, a.Top);
      const int pw = std::min(x + w, a.Right) - px, ph = std::min(y + h, a.Bottom) - py;
      if (pw > 0 && ph > 0) CopyPixels(dst, px, py, src, s.Left + px - x, s.Top + py - y, pw, ph);
    }
}

// Rows of whole tiles that start above Bottom - h: the last 1 to h rows stay.
int RowsAboveBottomStrip(int height, int h) { return height > h ? (height - 1) / h : 0; }

// The background record re-based on destination coordinates of the bitmap
// that R is painted into.
TsBgCacheInfo AtTarget(TsBgCacheInfo info, TPoint offset, TRect r) {
  info.X += offset.X - r.Left;
  info.Y += offset.Y - r.Top;
  return info;
}

// The background into R of the bitmap: the record's pixels when it has them
// (nothing to do when they are the bitmap's own), else its fill colour.
void PutBackground(TBitmap* bitmap, TRect r, const TsBgCacheInfo& at) {
  if (at.Ready) {
    if (at.Bmp == bitmap || !Is24or32(at.Bmp)) return;
    CopyPixels(bitmap, r.Left, r.Top, at.Bmp, r.Left + at.X, r.Top + at.Y, r.Width(), r.Height());
    if (at.Bmp->PixelFormat() == pf24bit) MakeOpaque(bitmap, r);
    return;
  }
  if (at.FillColor != TransparentColor) FillColor(bitmap, r, at.FillColor);
}

// The values of one state of a section.
struct Look {
  TColor color = 0;
  int transparency = 0, imagePercent = 0, gradientPercent = 0;
  const TsGradArray* gradient = nullptr;
  // Weight of the texture under a gradient laid over it.
  int textureAlpha = 0;
};

Look LookOf(const TsGeneralData& g, int state, TColor customColor) {
  Look k;
  if (customColor != TransparentColor) {
    k.color = customColor;
    return k;
  }
  const bool hot = state > 0;
  k.color = DefaultColorToRGB(hot ? g.HotColor : g.Color);  // HOTCOLOR is kept as written
  k.transparency = std::clamp(hot ? g.HotTransparency : g.Transparency, 0, 100);
  if (k.transparency == 100) return k;
  k.imagePercent = std::clamp(hot ? g.HotImagePercent : g.ImagePercent, 0, 100);
  k.gradientPercent = std::clamp(hot ? g.HotGradientPercent : g.GradientPercent, 0, 100);
  k.textureAlpha = k.imagePercent * 255 / 100;
  const TsGradArray& grad = hot ? g.HotGradientArray : g.GradientArray;
  if (k.gradientPercent != 0 && !grad.empty()) k.gradient = &grad;
  return k;
}

// The texture of a state: a mask index, or a pattern index for a picture.
struct Texture {
  int mask = -1;
  int pattern = -1;
};

Texture TextureOf(const TsSkinModel& skin, int section, std::string_view name, int state,
                  int given) {
  const std::string_view key = state > 0 ? "HOTPATTERN" : "PATTERN";
  Texture t;
  if (given == -1)
    t.mask = skin.MaskIndexOf(section, name, key);
  else if (skin.IsMaskIndexValid(given) && skin.MaskData[given].MaskType == 0)
    t.mask = given;
  if (!skin.IsMaskIndexValid(t.mask)) {
    t.mask = -1;
    t.pattern = skin.PatternIndexOf(section, name, key);
  }
  return t;
}

// Gradient over R, or the colour when there is no gradient.
void PaintGradientOrColor(TBitmap* bitmap, TRect r, const Look& k) {
  if (k.gradient)
    PaintGradientArray(*bitmap, r, *k.gradient, 0);
  else
    FillColor(bitmap, r, k.color);
}

// The section's own picture (texture, gradient, colour) into R of the target;
// `at` is the background record in the target's coordinates.
void PaintSection(const TsSkinModel& skin, const Look& k, const Texture& tex, TBitmap* target,
                  TRect r, const TsBgCacheInfo& at) {
  TBitmap* master = skin.MasterBitmap.get();
  bool textured = false;
  if (k.imagePercent > 0) {
    TRect left = r;
    if (tex.pattern >= 0 && tex.pattern < static_cast<int>(skin.PatternData.size())) {
      FillRectWithTexture(target, left, skin.PatternData[tex.pattern].Img.get(), 0, {}, nullptr);
      textured = true;
    } else if (skin.IsMaskIndexValid(tex.mask)) {
      const TsMaskData& m = skin.MaskData[tex.mask];
      if (m.MaskType == 0)
        FillRectWithTexture(target, left, nullptr, m.StretchMode, m, master);
      else
        FillRectWithTwoStateTexture(target, left, at, m.StretchMode, m, master);
      textured = true;
    }
    if (left.Right != -1) FillColor(target, left, k.color);
  }
  if (k.gradientPercent > 0) {
    if (textured) {
      TBitmap layer(r.Width(), r.Height(), target->PixelFormat());
      PaintGradientOrColor(&layer, {0, 0, r.Width(), r.Height()}, k);
      // Across the whole width: a blend one column short would leave the
      // texture bare in the last column.
      BlendBitmapRectFast(target, &layer, k.textureAlpha, {0, 0, r.Width(), r.Height()},
                          r.TopLeft());
    } else {
      PaintGradientOrColor(target, r, k);
    }
  }
  const int shares = k.imagePercent + k.gradientPercent;
  if (shares == 0) {
    // A see-through plain section over a background that is only a colour
    // takes that colour; over a picture it is blended as it is.
    const bool overColourOnly = !at.Ready && k.transparency != 0 && at.FillColor != TransparentColor;
    FillColor(target, r, overColourOnly ? at.FillColor : k.color);
  } else if (shares < 100) {
    BlendRectWithColor(target, r, shares, k.color);
  }
  MakeOpaque(target, r);
}

// The section laid over the background record by its transparency: opaque,
// the background alone, or the section blended over the background.
void PaintOverBackground(const TsSkinModel& skin, const Look& k, const Texture& tex,
                         const TsBgCacheInfo& cacheInfo, TPoint offset, TRect r, TBitmap* bitmap) {
  const TsBgCacheInfo at = AtTarget(cacheInfo, offset, r);
  if ((!cacheInfo.Ready && cacheInfo.FillColor == TransparentColor) || k.transparency == 0) {
    PaintSection(skin, k, tex, bitmap, r, at);
  } else if (k.transparency == 100) {
    PutBackground(bitmap, r, at);
  } else {
    TBitmap layer(r.Width(), r.Height(), bitmap->PixelFormat());
    PaintSection(skin, k, tex, &layer, {0, 0, r.Width(), r.Height()},
                 AtTarget(cacheInfo, offset, {0, 0, 0, 0}));
    PutBackground(bitmap, r, at);
    const int alpha = std::clamp(k.transparency * 255 / 100, 0, 255);
    BlendBitmapRectFast(bitmap, &layer, alpha, {0, 0, r.Width(), r.Height()}, r.TopLeft());
    // The blend takes 255 over 255 to 254; only a 32-bit background brings alpha of its own.
    if (!at.Ready || !at.Bmp || at.Bmp->PixelFormat() != pf32bit) MakeOpaque(bitmap, r);
  }
}

bool IsTwoStateMode10(const TsSkinModel& skin, int index) {
  if (!skin.IsMaskIndexValid(index)) return false;
  const TsMaskData& m = skin.MaskData[index];
  return m.MaskType > 0 && m.StretchMode == 10;
}

}  // namespace

void FillRectWithTexture(TBitmap* bitmap, TRect& r, TBitmap* picture, int mode,
                         const TsMaskData& mask, TBitmap* master) {
  if (!Is24or32(bitmap)) return;
  if (Is24or32(picture)) {
    TileGraphic(bitmap, r, picture);
    r = NoRect;
    return;
  }
  // Own image first; a mask without any image paints nothing.
  TBitmap* src = mask.Bmp ? mask.Bmp.get() : master;
  const TRect s = mask.R;
  const int w = s.Width(), h = s.Height();
  if (!Is24or32(src) || w <= 0 || h <= 0) return;
  const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  const TPoint topLeft{L, T};
  switch (mode) {
    case 0:
      TileFrom(bitmap, r, topLeft, src, s);
      r = NoRect;
      return;
    case 1:
      StretchPixels(bitmap, r, src, s);
      r = NoRect;
      return;
    case 2:
      TileFrom(bitmap, {L, T, R, std::min(T + h, B)}, topLeft, src, s);
      r.Top = std::min(T + h, B);
      return;
    case 3:
      TileFrom(bitmap, {L, T, std::min(L + w, R), B}, topLeft, src, s);
      r.Left = std::min(L + w, R);
      return;
    case 4: {  // stretched across, rows one to one
      const int rows = std::min(h, B - T);
      StretchPixels(bitmap, {L, T, R, T + rows}, src, {s.Left, s.Top, s.Right, s.Top + rows});
      r.Top = std::min(T + h, B);
      return;
    }
    case 5: {
      const int cols = std::min(w, R - L);
      StretchPixels(bitmap, {L, T, L + cols, B}, src, {s.Left, s.Top, s.Left + cols, s.Bottom});
      r.Left = std::min(L + w, R);
      return;
    }
    case 6:
      TileFrom(bitmap, r, {L, B - h}, src, s);
      r.Bottom = std::max(B - h, T);
      return;
    case 10:
      TileFrom(bitmap, {L, T, R, T + RowsAboveBottomStrip(B - T, h) * h}, topLeft, src, s);
      r = NoRect;
      return;
    default:  // 7, and the modes without a picture of their own, as 7
      TileFrom(bitmap, r, {R - w, T}, src, s);
      r.Right = std::max(R - w, L);
      return;
  }
}

void FillRectWithTwoStateTexture(TBitmap* bitmap, TRect& r, const TsBgCacheInfo& cacheInfo,
                                 int mode, const TsMaskData& mask, TBitmap* master) {
  if (!Is24or32(bitmap) || (mode != 0 && mode != 10)) return;
  TBitmap* src = mask.Bmp ? mask.Bmp.get() : master;
  const int w = MaskFrameWidth(mask), h = mask.R.Height() / 2;
  if (!Is24or32(src) || w <= 0 || h <= 0) return;
  const TRect a = Clipped(r, *bitmap);
  const int cols = mode == 10 ? (r.Right - r.Left) / w : (r.Right - r.Left + w - 1) / w;
  const int rows = mode == 10 ? (r.Bottom - r.Top) / h : RowsAboveBottomStrip(r.Bottom - r.Top, h);
  const TRect tiled{r.Left, r.Top, std::min(r.Left + cols * w, r.Right), r.Top + rows * h};
  const int y0 = r.Top + std::max(0, (a.Top - r.Top) / h) * h;
  const int x0 = r.Left + std::max(0, (a.Left - r.Left) / w) * w;
  for (int y = y0; y < std::min(tiled.Bottom, a.Bottom); y += h)
    for (int x = x0; x < std::min(tiled.Right, a.Right); x += w) {
      const TRect d{x, y, std::min(x + w, tiled.Right), y + h};
      CopyRectWithTransparency(d, Bounds(mask.R.Left, mask.R.Top, w, h), bitmap, src, cacheInfo,
                               true);
    }
  if (mode == 10) {
    PutBackground(bitmap, Clipped({tiled.Right, r.Top, r.Right, r.Bottom}, *bitmap), cacheInfo);
    PutBackground(bitmap, Clipped({r.Left, tiled.Bottom, tiled.Right, r.Bottom}, *bitmap),
                  cacheInfo);
  }
  r = NoRect;
}

void TileGraphic(TBitmap* bitmap, TRect r, TBitmap* picture) {
  if (!Is24or32(bitmap) || !Is24or32(picture)) return;
  TileFrom(bitmap, r, r.TopLeft(), picture, {0, 0, picture->Width(), picture->Height()});
}

void PaintSectionBackground(int sectionIndex, std::string_view sectionName,
                            const TsBgCacheInfo& cacheInfo, int state, TRect r, TPoint offset,
                            TBitmap* bitmap, const TsSkinModel* manager, int patternIndex,
                            int hotPatternIndex, TColor customColor) {
  if (!manager || !manager->IsSectionIndexValid(sectionIndex) || !Is24or32(bitmap)) return;
  // Cut R to the bitmap; the background moves with it.
  const TRect c = Clipped(r, *bitmap);
  if (c.Left >= c.Right || c.Top >= c.Bottom) return;
  offset.X += c.Left - r.Left;
  offset.Y += c.Top - r.Top;
  r = c;

  const TsSkinModel& skin = *manager;
  const Look k = LookOf(skin.GeneralData[sectionIndex], state, customColor);
  Texture tex;
  if (k.imagePercent > 0)
    tex = TextureOf(skin, sectionIndex, sectionName, state,
                    state > 0 ? hotPatternIndex : patternIndex);
  const TsBgCacheInfo at = AtTarget(cacheInfo, offset, r);
  PaintOverBackground(skin, k, tex, cacheInfo, offset, r, bitmap);

  // A two-state texture in mode 10 is laid once more over the whole state-0 picture.
  if (state != 0 || customColor != TransparentColor) return;
  int again = -1;
  if (IsTwoStateMode10(skin, patternIndex))
    again = patternIndex;
  else if (patternIndex == -1 ||
           (skin.IsMaskIndexValid(patternIndex) && skin.MaskData[patternIndex].MaskType <= 0))
    again = IsTwoStateMode10(skin, hotPatternIndex) ? hotPatternIndex : -1;
  if (again < 0) return;
  TRect left = r;
  FillRectWithTwoStateTexture(bitmap, left, at, 10, skin.MaskData[again], skin.MasterBitmap.get());
}

namespace {

bool ItemFits(const TBitmap* bitmap, TRect r, const TsSkinModel* manager, int sectionIndex) {
  return Is24or32(bitmap) && manager && manager->IsSectionIndexValid(sectionIndex) && r.Left >= 0 &&
         r.Top >= 0 && r.Right <= bitmap->Width() && r.Bottom <= bitmap->Height();
}

}  // namespace

// The section's corner images over what is in R already: their transparent
// pixels keep it.
void PaintCornerImages(const TsSkinModel& skin, int sectionIndex, int state, TRect r,
                       TBitmap* bitmap) {
  const TsGeneralData& g = skin.GeneralData[sectionIndex];
  const TsBgCacheInfo self{bitmap, 0, 0, TransparentColor, true};
  const int corners[4] = {g.ImgTopLeft, g.ImgTopRight, g.ImgBottomLeft, g.ImgBottomRight};
  for (int i = 0; i < 4; ++i) {
    if (!skin.IsMaskIndexValid(corners[i])) continue;
    const TsMaskData& m = skin.MaskData[corners[i]];
    const int x = i % 2 == 0 ? r.Left : r.Right - MaskFrameWidth(m);
    const int y = i < 2 ? r.Top : r.Bottom - MaskStateHeight(m);
    DrawMaskState(bitmap, {x, y}, state, self, m, skin.MasterBitmap.get(), 1);
  }
}

void PaintSkinDataBackground(const TsControlLook& look, const TsBgCacheInfo& cacheInfo, int state,
                             TRect r, TPoint offset, TBitmap* bitmap, const TsSkinModel* manager) {
  PaintSectionBackground(look.SkinIndex, look.Section, cacheInfo, state, r, offset, bitmap, manager,
                         look.Texture, look.HotTexture, look.CustomColor);
}

void PaintSkinDataItem(const TsControlLook& look, const TsBgCacheInfo& cacheInfo, bool filling,
                       int state, TRect r, TPoint offset, TBitmap* bitmap,
                       const TsSkinModel* manager, bool cornersOnBackground) {
  if (!ItemFits(bitmap, r, manager, look.SkinIndex)) return;
  const TsSkinModel& skin = *manager;
  PaintSkinDataBackground(look, cacheInfo, state, r, offset, bitmap, manager);
  // The mask painter leaves state 0 alone when the mask says so.
  if (skin.IsMaskIndexValid(look.BorderIndex))
    PaintMaskNinePart(bitmap, r, filling, AtTarget(cacheInfo, offset, r),
                      skin.MaskData[look.BorderIndex], skin.MasterBitmap.get(), state,
                      cornersOnBackground);
  // A control's corner images go over its border, not under it.
  PaintCornerImages(skin, look.SkinIndex, state, r, bitmap);
}

void PaintSkinItem(int sectionIndex, std::string_view sectionName, const TsBgCacheInfo& cacheInfo,
                   bool filling, int state, TRect r, TPoint offset, TBitmap* bitmap,
                   const TsSkinModel* manager, int patternIndex, int hotPatternIndex) {
  if (IsRectEmpty(r) || !ItemFits(bitmap, r, manager, sectionIndex)) return;
  const TsSkinModel& skin = *manager;
  PaintSectionBackground(sectionIndex, sectionName, cacheInfo, state, r, offset, bitmap, manager,
                         patternIndex, hotPatternIndex, TransparentColor);

  PaintCornerImages(skin, sectionIndex, state, r, bitmap);
  const TsGeneralData& g = skin.GeneralData[sectionIndex];
  if (skin.IsMaskIndexValid(g.BorderIndex))
    PaintMaskNinePart(bitmap, r, filling, AtTarget(cacheInfo, offset, r),
                      skin.MaskData[g.BorderIndex], skin.MasterBitmap.get(), state, true);
}

void PaintSkinItemFast(int sectionIndex, int borderIndex, int patternIndex, int hotPatternIndex,
                       int, const TsBgCacheInfo& cacheInfo, bool filling, int state, TRect r,
                       TPoint offset, TBitmap* bitmap, const TsSkinModel* manager) {
  if (!Is24or32(bitmap) || !manager || !manager->IsSectionIndexValid(sectionIndex) || r.Left < 0 ||
      r.Top < 0 || r.Right > bitmap->Width() || r.Bottom > bitmap->Height())
    return;
  if (IsRectEmpty(r)) return;
  const TsSkinModel& skin = *manager;
  Look k = LookOf(skin.GeneralData[sectionIndex], state, TransparentColor);
  // Without a background picture the section is opaque; only a wholly
  // transparent one shows the fill colour.
  if (!cacheInfo.Ready && k.transparency != 100) k.transparency = 0;
  // Scroll-bar parts weigh the texture by 256ths, a full share kept whole.
  k.textureAlpha = std::min(k.imagePercent * 256 / 100, 255);
  Texture tex;
  const int given = state == 0 ? patternIndex : hotPatternIndex;
  if (k.imagePercent > 0 && skin.IsMaskIndexValid(given)) tex.mask = given;
  // Texture and gradient shares of more than 100 in all lay no plain colour
  // over them here either: together they already cover the rectangle.
  PaintOverBackground(skin, k, tex, cacheInfo, offset, r, bitmap);
  if (skin.IsMaskIndexValid(borderIndex))
    PaintMaskNinePart(bitmap, r, filling, AtTarget(cacheInfo, offset, r),
                      skin.MaskData[borderIndex], skin.MasterBitmap.get(), state, true);
}

}  // namespace kv
