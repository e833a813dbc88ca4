#pragma once
// Menus: items in a tree, a form's main menu and pop-up menus. Commands are
// numbered per process; a form (main menu) or the pop-up list window (pop-up
// menus) finds the item of a WM_COMMAND by its number.

#include <windows.h>

#include <string>
#include <vector>

#include "base/Classes.h"
#include "classlib/Graphics.h"

namespace kv {

class TMenu;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  TNotifyEvent OnClick;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  TMenuItem* Parent() const { return parent_; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  int MenuIndex() const;
  UINT Command() const { return command_; }
  // The pop-up menu of an item with sub-items (built on demand).
  HMENU Handle();
  TMenu* GetParentMenu() const;
  virtual void Click();
  // Finds the item with that command in this subtree.
  TMenuItem* FindCommand(UINT command);

 private:
  friend class TMenu;
  void Rebuild();
  void AppendTo(HMENU menu);
  void Changed();

  std::string caption_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  UINT command_ = 0;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;
  std::vector<TMenuItem*> items_;
  HMENU handle_ = nullptr;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_; }
  HMENU Handle();
  // Runs the click of the item with that command; false when none has it.
  bool DispatchCommand(UINT command);
  // The window that gets the menu's messages.
  HWND WindowHandle() const { return window_; }
  void SetWindowHandle(HWND wnd) { window_ = wnd; }

 protected:
  virtual bool IsPopup() const { return false; }
  virtual void MenuChanged();

 private:
  friend class TMenuItem;
  TMenuItem* items_;
  HMENU handle_ = nullptr;
  HWND window_ = nullptr;
};

class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;

 protected:
  void MenuChanged() override;
};

class TPopupMenu : public TMenu {
 public:
  using TMenu::TMenu;
  TNotifyEvent OnPopup;
  // Shows the menu at screen point (x, y) and runs the chosen item's click.
  virtual void Popup(int x, int y);
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component) { popupComponent_ = component; }

 protected:
  bool IsPopup() const override { return true; }

 private:
  TComponent* popupComponent_ = nullptr;
};

}  // namespace kv
