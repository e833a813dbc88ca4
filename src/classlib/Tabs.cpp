#include "classlib/Tabs.h"

#include <algorithm>

#include "classlib/ImgList.h"
#include "classlib/WideText.h"

namespace kv {

namespace {

void InitTabClass() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

}  // namespace

// --- TTabSheet -------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  // Only the active sheet shows; the page control decides.
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (pageControl_ != nullptr) pageControl_->RemovePage(this);
  pageControl_ = nullptr;
}

void TTabSheet::SetPageControl(TPageControl* pageControl) { SetParent(pageControl); }

void TTabSheet::SetParent(TWinControl* parent) {
  if (pageControl_ != nullptr && parent != pageControl_) {
    TPageControl* old = pageControl_;
    pageControl_ = nullptr;
    old->RemovePage(this);
  }
  TWinControl::SetParent(parent);
  if (auto* pc = dynamic_cast<TPageControl*>(parent); pc != nullptr && pageControl_ != pc) {
    pageControl_ = pc;
    pc->InsertPage(this);
  }
}

int TTabSheet::PageIndex() const {
  if (pageControl_ == nullptr) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (pageControl_ != nullptr) pageControl_->MovePage(this, index);
}

int TTabSheet::TabIndex() const {
  if (pageControl_ == nullptr || !tabVisible_) return -1;
  int i = 0;
  for (TTabSheet* p : pageControl_->pages_) {
    if (p == this) return i;
    if (p->tabVisible_) ++i;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (value == tabVisible_) return;
  tabVisible_ = value;
  if (pageControl_ != nullptr) {
    pageControl_->UpdateTabs();
    if (!value && pageControl_->activePage_ == this)
      pageControl_->ChangeActivePage(pageControl_->FindNextPage(this, true, true));
  }
}

void TTabSheet::SetImageIndex(int index) {
  imageIndex_ = index;
  if (pageControl_ != nullptr) pageControl_->UpdateTab(this);
}

void TTabSheet::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TTabSheet::Dispatch(TMessage& m) {
  TWinControl::Dispatch(m);
  if (m.Msg == CM_TEXTCHANGED && pageControl_ != nullptr) pageControl_->UpdateTab(this);
}

// --- TPageControl ----------------------------------------------------------------------

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetTabStop(true);
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  // The sheets outlive this part of the object (the base frees them).
  for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount())
    throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
  return pages_[static_cast<size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  UpdateTabs();
  if (activePage_ == nullptr && page->tabVisible_)
    ChangeActivePage(page);
  else
    UpdateActivePage();
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  TTabSheet* next = activePage_ == page ? FindNextPage(page, true, true) : activePage_;
  if (next == page) next = nullptr;
  pages_.erase(it);
  if (HasState(csDestroying)) return;
  UpdateTabs();
  ChangeActivePage(next);
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  index = std::clamp(index, 0, PageCount());
  pages_.insert(pages_.begin() + index, page);
  UpdateTabs();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward,
                                      bool checkTabVisible) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  auto it = std::find(pages_.begin(), pages_.end(), current);
  int start =
      it == pages_.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - pages_.begin());
  int i = start;
  for (int n = 0; n < count; ++n) {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* p = pages_[static_cast<size_t>(i)];
    if (!checkTabVisible || p->tabVisible_) return p;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* page = FindNextPage(activePage_, goForward, checkTabVisible);
  if (page == nullptr || page == activePage_ || !CanChange()) return;
  ChangeActivePage(page);
  Change();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page != nullptr && page->pageControl_ != this) return;
  ChangeActivePage(page);
}

void TPageControl::ChangeActivePage(TTabSheet* page) {
  activePage_ = page;
  if (HandleAllocated())
    SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(page ? page->TabIndex() : -1), 0);
  UpdateActivePage();
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

int TPageControl::TabIndex() const {
  auto* self = const_cast<TPageControl*>(this);
  if (self->HandleAllocated())
    return static_cast<int>(SendMessageW(self->Handle(), TCM_GETCURSEL, 0, 0));
  return activePage_ ? activePage_->TabIndex() : -1;
}

void TPageControl::SetTabIndex(int index) {
  for (TTabSheet* p : pages_)
    if (p->TabIndex() == index && index >= 0) return SetActivePage(p);
}

void TPageControl::UpdateActivePage() {
  if (activePage_ != nullptr) activePage_->BringToFront();
  for (TTabSheet* p : pages_) p->SetVisible(p == activePage_);
  Realign();
}

