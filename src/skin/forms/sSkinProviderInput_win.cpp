// Form sizing and the non-client mouse of TsSkinProvider: the maximised
// place, the size grip's position, the hit test and the title-bar buttons,
// the border-mode outline drag, the system menu's preparation and the mouse
// wheel for skinned scroll boxes.
#include <windowsx.h>

#include <algorithm>

#include "classlib/Forms.h"
#include "skin/core/acUtils.h"
#include "skin/core/acUtils_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/sMDIForm_win.h"
#include "skin/forms/sSkinProviderHitTest.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

bool PressedButtonActive = false;
bool BorderDragActive = false;
bool BorderDragMoving = false;
bool BorderDragFirst = false;
int BorderDragHitCode = 0;

namespace {

// The system menu waits this long for the second click of a double-click
// that closes the form, when the window's own menu would take the mouse.
constexpr unsigned kDoubleClickWait = 200;

// The rest of the outline's state; only one form drags at a time.
struct TOutline {
  TsSkinProvider* Owner = nullptr;
  HWND Desktop = nullptr;
  HDC DC = nullptr;
  int SavedDC = 0;
  TRect Bounds{};      // screen; for moving, Left and Top count
  TSize Size{};        // the form's size when the drag began
  TPoint Mouse{};      // last mouse point (screen)
  TPoint Start{};      // mouse point at the start of a move
  TPoint FormStart{};  // the form's place at the start of a move
};
TOutline Outline;

void ReleaseOutlineDC() {
  RestoreDC(Outline.DC, Outline.SavedDC);
  ReleaseDC(Outline.Desktop, Outline.DC);
  Outline.DC = nullptr;
  Outline.Owner = nullptr;
}

bool WheelRedirecting = false;

TPoint ScreenPoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool IsTitleButtonHit(int code) {
  return code == TitleHit::MinButton || code == TitleHit::MaxButton || code == TitleHit::Close ||
         code == TitleHit::Help || (code >= TitleHit::MDIClose && code <= TitleHit::MDIMinimize);
}

// Notes whether a component was freed while the mouse handlers pumped
// messages.
class TFreeWatch : public TComponent {
 public:
  using TComponent::TComponent;
  bool Gone = false;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && component != this) Gone = true;
    TComponent::Notification(component, operation);
  }
};

}  // namespace

// --- maximised place and grip -------------------------------------------------------------

TsMaxPlacement TsSkinProvider::MaxPlacement() const {
  // Asked before the window is maximised too: the title laid out as it will be.
  TsFrameGeometry g = Geometry();
  g.State.Form.WindowState = wsMaximized;
  g.State.Form.Zoomed = true;
  g.State.Form.Iconic = false;
  const int contentTop =
      TitleContentTop(g, TitleButtonMetrics(), UserButtons(), CaptionTextHeight());
  HWND wnd = FormHandle();
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (wnd == nullptr || !GetMonitorInfoW(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &info))
    return kv::UpdateMaxInfo(g, {}, {}, contentTop);
  const TRect monitor =
      Rect(info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom);
  const TRect work = Rect(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom);
  return kv::UpdateMaxInfo(g, monitor, work, contentTop);
}

void TsSkinProvider::UpdateMaxInfo(TMessage& m) {
  auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
  if (info != nullptr && drawNonClientArea_ && FormHandle() != nullptr &&
      form_->FormStyle() != fsMDIChild && form_->Parent() == nullptr) {
    const TsMaxPlacement p = MaxPlacement();
    info->ptMaxPosition = {p.MaxPosition.X, p.MaxPosition.Y};
    info->ptMaxSize = {p.MaxSize.X, p.MaxSize.Y};
    // The system cuts a maximised window to the tracking size, which would
    // leave the work area's bottom rows uncovered.
    info->ptMaxTrackSize.x = std::max<LONG>(info->ptMaxTrackSize.x, p.MaxSize.X);
    info->ptMaxTrackSize.y = std::max<LONG>(info->ptMaxTrackSize.y, p.MaxSize.Y);
    m.Result = 0;
  }
  CallOld(m);
}

