#include "skin/forms/acSystemMenu_win.h"

#include "skin/forms/acDialogWnd_win.h"

namespace kv {

namespace {

constexpr TShortCut kAltF4 = scAlt | VK_F4;

}  // namespace

TacSystemMenu::TacSystemMenu(TComponent* owner) : TsCustomSysMenu(owner) {
  ItemRestore = AddItem("miRestore", "Restore", SC_RESTORE);
  ItemMove = AddItem("miMove", "Move", SC_MOVE);
  ItemSize = AddItem("miSize", "Size", SC_SIZE);
  ItemMinimize = AddItem("miMinimize", "Minimize", SC_MINIMIZE);
  ItemMaximize = AddItem("miMaximize", "Maximize", SC_MAXIMIZE);
  auto* line = Create<TMenuItem>(this);
  line->SetCaption("-");
  Items()->Add(line);
  ItemClose = AddItem("miClose", "Close", SC_CLOSE);
  ItemClose->SetShortCut(kAltF4);
}

TMenuItem* TacSystemMenu::AddItem(const char* name, const char* caption, UINT command) {
  auto* item = Create<TMenuItem>(this);
  item->SetCaption(caption);
  item->SetName(name);
  item->SetTag(static_cast<intptr_t>(command));
  item->OnClick = [this](TObject* sender) { SystemCommand(sender); };
  Items()->Add(item);
  return item;
}

TacDialogState TacSystemMenu::State() const {
  return DialogWnd != nullptr ? DialogWnd->DialogState() : TacDialogState{};
}

HWND TacSystemMenu::DialogHandle() const {
  return DialogWnd != nullptr ? DialogWnd->CtrlHandle : nullptr;
}

void TacSystemMenu::UpdateItems() {
  const TsSysMenuItems s = DialogSysMenuItems(State());
  auto set = [](TMenuItem* item, const TsSysMenuItemState& state) {
    item->SetVisible(state.Visible);
    item->SetEnabled(state.Enabled);
  };
  set(ItemRestore, s.Restore);
  set(ItemMove, s.Move);
  set(ItemSize, s.Size);
  set(ItemMinimize, s.Minimize);
  set(ItemMaximize, s.Maximize);
  set(ItemClose, s.Close);
}

void TacSystemMenu::SystemCommand(TObject* sender) {
  HWND wnd = DialogHandle();
  if (wnd == nullptr) return;
  const UINT command = static_cast<UINT>(static_cast<TMenuItem*>(sender)->Tag());
  SendMessageW(wnd, WM_SYSCOMMAND, command, 0);
  // The window may be gone after Close.
  if ((command == SC_RESTORE || command == SC_MAXIMIZE) && IsWindow(wnd)) UpdateItems();
}

}  // namespace kv
