#include "skin/adapters/acButtonWnd_win.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "classlib/Buttons.h"
#include "classlib/Graphics.h"
#include "classlib/WideText.h"
#include "skin/controls/sButtonLayout.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
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

// A bitmap's size from the bitmap itself: its "dimension" is 0 x 0 unless
// someone set it.
SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return {0, 0};
  return {info.bmWidth, std::abs(info.bmHeight)};
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y) {
  const SIZE size = BitmapSize(bitmap);
  if (size.cx == 0) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  BitBlt(dc, x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

std::wstring WithoutAnchors(std::wstring text) {
  for (const wchar_t* tag : {L"<A>", L"</A>", L"<a>", L"</a>"}) {
    const std::wstring t = tag;
    for (size_t at = text.find(t); at != std::wstring::npos; at = text.find(t, at))
      text.erase(at, t.size());
  }
  return text;
}

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
  PaintGraphicChildren(dc);
}

void TacStaticWnd::PaintGraphicChildren(HDC dc) {
  // Windowless children (labels on a panel) paint in their parent's paint,
  // which the adapter took over.
  auto* owner = dynamic_cast<TWinControl*>(SkinData->OwnerControl);
  if (owner == nullptr) return;
  for (int i = 0; i < owner->ControlCount(); ++i) {
    TControl* c = owner->Controls(i);
    if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible()) continue;
    const int saved = SaveDC(dc);
    POINT origin{};
    GetWindowOrgEx(dc, &origin);
    SetWindowOrgEx(dc, origin.x - c->Left(), origin.y - c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
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

// --- icons, bitmaps and links ----------------------------------------------------------

TacIconWnd::TacIconWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection)
    : TacStaticWnd(skinData, manager, skinSection) {}

TacIconWnd::~TacIconWnd() {
  if (image_ != nullptr) DeleteObject(image_);
}

bool TacIconWnd::IsBitmap() const {
  return (GetWindowLongW(CtrlHandle, GWL_STYLE) & SS_TYPEMASK) != SS_ICON;
}

void TacIconWnd::PaintContent(HDC dc, const RECT& client) {
  if (IsBitmap()) {
    if (image_ == nullptr) {
      auto shown =
          reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, STM_GETIMAGE, IMAGE_BITMAP, 0));
      if (shown != nullptr)
        image_ = static_cast<HBITMAP>(CopyImage(shown, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    DrawBitmap(dc, image_, client.left, client.top);
    return;
  }
  auto icon = reinterpret_cast<HICON>(SendMessageW(CtrlHandle, STM_GETICON, 0, 0));
  if (icon != nullptr) DrawIconEx(dc, client.left, client.top, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

bool TacLinkWnd::PaintsWindow() const {
  return (GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_STATICEDGE) == 0;
}

void TacLinkWnd::PaintContent(HDC dc, const RECT& client) {
  if (Caption.empty()) return;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  metrics.lfMessageFont.lfUnderline = TRUE;
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  if (font == nullptr) return;
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, static_cast<COLORREF>(SectionFontColor(SkinData, false)));
  const std::wstring text = WithoutAnchors(Wide(Caption));
  RECT r = client;
  InflateRect(&r, 4, 4);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP);
  SelectObject(dc, old);
  // Made for this paint only.
  DeleteObject(font);
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
    case WM_CAPTURECHANGED:
      return true;
    default:
      return TacStaticWnd::RepaintsAfter(msg);
  }
}

void TacBtnWnd::WndProc(TMessage& m) {
  const bool hotChange =
      m.Msg == SM_ALPHACMD && (m.WParamHi() == cmdMouseEnter || m.WParamHi() == cmdMouseLeave);
  TacStaticWnd::WndProc(m);
  if (Destroyed || !SkinUsable() || !PaintsWindow()) return;
  if (hotChange && IsWindowVisible(CtrlHandle))
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  else if (m.Msg == WM_MOUSEMOVE && DefaultManager != nullptr && IsWindowEnabled(CtrlHandle))
    DefaultManager->SetHotWindow(CtrlHandle);
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

SIZE TacBitBtnWnd::CaptionSize(HDC dc) const {
  SIZE text{0, 0};
  if (Caption.empty()) return text;
  const std::wstring w = Wide(Caption);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(CtrlHandle, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &text);
  if (old != nullptr) SelectObject(dc, old);
  return text;
}

void TacBitBtnWnd::PaintContent(HDC dc, const RECT& client) {
  if (auto* button = dynamic_cast<TBitBtn*>(SkinData->OwnerControl)) {
    PaintOwnerGlyph(*button, dc, client);
    return;
  }
  TacBtnWnd::PaintContent(dc, client);
  auto glyph = reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0));
  const SIZE size = BitmapSize(glyph);
  if (size.cx == 0) return;
  // Right of the glyph, 2 pixels apart, the centred caption.
  const SIZE text = CaptionSize(dc);
  const int width = client.right - client.left, height = client.bottom - client.top;
  const int pushed = PaintState() == 2 ? 1 : 0;
  const int captionLeft = (width - text.cx) / 2 - 1;
  DrawBitmap(dc, glyph, client.left + captionLeft - 2 - size.cx,
             client.top + (height - size.cy) / 2 + pushed);
}

void TacBitBtnWnd::PaintOwnerGlyph(TBitBtn& button, HDC dc, const RECT& client) {
  TBitmap& glyph = button.Glyph();
  const int frames = std::max(1, button.NumGlyphs() & 127);
  const TPoint glyphSize{glyph.Empty() ? 0 : glyph.Width() / frames, glyph.Height()};
  const SIZE text = CaptionSize(dc);
  const TRect area{static_cast<int>(client.left), static_cast<int>(client.top),
                   static_cast<int>(client.right), static_cast<int>(client.bottom)};
  TPoint at{};
  TRect textBounds{};
  constexpr std::uint8_t centred = 2;
  LayoutGlyphAndCaption({0, 0, area.Width(), area.Height()}, glyphSize,
                        {static_cast<int>(text.cx), static_cast<int>(text.cy)},
                        static_cast<std::uint8_t>(button.Layout()), centred, button.Margin(),
                        button.Spacing(), at, textBounds, 0);
  const int state = PaintState();
  const int shift = state == 2 ? 1 : 0;
  if (glyphSize.X > 0) {
    // The cache's pixels are written directly: finish the context's drawing.
    GdiFlush();
    DrawMultiStateGlyph(&glyph, SkinData->CacheBmp.get(),
                        {area.Left + at.X + shift, area.Top + at.Y + shift}, frames,
                        IsWindowEnabled(CtrlHandle), dkBlendedBit, state, 0, 0);
  }
  RECT r{area.Left + textBounds.Left + shift, area.Top + textBounds.Top + shift,
         area.Left + textBounds.Right + shift, area.Top + textBounds.Bottom + shift};
  DrawCaptionText(dc, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
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
