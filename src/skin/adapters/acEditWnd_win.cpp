#include "skin/adapters/acEditWnd_win.h"

#include "classlib/Forms.h"
#include "classlib/ListViews.h"
#include "skin/adapters/acEditWndBorder.h"
#include "skin/core/acUtils_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {
namespace {

constexpr const char* kFocusColor = "FocusColor";

bool Ours(const TMessage& m, const TsSkinManager* manager) {
  return reinterpret_cast<const TsSkinManager*>(m.LParam) == manager;
}

void RedrawOwner(TsCommonData* sd, HWND wnd) {
  sd->BGChanged = true;
  auto* owner = dynamic_cast<TWinControl*>(sd->OwnerControl);
  HWND target = owner != nullptr && owner->HandleAllocated() ? owner->Handle() : wnd;
  RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

}  // namespace

// --- shared helpers --------------------------------------------------------------------

bool BorderMaskHasStates(const TsCommonData* sd) {
  if (sd == nullptr || sd->SkinManager() == nullptr || sd->SkinIndex < 0 || sd->BorderIndex < 0)
    return false;
  const TsMaskData* mask = sd->BorderMask();
  return mask != nullptr && mask->ImageCount > 1;
}

void SetOrdPropIfExists(TObject* object, std::string_view name, std::int64_t value) {
  if (PropertyExists(object, name)) SetOrdPropByName(object, name, value);
}

TColor ColorPropIfExists(TObject* object, std::string_view name) {
  if (!PropertyExists(object, name)) return 0;
  return static_cast<TColor>(ColorToRGB(static_cast<TColor>(OrdPropByName(object, name))));
}

TWinControl* FindControlByHandle(HWND wnd, TComponent* component) {
  if (wnd == nullptr || component == nullptr) return nullptr;
  for (int i = 0; i < component->ComponentCount(); ++i) {
    TComponent* c = component->Components(i);
    if (auto* w = dynamic_cast<TWinControl*>(c);
        w != nullptr && w->HandleAllocated() && w->Handle() == wnd)
      return w;
    if (TWinControl* found = FindControlByHandle(wnd, c)) return found;
  }
  return nullptr;
}

void AskTopFormToAdapt(HWND wnd) {
  HWND top = wnd;
  while (top != nullptr && GetParent(top) != nullptr) top = GetParent(top);
  if (top != nullptr) SendMessageW(top, SM_ALPHACMD, MAKEWPARAM(0, cmdAdaptControl), 0);
}

void FillBorderFromParent(TsCommonData* sd, int state, TacMainWnd* adapter) {
  if (sd == nullptr || adapter == nullptr || adapter->DlgMode || sd->CacheBmp == nullptr) return;
  TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr || sd->BorderIndex < 0) return;
  const TsSkinModel& skin = manager->Skin();
  if (!skin.IsMaskIndexValid(sd->BorderIndex)) return;
  const TBitmap* image = skin.MaskImage(sd->BorderIndex);
  if (image == nullptr) return;
  TsBgCacheInfo parent;
  GetParentBgInfoByHandle(adapter->CtrlHandle, parent);
  TacBorderBackground bg;
  if (parent.Ready && parent.Bmp != nullptr) {
    bg.Bmp = parent.Bmp;
    bg.Offset = {parent.X + adapter->WndPos.X, parent.Y + adapter->WndPos.Y};
  } else {
    bg.Color = static_cast<TColor>(ColorToRGB(parent.FillColor));
  }
  FillBorderPixels(*sd->CacheBmp, *image, skin.MaskData[static_cast<size_t>(sd->BorderIndex)],
                   state, bg);
}

// --- TacBaseWnd ------------------------------------------------------------------------

void TacBaseWnd::WndProc(TMessage& message) { BaseWndProc(message); }

void TacBaseWnd::BaseWndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) return ScrollWndProc(m);
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdSkinRefresh && Ours(m, SkinManager)) {
        ScrollWndProc(m);
        if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
        return;
      }
      if (m.WParamHi() == cmdFadeStep) PaintAdapterFrame(SkinData, CtrlHandle, false);
      return ScrollWndProc(m);
    case WM_SIZE:
      SkinData->BGChanged = true;
      ScrollWndProc(m);
      if (!ScrollBusy) UpdateScrollBarInfo(this, true);
      return;
    case WM_SETCURSOR:
      return CallPrev(m);
    case 0x2100:
      return;
    default:
      break;
  }
  ScrollWndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
      // The border is drawn again in the look of the new state.
      SkinData->BGChanged = true;
      if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!ScrollBusy) UpdateScrollBarInfo(this, true);
      break;
    default:
      break;
  }
}

// --- TacEditWnd ------------------------------------------------------------------------

TacEditWnd::TacEditWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection)
    : TacBaseWnd(skinData, manager, skinSection.empty() ? "EDIT" : skinSection) {
  SkinData->SetSkinSection(std::string(skinSection.empty() ? "EDIT" : skinSection));
}