TPoint TsSkinProvider::GripPosition(int maskIndex) const {
  TsSkinManager* manager = SkinManager();
  TSize grip{};
  if (manager != nullptr && manager->Skin().IsMaskIndexValid(maskIndex)) {
    const TsMaskData& mask = manager->Skin().MaskData[static_cast<size_t>(maskIndex)];
    grip = {MaskFrameWidth(mask), MaskStateHeight(mask)};
  }
  return Geometry().GripPosition(grip);
}

// The skin's grip mask over the frame cache at the grip's place; the cache
// under it is the background its transparent pixels show.
void TsSkinProvider::PaintGrip(TBitmap* cache) {
  TsSkinManager* manager = SkinManager();
  if (manager == nullptr || cache == nullptr || cache->Empty()) return;
  const TsSkinModel& skin = manager->Skin();
  const int mask = skin.MaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
  if (!skin.IsMaskIndexValid(mask)) return;
  DrawMaskState(cache, GripPosition(mask), 0, MakeBgCacheInfo(cache, 0, 0),
                skin.MaskData[static_cast<size_t>(mask)], skin.MasterBitmap.get(), 1);
}

bool TsSkinProvider::GripWanted() const {
  if (GripMode != gmRightBottom) return false;
  const TsFrameGeometry g = Geometry();
  return !g.IsMaximized() && g.State.ThickFrame;
}

// The grip over the client background a form paints outside its frame's
// picture (one that needs no parent check has no grip in the picture).
void TsSkinProvider::PaintGripTo(HDC dc) {
  TsSkinManager* manager = SkinManager();
  TBitmap* cache = skinData_->CacheBmp.get();
  if (dc == nullptr || manager == nullptr || cache == nullptr || cache->Empty()) return;
  const TsSkinModel& skin = manager->Skin();
  const int mask = skin.MaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
  if (!skin.IsMaskIndexValid(mask)) return;
  const TsMaskData& m = skin.MaskData[static_cast<size_t>(mask)];
  const TPoint at = GripPosition(mask);
  const int w = MaskFrameWidth(m), h = MaskStateHeight(m);
  if (w <= 0 || h <= 0 || at.X < 0 || at.Y < 0 || at.X + w > cache->Width() ||
      at.Y + h > cache->Height())
    return;
  auto grip = NewBitmap24(w, h);
  CopyPixels(grip.get(), 0, 0, cache, at.X, at.Y, w, h);
  DrawMaskState(grip.get(), {0, 0}, 0, MakeBgCacheInfo(grip.get(), 0, 0), m,
                skin.MasterBitmap.get(), 1);
  TBitmapCanvas canvas(*grip);
  BitBlt(dc, at.X - ClientLeftOffset(), at.Y - ClientTopOffset(), w, h, canvas.Handle(), 0, 0,
         SRCCOPY);
}

// --- hit test ------------------------------------------------------------------------------

int TsSkinProvider::NCHitTest(const TMessage& m) {
  HWND wnd = FormHandle();
  if (wnd == nullptr) return FrameHit::Nowhere;
  RECT r{};
  GetWindowRect(wnd, &r);
  const TPoint screen = ScreenPoint(m.LParam);
  const std::vector<TsPlacedTitleButton> buttons = PlacedButtons();
  TsHitTestFrame frame;
  frame.Buttons = buttons;
  frame.GripRightBottom = GripMode == gmRightBottom;
  if (TsSkinManager* manager = SkinManager()) {
    const int grip = manager->Skin().MaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
    if (manager->Skin().IsMaskIndexValid(grip)) {
      const TsMaskData& mask = manager->Skin().MaskData[static_cast<size_t>(grip)];
      frame.Grip = {MaskFrameWidth(mask), MaskStateHeight(mask)};
    }
  }
  const TsHitResult hit = kv::NCHitTest(Geometry(), {screen.X - r.left, screen.Y - r.top}, frame);
  if (hit.HotButton) SetHotButton(*hit.HotButton, true);
  return hit.Code;
}

