// The skinned form's system menu: a pop-up menu that mirrors the window's
// own (restore, move, size, minimise, maximise, the program's extra
// commands, close), with entries shown and enabled by the form's state.
#pragma once

#include <string>

#include "classlib/Menus.h"
#include "skin/forms/sSystemMenuRules.h"

namespace kv {

class TsSkinProvider;
class TCustomForm;

// The six rules every skinned system menu answers.
class TsCustomSysMenu : public TPopupMenu {
 public:
  using TPopupMenu::TPopupMenu;
  virtual bool VisibleClose() = 0;
  virtual bool VisibleMax() = 0;
  virtual bool VisibleMin() = 0;
  virtual bool EnabledMax() = 0;
  virtual bool EnabledMin() = 0;
  virtual bool EnabledRestore() = 0;
};

class TsSystemMenu : public TsCustomSysMenu {
 public:
  TsSystemMenu(TComponent* owner, TsSkinProvider* provider);

  // The items again from the window's system menu.
  void Generate();
  // Shown and enabled entries after the form's state; Generate first with rebuild.
  void UpdateItems(bool rebuild);
  // The skin list under a first item "SkinSelectItem".
  void AddSkinSelectItems();

  bool VisibleClose() override { return kv::VisibleClose(State()); }
  bool VisibleMax() override { return kv::VisibleMax(State()); }
  bool VisibleMin() override { return kv::VisibleMin(State()); }
  bool EnabledMax() override { return kv::EnabledMax(State()); }
  bool EnabledMin() override { return kv::EnabledMin(State()); }
  bool EnabledRestore() override { return kv::EnabledRestore(State()); }

  int ExtraItemsCount = 0;
  TMenuItem* ItemRestore = nullptr;
  TMenuItem* ItemMove = nullptr;
  TMenuItem* ItemSize = nullptr;
  TMenuItem* ItemMinimize = nullptr;
  TMenuItem* ItemMaximize = nullptr;
  TMenuItem* ItemClose = nullptr;

 private:
  TsFormState State() const;
  HWND FormWnd() const;
  TMenuItem* AddItem(const std::string& name, const std::string& caption, UINT command);
  void AddLine();
  void SystemCommand(TObject* sender);
  void ExtraCommand(TObject* sender);
  void SkinSelected(TObject* sender);

  TsSkinProvider* owner_;
};

}  // namespace kv
