// The root of the window adapters: an object that stands in front of the
// window procedure of a window the toolkit does not draw itself, keeps the
// handler it replaced and calls it for everything it does not take. One
// adapter serves one window; the window property "ACSBSC" names it while it
// is hooked.
//
// Three ways in, chosen by the skin data: a form provider's form or an owner
// control get a hook on their WindowProc chain; any other window is
// subclassed with the one static AdapterProc, which finds its adapter by the
// property. Adapters are made in two phases (constructor, then Attach) and
// freed through FreeAdapter, so that the virtual save and restore of the
// window's own state run on the whole object.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "base/Types.h"
#include "classlib/Controls.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"

namespace kv {

class TsCommonData;
class TsSkinManager;
struct TsBgCacheInfo;

inline constexpr wchar_t acAdapterProperty[] = L"ACSBSC";

// Raised by the combo-box adapter while it makes its list's adapter, so that
// the list serves in the combo box's dialog mode.
extern bool acDlgModeSeed;
// Raised by the control adapter while it frees all its items outside a skin
// removal: adapters then give their hooks back but leave the windows' state.
extern bool acAdaptersFreeing;

enum class TacHookMode { None, Provider, Control, Subclass };

class TacMainWnd {
 public:
  // Phase one: nothing is hooked yet. Without skinData the adapter makes its
  // own (with a cache bitmap) and frees it.
  TacMainWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection);
  virtual ~TacMainWnd();
  TacMainWnd(const TacMainWnd&) = delete;
  TacMainWnd& operator=(const TacMainWnd&) = delete;

  // Phase two: visual styles off, the section, SaveOriginalState, the
  // caption, then the hook.
  void Attach(HWND handle, bool repaint);
  // The release part of destruction: visual styles back, the handler given
  // back, RestoreOriginalState (skipped during mass freeing).
  void Detach();

  virtual void SaveOriginalState() {}
  virtual void RestoreOriginalState() {}
  virtual void ApplySkinState() { StateApplied = true; }
  virtual void WndProc(TMessage& message);

  // The previous handler's answer (the hooked-over WindowProc or the saved
  // window procedure); 0 when there is none. LParam comes back as that
  // handler left it.
  LRESULT CallPrevWndProc(HWND handle, UINT msg, WPARAM wParam, LPARAM& lParam);
  // The message record form of the same.
  void CallPrev(TMessage& message);

  TacHookMode HookMode() const { return hookMode_; }
  // A previous handler is still saved.
  bool Hooked() const;
  // The manager is there and active: the adapter skins; otherwise it only
  // passes messages on.
  bool SkinUsable() const;
  // Usable, and the skin has the window's section (SkinAvailable): only
  // then does the adapter paint; without it the window's own painting shows.
  bool SectionAvailable() const;
  // Set while a message is being handled, however deep.
  bool Dispatching() const { return depth_ > 0; }
  // WndRect, WndSize, WndPos, ParentRect and ParentWnd read again.
  void RefreshGeometry();

  bool DlgMode = false;
  std::string Caption;
  TRect WndRect{};
  TSize WndSize{};
  TPoint WndPos{};
  TRect ParentRect{};
  HWND ParentWnd = nullptr;
  HWND CtrlHandle = nullptr;
  // Kept with its life token: a window adapted by hand, which no removal
  // broadcast reaches, still lets a freed manager go.
  TManagerRef SkinManager;
  TsCommonData* SkinData = nullptr;
  bool ScrollBusy = false;
  bool StateApplied = false;
  // The owner control's Color and Font.Color as found before skinning.
  TColor SavedColor = 0;
  TColor SavedFontColor = 0;
  bool Destroyed = false;
  bool OwnSkinData = false;

