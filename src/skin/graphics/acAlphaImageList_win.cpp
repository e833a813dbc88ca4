// The Windows half of the alpha image list.
#include "skin/graphics/acAlphaImageList_win.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "classlib/Graphics.h"
#include "skin/graphics/acPNG.h"
#include "skin/model/acToolkitFlags.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

// A clear image in place of one that cannot be had, so that the indexes
// stay those of the items. Without alpha the list would take it as opaque
// black; its mask leaves every pixel out.
void AddPlaceholder(TCustomImageList& list) {
  const int w = list.Width(), h = list.Height();
  TBitmap clear(w, h, pf32bit);
  TBitmap mask(w, h, pf24bit);
  for (int y = 0; y < h; ++y) {
    std::fill_n(clear.ScanLine(y), w * 4, 0);
    std::fill_n(mask.ScanLine(y), w * 3, 0xFF);
  }
  list.Add(clear, &mask);
}

bool AddIconItem(TCustomImageList& list, const TsImgListItem& item) {
  try {
    TIcon icon;
    icon.LoadFromMemory(item.ImgData.data(), item.ImgData.size());
    return list.AddIcon(icon) >= 0;
  } catch (const Exception&) {
    return false;
  }
}

// A PNG item as an icon of the list's size whose mask is the picture's
// alpha, or for a picture without alpha its top-left colour.
bool AddPngItem(TCustomImageList& list, const TsImgListItem& item) {
  TBitmap picture;
  if (!GetItemPicture(item, list.Width(), list.Height(), picture)) return false;
  HICON icon = MakeIconFromBitmap(picture, false);
  if (icon == nullptr) return false;
  const bool added = ImageList_AddIcon(list.Handle(), icon) >= 0;
  DestroyIcon(icon);
  return added;
}

// The colours of an icon's image as a width x height 32-bit bitmap, alpha
// as the icon keeps it (a 32-bit copy keeps all four bytes); false when the
// icon has no colour image.
bool IconColours(HICON icon, TBitmap& out, int width, int height) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  bool read = false;
  if (info.hbmColor != nullptr) {
    out = TBitmap(width, height, pf32bit);
    TBitmapCanvas canvas(out);
    HDC mem = CreateCompatibleDC(canvas.Handle());
    {
      const TSelectedObject colours(mem, info.hbmColor);
      read = BitBlt(canvas.Handle(), 0, 0, width, height, mem, 0, 0, SRCCOPY) != FALSE;
    }
    DeleteDC(mem);
    GdiFlush();
  }
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return read;
}

// An icon of the colours, its mask leaving out what their alpha leaves out
// for lists that draw by mask.
HICON IconWithMaskFromAlpha(TBitmap& colours) {
  const int w = colours.Width(), h = colours.Height();
  const int stride = ((w + 15) / 16) * 2;
  std::vector<std::uint8_t> mask(static_cast<size_t>(stride) * h);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* p = colours.ScanLine(y);
    for (int x = 0; x < w; ++x)
      if (p[4 * x + 3] == 0)
        mask[static_cast<size_t>(y) * stride + x / 8] |= std::uint8_t(0x80 >> (x % 8));
  }
  GdiFlush();
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = reinterpret_cast<HBITMAP>(colours.Handle());
  info.hbmMask = CreateBitmap(w, h, 1, 1, mask.data());
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmMask);
  return icon;
}

}  // namespace

void TsAlphaImageList::MakeImagesWithoutAlphaOpaque(int first) {
  HIMAGELIST list = Handle();
  for (int i = first; i < Count(); ++i) {
    HICON icon = ImageList_GetIcon(list, i, ILD_NORMAL);
    if (icon == nullptr) continue;
    TBitmap colours;
    const bool read = IconColours(icon, colours, Width(), Height());
    DestroyIcon(icon);
    if (!read || !AlphaFromKeyColour(colours, TransparentColor)) continue;
    if (HICON opaque = IconWithMaskFromAlpha(colours)) {
      ImageList_ReplaceIcon(list, i, opaque);
      DestroyIcon(opaque);
    }
  }
}

void TsAlphaImageList::GenerateStdList() {
  {
    const TacFlagScope updating(updating_);
    Handle();
    Clear();
    for (const TsImgListItem& item : Items) {
      bool added = false;
      try {
        added = item.ImageFormat == ifICO ? AddIconItem(*this, item) : AddPngItem(*this, item);
      } catch (const std::exception&) {
        // A picture whose bitmap or icon cannot be made fails alone.
      }
      if (!added) AddPlaceholder(*this);
    }
    if (!Items.empty()) generated_ = true;
  }
  TImageList::Change();  // listeners only: the list is whole now
}

void TsAlphaImageList::Assign(const TPersistent& source) {
  if (auto* list = dynamic_cast<const TsAlphaImageList*>(&source)) {
    CopyList(*list);
    return;
  }
  TImageList::Assign(source);
}

void TsAlphaImageList::AssignTo(TPersistent& dest) const {
  if (auto* list = dynamic_cast<TsAlphaImageList*>(&dest)) {
    list->CopyList(*this);
    return;
  }
  TImageList::AssignTo(dest);
}

