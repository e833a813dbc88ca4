// The form window procedure of TsSkinProvider: the commands answered in every
// state, the skinned state's messages and commands, and the unskinned state.
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acPlatform.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acBorderForm_win.h"
#include "skin/forms/acDials_win.h"
#include "skin/forms/sMDIForm_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/menus/sSkinMenus_win.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

namespace {

// Messages the class library uses of its own that a skinned form swallows.
constexpr UINT CM_PRIVATE_B04C = 0xB04C;
// Asked before a region is set; only a procedure outside the toolkit answers.
constexpr UINT MSG_KEEPS_OWN_REGION = 0xBC4D;
constexpr UINT WM_SYSMENU_FROM_TASKBAR = 0x313;
constexpr UINT WM_UNDOCUMENTED_93 = 0x93;

void BroadcastCommand(TWinControl* parent, unsigned code, LPARAM lParam) {
  TMessage m{SM_ALPHACMD, CommandWParam(code), lParam, 0};
  BroadcastToChildren(parent, m);
}

}  // namespace

void ResetHotSpeedButtons(TWinControl* parent, const TControl* except) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* button = parent->Controls(i);
    const TsCommonData* data = button != nullptr ? SkinDataOf(button) : nullptr;
    if (button != except && data != nullptr && data->Has(ccHoverResettable) && data->MouseAbove)
      button->Perform(CM_MOUSELEAVE, 0, 0);
  }
}

namespace {

// Every visible child control with redrawing switched on or off.
void SetChildrenRedraw(TWinControl* parent, bool on) {
  for (TWinControl* child : parent->WinControls())
    if (child->Visible() && child->HandleAllocated()) child->Perform(WM_SETREDRAW, on ? 1 : 0, 0);
}

}  // namespace

void TsSkinProvider::FormWndProc(TMessage& m) {
  if (RefuseForeignAddress(m)) return;
  BorderFormMessage(m);
  if (m.Msg == SM_ALPHACMD && SkinCommandAnyState(m)) return;
  // An MDI child is made before its skin data is ready, and its window
  // goes while the form may be half destroyed: these two come first.
  const bool mdiChild = form_->FormStyle() == fsMDIChild;
  if (mdiChild && m.Msg == WM_CREATE) {
    TCustomForm* frame = MDIFrameForm();
    TCustomForm* active = frame != nullptr ? frame->ActiveMDIChild() : nullptr;
    // The system makes a child maximised while the active one is (and
    // may have restored that one already).
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(m.LParam);
    MDIMaxChildPending = (active != nullptr && IsZoomed(active->Handle())) ||
                         (create != nullptr && (create->style & WS_MAXIMIZE) != 0);
  }
  TsSkinProvider* mdiMain = mdiChild && m.Msg == WM_NCDESTROY ? MDIMainProvider() : nullptr;
  if (!FormDestroying() && SkinAvailable(skinData_.get(), true)) {
    if (!SkinnedMessage(m)) CallOld(m);
  } else {
    UnskinnedMessage(m);
  }
  // The MDI form's menu line loses the child's buttons or merged items.
  if (mdiMain != nullptr && mdiMain->MDIForm() != nullptr) mdiMain->RefreshMDIMainForm(false);
}

// --- step 1: in every state -------------------------------------------------------------

bool TsSkinProvider::SkinCommandAnyState(TMessage& m) {
  TsCommonData* sd = skinData_.get();
  switch (m.WParamHi()) {
    case cmdGetBackground: {
      if (sd->BGChanged && !PaintingSuspended(sd) && NeedsParentCheck(sd)) PaintFrameCache();
      auto* request = reinterpret_cast<TsBgRequest*>(m.LParam);
      if (request == nullptr) return true;
      FillChildBgInfo(sd, *request, false, FormHandle());
      if (request->BgType == btBitmap) {
        // The client area's origin in the frame cache.
        if (request->Bmp == nullptr) request->Bmp = sd->CacheBmp.get();
        request->Offset.X += ClientLeftOffset();
        request->Offset.Y += ClientTopOffset();
      }
      m.Result = 1;
      return true;
    }
    case cmdChildBgFlags:
      m.Result = sd->ChildBgFlags;
      return true;
    case cmdGetApplication:
      m.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    case cmdGetFrameSizes:
      m.Result = MAKELONG(ClientLeftOffset(), ClientTopOffset());
      return true;
    case cmdGetProvider:
      m.Result = reinterpret_cast<LRESULT>(static_cast<TacFormProvider*>(this));
      return true;
    case cmdIsSkinned:
      m.Result = 1;
      return true;
    case cmdSkinLoaded:
      // A new skin before the first set-up of this window (a window made
      // again while the form was plain included) prepares the form, then
      // goes on.
      if (!FormDestroying() && IsOwnManager(m.LParam) && systemMenuWnd_ != FormHandle())
        PrepareForm();
      return false;
    case cmdSkinRemoved:
      RemoveSkin(m);
      return true;
    default:
      return false;
  }
}

