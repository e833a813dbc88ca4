#include "classlib/Forms.h"

#include <algorithm>

#include "classlib/WideText.h"

namespace kv {

TApplication* Application = Create<TApplication>(nullptr);
TScreen* Screen = Create<TScreen>(nullptr);

// --- TCustomForm ------------------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetVisible(false);
  SetParentFont(false);
  SetParentColor(false);
  SetBounds(0, 0, 320, 240);
  icon_.OnChange = [this](TObject*) {
    if (HandleAllocated())
      SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
  };
  Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
  auto& forms = Screen->forms_;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
  if (Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  // A form being built by loading code is created once it is complete.
  if (!HasState(csLoading)) DoCreate();
}

namespace {

void InitiateActions(TWinControl* container) {
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* control = container->Controls(i);
    if (!control->Visible()) continue;
    control->InitiateAction();
    if (auto* inner = dynamic_cast<TWinControl*>(control)) InitiateActions(inner);
  }
}

}  // namespace

void TCustomForm::UpdateActions() { InitiateActions(this); }

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  if (!createDone_) DoCreate();
}

void TCustomForm::DoCreate() {
  createDone_ = true;
  formState_ &= ~fsCreating;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
  // OnDestroy runs while the form and its controls are still whole, but
  // already marked as going away.
  SetState(csDestroying);
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      Application->HandleException(this);
    }
  }
  TWinControl::BeforeDestruction();
}

// The frame's styles from BorderStyle and BorderIcons.
void TCustomForm::FrameStyles(DWORD& style, DWORD& exStyle) const {
  switch (borderStyle_) {
    case bsNone:
      style |= WS_POPUP;
      break;
    case bsSingle:
      style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
      style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
      exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      style |= WS_CAPTION | WS_BORDER;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      style |= WS_CAPTION | WS_THICKFRAME;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
    style |= WS_SYSMENU;
    const bool dialogLike =
        borderStyle_ == bsDialog || borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin;
    if (!dialogLike) {
      if (borderIcons_ & biMinimize) style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) style |= WS_MAXIMIZEBOX;
    }
    if ((borderIcons_ & biHelp) && (dialogLike || !(borderIcons_ & (biMinimize | biMaximize))))
      exStyle |= WS_EX_CONTEXTHELP;
  }
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WindowClass.style = CS_DBLCLKS;
  p.WindowClass.hIcon = nullptr;
  if (Parent() != nullptr) {
    // A form placed inside a control is a plain child window.
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (!Enabled()) p.Style |= WS_DISABLED;
    return;
  }
  p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  p.ExStyle = 0;
  FrameStyles(p.Style, p.ExStyle);
  if (formStyle_ == fsMDIChild) {
    // An MDI child lives in the MDI client of the application's MDI form;
    // the system keeps its activation, maximising and window menu.
    TCustomForm* frame = MDIFrameForm();
    if (frame == nullptr || frame == this)
      throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    p.Style = (p.Style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD;
    p.ExStyle |= WS_EX_MDICHILD;
    p.WndParent = frame->ClientHandle();
    return;
  }
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  // Secondary forms are owned by the main form (so they stay above it and
  // go with it); the main form is top-level with its own task-bar button.
  TCustomForm* main = Application->MainForm();
  if (main == nullptr || main == this)
    p.WndParent = nullptr;
  else if (main->HasState(csDestroying))
    p.WndParent = Application->Handle();
  else
    p.WndParent = main->Handle();
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (formStyle_ == fsMDIForm && clientHandle_ == nullptr) {
    CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
    RECT rc;
    GetClientRect(Handle(), &rc);
    clientHandle_ =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, rc.right,
                        rc.bottom, Handle(), nullptr, GetModuleHandleW(nullptr), &ccs);
  }
  // An MDI child's menu is shown in its MDI form's bar while it is active.
  if (menu_ != nullptr && Parent() == nullptr && formStyle_ != fsMDIChild) {
    menu_->SetWindowHandle(Handle());
    ::SetMenu(Handle(), menu_->Handle());
  }
  if (icon_.Handle() != nullptr)
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
}