bool TacEditWnd::MakesOwnerOpaque() const {
  return dynamic_cast<TListView*>(SkinData->OwnerControl) == nullptr;
}

void TacEditWnd::SaveOriginalState() {
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr) return;
  SavedColor = owner->Color();
  SavedFontColor = owner->Font()->Color();
  hasFocusColor_ = PropertyExists(owner, kFocusColor);
  if (hasFocusColor_) SavedFocusColor = static_cast<TColor>(OrdPropByName(owner, kFocusColor));
}

void TacEditWnd::RestoreOriginalState() {
  TacBaseWnd::RestoreOriginalState();
  if (CtrlHandle != nullptr && IsWindowVisible(CtrlHandle))
    SetWindowPos(CtrlHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr || owner->HasState(csDestroying)) return;
  owner->SetColor(SavedColor);
  owner->Font()->SetColor(SavedFontColor);
  if (hasFocusColor_) SetOrdPropByName(owner, kFocusColor, SavedFocusColor);
  StateApplied = false;
}

void TacEditWnd::ApplySkinState() {
  Calculating = true;
  TacBaseWnd::ApplySkinState();
  TsCommonData* sd = SkinData;
  const TsGeneralData* section = sd->Section();
  if (TControl* owner = sd->OwnerControl; owner != nullptr) {
    if (!sd->CustomColor()) {
      const TColor c = SkinnedBgColor(sd, sd->Focused || sd->MouseAbove, CtrlHandle);
      if (hasFocusColor_) {
        if (owner->Color() != c) owner->SetColor(c);
        SetOrdPropByName(owner, kFocusColor, c);
      } else if (owner->Color() != c) {
        owner->SetColor(c);
      }
    }
    if (!sd->CustomFont() && section != nullptr &&
        owner->Font()->Color() != section->HotFontColor[0])
      owner->Font()->SetColor(section->HotFontColor[0]);
  } else {
    Color = section != nullptr && !DlgMode ? static_cast<TColor>(section->Color) : clWindow;
    FrameColor = 0;
  }
  sd->BGChanged = true;
  Calculating = false;
}

void TacEditWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) return BaseWndProc(m);
  TsCommonData* sd = SkinData;
  switch (m.Msg) {
    case WM_NCPAINT:
      return NcPaint(m);
    case WM_PAINT:
      if (!IsWindowVisible(CtrlHandle)) break;
      SetPaintingSuspended(sd, PaintingSuspended(sd));
      if (sd->Updating || (AnimationActive && AnimationDC == nullptr)) {
        PAINTSTRUCT ps;
        BeginPaint(CtrlHandle, &ps);
        EndPaint(CtrlHandle, &ps);
        return;
      }
      // A client DC given with the message cannot hold the bars.
      if (m.WParam == 0) DrawWindowScrollBars(this, CtrlHandle, nullptr, -1, nullptr);
      if (!StateApplied) ApplySkinState();
      BaseWndProc(m);
      if (Destroyed) return;
      // A window may set its bars up as it paints (a list view filled while
      // hidden does, on its first paint), the system drawing its own bars.
      if (sBarHorz.Shown || sBarVert.Shown) UpdateScrollBarInfo(this, true);
      return AfterMessage(m);
    case WM_ERASEBKGND:
      if (!IsWindowVisible(CtrlHandle)) break;
      if (sd->Updating) {
        m.Result = 1;
        return;
      }
      if (!StateApplied) ApplySkinState();
      if (AnimationActive && WindowsMajorVersion >= 6 &&
          reinterpret_cast<HDC>(m.WParam) != AnimationDC) {
        m.Result = 1;
        return;
      }
      break;
    case WM_PRINT:
      return Print(m);
    case CM_FONTCHANGED:
      RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      break;
    case SM_ALPHACMD:
      if (EditCommand(m)) return;
      return BaseWndProc(m);
    default:
      break;
  }
  BaseWndProc(m);
  if (!Destroyed) AfterMessage(m);
}

