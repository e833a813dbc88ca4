#include "classlib/Menus.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/WideText.h"

namespace kv {

namespace {
// Commands fit in WM_COMMAND's low word and are never 0.
UINT NextCommand() {
  static UINT next = 0;
  next = next % 0xFFFF + 1;
  return next;
}
}  // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TMenuItem::~TMenuItem() {
  while (!items_.empty()) {
    TMenuItem* item = items_.back();
    items_.pop_back();
    item->parent_ = nullptr;
    if (item->Owner() == nullptr) item->Free();
  }
  if (parent_ != nullptr) parent_->Remove(this);
  if (handle_ != nullptr) {
    // Sub-menus belong to their own items: take them out before destroying ours.
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    DestroyMenu(handle_);
  }
}

void TMenuItem::Changed() {
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed();
}
void TMenuItem::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  Changed();
}
void TMenuItem::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Changed();
}
void TMenuItem::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Changed();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr || item->parent_ == this) return;
  if (item->parent_ != nullptr) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  Changed();
}

int TMenuItem::MenuIndex() const {
  if (parent_ == nullptr) return -1;
  const auto& list = parent_->items_;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_ != nullptr) item = item->parent_;
  return item->menu_;
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindCommand(UINT command) {
  if (command_ == command) return this;
  for (TMenuItem* item : items_)
    if (TMenuItem* found = item->FindCommand(command)) return found;
  return nullptr;
}

void TMenuItem::AppendTo(HMENU menu) {
  if (!visible_) return;
  if (caption_ == "-") {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  UINT flags = MF_STRING | (checked_ ? MF_CHECKED : 0) | (enabled_ ? 0 : MF_GRAYED);
  const std::wstring text = Wide(caption_);
  if (!items_.empty()) {
    AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(Handle()), text.c_str());
  } else {
    AppendMenuW(menu, flags, command_, text.c_str());
  }
}

void TMenuItem::Rebuild() {
  if (handle_ == nullptr) return;
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  for (TMenuItem* item : items_) {
    item->Rebuild();
    item->AppendTo(handle_);
  }
}

HMENU TMenuItem::Handle() {
  if (handle_ == nullptr) {
    TMenu* menu = GetParentMenu();
    const bool bar = parent_ == nullptr && menu != nullptr && !menu->IsPopup();
    handle_ = bar ? CreateMenu() : CreatePopupMenu();
    Rebuild();
  }
  return handle_;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(Create<TMenuItem>(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  // The root item is ours; its sub-items without owner go with it.
  std::unique_ptr<TMenuItem, TComponentDeleter> root(items_);
}

HMENU TMenu::Handle() { return items_->Handle(); }

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = items_->FindCommand(command);
  if (item == nullptr || item == items_) return false;
  item->Click();
  return true;
}

void TMenu::MenuChanged() { items_->Rebuild(); }

void TMainMenu::MenuChanged() {
  TMenu::MenuChanged();
  if (WindowHandle() != nullptr) DrawMenuBar(WindowHandle());
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HWND owner = WindowHandle() != nullptr ? WindowHandle() : Application->Handle();
  // TPM_RETURNCMD: the choice comes back here, so no window needs to route it.
  const UINT cmd = static_cast<UINT>(
      TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
  if (cmd != 0) DispatchCommand(cmd);
}

}  // namespace kv
