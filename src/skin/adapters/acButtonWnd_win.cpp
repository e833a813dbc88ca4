#include "skin/adapters/acButtonWnd_win.h"

#include "classlib/Graphics.h"
#include "classlib/WideText.h"
#include "skin/controls/sButtonLayout.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {
namespace {

// BM_GETSTATE's hot bit (comctl32 6 buttons).
constexpr LRESULT ButtonHot = 0x0200;
// Space between a check glyph and its text.
constexpr int CheckTextGap = 4;

TColor SectionFontColor(const TsCommonData* sd, bool hot) {
  const TsGeneralData* section = sd->Section();
  if (section == nullptr) return clWindowText;
  return static_cast<TColor>(hot ? section->HotFontColor[0] : section->FontColor[0]);
}

LONG ButtonType(HWND wnd) { return GetWindowLongW(wnd, GWL_STYLE) & BS_TYPEMASK; }

}  // namespace

// --- statics ----------------------------------------------------------------------------

TacStaticWnd::TacStaticWnd(TsCommonData* skinData, TsSkinManager* manager,
                           std::string_view skinSection)
    : TacStaticWnd(skinData, manager, skinSection, "CHECKBOX") {}

TacStaticWnd::TacStaticWnd(TsCommonData* skinData, TsSkinManager* manager,
                           std::string_view skinSection, std::string_view defaultSection)
    : TacMainWnd(skinData, manager, skinSection.empty() ? defaultSection : skinSection) {}

bool TacStaticWnd::RepaintsAfter(UINT msg) const {
  return msg == WM_SETTEXT || msg == WM_ENABLE || msg == WM_SETFONT;
}

void TacStaticWnd::DrawCaptionText(HDC dc, RECT r, UINT flags) const {
  if (Caption.empty()) return;
  const std::wstring text = Wide(Caption);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(CtrlHandle, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  TColor colour = SectionFontColor(SkinData, PaintState() != 0);
  if (!IsWindowEnabled(CtrlHandle)) colour = static_cast<TColor>(GetSysColor(COLOR_GRAYTEXT));
  SetTextColor(dc, static_cast<COLORREF>(colour));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  if (old != nullptr) SelectObject(dc, old);
}

void TacStaticWnd::PaintContent(HDC dc, const RECT& client) {
  const LONG style = GetWindowLongW(CtrlHandle, GWL_STYLE);
  UINT flags = DT_WORDBREAK | DT_NOPREFIX;
  if ((style & SS_TYPEMASK) == SS_CENTER) flags |= DT_CENTER;
  if ((style & SS_TYPEMASK) == SS_RIGHT) flags |= DT_RIGHT;
  DrawCaptionText(dc, client, flags);
}

bool TacStaticWnd::PaintsWindow() const {
  // Tab stops and sunken statics keep the system's look.
  return (GetWindowLongW(CtrlHandle, GWL_STYLE) & WS_TABSTOP) == 0 &&
         (GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_STATICEDGE) == 0;
}

void TacStaticWnd::PaintBackground() {
  SkinData->BGChanged = true;
  PaintAdapterFrame(SkinData, CtrlHandle, DlgMode);
}

void TacStaticWnd::PaintTo(HDC dc) {
  TsCommonData* sd = SkinData;
  const int state = PaintState();
  sd->Focused = state == 2;
  sd->MouseAbove = state == 1;
  PaintBackground();
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Width() == 0) return;
  // The cache holds the whole window; the DC is the client's.
  RECT client{};
  ClientRectInWindow(CtrlHandle, client);
  TBitmapCanvas canvas(*cache);
  PaintContent(canvas.Handle(), client);
  BitBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, canvas.Handle(),
         client.left, client.top, SRCCOPY);
  sd->BGChanged = false;
}

void TacStaticWnd::WndProc(TMessage& m) {
  if (!SkinUsable() || m.Msg == SM_ALPHACMD || Destroyed || !PaintsWindow()) {
    MainWndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = m.WParam != 0 ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(CtrlHandle, &ps);
      PaintTo(dc);
      if (m.WParam == 0) EndPaint(CtrlHandle, &ps);
      m.Result = 0;
      return;
    }
    case WM_PRINTCLIENT:
    case WM_PRINT:
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    default:
      break;
  }
  MainWndProc(m);
  // The system draws some state changes straight onto the window.
  if (RepaintsAfter(m.Msg) && !Destroyed && IsWindowVisible(CtrlHandle))
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// --- push buttons -----------------------------------------------------------------------

