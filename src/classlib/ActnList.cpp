#include "classlib/ActnList.h"

#include <algorithm>

#include "classlib/ImgList.h"

namespace kv {

// --- links ---------------------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_ != nullptr) std::erase(action_->clients_, this);
  action_ = action;
  if (action_ != nullptr) action_->clients_.push_back(this);
}

// --- TBasicAction ----------------------------------------------------------------------

TBasicAction::~TBasicAction() {
  while (!clients_.empty()) clients_.back()->SetAction(nullptr);
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::Change() {
  // By index: a client may leave the action while it follows the change.
  for (std::size_t i = 0; i < clients_.size(); ++i) clients_[i]->Change();
}

void TBasicAction::BeforeDestruction() {
  // The clients hear of it through their free notification; their links go first.
  while (!clients_.empty()) clients_.back()->SetAction(nullptr);
  TComponent::BeforeDestruction();
}

// --- TCustomAction ---------------------------------------------------------------------

TCustomAction::~TCustomAction() {
  if (actionList_ != nullptr) std::erase(actionList_->actions_, this);
}

void TCustomAction::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Change();
}

void TCustomAction::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Change();
}

void TCustomAction::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  Change();
}

void TCustomAction::SetActionList(TCustomActionList* list) {
  if (list == actionList_) return;
  if (actionList_ != nullptr) std::erase(actionList_->actions_, this);
  actionList_ = list;
  if (actionList_ != nullptr) actionList_->actions_.push_back(this);
  Change();
}

// --- TCustomActionList -----------------------------------------------------------------

TCustomActionList::~TCustomActionList() {
  while (!actions_.empty()) {
    actions_.back()->actionList_ = nullptr;
    actions_.pop_back();
  }
}

void TCustomActionList::SetImages(TCustomImageList* images) {
  if (images == images_) return;
  if (images_ != nullptr) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images_ != nullptr) images_->FreeNotification(this);
  for (std::size_t i = 0; i < actions_.size(); ++i) actions_[i]->Change();
}

void TCustomActionList::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == images_) SetImages(nullptr);
  TComponent::Notification(component, operation);
}

}  // namespace kv