void TsSkinProvider::HitTestMessage(TMessage& m) {
  if (!drawNonClientArea_ || TitleBarHeight(true) == 0) {
    CallOld(m);
    return;
  }
  const int code = NCHitTest(m);
  if (HitGoesToOldProcedure(code)) {
    CallOld(m);
    SetHotButton(0, true);
    return;
  }
  if (ResizeMode == rmBorder && BorderDragHitCode == 0 && IsSizingHit(code))
    BorderDragHitCode = code;
  m.Result = code;
}

// --- the non-client mouse ------------------------------------------------------------------

bool TsSkinProvider::TitleBarMouse(TMessage& m) {
  if (FormHandle() == nullptr) return false;
  if (ResolveBorderHit(m)) return false;
  switch (m.Msg) {
    case WM_NCHITTEST:
      HitTestMessage(m);
      return true;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      return BorderDragMouse(m);
    case WM_NCRBUTTONDOWN:
      // The caption and the icon answer on the release with the system menu.
      return m.WParam == HTCAPTION || m.WParam == HTSYSMENU;
    case WM_NCRBUTTONUP:
      return NCRButtonUp(m);
    default:
      break;
  }
  if (!drawNonClientArea_) return false;
  switch (m.Msg) {
    case WM_NCLBUTTONDOWN:
      return NCLButtonDown(m);
    case WM_NCLBUTTONUP:
      return NCLButtonUp(m);
    case WM_NCLBUTTONDBLCLK:
      return NCLButtonDblClk(m);
    default:
      return false;
  }
}

void TsSkinProvider::SendSysCommand(WPARAM command) {
  SendMessageW(FormHandle(), WM_SYSCOMMAND, command, 0);
}

void TsSkinProvider::DropSysMenuUnderIcon() {
  RECT r{};
  GetWindowRect(FormHandle(), &r);
  const TsFrameGeometry g = Geometry();
  const TRect icon = g.TitleIconRect();
  // The icon lies in the frame picture, which a border window shows larger
  // than the window.
  const TPoint o = g.CacheOffset();
  DropSysMenu(r.left - o.X + icon.Left, r.top - o.Y + icon.Bottom);
}

bool TsSkinProvider::NCLButtonDown(TMessage& m) {
  const int code = static_cast<int>(m.WParam);
  HWND wnd = FormHandle();
  if (IsTitleButtonHit(code)) {
    if (mdiForm_ != nullptr && !mdiForm_->ChildButtonEnabled(code)) return true;
    // Never to the previous procedure: the system would start its own
    // tracking of its own caption buttons.
    SetPressedButton(code);
    return true;
  }
  if (code == HTMENU) return false;
  if (code == HTSYSMENU) {
    SetHotButton(0, true);
    TsSkinManager* manager = SkinManager();
    if (manager != nullptr && !manager->SkinnedPopups()) {
      // A second click may come and close the form; the wait pumps
      // messages, so the provider may be gone afterwards.
      Owned<TFreeWatch> watch = CreateOwned<TFreeWatch>();
      FreeNotification(watch.get());
      WaitWithMessages(kDoubleClickWait);
      if (Application != nullptr) Application->ProcessMessages();
      if (watch->Gone) return true;
      RemoveFreeNotification(watch.get());
      if (FormDestroying() || PaintingSuspended(skinData_.get())) return true;
    }
    DropSysMenuUnderIcon();
    return true;
  }
  if (IsUserTitleHit(code)) {
    SetPressedButton(code);
    UserButtonMouse(code, m.LParam, true);
    return true;
  }
  if (IsIconic(wnd)) {
    SendSysCommand(SC_MOVE | HTCAPTION);
    return true;
  }
  RECT r{};
  GetWindowRect(wnd, &r);
  const TPoint screen = ScreenPoint(m.LParam);
  const TsFrameGeometry g = Geometry();
  if (g.IsMaximized() && screen.Y - r.top <= g.NonSkinFrameWidth(true) + g.TitleBarHeight(true)) {
    if (Screen == nullptr || Screen->ActiveForm() != form_) form_->SetFocus();
    return true;
  }
  if (ResizeMode == rmBorder && (code == HTCAPTION || IsSizingHit(code))) {
    // Not to the previous procedure, whose own move or size loop would run
    // before the outline.
    StartBorderDrag(code, screen);
    return true;
  }
  return false;
}

