#pragma once
// TListView: the system list view (SysListView32), mostly in report view.
//
// Columns and items live in the objects; the window mirrors them, so they
// survive a window being recreated and can be filled before it exists.
// Writing an item's caption or one of its sub-items updates the shown cell.

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Controls.h"

namespace kv {

class TCustomImageList;
class TListView;
class TListItem;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
using TCustomDrawState = uint16_t;
constexpr TCustomDrawState cdsSelected = 1, cdsGrayed = 2, cdsDisabled = 4, cdsChecked = 8,
                           cdsFocused = 16, cdsDefault = 32, cdsHot = 64;

using TLVAdvancedCustomDrawEvent = std::function<void(TListView* Sender, const TRect& ARect,
                                                      TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawItemEvent =
    std::function<void(TListView* Sender, TListItem* Item, TCustomDrawState State,
                       TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVAdvancedCustomDrawSubItemEvent =
    std::function<void(TListView* Sender, TListItem* Item, int SubItem, TCustomDrawState State,
                       TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;

class TListColumn {
 public:
  TListColumn(TListView* owner, int index) : owner_(owner), index_(index) {}
  int Index() const { return index_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // The shown width (the user may drag it), kept within MinWidth..MaxWidth.
  int Width() const;
  void SetWidth(int width);
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int width);
  // 0: no limit.
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int width);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Auto-sized columns share what the fixed-width columns leave of the client width.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);

 private:
  friend class TListView;
  friend class TListColumns;
  int Clamp(int width) const;
  TListView* owner_;
  int index_;
  std::string caption_;
  int width_ = 50;
  int minWidth_ = 0;
  int maxWidth_ = 0;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = false;
  int imageIndex_ = -1;
};

class TListColumns {
 public:
  explicit TListColumns(TListView* owner) : owner_(owner) {}
  TListColumn* Add();
  int Count() const { return static_cast<int>(columns_.size()); }
  // Index errors raise EInvalidOperation "List index out of bounds (i)".
  TListColumn* Items(int index) const;
  TListColumn* operator[](int index) const { return Items(index); }
  void Delete(int index);
  void Clear();

 private:
  friend class TListView;
  TListView* owner_;
  std::vector<std::unique_ptr<TListColumn>> columns_;
};

// The texts of an item's columns after the first: entry k is column k + 1.
// Every change shows in the list view at once.
class TSubItems {
 public:
  explicit TSubItems(TListItem* item) : item_(item) {}
  int Count() const { return static_cast<int>(texts_.size()); }
  // Index errors raise EStringListError.
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  void Put(int index, const std::string& text);
  int Add(const std::string& text);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  void Clear();
  void Assign(const std::vector<std::string>& texts);

 private:
  friend class TListView;
  friend class TListItem;
  void CheckIndex(int index) const;
  void ShowFrom(int index);
  TListItem* item_;
  std::vector<std::string> texts_;
};

class TListItem {
 public:
  TListItem(TListView* owner);
  TListView* ListView() const { return owner_; }
  // The row's position in the list.
  int Index() const;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  TSubItems& SubItems() { return subItems_; }
  const TSubItems& SubItems() const { return subItems_; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }
  void MakeVisible();
  // Text of column `column` (0 the caption).
  std::string ColumnText(int column) const;

 private:
  friend class TListView;
  friend class TListItems;
  friend class TSubItems;
  TListView* owner_;
  std::string caption_;
  TSubItems subItems_;
  int imageIndex_ = -1;
  bool selected_ = false;  // while there is no window
  bool focused_ = false;
  void* data_ = nullptr;
};

class TListItems {
 public:
  explicit TListItems(TListView* owner) : owner_(owner) {}
  // A new row at the end.
  TListItem* Add();
  TListItem* Insert(int index);
  int Count() const { return static_cast<int>(items_.size()); }
  // Index errors raise EInvalidOperation "List index out of bounds (i)".
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  int IndexOf(const TListItem* item) const;
  void Delete(int index);
  void Clear();
  void BeginUpdate();
  void EndUpdate();

 private:
  friend class TListView;
  friend class TListItem;
  TListView* owner_;
  std::vector<std::unique_ptr<TListItem>> items_;
};

class TListView : public TWinControl {
 public:
  explicit TListView(TComponent* owner);
  ~TListView() override;

  TLVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
  TLVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
  TLVAdvancedCustomDrawSubItemEvent OnAdvancedCustomDrawSubItem;
  TLVSelectItemEvent OnSelectItem;
  // Selection or focus of an item changed.
  TNotifyEvent OnChange;

  TListColumns* Columns() { return &columns_; }
  TListItems* Items() { return &items_; }
  // The first selected item, or nullptr; setting selects only that one.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int SelCount() const;
  TListItem* ItemFocused() const;
  // The item under a client point (report view: any column of its row).
  TListItem* GetItemAt(int x, int y);
  TRect ItemRect(int index, int code = LVIR_BOUNDS);
  void BeginUpdate() { items_.BeginUpdate(); }
  void EndUpdate() { items_.EndUpdate(); }

  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle style);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool value);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool value);
  bool HotTrack() const { return hotTrack_; }
  void SetHotTrack(bool value);
  bool FlatScrollBars() const { return flatScrollBars_; }
  void SetFlatScrollBars(bool value);
  bool FullDrag() const { return fullDrag_; }
  void SetFullDrag(bool value);
  // No editing of captions in place.
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  bool ColumnClick() const { return columnClick_; }
  void SetColumnClick(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);

  TCustomImageList* SmallImages() const { return smallImages_; }
  void SetSmallImages(TCustomImageList* images);
  TCustomImageList* LargeImages() const { return largeImages_; }
  void SetLargeImages(TCustomImageList* images);
  TCustomImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TCustomImageList* images);

  // The canvas the custom-draw handlers paint on (valid inside them).
  TCanvas* Canvas() { return &canvas_; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& message) override;
  void Resize() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TListColumn;
  friend class TListColumns;
  friend class TListItem;
  friend class TListItems;
  friend class TSubItems;
  HWND Window() const;
  bool Updating() const { return updateCount_ > 0; }
  void ApplyExtendedStyle();
  void ApplyColors();
  void ApplyImages();
  void SetImageList(TCustomImageList*& field, TCustomImageList* images);
  void ShowColumn(TListColumn* column, bool insert);
  void ShowItem(int index, bool insert);
  void ShowCell(int index, int column);
  void AutoSizeColumns();
  void ReadBackState();
  void SetStyleBit(bool& field, bool value);
  void CustomDraw(TMessage& m);

  TListColumns columns_;
  TListItems items_;
  TViewStyle viewStyle_ = vsIcon;
  bool gridLines_ = false;
  bool rowSelect_ = false;
  bool hotTrack_ = false;
  bool flatScrollBars_ = false;
  bool fullDrag_ = false;
  bool readOnly_ = false;
  bool columnClick_ = true;
  bool hideSelection_ = true;
  bool showColumnHeaders_ = true;
  bool multiSelect_ = false;
  TCustomImageList* smallImages_ = nullptr;
  TCustomImageList* largeImages_ = nullptr;
  TCustomImageList* stateImages_ = nullptr;
  int updateCount_ = 0;
  bool autoSizing_ = false;
  TCanvas canvas_;
};

}  // namespace kv