void TsSkinProvider::RemoveSkin(TMessage& m) {
  TsSkinManager* manager = SkinManager();
  if (!IsOwnManager(m.LParam)) {
    BroadcastToChildren(form_, m);
    return;
  }
  HWND wnd = FormHandle();
  if (wnd != nullptr) SetDwmTransitions(wnd, false);
  FreeButtonAnimations(true);
  RemoveAdapter();
  HandleSkinCommand(m, skinData_.get());
  MenuLineCount = TitleSectionIndex = CaptionSectionIndex = -1;
  BroadcastToChildren(form_, m);
  if (manager != nullptr) FormServices().ForgetMenuSection(manager);
  if (!FormDestroying() && manager != nullptr) {
    SkinFormMenus(false);
    UpdateSysMenuStyle(false);
    if (wnd != nullptr && IsCaptionedForm() && !RegionUpdatesBlocked)
      SetWindowRgn(wnd, nullptr, TRUE);
    // A maximised form goes where the system maximises the plain window.
    if (drawNonClientArea_) PlaceMaximised();
    // The system measures and draws the menu bar again.
    RebuildFormMenu();
    if (HWND client = form_->ClientHandle())
      RedrawWindow(client, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    // The next skin cuts its own region.
    RgnChanged = true;
    FramePainted = false;
    UpdateExtendedBorders(false);
    for (int i = 0; i < form_->ControlCount(); ++i)
      if (auto* label = dynamic_cast<TLabel*>(form_->Controls(i)))
        label->Font()->SetColor(clWindowText);
    if (useGlobalColor_ && !skinData_->CustomColor()) form_->SetColor(clBtnFace);
  }
  if (skinData_->CacheBmp != nullptr) skinData_->CacheBmp->SetSize(0, 0);
}

// --- step 3: unskinned ------------------------------------------------------------------

void TsSkinProvider::UnskinnedMessage(TMessage& m) {
  if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinLoaded && !FormDestroying() &&
      IsOwnManager(m.LParam)) {
    TsSkinManager* manager = SkinManager();
    // No glow of the last skin stays over the new one.
    FreeButtonAnimations(true);
    FormServices().ForgetMenuSection(manager);
    NewSkinIndexes();
    UpdateSysMenuStyle(true);
    if (form_->FormStyle() == fsMDIForm) {
      // The active child's activity is the MDI form's.
      const TCustomForm* child = form_->ActiveMDIChild();
      if (child != nullptr && Screen != nullptr && Screen->ActiveForm() == child) formActive_ = true;
    }
    if (!SkinLoading) SkinFormMenus(true);
    skinData_->BGChanged = true;
    MenuLineCount = -1;
    if (form_->FormStyle() == fsMDIForm && mdiForm_ == nullptr) MakeMDIForm(true);
    ApplyGlobalColor();
    AdaptControls();
    return;
  }
  CallOld(m);
  // A skinned scroll box keeps its wheel while the form is plain.
  if (m.Msg == CM_MOUSEWHEEL) RedirectMouseWheel(m);
}

// --- step 2: skinned --------------------------------------------------------------------

