// The system menu of a skinned system dialog: six fixed entries that send
// the standard system commands to the dialog, shown and enabled by its styles,
// border kind and window state.
#pragma once

#include <windows.h>

#include "skin/forms/acDialogWndRules.h"
#include "skin/forms/sSystemMenu_win.h"

namespace kv {

class TacDialogWnd;

class TacSystemMenu : public TsCustomSysMenu {
 public:
  explicit TacSystemMenu(TComponent* owner);

  // Shown and enabled entries from the dialog's state now.
  void UpdateItems();

  // The dialog shows at most its close button.
  bool VisibleClose() override { return HasSysMenu(State()); }
  bool VisibleMax() override { return false; }
  bool VisibleMin() override { return false; }
  bool EnabledMax() override { return false; }
  bool EnabledMin() override { return false; }
  bool EnabledRestore() override { return false; }

  TacDialogWnd* DialogWnd = nullptr;
  TMenuItem* ItemRestore = nullptr;
  TMenuItem* ItemMove = nullptr;
  TMenuItem* ItemSize = nullptr;
  TMenuItem* ItemMinimize = nullptr;
  TMenuItem* ItemMaximize = nullptr;
  TMenuItem* ItemClose = nullptr;

 private:
  TacDialogState State() const;
  HWND DialogHandle() const;
  TMenuItem* AddItem(const char* name, const char* caption, UINT command);
  void SystemCommand(TObject* sender);
};

}  // namespace kv