TacBtnWnd::TacBtnWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection)
    : TacBtnWnd(skinData, manager, skinSection, "BUTTON") {}

TacBtnWnd::TacBtnWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection,
                     std::string_view defaultSection)
    : TacStaticWnd(skinData, manager, skinSection, defaultSection) {}

bool TacBtnWnd::RepaintsAfter(UINT msg) const {
  switch (msg) {
    case BM_SETSTATE:
    case BM_SETCHECK:
    case BM_SETSTYLE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_MOUSEMOVE:
    case WM_CAPTURECHANGED:
      return true;
    default:
      return TacStaticWnd::RepaintsAfter(msg);
  }
}

int TacBtnWnd::PaintState() const {
  const LRESULT state = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
  if ((state & BST_PUSHED) != 0) return 2;
  if (!IsWindowEnabled(CtrlHandle)) return 0;
  const bool hot = DefaultManager != nullptr && DefaultManager->HotWindow() == CtrlHandle;
  const bool isDefault = ButtonType(CtrlHandle) == BS_DEFPUSHBUTTON;
  return GetFocus() == CtrlHandle || hot || isDefault || (state & ButtonHot) != 0 ? 1 : 0;
}

void TacBtnWnd::PaintContent(HDC dc, const RECT& client) {
  DrawCaptionText(dc, client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- check boxes and radio buttons ------------------------------------------------------

TacCheckBoxWnd::TacCheckBoxWnd(TsCommonData* skinData, TsSkinManager* manager,
                               std::string_view skinSection)
    : TacBtnWnd(skinData, manager, skinSection, "CHECKBOX") {}

int TacCheckBoxWnd::PaintState() const {
  // The box changes, not the background: pushed and hot show in the glyph.
  return 0;
}

bool TacCheckBoxWnd::IsRadio() const {
  const LONG type = ButtonType(CtrlHandle);
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

int TacCheckBoxWnd::GlyphMaskIndex() const {
  if (SkinManager == nullptr) return -1;
  const TsCommonIndexes& ix = SkinManager->Skin().CommonIndexes;
  const LRESULT check = SendMessageW(CtrlHandle, BM_GETCHECK, 0, 0);
  if (IsRadio()) return check == BST_CHECKED ? ix.RadioChecked : ix.RadioUnchecked;
  if (check == BST_CHECKED) return ix.BoxChecked;
  return check == BST_INDETERMINATE ? ix.BoxGrayed : ix.BoxUnchecked;
}

void TacCheckBoxWnd::PaintContent(HDC dc, const RECT& client) {
  const TsSkinModel& skin = SkinManager->Skin();
  const int index = GlyphMaskIndex();
  TsCheckMetrics m;
  m.Width = client.right - client.left;
  m.Height = client.bottom - client.top;
  m.Radio = IsRadio();
  m.GlyphAtLeft = (GetWindowLongW(CtrlHandle, GWL_STYLE) & BS_LEFTTEXT) == 0;
  if (skin.IsMaskIndexValid(index)) {
    const TsMaskData& mask = skin.MaskData[static_cast<size_t>(index)];
    m.Glyph = mask.Bmp
                  ? CheckGlyphSize(mask.Bmp->Width(), mask.Bmp->Height())
                  : MaskFrameSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
    const TRect place = CheckGlyphRect(m);
    const LRESULT state = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
    const bool hot = (state & (BST_FOCUS | ButtonHot)) != 0 ||
                     (DefaultManager != nullptr && DefaultManager->HotWindow() == CtrlHandle);
    const int glyphState = CheckGlyphState((state & BST_PUSHED) != 0, hot, false);
    TBitmap* cache = SkinData->CacheBmp.get();
    DrawMaskState(cache, {client.left + place.Left, client.top + place.Top}, glyphState,
                  MakeBgCacheInfo(cache, 0, 0), mask, skin.MasterBitmap.get(), 1);
  }
  RECT text = client;
  if (m.GlyphAtLeft)
    text.left += m.Margin + m.Glyph.cx + CheckTextGap;
  else
    text.right -= m.Margin + m.Glyph.cx + CheckTextGap;
  DrawCaptionText(dc, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace kv
