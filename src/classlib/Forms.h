#pragma once
// Forms, frames, the application object with its hidden window and message
// pump, the application-events component, and the screen object.

#include <windows.h>

#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/FormKinds.h"
#include "classlib/Controls.h"
#include "classlib/Menus.h"

namespace kv {

enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TFormState = uint8_t;
constexpr TFormState fsCreating = 1, fsVisible = 2, fsShowing = 4, fsModal = 8,
                     fsCreatedMDIChild = 16, fsActivated = 32;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT,
                       mrRetry = IDRETRY, mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO,
                       mrAll = mrNo + 1, mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void AfterConstruction() override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  // Every visible control with an action follows it (InitiateAction); the
  // application does this for the visible forms when it falls idle.
  void UpdateActions();

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  TFormState FormState() const { return formState_; }
  TWindowState WindowState();
  void SetWindowState(TWindowState state);
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  TIcon& Icon() { return icon_; }
  TCanvas* Canvas() { return canvas_.get(); }
  // The MDI client window of an fsMDIForm.
  HWND ClientHandle() const { return clientHandle_; }
  // An fsMDIForm's children: the active one (null when none is), and all
  // of them in the MDI client's z-order.
  TCustomForm* ActiveMDIChild() const;
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;
  // An MDI child's menu into its MDI form's bar (merge) or out of it.
  void MergeMenu(bool merge);

  TRect ClientRect() override;

  void Show();
  void Hide() { SetVisible(false); }
  // Shows the form and runs a message loop, with the application's other
  // windows disabled, until ModalResult is set; returns it.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  void Close();
  // Frees the form once the messages it is handling now are done.
  void Release();
  virtual bool CloseQuery();
  bool Active() const { return active_; }

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // Focus moves to the next (or previous) tab stop after `current`.
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  // Focus bookkeeping, told by the controls.
  void FocusChanged(TWinControl* control);
  void ControlRemoved(TWinControl* control);
  void PreviewKeyDown(WORD& key, TShiftState shift) { KeyDown(key, shift); }
  void PreviewKeyPress(wchar_t& key) { KeyPress(key); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void DestroyWnd() override;
  void Loaded() override;
  void BeforeDestruction() override;
  void PaintWindow(HDC dc) override;
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();

 private:
  void ShowingChanged();
  void FrameStyles(DWORD& style, DWORD& exStyle) const;
  void PlaceOnFirstShow();
  void CloseModal();
  void CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& list);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = poDesigned;
  TFormStyle formStyle_ = fsNormal;
  TFormState formState_ = fsCreating;
  TWindowState windowState_ = wsNormal;
  bool keyPreview_ = false;
  bool active_ = false;
  bool placed_ = false;
  bool createDone_ = false;
  TMainMenu* menu_ = nullptr;
  TIcon icon_;
  std::unique_ptr<TControlCanvas> canvas_;
  TModalResult modalResult_ = mrNone;
  TWinControl* activeControl_ = nullptr;
  TWinControl* focusedControl_ = nullptr;
  HWND clientHandle_ = nullptr;
};

// The MDI form MDI children are made in: the main form when it is one,
// else the first MDI form with a window; null when there is none.
TCustomForm* MDIFrameForm();

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};

// A container control meant to be placed inside another control.
class TCustomFrame : public TWinControl {
 public:
  explicit TCustomFrame(TComponent* owner);

 protected:
  void CreateParams(TCreateParams& params) override;
};

class TFrame : public TCustomFrame {
 public:
  using TCustomFrame::TCustomFrame;
};

// --- application ------------------------------------------------------------------------

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

// A hook on the application window's messages; true means handled. Two
// hooks are the same when they name the same member of the same object.
class TWindowHook {
 public:
  TWindowHook() = default;
  template <class T>
  TWindowHook(T* object, bool (T::*member)(TMessage&))
      : object_(object), call_([object, member](TMessage& m) { return (object->*member)(m); }) {
    static_assert(sizeof(member) <= sizeof(key_));
    std::memcpy(key_, &member, sizeof(member));
  }
  bool operator()(TMessage& m) const { return call_ ? call_(m) : false; }
  bool operator==(const TWindowHook& other) const {
    return object_ == other.object_ && std::memcmp(key_, other.key_, sizeof(key_)) == 0;
  }

 private:
  const void* object_ = nullptr;
  unsigned char key_[2 * sizeof(void*)] = {};
  std::function<bool(TMessage&)> call_;
};

// What a control is asked with CM_HINTSHOW (a pointer to it in LParam)
// before its hint shows. It may change any field; a non-zero result keeps
// the hint back.
struct THintInfo {
  TControl* HintControl = nullptr;
  // The hint window's top left corner on the screen.
  TPoint HintPos;
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  // While the mouse stays inside, the hint stays (client coordinates).
  TRect CursorRect;
  // The mouse in the control's client coordinates.
  TPoint CursorPos;
  std::string HintStr;
  int HideTimeout = 0;
};