bool TsSkinProvider::NCLButtonUp(TMessage& m) {
  const int code = static_cast<int>(m.WParam);
  HWND wnd = FormHandle();
  if (BorderDragActive && Outline.Owner == this) {
    if (!IsZoomed(wnd)) EndOutlineTracking();
    return true;
  }
  // A release counts only over the button that was pressed: a press dragged
  // out and back in again found the button merely hot.
  const bool pressed = TitleButtonIsPressed(code);
  const TsFormState f = Geometry().State.Form;
  switch (code) {
    case TitleHit::Help:
      if (!pressed) break;
      SetHotButton(0, true);
      SendSysCommand(SC_CONTEXTHELP);
      SendMessageW(wnd, WM_NCPAINT, 0, 0);
      return true;
    case TitleHit::MinButton: {
      TMessage probe{WM_NCHITTEST, 0, m.LParam, 0};
      if (!pressed || NCHitTest(probe) != TitleHit::MinButton) break;
      SetHotButton(0, true);
      skinData_->BGChanged = true;
      FrameRepaintNeeded = true;
      if (Application != nullptr && Application->MainForm() == form_)
        SendSysCommand(SC_MINIMIZE);
      else
        SendSysCommand(IsIconic(wnd) ? SC_RESTORE : SC_MINIMIZE);
      return true;
    }
    case TitleHit::MaxButton:
      if (!EnabledMax(f) && !(f.WindowState == wsMaximized && EnabledRestore(f))) break;
      if (!pressed) {
        SetHotButton(0, true);
        return false;
      }
      SetHotButton(0, true);
      if (f.WindowState != wsMaximized) {
        SendSysCommand(SC_MAXIMIZE);
      } else {
        SendSysCommand(SC_RESTORE);
        if (IsWindow(wnd)) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      }
      return true;
    case TitleHit::Close: {
      if (!pressed) break;
      // The pressed look goes before the form is asked: it may ask back,
      // or refuse.
      SetHotButton(0, true);
      Owned<TFreeWatch> watch = CreateOwned<TFreeWatch>();
      FreeNotification(watch.get());
      SendSysCommand(SC_CLOSE);
      if (watch->Gone) return true;
      RemoveFreeNotification(watch.get());
      // Still open: hot again if the pointer is on a button.
      POINT cursor{};
      if (!FormDestroying() && IsWindowVisible(wnd) && GetCursorPos(&cursor)) {
        TMessage probe{WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y), 0};
        NCHitTest(probe);
      }
      return true;
    }
    default:
      if (mdiForm_ != nullptr && mdiForm_->ChildButtonUp(code, pressed)) return true;
      if (IsUserTitleHit(code) && pressed) {
        // Released over it: hot again, then the program hears of it.
        hotButton_ = 0;
        SetHotButton(code, true);
        UserButtonMouse(code, m.LParam, false);
        return true;
      }
      break;
  }
  return false;
}

bool TsSkinProvider::NCLButtonDblClk(TMessage& m) {
  if (BorderDragActive && Outline.Owner == this) EndOutlineTracking();
  const int code = static_cast<int>(m.WParam);
  HWND wnd = FormHandle();
  if (code == HTCAPTION) {
    const TsFormState f = Geometry().State.Form;
    const bool maximised = f.WindowState == wsMaximized;
    if ((VisibleClose(f) && (EnabledMax(f) || EnabledRestore(f))) ||
        (!VisibleClose(f) && f.Iconic)) {
      if (!maximised && IsIconic(wnd))
        SendSysCommand(SC_RESTORE);
      else
        SendSysCommand(maximised ? SC_RESTORE : SC_MAXIMIZE);
    }
    // Never to the previous procedure, which would maximise whatever the
    // form allows.
    m.WParam = 0;
    return true;
  }
  if (code == HTSYSMENU) {
    // Tells a click still waiting for its double-click not to drop the menu.
    TsSkinManager* manager = SkinManager();
    if (manager != nullptr && !manager->SkinnedPopups())
      SetPaintingSuspended(skinData_.get(), true);
    form_->Close();
    return true;
  }
  return false;
}

