#include "classlib/TreeViews.h"

#include <algorithm>
#include <functional>

#include "classlib/WideText.h"

namespace kv {

namespace {

void InitTreeClass() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

[[noreturn]] void IndexError(int index) {
  throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
}

}  // namespace

// --- nodes -----------------------------------------------------------------------------

void TTreeNode::SetText(const std::string& text) {
  text_ = text;
  if (id_ == nullptr || !owner_->HandleAllocated()) return;
  std::wstring w = Wide(text);
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = id_;
  item.pszText = w.data();
  SendMessageW(owner_->Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return children_[static_cast<size_t>(index)].get();
}

int TTreeNode::Index() const {
  const auto& list = parent_ ? parent_->children_ : owner_->items_.roots_;
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].get() == this) return static_cast<int>(i);
  return -1;
}

bool TTreeNode::Expanded() const {
  if (id_ == nullptr || !owner_->HandleAllocated()) return expanded_;
  return (SendMessageW(owner_->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(id_),
                       TVIS_EXPANDED) &
          TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpanded(bool value) {
  expanded_ = value;
  if (id_ != nullptr && owner_->HandleAllocated())
    SendMessageW(owner_->Handle(), TVM_EXPAND, value ? TVE_EXPAND : TVE_COLLAPSE,
                 reinterpret_cast<LPARAM>(id_));
}

bool TTreeNode::Selected() const { return owner_->Selected() == this; }

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  auto& list = parent ? parent->children_ : roots_;
  list.push_back(std::make_unique<TTreeNode>(owner_, parent));
  TTreeNode* node = list.back().get();
  node->text_ = text;
  owner_->ShowNode(node);
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  return AddChild(sibling ? sibling->parent_ : nullptr, text);
}

int TTreeNodes::Count() const {
  std::function<int(const std::vector<std::unique_ptr<TTreeNode>>&)> count = [&](const auto& list) {
    int n = 0;
    for (const auto& node : list) n += 1 + count(node->children_);
    return n;
  };
  return count(roots_);
}

TTreeNode* TTreeNodes::TopItem(int index) const {
  if (index < 0 || index >= TopCount()) IndexError(index);
  return roots_[static_cast<size_t>(index)].get();
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (node == nullptr) return;
  if (owner_->selected_ != nullptr) {
    for (TTreeNode* n = owner_->selected_; n != nullptr; n = n->parent_)
      if (n == node) owner_->selected_ = nullptr;
  }
  if (node->id_ != nullptr && owner_->HandleAllocated())
    SendMessageW(owner_->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->id_));
  auto& list = node->parent_ ? node->parent_->children_ : roots_;
  list.erase(
      std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == node; }));
}

void TTreeNodes::Clear() {
  owner_->selected_ = nullptr;
  if (owner_->HandleAllocated())
    SendMessageW(owner_->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  roots_.clear();
}

// --- the tree view ---------------------------------------------------------------------

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner), items_(this) {
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() = default;

void TTreeView::CreateParams(TCreateParams& p) {
  InitTreeClass();
  TWinControl::CreateParams(p);
  CreateSubClass(p, WC_TREEVIEWW);
  p.Style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TTreeView::ShowNode(TTreeNode* node) {
  if (!HandleAllocated()) return;
  std::wstring w = Wide(node->text_);
  TVINSERTSTRUCTW ins{};
  ins.hParent = node->parent_ ? node->parent_->id_ : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM;
  ins.item.pszText = w.data();
  ins.item.lParam = reinterpret_cast<LPARAM>(node);
  node->id_ = reinterpret_cast<HTREEITEM>(
      SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

void TTreeView::CreateHandleDone() {
  TWinControl::CreateHandleDone();
  std::function<void(TTreeNode*)> show = [&](TTreeNode* node) {
    ShowNode(node);
    for (auto& child : node->children_) show(child.get());
    if (node->expanded_) node->SetExpanded(true);
  };
  for (auto& root : items_.roots_) show(root.get());
  if (selected_ != nullptr) SetSelected(selected_);
}

void TTreeView::ForgetIds(TTreeNode* node) {
  node->expanded_ = node->Expanded();
  node->id_ = nullptr;
  for (auto& child : node->children_) ForgetIds(child.get());
}

void TTreeView::DestroyWnd() {
  if (HandleAllocated() && !BeingFreed()) {
    selected_ = Selected();
    for (auto& root : items_.roots_) ForgetIds(root.get());
  }
  TWinControl::DestroyWnd();
}

TTreeNode* TTreeView::NodeOf(HTREEITEM id) const {
  if (id == nullptr) return nullptr;
  auto* self = const_cast<TTreeView*>(this);
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = id;
  if (!SendMessageW(self->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
    return nullptr;
  return reinterpret_cast<TTreeNode*>(item.lParam);
}

TTreeNode* TTreeView::Selected() const {
  auto* self = const_cast<TTreeView*>(this);
  if (!self->HandleAllocated()) return selected_;
  return NodeOf(
      reinterpret_cast<HTREEITEM>(SendMessageW(self->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TTreeView::SetSelected(TTreeNode* node) {
  selected_ = node;
  if (HandleAllocated())
    SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(node ? node->id_ : nullptr));
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) {
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  auto id = reinterpret_cast<HTREEITEM>(
      SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & TVHT_ONITEM) ? NodeOf(id) : nullptr;
}

void TTreeView::Dispatch(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    if (hdr->code == TVN_SELCHANGEDW && OnChange) OnChange(this);
    return;
  }
  if (m.Msg == CM_COLORCHANGED && HandleAllocated())
    SendMessageW(Handle(), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  TWinControl::Dispatch(m);
}

}  // namespace kv