void TCustomForm::CreateWindowHandle(const TCreateParams& params) {
  if (formStyle_ != fsMDIChild) {
    TWinControl::CreateWindowHandle(params);
    return;
  }
  // The system shows and activates an MDI child as it makes it: a child made
  // to be seen is being shown from here on, and is a made MDI child until
  // its window goes.
  const TFormState showing = Visible() && (formState_ & fsShowing) == 0 ? fsShowing : 0;
  formState_ |= fsCreatedMDIChild | showing;
  try {
    TWinControl::CreateWindowHandle(params);
  } catch (...) {
    formState_ &= ~(fsCreatedMDIChild | showing);
    throw;
  }
  formState_ &= ~showing;
  if (!HandleAllocated()) formState_ &= ~fsCreatedMDIChild;
}

void TCustomForm::DestroyWnd() {
  formState_ &= ~fsCreatedMDIChild;
  // The menu belongs to the menu component, not to the window.
  if (HandleAllocated() && menu_ != nullptr) {
    ::SetMenu(Handle(), nullptr);
    menu_->SetWindowHandle(nullptr);
  }
  MergeMenu(false);
  clientHandle_ = nullptr;
  TWinControl::DestroyWnd();
}

TRect TCustomForm::ClientRect() {
  if (HandleAllocated() || Parent() != nullptr) return TWinControl::ClientRect();
  // Without a window (the form may still be under construction, when the
  // window must not be made yet) the frame is worked out from the styles.
  DWORD style = 0, exStyle = 0;
  FrameStyles(style, exStyle);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, menu_ != nullptr, exStyle);
  return Rect(0, 0, std::max<int>(0, Width() - (frame.right - frame.left)),
              std::max<int>(0, Height() - (frame.bottom - frame.top)));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == borderStyle_) return;
  borderStyle_ = style;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == borderIcons_) return;
  borderIcons_ = icons;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == formStyle_) return;
  const TFormStyle old = formStyle_;
  formStyle_ = style;
  if (!HandleAllocated()) return;
  if ((old == fsStayOnTop) != (style == fsStayOnTop) && old != fsMDIForm && style != fsMDIForm) {
    SetWindowPos(Handle(), style == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    RecreateWnd();
  }
}

TWindowState TCustomForm::WindowState() {
  if (HandleAllocated()) {
    if (IsIconic(Handle())) return wsMinimized;
    if (IsZoomed(Handle())) return wsMaximized;
    if (Showing()) return wsNormal;
  }
  return windowState_;
}

void TCustomForm::SetWindowState(TWindowState state) {
  windowState_ = state;
  if (!HandleAllocated() || !Showing()) return;
  ShowWindow(Handle(), state == wsMinimized   ? SW_MINIMIZE
                       : state == wsMaximized ? SW_MAXIMIZE
                                              : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_ != nullptr) menu_->SetWindowHandle(nullptr);
  // The active child shows its new menu at once.
  const bool merged = formStyle_ == fsMDIChild && HandleAllocated() &&
                      SendMessageW(GetParent(Handle()), WM_MDIGETACTIVE, 0, 0) ==
                          reinterpret_cast<LRESULT>(Handle());
  MergeMenu(false);
  // An MDI form's new menu shows the active child's as the old one did.
  auto* childMenu = menu_ != nullptr ? dynamic_cast<TMainMenu*>(menu_->Merged()) : nullptr;
  if (childMenu != nullptr) menu_->Unmerge(childMenu);
  menu_ = menu;
  if (menu != nullptr) FreeNotification(menu);
  if (menu != nullptr && childMenu != nullptr) menu->Merge(childMenu);
  if (formStyle_ == fsMDIChild) {
    if (merged) MergeMenu(true);
    return;
  }
  if (HandleAllocated() && Parent() == nullptr) {
    if (menu != nullptr) menu->SetWindowHandle(Handle());
    ::SetMenu(Handle(), menu != nullptr ? menu->Handle() : nullptr);
  }
}

void TCustomForm::PaintWindow(HDC dc) {
  canvas_->FreeHandle();
  const TCanvasBinding binding(*canvas_, dc, true);
  if (OnPaint) OnPaint(this);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) {
    if (Parent() == nullptr) SetForegroundWindow(Handle());
    BringWindowToTop(Handle());
  }
}

