#include "classlib/ListViews.h"

#include <algorithm>

#include "classlib/ImgList.h"
#include "classlib/WideText.h"

namespace kv {

namespace {

void InitListViewClass() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

[[noreturn]] void ListIndexError(int index) {
  throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
}

int FormatOf(TAlignment a) {
  switch (a) {
    case taRightJustify:
      return LVCFMT_RIGHT;
    case taCenter:
      return LVCFMT_CENTER;
    default:
      return LVCFMT_LEFT;
  }
}

}  // namespace

// --- columns ---------------------------------------------------------------------------

int TListColumn::Clamp(int width) const {
  if (maxWidth_ > 0 && width > maxWidth_) width = maxWidth_;
  if (width < minWidth_) width = minWidth_;
  return width;
}

void TListColumn::SetCaption(const std::string& caption) {
  caption_ = caption;
  owner_->ShowColumn(this, false);
}

int TListColumn::Width() const {
  if (HWND wnd = owner_->Window(); wnd != nullptr && owner_->viewStyle_ == vsReport)
    return static_cast<int>(SendMessageW(wnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index_), 0));
  return width_;
}

void TListColumn::SetWidth(int width) {
  width_ = Clamp(width);
  owner_->ShowColumn(this, false);
}

void TListColumn::SetMinWidth(int width) {
  minWidth_ = std::max(width, 0);
  SetWidth(Width());
}

void TListColumn::SetMaxWidth(int width) {
  maxWidth_ = std::max(width, 0);
  SetWidth(Width());
}

void TListColumn::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  owner_->ShowColumn(this, false);
}

void TListColumn::SetAutoSize(bool value) {
  autoSize_ = value;
  owner_->AutoSizeColumns();
}

void TListColumn::SetImageIndex(int index) {
  imageIndex_ = index;
  owner_->ShowColumn(this, false);
}

TListColumn* TListColumns::Add() {
  columns_.push_back(std::make_unique<TListColumn>(owner_, Count()));
  owner_->ShowColumn(columns_.back().get(), true);
  owner_->AutoSizeColumns();
  return columns_.back().get();
}

TListColumn* TListColumns::Items(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(index);
  return columns_[static_cast<size_t>(index)].get();
}

void TListColumns::Delete(int index) {
  if (index < 0 || index >= Count()) ListIndexError(index);
  columns_[static_cast<size_t>(index)]->width_ = columns_[static_cast<size_t>(index)]->Width();
  if (HWND wnd = owner_->Window())
    SendMessageW(wnd, LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0);
  columns_.erase(columns_.begin() + index);
  for (int i = index; i < Count(); ++i) columns_[static_cast<size_t>(i)]->index_ = i;
  owner_->AutoSizeColumns();
}

void TListColumns::Clear() {
  while (Count() > 0) Delete(Count() - 1);
}

// --- sub-items -------------------------------------------------------------------------

void TSubItems::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TSubItems::Strings(int index) const {
  CheckIndex(index);
  return texts_[static_cast<size_t>(index)];
}

void TSubItems::ShowFrom(int index) {
  TListView* view = item_->owner_;
  const int row = item_->Index();
  if (row < 0) return;
  // Cells after the last sub-item are emptied too (a deleted one moved them).
  for (int k = index; k <= Count() && k + 1 < view->columns_.Count(); ++k)
    view->ShowCell(row, k + 1);
}

void TSubItems::Put(int index, const std::string& text) {
  CheckIndex(index);
  texts_[static_cast<size_t>(index)] = text;
  if (const int row = item_->Index(); row >= 0) item_->owner_->ShowCell(row, index + 1);
}

int TSubItems::Add(const std::string& text) {
  texts_.push_back(text);
  ShowFrom(Count() - 1);
  return Count() - 1;
}

void TSubItems::Insert(int index, const std::string& text) {
  if (index < 0 || index > Count())
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  texts_.insert(texts_.begin() + index, text);
  ShowFrom(index);
}

