#pragma once
// Alpha image lists, the Windows half: the system list generated from the
// items' PNG and ICO bytes, and drawing list images by their alpha.

#include <windows.h>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "classlib/ImgList.h"
#include "skin/graphics/acAlphaImageList.h"

namespace kv {

class TsAlphaImageList : public TImageList {
 public:
  explicit TsAlphaImageList(TComponent* owner) : TImageList(owner) {}

  // The images as their files' bytes; kept after the system list is built.
  TsImgListItems Items;

  // Rebuilds the system list from Items, one image per item: an item that
  // cannot be read becomes a transparent image so that indexes stay aligned.
  void GenerateStdList();
  bool Generated() const { return generated_; }

  // Another alpha list is copied: size, background, items and the system
  // list built from them. Other sources go to the inherited assign.
  void Assign(const TPersistent& source) override;

 protected:
  // Into another alpha list as its Assign does.
  void AssignTo(TPersistent& dest) const override;
  void Loaded() override;
  void Change() override;
  void DoDraw(int index, TCanvas* canvas, int x, int y, bool enabled) override;

 private:
  void CopyList(const TsAlphaImageList& source);
  // Images from index first on that have no alpha at all become opaque but
  // where they are of the transparent colour.
  void MakeImagesWithoutAlphaOpaque(int first);

  bool generated_ = false;
  bool updating_ = false;
};

// Image Index as a 32-bit bitmap of the list's size with straight alpha:
// from the item's PNG when the list has one, else from the system list.
// False for no list, no system list or an index out of range.
bool GetBitmap32(TCustomImageList* list, int index, TBitmap& bmp);

// State State of image ImageIndex (ImageCount states side by side) at (X, Y)
// of Bmp; Size receives the state's size. Alpha lists are laid on by their
// alpha: Blend keeps that percent of it (0: all), Tint (unless clNone) draws
// a silhouette in that colour, Reflected adds a fading mirror image below,
// Disabled draws at half the alpha. Other lists draw themselves. An image
// that cannot be fetched paints nothing.
void DrawListImageToBitmap(TCustomImageList* list, TBitmap* bmp, int x, int y, TSize& size,
                           bool disabled, int imageCount, int state, int blend, TColor tint,
                           bool reflected, int imageIndex);

// The same onto a device context, through a copy of its pixels.
void DrawListImageToDC(TCustomImageList* list, HDC dc, int x, int y, bool disabled, int imageCount,
                       int state, int blend, TColor tint, bool reflected, int imageIndex);

// CLR_DEFAULT and CLR_NONE as the toolkit's clDefault and clNone.
TColor BkColorFromSystem(TColor value);

}  // namespace kv