void TCustomForm::PlaceOnFirstShow() {
  if (placed_ || Parent() != nullptr) return;
  placed_ = true;
  TRect area = TScreen::MonitorWorkArea(Handle());
  TCustomForm* ref = nullptr;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poMainFormCenter:
      ref = Application->MainForm();
      break;
    case poOwnerFormCenter:
      ref = dynamic_cast<TCustomForm*>(Owner());
      if (ref == nullptr) ref = Application->MainForm();
      break;
    default:
      return;
  }
  if (ref != nullptr && ref != this && ref->HandleAllocated()) area = ref->BoundsRect();
  const int x = area.Left + (area.Width() - Width()) / 2;
  const int y = area.Top + (area.Height() - Height()) / 2;
  SetBounds(std::max<int>(x, 0), std::max<int>(y, 0), Width(), Height());
}

void TCustomForm::ShowingChanged() {
  if (!HandleAllocated()) return;
  if (Showing()) {
    // Set until the window is up: what the first activation and painting
    // of the window do may depend on the form being shown for the first time.
    formState_ |= fsShowing;
    try {
      DoShow();
      PlaceOnFirstShow();
      int cmd = SW_SHOWNORMAL;
      if (windowState_ == wsMinimized)
        cmd = SW_SHOWMINIMIZED;
      else if (windowState_ == wsMaximized)
        cmd = SW_SHOWMAXIMIZED;
      else if (Parent() != nullptr)
        cmd = SW_SHOW;
      ShowWindow(Handle(), cmd);
    } catch (...) {
      formState_ &= ~fsShowing;
      throw;
    }
    formState_ &= ~fsShowing;
    formState_ |= fsVisible;
  } else {
    DoHide();
    if (Screen->activeForm_ == this && Parent() == nullptr) {
      // Hiding the active form gives activation back to another window.
      SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    } else {
      ShowWindow(Handle(), SW_HIDE);
    }
    formState_ &= ~fsVisible;
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (formState_ & fsModal) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = Application->MainForm() == this ? caFree : caHide;
  if (formStyle_ == fsMDIChild) action = caMinimize;
  DoClose(action);
  if (action == caNone) return;
  if (Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Release();
      break;
    default:
      break;
  }
}

void TCustomForm::Release() {
  if (HandleAllocated()) PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  try {
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
  } catch (...) {
    modalResult_ = mrNone;
    Application->HandleException(this);
    return;
  }
  switch (action) {
    case caNone:
      modalResult_ = mrNone;
      break;
    case caFree:
      Release();
      break;
    default:
      break;
  }
}

namespace {

struct TDisabledWindows {
  HWND except;
  std::vector<HWND> list;
};

BOOL CALLBACK DisableWindow(HWND wnd, LPARAM data) {
  auto* d = reinterpret_cast<TDisabledWindows*>(data);
  if (wnd != d->except && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
    d->list.push_back(wnd);
    EnableWindow(wnd, FALSE);
  }
  return TRUE;
}

}  // namespace

TModalResult TCustomForm::ShowModal() {
  if (Visible() || !Enabled() || (formState_ & fsModal) || formStyle_ == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (GetCapture() != nullptr) SendMessageW(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HandleNeeded();
  formState_ |= fsModal;
  HWND previousActive = GetActiveWindow();
  TDisabledWindows disabled{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  modalResult_ = mrNone;
  auto restore = [&] {
    for (HWND w : disabled.list)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    formState_ &= ~fsModal;
    if (previousActive != nullptr && IsWindow(previousActive)) SetActiveWindow(previousActive);
  };
  try {
    Show();
    // Checked before each wait: a result set while showing must not wait
    // for a message that may never come.
    for (;;) {
      if (Application->Terminated()) {
        modalResult_ = mrCancel;
      } else if (modalResult_ != mrNone) {
        CloseModal();
      }
      if (modalResult_ != mrNone) break;
      Application->HandleMessage();
    }
    // The other windows are enabled before this one hides, so that
    // activation goes back to one of them.
    for (HWND w : disabled.list)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    disabled.list.clear();
    Hide();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return modalResult_;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == activeControl_) return;
  if (control != nullptr && (control == this || !ContainsControl(control) || !control->CanFocus()))
    throw EInvalidOperation("Invalid control to activate");
  activeControl_ = control;
  if (control != nullptr && active_ && control->HandleAllocated() && !control->Focused())
    control->SetFocus();
}

void TCustomForm::FocusChanged(TWinControl* control) {
  if (control == focusedControl_) return;
  TWinControl* old = focusedControl_;
  focusedControl_ = control;
  if (control != nullptr) activeControl_ = control;
  // Exit the old chain up to the common parent, enter the new one. Both
  // chains are taken first: an OnExit handler may free its own control.
  std::vector<TControl*> exiting;
  for (TControl* c = old; c != nullptr && c != this; c = c->Parent())
    if (control == nullptr || !static_cast<TWinControl*>(c)->ContainsControl(control))
      exiting.push_back(c);
  std::vector<TControl*> enter;
  for (TControl* c = control; c != nullptr && c != this; c = c->Parent())
    if (old == nullptr || !static_cast<TWinControl*>(c)->ContainsControl(old)) enter.push_back(c);
  for (TControl* c : exiting) c->Perform(CM_EXIT);
  for (auto it = enter.rbegin(); it != enter.rend(); ++it) (*it)->Perform(CM_ENTER);
  // Everyone on the form learns where the focus is (default buttons follow it).
  const LPARAM focused = reinterpret_cast<LPARAM>(control);
  std::function<void(TWinControl*)> tell = [&](TWinControl* parent) {
    const int windowless = parent->ControlCount() - static_cast<int>(parent->WinControls().size());
    for (int i = 0; i < windowless; ++i) parent->Controls(i)->Perform(CM_FOCUSCHANGED, 0, focused);
    for (TWinControl* w : std::vector<TWinControl*>(parent->WinControls())) {
      w->Perform(CM_FOCUSCHANGED, 0, focused);
      tell(w);
    }
  };
  tell(this);
}

void TCustomForm::ControlRemoved(TWinControl* control) {
  if (activeControl_ != nullptr && control->ContainsControl(activeControl_))
    activeControl_ = nullptr;
  if (focusedControl_ != nullptr && control->ContainsControl(focusedControl_))
    focusedControl_ = nullptr;
}

void TCustomForm::CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& list) {
  std::vector<TWinControl*> children = parent->WinControls();
  std::stable_sort(children.begin(), children.end(),
                   [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
  for (TWinControl* w : children) {
    list.push_back(w);
    CollectTabStops(w, list);
  }
}

void TCustomForm::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  std::vector<TWinControl*> list;
  CollectTabStops(this, list);
  if (list.empty()) return;
  const int n = static_cast<int>(list.size());
  int start = static_cast<int>(std::find(list.begin(), list.end(), current) - list.begin());
  if (start >= n) start = forward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    TWinControl* w = list[static_cast<size_t>(((start + (forward ? step : -step)) % n + n) % n)];
    if ((!checkTabStop || w->TabStop()) && w->CanFocus()) {
      w->SetFocus();
      return;
    }
  }
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case CM_RELEASE:
      Free();  // nothing of this object may be touched after this
      return;
    case CM_SHOWINGCHANGED:
      ShowingChanged();
      return;
    case WM_ACTIVATE: {
      DefaultHandler(m);
      // A form being freed loses its window whole now: no events from that.
      if (HasState(csDestroying)) return;
      const bool nowActive = LOWORD(m.WParam) != WA_INACTIVE;
      if (nowActive == active_) return;
      active_ = nowActive;
      if (nowActive) {
        Screen->activeForm_ = this;
        formState_ |= fsActivated;
        if (activeControl_ != nullptr && activeControl_->HandleAllocated() &&
            activeControl_->CanFocus() && !activeControl_->Focused())
          ::SetFocus(activeControl_->Handle());
        Perform(CM_ACTIVATE);
        Activate();
      } else {
        Perform(CM_DEACTIVATE);
        Deactivate();
      }
      return;
    }
    case WM_SETFOCUS:
      DefaultHandler(m);
      // The form itself has nothing to type into: give the focus on.
      if (activeControl_ != nullptr && activeControl_->HandleAllocated() &&
          activeControl_->CanFocus())
        ::SetFocus(activeControl_->Handle());
      return;
    case WM_COMMAND:
      if (m.LParam == 0 && HIWORD(m.WParam) == 0 && menu_ != nullptr &&
          menu_->DispatchCommand(LOWORD(m.WParam))) {
        m.Result = 0;
        return;
      }
      return TWinControl::Dispatch(m);
    // The main menu's messages are handled here, beneath every hook on the
    // form, so a hook sees them before the menu does.
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
      if (menu_ != nullptr && menu_->HandleMenuMessage(m)) return;
      return TWinControl::Dispatch(m);
    case WM_INITMENUPOPUP:
      // A drop-down about to open: its item's click lets the program update it.
      if (menu_ != nullptr)
        if (TMenuItem* item = menu_->FindItem(m.WParam, fkHandle)) item->Click();
      return TWinControl::Dispatch(m);
    case WM_MDIACTIVATE:
      // Sent to the child losing the activation and to the one gaining it.
      if (formStyle_ == fsMDIChild && HandleAllocated()) {
        if (reinterpret_cast<HWND>(m.WParam) == Handle()) MergeMenu(false);
        if (reinterpret_cast<HWND>(m.LParam) == Handle()) MergeMenu(true);
      }
      return TWinControl::Dispatch(m);
    case WM_SIZE:
      TWinControl::Dispatch(m);
      if (clientHandle_ != nullptr) {
        TRect r = TWinControl::ClientRect();
        MoveWindow(clientHandle_, 0, 0, r.Width(), r.Height(), TRUE);
      }
      return;
    case CM_DIALOGKEY:
      if (m.WParam == VK_TAB && !(GetKeyState(VK_CONTROL) < 0)) {
        SelectNext(focusedControl_, GetKeyState(VK_SHIFT) >= 0, true);
        m.Result = 1;
        return;
      }
      Broadcast(m);
      return;
    case CM_DIALOGCHAR:
      Broadcast(m);
      return;
    default:
      return TWinControl::Dispatch(m);
  }
}

void TCustomForm::DefaultHandler(TMessage& m) {
  if (formStyle_ == fsMDIChild && HandleAllocated() &&
      !(m.Msg >= CM_BASE && m.Msg <= CN_BASE + 0x200)) {
    m.Result = DefMDIChildProcW(Handle(), m.Msg, m.WParam, m.LParam);
    return;
  }
  if (clientHandle_ != nullptr && HandleAllocated() &&
      !(m.Msg >= CM_BASE && m.Msg <= CN_BASE + 0x200)) {
    m.Result = DefFrameProcW(Handle(), clientHandle_, m.Msg, m.WParam, m.LParam);
    return;
  }
  TWinControl::DefaultHandler(m);
}

TCustomForm* MDIFrameForm() {
  TCustomForm* main = Application->MainForm();
  if (main != nullptr && main->FormStyle() == fsMDIForm) {
    main->HandleNeeded();
    return main;
  }
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (TCustomForm* f = Screen->Forms(i); f->FormStyle() == fsMDIForm && f->HandleAllocated())
      return f;
  return nullptr;
}

void TCustomForm::MergeMenu(bool merge) {
  if (menu_ == nullptr || formStyle_ != fsMDIChild) return;
  if (!merge) {
    if (auto* into = dynamic_cast<TMainMenu*>(menu_->MergedInto())) into->Unmerge(menu_);
    return;
  }
  // The MDI form owns the MDI client this child lives in.
  HWND client = HandleAllocated() ? GetParent(Handle()) : nullptr;
  auto* frame = client != nullptr
                    ? dynamic_cast<TCustomForm*>(TWinControl::FromHandle(GetParent(client)))
                    : nullptr;
  if (frame != nullptr && frame->Menu() != nullptr) frame->Menu()->Merge(menu_);
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (clientHandle_ == nullptr) return nullptr;
  HWND active = reinterpret_cast<HWND>(SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0));
  return dynamic_cast<TCustomForm*>(TWinControl::FromHandle(active));
}

int TCustomForm::MDIChildCount() const {
  int count = 0;
  while (MDIChildren(count) != nullptr) ++count;
  return count;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  if (clientHandle_ == nullptr) return nullptr;
  int i = 0;
  for (HWND w = GetWindow(clientHandle_, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    auto* f = dynamic_cast<TCustomForm*>(TWinControl::FromHandle(w));
    if (f == nullptr || f->FormStyle() != fsMDIChild) continue;
    if (i++ == index) return f;
  }
  return nullptr;
}

// --- frames --------------------------------------------------------------------------

TCustomFrame::TCustomFrame(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetBounds(0, 0, 320, 240);
}

void TCustomFrame::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

// --- application ------------------------------------------------------------------------

LRESULT CALLBACK ApplicationWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
  if (app == nullptr) return DefWindowProcW(wnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    app->WndProc(m);
  } catch (...) {
    app->HandleException(app);
  }
  return m.Result;
}

// --- hints ---------------------------------------------------------------------------

namespace {

constexpr UINT_PTR HintTimerId = 0x4854;
constexpr UINT HintTextFlags = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;
// Room around the text inside the hint window's border.
constexpr int HintPadX = 6;
constexpr int HintPadY = 2;

}  // namespace

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
  SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  p.WndParent = Application != nullptr ? Application->Handle() : nullptr;
  p.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  RECT r{0, 0, std::max(maxWidth, 1), 0};
  const std::wstring text = Wide(hint);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, HintTextFlags | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  const int border = 2 * GetSystemMetrics(SM_CXBORDER);
  return Rect(0, 0, r.right + 2 * HintPadX + border, r.bottom + 2 * HintPadY + border);
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& hint) {
  SetCaption(hint);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  SetWindowPos(Handle(), HWND_TOPMOST, rect.Left, rect.Top, rect.Width(), rect.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::Showing() const {
  return HandleAllocated() && IsWindowVisible(const_cast<THintWindow*>(this)->Handle());
}

void THintWindow::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  canvas->Font()->Assign(*Font());
  SetBkMode(canvas->Handle(), TRANSPARENT);
  SetTextColor(canvas->Handle(), ColorToRGB(Font()->Color()));
  RECT r{client.Left + HintPadX, client.Top + HintPadY, client.Right - HintPadX,
         client.Bottom - HintPadY};
  const std::wstring text = Wide(Caption());
  DrawTextW(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, HintTextFlags);
}

THintWindow* TApplication::HintWindow() const {
  return hintWindow_ != nullptr && hintWindow_->Showing() ? hintWindow_ : nullptr;
}

// The control that answers for hints: the first of the control and its
// parents that shows hints.
static TControl* HintControlOf(TControl* control) {
  while (control != nullptr && !control->ShowHint()) control = control->Parent();
  return control;
}

void TApplication::SetHintControl(TControl* control) {
  if (control == hintControl_) return;
  if (hintControl_ != nullptr) hintControl_->RemoveFreeNotification(this);
  hintControl_ = control;
  if (control != nullptr) control->FreeNotification(this);
}

void TApplication::StartHintTimer(int ms) {
  SetTimer(Handle(), HintTimerId, static_cast<UINT>(std::max(ms, 1)), nullptr);
}

void TApplication::HideHint() {
  if (hintWindow_ != nullptr) hintWindow_->ReleaseHandle();
}

void TApplication::CancelHint() {
  if (handle_ != nullptr) KillTimer(handle_, HintTimerId);
  HideHint();
  SetHintControl(nullptr);
  hintState_ = THintState::Idle;
}

void TApplication::HintMouseMessage(TControl* control, TPoint screenPos) {
  hintMousePos_ = screenPos;
  TControl* target = showHint_ ? HintControlOf(control) : nullptr;
  if (target == nullptr) return CancelHint();
  if (target != hintControl_) {
    HideHint();
    SetHintControl(target);
    hintState_ = THintState::Waiting;
    return StartHintTimer(hintPause_);
  }
  // The same control: a hint shown for one part of it (a tab) goes when the
  // mouse leaves that part, and the next part's waits for the mouse to rest.
  if (hintState_ == THintState::Showing || hintState_ == THintState::Done) {
    if (PtInRect(hintCursorRect_, screenPos)) return;
    HideHint();
    hintState_ = THintState::Waiting;
    StartHintTimer(hintPause_);
  }
}

void TApplication::HintTimerExpired() {
  KillTimer(Handle(), HintTimerId);
  if (hintState_ == THintState::Showing) {
    HideHint();
    hintState_ = THintState::Done;
    return;
  }
  if (hintState_ == THintState::Waiting) ActivateHint(hintMousePos_);
}

void TApplication::ActivateHint(TPoint screenPos) {
  TControl* control = hintControl_;
  if (control == nullptr || !showHint_) return;
  hintState_ = THintState::Done;
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = control->ScreenToClient(screenPos);
  info.CursorRect = control->ClientRect();
  info.HintPos = {screenPos.X, screenPos.Y + GetSystemMetrics(SM_CYCURSOR)};
  info.HintMaxWidth = Screen != nullptr ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
  info.HintStr = control->Hint();
  info.HideTimeout = hintHidePause_;
  if (control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0) return;
  const TPoint topLeft = control->ClientToScreen({info.CursorRect.Left, info.CursorRect.Top});
  hintCursorRect_ = Bounds(topLeft.X, topLeft.Y, info.CursorRect.Width(), info.CursorRect.Height());
  if (info.HintStr.empty()) return;
  if (hintWindow_ == nullptr) hintWindow_ = Create<THintWindow>(this);
  hintWindow_->SetColor(info.HintColor);
  TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr);
  // Kept on the work area, moved back by what would stick out.
  int x = info.HintPos.X;
  int y = info.HintPos.Y;
  if (Screen != nullptr) {
    const TRect work = Screen->WorkAreaRect();
    x = std::max(work.Left, std::min(x, work.Right - r.Width()));
    y = std::max(work.Top, std::min(y, work.Bottom - r.Height()));
  }
  r = Bounds(x, y, r.Width(), r.Height());
  hintWindow_->ActivateHint(r, info.HintStr);
  hintState_ = THintState::Showing;
  StartHintTimer(info.HideTimeout);
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() {
  if (handle_ != nullptr) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
}

HWND TApplication::Handle() {
  if (handle_ != nullptr) return handle_;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  if (!GetClassInfoW(instance, L"TApplication", &wc)) {
    wc.lpfnWndProc = ApplicationWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, L"MAINICON");
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"TApplication";
    if (RegisterClassW(&wc) == 0) throw EOutOfResources("Cannot register the application window");
  }
  const std::wstring title = Wide(title_);
  handle_ = CreateWindowExW(0, L"TApplication", title.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                            0, nullptr, nullptr, instance, nullptr);
  if (handle_ == nullptr) throw EOutOfResources("Cannot create the application window");
  SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return handle_;
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (handle_ != nullptr) SetWindowTextW(handle_, Wide(title).c_str());
}

