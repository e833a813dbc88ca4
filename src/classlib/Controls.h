#pragma once
// Controls: windowless (TControl, TGraphicControl) and windowed (TWinControl,
// TCustomControl), their message chain and their windows.
//
// Every message, whether sent by Win32 or by Perform, runs the same chain:
//   WindowProc (hooks on top, see TWindowProcHook; initially WndProc)
//     -> virtual WndProc (mouse and hover pre-processing)
//       -> virtual Dispatch (a switch per class; unknown messages go to the base)
//         -> virtual DefaultHandler (the window class's own procedure, or nothing)
// Messages that a parent receives for a child window (WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*, WM_xSCROLL) are reflected to the
// child's object as CN_* messages.
//
// Each windowed class registers its own window class named ClassName(),
// superclassing the system class it wraps, so that changing one never
// touches a system class.

#include <windows.h>

#include <concepts>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ButtonKinds.h"
#include "base/Classes.h"
#include "base/SysUtils.h"
#include "base/Types.h"
#include "classlib/Graphics.h"
#include "classlib/Messages.h"

namespace kv {

class TBasicAction;
class TControl;
class TControlActionLink;
class TWinControl;
class TCustomForm;
class TPopupMenu;

// Components whose set-up must run once the most-derived object exists get
// it through Create/CreateOwned, which call AfterConstruction().
template <class T>
concept AfterConstructed = requires(T* t) {
  t->AfterConstruction();
};

template <class T, class... A>
requires AfterConstructed<T> T* Create(TComponent* owner, A&&... args) {
  T* object = new T(owner, std::forward<A>(args)...);
  try {
    object->AfterConstruction();
  } catch (...) {
    object->Free();
    throw;
  }
  return object;
}

template <class T, class... A>
requires AfterConstructed<T> Owned<T> CreateOwned(A&&... args) {
  return Owned<T>(Create<T>(nullptr, std::forward<A>(args)...));
}

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
// Right-to-left takes a system that reads right to left (PlatformCalls) and
// a mode asking for it: reading for any mode but bdLeftToRight, alignment
// for bdRightToLeft only.
bool UseRightToLeftReading(TBiDiMode mode);
bool UseRightToLeftAlignment(TBiDiMode mode);
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// Which scroll bars a scrolling control shows.
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

using TShiftState = uint16_t;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32,
                      ssDouble = 64;

using TControlStyle = uint32_t;
constexpr TControlStyle csAcceptsControls = 1u << 0, csCaptureMouse = 1u << 1,
                        csDesignInteractive = 1u << 2, csClickEvents = 1u << 3, csFramed = 1u << 4,
                        csSetCaption = 1u << 5, csOpaque = 1u << 6, csDoubleClicks = 1u << 7,
                        csFixedWidth = 1u << 8, csFixedHeight = 1u << 9,
                        csNoDesignVisible = 1u << 10, csReplicatable = 1u << 11,
                        csNoStdEvents = 1u << 12, csDisplayDragImage = 1u << 13,
                        csReflector = 1u << 14, csActionClient = 1u << 15, csMenuEvents = 1u << 16;

using TControlState = uint32_t;
constexpr TControlState csLButtonDown = 1u << 0, csClicked = 1u << 1, csPalette = 1u << 2,
                        csReadingState = 1u << 3, csAlignmentNeeded = 1u << 4, csFocusing = 1u << 5,
                        csCreating = 1u << 6, csPaintCopy = 1u << 7, csCustomPaint = 1u << 8,
                        csDestroyingHandle = 1u << 9, csDocking = 1u << 10;

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                  crSizeAll = -22;
// The system cursor for one of ours (crDefault gives the arrow).
HCURSOR CursorHandle(TCursor cursor);

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, wchar_t& Key)>;

TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
// True when key is the character after a single "&" in caption (its accelerator).
bool IsAccel(WPARAM key, const std::string& caption);

// Hands an exception caught at a Win32 entry (window procedure, hook, timer,
// thread) to the application object. Call it only inside a catch block.
void HandleEntryException(TObject* sender) noexcept;

// The system could not give a window, class or other resource.
class EOutOfResources : public Exception {
  using Exception::Exception;
};

// A control's life as the code that runs its handlers sees it: a handler may
// free the control it runs for. Taken before running one; Alive() tells
// afterwards whether the control (or whatever gave the token) still exists.
class TLifeToken {
 public:
  explicit TLifeToken(const std::shared_ptr<char>& life) : life_(life) {}
  bool Alive() const { return !life_.expired(); }

 private:
  std::weak_ptr<char> life_;
};

// Runs one of an object's own events from a copy (the handler may go with
// the object); false when the handler freed the object.
template <class Event, class Sender>
bool RunOwnEvent(const TLifeToken& life, const Event& event, Sender* sender) {
  if (!event) return true;
  const Event handler = event;
  handler(sender);
  return life.Alive();
}

// --- window-procedure hooks --------------------------------------------------------

