// The pop-up menu window adapter and the combo-box variant for controls.
// TacMnuWnd skins the frame and background of a system pop-up menu window
// ("#32768") while the skinned menus draw its items; the dialog hook puts
// one on each menu window as it is created (without desktop composition)
// and the adapter frees itself when its window goes. TacWWComboBoxWnd is
// the combo-box adapter for class-library controls of other combo classes,
// whose button shows whatever their style.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "skin/adapters/acComboBoxWnd_win.h"
#include "skin/adapters/acScrollWnd_win.h"

namespace kv {

class TacMnuWnd : public TacScrollWnd {
 public:
  // Section "MAINMENU" unless given.
  TacMnuWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  void WndProc(TMessage& message) override;

  // The skinned menus set the window's region once; they ask for this first
  // (command 8) and set it (command 14). A background paint clears it.
  bool RegionDone = false;

 protected:
  bool ReadsCaption() const override { return false; }
  // The cache at the window's size with the section painted over it.
  virtual void PrepareCache();

 private:
  // The toolkit commands; all of them end here.
  void MenuCommand(TMessage& m);
  void EraseBackground(TMessage& m);
  void PaintFrame();
  void WindowGoing(TMessage& m);
};

// The menu-window adapters alive, in creation order; a slot is cleared when
// its window goes. Emptied as a whole when none is left or the hook goes;
// it frees nothing (each adapter lives as long as its window).
extern std::vector<TacMnuWnd*> MenuAdapters;

TacMainWnd* CreateMenuWndAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                 std::string_view section, bool repaint);

class TacWWComboBoxWnd : public TacComboBoxWnd {
 public:
  using TacComboBoxWnd::TacComboBoxWnd;
  TRect GetButtonRect(TSize size) override;

  // A class-library TComboBox shows it only in its drop-down styles.
  bool ShowButton = true;
};

// For the control adapter's table: the control is the window's owner.
TacMainWnd* CreateWWComboBoxAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                    std::string_view section, bool repaint);

}  // namespace kv
