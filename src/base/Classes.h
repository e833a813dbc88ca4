// Objects, persistent objects and components with ownership.
//
// Ownership: a component is created on the heap with an owner, which frees
// it, or without one, held by the creator:
//
//   auto* timer = kv::Create<TTimer>(form);          // form frees it
//   kv::Owned<TForm> dialog = kv::CreateOwned<TForm>();  // freed with `dialog`
//
// An owner frees what it owns in reverse creation order, before its own
// destructors run (in BeforeDestruction). A component freed
// early with Free() first leaves its owner, so it is never freed twice. A
// component held by an Owned<> handle is never given an owner later
// (InsertComponent). Components are never created on the stack or as
// members: the constructor of TComponent enters the owner's list.
//
// Two-phase creation: C++ does not dispatch to derived classes inside a
// constructor, so set-up that needs the finished object goes into Loaded().
// BeginLoading() marks a component (and everything created with it as owner
// while the mark is on) with csLoading; EndLoading() clears the mark and calls
// Loaded(), owned components first, in creation order.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  // The class name without namespace, e.g. "TStringList".
  virtual std::string ClassName() const;
};

class TPersistent : public TObject {
 public:
  // Copies source's state into this object. The default raises
  // EConvertError "Cannot assign a <source class> to a <this class>".
  virtual void Assign(const TPersistent& source);

 protected:
  // Called by Assign of the target when it does not know the source; lets a
  // source copy itself into other classes. The default raises the error.
  virtual void AssignTo(TPersistent& dest) const;
};

enum TOperation { opInsert, opRemove };

using TComponentState = uint32_t;
constexpr TComponentState csLoading = 1u << 0;
constexpr TComponentState csDestroying = 1u << 1;
constexpr TComponentState csReading = 1u << 2;
constexpr TComponentState csDesigning = 1u << 3;

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  // Frees this component (leaving its owner first). Never call it from one of
  // the component's own event handlers.
  void Free();

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t tag) { tag_ = tag; }
  TComponentState ComponentState() const { return state_; }
  bool HasState(TComponentState s) const { return (state_ & s) != 0; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // Raises ERangeError for an index outside 0..ComponentCount()-1.
  TComponent* Components(int index) const;
  int ComponentIndex() const;  // position in the owner's list, -1 without owner
  // The owned component of that name (case-insensitive), nullptr when none.
  TComponent* FindComponent(std::string_view name) const;

  // Moves a component under this owner; it leaves its previous owner first.
  void InsertComponent(TComponent* component);
  // Takes a component out of this owner's list without freeing it; it then
  // has no owner, and whoever called this must free it.
  void RemoveComponent(TComponent* component);

  // Asks that `component` gets Notification(this, opRemove) when this
  // component is freed (and this one when `component` is freed).
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  void BeginLoading();
  void EndLoading();

 protected:
  // Told when a component is inserted into or removed from this owner, and
  // when a component that asked for free notification goes away. Overrides
  // drop their references to `component` and then call the inherited one,
  // which passes the news on to the owned components.
  virtual void Notification(TComponent* component, TOperation operation);
  // Called by EndLoading once the component is complete.
  virtual void Loaded() {}
  // Called by Free() and by the owner before the destructor runs, while the
  // derived parts still exist; overrides call the inherited one last, which
  // tells the watchers (FreeNotification) and frees the owned components.
  virtual void BeforeDestruction();
  void SetState(TComponentState s) { state_ |= s; }
  void ClearState(TComponentState s) { state_ &= ~s; }

 private:
  friend struct TComponentDeleter;
  void DestroyComponents();
  void NotifyWatchers();
  void Unlink(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  intptr_t tag_ = 0;
  TComponentState state_ = 0;
  bool beforeDestructionDone_ = false;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};

// Frees a component through Free().
struct TComponentDeleter {
  void operator()(TComponent* c) const {
    if (c != nullptr) c->Free();
  }
};
template <class T>
using Owned = std::unique_ptr<T, TComponentDeleter>;

// Creates a component of class T owned by owner (which may be nullptr only
// when the caller frees it with Free()).
template <class T, class... A>
T* Create(TComponent* owner, A&&... args) {
  return new T(owner, std::forward<A>(args)...);
}

// Creates a component without owner, freed with the returned handle.
template <class T, class... A>
Owned<T> CreateOwned(A&&... args) {
  return Owned<T>(new T(nullptr, std::forward<A>(args)...));
}

}  // namespace kv
