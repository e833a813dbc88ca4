#include "skin/controls/sFrameBar_win.h"

#include <algorithm>
#include <cmath>

#include "base/SysUtils.h"
#include "classlib/ImgList.h"
#include "classlib/Messages.h"
#include "skin/controls/sLabel_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

// --- title button --------------------------------------------------------------------

namespace {

// "sTitleButton" and the smallest number from 1 that no component of owner uses.
std::string NextButtonName(TComponent* owner) {
  for (int n = 1;; ++n) {
    std::string name = "sTitleButton" + std::to_string(n);
    if (owner == nullptr || owner->FindComponent(name) == nullptr) return name;
  }
}

constexpr int ControlTypeTitleButton = 20;
// Posted to the bar: free the title buttons whose click deleted their item.
constexpr UINT WM_FREETITLEBUTTONS = WM_APP + 0x142;

}  // namespace

TsFrameBar::TsTitleButton::TsTitleButton(TComponent* owner, TsTitleItem* item)
    : TsSpeedButton(owner), item_(item) {
  // Its default section is the skin's title of a bar item.
  SkinData()->ControlType = ControlTypeTitleButton;
  SetName(NextButtonName(owner));
  SetAlignment(taLeftJustify);
  SetMargin(5);
  SetSpacing(8);
}

int TsFrameBar::TsTitleButton::ButtonState() const {
  const int state = CurrentState();
  return state == 0 && active_ ? 1 : state;
}

// --- title item --------------------------------------------------------------------------

TsTitleItem::TsTitleItem(TsFrameBar* bar) : bar_(bar) {
  button_ = Create<TsFrameBar::TsTitleButton>(bar, this);
  button_->OnClick = [this](TObject*) { bar_->TitleClick(this); };
  button_->SetParent(bar);
}

TsTitleItem::~TsTitleItem() {
  if (bar_->destroying_) return;
  ++bar_->generation_;
  button_->SetVisible(false);
  bar_->FreeTitleButton(button_);
  if (frame_ != nullptr) frame_->Free();
  // The titles below move up into the gap.
  bar_->Arrange();
}

void TsTitleItem::SetCursor(TCursor value) {
  cursor_ = value;
  button_->SetCursor(value);
}

const std::string& TsTitleItem::SkinSection() const { return button_->SkinData()->SkinSection(); }

void TsTitleItem::SetSkinSection(const std::string& value) {
  button_->SkinData()->SetSkinSection(value);
}

int TsTitleItem::Margin() const { return button_->Margin(); }

void TsTitleItem::SetMargin(int value) {
  button_->SetMargin(value);
  if (bar_->HasState(csDesigning)) InvalidateControlSkin(button_->SkinData());
}

int TsTitleItem::Spacing() const { return button_->Spacing(); }
void TsTitleItem::SetSpacing(int value) { button_->SetSpacing(value); }
TPopupMenu* TsTitleItem::PopupMenu() const { return button_->PopupMenu(); }
void TsTitleItem::SetPopupMenu(TPopupMenu* menu) { button_->SetPopupMenu(menu); }

void TsTitleItem::Assign(const TsTitleItem& source) {
  SetCaption(source.Caption());
  SetCursor(source.Cursor());
  SetImageIndex(source.ImageIndex());
  SetSkinSection(source.SkinSection());
  SetMargin(source.Margin());
  SetSpacing(source.Spacing());
  SetTag(source.Tag());
  SetVisible(source.Visible());
  SetPopupMenu(source.PopupMenu());
}

void TsTitleItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  button_->SetCaption(caption);
}

void TsTitleItem::SetImageIndex(int index) {
  if (imageIndex_ != index) button_->SetImages(bar_->Images());
  imageIndex_ = index;
  button_->SetImageIndex(index);
  button_->Invalidate();
}

void TsTitleItem::SetVisible(bool value) {
  visible_ = value;
  ++bar_->generation_;
  // Off the bar the button missed the skin changes.
  if (value) button_->SkinData()->RefreshSkinIndexes();
  button_->SetParent(value ? bar_ : nullptr);
  bar_->Arrange();
}

int TsTitleItem::Index() const {
  const auto& items = bar_->items_.items_;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].get() == this) return static_cast<int>(i);
  return -1;
}

TsTitleItem* TsTitles::Add() {
  items_.push_back(std::make_unique<TsTitleItem>(bar_));
  ++bar_->generation_;
  bar_->Arrange();
  return items_.back().get();
}

void TsTitles::Delete(int index) {
  std::unique_ptr<TsTitleItem> item = std::move(items_.at(static_cast<size_t>(index)));
  items_.erase(items_.begin() + index);
  // Out of the list first: its destruction arranges what is left.
  item.reset();
}

TsTitleItem* TsTitles::GetItem(int index) const {
  if (index < 0 || index >= Count())
    throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)].get();
}

