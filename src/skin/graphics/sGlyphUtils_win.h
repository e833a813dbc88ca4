#pragma once
// Glyphs of skinned bit buttons and speed buttons, painted into the button's
// cache bitmap after its face.

#include "base/Bitmap.h"
#include "base/Types.h"
#include "classlib/ImgList.h"

namespace kv {

class TControl;

// What the glyph painter reads from a button; both skinned button classes
// answer it.
class IGlyphButton {
 public:
  virtual ~IGlyphButton() = default;
  virtual TRect GlyphRect() = 0;
  // 0 normal, 1 hot, 2 pressed.
  virtual int CurrentState() = 0;
  virtual bool Down() = 0;
  // A 32-bit alpha image, or a strip of NumGlyphs state images; null or
  // empty when the button shows an image of its list instead.
  virtual TBitmap* Glyph() = 0;
  virtual int NumGlyphs() = 0;
  virtual TCustomImageList* Images() = 0;
  virtual int ImageIndex() = 0;
  virtual bool Enabled() = 0;
  virtual int Blend() = 0;  // percent, 0 none
  virtual bool Grayed() = 0;
  virtual int DisabledGlyphKind() = 0;  // dkBlendedBit | dkGrayedBit
  virtual bool Reflected() = 0;
  virtual TBitmap* CacheBmp() = 0;
  virtual bool SkinAvailable() = 0;
  virtual bool ControlIsHot() = 0;
  // The colour of the button's skin section (as RGB), tinting grayed images.
  virtual TColor SectionColor() = 0;
};

// Paints the button's glyph at its glyph rectangle into Bitmap, or into the
// cache bitmap when Bitmap is null; a null button paints nothing.
void PaintButtonGlyph(IGlyphButton* button, TBitmap* bitmap);

// The list's image count, 0 without a list.
int ImageCountOf(TCustomImageList* imageList);

// Called by the skin manager when skins change; glyphs need nothing then.
void SkinChangedGlyphHook();

// Asked by the broadcast to a form's controls before it searches a window
// that is not skinned itself for skinned children: no control stops it.
bool StopsChildBroadcast(TControl* control);

}  // namespace kv