bool TsSkinProvider::NCRButtonUp(TMessage& m) {
  if (!IsCaptionedForm()) return false;
  const int code = NCHitTest(m);
  if (code == HTCAPTION || code == HTSYSMENU) {
    SetHotButton(0, true);
    const TPoint p = ScreenPoint(m.LParam);
    DropSysMenu(p.X, p.Y);
  }
  return true;
}

// --- border-mode outline -------------------------------------------------------------------

void TsSkinProvider::StartBorderDrag(int hitCode, TPoint screen) {
  if (BorderDragActive) return;
  BorderDragMoving = !IsSizingHit(hitCode);
  BorderDragHitCode = BorderDragMoving ? 0 : hitCode;
  BorderDragFirst = true;
  SetCapture(FormHandle());
  BeginOutlineTracking(screen.X, screen.Y);
}

void TsSkinProvider::BeginOutlineTracking(int x, int y) {
  HWND wnd = FormHandle();
  if (ResizeMode != rmBorder || wnd == nullptr || BorderDragActive) return;
  BorderDragActive = true;
  Outline.Owner = this;
  Outline.Desktop = GetDesktopWindow();
  Outline.DC = GetWindowDC(Outline.Desktop);
  Outline.SavedDC = SaveDC(Outline.DC);
  RECT r{};
  GetWindowRect(wnd, &r);
  Outline.Bounds = Rect(r.left, r.top, r.right, r.bottom);
  Outline.Size = {r.right - r.left, r.bottom - r.top};
  Outline.FormStart = {r.left, r.top};
  Outline.Start = Outline.Mouse = {x, y};
  SetROP2(Outline.DC, R2_NOT);
  DrawTrackingOutline(Outline.Bounds.Left, Outline.Bounds.Top);
}

void TsSkinProvider::DrawTrackingOutline(int left, int top) {
  if (ResizeMode != rmBorder || Outline.DC == nullptr) return;
  const TRect r =
      BorderDragMoving ? Bounds(left, top, Outline.Size.cx, Outline.Size.cy) : Outline.Bounds;
  const POINT points[5] = {
      {r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}, {r.Left, r.Top}};
  // R2_NOT: the same outline drawn again takes it away.
  Polyline(Outline.DC, points, 5);
}

void TsSkinProvider::EndOutlineTracking() {
  if (ResizeMode != rmBorder || !BorderDragActive || Outline.Owner != this) return;
  // Inactive first: giving the capture back comes here again.
  BorderDragActive = false;
  if (GetCapture() == FormHandle()) ReleaseCapture();
  DrawTrackingOutline(Outline.Bounds.Left, Outline.Bounds.Top);
  ReleaseOutlineDC();
  HWND wnd = FormHandle();
  const TRect& b = Outline.Bounds;
  // The outline is on the screen; an MDI child is placed in its client.
  POINT at{b.Left, b.Top};
  if ((GetWindowLongW(wnd, GWL_STYLE) & WS_CHILD) != 0) ScreenToClient(GetParent(wnd), &at);
  if (BorderDragMoving)
    MoveWindow(wnd, at.x, at.y, Outline.Size.cx, Outline.Size.cy, TRUE);
  else if (!BorderDragFirst)
    MoveWindow(wnd, at.x, at.y, b.Width(), b.Height(), TRUE);
  BorderDragFirst = false;
  BorderDragHitCode = 0;
}