// --- frame bar ---------------------------------------------------------------------------

namespace {

constexpr int ControlTypeFrameBar = 19;
constexpr int PlaceholderHeight = 150;

// What an arrangement switches off for its duration, given back however it
// ends, even with the bar gone.
class TArrangeScope {
 public:
  TArrangeScope() : animationsOff_(AnimationsOff), suppressMouseEnter_(SuppressMouseEnter) {
    HideHintsForPress();
    AnimationsOff = true;
    SuppressMouseEnter = true;
  }
  ~TArrangeScope() {
    AnimationsOff = animationsOff_;
    SuppressMouseEnter = suppressMouseEnter_;
    RestoreHintsAfterPress();
  }
  TArrangeScope(const TArrangeScope&) = delete;
  TArrangeScope& operator=(const TArrangeScope&) = delete;

 private:
  bool animationsOff_;
  bool suppressMouseEnter_;
};

// The window's region (null: none); the window owns it afterwards.
void SetWindowRgnOf(TWinControl* control, HRGN region) {
  if (control->HandleAllocated())
    SetWindowRgn(control->Handle(), region, TRUE);
  else if (region != nullptr)
    DeleteObject(region);
}

}  // namespace

TsFrameBar::TsFrameBar(TComponent* owner) : TsScrollBox(owner) {
  SkinData()->ControlType = ControlTypeFrameBar;
  SetAlign(alLeft);
  SetCaption(" ");
  SetAutoScroll(false);
  VertScrollBar()->SetTracking(true);
  HorzScrollBar()->SetVisible(false);
}

TsFrameBar::~TsFrameBar() {
  // The buttons and frames are components of the bar and go with it.
  destroying_ = true;
  items_.items_.clear();
}

void TsFrameBar::SetTitleHeight(int value) {
  titleHeight_ = value;
  Arrange();
}

void TsFrameBar::SetSpacing(int value) {
  spacing_ = value;
  Arrange();
}

void TsFrameBar::SetBorderWidth(int value) {
  if (borderWidth_ == value) return;
  borderWidth_ = value;
  if (HandleAllocated()) RecreateWnd();
  Arrange();
}

void TsFrameBar::Loaded() {
  TsScrollBox::Loaded();
  for (auto& item : items_.items_) {
    item->button_->SkinData()->SetSkinManager(SkinData()->SkinManager());
    item->button_->SetCursor(item->cursor_);
  }
  if (Visible()) Arrange();
}

void TsFrameBar::SetAllowAllOpen(bool value) {
  allowAllOpen_ = value;
  if (value) autoFrameSize_ = false;
  Arrange();
}

void TsFrameBar::SetAutoFrameSize(bool value) {
  autoFrameSize_ = value;
  if (value) {
    allowAllOpen_ = false;
    SetAutoScroll(false);
  }
  Arrange();
}

void TsFrameBar::SetImages(TCustomImageList* images) {
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images_ != nullptr) images_->FreeNotification(this);
  for (auto& item : items_.items_)
    if (item->Visible()) {
      item->button_->SetImages(images);
      item->button_->Invalidate();
    }
}

void TsFrameBar::Notification(TComponent* component, TOperation operation) {
  TsScrollBox::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    for (auto& item : items_.items_) item->button_->SetImages(nullptr);
  }
}

// With the sunken edge the titles keep two more pixels from it on every side
// and four more from the right, where the scroll bar comes and goes.
TRect TsFrameBar::ItemsArea() {
  TRect area = ClientRect();
  const int inset = borderWidth_ + EdgeInset();
  if (BorderStyle() == bsSingle) area.Right -= 4;
  area.Left += inset;
  area.Top += inset;
  area.Right -= inset;
  area.Bottom -= inset;
  return area;
}

int TsFrameBar::EdgeInset() const { return BorderStyle() == bsSingle ? 2 : 0; }

int TsFrameBar::AvailableHeight(const TRect& area) const {
  int available = area.Height();
  for (const auto& item : items_.items_) {
    if (!item->visible_) continue;
    available -= titleHeight_ + borderWidth_;
    if (item->state_ == stOpened || item->state_ == stOpening) available -= borderWidth_ + spacing_;
  }
  return std::max(available, 0);
}

void TsFrameBar::TitleClick(TsTitleItem* item) {
  const TLifeToken barLife = LifeToken();
  const TLifeToken life(item->life_);
  TsTitleButton* const outer = clicking_;
  clicking_ = item->button_;
  RunTitleClick(item, life);
  if (barLife.Alive()) clicking_ = outer;
}

