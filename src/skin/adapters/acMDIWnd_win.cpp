#include "skin/adapters/acMDIWnd_win.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

namespace {

// The sunken edge the system draws around the client.
constexpr int kClientEdge = 2;

bool HasClientEdge(HWND wnd) { return (GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }

}  // namespace

TacMDIWnd::TacMDIWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection)
    : TacBaseWnd(skinData, manager, skinSection) {}

TacMDIWnd::~TacMDIWnd() {
  FormSkinData = nullptr;
  Provider = nullptr;
}

// Tiling and cascading take the system-menu style from the active child;
// a child that outlives the adapter gets it back.
void TacMDIWnd::RestoreOriginalState() {
  for (HWND child : strippedSysMenus_) {
    if (!IsWindow(child) || GetParent(child) != CtrlHandle) continue;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    SetWindowLongW(child, GWL_STYLE, style | WS_SYSMENU);
  }
  strippedSysMenus_.clear();
  TacBaseWnd::RestoreOriginalState();
}

bool TacMDIWnd::FrameSkinUsable() const {
  return Provider != nullptr && Form != nullptr && SkinAvailable(FormSkinData, false);
}

bool TacMDIWnd::ActiveChildMaximized() const {
  TCustomForm* child = Form != nullptr ? Form->ActiveMDIChild() : nullptr;
  return child != nullptr && child->WindowState() == wsMaximized;
}

bool TacMDIWnd::HasMDIArea() const {
  TsSkinManager* manager = FormSkinData->SkinManager();
  return manager != nullptr && manager->Skin().SectionIndexOf("MDIAREA") >= 0;
}

TRect TacMDIWnd::ClientPlace() const {
  RECT client{}, form{};
  GetWindowRect(CtrlHandle, &client);
  GetWindowRect(Form->Handle(), &form);
  TRect r = Rect(client.left - form.left, client.top - form.top, client.right - form.left,
                 client.bottom - form.top);
  if (Provider->HasBorderForm()) {
    const POINT shift = Provider->FrameCacheOffset();
    OffsetRect(r, shift.x, shift.y);
  }
  return r;
}

void TacMDIWnd::PaintClientBackground(HDC dc, bool printing) {
  if (Provider->ShowAnimating()) return;
  const TRect r = ClientPlace();
  RECT window{};
  GetWindowRect(CtrlHandle, &window);
  const TRect dest = Rect(0, 0, window.right - window.left, window.bottom - window.top);
  if (!HasMDIArea() && !NeedsParentCheck(FormSkinData)) {
    FillRectWithColor(dc, dest, Provider->FormColor());
    return;
  }
  if (FormSkinData->CacheBmp == nullptr || FormSkinData->BGChanged) Provider->PaintFrameCache();
  TBitmap* cache = FormSkinData->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  const int shift = printing || !HasClientEdge(CtrlHandle) ? 0 : kClientEdge;
  TBitmapCanvas canvas(*cache);
  BitBlt(dc, 0, 0, r.Width(), r.Height(), canvas.Handle(), r.Left + shift, r.Top + shift, SRCCOPY);
}

void TacMDIWnd::PaintClientEdge(HDC dc) {
  TBitmap* cache = FormSkinData->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  const TRect r = ClientPlace();
  const int w = r.Width(), h = r.Height();
  if (!HasMDIArea() && !NeedsParentCheck(FormSkinData)) {
    const int edge = HasClientEdge(CtrlHandle) ? kClientEdge : 0;
    FillBorderStrips(dc, Rect(0, 0, w, h), edge, edge, edge, edge, Provider->FormColor());
    return;
  }
  TBitmapCanvas canvas(*cache);
  CopyBorderStrips(dc, 0, 0, w, h, canvas.Handle(), r.Left, r.Top, kClientEdge);
}

void TacMDIWnd::ChildrenArranged() {
  FormSkinData->BGChanged = true;
  Provider->ClearHotButton();
  if (Form->FormStyle() == fsMDIForm) {
    if (TCustomForm* child = Form->ActiveMDIChild(); child != nullptr) {
      HWND wnd = child->Handle();
      const LONG style = GetWindowLongW(wnd, GWL_STYLE);
      if (style & WS_SYSMENU) {
        SetWindowLongW(wnd, GWL_STYLE, style & ~WS_SYSMENU);
        if (std::find(strippedSysMenus_.begin(), strippedSysMenus_.end(), wnd) ==
            strippedSysMenus_.end())
          strippedSysMenus_.push_back(wnd);
      }
    }
  }
  Provider->RepaintProviderFrame();
  InvalidateRect(CtrlHandle, nullptr, TRUE);
  RedrawWindow(Form->ClientHandle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
  Provider->UpdateSystemMenu();
}

void TacMDIWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !FrameSkinUsable()) return BaseWndProc(m);
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdAdapterPrivate5) {
        SendCommandToControl(Form, cmdAdapterPrivate5, 0);
        return;
      }
      break;
    case WM_NCPAINT:
      m.Result = 1;
      if (ActiveChildMaximized() || AnimationActive) return;
      if (HDC dc = GetWindowDC(CtrlHandle); dc != nullptr) {
        PaintClientEdge(dc);
        const HRGN region = m.WParam > 1 ? reinterpret_cast<HRGN>(m.WParam) : nullptr;
        DrawWindowScrollBars(this, CtrlHandle, dc, -1, region);
        ReleaseDC(CtrlHandle, dc);
      }
      return;
    case WM_PAINT:
      if (AnimationActive) return;
      break;
    case WM_ERASEBKGND:
      if (m.WParam == 0) break;
      if (AnimationActive) return;
      m.Result = 1;
      if (ActiveChildMaximized()) return;
      {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        const TSavedDC saved(dc);
        PaintClientBackground(dc, false);
      }
      return;
    case WM_PRINT:
      if (m.WParam == 0) break;
      m.Result = 0;
      if (Provider->HasBorderForm() || ActiveChildMaximized()) return;
      {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        const TSavedDC saved(dc);
        PaintClientBackground(dc, true);
        DrawWindowScrollBars(this, CtrlHandle, dc, -1, nullptr);
      }
      return;
    case WM_STYLECHANGED:
      return CallPrev(m);
    case WM_MDITILE:
    case WM_MDICASCADE:
      CallPrev(m);
      if (!Destroyed) ChildrenArranged();
      return;
    case WM_MDISETMENU:
      CallPrev(m);
      Provider->MDIMenuChanged();
      return;
    default:
      break;
  }
  BaseWndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdBeforeScroll) {
        SendMessageW(CtrlHandle, WM_SETREDRAW, 0, 0);
      } else if (m.WParamHi() == cmdAfterScroll) {
        SendMessageW(CtrlHandle, WM_SETREDRAW, 1, 0);
        // A dragged thumb only shows the new place once it is let go.
        if (LOWORD(m.LParam) != SB_THUMBTRACK) {
          RedrawWindow(CtrlHandle, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
          UpdateScrollBarInfo(this, false);
          ReleaseCapture();
        }
      }
      break;
    case 0x003F:  // the client rearranged its scroll bars
    case WM_PARENTNOTIFY: {
      const LONG style = GetWindowLongW(CtrlHandle, GWL_STYLE);
      sBarVert.Shown = (style & WS_VSCROLL) != 0;
      sBarHorz.Shown = (style & WS_HSCROLL) != 0;
      UpdateScrollBarInfo(this, true);
      break;
    }
    case WM_MDIREFRESHMENU:
      Provider->RepaintFrameNow();
      break;
    default:
      break;
  }
}

}  // namespace kv
