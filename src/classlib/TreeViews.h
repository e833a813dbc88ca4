#pragma once
// TTreeView: the system tree view (SysTreeView32), with nodes kept in the
// objects and mirrored into the window.

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/Controls.h"

namespace kv {

class TTreeView;

class TTreeNode {
 public:
  TTreeNode(TTreeView* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}
  TTreeView* TreeView() const { return owner_; }
  TTreeNode* Parent() const { return parent_; }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int Count() const { return static_cast<int>(children_.size()); }
  // Index errors raise EInvalidOperation.
  TTreeNode* Item(int index) const;
  int Index() const;
  int Level() const { return parent_ ? parent_->Level() + 1 : 0; }
  bool Expanded() const;
  void SetExpanded(bool value);
  void Expand() { SetExpanded(true); }
  void Collapse() { SetExpanded(false); }
  bool Selected() const;
  void* Data() const { return data_; }
  void SetData(void* data) { data_ = data; }
  HTREEITEM ItemId() const { return id_; }

 private:
  friend class TTreeView;
  friend class TTreeNodes;
  TTreeView* owner_;
  TTreeNode* parent_;
  std::string text_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  HTREEITEM id_ = nullptr;
  bool expanded_ = false;
  void* data_ = nullptr;
};

class TTreeNodes {
 public:
  explicit TTreeNodes(TTreeView* owner) : owner_(owner) {}
  // A node after the last child of parent's (nullptr: a top-level node).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  // A node after the last sibling of `sibling` (nullptr: a top-level node).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  // Every node, depth first.
  int Count() const;
  int TopCount() const { return static_cast<int>(roots_.size()); }
  TTreeNode* TopItem(int index) const;
  void Delete(TTreeNode* node);
  void Clear();

 private:
  friend class TTreeView;
  friend class TTreeNode;
  TTreeView* owner_;
  std::vector<std::unique_ptr<TTreeNode>> roots_;
};

class TTreeView : public TWinControl {
 public:
  explicit TTreeView(TComponent* owner);
  ~TTreeView() override;

  // The selection moved.
  TNotifyEvent OnChange;

  TTreeNodes* Items() { return &items_; }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);
  TTreeNode* GetNodeAt(int x, int y);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& message) override;

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  void ShowNode(TTreeNode* node);
  void ForgetIds(TTreeNode* node);
  TTreeNode* NodeOf(HTREEITEM id) const;

  TTreeNodes items_;
  TTreeNode* selected_ = nullptr;  // while there is no window
};

}  // namespace kv