void TsFrameBar::RunTitleClick(TsTitleItem* item, const TLifeToken& life) {
  if (item->OnClick) {
    item->OnClick(item->button_);
    // The handler deleted its item (or the bar): the bar has settled already.
    if (!life.Alive()) return;
  }
  if (item->state_ == stClosed) {
    item->state_ = stOpening;
    if (!allowAllOpen_)
      for (auto& other : items_.items_)
        if (other.get() != item && (other->state_ == stOpened || other->state_ == stOpening))
          other->state_ = stClosing;
  } else if (item->state_ == stOpened && allowAllClose_) {
    item->state_ = stClosing;
  }
  Arrange(animation_ && Visible() && !HasState(csLoading));
}

TCustomFrame* TsFrameBar::CreatePlaceholderFrame() {
  auto* frame = Create<TFrame>(this);
  frame->SetHeight(PlaceholderHeight);
  FormServices().AdaptFrame(frame, SkinData()->SkinManager(), "BARPANEL");
  auto* label = Create<TsLabel>(frame);
  label->SetParent(frame);
  label->SetAlign(alClient);
  label->SetAlignment(taCenter);
  label->SetLayout(tlCenter);
  label->SetWordWrap(true);
  label->SetCaption("Frame creation\r\nevent has not been defined.");
  // Red under every skin: the skin's font colour must not take its place.
  label->SetUseSkinColor(false);
  label->Font()->SetColor(clRed);
  return frame;
}

void TsFrameBar::DestroyFrame(TsTitleItem* item) {
  if (item->frame_ == nullptr) return;
  bool canDestroy = true;
  const TLifeToken life(item->life_);
  if (item->OnFrameDestroy) item->OnFrameDestroy(item->button_, item->frame_, canDestroy);
  // The handler may have deleted the item, its frame with it.
  if (!life.Alive() || item->frame_ == nullptr) return;
  if (canDestroy) {
    item->frame_->Free();
    item->frame_ = nullptr;
  } else {
    SetWindowRgnOf(item->frame_, nullptr);
    item->frame_->SetVisible(false);
  }
}

bool TsFrameBar::PlaceFrame(TsTitleItem* item, int x, int y, int width, int shown) {
  if (item->frame_ == nullptr) {
    TCustomFrame* frame = nullptr;
    const TLifeToken life(item->life_);
    if (item->OnCreateFrame)
      item->OnCreateFrame(item->button_, frame);
    else
      frame = CreatePlaceholderFrame();
    // A handler that deleted its own item: the frame has no item to go to.
    if (!life.Alive()) return false;
    item->frame_ = frame;
  }
  TCustomFrame* frame = item->frame_;
  if (frame == nullptr) return false;
  if (item->frameHeight_ == 0) item->frameHeight_ = frame->Height();
  const int height = item->frameHeight_;
  if (shown < 0 || shown > height) shown = height;
  if (frame->Parent() != this) frame->SetParent(this);
  if (shown == 0) {
    frame->SetVisible(false);
    return true;
  }
  // The frame slides out from under its title: only its bottom shows.
  frame->SetBounds(x, y - (height - shown), width, height);
  frame->SetVisible(true);
  SetWindowRgnOf(frame, shown < height ? CreateRectRgn(0, height - shown, width, height) : nullptr);
  return true;
}

bool TsFrameBar::ArrangePass(int step, int lastStep, const TRect& area, int& bottom) {
  const unsigned generation = generation_;
  const int width = std::max(0, area.Width());
  const int scroll = VertScrollBar()->Position();
  const bool animated = lastStep > 0;
  int y = area.Top;
  for (size_t i = 0; i < items_.items_.size(); ++i) {
    TsTitleItem* item = items_.items_[i].get();
    if (!item->visible_) continue;
    // The item's handlers run below and may delete it: then the list is stale.
    const TLifeToken life(item->life_);
    const auto gone = [&] { return !life.Alive(); };
    item->button_->SetBounds(area.Left, y - scroll, width, titleHeight_);
    y += titleHeight_;
    int shown = 0;
    switch (item->state_) {
      case stClosed:
        DestroyFrame(item);
        if (gone()) return false;
        item->frameHeight_ = 0;
        break;
      case stOpened: {
        y += spacing_;
        if (autoFrameSize_) item->frameHeight_ = AvailableHeight(area);
        const bool placed = PlaceFrame(item, area.Left, y - scroll, width, -1);
        if (gone()) return false;
        if (placed) {
          shown = item->frameHeight_;
          if (autoFrameSize_ && item->frame_->Height() != shown) item->frame_->SetHeight(shown);
        } else {
          item->state_ = stClosed;
        }
        break;
      }
      case stClosing:
        y += spacing_;
        shown = animated ? static_cast<int>(std::lrint(static_cast<double>(item->frameHeight_) /
                                                       lastStep * (lastStep - step)))
                         : 0;
        if (step == lastStep) {
          item->state_ = stClosed;
          DestroyFrame(item);
          if (gone()) return false;
          item->frameHeight_ = 0;
          shown = 0;
        } else {
          PlaceFrame(item, area.Left, y - scroll, width, shown);
          if (gone()) return false;
        }
        break;
      case stOpening: {
        y += spacing_;
        if (step == lastStep && autoFrameSize_) item->frameHeight_ = AvailableHeight(area);
        // The frame first, so that its height is known.
        const bool placed = PlaceFrame(item, area.Left, y - scroll, width, 0);
        if (gone()) return false;
        if (!placed) {
          // Nothing to show: the item must not stay opening for ever.
          item->state_ = stClosed;
          break;
        }
        shown = animated ? static_cast<int>(std::lrint(static_cast<double>(item->frameHeight_) /
                                                       lastStep * step))
                         : item->frameHeight_;
        PlaceFrame(item, area.Left, y - scroll, width, shown);
        if (step == lastStep) item->state_ = stOpened;
        break;
      }
    }
    if (generation != generation_) return false;
    if (item->state_ != stClosed) y += borderWidth_ + shown;
    y += borderWidth_;
    if (item->state_ == stOpened) item->button_->SetActive(true);
    if (item->state_ == stClosed) item->button_->SetActive(false);
    item->button_->Invalidate();
  }
  bottom = y;
  return true;
}