bool TsSkinProvider::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = skinData_.get();
  HWND wnd = FormHandle();
  switch (m.Msg) {
    case CM_PRIVATE_B04C:
    case MSG_KEEPS_OWN_REGION:
      m.Result = 0;
      return true;
    case CM_CONTROLLISTCHANGE: {
      CallOld(m);
      auto* control = reinterpret_cast<TControl*>(m.WParam);
      if (control == nullptr) return true;
      if (auto* win = dynamic_cast<TWinControl*>(control)) {
        // Its window is made as it joins; it need not say so to the form.
        if (m.LParam != 0 && adapter_ != nullptr) adapter_->AddItem(win);
        BroadcastCommand(win, cmdChildBgFlags, 1);
      }
      control->Perform(SM_ALPHACMD, CommandWParam(cmdChildBgFlags), 1);
      return true;
    }
    case CM_INVALIDATE:
      m.Result = 0;
      return true;
    case CM_FLOAT:
      CallOld(m);
      if (wnd != nullptr)
        SendMessageW(wnd, SM_ALPHACMD, CommandWParam(cmdSkinRefresh),
                     reinterpret_cast<LPARAM>(SkinManager()));
      return true;
    case CM_SHOWINGCHANGED:
      ShowingChanged(m);
      return true;
    case CM_VISIBLECHANGED:
      CallOld(m);
      BorderFormFollows(m);
      if (m.WParam == 1 && form_->Parent() != nullptr) ResumeChildrenPainting(form_);
      if (m.WParam == 0 && sd->CacheBmp != nullptr) sd->CacheBmp->SetSize(0, 0);
      // A hidden form's glows would stay on the screen.
      if (m.WParam == 0) FreeButtonAnimations(true);
      return true;
    case CM_ENABLEDCHANGED:
      CallOld(m);
      if (drawNonClientArea_) InvalidateFrame();
      return true;
    case CM_COLORCHANGED:
      // The skin gives the colour; only a custom one reaches the form.
      if (!sd->CustomColor()) return true;
      if ((form_->FormState() & fsCreating) == 0) sd->BGChanged = true;
      CallOld(m);
      return true;
    case CM_MOUSEENTER:
      CallOld(m);
      ResetHotSpeedButtons(form_, reinterpret_cast<const TControl*>(m.LParam));
      return true;
    case CM_MOUSELEAVE:
      return true;
    case CM_MENUCHANGED:
      MenuChanged();
      CallOld(m);
      return true;
    case CM_ACTIVATE:
      CallOld(m);
      // The border window stays right under the form it lies around.
      BorderFormFollows(m);
      return true;
    case WM_PRINTCLIENT:
      m.Result = 0;
      return true;
    case WM_PRINT:
      Print(m);
      return true;
    case WM_SYSMENU_FROM_TASKBAR:
      // The system's own menu is gone with WS_SYSMENU; the task bar names
      // the point to drop ours at.
      DropSysMenu(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      m.Result = 0;
      return true;
    case WM_PARENTNOTIFY: {
      const WORD event = LOWORD(m.WParam);
      CallOld(m);
      if (!HasState(csLoading) && !form_->HasState(csLoading) &&
          (event == WM_CREATE || event == WM_DESTROY)) {
        if (event == WM_CREATE) AdaptControls();
        BroadcastCommand(form_, cmdChildBgFlags, 1);
      }
      return true;
    }
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      TitleMouseLeft();
      CallOld(m);
      return true;
    case WM_NCMOUSEMOVE:
      TrackTitleLeave();
      CallOld(m);
      return true;
    case WM_ENABLE:
      // A disabled form gets no hit tests that would cool a hot title
      // button. A pressed one waits for its release (the idle of the modal
      // loop its press opened).
      if (m.WParam == 0 && !TitleButtonIsPressed(hotButton_)) SetHotButton(0, true);
      CallOld(m);
      return true;
    case WM_MOVE:
      // A glow stays where the button was.
      FreeButtonAnimations(false);
      CallOld(m);
      return true;
    case WM_MOUSEMOVE:
      if (TitleBarMouse(m)) return true;
      CallOld(m);
      if (TsSkinManager* manager = SkinManager()) manager->SetHotWindow(nullptr);
      return true;
    case WM_INITMENUPOPUP:
      PrepareSystemMenuPopup(m);
      return true;
    case WM_ENTERIDLE:
      // A modal loop that a title button's press opened has eaten its
      // release: the button is released here.
      if (PressedButtonActive && hotButton_ > 0) {
        POINT p{};
        GetCursorPos(&p);
        TMessage up{WM_NCLBUTTONUP, static_cast<WPARAM>(hotButton_), MAKELPARAM(p.x, p.y), 0};
        NCLButtonUp(up);
      }
      CallOld(m);
      return true;
    case WM_SYSCOLORCHANGE:
      CallOld(m);
      RebuildFormMenu();
      return true;
    case WM_EXITSIZEMOVE:
      CallOld(m);
      if (HasBorderForm()) {
        // Glows round controls lie over the border window's picture.
        for (const auto& glow : TacGlowEffects)
          if (glow != nullptr && glow->Window() != nullptr)
            SendMessageW(glow->Window(), SM_ALPHACMD, CommandWParam(cmdRepaintNow), 0);
        // A modal form's border window may have fallen behind its owner.
        if ((form_->FormState() & fsModal) != 0) BorderFormFollows(m);
      }
      return true;
    case WM_GETMINMAXINFO:
      UpdateMaxInfo(m);
      return true;
    case WM_SIZING:
      CallOld(m);
      BorderFormFollows(m);
      return true;
    case WM_CONTEXTMENU:
      // A pop-up menu given to the form after the skin came (or owned by
      // another component) is skinned before it drops.
      if (TPopupMenu* popup = form_->PopupMenu())
        if (TsSkinableMenus* painter = MenuPainterOf(SkinManager()))
          painter->SetMenuSkinned(popup, true);
      CallOld(m);
      return true;
    case WM_NOTIFY: {
      CallOld(m);
      // A page change shows controls that may have been made only now.
      const auto* header = reinterpret_cast<const NMHDR*>(m.LParam);
      if (header != nullptr && header->code == static_cast<UINT>(TCN_SELCHANGE) &&
          adapter_ != nullptr)
        adapter_->AdaptAllControls(nullptr);
      return true;
    }
    case CM_MOUSEWHEEL:
      CallOld(m);
      RedirectMouseWheel(m);
      return true;
    case WM_SYSCOMMAND: {
      // Nothing of the form is read afterwards: closing may have freed it.
      const TFormStyle style = form_->FormStyle();
      const bool mdiSizing =
          style == fsMDIForm &&
          (m.WParam == SC_MINIMIZE || m.WParam == SC_MAXIMIZE || m.WParam == SC_RESTORE);
      if (style == fsMDIChild)
        MDIChildSysCommand(m);
      else
        SysCommand(m);
      if (mdiSizing && mdiForm_ != nullptr) RefreshMDIMainForm(false);
      return true;
    }
    case WM_MDIACTIVATE:
    case WM_MDIDESTROY:
      CallOld(m);
      if (form_->FormStyle() == fsMDIChild) MDIChildActivation(m);
      return true;
    case WM_UNDOCUMENTED_93:
      m.Result = 0;
      return true;
    case WM_NCHITTEST:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (!TitleBarMouse(m)) CallOld(m);
      return true;
    case WM_NCACTIVATE:
      NCActivate(m);
      return true;
    case WM_NCPAINT:
      if (!drawNonClientArea_) return false;
      // A child being animated is drawn by the system meanwhile.
      if (AnimationActive && form_->FormStyle() == fsMDIChild) return false;
      if (IsIconic(wnd)) sd->BGChanged = true;
      m.Result = 0;
      if (showAnimating_ || !Showing() || HasState(csLoading) || systemMenuWnd_ == nullptr)
        return true;
      CreateAdapter();
      if (!InRegionUpdate && RgnChanged && FrameCutsRegion()) {
        FindRegionHoles();
        RgnChanged = false;
        // Outside the show the new region repaints the frame by itself.
        const bool beingShown = (form_->FormState() & fsShowing) != 0;
        if (!beingShown || form_->Position() == poDefault || IsZoomed(wnd)) {
          // A changed region repaints the frame by itself; the same one is
          // kept and the frame painted here.
          if (SetFormRegion(true, true)) return true;
        } else {
          UpdateFormRegion(false);
        }
      }
      PaintNonClientArea();
      return true;
    case WM_NCCREATE:
      CallOld(m);
      if (form_->FormStyle() != fsMDIChild) PrepareForm();
      return true;
    case WM_SETICON:
      CallOld(m);
      RepaintFrameNow();
      return true;
    case WM_WINDOWPOSCHANGED:
      CallOld(m);
      BorderFormFollows(m);
      return true;
    case WM_WINDOWPOSCHANGING:
      WindowPosChanging(m);
      return true;
    case WM_SIZE:
      Size(m);
      return true;
    case WM_ACTIVATE:
      CallOld(m);
      if (Showing() && (form_->FormState() & fsCreating) == 0) {
        MenuLineCount = -1;
        if (form_->FormStyle() == fsMDIChild) RepaintOtherMaximisedChildren();
        SkinFormMenus(true);
        if (form_->BorderStyle() == bsNone) ResumeChildrenPainting(form_);
      }
      return true;
    case WM_SETREDRAW:
      redrawLockCount_ = m.WParam != 0 ? std::max(0, redrawLockCount_ - 1) : redrawLockCount_ + 1;
      CallOld(m);
      return true;
    case WM_ENTERMENULOOP:
      ShowMDIIcons();
      CallOld(m);
      return true;
    case WM_EXITMENULOOP:
      HideMDIIcons();
      CallOld(m);
      return true;
    case WM_CHILDACTIVATE:
      CallOld(m);
      MDIChildActivated();
      return true;
    case WM_SETTEXT:
      SetText(m);
      return true;
    case WM_PAINT:
      Paint(m);
      FinishPendingMDIChild();
      return true;
    case WM_ERASEBKGND:
      EraseBackground(m);
      FinishPendingMDIChild();
      return true;
    case WM_SHOWWINDOW:
      if (m.WParam == 1 && IsDwmCompositionOn() && !AnimationActive &&
          (GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) == 0)
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      if (m.LParam == SW_PARENTCLOSING) LastShowState = IsIconic(wnd) ? 2 : IsZoomed(wnd) ? 3 : 1;
      CallOld(m);
      // Children made without a provider of their own share the MDI form's look.
      if (form_->FormStyle() == fsMDIForm) ProvideForPlainMDIChildren();
      return true;
    case WM_SETTINGCHANGE:
      // System metrics may have changed the title: it is painted whole.
      sd->BGChanged = true;
      savedTitleBmp_.reset();
      CallOld(m);
      return true;
    case WM_CREATE:
      // A window made again paints its title afresh.
      savedTitleBmp_.reset();
      // A skinned child in an MDI form that has no provider: the form gets one.
      if (form_->FormStyle() == fsMDIChild && MDIMainProvider() == nullptr)
        if (TCustomForm* frame = MDIFrameForm(); frame != nullptr && frame->HandleAllocated())
          AddProvider(frame->Handle());
      CallOld(m);
      return true;
    case SM_ALPHACMD:
      SkinnedCommand(m);
      return true;
    default:
      return false;
  }
}

