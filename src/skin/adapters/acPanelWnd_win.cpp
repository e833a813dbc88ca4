#include "skin/adapters/acPanelWnd_win.h"

#include <algorithm>
#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "classlib/WideText.h"
#include "skin/adapters/acEditWnd_win.h"
#include "skin/adapters/acMainWndTables.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {
namespace {

TacBevel BevelOf(TBevelCut cut) {
  switch (cut) {
    case bvLowered:
      return TacBevel::Lowered;
    case bvRaised:
      return TacBevel::Raised;
    case bvSpace:
      return TacBevel::Space;
    default:
      return TacBevel::None;
  }
}

std::string_view PanelSectionFor(const TsCommonData* sd, std::string_view given) {
  if (!given.empty()) return given;
  const auto* panel = dynamic_cast<const TCustomPanel*>(sd->OwnerControl);
  if (panel == nullptr) return "PANEL";
  return PanelSection(BevelOf(panel->BevelOuter()), BevelOf(panel->BevelInner()),
                      panel->BorderStyle() == bsSingle);
}

// The caption's size in the window's font.
SIZE MeasureCaption(HWND wnd, const std::string& caption) {
  SIZE size{0, 0};
  if (caption.empty()) return size;
  const std::wstring text = Wide(caption);
  HDC dc = GetDC(wnd);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  if (old != nullptr) SelectObject(dc, old);
  ReleaseDC(wnd, dc);
  size.cx = r.right - r.left;
  size.cy = r.bottom - r.top;
  return size;
}

// The parent's background into rect of dc (the cache of a window at pos in
// its parent): the parent's picture under the window, or its colour.
void FillFromParent(HDC dc, const TsBgCacheInfo& bg, const RECT& rect, POINT pos) {
  if (bg.Ready && bg.Bmp != nullptr) {
    TBitmapCanvas source(*bg.Bmp);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.Handle(),
           bg.X + pos.x + rect.left, bg.Y + pos.y + rect.top, SRCCOPY);
    return;
  }
  if (bg.FillColor == TransparentColor) return;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(bg.FillColor));
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

}  // namespace

// --- panels -----------------------------------------------------------------------------

TacPanelWnd::TacPanelWnd(TsCommonData* skinData, TsSkinManager* manager,
                         std::string_view skinSection)
    : TacStaticWnd(skinData, manager, PanelSectionFor(skinData, skinSection), "PANEL") {}

void TacPanelWnd::WndProc(TMessage& m) {
  TControl* owner = SkinData->OwnerControl;
  if (owner == nullptr || (owner->ControlStyle() & csAcceptsControls) == 0) {
    MainWndProc(m);
    return;
  }
  if (m.Msg == SM_ALPHACMD) {
    switch (m.WParamHi()) {
      case cmdSkinRemoved:
        owner->SetControlStyle(owner->ControlStyle() & ~csOpaque);
        SkinData->SkinIndex = -1;
        break;
      case cmdParentPainted:
        // The parent's new picture shows through: repaint whether or not
        // the panel waited for it.
        if (!SkinUsable()) break;
        SetPaintingSuspended(SkinData, false);
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
      case cmdFadeStep:
        // The cache is the panel's own to rebuild, on its next paint.
        return;
      default:
        break;
    }
  }
  if (!Destroyed && SectionAvailable() && PaintsWindow()) {
    switch (m.Msg) {
      // WM_NCPAINT: the static adapter paints the frame from the cache.
      case WM_PRINT:
        PrintWindowTo(reinterpret_cast<HDC>(m.WParam), [this](HDC dc) { PaintTo(dc); });
        m.Result = 0;
        return;
      default:
        break;
    }
  }
  if (m.Msg == WM_SETTEXT && !Destroyed && SectionAvailable() && IsWindowVisible(CtrlHandle)) {
    // The panel would write its new caption unskinned first.
    HandleWithoutRedraw(m, false);
    return;
  }
  const bool children =
      m.Msg == SM_ALPHACMD && (m.WParamHi() == cmdSkinLoaded || m.WParamHi() == cmdSkinRefresh);
  TacStaticWnd::WndProc(m);
  if (Destroyed) return;
  if (children) {
    if (auto* win = dynamic_cast<TWinControl*>(owner)) BroadcastToChildren(win, m);
  }
  if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE) AskFormToAdaptControl(owner);
  // Children that wait for their parent's picture may paint now.
  if (m.Msg == WM_PAINT && SectionAvailable())
    if (auto* win = dynamic_cast<TWinControl*>(owner)) ResumeChildrenPainting(win);
  if (m.Msg == WM_WINDOWPOSCHANGED && SectionAvailable() && IsWindowVisible(CtrlHandle)) {
    // A new size: the frame strips come from the new cache.
    SkinData->BGChanged = true;
    SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
  }
}