void TsFrameBar::Arrange(bool animated) {
  if (arranging_ || destroying_ || items_.Count() == 0 || HasState(csLoading)) return;
  if (!Visible()) animated = false;
  const TLifeToken life = LifeToken();
  const TArrangeScope scope;
  arranging_ = true;
  const int lastStep = animated ? 3 : 0;
  int bottom = 0;
  bool complete = true;
  for (int step = 0; step <= lastStep; ++step) {
    const TRect area = ItemsArea();
    BeginPaintLock(SkinData());
    {
      const TRedrawLock lock(this, Showing());
      complete = ArrangePass(step, lastStep, area, bottom);
    }
    // A frame handler may have freed the bar, its lock with it.
    if (!life.Alive()) return;
    EndPaintLock(SkinData());
    if (Showing()) {
      RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
      // Children held back while the bar moved them paint now.
      ResumeChildrenPainting(this);
    }
    if (!complete) break;
    if (step < lastStep) {
      Sleep(10);
      Application->ProcessMessages();
      // The bar or its items may have gone meanwhile.
      if (!life.Alive()) return;
      if (destroying_) break;
    }
  }
  arranging_ = false;
  if (destroying_) return;
  if (!complete) {
    // Items changed under the animation: settle them at once.
    Arrange(false);
    return;
  }
  VertScrollBar()->SetRange(std::max(0, bottom + EdgeInset() + borderWidth_));
  UpdateWidths();
  if (Showing()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TsFrameBar::FreeTitleButton(TsTitleButton* button) {
  if (button != clicking_) return button->Free();
  // Still inside its own click: the class library goes on with it afterwards.
  leftButtons_.push_back(button);
  if (HandleAllocated()) PostMessageW(Handle(), WM_FREETITLEBUTTONS, 0, 0);
}

void TsFrameBar::UpdateWidths() {
  const int width = std::max(0, ItemsArea().Width());
  for (auto& item : items_.items_) {
    if (!item->visible_) continue;
    if (item->button_->Width() != width) {
      item->button_->SkinData()->BGChanged = true;
      item->button_->SetWidth(width);
    }
    if (item->frame_ != nullptr && item->frame_->Width() != width) item->frame_->SetWidth(width);
  }
  if (ScrollAdapter() != nullptr) UpdateScrollBarInfo(ScrollAdapter(), true);
}

void TsFrameBar::WndProc(TMessage& message) {
  // The box's handling runs the bar's own handlers, which may free it.
  const TLifeToken life = LifeToken();
  TsScrollBox::WndProc(message);
  if (!life.Alive() || destroying_) return;
  switch (message.Msg) {
    case WM_FREETITLEBUTTONS: {
      // One whose click still runs (the click let messages through) waits on.
      std::vector<TsTitleButton*> buttons;
      buttons.swap(leftButtons_);
      for (TsTitleButton* button : buttons) {
        if (button == clicking_)
          FreeTitleButton(button);
        else
          button->Free();
      }
      break;
    }
    case WM_SIZE:
      if (!Showing()) break;
      if (autoFrameSize_)
        Arrange();
      else
        UpdateWidths();
      break;
    case CM_VISIBLECHANGED:
      Arrange();
      break;
    case CM_ENABLEDCHANGED:
      for (auto& item : items_.items_) {
        item->button_->SetEnabled(Enabled());
        if (item->frame_ != nullptr) item->frame_->SetEnabled(Enabled());
      }
      Invalidate();
      break;
    case SM_ALPHACMD:
      if (message.WParamHi() == cmdSkinRefresh) UpdateWidths();
      break;
    default:
      break;
  }
}

}  // namespace kv