void TsAlphaImageList::CopyList(const TsAlphaImageList& source) {
  if (&source == this) return;
  {
    const TacFlagScope updating(updating_);
    Clear();
    SetSize(source.Width(), source.Height());
    SetBkColor(source.BkColor());
    SetAllocBy(source.AllocBy());
    Items = source.Items;
    generated_ = false;
  }
  GenerateStdList();
  // Images added to the source through the plain list interface have no
  // item; they are copied as they are, so that the copy is whole.
  auto& from = const_cast<TsAlphaImageList&>(source);  // GetBitmap only reads
  if (!from.HandleAllocated()) return;
  {
    const TacFlagScope updating(updating_);
    for (int i = static_cast<int>(Items.size()); i < from.Count(); ++i) {
      TBitmap image;
      if (!from.GetBitmap(i, image) || Add(image) < 0) AddPlaceholder(*this);
    }
  }
  TImageList::Change();
}

void TsAlphaImageList::Loaded() {
  TImageList::Loaded();
  if (generated_) return;
  GenerateStdList();
  // Also without items: images added later are then looked at.
  generated_ = true;
}

void TsAlphaImageList::Change() {
  if (updating_) return;
  TImageList::Change();
  if (!generated_ || HasState(csLoading | csDesigning)) return;
  // The items are kept: a list left with fewer images than items is rebuilt.
  const int items = static_cast<int>(Items.size());
  if (Count() < items) return GenerateStdList();
  // Images added through the plain list interface have no item. Only those
  // are looked at: an item's image is as its file says, even fully clear.
  if (Count() > items) {
    const TacFlagScope updating(updating_);
    MakeImagesWithoutAlphaOpaque(items);
  }
}

void TsAlphaImageList::DoDraw(int index, TCanvas* canvas, int x, int y, bool) {
  HIMAGELIST list = Handle();
  ImageList_SetBkColor(list, CLR_NONE);
  HICON icon = ImageList_GetIcon(list, index, ILD_TRANSPARENT);
  if (!icon) return;
  DrawIconEx(canvas->Handle(), x, y, icon, Width(), Height(), 0, nullptr, DI_NORMAL);
  DestroyIcon(icon);
}

bool GetBitmap32(TCustomImageList* list, int index, TBitmap& bmp) {
  if (!list || !list->HandleAllocated() || index < 0 || index >= list->Count()) return false;
  if (auto* alpha = dynamic_cast<TsAlphaImageList*>(list);
      alpha && index < static_cast<int>(alpha->Items.size())) {
    const TsImgListItem& item = alpha->Items[static_cast<size_t>(index)];
    if (item.ImageFormat == ifPNG && GetItemBitmap32(item, list->Width(), list->Height(), bmp))
      return true;
  }
  return list->GetBitmap(index, bmp);
}

void DrawListImageToBitmap(TCustomImageList* list, TBitmap* bmp, int x, int y, TSize& size,
                           bool disabled, int imageCount, int state, int blend, TColor tint,
                           bool reflected, int imageIndex) {
  if (!list || !bmp || bmp->Empty() || !list->HandleAllocated()) return;
  const TRect src = ListImageFrame(list->Width(), list->Height(), imageCount, state);
  size = {src.Width(), src.Height()};
  const TRect dst{x, y, x + src.Width(), y + src.Height()};
  if (!dynamic_cast<TsAlphaImageList*>(list)) {
    TBitmap work(list->Width(), list->Height(), pf24bit);
    CopyPixels(&work, src.Left, src.Top, bmp, x, y, src.Width(), src.Height());
    {
      TBitmapCanvas canvas(work);
      list->Draw(&canvas, 0, 0, imageIndex, !disabled);
      GdiFlush();
    }
    CopyPixels(bmp, x, y, &work, src.Left, src.Top, src.Width(), src.Height());
    return;
  }
  TBitmap image;
  if (!GetBitmap32(list, imageIndex, image)) return;
  image.SetPixelFormat(pf32bit);
  const int keep = (blend > 0 ? std::min(blend, 100) : 100) * (disabled ? 50 : 100) / 100;
  if (keep < 100)
    for (int row = 0; row < image.Height(); ++row) {
      std::uint8_t* p = image.ScanLine(row);
      for (int col = 0; col < image.Width(); ++col) p[4 * col + 3] = p[4 * col + 3] * keep / 100;
    }
  PaintAlphaBitmap(dst, src, bmp, reflected, 0, tint, false, EmptyBgCacheInfo, &image);
}

void DrawListImageToDC(TCustomImageList* list, HDC dc, int x, int y, bool disabled, int imageCount,
                       int state, int blend, TColor tint, bool reflected, int imageIndex) {
  if (!list || !dc) return;
  const TRect frame = ListImageFrame(list->Width(), list->Height(), imageCount, state);
  TBitmap work(frame.Width(), frame.Height(), pf24bit);
  if (work.Empty()) return;
  TBitmapCanvas canvas(work);
  HDC mem = canvas.Handle();
  BitBlt(mem, 0, 0, work.Width(), work.Height(), dc, x, y, SRCCOPY);
  GdiFlush();
  TSize size;
  DrawListImageToBitmap(list, &work, 0, 0, size, disabled, imageCount, state, blend, tint,
                        reflected, imageIndex);
  BitBlt(dc, x, y, work.Width(), work.Height(), mem, 0, 0, SRCCOPY);
}

TColor BkColorFromSystem(TColor value) {
  if (static_cast<std::uint32_t>(value) == CLR_DEFAULT) return clDefault;
  if (static_cast<std::uint32_t>(value) == CLR_NONE) return clNone;
  return value;
}

}  // namespace kv
