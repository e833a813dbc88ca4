// Button glyph painting (Windows build only: image lists draw through GDI).
#include "skin/graphics/sGlyphUtils_win.h"

#include <algorithm>
#include <functional>

#include "classlib/Graphics.h"
#include "skin/graphics/acAlphaImageList_win.h"
#include "skin/graphics/acPNG.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

struct GlyphArgs {
  TRect rect;
  int state = 0;
  bool enabled = true;
  int blend = 0;
  int disabledKind = 0;
};

// Painters work on the cache; another target gets a copy of the cache with
// the glyph on it, so that it shows the button's face too.
void OnCacheOrCopy(TBitmap* cache, TBitmap* target, const std::function<void(TBitmap&)>& paint) {
  if (target == cache) {
    paint(*cache);
    return;
  }
  TBitmap work(cache->Width(), cache->Height(), pf24bit);
  CopyPixels(&work, 0, 0, cache, 0, 0, cache->Width(), cache->Height());
  paint(work);
  CopyPixels(target, 0, 0, &work, 0, 0, work.Width(), work.Height());
}

void PaintAlphaGlyph(IGlyphButton& b, const GlyphArgs& a, TBitmap* cache, TBitmap* target) {
  TPNGGraphic png;
  png.Assign(*b.Glyph());
  png.Reflected = b.Reflected();
  if (a.state == 0 && a.blend != 0) {
    for (int y = 0; y < png.Height(); ++y) {
      std::uint8_t* p = png.ScanLine(y);
      for (int x = 0; x < png.Width(); ++x) p[4 * x + 3] = p[4 * x + 3] * a.blend / 100;
    }
  }
  OnCacheOrCopy(cache, target, [&](TBitmap& on) { png.Draw(on, a.rect); });
}

// Alpha lists lay the image on by its alpha; a grayed button in the normal
// state shows it as a silhouette in its face colour.
void PaintAlphaListImage(IGlyphButton& b, const GlyphArgs& a, TBitmap* cache, TBitmap* target) {
  const bool skinned = b.SkinAvailable();
  TColor tint = clNone;
  if (a.state == 0 && b.Grayed())
    tint = skinned ? b.SectionColor() : static_cast<TColor>(ColorToRGB(clBtnFace));
  TSize size;
  DrawListImageToBitmap(b.Images(), skinned ? cache : target, a.rect.Left, a.rect.Top, size,
                        !a.enabled, 1, (b.Down() ? 1 : 0) + a.state, a.state == 0 ? a.blend : 0,
                        tint, b.Reflected(), b.ImageIndex());
}

// An image of a standard list over the list's background colour (the
// transparent colour when it has none), then grey or blended as the state
// asks. Without a skin, that background is what is left out: the button's
// own face shows round the image.
void PaintListImage(IGlyphButton& b, const GlyphArgs& a, TBitmap* target) {
  TCustomImageList& list = *b.Images();
  TBitmap image(list.Width(), list.Height(), pf24bit);
  const TColor bk =
      list.BkColor() == clNone ? TransparentColor : static_cast<TColor>(ColorToRGB(list.BkColor()));
  {
    TBitmapCanvas canvas(image);
    FillRectWithColor(canvas.Handle(), {0, 0, image.Width(), image.Height()}, bk);
    list.Draw(&canvas, 0, 0, b.ImageIndex(), true);
    GdiFlush();
  }
  const TRect all{0, 0, image.Width() - 1, image.Height() - 1};
  const TPoint p{a.rect.Left, a.rect.Top};
  const TColor key = b.SkinAvailable() ? TransparentColor : bk;
  double fraction = 0;  // weight of what is under the glyph
  if (!a.enabled) {
    if (a.disabledKind & dkGrayedBit) GrayscaleBitmapExcept(&image, key);
    if (b.SkinAvailable() && (a.disabledKind & dkBlendedBit)) fraction = 0.5;
  } else if (b.SkinAvailable() && !b.ControlIsHot()) {
    if (b.Grayed()) GrayscaleBitmapExcept(&image, key);
    if (a.blend > 0) fraction = a.blend / 100.0;
  }
  if (fraction > 0)
    BlendBitmapRect(target, p.X, p.Y, &image, all, fraction, key);
  else
    CopyBitmapSkipTransparent(target, &image, p.X, p.Y, key);
}

}  // namespace

int ImageCountOf(TCustomImageList* imageList) { return imageList ? imageList->Count() : 0; }

void SkinChangedGlyphHook() {}

bool StopsChildBroadcast(TControl*) { return false; }

void PaintButtonGlyph(IGlyphButton* button, TBitmap* bitmap) {
  if (!button) return;
  IGlyphButton& b = *button;
  TBitmap* cache = b.CacheBmp();
  TBitmap* target = bitmap ? bitmap : cache;
  if (!target) return;
  const GlyphArgs a{b.GlyphRect(), b.CurrentState(), b.Enabled(), b.Blend(), b.DisabledGlyphKind()};
  TBitmap* glyph = b.Glyph();
  if (glyph && !glyph->Empty()) {
    if (!cache) return;
    // A strip of no frames is one frame.
    const int frames = std::max(b.NumGlyphs() & 127, 1);
    if (frames == 1 && glyph->PixelFormat() == pf32bit) {
      PaintAlphaGlyph(b, a, cache, target);
      return;
    }
    // A button held down shows the strip's "down" frame when pressed.
    const std::uint8_t offset = b.Down() ? 1 : 0;
    OnCacheOrCopy(cache, target, [&](TBitmap& on) {
      DrawMultiStateGlyph(glyph, &on, {a.rect.Left, a.rect.Top}, frames, a.enabled, a.disabledKind,
                          a.state, a.blend, offset);
    });
    return;
  }
  const int index = b.ImageIndex();
  if (!b.Images() || index < 0 || index >= ImageCountOf(b.Images())) return;
  if (dynamic_cast<TsAlphaImageList*>(b.Images()))
    PaintAlphaListImage(b, a, cache, target);
  else
    PaintListImage(b, a, target);
}

}  // namespace kv