// The small window a hint shows in: a top-most pop-up owned by the
// application window that never takes the focus.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);

  // The window's rectangle at (0, 0) for hint, lines broken at maxWidth.
  virtual TRect CalcHintRect(int maxWidth, const std::string& hint);
  // Shows hint in rect (screen coordinates) above every window.
  virtual void ActivateHint(const TRect& rect, const std::string& hint);
  // Hides the window; it is kept for the next hint.
  void ReleaseHandle();
  bool Showing() const;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

class TApplicationEvents;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  TExceptionEvent OnException;
  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  // The first modal window a part of the program announces opens, and the
  // last one closes.
  TNotifyEvent OnModalBegin;
  TNotifyEvent OnModalEnd;

  // The hidden application window; posted application messages go to it.
  HWND Handle();
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  std::string ExeName() const;
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* form) { mainForm_ = form; }
  bool Terminated() const { return terminated_; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value) { showHint_ = value; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  // How long the mouse rests on a control before its hint shows.
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  // Told of every mouse move, with the control under the mouse.
  void HintMouseMessage(TControl* control, TPoint screenPos);
  // Shows the hint of the control the mouse rests on now, if it has one.
  void ActivateHint(TPoint screenPos);
  // Hides any hint; the next one waits for the mouse to rest again.
  void CancelHint();
  // The window of the hint showing; null while none shows.
  THintWindow* HintWindow() const;
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool value) { showMainForm_ = value; }

  // Creates a form owned by the application; the first becomes MainForm.
  template <class T>
  void CreateForm(T*& reference) {
    reference = Create<T>(this);
    if (mainForm_ == nullptr) mainForm_ = reference;
  }
  void Run();
  void ProcessMessages();
  void HandleMessage();
  void Terminate();
  void Minimize();
  void Restore();
  // Call only inside a catch block: gives the exception to OnException, or
  // shows it while there is no main form yet; otherwise it is swallowed.
  void HandleException(TObject* sender);
  void ShowException(const std::exception& e);
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);
  // Announce a modal window of the program's own (a message box) around its
  // run; they nest, and the events fire at the outermost pair.
  void ModalStarted();
  void ModalFinished();
  int ModalLevel() const { return modalLevel_; }

  void HookMainWindow(const TWindowHook& hook);
  void UnhookMainWindow(const TWindowHook& hook);

  // Takes one message from the queue and handles it; false when there was none.
  // Inside a loop the system runs (a menu held open, a message box, a file
  // dialog, moving or sizing), keys and clicks belong to that loop: they are
  // left in the queue for it, and only the other messages are handled.
  bool ProcessMessage(MSG& msg);
  bool InSystemLoop() const;
  // Marks a call that runs a loop of the system's own (MessageBoxW, a file
  // dialog) for as long as it lives; they nest.
  class TSystemLoop {
   public:
    TSystemLoop();
    ~TSystemLoop();
    TSystemLoop(const TSystemLoop&) = delete;
    TSystemLoop& operator=(const TSystemLoop&) = delete;
  };
  // Resets the application's state between tests (forms stay where they are).
  void ResetForTesting();

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TApplicationEvents;
  friend LRESULT CALLBACK ApplicationWndProc(HWND, UINT, WPARAM, LPARAM);
  void WndProc(TMessage& m);
  bool IsKeyMsg(MSG& msg);
  void SetHintControl(TControl* control);
  void StartHintTimer(int ms);
  void HintTimerExpired();
  void HideHint();
  void Idle();

  HWND handle_ = nullptr;
  std::string title_;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool showHint_ = true;
  bool showMainForm_ = true;
  int hintHidePause_ = 2500;
  int hintPause_ = 500;
  int modalLevel_ = 0;
  static inline int systemLoops_ = 0;
  int dispatching_ = 0;  // ProcessMessage's dispatches under way
  // The control whose hint waits or shows, and where its hint stays.
  TControl* hintControl_ = nullptr;
  TRect hintCursorRect_;
  TPoint hintMousePos_;
  enum class THintState { Idle, Waiting, Showing, Done } hintState_ = THintState::Idle;
  THintWindow* hintWindow_ = nullptr;
  std::vector<TWindowHook> hooks_;
  std::vector<TApplicationEvents*> events_;
};

// Lets several parts of the program see every message the GUI thread's
// pumps take from the queue, and the application's exceptions.
class TApplicationEvents : public TComponent {
 public:
  explicit TApplicationEvents(TComponent* owner);
  ~TApplicationEvents() override;
  TMessageEvent OnMessage;
  TExceptionEvent OnException;
};

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner) : TComponent(owner) {}

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(static_cast<size_t>(index)); }
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const;
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  TRect WorkAreaRect() const;
  // Work area of the monitor a window is on.
  static TRect MonitorWorkArea(HWND wnd);

 private:
  friend class TCustomForm;
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  TCursor cursor_ = crDefault;
};

extern TApplication* Application;
extern TScreen* Screen;

}  // namespace kv