void TsSkinProvider::RefreshSkin(bool afterNewSkin) {
  TsCommonData* sd = skinData_.get();
  AdaptControls();
  if (drawNonClientArea_) UpdateFormScrollAdapter();
  // The MDI client's bars take the new skin's look.
  if (mdiForm_ != nullptr && afterNewSkin) mdiForm_->UpdateClientAdapter();
  MenuLineCount = -1;
  // A recoloured skin (hue, saturation) changes the borders and the client
  // too: the title alone must not be painted back over the old picture.
  savedTitleBmp_.reset();
  if (!SkinLoading) {
    RebuildFormMenu();
    SkinFormMenus(SkinAvailable(sd, true));
  }
  if (!afterNewSkin) RgnChanged = true;
  // The manager's extended borders may have been switched with the reload.
  UpdateExtendedBorders(SkinManager()->ExtendedBorders());
  PlaceMaximised();
  // The manager's lock may have taken the window's visible style meanwhile:
  // the form's own visibility says whether its frame will be seen again.
  if (form_->Visible() && FormHandle() != nullptr) {
    sd->BGChanged = true;
    if (!AnimationActive)
      RedrawWindow(FormHandle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  }
  ApplyGlobalColor();
  SetPaintingSuspended(sd, false);
}

namespace {

// Where the system maximises a plain window, as it works out its defaults
// for WM_GETMINMAXINFO: the work area widened by the frame without the
// caption on every side.
RECT SystemMaximisedPlace(HWND wnd, const MONITORINFO& info) {
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(wnd, GWL_EXSTYLE);
  const LONG frameStyle = (style & WS_CAPTION) == WS_CAPTION ? style & ~WS_BORDER : style;
  RECT frame{};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(frameStyle),
                     (style & WS_POPUP) != 0 && GetMenu(wnd) != nullptr,
                     static_cast<DWORD>(exStyle));
  RECT area = info.rcMonitor;
  if ((style & WS_MAXIMIZEBOX) != 0 &&
      ((style & WS_CAPTION) == WS_CAPTION || (style & (WS_CHILD | WS_POPUP)) == 0))
    area = info.rcWork;
  return {area.left + frame.left, area.top + frame.top, area.right - frame.left,
          area.bottom - frame.top};
}

}  // namespace

