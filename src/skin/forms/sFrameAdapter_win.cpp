#include "skin/forms/sFrameAdapter_win.h"

#include <algorithm>

#include "classlib/Menus.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sDialogs_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/graphics/sBorders_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

constexpr const char* kFrameSection = "GROUPBOX";

bool OursManager(const TMessage& m, const TsCommonData* sd) {
  return m.LParam == reinterpret_cast<LPARAM>(sd->SkinManager());
}

}  // namespace

TsFrameAdapter::TsFrameAdapter(TComponent* owner) : TComponent(owner) {
  skinData_ = std::make_unique<TsCommonData>(this, true);
  if (skinData_->SkinSection().empty() || skinData_->SkinSection() == ClassName())
    skinData_->SetSkinSection(kFrameSection);
  skinData_->ControlType = FrameAdapterControlType;
  Frame = dynamic_cast<TCustomFrame*>(owner);
  if (Frame == nullptr) {
    ErrorBox("TsFrameAdapter adapter must be placed on the handled frame");
    return;
  }
  skinData_->OwnerControl = Frame;
  savedWndProc_ = Frame->InstallWindowProcHook(TWndMethod(this, &TsFrameAdapter::FrameWndProc));
}

TsFrameAdapter::~TsFrameAdapter() {
  FreeAdapter(ScrollWnd);
  savedWndProc_.Remove();
  Frame = nullptr;
}

void TsFrameAdapter::AfterConstruction() {
  if (Frame != nullptr && QueryControlCommand(Frame, cmdIsSkinned) == 0 && Frame->HandleAllocated())
    return;
  skinData_->RefreshSkinIndexes();
}

void TsFrameAdapter::Loaded() {
  TComponent::Loaded();
  if (Frame == nullptr || QueryControlCommand(Frame, cmdIsSkinned) == 0) return;
  TsSkinManager* manager = skinData_->SkinManager();
  if (manager == nullptr) return;
  skinData_->RefreshSkinIndexes();
  if (!manager->Active() || HasState(csDesigning)) return;
  SkinFramePopups();
  if (SkinAvailable(skinData_.get(), true) && (manager->SkinningRules & srThirdParty))
    AskFormToAdaptControl(Frame);
}

// Pop-up menus the frame owns take the skinned drawing when the manager
// skins pop-ups.
void TsFrameAdapter::SkinFramePopups() {
  TsSkinManager* manager = skinData_->SkinManager();
  if (manager == nullptr || !manager->SkinnedPopups() || Frame == nullptr) return;
  for (int i = 0; i < Frame->ComponentCount(); ++i)
    if (auto* popup = dynamic_cast<TPopupMenu*>(Frame->Components(i)))
      FormServices().SetMenuSkinned(manager, popup->Handle(), true);
}

bool TsFrameAdapter::Usable() const {
  const TsSkinManager* manager = skinData_->SkinManager();
  return SkinAvailable(skinData_.get(), false) && manager != nullptr && manager->Active();
}

void TsFrameAdapter::RedrawFrame(UINT flags) {
  if (Frame != nullptr && Frame->HandleAllocated())
    RedrawWindow(Frame->Handle(), nullptr, nullptr, flags);
}

