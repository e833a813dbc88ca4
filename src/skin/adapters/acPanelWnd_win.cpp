#include "skin/adapters/acPanelWnd_win.h"

#include <algorithm>
#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Graphics.h"
#include "classlib/WideText.h"
#include "skin/adapters/acMainWndTables.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint_win.h"

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

// The parent's background into rect of dc (the cache's).
void FillFromParent(HDC dc, const TsBgCacheInfo& bg, const RECT& rect) {
  if (bg.Ready && bg.Bmp != nullptr) {
    TBitmapCanvas source(*bg.Bmp);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.Handle(),
           bg.X + rect.left, bg.Y + rect.top, SRCCOPY);
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
  if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinRemoved) {
    owner->SetControlStyle(owner->ControlStyle() & ~csOpaque);
    SkinData->SkinIndex = -1;
  }
  TacStaticWnd::WndProc(m);
  if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE) AskFormToAdaptControl(owner);
}

void TacPanelWnd::PaintContent(HDC dc, const RECT& client) {
  DrawCaptionText(dc, client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
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
  // The text goes to the window once; a second pass would repeat its
  // change notifications.
  TacStaticWnd::WndProc(m);
  if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE && SkinData->OwnerControl)
    AskFormToAdaptControl(SkinData->OwnerControl);
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
  FillFromParent(canvas.Handle(), bg, {0, 0, w, frameTop});
}

void TacGroupBoxWnd::PaintContent(HDC dc, const RECT&) {
  if (Caption.empty()) return;
  const SIZE text = MeasureCaption(CtrlHandle, Caption);
  RECT r{};
  GetWindowRect(CtrlHandle, &r);
  const TacCaptionBand band = GroupBoxCaptionBand(text.cx, text.cy, r.right - r.left);
  const RECT caption{band.Left, band.Top, band.Right, band.Bottom};
  TsBgCacheInfo bg;
  GetParentBgInfoByHandle(CtrlHandle, bg);
  FillFromParent(dc, bg, caption);
  DrawCaptionText(dc, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- size grips -------------------------------------------------------------------------

void TacSizerWnd::WndProc(TMessage& m) {
  TacStaticWnd::WndProc(m);
  if (m.Msg != WM_NCHITTEST || !SkinUsable()) return;
  if (IsWindowEnabled(CtrlHandle) && DefaultManager != nullptr)
    DefaultManager->SetHotWindow(nullptr);
  m.Result = HTBOTTOMRIGHT;
}

void TacSizerWnd::PaintContent(HDC, const RECT& client) {
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