// The system asks for the maximised place only as it maximises: a skin
// with another title or border, or the skin gone, puts the window there
// itself.
void TsSkinProvider::PlaceMaximised() {
  HWND wnd = FormHandle();
  if (wnd == nullptr || !IsZoomed(wnd) || form_->FormStyle() == fsMDIChild ||
      form_->Parent() != nullptr)
    return;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &info)) return;
  RECT place{};
  if (drawNonClientArea_ && SkinAvailable(skinData_.get(), true)) {
    const TsMaxPlacement p = MaxPlacement();
    place.left = info.rcMonitor.left + p.MaxPosition.X;
    place.top = info.rcMonitor.top + p.MaxPosition.Y;
    place.right = place.left + p.MaxSize.X;
    place.bottom = place.top + p.MaxSize.Y;
  } else {
    place = SystemMaximisedPlace(wnd, info);
  }
  RECT r{};
  GetWindowRect(wnd, &r);
  if (!EqualRect(&r, &place))
    SetWindowPos(wnd, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TsSkinProvider::SkinnedCommand(TMessage& m) {
  TsCommonData* sd = skinData_.get();
  TsSkinManager* manager = SkinManager();
  const bool ours = IsOwnManager(m.LParam);
  HWND wnd = FormHandle();
  m.Result = 0;
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (!ours) return;
      // No glow of the last skin stays over the new one.
      FreeButtonAnimations(true);
      FormServices().ForgetMenuSection(manager);
      NewSkinIndexes();
      UpdateSysMenuStyle(drawNonClientArea_);
      FormServices().ApplySkinActive(manager);
      MenuLineCount = -1;
      if (wnd != nullptr) SendMessageW(wnd, WM_NCPAINT, 0, 0);
      RefreshSkin(true);
      return;
    case cmdSkinRefresh:
      if (!ours) return;
      RefreshSkin(false);
      BroadcastToAdapter(m);
      return;
    case cmdAdaptControl:
      if (!HasState(csLoading) && Adapter() != nullptr)
        AdaptControls(dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(m.LParam)));
      return;
    case cmdSetSuspended:
      SetPaintingSuspended(sd, LOWORD(m.WParam) == 1);
      if (!sd->Updating) sd->BGChanged = true;
      return;
    case cmdSetParentBgForced:
      PreviewControlMessage(m, sd);
      if (sd->BGChanged) PaintFrameCache();
      return;
    case cmdNeedsRepaint:
      m.Result = !AnimationActive && NeedsParentCheck(sd) && sd->Updating ? 1 : 0;
      return;
    case cmdIsBgNonUniform: {
      const TsGeneralData* section = sd->Section();
      m.Result = section != nullptr && section->GradientPercent + section->ImagePercent >= 1;
      return;
    }
    case cmdGetBgColor:
      m.Result = static_cast<LRESULT>(FormColor());
      return;
    case cmdBeforeScroll:
      if (wnd != nullptr) SendMessageW(wnd, WM_SETREDRAW, 0, 0);
      return;
    case cmdAfterScroll:
      if (wnd == nullptr) return;
      SendMessageW(wnd, WM_SETREDRAW, 1, 0);
      RedrawWindow(wnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      if (mdiForm_ != nullptr && form_->ClientHandle() != nullptr)
        RedrawWindow(form_->ClientHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return;
    case cmdRepaintNow:
      if ((form_->FormState() & fsModal) != 0) BorderFormFollows(m);
      return;
    case cmdProviderPrivate37:
      BorderFormFollows(m);
      return;
    default:
      return;
  }
}

// --- activation, caption and icon -------------------------------------------------------

void TsSkinProvider::NCActivate(TMessage& m) {
  TsCommonData* sd = skinData_.get();
  HWND wnd = FormHandle();
  const bool wasActive = formActive_;
  formActive_ = m.WParam != 0;
  if (!formActive_ && LastShowState == 3) {
    LastShowState = 0;
  } else if (LastShowState == 3) {
    SetPaintingSuspended(sd, true);
  } else {
    sd->BGChanged = true;
    SetPaintingSuspended(sd, false);
  }
  // A form not shown yet (an MDI child the system activates as it makes
  // it) has no frame on the screen to keep.
  if (Showing())
    ActivateUnderCover(m);
  else
    CallOld(m);
  ChildFirstShown();
  if ((GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0) SendMessageW(wnd, WM_NCPAINT, 0, 0);
  if ((form_->FormState() & fsCreating) != 0) return;
  if (IsCaptionedForm() && mdiForm_ != nullptr && mdiForm_->ShowsMDIChildButtons()) {
    // The title stays active while the maximised child on its menu line is.
    const TCustomForm* child = form_->ActiveMDIChild();
    const bool active = m.WParam != 0 || (child != nullptr && child->Active());
    if (!active) return;
    formActive_ = true;
    MenuLineCount = -1;
  } else if (IsCaptionedForm() && wasActive != formActive_) {
    MenuLineCount = -1;
  }
  SendMessageW(wnd, WM_NCPAINT, 0, 0);
  SkinFormMenus(true);
  CreateAdapter();
}

// The system paints its own caption while it activates a visible window:
// with composition on the window is made invisible meanwhile, without it a
// cover keeps the screen as it was.
void TsSkinProvider::ActivateUnderCover(TMessage& m) {
  HWND wnd = FormHandle();
  const bool composition = IsDwmCompositionOn();
  bool styleTaken = false, redrawOff = false, covered = false;
  if (composition) {
    SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~WS_VISIBLE);
    styleTaken = true;
  }
  if (showAnimating_) {
    SendMessageW(wnd, WM_SETREDRAW, 0, 0);
    redrawOff = true;
  } else if (!composition && (!HasBorderForm() || form_->Menu() != nullptr)) {
    // With a border window the system's title lies outside the region; a
    // menu bar the window shows itself is still drawn by the system.
    ShowCoverForm();
    covered = coverForm_ != nullptr;
  }
  // The system draws its caption now: the region keeps it out of sight.
  if (HasBorderForm() && !composition && !SkinManager()->AnimEffects.FormShow.Active)
    UpdateFormRegion(false);
  CallOld(m);
  if (redrawOff) SendMessageW(wnd, WM_SETREDRAW, 1, 0);
  if (styleTaken) SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) | WS_VISIBLE);
  if (covered) HideCoverForm();
}