// The commands that hold in any state; true when the message is done.
bool TsFrameAdapter::SkinCommand(TMessage& m) {
  TsCommonData* sd = skinData_.get();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (!OursManager(m, sd)) return false;
      BroadcastToChildren(Frame, m);
      PreviewControlMessage(m, sd);
      SkinFramePopups();
      return true;
    case cmdSkinRemoved:
      if (!OursManager(m, sd)) return false;
      FreeAdapter(ScrollWnd);
      PreviewControlMessage(m, sd);
      BroadcastToChildren(Frame, m);
      if (Frame->HandleAllocated()) {
        const TLifeToken life(life_);
        SetWindowPos(Frame->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
        if (!life.Alive()) return true;
        RedrawFrame(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }
      return true;
    case cmdSkinRefresh: {
      if (!OursManager(m, sd)) return false;
      PreviewControlMessage(m, sd);
      sd->RefreshSkinIndexes();
      BroadcastToChildren(Frame, m);
      const TLifeToken life(life_);
      RedrawFrame(RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      if (life.Alive()) UpdateScrollWndAdapter(sd, ScrollWnd);
      return true;
    }
    case cmdIsSkinned:
      m.Result = 1;
      return true;
    case cmdFadeFinished:
      BroadcastToChildren(Frame, m);
      return true;
    case cmdGetSectionIndex:
      m.Result = sd->SkinIndex + 1;
      return true;
    case cmdGetBackground:
      if (m.LParam != 0)
        FillChildBgInfo(sd, *reinterpret_cast<TsBgRequest*>(m.LParam), false, Frame->Handle());
      return true;
    case cmdBeforeScroll:
    case cmdAfterScroll: {
      if (QueryControlCommand(Frame, cmdIsSkinned) == 0 && !DependsOnParentBg(sd)) return true;
      const TLifeToken life(life_);
      const bool after = m.WParamHi() == cmdAfterScroll;
      SendMessageW(Frame->Handle(), WM_SETREDRAW, after ? 1 : 0, 0);
      if (after && life.Alive())
        RedrawFrame(RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return true;
    }
    case cmdGetApplication:
      m.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    default:
      return false;
  }
}

void TsFrameAdapter::FrameWndProc(TMessage& m) {
  if (RefuseForeignAddress(m)) return;
  if (Frame == nullptr || HasState(csDesigning)) return CallSaved(m);
  if (m.Msg == SM_ALPHACMD && SkinCommand(m)) return;
  const bool destroying = HasState(csDestroying) || Frame->HasState(csDestroying);
  if (!destroying && Usable()) return SkinnedMessage(m);
  if ((m.Msg == CM_VISIBLECHANGED || m.Msg == CM_SHOWINGCHANGED) && Frame->HandleAllocated()) {
    skinData_->RefreshSkinIndexes();
    TMessage loaded{SM_ALPHACMD, CommandWParam(cmdSkinLoaded),
                    reinterpret_cast<LPARAM>(skinData_->SkinManager()), 0};
    BroadcastToChildren(Frame, loaded);
  }
  CallSaved(m);
}

void TsFrameAdapter::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = skinData_.get();
  TsSkinManager* manager = sd->SkinManager();
  const TLifeToken life(life_);
  switch (m.Msg) {
    case SM_ALPHACMD:
      switch (m.WParamHi()) {
        case cmdParentPainted:
          if (sd->Updating) {
            sd->Updating = false;
            RedrawFrame(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
          }
          return;
        case cmdSetSuspended:
          sd->Updating = m.WParamLo() != 0;
          for (int i = 0; i < Frame->ControlCount(); ++i)
            if (TControl* c = Frame->Controls(i)) c->Perform(m.Msg, m.WParam, m.LParam);
          return;
        case cmdNeedsRepaint:
          m.Result = PaintingSuspended(sd) ? 1 : 0;
          return;
        case cmdTransparentBgChanged:
          if (SectionHasTransparency(sd)) sd->BGChanged = true;
          return;
        case cmdIsBgNonUniform:
          m.Result = (sd->PaintStateFlags != 0 || DependsOnParentBg(sd)) ? 1 : 0;
          return;
        case cmdGetBgColor:
          // A textured or see-through frame has no one colour: its children
          // fall back on the frame's own.
          m.Result =
              static_cast<LRESULT>(NeedsParentCheck(sd) ? TransparentColor : CommandBgColor(sd));
          return;
        default:
          PreviewControlMessage(m, sd);
          return;
      }
    case WM_PARENTNOTIFY:
      if ((LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY) &&
          !Frame->HasState(csLoading | csCreating)) {
        if (LOWORD(m.WParam) == WM_CREATE) {
          sd->RefreshSkinIndexes();
          TMessage loaded{SM_ALPHACMD, CommandWParam(cmdSkinLoaded),
                          reinterpret_cast<LPARAM>(manager), 0};
          BroadcastToChildren(Frame, loaded);
          if (manager->SkinningRules & srThirdParty) AskFormToAdaptControl(Frame);
        }
      }
      CallSaved(m);
      if (life.Alive() && ScrollWnd != nullptr) UpdateScrollBarInfo(ScrollWnd, true);
      return;
    case WM_PAINT:
      if (Frame->Parent() == nullptr) return CallSaved(m);
      PaintFrameWindow(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_MOVE:
    case WM_SIZE:
      sd->BGChanged = sd->BGChanged || m.Msg == WM_SIZE || DependsOnParentBg(sd);
      if (sd->BGChanged) {
        TMessage changed{SM_ALPHACMD, CommandWParam(cmdSetBgChanged), 0, 0};
        Frame->Broadcast(changed);
      }
      if (m.Msg == WM_SIZE && Frame->HandleAllocated())
        InvalidateRect(Frame->Handle(), nullptr, TRUE);
      return CallSaved(m);
    case WM_ERASEBKGND:
      if (!Frame->Showing()) return CallSaved(m);
      sd->Updating = PaintingSuspended(sd);
      if (!sd->Updating && (!NeedsParentCheck(sd) || !sd->BGChanged))
        PaintFrameContent(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_NCPAINT:
      sd->Updating = PaintingSuspended(sd);
      m.Result = 0;
      return;
    case WM_PRINT:
      sd->Updating = false;
      if (ControlReadyToPaint(Frame)) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        PaintFrameContent(dc);
        if (ScrollWnd != nullptr) DrawWindowScrollBars(ScrollWnd, Frame->Handle(), dc, -1, nullptr);
      }
      return;
    case CM_VISIBLECHANGED:
      sd->BGChanged = true;
      CallSaved(m);
      if (life.Alive() && manager != nullptr && Frame->HandleAllocated())
        SendMessageW(Frame->Handle(), SM_ALPHACMD, CommandWParam(cmdSkinRefresh),
                     reinterpret_cast<LPARAM>(manager));
      return;
    case CM_MOUSEENTER:
      CallSaved(m);
      if (!life.Alive()) return;
      ResetHotSpeedButtons(Frame, reinterpret_cast<TControl*>(m.LParam));
      if (DefaultManager != nullptr && Frame->HandleAllocated())
        DefaultManager->SetHotWindow(Frame->Handle());
      return;
    case CM_SHOWINGCHANGED:
      CallSaved(m);
      if (!life.Alive()) return;
      UpdateScrollWndAdapter(sd, ScrollWnd);
      if (manager->SkinningRules & srThirdParty) AskFormToAdaptControl(Frame);
      return;
    default:
      return CallSaved(m);
  }
}

void TsFrameAdapter::PaintFrameWindow(HDC given) {
  TsCommonData* sd = skinData_.get();
  HWND wnd = Frame->Handle();
  if (!Frame->HasState(csDestroying) && !NeedsParentCheck(sd)) InvalidateRect(wnd, nullptr, FALSE);
  PAINTSTRUCT ps{};
  // BeginPaint sends the frame its border's paint, whose handlers may free
  // the adapter: then the window's paint is only ended.
  const TLifeToken life(life_);
  BeginPaint(wnd, &ps);
  if (!life.Alive()) {
    EndPaint(wnd, &ps);
    return;
  }
  HDC dc = given != nullptr ? given : GetDC(wnd);
  {
    const TSavedDC saved(dc);
    if (NeedsParentCheck(sd)) {
      sd->Updating = PaintingSuspended(sd);
      if (!sd->Updating) PaintFrameContent(dc);
    } else {
      // The background came with WM_ERASEBKGND: the windowless children go on it.
      PaintChildGraphics(Frame, dc);
    }
  }
  if (given == nullptr) ReleaseDC(wnd, dc);
  EndPaint(wnd, &ps);
}

void TsFrameAdapter::PaintFrameContent(HDC dc) {
  if (dc == nullptr) return;
  TsCommonData* sd = skinData_.get();
  const TRect whole = Rect(0, 0, Frame->Width(), Frame->Height());
  if (NeedsParentCheck(sd)) {
    const TSavedDC saved(dc);
    sd->Updating = PaintingSuspended(sd);
    if (sd->Updating) return;
    if (sd->PaintSkipped) sd->BGChanged = true;
    if (DependsOnParentBg(sd) && Frame->Parent() != nullptr) {
      const TRect client = Frame->Parent()->ClientRect();
      const TPoint first{Frame->Left() + 1, Frame->Top() + 1};
      const TPoint last{Frame->Left() + Frame->Width() - 1, Frame->Top() + Frame->Height() - 1};
      sd->PaintSkipped = !PtInRect(client, first) || !PtInRect(client, last);
    } else {
      sd->PaintSkipped = false;
    }
    if (sd->BGChanged) PrepareFrameCache();
    CopyCacheToDC(Frame, sd, {0, 0}, 0, 0, dc, whole);
    PaintChildGraphics(Frame, dc);
    ResumeChildrenPainting(Frame);
    return;
  }
  // A plain section: its colour inside the skinned border, the windowless
  // children over it.
  sd->Updating = false;
  const int border = MaxBorderWidth(sd);
  std::unique_ptr<TBitmap> temp;
  {
    const TSavedDC saved(dc);
    ExcludeGraphicChildrenClip(dc, Frame, 0, 0);
    TRect inner = whole;
    if (border > 0) {
      temp = NewBitmap24(whole.Width(), whole.Height());
      TBitmapCanvas canvas(*temp);
      TsBorderSource source;
      source.CacheBmp = temp.get();
      source.CacheDC = canvas.Handle();
      source.BgColor = SkinnedBgColor(sd, false, Frame->Handle());
      GetParentBgInfo(sd, source.Background);
      source.Background.X += Frame->Left();
      source.Background.Y += Frame->Top();
      source.Mask = sd->BorderMask();
      source.Master = sd->SkinManager()->Skin().MasterBitmap.get();
      PaintSkinnedBorder(dc, whole, border, source, 0, inner);
      inner = whole;
      InflateRect(inner, -border, -border);
    }
    FillRectWithColor(dc, inner, SkinnedBgColor(sd, false, Frame->Handle()));
  }
  if (temp != nullptr) {
    TBitmapCanvas canvas(*temp);
    CopyBorderStrips(dc, 0, 0, whole.Width(), whole.Height(), canvas.Handle(), 0, 0, border);
  }
  PaintChildGraphics(Frame, dc);
}

void TsFrameAdapter::PrepareFrameCache() {
  TsCommonData* sd = skinData_.get();
  if (NeedsParentCheck(sd) && sd->SkinManager() != nullptr) {
    PrepareCacheBitmap(sd);
    TBitmap* cache = sd->CacheBmp.get();
    cache->SetSize(Frame->Width(), Frame->Height());
    TsBgCacheInfo background;
    GetParentBgInfo(sd, background);
    PaintSkinDataItem(sd, background, false, 0, Rect(0, 0, Frame->Width(), Frame->Height()),
                      {Frame->Left(), Frame->Top()}, cache);
  }
  sd->BGChanged = false;
}

void InstallFrameAdapterService(TacFormServices& services) {
  services.AdaptFrame = [](TWinControl* frame, TsSkinManager* manager, const char* section) {
    auto* f = dynamic_cast<TCustomFrame*>(frame);
    if (f == nullptr || QueryControlCommand(f, cmdIsSkinned) != 0) return;
    auto* adapter = Create<TsFrameAdapter>(f);
    TsCommonData* sd = adapter->SkinData();
    if (manager != nullptr) sd->SetSkinManager(manager);
    sd->SetSkinSection(section);
    sd->RefreshSkinIndexes();
  };
}

}  // namespace kv
