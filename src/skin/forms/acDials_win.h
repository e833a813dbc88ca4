// The dialog and pop-up hook: the default skin manager's WH_CBT hook on the
// GUI thread skins the windows the program never gave a provider of its
// own. A class-library form activated without a provider gets one (owned by
// the form); a system dialog ("#32770": message boxes, the file dialogs)
// gets a TacProvider that wraps the dialog in the dialog adapter and each
// child window in the adapter its class and style name; a pop-up menu
// window gets a TacMnuWnd when it is created. The dialog providers live in
// the manager's hooked-window list (HookedWindows), which owns them: the
// hook only adds and removes them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "skin/core/acFormServices_win.h"

namespace kv {

class TacMainWnd;
class TacMnuWnd;
class TCustomForm;
class TsSkinManager;
class TsSkinProvider;
struct TMessage;

// Makes the adapter of the dialog window itself (section "DIALOG"), hooked
// to it; null when it makes none. The dialog gets the "new skin" command
// once its children are wrapped.
using TacDialogAdapterFactory = TacMainWnd* (*)(HWND dialog, TsSkinManager* manager);
// Null: the dialog keeps its own frame; its children are still wrapped.
extern TacDialogAdapterFactory DialogAdapterFactory;

// One system dialog the hook skinned.
class TacProvider : public TacHookedWindow {
 public:
  TacProvider() = default;
  ~TacProvider() override;
  TacProvider(const TacProvider&) = delete;
  TacProvider& operator=(const TacProvider&) = delete;

  HWND Handle() const override { return CtrlHandle; }

  // A form of the class library gets its TsSkinProvider, owned by the form.
  static TsSkinProvider* InitForForm(TCustomForm* form);
  // Skins the dialog and its children; false when a child could not be
  // wrapped.
  bool InitForDialog(HWND wnd);
  // Wraps the children of wnd at any depth that have no adapter yet (again
  // whenever new ones may have appeared).
  bool WrapChildren(HWND wnd);
  // The dialog window is gone (or going).
  bool Released() const;

  HWND CtrlHandle = nullptr;
  TacMainWnd* DialogWnd = nullptr;
  std::vector<TacMainWnd*> Adapters;
};

// The style of the last dialog InitForDialog started to skin.
extern LONG_PTR DialogStyle;

LRESULT CALLBACK CBTHookProc(int code, WPARAM wParam, LPARAM lParam);
// Gives wnd a provider when the rules let it; false when it was refused.
bool AddProvider(HWND wnd);
// The adapter of one child window by its class and style; always true.
bool WrapChildWindow(TacProvider* provider, HWND wnd);
// The dialog's own adapter made (with an active default manager) or freed.
void UpdateDialogAdapter(HWND wnd, TacMainWnd*& dialogWnd);
// Frees the providers whose dialog is gone.
void FreeReleasedProviders();
// The provider of a live dialog; null when none.
TacProvider* FindProvider(HWND wnd);
// The class-library form whose window is wnd; null when none.
TCustomForm* FindFormByHandle(HWND wnd);
// Live dialogs the hook skinned that are visible.
int VisibleDialogCount();
bool HasDescendantOfClass(HWND wnd, std::wstring_view lowerClassName);
std::string WindowClassName(HWND wnd);
// The message to each direct child of wnd in z-order (SendToChildWindows of
// the core goes to them in the system's enumeration order).
void SendToChildWindowsInZOrder(HWND wnd, TMessage& message);

// The menu-window adapters made by the hook; a slot is cleared when its
// window goes.
extern std::vector<TacMnuWnd*> MenuAdapters;
void ClearMenuAdapters();

// Puts the hook's entries into the form services.
void InstallDialogServices(TacFormServices& services);

}  // namespace kv