bool TacPanelWnd::MayPaint() {
  TControl* owner = SkinData->OwnerControl;
  if (owner != nullptr &&
      (owner->HasState(csDestroying) ||
       (owner->Parent() != nullptr && (owner->Parent()->ControlState() & csCreating) != 0)))
    return false;
  return TacStaticWnd::MayPaint();
}

void TacPanelWnd::PaintContent(TCanvas& canvas, const RECT& client) {
  RECT r = client;
  if (const auto* panel = dynamic_cast<const TCustomPanel*>(SkinData->OwnerControl)) {
    int inset = panel->BorderWidth();
    if (panel->BevelOuter() != bvNone) inset += panel->BevelWidth();
    if (panel->BevelInner() != bvNone) inset += panel->BevelWidth();
    InflateRect(&r, -inset, -inset);
  }
  SelectCaptionFont(canvas);
  DrawCaptionText(canvas, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- dialog panels ----------------------------------------------------------------------

namespace {

std::string_view DlgPanelSection(const TWinControl* panel) {
  return panel != nullptr && panel->ClassName() == "TPanel" ? "CHECKBOX" : "GROUPBOX";
}

// Inside this the dialog draws the panel itself.
constexpr int DlgPanelInset = 6;

}  // namespace

TacDlgPanelWnd::TacDlgPanelWnd(TsCommonData* skinData, TsSkinManager* manager, TWinControl* panel)
    : TacStaticWnd(skinData, manager, DlgPanelSection(panel), "GROUPBOX"), Panel(panel) {
  if (manager != nullptr) SetPanelColor(static_cast<TColor>(manager->Skin().GetGlobalInfoColor()));
}

TacMainWnd* CreateDlgPanelAdapter(HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                  std::string_view, bool repaint) {
  TWinControl* panel = FindControlByHandle(wnd, Application);
  return CreateAdapter<TacDlgPanelWnd>(wnd, repaint, skinData, manager, panel);
}

void TacDlgPanelWnd::SetPanelColor(TColor color) {
  if (Panel != nullptr && dynamic_cast<TPanel*>(Panel) != nullptr && Panel->Color() != color)
    Panel->SetColor(color);
}

void TacDlgPanelWnd::ApplySkinState() {
  TacStaticWnd::ApplySkinState();
  if (SkinManager != nullptr)
    SetPanelColor(static_cast<TColor>(SkinManager->Skin().GetGlobalInfoColor()));
}

void TacDlgPanelWnd::PaintClient(HDC dc) {
  const int saved = SaveDC(dc);
  PaintTo(dc);
  RECT client{};
  GetClientRect(CtrlHandle, &client);
  IntersectClipRect(dc, client.left + DlgPanelInset, client.top + DlgPanelInset,
                    client.right - DlgPanelInset, client.bottom - DlgPanelInset);
  LPARAM none = 0;
  CallPrevWndProc(CtrlHandle, WM_PAINT, reinterpret_cast<WPARAM>(dc), none);
  RestoreDC(dc, saved);
}

void TacDlgPanelWnd::WndProc(TMessage& m) {
  if (Destroyed || !SectionAvailable()) {
    MainWndProc(m);
    return;
  }
  const TColor skinColor = static_cast<TColor>(SkinManager->Skin().GetGlobalInfoColor());
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdSkinLoaded) {
        SendToChildren(Panel, CtrlHandle, m);
        SkinData->BGChanged = true;
      }
      break;
    case WM_SETTEXT:
      if (IsWindowVisible(CtrlHandle)) SkinData->BGChanged = true;
      break;
    case WM_PAINT: {
      SetPanelColor(skinColor);
      PAINTSTRUCT ps{};
      if (m.WParam == 0) {
        BeginPaint(CtrlHandle, &ps);
        EndPaint(CtrlHandle, &ps);
      }
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      PaintClient(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_NCPAINT: {
      HDC dc = GetWindowDC(CtrlHandle);
      PaintFrameTo(dc);
      ReleaseDC(CtrlHandle, dc);
      m.Result = 1;
      return;
    }
    case WM_UPDATEUISTATE:
      m.Result = 1;
      return;
    case WM_PRINT:
      PrintWindowTo(reinterpret_cast<HDC>(m.WParam), [this](HDC dc) { PaintClient(dc); });
      m.Result = 0;
      return;
    case WM_THEMECHANGED:
      SetPanelColor(clBtnFace);
      break;
    default:
      break;
  }
  MainWndProc(m);
  if (Destroyed) return;
  if (m.Msg == WM_PARENTNOTIFY &&
      (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY)) {
    SetPanelColor(skinColor);
    if (LOWORD(m.WParam) == WM_CREATE && Panel != nullptr) AskFormToAdaptControl(Panel);
  }
}

// --- group boxes ------------------------------------------------------------------------

TacGroupBoxWnd::TacGroupBoxWnd(TsCommonData* skinData, TsSkinManager* manager,
                               std::string_view skinSection)
    : TacStaticWnd(skinData, manager, skinSection, "GROUPBOX") {}

int TacGroupBoxWnd::CaptionHeight() const {
  const SIZE text = MeasureCaption(CtrlHandle, Caption);
  RECT r{};
  GetWindowRect(CtrlHandle, &r);
  return GroupBoxCaptionBand(text.cx, text.cy, r.right - r.left).Bottom;
}

void TacGroupBoxWnd::WndProc(TMessage& m) {
  if (SkinUsable() && m.Msg == SM_ALPHACMD && m.WParamHi() == cmdGetCaptionHeight) {
    m.Result = CaptionHeight();
    return;
  }
  if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinRemoved && SkinData->OwnerControl != nullptr)
    SkinData->OwnerControl->SetControlStyle(SkinData->OwnerControl->ControlStyle() & ~csOpaque);
  if (DlgMode && SectionAvailable() && !Destroyed) {
    switch (m.Msg) {
      case WM_PAINT:
        PaintFrameOnly();
        m.Result = 0;
        return;
      case WM_ERASEBKGND:
        m.Result = 1;
        return;
      default:
        break;
    }
  }
  // The text goes to the window once; a second pass would repeat its
  // change notifications.
  TacStaticWnd::WndProc(m);
  if (Destroyed) return;
  if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE && SkinData->OwnerControl)
    AskFormToAdaptControl(SkinData->OwnerControl);
  // Children that wait for the box's picture may paint now.
  if ((m.Msg == WM_PAINT || m.Msg == WM_PRINT) && SectionAvailable())
    ResumeChildWindowsPainting(CtrlHandle);
}

