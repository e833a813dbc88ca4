#pragma once
// Actions: a command's caption, enabled state and image kept in one place and
// followed by every control given the action (TControl::SetAction). An action
// list lends its actions one image list.

#include <string>
#include <vector>

#include "base/Classes.h"
#include "classlib/Graphics.h"

namespace kv {

class TBasicAction;
class TCustomActionList;
class TCustomImageList;

// Ties one client to an action, which calls Change after each of its changes.
class TBasicActionLink {
 public:
  TBasicActionLink() = default;
  virtual ~TBasicActionLink();
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;

  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* action);

 protected:
  friend class TBasicAction;
  virtual void Change() {}

 private:
  TBasicAction* action_ = nullptr;
};

class TBasicAction : public TComponent {
 public:
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
  ~TBasicAction() override;

  // Brings the action up to date (its Enabled, say) before the clients look.
  TNotifyEvent OnUpdate;
  // False when nothing updates the action.
  virtual bool Update();

 protected:
  // Tells every client.
  void Change();
  void BeforeDestruction() override;

 private:
  friend class TBasicActionLink;
  std::vector<TBasicActionLink*> clients_;
};

class TCustomAction : public TBasicAction {
 public:
  using TBasicAction::TBasicAction;
  ~TCustomAction() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  TCustomActionList* ActionList() const { return actionList_; }
  void SetActionList(TCustomActionList* list);

 private:
  friend class TCustomActionList;
  std::string caption_;
  bool enabled_ = true;
  int imageIndex_ = -1;
  TCustomActionList* actionList_ = nullptr;
};

class TAction : public TCustomAction {
 public:
  using TCustomAction::TCustomAction;
};

class TCustomActionList : public TComponent {
 public:
  explicit TCustomActionList(TComponent* owner) : TComponent(owner) {}
  ~TCustomActionList() override;

  TCustomImageList* Images() const { return images_; }
  // The actions' clients follow the new images.
  void SetImages(TCustomImageList* images);
  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TCustomAction* Actions(int index) const { return actions_.at(static_cast<size_t>(index)); }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TCustomAction;
  std::vector<TCustomAction*> actions_;
  TCustomImageList* images_ = nullptr;
};

class TActionList : public TCustomActionList {
 public:
  using TCustomActionList::TCustomActionList;
};

}  // namespace kv
