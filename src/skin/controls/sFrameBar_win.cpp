#include "skin/controls/sFrameBar_win.h"

#include <algorithm>

#include "base/SysUtils.h"
#include "classlib/ImgList.h"
#include "classlib/Messages.h"

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

}  // namespace

TsTitleButton::TsTitleButton(TComponent* owner, TsTitleItem* item)
    : TsSpeedButton(owner), item_(item) {
  SetName(NextButtonName(owner));
  SetMargin(5);
  SetSpacing(8);
}

int TsTitleButton::ButtonState() const {
  const int state = CurrentState();
  return state == 0 && active_ ? 1 : state;
}

// --- title item --------------------------------------------------------------------------

TsTitleItem::TsTitleItem(TsFrameBar* bar) : bar_(bar) {
  button_ = Create<TsTitleButton>(bar, this);
  button_->OnClick = [this](TObject*) { bar_->TitleClick(this); };
  button_->SetParent(bar);
}

TsTitleItem::~TsTitleItem() {
  if (bar_->destroying_) return;
  button_->Free();
  if (frame_ != nullptr) frame_->Free();
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
  bar_->Arrange();
  return items_.back().get();
}

TsTitleItem* TsTitles::GetItem(int index) const {
  if (index < 0 || index >= Count())
    throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)].get();
}

// --- frame bar ---------------------------------------------------------------------------

TsFrameBar::TsFrameBar(TComponent* owner) : TScrollBox(owner) {
  SetAlign(alLeft);
  SetCaption(" ");
  SetAutoScroll(false);
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
  TScrollBox::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    for (auto& item : items_.items_) item->button_->SetImages(nullptr);
  }
}

TRect TsFrameBar::ItemsArea() {
  TRect area = ClientRect();
  area.Left += borderWidth_;
  area.Top += borderWidth_;
  area.Right -= borderWidth_;
  area.Bottom -= borderWidth_;
  return area;
}

void TsFrameBar::TitleClick(TsTitleItem* item) {
  if (item->OnClick) item->OnClick(item->button_);
  if (item->state_ == stClosed) {
    item->state_ = stOpening;
    // An item still opening (its frame not made yet) counts as open here.
    if (!allowAllOpen_)
      for (auto& other : items_.items_)
        if (other.get() != item && (other->state_ == stOpened || other->state_ == stOpening))
          other->state_ = stClosing;
  } else if (item->state_ == stOpened && allowAllClose_) {
    item->state_ = stClosing;
  }
  Arrange();
}

void TsFrameBar::DestroyFrame(TsTitleItem* item) {
  if (item->frame_ == nullptr) return;
  bool canDestroy = true;
  if (item->OnFrameDestroy) item->OnFrameDestroy(item->button_, item->frame_, canDestroy);
  if (item->frame_ == nullptr) return;
  if (canDestroy) {
    item->frame_->Free();
    item->frame_ = nullptr;
  } else {
    item->frame_->SetVisible(false);
  }
}

bool TsFrameBar::PlaceFrame(TsTitleItem* item, int x, int y, int width) {
  if (item->frame_ == nullptr && item->OnCreateFrame) {
    TCustomFrame* frame = nullptr;
    item->OnCreateFrame(item->button_, frame);
    item->frame_ = frame;
  }
  if (item->frame_ == nullptr) return false;
  TCustomFrame* frame = item->frame_;
  if (item->frameHeight_ == 0) item->frameHeight_ = frame->Height();
  if (frame->Parent() == nullptr) frame->SetParent(this);
  frame->SetBounds(x, y, width, item->frameHeight_);
  frame->SetVisible(true);
  return true;
}

void TsFrameBar::Arrange() {
  if (arranging_ || destroying_ || items_.Count() == 0) return;
  arranging_ = true;
  const TRect area = ItemsArea();
  const int width = std::max(0, area.Width());
  int y = area.Top;
  for (auto& owned : items_.items_) {
    TsTitleItem* item = owned.get();
    if (!item->visible_) continue;
    item->button_->SetBounds(area.Left, y, width, titleHeight_);
    y += titleHeight_;
    switch (item->state_) {
      case stClosing:
      case stClosed:
        item->state_ = stClosed;
        DestroyFrame(item);
        item->frameHeight_ = 0;
        break;
      case stOpening:
      case stOpened:
        y += spacing_;
        // Without a frame the item stays opening until one is made.
        if (PlaceFrame(item, area.Left, y, width)) {
          item->state_ = stOpened;
          y += borderWidth_ + item->frameHeight_;
        }
        break;
    }
    y += borderWidth_;
    item->button_->SetActive(item->state_ == stOpened || item->state_ == stOpening);
    item->button_->Invalidate();
  }
  arranging_ = false;
}

void TsFrameBar::UpdateWidths() {
  const int width = std::max(0, ItemsArea().Width());
  for (auto& item : items_.items_) {
    if (!item->visible_) continue;
    item->button_->SetWidth(width);
    if (item->frame_ != nullptr) item->frame_->SetWidth(width);
  }
}

void TsFrameBar::Dispatch(TMessage& message) {
  TScrollBox::Dispatch(message);
  switch (message.Msg) {
    case WM_SIZE:
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
    default:
      break;
  }
}

}  // namespace kv
