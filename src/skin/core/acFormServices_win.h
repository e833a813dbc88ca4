// What the skin core asks of the form and dialog skinning (form providers,
// the dialog hook, the menu painter) and of the painting services (glows,
// animated showing). Each entry starts out as a null implementation;
// InstallFormServices, called once by the program's start (and by the tests
// that need the real services), puts in the services that exist. It is an
// explicit call because a unit of a static library that only replaced an
// entry from its own start-up would never be linked in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace kv {

class TsSkinManager;
class TCustomForm;
class TWinControl;
class TMenuItem;
class TBitmap;
struct TMessage;

// A form's provider as the core sees it. A form answers the toolkit command
// cmdGetProvider with a pointer to its provider.
class TacFormProvider {
 public:
  virtual ~TacFormProvider() = default;
  // The manager the provider's skin data uses (its own, else the default).
  virtual TsSkinManager* SkinManager() const = 0;
  virtual bool DrawNonClientArea() const { return true; }
  // While locked the provider does not repaint its form's frame.
  virtual void SetPaintingLocked(bool locked) = 0;
  virtual bool HasBorderForm() const { return false; }
  // The extended-border window around the form, while it has one.
  virtual HWND BorderFormWindow() const { return nullptr; }
  virtual void FindRegionHoles() {}
  virtual void UpdateFormRegion(bool /*repaint*/) {}
  // Places the extended-border window around the form and pushes its image.
  virtual void SyncBorderForm(bool /*repaint*/, std::uint8_t /*alpha*/) {}
  // The frame the provider paints: title bar height, the client area's
  // offsets inside the frame, the shadow margins, the frame's region at X, Y.
  virtual int TitleBarHeight(bool /*useSkin*/) const { return 0; }
  virtual int ClientLeftOffset() const { return 0; }
  virtual int ClientTopOffset() const { return 0; }
  virtual RECT ShadowMargins() const { return RECT{}; }
  // Where the form's window lies in the frame picture of its border form;
  // 0, 0 without one.
  virtual POINT FrameCacheOffset() const { return POINT{}; }
  virtual HRGN BuildFrameRegion(int /*x*/, int /*y*/) { return nullptr; }
  // Paints the whole non-client frame into the form's cache bitmap.
  virtual void PaintFrameCache() {}
  // The menu line's background and where a menu-bar item of the form lies
  // in it, for an item painted on dc (the frame cache's or the window's).
  virtual TBitmap* MenuLineBmp() const { return nullptr; }
  virtual POINT MenuLineOffset(HDC /*dc*/, const RECT& /*item*/) const { return POINT{}; }
  // The form the provider skins.
  virtual TCustomForm* Form() const { return nullptr; }
  // Entry for toolkit messages addressed to the provider itself (the skin
  // data's manager changes, SendToProviderOfForm); the provider decides.
  virtual void ReceiveMessage(TMessage& /*message*/) {}
};

// A window the dialog hook has skinned (an object it created for it).
class TacHookedWindow {
 public:
  virtual ~TacHookedWindow() = default;
  virtual HWND Handle() const = 0;
};
using TacHookedWindowList = std::vector<std::unique_ptr<TacHookedWindow>>;

struct TacFormServices {
  // The dialog hook's procedure (WH_CBT of the GUI thread). The installed
  // hook reads this entry on every call, so a replacement takes effect at once.
  HOOKPROC CBTHookProc;
  // Empties the array of pop-up menu adapters.
  void (*ClearMenuAdapters)();
  // Removes every glow window.
  void (*RemoveAllGlows)();
  // Each manager's menu painter: made when the manager is created, freed
  // when it is destroyed.
  void (*CreateMenuPainter)(TsSkinManager* manager);
  void (*FreeMenuPainter)(TsSkinManager* manager);
  // Menu painter of a manager: forget its cached section; re-apply skinned
  // menus; the background of a pop-up menu's cache record (by its first item
  // when Item is set, else by window; nullptr when there is none); hook a
  // pop-up window with that background.
  void (*ForgetMenuSection)(TsSkinManager* manager);
  void (*ApplySkinActive)(TsSkinManager* manager);
  TBitmap* (*FindPopupCache)(TsSkinManager* manager, TMenuItem* item, HWND wnd);
  void (*HookPopupWindow)(TsSkinManager* manager, HWND wnd, TBitmap* bitmap);
  // Shows a form's or control's new look over Time milliseconds.
  void (*AnimateShowControl)(TWinControl* control, unsigned time);
  // Switches a pop-up menu to the skinned menus' owner drawing.
  void (*SetMenuSkinned)(TsSkinManager* manager, HMENU menu, bool enable);
  // Frame sizes of a window's skinned frame (border form when it has one).
  int (*FrameBorderWidth)(HWND wnd, bool borderForm, bool useSkin);
  int (*SkinTitleHeight)(bool borderForm);
  int (*SkinFrameWidth)(bool borderForm);
  // A frame gets its frame adapter (owned by the frame) with the manager
  // and section given, unless it is skinned already.
  void (*AdaptFrame)(TWinControl* frame, TsSkinManager* manager, const char* section);
};

// Every entry a null implementation.
TacFormServices NullFormServices();
TacFormServices& FormServices();

// The windows the dialog hook skinned; null while no hook is installed.
// Created by the skin manager before it installs the hook, freed (with every
// object in it) when it removes the hook.
extern TacHookedWindowList* HookedWindows;

}  // namespace kv