std::string TApplication::ExeName() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);
  }
}

void TApplication::WndProc(TMessage& m) {
  // Hooks answer first, in the order they were installed; a copy, since a
  // hook may remove itself.
  const std::vector<TWindowHook> hooks = hooks_;
  for (const TWindowHook& hook : hooks)
    if (hook(m)) return;
  switch (m.Msg) {
    case WM_CLOSE:
      if (mainForm_ != nullptr) mainForm_->Close();
      return;
    case WM_QUERYENDSESSION:
      m.Result = 1;
      return;
    case WM_TIMER:
      if (m.WParam == HintTimerId) return HintTimerExpired();
      m.Result = DefWindowProcW(handle_, m.Msg, m.WParam, m.LParam);
      return;
    default:
      m.Result = DefWindowProcW(handle_, m.Msg, m.WParam, m.LParam);
  }
}

void TApplication::HookMainWindow(const TWindowHook& hook) {
  Handle();
  hooks_.push_back(hook);
}

void TApplication::UnhookMainWindow(const TWindowHook& hook) {
  auto it = std::find(hooks_.begin(), hooks_.end(), hook);
  if (it != hooks_.end()) hooks_.erase(it);
}

bool TApplication::IsKeyMsg(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND wnd = msg.hwnd;
  TWinControl* control = nullptr;
  while (wnd != nullptr && (control = TWinControl::FromHandle(wnd)) == nullptr)
    wnd = GetParent(wnd);
  if (control == nullptr) return false;
  return control->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

TApplication::TSystemLoop::TSystemLoop() { ++systemLoops_; }
TApplication::TSystemLoop::~TSystemLoop() { --systemLoops_; }

bool TApplication::InSystemLoop() const {
  if (systemLoops_ > 0 || modalLevel_ > 0) return true;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  constexpr DWORD SystemModes =
      GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE | GUI_INMOVESIZE;
  return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & SystemModes) != 0;
}