void TSubItems::Delete(int index) {
  CheckIndex(index);
  texts_.erase(texts_.begin() + index);
  ShowFrom(index);
}

void TSubItems::Clear() {
  texts_.clear();
  ShowFrom(0);
}

void TSubItems::Assign(const std::vector<std::string>& texts) {
  texts_ = texts;
  ShowFrom(0);
}

// --- items -----------------------------------------------------------------------------

TListItem::TListItem(TListView* owner) : owner_(owner), subItems_(this) {}

int TListItem::Index() const { return owner_->items_.IndexOf(this); }

void TListItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (const int i = Index(); i >= 0) owner_->ShowCell(i, 0);
}

void TListItem::SetImageIndex(int index) {
  imageIndex_ = index;
  if (const int i = Index(); i >= 0) owner_->ShowItem(i, false);
}

std::string TListItem::ColumnText(int column) const {
  if (column == 0) return caption_;
  if (column - 1 < subItems_.Count()) return subItems_.texts_[static_cast<size_t>(column - 1)];
  return {};
}

bool TListItem::Selected() const {
  HWND wnd = owner_->Window();
  if (wnd == nullptr) return selected_;
  return SendMessageW(wnd, LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool value) {
  selected_ = value;
  if (HWND wnd = owner_->Window()) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = value ? LVIS_SELECTED : 0;
    SendMessageW(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(Index()),
                 reinterpret_cast<LPARAM>(&item));
  }
}