void TacGroupBoxWnd::PaintFrameOnly() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(CtrlHandle, &ps);
  RECT r{};
  GetWindowRect(CtrlHandle, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  int left = 0, right = 0, bottom = 0;
  if (SkinManager != nullptr) {
    const TsSkinModel& skin = SkinManager->Skin();
    left = skin.MaskMarginLeft(SkinData->BorderIndex);
    right = skin.MaskMarginRight(SkinData->BorderIndex);
    bottom = skin.MaskMarginBottom(SkinData->BorderIndex);
  }
  ExcludeClipRect(dc, left, CaptionHeight(), w - right, h - bottom);
  PaintTo(dc);
  EndPaint(CtrlHandle, &ps);
  ResumeChildWindowsPainting(CtrlHandle);
}

void TacGroupBoxWnd::PaintBackground() {
  TsCommonData* sd = SkinData;
  RECT r{};
  GetWindowRect(CtrlHandle, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HWND parent = GetParent(CtrlHandle);
  POINT pos{r.left, r.top};
  if (parent == nullptr || !ScreenToClient(parent, &pos)) return;
  TsBgCacheInfo bg;
  GetParentBgInfoByHandle(CtrlHandle, bg);
  PrepareCacheBitmap24(sd);
  TBitmap* cache = sd->CacheBmp.get();
  cache->SetSize(w, h);
  const int frameTop = CaptionHeight() / 2;
  if (sd->SkinManager() != nullptr && sd->SkinManager()->Skin().IsSectionIndexValid(sd->SkinIndex))
    PaintSkinDataItem(sd, bg, true, 0, {0, frameTop, w, h}, {pos.x, pos.y + frameTop}, cache);
  TBitmapCanvas canvas(*cache);
  FillFromParent(canvas.Handle(), bg, {0, 0, w, frameTop}, pos);
}

void TacGroupBoxWnd::PaintContent(TCanvas& canvas, const RECT&) {
  if (Caption.empty()) return;
  const SIZE text = MeasureCaption(CtrlHandle, Caption);
  RECT r{};
  GetWindowRect(CtrlHandle, &r);
  const TacCaptionBand band = GroupBoxCaptionBand(text.cx, text.cy, r.right - r.left);
  const RECT caption{band.Left, band.Top, band.Right, band.Bottom};
  TsBgCacheInfo bg;
  GetParentBgInfoByHandle(CtrlHandle, bg);
  RefreshGeometry();
  FillFromParent(canvas.Handle(), bg, caption, {WndPos.X, WndPos.Y});
  SelectCaptionFont(canvas);
  DrawCaptionText(canvas, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- size grips -------------------------------------------------------------------------

void TacSizerWnd::WndProc(TMessage& m) {
  TacStaticWnd::WndProc(m);
  if (m.Msg != WM_NCHITTEST || !SkinUsable()) return;
  if (IsWindowEnabled(CtrlHandle) && DefaultManager != nullptr)
    DefaultManager->SetHotWindow(nullptr);
  m.Result = HTBOTTOMRIGHT;
}

void TacSizerWnd::PaintBackground() {
  TsCommonData* sd = SkinData;
  RefreshGeometry();
  PrepareCacheBitmap24(sd);
  sd->CacheBmp->SetSize(WndSize.cx, WndSize.cy);
  TsBgCacheInfo bg;
  GetParentBgInfoByHandle(CtrlHandle, bg);
  TBitmapCanvas canvas(*sd->CacheBmp);
  FillFromParent(canvas.Handle(), bg, {0, 0, WndSize.cx, WndSize.cy}, {WndPos.X, WndPos.Y});
}

void TacSizerWnd::PaintContent(TCanvas&, const RECT& client) {
  const TsSkinModel& skin = SkinManager->Skin();
  const int index = skin.MaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
  if (!skin.IsMaskIndexValid(index)) return;
  const TsMaskData& mask = skin.MaskData[static_cast<size_t>(index)];
  const int frames = std::max(1, static_cast<int>(mask.ImageCount));
  const int fw = mask.Bmp ? mask.Bmp->Width() / frames : mask.R.Width() / frames;
  const int fh = mask.Bmp ? mask.Bmp->Height() / 2 : mask.R.Height() / (mask.MaskType + 1);
  TBitmap* cache = SkinData->CacheBmp.get();
  const int w = client.right - client.left, h = client.bottom - client.top;
  const TPoint at{static_cast<int>(client.left) + std::max(w - fw, 0),
                  static_cast<int>(client.top) + std::max(h - fh, 0)};
  DrawMaskState(cache, at, 0, MakeBgCacheInfo(cache, 0, 0), mask, skin.MasterBitmap.get(), 1);
}

}  // namespace kv