namespace {

// Every message but the keyboard's and the mouse's, client and non-client.
bool PeekAllButInput(MSG& msg) {
  static constexpr std::pair<UINT, UINT> Ranges[] = {
      {0, WM_NCMOUSEMOVE - 1},
      {WM_NCXBUTTONDBLCLK + 1, WM_KEYFIRST - 1},
      {WM_KEYLAST + 1, WM_MOUSEFIRST - 1},
      {WM_MOUSELAST + 1, 0xFFFFFFFF},
  };
  for (const auto& [first, last] : Ranges)
    if (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) return true;
  return false;
}

}  // namespace

bool TApplication::ProcessMessage(MSG& msg) {
  // The loop at the top dispatches from no other loop: only a wait inside a
  // handler can run within the system's, so only it asks the window server.
  const bool nested = dispatching_ > 0 || systemLoops_ > 0 || modalLevel_ > 0;
  const bool taken = nested && InSystemLoop()
                         ? PeekAllButInput(msg)
                         : PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
  if (!taken) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  ++dispatching_;
  const struct Done {
    int& depth;
    ~Done() { --depth; }
  } done{dispatching_};
  try {
    // Every subscriber sees the message until one handles it.
    const std::vector<TApplicationEvents*> events = events_;
    for (TApplicationEvents* e : events) {
      if (std::find(events_.begin(), events_.end(), e) == events_.end()) continue;
      if (e->OnMessage) e->OnMessage(msg, handled);
      if (handled) break;
    }
    if (!handled && OnMessage) OnMessage(msg, handled);
    if (!handled && !IsKeyMsg(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Idle() {
  bool done = true;
  try {
    if (OnIdle) OnIdle(this, done);
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->Visible()) Screen->Forms(i)->UpdateActions();
  } catch (...) {
    HandleException(this);
  }
  TControlCanvas::FreeDeviceContexts();
  CheckMouseControl();
  if (done) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void TApplication::Run() {
  Handle();
  if (mainForm_ != nullptr && showMainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::Minimize() {
  if (mainForm_ != nullptr && mainForm_->HandleAllocated())
    ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (mainForm_ != nullptr && mainForm_->HandleAllocated() && IsIconic(mainForm_->Handle()))
    ShowWindow(mainForm_->Handle(), SW_RESTORE);
  if (OnRestore) OnRestore(this);
}

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& e) {
      for (TApplicationEvents* events : events_)
        if (events->OnException) return events->OnException(sender, e);
      if (OnException) return OnException(sender, e);
      if (mainForm_ == nullptr) ShowException(e);
    } catch (...) {
      const Exception unknown("Unknown exception");
      if (OnException) return OnException(sender, unknown);
      if (mainForm_ == nullptr) ShowException(unknown);
    }
  } catch (...) {
    // A failing handler must not take the program down with it.
  }
}

void TApplication::ShowException(const std::exception& e) {
  std::string text = e.what();
  if (!text.empty() && text.back() > '.') text += '.';
  MessageBox(text, title_.empty() ? ExtractFileName(ExeName()) : title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = GetActiveWindow();
  if (owner == nullptr) owner = handle_;
  const TSystemLoop loop;
  return ::MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), flags);
}

void TApplication::ModalStarted() {
  if (++modalLevel_ == 1 && OnModalBegin) OnModalBegin(this);
}

void TApplication::ModalFinished() {
  if (modalLevel_ == 0) return;  // an unmatched end says nothing
  if (--modalLevel_ == 0 && OnModalEnd) OnModalEnd(this);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == mainForm_) mainForm_ = nullptr;
  if (operation == opRemove && component == hintControl_) CancelHint();
  if (operation == opRemove && component == hintWindow_) hintWindow_ = nullptr;
  TComponent::Notification(component, operation);
}

void TApplication::ResetForTesting() {
  terminated_ = false;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) {
  Application->events_.push_back(this);
}

TApplicationEvents::~TApplicationEvents() {
  auto& list = Application->events_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

// --- screen -------------------------------------------------------------------------------

TWinControl* TScreen::ActiveControl() const {
  return activeForm_ != nullptr ? activeForm_->ActiveControl() : nullptr;
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  // With crDefault the window under the mouse chooses again on its next move.
  ::SetCursor(CursorHandle(cursor == crDefault ? crArrow : cursor));
}

TRect TScreen::WorkAreaRect() const {
  RECT rc{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
  return Rect(rc.left, rc.top, rc.right, rc.bottom);
}

TRect TScreen::MonitorWorkArea(HWND wnd) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  HMONITOR monitor = MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST);
  if (monitor != nullptr && GetMonitorInfoW(monitor, &mi))
    return Rect(mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom);
  return Screen->WorkAreaRect();
}

}  // namespace kv