bool TListItem::Focused() const {
  HWND wnd = owner_->Window();
  if (wnd == nullptr) return focused_;
  return SendMessageW(wnd, LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool value) {
  focused_ = value;
  if (HWND wnd = owner_->Window()) {
    LVITEMW item{};
    item.stateMask = LVIS_FOCUSED;
    item.state = value ? LVIS_FOCUSED : 0;
    SendMessageW(wnd, LVM_SETITEMSTATE, static_cast<WPARAM>(Index()),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void TListItem::MakeVisible() {
  if (HWND wnd = owner_->Window()) SendMessageW(wnd, LVM_ENSUREVISIBLE, Index(), FALSE);
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count()) ListIndexError(index);
  items_.insert(items_.begin() + index, std::make_unique<TListItem>(owner_));
  owner_->ShowItem(index, true);
  return items_[static_cast<size_t>(index)].get();
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(index);
  return items_[static_cast<size_t>(index)].get();
}

int TListItems::IndexOf(const TListItem* item) const {
  // Most look-ups are for the rows near the end while a list is filled.
  for (int i = Count() - 1; i >= 0; --i)
    if (items_[static_cast<size_t>(i)].get() == item) return i;
  return -1;
}

void TListItems::Delete(int index) {
  if (index < 0 || index >= Count()) ListIndexError(index);
  if (HWND wnd = owner_->Window()) SendMessageW(wnd, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
  items_.erase(items_.begin() + index);
}

void TListItems::Clear() {
  if (HWND wnd = owner_->Window()) SendMessageW(wnd, LVM_DELETEALLITEMS, 0, 0);
  items_.clear();
}

void TListItems::BeginUpdate() {
  if (owner_->updateCount_++ == 0)
    if (HWND wnd = owner_->Window()) SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (owner_->updateCount_ == 0) return;
  if (--owner_->updateCount_ == 0)
    if (HWND wnd = owner_->Window()) {
      SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(wnd, nullptr, TRUE);
    }
}

// --- the list view ---------------------------------------------------------------------

TListView::TListView(TComponent* owner) : TWinControl(owner), columns_(this), items_(this) {
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 250, 150);
}

TListView::~TListView() = default;

HWND TListView::Window() const {
  auto* self = const_cast<TListView*>(this);
  return self->HandleAllocated() ? self->Handle() : nullptr;
}

void TListView::CreateParams(TCreateParams& p) {
  InitListViewClass();
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_LISTVIEWW);
  static const DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  p.Style |= kViewStyles[viewStyle_] | LVS_SHAREIMAGELISTS;
  if (!readOnly_) p.Style |= LVS_EDITLABELS;
  if (!columnClick_) p.Style |= LVS_NOSORTHEADER;
  if (!hideSelection_) p.Style |= LVS_SHOWSELALWAYS;
  if (!showColumnHeaders_) p.Style |= LVS_NOCOLUMNHEADER;
  if (!multiSelect_) p.Style |= LVS_SINGLESEL;
  p.ExStyle |= WS_EX_CLIENTEDGE;
  p.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TListView::CreateHandleDone() {
  TWinControl::CreateHandleDone();
  HWND wnd = Handle();
  ApplyExtendedStyle();
  ApplyColors();
  ApplyImages();
  for (auto& c : columns_.columns_) ShowColumn(c.get(), true);
  SendMessageW(wnd, WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < items_.Count(); ++i) {
    ShowItem(i, true);
    TListItem* item = items_.Item(i);
    if (item->selected_) item->SetSelected(true);
    if (item->focused_) item->SetFocused(true);
  }
  if (updateCount_ == 0) SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
  AutoSizeColumns();
}

void TListView::DestroyWnd() {
  if (!BeingFreed()) ReadBackState();
  TWinControl::DestroyWnd();
}

// What the user may have changed in the window is kept for the next one.
void TListView::ReadBackState() {
  HWND wnd = Window();
  if (wnd == nullptr) return;
  for (auto& c : columns_.columns_) c->width_ = c->Width();
  for (int i = 0; i < items_.Count(); ++i) {
    TListItem* item = items_.Item(i);
    item->selected_ = item->Selected();
    item->focused_ = item->Focused();
  }
}

void TListView::ApplyExtendedStyle() {
  HWND wnd = Window();
  if (wnd == nullptr) return;
  DWORD ex = 0;
  if (gridLines_) ex |= LVS_EX_GRIDLINES;
  if (rowSelect_) ex |= LVS_EX_FULLROWSELECT;
  if (hotTrack_) ex |= LVS_EX_TRACKSELECT;
  if (flatScrollBars_) ex |= LVS_EX_FLATSB;
  if (fullDrag_) ex |= LVS_EX_HEADERDRAGDROP;
  const DWORD mask = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT | LVS_EX_FLATSB |
                     LVS_EX_HEADERDRAGDROP;
  SendMessageW(wnd, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, ex);
}

void TListView::ApplyColors() {
  HWND wnd = Window();
  if (wnd == nullptr) return;
  SendMessageW(wnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  SendMessageW(wnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  SendMessageW(wnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Font()->Color())));
}

void TListView::ShowColumn(TListColumn* column, bool insert) {
  HWND wnd = Window();
  if (wnd == nullptr) return;
  std::wstring text = Wide(column->caption_);
  LVCOLUMNW lc{};
  lc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  lc.fmt = FormatOf(column->alignment_);
  lc.cx = column->width_;
  lc.pszText = text.data();
  if (column->imageIndex_ >= 0) {
    lc.mask |= LVCF_IMAGE;
    lc.fmt |= LVCFMT_IMAGE;
    lc.iImage = column->imageIndex_;
  }
  // The first column cannot be centred or right-aligned in every version
  // of the control; it takes what it can.
  SendMessageW(wnd, insert ? LVM_INSERTCOLUMNW : LVM_SETCOLUMNW,
               static_cast<WPARAM>(column->index_), reinterpret_cast<LPARAM>(&lc));
}

void TListView::ShowItem(int index, bool insert) {
  HWND wnd = Window();
  if (wnd == nullptr) return;
  TListItem* item = items_.Item(index);
  std::wstring text = Wide(item->caption_);
  LVITEMW lv{};
  lv.mask = LVIF_TEXT | LVIF_IMAGE;
  lv.iItem = index;
  lv.pszText = text.data();
  lv.iImage = item->imageIndex_;
  SendMessageW(wnd, insert ? LVM_INSERTITEMW : LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
  if (insert)
    for (int k = 0; k < item->subItems_.Count() && k + 1 < columns_.Count(); ++k)
      ShowCell(index, k + 1);
}

void TListView::ShowCell(int index, int column) {
  HWND wnd = Window();
  if (wnd == nullptr) return;
  std::wstring text = Wide(items_.Item(index)->ColumnText(column));
  LVITEMW lv{};
  lv.iSubItem = column;
  lv.pszText = text.data();
  SendMessageW(wnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&lv));
}

void TListView::AutoSizeColumns() {
  HWND wnd = Window();
  if (wnd == nullptr || autoSizing_ || viewStyle_ != vsReport) return;
  int fixed = 0, autoCount = 0;
  for (auto& c : columns_.columns_) {
    if (c->autoSize_)
      ++autoCount;
    else
      fixed += c->Width();
  }
  if (autoCount == 0) return;
  autoSizing_ = true;
  RECT rc;
  GetClientRect(wnd, &rc);
  const int share = std::max(0, (static_cast<int>(rc.right) - fixed) / autoCount);
  for (auto& c : columns_.columns_)
    if (c->autoSize_) {
      c->width_ = c->Clamp(share);
      ShowColumn(c.get(), false);
    }
  autoSizing_ = false;
}

void TListView::Resize() {
  AutoSizeColumns();
  TWinControl::Resize();
}

TListItem* TListView::Selected() const {
  HWND wnd = Window();
  if (wnd == nullptr) {
    for (auto& i : items_.items_)
      if (i->selected_) return i.get();
    return nullptr;
  }
  const int i = static_cast<int>(
      SendMessageW(wnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
  return i >= 0 && i < items_.Count() ? items_.Item(i) : nullptr;
}

void TListView::SetSelected(TListItem* item) {
  for (int i = 0; i < items_.Count(); ++i) {
    TListItem* each = items_.Item(i);
    if (each != item && each->Selected()) each->SetSelected(false);
  }
  if (item != nullptr) {
    item->SetSelected(true);
    item->SetFocused(true);
  }
}

int TListView::ItemIndex() const {
  TListItem* item = Selected();
  return item != nullptr ? item->Index() : -1;
}

void TListView::SetItemIndex(int index) {
  SetSelected(index >= 0 && index < items_.Count() ? items_.Item(index) : nullptr);
}

int TListView::SelCount() const {
  if (HWND wnd = Window()) return static_cast<int>(SendMessageW(wnd, LVM_GETSELECTEDCOUNT, 0, 0));
  return static_cast<int>(std::count_if(items_.items_.begin(), items_.items_.end(),
                                        [](const auto& i) { return i->selected_; }));
}

TListItem* TListView::ItemFocused() const {
  for (auto& i : items_.items_)
    if (i->Focused()) return i.get();
  return nullptr;
}

TListItem* TListView::GetItemAt(int x, int y) {
  LVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  const int i = static_cast<int>(
      SendMessageW(Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return i >= 0 && i < items_.Count() ? items_.Item(i) : nullptr;
}

TRect TListView::ItemRect(int index, int code) {
  RECT rc{};
  rc.left = code;
  if (!SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&rc)))
    return {};
  return Rect(rc.left, rc.top, rc.right, rc.bottom);
}

void TListView::SetViewStyle(TViewStyle style) {
  if (style == viewStyle_) return;
  ReadBackState();
  viewStyle_ = style;
  RecreateWnd();
}

void TListView::SetStyleBit(bool& field, bool value) {
  if (field == value) return;
  field = value;
  ApplyExtendedStyle();
}

void TListView::SetGridLines(bool value) { SetStyleBit(gridLines_, value); }
void TListView::SetRowSelect(bool value) { SetStyleBit(rowSelect_, value); }
void TListView::SetHotTrack(bool value) { SetStyleBit(hotTrack_, value); }
void TListView::SetFlatScrollBars(bool value) { SetStyleBit(flatScrollBars_, value); }
void TListView::SetFullDrag(bool value) { SetStyleBit(fullDrag_, value); }

// The window styles below are read at creation: a change makes a new window.
void TListView::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  RecreateWnd();
}

void TListView::SetColumnClick(bool value) {
  if (value == columnClick_) return;
  columnClick_ = value;
  RecreateWnd();
}

void TListView::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

void TListView::SetShowColumnHeaders(bool value) {
  if (value == showColumnHeaders_) return;
  showColumnHeaders_ = value;
  RecreateWnd();
}

void TListView::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  RecreateWnd();
}

void TListView::SetImageList(TCustomImageList*& field, TCustomImageList* images) {
  if (field == images) return;
  if (field != nullptr) field->RemoveFreeNotification(this);
  field = images;
  if (images != nullptr) images->FreeNotification(this);
  ApplyImages();
}

void TListView::SetSmallImages(TCustomImageList* images) { SetImageList(smallImages_, images); }
void TListView::SetLargeImages(TCustomImageList* images) { SetImageList(largeImages_, images); }
void TListView::SetStateImages(TCustomImageList* images) { SetImageList(stateImages_, images); }

void TListView::ApplyImages() {
  HWND wnd = Window();
  if (wnd == nullptr) return;
  // The window shares the lists (LVS_SHAREIMAGELISTS): their owners free them.
  const std::pair<int, TCustomImageList*> lists[] = {
      {LVSIL_SMALL, smallImages_}, {LVSIL_NORMAL, largeImages_}, {LVSIL_STATE, stateImages_}};
  for (auto [which, list] : lists)
    SendMessageW(wnd, LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                 reinterpret_cast<LPARAM>(list != nullptr ? list->Handle() : nullptr));
  Invalidate();
}

void TListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  bool changed = false;
  for (TCustomImageList** field : {&smallImages_, &largeImages_, &stateImages_})
    if (*field != nullptr && static_cast<TComponent*>(*field) == component) {
      *field = nullptr;
      changed = true;
    }
  if (changed) ApplyImages();
}

void TListView::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
      switch (hdr->code) {
        case NM_CUSTOMDRAW:
          return CustomDraw(m);
        case LVN_ITEMCHANGED: {
          auto* nm = reinterpret_cast<NMLISTVIEW*>(m.LParam);
          if (!(nm->uChanged & LVIF_STATE) || nm->iItem < 0 || nm->iItem >= items_.Count()) return;
          const UINT changed = nm->uNewState ^ nm->uOldState;
          if (changed & LVIS_SELECTED && OnSelectItem)
            OnSelectItem(this, items_.Item(nm->iItem), (nm->uNewState & LVIS_SELECTED) != 0);
          if ((changed & (LVIS_SELECTED | LVIS_FOCUSED)) && OnChange) OnChange(this);
          return;
        }
        case LVN_BEGINLABELEDITW:
          m.Result = readOnly_ ? TRUE : FALSE;
          return;
        case LVN_ENDLABELEDITW: {
          auto* nm = reinterpret_cast<NMLVDISPINFOW*>(m.LParam);
          if (nm->item.pszText == nullptr || nm->item.iItem < 0 || nm->item.iItem >= items_.Count())
            return;
          items_.Item(nm->item.iItem)->caption_ = Narrow(nm->item.pszText);
          m.Result = TRUE;
          return;
        }
        default:
          return;
      }
    }
    case WM_NOTIFY: {
      // The header's: a dragged column keeps within its limits.
      auto* hdr = reinterpret_cast<NMHEADERW*>(m.LParam);
      if ((hdr->hdr.code == HDN_ITEMCHANGINGW || hdr->hdr.code == HDN_ITEMCHANGINGA) &&
          hdr->pitem != nullptr && (hdr->pitem->mask & HDI_WIDTH) && hdr->iItem >= 0 &&
          hdr->iItem < columns_.Count()) {
        TListColumn* c = columns_.Items(hdr->iItem);
        const int clamped = c->Clamp(hdr->pitem->cxy);
        if (clamped != hdr->pitem->cxy) {
          m.Result = TRUE;  // refused; the clamped width is set instead
          c->width_ = clamped;
          PostMessageW(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(hdr->iItem), clamped);
          return;
        }
      }
      break;
    }
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      ApplyColors();
      return;
    default:
      break;
  }
  TWinControl::Dispatch(m);
}