 protected:
  // How the adapter goes onto its window: HookWnd here; the scrolling
  // branch makes its bars first.
  virtual void HookWindow(HWND handle, bool repaint);
  // Takes the adapter off its window (UnhookWnd's first step, or the
  // scrolling twin's); nothing once Destroyed.
  virtual void UnhookWindow(bool repaint);
  // The window is going: unhook after it had the message, without touching
  // its state, so nothing refers to the handle afterwards.
  void ReleaseDyingWindow();
  // Whether Attach adds csOpaque to the owner control, and reads the
  // window's text into Caption.
  virtual bool MakesOwnerOpaque() const { return true; }
  virtual bool ReadsCaption() const { return true; }
  // Whether Attach switches visual styles off.
  virtual bool TurnsThemeOff(std::string_view section) const;
  // Gives the hooked handler back; the property too. False when the window
  // procedure was subclassed over by someone else since: the adapter then
  // stays in the chain as a pass-through until the window is destroyed.
  bool GiveBackHandler();
  void ThemeOff();
  void ThemeBack();
  // The root's handling of messages, for descendants that took their own
  // share first.
  void MainWndProc(TMessage& message);
  // The skin command table of the root; false when it does not end the message.
  bool RootCommand(TMessage& message);
  // Runs handle as one of the adapter's messages, whichever window it came
  // from: counted, exceptions kept inside, and an adapter freed meanwhile
  // deleted once the outermost message ends. Nothing of the adapter may be
  // touched after this returns.
  template <class F>
  void Guarded(F&& handle) {
    ++depth_;
    try {
      handle();
    } catch (...) {
      HandleEntryException(nullptr);
    }
    if (--depth_ == 0 && freePending_) delete this;
  }

 private:
  friend LRESULT CALLBACK AdapterProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  friend void HookWnd(TacMainWnd* adapter, HWND handle);
  friend void FreeAdapter(TacMainWnd*& adapter);
  friend void UnhookWnd(HWND wnd, bool freeAdapter, bool repaint, TacMainWnd*& adapter);
  // Every way in to the served window comes through here (Guarded).
  void Dispatch(TMessage& message) {
    if (RefuseForeignAddress(message)) return;
    Guarded([&] {
      WndProc(message);
      if (!freePending_) ForgetDestroyedManager(message);
    });
  }
  void ForgetDestroyedManager(const TMessage& m);

  std::unique_ptr<TsCommonData> ownSkinData_;
  TacHookMode hookMode_ = TacHookMode::None;
  TWindowProcHook hook_;
  WNDPROC oldProc_ = nullptr;
  std::string section_;
  bool themeOff_ = false;
  int depth_ = 0;
  bool freePending_ = false;
};

// The window procedure of subclassed windows.
LRESULT CALLBACK AdapterProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Makes an adapter and attaches it to handle (nothing is hooked to a null
// handle).
template <class T, class... A>
T* CreateAdapter(HWND handle, bool repaint, A&&... args) {
  T* adapter = new T(std::forward<A>(args)...);
  if (handle != nullptr) adapter->Attach(handle, repaint);
  return adapter;
}
// Detaches and frees; an adapter freed while it handles a message of its own
// is freed when that ends. The variable is cleared.
void FreeAdapter(TacMainWnd*& adapter);
template <class T>
void FreeAdapter(T*& adapter) {
  TacMainWnd* base = adapter;
  FreeAdapter(base);
  adapter = nullptr;
}

void HookWnd(TacMainWnd* adapter, HWND handle);
// Takes a non-scrolling adapter off wnd; with freeAdapter it is freed too.
void UnhookWnd(HWND wnd, bool freeAdapter, bool repaint, TacMainWnd*& adapter);
// The adapter serving wnd; null when it is not hooked.
TacMainWnd* AdapterOfWindow(HWND wnd);
// To the control's children when there is a control, else to the window's.
void SendToChildren(TControl* control, HWND wnd, TMessage& message);
// A new frame layout (WM_NCCALCSIZE and WM_NCPAINT) with repaint, else only
// the non-client area repainted.
void RefreshWindowFrame(HWND wnd, bool repaint);
void GetWindowPosInParent(HWND wnd, HWND& parentWnd, TRect& wndRect, TRect& parentRect,
                          TSize& wndSize, TPoint& wndPos);
// Brings the skin data's cache up to date for the window when its
// background changed: the section item over the parent's background, or in
// dialog mode a plain frame of the skin's border colour.
void PaintAdapterFrame(TsCommonData* sd, HWND wnd, bool dialogMode);
// The skin data's cache, sized to wnd, with its section item of state over
// background (the parent's) at the window's place in the parent; no
// disabled look. False, and nothing painted, without a parent.
bool PaintSectionCache(TsCommonData* sd, HWND wnd, int state, const TsBgCacheInfo& background);

// A window's font (WM_GETFONT, else the system's GUI font) into font.
void AssignWindowFont(TFont& font, HWND wnd);
void AssignLogFont(TFont& font, const LOGFONTW& lf);
// What the adapter's captions are written from: its skin data and the owner
// control's font. ctrlTypeCode marks see-through captions (32 for check
// boxes and statics, 74 for group boxes): they take the font colours of
// the nearest opaque parent window whose section gives its own font.
TsSkinTextSource AdapterTextSource(const TacMainWnd& adapter, int ctrlTypeCode);

}  // namespace kv