// An MDI child shown for the first time puts itself on the MDI form's frame.
void TsSkinProvider::ChildFirstShown() {
  constexpr TFormState firstShowing = fsCreatedMDIChild | fsShowing;
  if (form_->FormStyle() != fsMDIChild || (form_->FormState() & firstShowing) != firstShowing ||
      !IsWindowVisible(FormHandle()))
    return;
  TsSkinProvider* main = MDIMainProvider();
  if (main == nullptr || main->mdiForm_ == nullptr) return;
  // A child made again takes its new window's system menu as well.
  if (systemMenuWnd_ != FormHandle()) PrepareForm();
  main->mdiForm_->RepaintProviderFrame();
  if (HWND client = main->form_->ClientHandle()) SendMessageW(client, WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetText(TMessage& m) {
  if (!Showing() || (form_->FormState() & fsCreating) != 0 || !drawNonClientArea_) {
    CallOld(m);
    return;
  }
  // A maximised child's caption is drawn by the system on the MDI form's
  // title: the cover keeps that title as it is until it is repainted.
  TsSkinProvider* main =
      form_->FormStyle() == fsMDIChild && IsZoomed(FormHandle()) ? MDIMainProvider() : nullptr;
  if (main != nullptr) {
    main->skinData_->BGChanged = true;
    main->ShowCoverForm();
    CallOld(m);
    main->HideCoverForm();
    return;
  }
  if (IsDwmCompositionOn()) {
    CallOld(m);
    RepaintFrameNow();
    return;
  }
  skinData_->BGChanged = true;
  ShowCoverForm();
  CallOld(m);
  // The system drew its own title (and menu bar) straight into the window;
  // a window that keeps its own pixels gets no repaint when the cover goes,
  // so the skinned frame is put back while the cover still hides it.
  RepaintFrameNow();
  HideCoverForm();
}

// --- showing, sizing and moving ---------------------------------------------------------

void TsSkinProvider::ShowingChanged(TMessage& m) {
  TsCommonData* sd = skinData_.get();
  HWND wnd = FormHandle();
  if (!sd->BGChanged || !form_->Showing() || !drawNonClientArea_ || wnd == nullptr) {
    CallOld(m);
    return;
  }
  SkinFormMenus(true);
  // What joined while the form was hidden may have told it nothing.
  AdaptControls();
  TsSkinManager* manager = SkinManager();
  const TFormBorderStyle style = form_->BorderStyle();
  const TacFormAnimation& animation =
      style == bsSingle || style == bsSizeable
          ? static_cast<const TacFormAnimation&>(manager->AnimEffects.FormShow)
          : static_cast<const TacFormAnimation&>(manager->AnimEffects.DialogShow);
  showAnimating_ = form_->Parent() == nullptr && form_->FormStyle() != fsMDIChild &&
                   animation.Active && !AnimationsOff;
  // The region is in place before the window is first seen.
  if (RgnChanged && !InRegionUpdate && FrameCutsRegion()) {
    FindRegionHoles();
    RgnChanged = false;
    UpdateFormRegion(false);
  }
  bool layered = false;
  if (showAnimating_) {
    SetPaintingSuspended(sd, true);
    suspended_ = true;
    layered = SetLayered(wnd, true);
    SetChildrenRedraw(form_, false);
  } else {
    SetPaintingSuspended(sd, false);
  }
  CallOld(m);
  UpdateFormScrollAdapter();
  if (!showAnimating_) return;
  SetChildrenRedraw(form_, true);
  if (layered) SetLayered(wnd, false);
  showAnimating_ = false;
  SetPaintingSuspended(sd, false);
  FormServices().AnimateShowControl(form_, animation.Time);
  // The animation ends with the form visible and repainted whole; a border
  // form follows only the repaint after the suspension, and a form the
  // animation left hidden is shown and painted here.
  const bool painted = IsWindowVisible(wnd) && !HasBorderForm();
  if (!IsWindowVisible(wnd)) SendMessageW(wnd, WM_SETREDRAW, 1, 0);
  suspended_ = false;
  if (!painted)
    RedrawWindow(wnd, nullptr, nullptr,
                 NeedsParentCheck(sd)
                     ? RDW_INVALIDATE | RDW_NOERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME
                     : RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  InRegionUpdate = false;
}

void TsSkinProvider::SysCommand(TMessage& m) {
  const WPARAM command = m.WParam & 0xFFF0;
  // A drag by the caption starts: a click the form still waits for is off.
  if (command == SC_MOVE && (m.WParam & 0x0F) == HTCAPTION)
    form_->SetControlState(form_->ControlState() & ~(csLButtonDown | csClicked));
  HWND wnd = FormHandle();
  if (ResizeMode == rmBorder && !BorderDragActive && (command == SC_MOVE || command == SC_SIZE) &&
      wnd != nullptr && !IsZoomed(wnd)) {
    // The outline instead of the system's own loop; a size from the menu
    // names no edge and takes the bottom-right corner.
    const int edge = static_cast<int>(m.WParam & 0x0F);
    const int hit = command == SC_MOVE ? HTCAPTION
                    : edge >= WMSZ_LEFT && edge <= WMSZ_BOTTOMRIGHT ? HTLEFT + edge - WMSZ_LEFT
                                                                    : HTBOTTOMRIGHT;
    POINT p{};
    GetCursorPos(&p);
    StartBorderDrag(hit, {p.x, p.y});
    m.Result = 0;
    return;
  }
  CallOld(m);
  if (wnd == nullptr || !IsWindow(wnd) || FormDestroying()) return;
  if ((command == SC_MAXIMIZE || command == SC_RESTORE) && VisibleMax(FormState())) {
    // The button changed its picture under a mouse that may have left it.
    hotButton_ = TitleHit::MaxButton;
    SetHotButton(0, true);
  }
  switch (command) {
    case SC_MINIMIZE:
      if (skinData_->CacheBmp != nullptr) skinData_->CacheBmp->SetSize(0, 0);
      break;
    case SC_KEYMENU:
      // Alt+Space: the system finds no WS_SYSMENU and opens nothing.
      if (m.LParam == VK_SPACE && sysMenuStyleRemoved_ &&
          (GetWindowLongW(wnd, GWL_STYLE) & WS_SYSMENU) == 0 && VisibleClose(FormState()) &&
          IsCaptionedForm())
        DropSysMenuUnderIcon();
      break;
    case SC_RESTORE:
      skinData_->BGChanged = true;
      FrameRepaintNeeded = true;
      if (IsCaptionedForm())
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      else
        SetWindowRgn(wnd, nullptr, TRUE);
      break;
    default:
      break;
  }
}

void TsSkinProvider::WindowPosChanging(TMessage& m) {
  // The region's own repositioning changes nothing else.
  if (InRegionUpdate) return;
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
  HWND wnd = FormHandle();
  if (ScreenSnap && pos != nullptr && (pos->flags & SWP_NOMOVE) == 0 && !IsZoomed(wnd) &&
      (pos->x != 0 || pos->y != 0)) {
    const TRect work = TScreen::MonitorWorkArea(wnd);
    // A border window's frame lies round the form: its edges snap.
    int side = 0, title = 0;
    if (HasBorderForm()) {
      const TsFrameGeometry g = Geometry();
      side = g.ExtraBorderWidth();
      title = g.ExtraTitleHeight();
    }
    // A move alone need not say the size it keeps.
    RECT now{};
    GetWindowRect(wnd, &now);
    const bool sized = (pos->flags & SWP_NOSIZE) == 0;
    const int cx = sized ? pos->cx : now.right - now.left;
    const int cy = sized ? pos->cy : now.bottom - now.top;
    SnapCoordinate(pos->x, work.Left, SnapBuffer, -side);
    SnapCoordinate(pos->x, work.Right, SnapBuffer, cx + side);
    SnapCoordinate(pos->y, work.Top, SnapBuffer, -title);
    SnapCoordinate(pos->y, work.Bottom, SnapBuffer, cy + side);
  }
  CallOld(m);
}

// Pictures anchored to the client's right corners and a gradient move with
// its size: their old and new places are painted again.
void TsSkinProvider::InvalidateAnchoredAreas(int width, int height) {
  HWND wnd = FormHandle();
  const TRect old = lastClientRect_;
  lastClientRect_ = Rect(0, 0, width, height);
  TsSkinManager* manager = SkinManager();
  if (wnd == nullptr || manager == nullptr || old.Width() <= 0 || old.Height() <= 0 ||
      (old.Width() == width && old.Height() == height))
    return;
  const TsSkinModel& skin = manager->Skin();
  const auto cornerSize = [&](int mask) {
    if (!skin.IsMaskIndexValid(mask)) return TSize{};
    const TsMaskData& data = skin.MaskData[static_cast<size_t>(mask)];
    return TSize{MaskFrameWidth(data), MaskStateHeight(data)};
  };
  const auto invalidate = [&](const TRect& r) {
    const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    InvalidateRect(wnd, &rect, FALSE);
  };
  const auto both = [&](TSize size, bool bottom) {
    if (size.cx <= 0 || size.cy <= 0) return;
    for (const TRect& client : {old, lastClientRect_})
      invalidate(Rect(client.Right - size.cx, bottom ? client.Bottom - size.cy : 0, client.Right,
                      bottom ? client.Bottom : size.cy));
  };
  if (GripMode == gmRightBottom && !IsZoomed(wnd) && IsWindowSizeable(wnd))
    both(cornerSize(skin.MaskIndexByNames("GLOBALINFO", "GRIPIMAGE")), true);
  const TsGeneralData* section = skinData_->Section();
  if (section == nullptr) return;
  both(cornerSize(section->ImgTopRight), false);
  both(cornerSize(section->ImgBottomRight), true);
  if (section->GradientPercent > 0) InvalidateRect(wnd, nullptr, FALSE);
}

void TsSkinProvider::Size(TMessage& m) {
  InvalidateAnchoredAreas(LOWORD(m.LParam), HIWORD(m.LParam));
  CallOld(m);
  if (AnimationActive) return;
  FrameFollowsSize();
  if (form_->FormStyle() == fsMDIForm && Showing()) InvalidateFrame();
  // A child maximised takes the MDI form's title and menu line.
  if (form_->FormStyle() == fsMDIChild && m.WParam == SIZE_MAXIMIZED)
    if (TsSkinProvider* main = MDIMainProvider()) main->InvalidateFrame();
  SyncBorderForm(true, 255);
}

void TsSkinProvider::FrameFollowsSize() {
  HWND wnd = FormHandle();
  if (InRegionUpdate || !Showing() || IsIconic(wnd)) return;
  const TsFrameGeometry g = Geometry();
  TBitmap* cache = skinData_->CacheBmp.get();
  // The frame may already be painted at the new size (the system paints
  // before it tells the size); the region is cut for the size it was made at.
  const bool regionOutdated = regionSize_ != TPoint{g.State.Width, g.State.Height};
  const bool outdated = regionOutdated || cache == nullptr || cache->Width() != g.FrameWidth() ||
                        cache->Height() != g.State.Height;
  if (!outdated) return;
  const bool larger =
      cache != nullptr && (cache->Width() > g.FrameWidth() || cache->Height() > g.State.Height);
  RgnChanged = true;
  skinData_->BGChanged = true;
  MenuLineCount = -1;
  if (drawNonClientArea_) SendMessageW(wnd, WM_NCPAINT, 0, 0);
  if (larger) InvalidateRect(wnd, nullptr, TRUE);
}

// --- client painting --------------------------------------------------------------------

void TsSkinProvider::Paint(TMessage& m) {
  const bool paintCopy = (form_->ControlState() & csPaintCopy) != 0;
  // A border window hidden meanwhile comes back with the form's painting.
  if (!paintCopy && borderForm_ != nullptr && !suspended_ &&
      !IsWindowVisible(borderForm_->Handle()))
    SyncBorderForm(false, 255);
  // A textured or gradient background erases nothing (it would flicker):
  // the whole client is painted here.
  if (!paintCopy && Showing() && NeedsParentCheck(skinData_.get())) {
    PaintFormWindow(m);
    return;
  }
  // The class library paints the graphic children and OnPaint; the
  // background comes through WM_ERASEBKGND.
  if (!paintCopy && Showing() && skinData_->BGChanged && !HasState(csDestroying))
    InvalidateRect(FormHandle(), nullptr, TRUE);
  CallOld(m);
}

void TsSkinProvider::EraseBackground(TMessage& m) {
  TsCommonData* sd = skinData_.get();
  if (!Showing()) {
    CallOld(m);
    return;
  }
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool paintCopy = (form_->ControlState() & csPaintCopy) != 0;
  if (!paintCopy && m.WParam != static_cast<WPARAM>(m.LParam)) {
    if (NeedsParentCheck(sd)) {
      // Such a form paints its background with WM_PAINT.
      RECT clip{};
      if (!PaintingSuspended(sd) && GetClipBox(dc, &clip) == NULLREGION)
        ResumeChildrenPainting(form_);
      m.Result = 1;
      return;
    }
    RECT clip{};
    const bool intoGiven = !IsDwmCompositionOn() || GetClipBox(dc, &clip) != NULLREGION;
    if (intoGiven) {
      PaintFormTo(dc);
    } else {
      HDC own = GetDC(FormHandle());
      PaintFormTo(own);
      ReleaseDC(FormHandle(), own);
    }
    m.Result = 1;
    return;
  }
  if (dc != nullptr && !sd->BGChanged) PaintFormTo(dc);
  m.Result = 1;
}

void TsSkinProvider::Print(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  // The form, not its window: a form being shown with an animation paints its
  // picture while its window draws nothing, which takes its visible style.
  if (dc == nullptr || !form_->Visible() || HasState(csLoading) ||
      (form_->FormState() & fsCreating) != 0 || FormDestroying() || CoveredByMaximisedChild())
    return;
  SetPaintingSuspended(skinData_.get(), false);
  const int saved = SaveDC(dc);
  if (drawNonClientArea_) CopyFrameToDC(dc);
  // The client where the window has it (below a menu bar the frame's
  // picture starts its client a row higher).
  const TPoint place = ClientPlace();
  POINT origin{};
  GetWindowOrgEx(dc, &origin);
  SetWindowOrgEx(dc, origin.x - place.X, origin.y - place.Y, nullptr);
  RECT client{};
  GetClientRect(FormHandle(), &client);
  IntersectClipRect(dc, 0, 0, client.right, client.bottom);
  PaintFormTo(dc);
  if (form_->FormStyle() == fsMDIForm) {
    // The client area shows the MDI client and its children.
    if (HWND mdiClient = form_->ClientHandle()) SendMessageW(mdiClient, WM_PRINT, m.WParam, m.LParam);
  } else {
    PaintChildGraphics(form_, dc);
  }
  if (form_->OnPaint) {
    const TCanvasBinding binding(*form_->Canvas(), dc, true);
    form_->OnPaint(form_);
  }
  RestoreDC(dc, saved);
}

}  // namespace kv