bool TacEditWnd::EditCommand(TMessage& m) {
  TsCommonData* sd = SkinData;
  switch (m.WParamHi()) {
    case cmdGetSectionIndex:
      m.Result = sd->SkinIndex + 1;
      return true;
    case cmdGetApplication:
      m.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    case cmdFadeStep:
      RefreshGeometry();
      PaintAdapterFrame(sd, CtrlHandle, DlgMode);
      FillBorderFromParent(sd, 0, this);
      return true;
    case cmdSkinRefresh:
      if (!Ours(m, SkinManager)) return false;
      BaseWndProc(m);
      ApplySkinState();
      return true;
    case cmdParentPainted:
      if (sd->Updating) {
        if (ResumePaintingAfterParent(sd))
          RedrawWindow(CtrlHandle, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      }
      return false;
    case cmdIsSkinned:
      m.Result = 1;
      return true;
    default:
      return false;
  }
}

void TacEditWnd::NcPaint(TMessage& m) {
  if (!IsWindowVisible(CtrlHandle)) return BaseWndProc(m);
  if (AnimationActive) return;
  TsCommonData* sd = SkinData;
  RefreshGeometry();
  SetPaintingSuspended(sd, PaintingSuspended(sd));
  if (sd->Updating) return;
  if (sd->BGChanged) {
    if (!StateApplied) ApplySkinState();
    PaintAdapterFrame(sd, CtrlHandle, DlgMode);
  }
  HDC dc = GetWindowDC(CtrlHandle);
  {
    TBitmapCanvas cache(*sd->CacheBmp);
    CopyBorderStrips(dc, 0, 0, WndSize.cx, WndSize.cy, cache.Handle(), 0, 0, FrameWidths.Left);
  }
  DrawWindowScrollBars(this, CtrlHandle, dc, -1, reinterpret_cast<HRGN>(m.WParam));
  ReleaseDC(CtrlHandle, dc);
  // The system draws no border over ours.
  m.Result = 0;
}

void TacEditWnd::Print(TMessage& m) {
  TsCommonData* sd = SkinData;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  RefreshGeometry();
  SetPaintingSuspended(sd, false);
  sd->BGChanged = true;
  if (!StateApplied) ApplySkinState();
  PaintAdapterFrame(sd, CtrlHandle, DlgMode);
  if (!DlgMode) FillBorderFromParent(sd, 0, this);
  const int frame = FrameWidths.Left;
  {
    TBitmapCanvas cache(*sd->CacheBmp);
    CopyBorderStrips(dc, 0, 0, WndSize.cx, WndSize.cy, cache.Handle(), 0, 0, frame);
  }
  DrawWindowScrollBars(this, CtrlHandle, dc, -1, nullptr);
  {
    TSavedDC saved(dc);
    POINT origin{};
    OffsetViewportOrgEx(dc, frame, frame, &origin);
    const int barV = sBarVert.Shown ? ScrollBarPartSize(this, sBarVert, spsThickness, false) : 0;
    const int barH = sBarHorz.Shown ? ScrollBarPartSize(this, sBarHorz, spsThickness, false) : 0;
    const int left = LeftScrollBar ? barV : 0;
    IntersectClipRect(dc, left, 0, WndSize.cx - 2 * frame - barV + left,
                      WndSize.cy - 2 * frame - barH);
    if (left != 0) OffsetViewportOrgEx(dc, left, 0, nullptr);
    SendMessageW(CtrlHandle, WM_ERASEBKGND, m.WParam, 0);
    SendMessageW(CtrlHandle, WM_PAINT, m.WParam, 0);
    SendMessageW(CtrlHandle, WM_PRINTCLIENT, m.WParam, PRF_CLIENT | PRF_OWNED);
  }
  // The rest of the print (owned windows, children) is the previous
  // procedure's; the frame and client are done.
  m.LParam &= ~static_cast<LPARAM>(PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  BaseWndProc(m);
}

void TacEditWnd::AfterMessage(const TMessage& m) {
  TsCommonData* sd = SkinData;
  switch (m.Msg) {
    case WM_SIZE:
      if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      auto* owner = dynamic_cast<TWinControl*>(sd->OwnerControl);
      if (!BorderMaskHasStates(sd) || owner == nullptr || !owner->CanFocus() || !owner->TabStop())
        break;
      sd->Focused = m.Msg == WM_SETFOCUS;
      RedrawOwner(sd, CtrlHandle);
      break;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (!BorderMaskHasStates(sd)) break;
      sd->MouseAbove = m.Msg == CM_MOUSEENTER;
      if (sd->MouseAbove && sd->ControlType == 227)
        ShowControlGlow(sd, true, CtrlHandle);
      else
        ClearGlows();
      if (sd->OwnerControl != nullptr) RedrawOwner(sd, CtrlHandle);
      break;
    case WM_MOUSEMOVE:
      if (DefaultManager != nullptr && !DefaultManager->HasState(csDesigning) &&
          IsWindowEnabled(CtrlHandle)) {
        if (DefaultManager->HotWindow() != CtrlHandle) DefaultManager->SetHotWindow(CtrlHandle);
        // A selection drag scrolls the content under the pointer.
        if (!sd->Updating && GetCapture() != nullptr) UpdateScrollBarInfo(this, true);
      }
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case CN_KEYDOWN:
    case CN_KEYUP:
      if (!ScrollBusy) UpdateScrollBarInfo(this, true);
      break;
    case EM_REPLACESEL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
      UpdateScrollBarInfo(this, true);
      break;
    default:
      break;
  }
}

void UpdateEditWndAdapter(TsCommonData* sd, TacEditWnd*& adapter) {
  if (sd == nullptr) return;
  auto* control = dynamic_cast<TWinControl*>(sd->OwnerControl);
  if (control == nullptr) return;
  if (SkinAvailable(sd, true)) {
    if (adapter != nullptr && adapter->Destroyed) FreeAdapter(adapter);
    if (adapter == nullptr)
      adapter = CreateAdapter<TacEditWnd>(control->Handle(), true, sd, sd->SkinManager(),
                                          sd->SkinSection());
  } else {
    FreeAdapter(adapter);
  }
}

}  // namespace kv