// A hook on a control's WindowProc, made by TControl::InstallWindowProcHook.
// The hook passes on what it does not take with CallPrevious. Destroying the
// handle (or Remove) takes the hook out of the chain wherever it sits, so
// hooks come off in any order. A control being freed keeps its hooks until
// its window is gone (they see WM_DESTROY and WM_NCDESTROY) and then lets
// them go: after that they see nothing and removing them does nothing.
class TWindowProcHook {
 public:
  TWindowProcHook() = default;
  TWindowProcHook(TWindowProcHook&&) noexcept = default;
  TWindowProcHook& operator=(TWindowProcHook&& other) noexcept;
  ~TWindowProcHook() { Remove(); }

  void Remove();
  // Still in a control's chain.
  bool Installed() const;
  // The rest of the chain below this hook (what it hooked over).
  void CallPrevious(TMessage& message) const;

 private:
  friend class TControl;
  struct TLink;
  explicit TWindowProcHook(std::shared_ptr<TLink> link);
  std::shared_ptr<TLink> link_;
};

// --- TControl ---------------------------------------------------------------------

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;

  // The chain's entry. Hooks go on top of it through InstallWindowProcHook;
  // whoever replaces it by hand instead must put it back, in order.
  TWndMethod WindowProc;
  // Puts `hook` on top of the chain; it stays there while the handle lives.
  [[nodiscard]] TWindowProcHook InstallWindowProcHook(TWndMethod hook);
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Taken before running what may free the control (its own event handlers).
  TLifeToken LifeToken() const { return TLifeToken(life_); }
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // Runs once the most-derived object exists (through Create).
  virtual void AfterConstruction() {}

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  TCustomForm* GetParentForm() const;
  virtual bool HasParent() const { return parent_ != nullptr; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }
  void SetClientWidth(int w);
  void SetClientHeight(int h);
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(TPoint p) {
    const TPoint o = ClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
  }
  TPoint ScreenToClient(TPoint p) {
    const TPoint o = ClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
  }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  // Caption and Text are the same text.
  virtual std::string Text();
  void SetText(const std::string& text);
  std::string Caption() { return Text(); }
  void SetCaption(const std::string& text) { SetText(text); }

  TFont* Font() const { return font_.get(); }
  void SetFont(const TFont& font) { font_->Assign(font); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // With ParentBiDiMode (the default) the parent's; setting it clears
  // ParentBiDiMode. A change performs CM_BIDIMODECHANGED.
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode);
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value);
  bool UseRightToLeftReading() const { return kv::UseRightToLeftReading(biDiMode_); }
  bool UseRightToLeftAlignment() const { return kv::UseRightToLeftAlignment(biDiMode_); }
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  // With ParentShowHint (the default) the parent's; setting it clears
  // ParentShowHint.
  bool ShowHint() const;
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState state) { controlState_ = state; }

  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // The control gets the mouse messages while the button is down, wherever
  // the mouse is.
  bool MouseCapture() const;
  void SetMouseCapture(bool value);

  // Paints the control into dc with its top-left corner at (x, y).
  virtual void PaintTo(HDC dc, int x, int y);

  // Performs CM_CHANGED on the control itself.
  void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

  // The control takes the action's caption and enabled state, now and
  // whenever the action changes; nullptr lets it go.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* action);
  // Has the action brought up to date and performs CM_ACTIONUPDATE (LParam
  // the action) so that the control follows it (idle time).
  void InitiateAction();

 protected:
  friend class TControlActionLink;
  // The action changed; with checkDefaults only values still at their
  // defaults are taken (the action was being loaded).
  virtual void ActionChange(TBasicAction* sender, bool checkDefaults);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Resize();
  // Called after the position or size changed.
  virtual void BoundsChanged() {}
  // The rectangle the parent invalidates for a windowless control.
  void InvalidateControl(bool isVisible, bool isOpaque);
  void Notification(TComponent* component, TOperation operation) override;
  void BeforeDestruction() override;
  // The hooks see nothing more and their handles let go (the control is
  // being freed); the chain passes through them to this control.
  void DetachHooks();
  // This control or one of its parents is being freed.
  bool BeingFreed() const;

  void UpdateBoundsFields(int left, int top, int width, int height);
  void RequestAlign();

  // Message methods of the base; derived Dispatch overrides call Base::Dispatch.
  void FontChanged();

 private:
  friend class TWinControl;
  // False when one of the events it ran freed the control.
  bool MouseMessage(TMessage& m, bool down, bool up, TMouseButton button, bool dbl);

  // Gone with the control: the tokens taken from it then tell so.
  std::shared_ptr<char> life_ = std::make_shared<char>();

  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  bool parentFont_ = true;
  bool parentColor_ = true;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  bool updatingFont_ = false;
  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  std::string text_;
  std::unique_ptr<TFont> font_;
  TColor color_ = clWindow;
  std::string hint_;
  TPopupMenu* popupMenu_ = nullptr;
  TCursor cursor_ = crDefault;
  std::unique_ptr<TControlActionLink> actionLink_;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  friend class TWindowProcHook;
  void RemoveHook(TWindowProcHook::TLink& link);
  // Bottom first; a detached link stays until the destructor, since the
  // chain may still run through it.
  std::vector<std::shared_ptr<TWindowProcHook::TLink>> hooks_;
  TControlState controlState_ = 0;

 protected:
  // The text as last known to the object (the window holds it while it exists).
  std::string& TextField() { return text_; }
};