namespace {

TCustomDrawState DrawStateOf(UINT state) {
  TCustomDrawState s = 0;
  if (state & CDIS_SELECTED) s |= cdsSelected;
  if (state & CDIS_GRAYED) s |= cdsGrayed;
  if (state & CDIS_DISABLED) s |= cdsDisabled;
  if (state & CDIS_CHECKED) s |= cdsChecked;
  if (state & CDIS_FOCUS) s |= cdsFocused;
  if (state & CDIS_DEFAULT) s |= cdsDefault;
  if (state & CDIS_HOT) s |= cdsHot;
  return s;
}

}  // namespace

void TListView::CustomDraw(TMessage& m) {
  auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(m.LParam);
  const DWORD stage = cd->nmcd.dwDrawStage;
  m.Result = CDRF_DODEFAULT;
  const bool wantItems =
      static_cast<bool>(OnAdvancedCustomDrawItem) || static_cast<bool>(OnAdvancedCustomDrawSubItem);
  // The canvas paints on the control's context only while a handler runs.
  const TCanvasBinding binding(canvas_, cd->nmcd.hdc);
  bool defaultDraw = true;
  const TRect rect = Rect(cd->nmcd.rc.left, cd->nmcd.rc.top, cd->nmcd.rc.right, cd->nmcd.rc.bottom);
  switch (stage) {
    case CDDS_PREPAINT:
      if (OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, rect, cdPrePaint, defaultDraw);
      if (!defaultDraw) {
        m.Result = CDRF_SKIPDEFAULT;
        return;
      }
      if (wantItems) m.Result |= CDRF_NOTIFYITEMDRAW;
      if (OnAdvancedCustomDraw) m.Result |= CDRF_NOTIFYPOSTPAINT;
      return;
    case CDDS_POSTPAINT:
      if (OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, rect, cdPostPaint, defaultDraw);
      return;
    case CDDS_PREERASE:
      if (OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, rect, cdPreErase, defaultDraw);
      if (!defaultDraw) m.Result = CDRF_SKIPDEFAULT;
      return;
    case CDDS_POSTERASE:
      if (OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, rect, cdPostErase, defaultDraw);
      return;
    default:
      break;
  }
  const int index = static_cast<int>(cd->nmcd.dwItemSpec);
  if (index < 0 || index >= items_.Count()) return;
  TListItem* item = items_.Item(index);
  const TCustomDrawState state = DrawStateOf(cd->nmcd.uItemState);
  if (stage == CDDS_ITEMPREPAINT) {
    if (OnAdvancedCustomDrawItem)
      OnAdvancedCustomDrawItem(this, item, state, cdPrePaint, defaultDraw);
    if (!defaultDraw) {
      m.Result = CDRF_SKIPDEFAULT;
      return;
    }
    if (OnAdvancedCustomDrawSubItem) m.Result |= CDRF_NOTIFYSUBITEMDRAW;
    if (OnAdvancedCustomDrawItem) m.Result |= CDRF_NOTIFYPOSTPAINT;
  } else if (stage == CDDS_ITEMPOSTPAINT) {
    if (OnAdvancedCustomDrawItem)
      OnAdvancedCustomDrawItem(this, item, state, cdPostPaint, defaultDraw);
  } else if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
    if (OnAdvancedCustomDrawSubItem)
      OnAdvancedCustomDrawSubItem(this, item, cd->iSubItem, state, cdPrePaint, defaultDraw);
    if (!defaultDraw) m.Result = CDRF_SKIPDEFAULT;
  }
}

}  // namespace kv
