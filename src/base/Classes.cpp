#include "base/Classes.h"

#include <algorithm>
#include <typeinfo>

#include "base/SysUtils.h"

#if defined(__GNUG__)
#include <cxxabi.h>

#include <cstdlib>
#endif

namespace kv {

std::string TObject::ClassName() const {
  std::string name = typeid(*this).name();
#if defined(__GNUG__)
  int status = 0;
  char* readable = abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status);
  if (status == 0 && readable != nullptr) name = readable;
  std::free(readable);
#endif
  const size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + dest.ClassName());
}

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  state_ |= csDestroying;
  // Normally done in BeforeDestruction; what came after is done here.
  NotifyWatchers();
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::NotifyWatchers() {
  // Tell everyone who asked that this component goes away.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& back = other->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    other->Notification(this, opRemove);
  }
}

void TComponent::Free() {
  BeforeDestruction();
  delete this;
}

void TComponent::BeforeDestruction() {
  beforeDestructionDone_ = true;
  state_ |= csDestroying;
  // Watchers are told and owned components go while this one is whole: they
  // may still refer to it as they go (a hook they take off, a reference).
  NotifyWatchers();
  DestroyComponents();
}

void TComponent::DestroyComponents() {
  // Last created first; each one leaves the list before it is freed, so
  // notifications sent while it dies never see it.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    if (!c->beforeDestructionDone_) c->BeforeDestruction();
    delete c;
  }
}

void TComponent::SetName(const std::string& name) { name_ = name; }

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) {
    throw ERangeError("Component index out of bounds (" + IntToStr(index) + ")");
  }
  return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (owner_ == nullptr) return -1;
  const auto& list = owner_->components_;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (SameText(c->name_, name)) return c;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr || component->owner_ == this) return;
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  if (state_ & csLoading) component->state_ |= csLoading;
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->owner_ != this) return;
  Notification(component, opRemove);
  components_.erase(std::remove(components_.begin(), components_.end(), component),
                    components_.end());
  component->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
    freeNotifies_.push_back(component);
  }
  auto& back = component->freeNotifies_;
  if (std::find(back.begin(), back.end(), this) == back.end()) back.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  Unlink(component);
  auto& back = component->freeNotifies_;
  back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TComponent::Unlink(TComponent* component) {
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component),
                      freeNotifies_.end());
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component != nullptr) RemoveFreeNotification(component);
  // By index: a handler may free components of this owner meanwhile.
  for (size_t i = 0; i < components_.size(); ++i) {
    if (components_[i] != component) components_[i]->Notification(component, operation);
  }
}

void TComponent::BeginLoading() { state_ |= csLoading; }

void TComponent::EndLoading() {
  for (size_t i = 0; i < components_.size(); ++i) {
    if (components_[i]->state_ & csLoading) components_[i]->EndLoading();
  }
  if (!(state_ & csLoading)) return;
  state_ &= ~csLoading;
  Loaded();
}

}  // namespace kv