// --- TWinControl --------------------------------------------------------------------

struct TCreateParams {
  std::wstring Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = CW_USEDEFAULT;
  int Y = CW_USEDEFAULT;
  int Width = CW_USEDEFAULT;
  int Height = CW_USEDEFAULT;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSW WindowClass{};
  std::wstring WinClassName;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void WndProc(TMessage& message) override;

  // The window, created on first use (with its parent's).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // Destroys and creates the window again, keeping the control's state.
  void RecreateWnd();
  // Visible and every parent up to a top-level window visible.
  bool Showing() const { return showing_; }
  // The procedure default handling ends in (DefWindowProc or the system
  // class's procedure for a wrapped control).
  WNDPROC DefWndProc() const { return defWndProc_; }
  // The object of a window created by this library, or nullptr.
  static TWinControl* FromHandle(HWND wnd);

  // Windowless children first, then windowed ones, each kind bottom first.
  int ControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }
  TControl* Controls(int index) const;
  // The windowed children alone: the tail of Controls.
  const std::vector<TWinControl*>& WinControls() const { return winControls_; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;
  // The topmost child at p (client coordinates); windowless and windowed.
  TControl* ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls = false);
  // Sends the message to every child until one sets Result.
  void Broadcast(TMessage& message);

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  int TabOrder() const;
  void SetTabOrder(int order);
  bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();
  // The wheel at a screen point; true when taken. Public: a form may hand
  // the wheel to the control under the cursor.
  virtual bool DoMouseWheel(TShiftState shift, int delta, TPoint mousePos);

  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);

  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetEnabled(bool enabled) override;
  std::string Text() override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void PaintTo(HDC dc, int x, int y) override;

  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();
  void Realign();

 protected:
  // Freeing starts here, while the whole object exists: the window goes
  // with every hook still in place, then the children and the owned
  // components; the destructors find nothing left to do.
  void BeforeDestruction() override;
  virtual void CreateParams(TCreateParams& params);
  // Fills the window class from a system class, which the control wraps.
  void CreateSubClass(TCreateParams& params, const wchar_t* systemClass);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  void DestroyHandle();
  // After the window exists: children windows, font, state.
  virtual void CreateHandleDone() {}
  virtual void AdjustClientRect(TRect& rect);
  virtual void AlignControls(TControl* control, TRect& rect);
  virtual void PaintWindow(HDC dc);
  // Paints the windowless children into dc (client coordinates), in order.
  void PaintControls(HDC dc, TControl* first);
  void PaintHandler(TMessage& m);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(wchar_t& key);
  virtual void DoEnter();
  virtual void DoExit();
  // Reconciles the window with Visible and the parent's Showing.
  void UpdateShowing();
  void UpdateControlState();
  TBrush* Brush();
  // Set by CreateSubClass: the wrapped system control paints itself.
  bool wantsNativePaint_ = false;

 private:
  friend class TControl;
  friend LRESULT CALLBACK ClassLibWndProc(HWND, UINT, WPARAM, LPARAM);
  void MainWndProc(TMessage& message);
  void CreateChildHandles();
  void SetZOrderOf(TControl* control, bool top);
  void AlignControl(TControl* control);
  bool ReflectToChild(TMessage& m);
  void WindowGone();

  HWND handle_ = nullptr;
  int childId_ = 0;
  WNDPROC defWndProc_ = DefWindowProcW;
  std::unique_ptr<TBrush> brush_;  // Color, for erasing and the control colour messages
  bool trackingLeave_ = false;
  // Asks for WM_MOUSELEAVE; it comes at once when the mouse is already out.
  void TrackLeave();
  // Children by kind, each bottom first: windowed children always lie above
  // the windowless ones, which are painted on this window.
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> winControls_;
  std::vector<TWinControl*> tabList_;
  bool showing_ = false;
  bool tabStop_ = false;
  int borderWidth_ = 0;
  int alignLevel_ = 0;
  bool recreating_ = false;
  bool destroyingWnd_ = false;
};

// --- TGraphicControl / TCustomControl -------------------------------------------------

// A canvas bound to one control: outside painting it takes a device context
// of its own (the parent's for a windowless control, moved and clipped to
// the control), released by FreeHandle or at the application's idle time.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl* control) : control_(control) {}
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  void FreeHandle();
  // Releases the contexts of every control canvas (idle time).
  static void FreeDeviceContexts();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_;
  HDC ownDC_ = nullptr;
  HWND dcWindow_ = nullptr;
};

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  void Dispatch(TMessage& message) override;
  TCanvas* Canvas() { return canvas_.get(); }

 protected:
  virtual void Paint() {}

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// --- hover tracking ------------------------------------------------------------------

// The control the mouse is over, as last told with CM_MOUSEENTER.
TControl* MouseControl();
// Re-evaluates the control under the cursor (idle time, after a window moved).
void CheckMouseControl();

}  // namespace kv
