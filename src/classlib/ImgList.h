#pragma once
// Image lists: equal-sized images kept in one system image list (32-bit
// colour with a mask, so that images with alpha keep it), drawn by index for
// buttons, menus, tabs and list views.

#include <windows.h>
// (commctrl.h needs windows.h first)
#include <commctrl.h>

#include "base/Bitmap.h"
#include "base/Classes.h"
#include "classlib/Graphics.h"

namespace kv {

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  TNotifyEvent OnChange;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size empties the list, as the images no longer fit.
  void SetWidth(int width) { SetSize(width, height_); }
  void SetHeight(int height) { SetSize(width_, height); }
  void SetSize(int width, int height);
  int Count() const;
  // The colour behind the images when drawn; clNone draws them transparent.
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor color);
  int AllocBy() const { return allocBy_; }
  void SetAllocBy(int value) { allocBy_ = value < 1 ? 1 : value; }

  // The system image list (ILC_COLOR32 | ILC_MASK), made on first use.
  HIMAGELIST Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }

  // Adds a strip of Width-wide images; mask (monochrome sense: set = left
  // out) is optional. A 32-bit strip with alpha keeps its alpha. Returns the
  // index of the first image added, -1 when none fitted.
  int Add(const TBitmap& image, const TBitmap* mask = nullptr);
  // Adds a strip whose pixels of maskColor are left out.
  int AddMasked(const TBitmap& image, TColor maskColor);
  int AddIcon(const TIcon& icon);
  void Delete(int index);
  void Clear();

  // Draws image `index` with its top-left corner at (x, y); a disabled image
  // is drawn grey and faded. Out-of-range indexes draw nothing.
  virtual void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  // The image as a 32-bit bitmap with straight alpha (0 where masked out).
  // False for an index out of range.
  bool GetBitmap(int index, TBitmap& dest);

 protected:
  virtual void Change();
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, bool enabled);

 private:
  void FreeHandle();
  int Added(int before);

  int width_ = 16;
  int height_ = 16;
  int allocBy_ = 4;
  TColor bkColor_ = clNone;
  HIMAGELIST handle_ = nullptr;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};

}  // namespace kv