bool TsSkinProvider::BorderDragMouse(TMessage& m) {
  if (!BorderDragActive || Outline.Owner != this) return false;
  if (m.Msg == WM_CAPTURECHANGED) {
    // Another window took the mouse: the outline goes, the form stays.
    BorderDragActive = false;
    DrawTrackingOutline(Outline.Bounds.Left, Outline.Bounds.Top);
    ReleaseOutlineDC();
    BorderDragFirst = false;
    BorderDragHitCode = 0;
    return false;
  }
  if (m.Msg == WM_LBUTTONUP) {
    EndOutlineTracking();
    return true;
  }
  POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  ClientToScreen(FormHandle(), &p);
  if (BorderDragFirst) {
    BorderDragFirst = false;
    if (!BorderDragMoving) Outline.Mouse = {p.x, p.y};
  }
  DrawTrackingOutline(Outline.Bounds.Left, Outline.Bounds.Top);
  TRect& b = Outline.Bounds;
  if (BorderDragMoving) {
    b = Bounds(Outline.FormStart.X + p.x - Outline.Start.X,
               Outline.FormStart.Y + p.y - Outline.Start.Y, Outline.Size.cx, Outline.Size.cy);
  } else {
    const int dx = p.x - Outline.Mouse.X, dy = p.y - Outline.Mouse.Y;
    const int minW = GetSystemMetrics(SM_CXMINTRACK), minH = GetSystemMetrics(SM_CYMINTRACK);
    const int code = BorderDragHitCode;
    if (code == HTLEFT || code == HTTOPLEFT || code == HTBOTTOMLEFT)
      b.Left = std::min(b.Left + dx, b.Right - minW);
    if (code == HTRIGHT || code == HTTOPRIGHT || code == HTBOTTOMRIGHT)
      b.Right = std::max(b.Right + dx, b.Left + minW);
    if (code == HTTOP || code == HTTOPLEFT || code == HTTOPRIGHT)
      b.Top = std::min(b.Top + dy, b.Bottom - minH);
    if (code == HTBOTTOM || code == HTBOTTOMLEFT || code == HTBOTTOMRIGHT)
      b.Bottom = std::max(b.Bottom + dy, b.Top + minH);
    Outline.Mouse = {p.x, p.y};
  }
  DrawTrackingOutline(b.Left, b.Top);
  return true;
}

// --- system menu, wheel --------------------------------------------------------------------

void TsSkinProvider::PrepareSystemMenuPopup(TMessage& m) {
  // The window's own system menu cannot size a skinned frame.
  if (HIWORD(m.LParam) != 0)
    EnableMenuItem(reinterpret_cast<HMENU>(m.WParam), SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
  CallOld(m);
}

TWinControl* TsSkinProvider::FindScrollBoxAt(TWinControl* control, TPoint screenPoint) {
  if (control == nullptr || !control->HandleAllocated()) return nullptr;
  const TPoint p = control->ScreenToClient(screenPoint);
  auto* child = dynamic_cast<TWinControl*>(control->ControlAtPos(p, true, true));
  if (child == nullptr) return nullptr;
  const TsCommonData* sd = SkinDataOf(child);
  if (sd != nullptr && sd->Has(ccScrollBox)) return child;
  return FindScrollBoxAt(child, screenPoint);
}

void TsSkinProvider::RedirectMouseWheel(TMessage& m) {
  if (WheelRedirecting || m.Result != 0 || form_ == nullptr) return;
  WheelRedirecting = true;
  POINT cursor{};
  GetCursorPos(&cursor);
  TWinControl* box = FindScrollBoxAt(form_, {cursor.x, cursor.y});
  const TsCommonData* sd = SkinDataOf(box);
  if (box != nullptr && sd != nullptr && sd->Has(ccAutoMouseWheel)) {
    const TShiftState shift = KeysToShiftState(GET_KEYSTATE_WPARAM(m.WParam) & 0xFF);
    m.Result =
        box->DoMouseWheel(shift, GET_WHEEL_DELTA_WPARAM(m.WParam), {cursor.x, cursor.y}) ? 1 : 0;
  }
  WheelRedirecting = false;
}

bool TsSkinProvider::TitleButtonIsPressed(int hitCode) {
  const TsTitleButtonRecord* record = ButtonRecord(hitCode);
  return PressedButtonActive && record != nullptr && record->State == 2;
}

}  // namespace kv