bool TPageControl::CanChange() {
  // A handler that frees the control leaves no change to make: the system's
  // tab control, asking from inside its own click, must not go on with it.
  const TLifeToken life = LifeToken();
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow && life.Alive();
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

// --- tabs ------------------------------------------------------------------------------

void TPageControl::UpdateTabs() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  SendMessageW(wnd, TCM_DELETEALLITEMS, 0, 0);
  int i = 0;
  for (TTabSheet* p : pages_) {
    if (!p->tabVisible_) continue;
    std::wstring text = Wide(p->Caption());
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = p->imageIndex_;
    SendMessageW(wnd, TCM_INSERTITEMW, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(wnd, TCM_SETCURSEL, static_cast<WPARAM>(activePage_ ? activePage_->TabIndex() : -1),
               0);
  Realign();
}

void TPageControl::UpdateTab(TTabSheet* page) {
  const int i = page->TabIndex();
  if (!HandleAllocated() || i < 0) return;
  std::wstring text = Wide(page->Caption());
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = text.data();
  item.iImage = page->imageIndex_;
  SendMessageW(Handle(), TCM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  Realign();  // a longer caption may add a row
}

void TPageControl::SetStyle(TTabStyle style) {
  if (style == style_) return;
  style_ = style;
  RecreateWnd();
}

void TPageControl::SetTabPosition(TTabPosition position) {
  if (position == tabPosition_) return;
  tabPosition_ = position;
  RecreateWnd();
}

void TPageControl::SetMultiLine(bool value) {
  if (value == multiLine_) return;
  multiLine_ = value;
  RecreateWnd();
}

void TPageControl::SetHotTrack(bool value) {
  if (value == hotTrack_) return;
  hotTrack_ = value;
  RecreateWnd();
}

void TPageControl::SetOwnerDraw(bool value) {
  if (value == ownerDraw_) return;
  ownerDraw_ = value;
  RecreateWnd();
}

void TPageControl::DrawTab(int tabIndex, const TRect& rect, bool active) {
  if (OnDrawTab) OnDrawTab(this, tabIndex, rect, active);
}

void TPageControl::SetImages(TCustomImageList* images) {
  if (images == images_) return;
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images != nullptr) images->FreeNotification(this);
  ApplyImages();
}

void TPageControl::ApplyImages() {
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), TCM_SETIMAGELIST, 0,
               reinterpret_cast<LPARAM>(images_ != nullptr ? images_->Handle() : nullptr));
  Realign();  // the tabs' height may follow the images'
  Invalidate();
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && images_ != nullptr &&
      static_cast<TComponent*>(images_) == component) {
    images_ = nullptr;
    ApplyImages();
  }
}

int TPageControl::RowCount() {
  return static_cast<int>(SendMessageW(Handle(), TCM_GETROWCOUNT, 0, 0));
}

TRect TPageControl::TabRect(int tabIndex) {
  RECT rc{};
  if (!SendMessageW(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(tabIndex),
                    reinterpret_cast<LPARAM>(&rc)))
    return {};
  return Rect(rc.left, rc.top, rc.right, rc.bottom);
}

TRect TPageControl::DisplayRect() {
  TRect r = ClientRect();
  AdjustClientRect(r);
  return r;
}

void TPageControl::AdjustClientRect(TRect& rect) {
  if (!HandleAllocated()) return;
  RECT rc{rect.Left, rect.Top, rect.Right, rect.Bottom};
  SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
  rect = Rect(rc.left, rc.top, std::max(rc.left, rc.right), std::max(rc.top, rc.bottom));
}

void TPageControl::AlignControls(TControl* control, TRect& rect) {
  for (TTabSheet* p : pages_) p->SetBoundsRect(rect);
  TWinControl::AlignControls(control, rect);
}

void TPageControl::CreateParams(TCreateParams& p) {
  InitTabClass();
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TABCONTROLW);
  if (style_ == tsButtons) p.Style |= TCS_BUTTONS;
  if (style_ == tsFlatButtons) p.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (tabPosition_ == tpBottom) p.Style |= TCS_BOTTOM;
  if (tabPosition_ == tpLeft) p.Style |= TCS_VERTICAL;
  if (tabPosition_ == tpRight) p.Style |= TCS_VERTICAL | TCS_RIGHT;
  // Side tabs need several rows.
  if (multiLine_ || tabPosition_ == tpLeft || tabPosition_ == tpRight) p.Style |= TCS_MULTILINE;
  if (hotTrack_) p.Style |= TCS_HOTTRACK;
  if (ownerDraw_) p.Style |= TCS_OWNERDRAWFIXED;
  p.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TPageControl::CreateHandleDone() {
  TWinControl::CreateHandleDone();
  if (images_ != nullptr)
    SendMessageW(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  UpdateTabs();
  UpdateActivePage();
}

void TPageControl::Dispatch(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    const TCanvasBinding binding(canvas_, dis->hDC);
    canvas_.Font()->Assign(*Font());
    const TRect r = Rect(dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom);
    DrawTab(static_cast<int>(dis->itemID), r, (dis->itemState & ODS_SELECTED) != 0);
    m.Result = TRUE;
    return;
  }
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
      m.Result = CanChange() ? FALSE : TRUE;
      return;
    }
    if (hdr->code == static_cast<UINT>(TCN_SELCHANGE)) {
      const int sel = static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
      for (TTabSheet* p : pages_)
        if (p->TabIndex() == sel) {
          activePage_ = p;
          break;
        }
      UpdateActivePage();
      Change();
      return;
    }
    return;
  }
  TWinControl::Dispatch(m);
}

}  // namespace kv
