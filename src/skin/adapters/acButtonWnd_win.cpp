#include "skin/adapters/acButtonWnd_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "classlib/Buttons.h"
#include "classlib/Graphics.h"
#include "classlib/WideText.h"
#include "skin/adapters/acEditWnd_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/geometry/sButtonLayout.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sMaskPaintControl.h"

namespace kv {
namespace {

// BM_GETSTATE's hot bit (comctl32 6 buttons).
constexpr LRESULT ButtonHot = 0x0200;
// How much of a disabled button's own picture stays over its parent's.
constexpr double DisabledKeeps = 0.4;
// A link's text may run this far past the window's right edge before it wraps.
constexpr int LinkWidening = 4;

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

SIZE WindowSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

POINT PosInParent(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  POINT pos{r.left, r.top};
  if (HWND parent = GetParent(wnd)) ScreenToClient(parent, &pos);
  return pos;
}

bool SectionShowsFocus(const TsCommonData* sd) {
  const TsGeneralData* section = sd->Section();
  return section != nullptr && section->ShowFocus;
}

void FocusFrameAround(HDC dc, RECT r) {
  InflateRect(&r, 1, 1);
  DrawDottedFocusRect(dc, {static_cast<int>(r.left), static_cast<int>(r.top),
                           static_cast<int>(r.right), static_cast<int>(r.bottom)});
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
  // A move shows another part of the parent's background.
  return msg == WM_SETTEXT || msg == WM_ENABLE || msg == WM_SETFONT || msg == WM_MOVE;
}

void TacStaticWnd::SelectCaptionFont(TCanvas& canvas) const {
  if (TControl* owner = SkinData->OwnerControl; owner != nullptr && owner->Font() != nullptr)
    canvas.Font()->Assign(*owner->Font());
  else
    AssignWindowFont(*canvas.Font(), CtrlHandle);
}

void TacStaticWnd::DrawCaptionText(TCanvas& canvas, const RECT& r, UINT flags) const {
  if (Caption.empty()) return;
  WriteSkinText(canvas, Caption, IsWindowEnabled(CtrlHandle) != FALSE,
                {r.left, r.top, r.right, r.bottom}, flags,
                AdapterTextSource(*this, TextTypeCode()), PaintState() != 0);
}

void TacStaticWnd::PaintContent(TCanvas& canvas, const RECT& client) {
  const LONG style = GetWindowLongW(CtrlHandle, GWL_STYLE);
  // "&" marks the mnemonic, as the system's own static shows it.
  UINT flags = DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP;
  if ((style & SS_NOPREFIX) != 0) flags |= DT_NOPREFIX;
  if ((style & SS_TYPEMASK) == SS_CENTER) flags |= DT_CENTER;
  if ((style & SS_TYPEMASK) == SS_RIGHT ||
      (GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RIGHT) != 0)
    flags |= DT_RIGHT;
  SelectCaptionFont(canvas);
  DrawCaptionText(canvas, client, flags);
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

void TacStaticWnd::PaintSectionOverParent(int state) {
  TsBgCacheInfo background;
  GetParentBgInfoByHandle(CtrlHandle, background);
  PaintSectionCache(SkinData, CtrlHandle, state, background);
}

void TacStaticWnd::BuildCache(const RECT& client) {
  const int state = PaintState();
  SkinData->Focused = state == 2;
  SkinData->MouseAbove = state == 1;
  PaintBackground();
  TBitmap* cache = SkinData->CacheBmp.get();
  if (cache == nullptr || cache->Width() == 0) return;
  TBitmapCanvas canvas(*cache);
  PaintContent(canvas, client);
}

void TacStaticWnd::BlendWhenDisabled(const TsBgCacheInfo& background, POINT posInParent) {
  TBitmap* cache = SkinData->CacheBmp.get();
  if (IsWindowEnabled(CtrlHandle) || cache == nullptr || cache->Width() == 0) return;
  // Pixels are blended in place: finish the context's drawing first.
  GdiFlush();
  if (background.Ready && background.Bmp != nullptr) {
    ApplyDisabledKind(cache, dkBlended, SkinData->OwnerControl, {posInParent.x, posInParent.y},
                      background);
    return;
  }
  // A plain parent: 0.4 of the picture kept, see-through pixels untouched.
  const TColor parent =
      background.FillColor == TransparentColor ? clBtnFace : background.FillColor;
  TintBitmap(cache, static_cast<TColor>(ColorToRGB(parent)), TransparentColor, DisabledKeeps);
}

bool TacStaticWnd::MayPaint() {
  SetPaintingSuspended(SkinData, PaintingSuspended(SkinData));
  return !SkinData->Updating;
}

void TacStaticWnd::PaintTo(HDC dc) {
  TsCommonData* sd = SkinData;
  if (dc == nullptr || !MayPaint()) return;
  // The cache holds the whole window; the DC is the client's.
  RECT client{};
  ClientRectInWindow(CtrlHandle, client);
  BuildCache(client);
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Width() == 0) return;
  const int w = client.right - client.left, h = client.bottom - client.top;
  if (LeavesChildWindows()) {
    // Child places are measured from the window's corner, the DC's origin
    // is the client's.
    CopyCacheExceptChildWindows(CtrlHandle, sd, {client.left, client.top}, -client.top,
                                -client.left, dc, {0, 0, w, h});
  } else {
    TBitmapCanvas canvas(*cache);
    BitBlt(dc, 0, 0, w, h, canvas.Handle(), client.left, client.top, SRCCOPY);
  }
  sd->BGChanged = false;
  PaintGraphicChildren(dc);
}

void TacStaticWnd::HandleWithoutRedraw(TMessage& m, bool direct) {
  // The system paints these straight onto the window; with redrawing off
  // it finds the window hidden and leaves it alone.
  SendMessageW(CtrlHandle, WM_SETREDRAW, FALSE, 0);
  if (direct)
    CallPrev(m);
  else
    TacStaticWnd::WndProc(m);
  SendMessageW(CtrlHandle, WM_SETREDRAW, TRUE, 0);
  if (Destroyed) return;
  SkinData->BGChanged = true;
  RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TacStaticWnd::PaintFrameTo(HDC windowDC) {
  if (!MayPaint()) return;
  RECT client{};
  ClientRectInWindow(CtrlHandle, client);
  const SIZE size = WindowSize(CtrlHandle);
  const int frame = std::max(client.left, client.top);
  if (frame <= 0 || windowDC == nullptr) return;
  TBitmap* cache = SkinData->CacheBmp.get();
  if (SkinData->BGChanged || cache == nullptr || cache->Width() != size.cx ||
      cache->Height() != size.cy) {
    BuildCache(client);
    cache = SkinData->CacheBmp.get();
    if (cache == nullptr || cache->Width() == 0) return;
  }
  TBitmapCanvas canvas(*cache);
  CopyBorderStrips(windowDC, 0, 0, size.cx, size.cy, canvas.Handle(), 0, 0, frame);
}

void TacStaticWnd::PrintWindowTo(HDC dc, const std::function<void(HDC)>& paintClient) {
  if (dc == nullptr) return;
  RECT client{};
  ClientRectInWindow(CtrlHandle, client);
  POINT origin{};
  OffsetViewportOrgEx(dc, client.left, client.top, &origin);
  paintClient(dc);
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  PaintFrameTo(dc);
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
  // Without its section the window keeps the system's painting.
  if (!SectionAvailable() || m.Msg == SM_ALPHACMD || Destroyed || !PaintsWindow()) {
    MainWndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT: {
      // A border shows the cache's strips, not the system's frame.
      HDC dc = GetWindowDC(CtrlHandle);
      PaintFrameTo(dc);
      ReleaseDC(CtrlHandle, dc);
      m.Result = 0;
      return;
    }
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
  // The system draws some state changes straight onto the window. A handler
  // of the message may have freed the control with its skin data.
  if (!Destroyed && RepaintsAfter(m.Msg) && IsWindowVisible(CtrlHandle))
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// --- icons, bitmaps and links ----------------------------------------------------------

TacIconWnd::TacIconWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection)
    : TacStaticWnd(skinData, manager, skinSection) {}

TacIconWnd::~TacIconWnd() {
  if (image_ != nullptr) DeleteObject(Uncounted(image_));
}

bool TacIconWnd::IsBitmap() const {
  return (GetWindowLongW(CtrlHandle, GWL_STYLE) & SS_TYPEMASK) != SS_ICON;
}

void TacIconWnd::PaintContent(TCanvas& canvas, const RECT& client) {
  HDC dc = canvas.Handle();
  if (IsBitmap()) {
    auto shown = reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (shown != source_ && image_ != nullptr) {
      DeleteObject(Uncounted(image_));
      image_ = nullptr;
    }
    source_ = shown;
    if (image_ == nullptr && shown != nullptr)
      image_ =
          Counted(static_cast<HBITMAP>(CopyImage(shown, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    DrawBitmap(dc, image_, client.left, client.top);
    return;
  }
  auto icon = reinterpret_cast<HICON>(SendMessageW(CtrlHandle, STM_GETICON, 0, 0));
  if (icon != nullptr) DrawIconEx(dc, client.left, client.top, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

bool TacLinkWnd::PaintsWindow() const {
  return (GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_STATICEDGE) == 0;
}

void TacLinkWnd::PaintContent(TCanvas& canvas, const RECT& client) {
  if (Caption.empty()) return;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  metrics.lfMessageFont.lfUnderline = TRUE;
  AssignLogFont(*canvas.Font(), metrics.lfMessageFont);
  TsSkinTextSource source = AdapterTextSource(*this, TextTypeCode());
  // The message font, not the owner's.
  source.OwnerFont = nullptr;
  RECT r = client;
  r.right += LinkWidening;
  WriteSkinText(canvas, Narrow(WithoutAnchors(Wide(Caption))), IsWindowEnabled(CtrlHandle) != FALSE,
                {r.left, r.top, r.right, r.bottom}, DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP,
                source, false);
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
    case WM_MOVE: {
      // Only a see-through button shows the parent's background: always,
      // or only in its hot look.
      const TsGeneralData* section = SkinData->Section();
      return SectionHasTransparency(SkinData) ||
             (section != nullptr && section->HotTransparency >= 1 && PaintState() == 1);
    }
    default:
      return TacStaticWnd::RepaintsAfter(msg);
  }
}

void TacBtnWnd::WndProc(TMessage& m) {
  if (m.Msg == SM_ALPHACMD && !Destroyed && SectionAvailable() && DefaultManager != nullptr) {
    TsCommonData* sd = SkinData;
    if (m.WParamHi() == cmdMouseEnter && !sd->MouseAbove &&
        DefaultManager->HotWindow() == CtrlHandle) {
      POINT cursor{};
      RECT r{};
      GetCursorPos(&cursor);
      GetWindowRect(CtrlHandle, &r);
      // Announced late: the pointer has gone again.
      if (!PtInRect(&r, cursor)) return;
      sd->MouseAbove = true;
      sd->BGChanged = true;
      if (Glows()) ShowControlGlow(sd, false, CtrlHandle);
    } else if (m.WParamHi() == cmdMouseLeave && sd->MouseAbove) {
      if (Glows()) ClearGlows();
      sd->MouseAbove = false;
      sd->BGChanged = true;
    }
  }
  const bool hotChange =
      m.Msg == SM_ALPHACMD && (m.WParamHi() == cmdMouseEnter || m.WParamHi() == cmdMouseLeave);
  if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) SkinData->Focused = m.Msg == WM_SETFOCUS;
  if (HandleQuietly(m)) return;
  TacStaticWnd::WndProc(m);
  if (Destroyed || !SectionAvailable() || !PaintsWindow()) return;
  if (hotChange && IsWindowVisible(CtrlHandle))
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  if (m.Msg == WM_MOUSEMOVE && DefaultManager != nullptr && IsWindowEnabled(CtrlHandle)) {
    POINT cursor{};
    RECT r{};
    GetCursorPos(&cursor);
    GetWindowRect(CtrlHandle, &r);
    const POINT at{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    RECT client{};
    GetClientRect(CtrlHandle, &client);
    // The message's own position counts: synthetic moves come without the pointer.
    if (PtInRect(&client, at) || PtInRect(&r, cursor))
      DefaultManager->SetHotWindow(CtrlHandle);
    else if (DefaultManager->HotWindow() == CtrlHandle)
      DefaultManager->SetHotWindow(nullptr);
  }
}

bool TacBtnWnd::HandleQuietly(TMessage& m) {
  if (Destroyed || !SectionAvailable()) return false;
  switch (m.Msg) {
    // Focus leaves a button that is being disabled too: the system would
    // take its focus frame off by drawing.
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETSTATE:
    case BM_SETCHECK:
      if (!IsWindowVisible(CtrlHandle)) return false;
      break;
    default:
      return false;
  }
  HandleWithoutRedraw(m, m.Msg == BM_SETSTATE || m.Msg == BM_SETCHECK);
  return true;
}

int TacBtnWnd::PaintState() const {
  const LRESULT state = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
  if ((state & BST_PUSHED) != 0) return 2;
  if (!IsWindowEnabled(CtrlHandle)) return 0;
  const bool hot = DefaultManager != nullptr && DefaultManager->HotWindow() == CtrlHandle;
  const bool isDefault = ButtonType(CtrlHandle) == BS_DEFPUSHBUTTON;
  return GetFocus() == CtrlHandle || hot || isDefault || (state & ButtonHot) != 0 ? 1 : 0;
}

bool TacBtnWnd::Multiline() const {
  return (GetWindowLongW(CtrlHandle, GWL_STYLE) & BS_MULTILINE) != 0;
}

int TacBtnWnd::Width() const { return WindowSize(CtrlHandle).cx; }

int TacBtnWnd::Height() const { return WindowSize(CtrlHandle).cy; }

void TacBtnWnd::BuildCache(const RECT&) { PaintButton(); }

void TacBtnWnd::PaintButton() {
  TsCommonData* sd = SkinData;
  const int state = PaintState();
  // A pressed button shows no halo.
  if (state == 2) ClearGlows();
  RefreshGeometry();
  TsBgCacheInfo background;
  GetParentBgInfoByHandle(CtrlHandle, background);
  PaintSectionCache(sd, CtrlHandle, state, background);
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Width() == 0) return;
  // The nine-part painter keys only the mask's corners; its edges may be
  // see-through too.
  FillBorderFromParent(sd, state, this);
  {
    TBitmapCanvas canvas(*cache);
    DrawCaption(canvas);
    DrawGlyph(canvas.Handle());
  }
  BlendWhenDisabled(background, {WndPos.X, WndPos.Y});
  sd->BGChanged = false;
}

SIZE TacBtnWnd::GetGlyphSize() const { return {0, 0}; }

void TacBtnWnd::DrawGlyph(HDC) {}

int TacBtnWnd::GetMaxTextWidth() const {
  if (Caption.empty()) return 0;
  const SIZE glyph = GetGlyphSize();
  return std::max(0, Width() - 2 - (glyph.cx > 0 ? static_cast<int>(glyph.cx) + 2 : 0));
}

SIZE TacBtnWnd::GetTextSize(HDC dc) {
  if (Caption.empty()) return {0, 0};
  const std::wstring text = Wide(Caption);
  RECT r{0, 0, GetMaxTextWidth(), 0};
  UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_CENTER;
  if (Multiline()) flags |= DT_WORDBREAK;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  return {r.right - r.left, r.bottom - r.top};
}

RECT TacBtnWnd::GetCaptionRect(HDC dc) {
  const SIZE text = GetTextSize(dc);
  const int w = Width(), h = Height();
  RECT r{};
  r.left = (w - text.cx) / 2 - 1;
  r.top = (h - text.cy) / 2;
  r.right = w - r.left + 2;
  r.bottom = h - r.top;
  if (PaintState() == 2) OffsetRect(&r, 1, 1);
  return r;
}

void TacBtnWnd::DrawCaption(TCanvas& canvas) {
  // The glyph is placed by the caption's size in this font too.
  SelectCaptionFont(canvas);
  if (Caption.empty()) return;
  const RECT r = GetCaptionRect(canvas.Handle());
  UINT flags = DT_CENTER | DT_EXPANDTABS;
  if (Multiline()) flags |= DT_WORDBREAK;
  DrawCaptionText(canvas, r, flags);
  const LRESULT state = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
  if (IsWindowEnabled(CtrlHandle) && (state & BST_FOCUS) != 0 && SectionShowsFocus(SkinData))
    FocusFrameAround(canvas.Handle(), r);
}

// --- bit buttons ------------------------------------------------------------------------

TBitBtn* TacBitBtnWnd::OwnerButton() const {
  return dynamic_cast<TBitBtn*>(SkinData->OwnerControl);
}

SIZE TacBitBtnWnd::GetGlyphSize() const {
  if (TBitBtn* button = OwnerButton()) {
    TBitmap& glyph = button->Glyph();
    if (glyph.Empty()) return {0, 0};
    const int frames = std::max(1, button->NumGlyphs() & 127);
    return {glyph.Width() / frames, glyph.Height()};
  }
  return BitmapSize(
      reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0)));
}

int TacBitBtnWnd::GetMaxTextWidth() const {
  TBitBtn* button = OwnerButton();
  if (button == nullptr) return TacBtnWnd::GetMaxTextWidth();
  TsButtonMetrics m;
  m.Width = Width();
  m.HasCaption = !Caption.empty();
  m.Glyph = {static_cast<int>(GetGlyphSize().cx), 0};
  m.Layout = button->Layout();
  m.Margin = button->Margin();
  m.Spacing = button->Spacing();
  return ButtonCaptionWidth(m);
}

RECT TacBitBtnWnd::GetCaptionRect(HDC dc) {
  TBitBtn* button = OwnerButton();
  if (button == nullptr) return TacBtnWnd::GetCaptionRect(dc);
  const SIZE glyph = GetGlyphSize();
  const SIZE text = GetTextSize(dc);
  TPoint at{};
  TRect bounds{};
  constexpr std::uint8_t centred = 2;
  LayoutGlyphAndCaption({0, 0, Width(), Height()},
                        {static_cast<int>(glyph.cx), static_cast<int>(glyph.cy)},
                        {static_cast<int>(text.cx), static_cast<int>(text.cy)},
                        static_cast<std::uint8_t>(button->Layout()), centred, button->Margin(),
                        button->Spacing(), at, bounds, 0);
  RECT r{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
  if (PaintState() == 2) OffsetRect(&r, 1, 1);
  return r;
}

void TacBitBtnWnd::DrawGlyph(HDC dc) {
  const SIZE glyph = GetGlyphSize();
  if (glyph.cx <= 0) return;
  const int w = Width(), h = Height();
  const int state = PaintState();
  const int shift = state == 2 ? 1 : 0;
  TBitBtn* button = OwnerButton();
  if (button == nullptr) {
    // A dialog button's bitmap: right next to the caption's left edge.
    const RECT caption = TacBtnWnd::GetCaptionRect(dc);
    DrawBitmap(dc,
               reinterpret_cast<HBITMAP>(SendMessageW(CtrlHandle, BM_GETIMAGE, IMAGE_BITMAP, 0)),
               caption.left - 2 - glyph.cx, (h - glyph.cy) / 2 + shift);
    return;
  }
  const SIZE text = GetTextSize(dc);
  const int spacing = !Caption.empty() ? button->Spacing() : 0;
  int x = 0, y = 0;
  switch (button->Layout()) {
    case blGlyphRight:
      x = (w - glyph.cx + spacing + text.cx) / 2;
      y = (h - glyph.cy) / 2;
      break;
    case blGlyphTop:
      x = (w - glyph.cx) / 2 + 1;
      y = (h - glyph.cy - text.cy - spacing) / 2;
      break;
    case blGlyphBottom:
      x = (w - glyph.cx) / 2 + 1;
      y = h - (h - glyph.cy - text.cy - spacing) / 2 - glyph.cy;
      break;
    default:
      x = (w - glyph.cx - text.cx - spacing) / 2;
      y = (h - glyph.cy) / 2;
      break;
  }
  // The cache's pixels are written directly: finish the context's drawing.
  GdiFlush();
  DrawButtonGlyph(&button->Glyph(), SkinData->CacheBmp.get(), {x + shift, y + shift},
                  std::max(1, button->NumGlyphs() & 127), IsWindowEnabled(CtrlHandle), dkBlendedBit,
                  state, 0, 0);
}

// --- check boxes and radio buttons ------------------------------------------------------

TacCheckBoxWnd::TacCheckBoxWnd(TsCommonData* skinData, TsSkinManager* manager,
                               std::string_view skinSection)
    : TacBtnWnd(skinData, manager, skinSection, "CHECKBOX") {}

int TacCheckBoxWnd::PaintState() const { return ControlIsHot(SkinData) ? 1 : 0; }

bool TacCheckBoxWnd::IsRadio() const {
  const LONG type = ButtonType(CtrlHandle);
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

int TacCheckBoxWnd::GlyphMaskIndex() const {
  if (SkinManager == nullptr) return -1;
  const TsCommonIndexes& ix = SkinManager->Skin().CommonIndexes;
  const LRESULT check = SendMessageW(CtrlHandle, BM_GETCHECK, 0, 0);
  // Radio buttons have no grayed mask of their own.
  if (check == BST_INDETERMINATE) return ix.BoxGrayed;
  if (IsRadio()) return check == BST_CHECKED ? ix.RadioChecked : ix.RadioUnchecked;
  return check == BST_CHECKED ? ix.BoxChecked : ix.BoxUnchecked;
}

void TacCheckBoxWnd::DrawCheckText(TCanvas& canvas, SIZE glyph, bool glyphAtLeft) {
  if (Caption.empty()) return;
  const int w = Width(), h = Height();
  const int checkArea = glyph.cx + 2;
  const bool multiline = Multiline();
  SelectCaptionFont(canvas);
  HDC dc = canvas.Handle();
  const std::wstring text = Wide(Caption);
  RECT measured{0, 0, std::max(0, w - checkArea), 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
            DT_CALCRECT | (multiline ? DT_WORDBREAK : DT_SINGLELINE));
  const int textW = measured.right - measured.left, textH = measured.bottom - measured.top;
  RECT r{};
  r.top = std::max((h - textH) / 2, 0);
  r.bottom = h - r.top;
  if (glyphAtLeft) {
    r.left = checkArea + 2;
    OffsetRect(&r, multiline ? -1 : 0, -1);
  } else {
    r.left = 2;
  }
  r.right = r.left + textW;
  DrawCaptionText(canvas, r, multiline ? DT_CENTER | DT_WORDBREAK : DT_SINGLELINE);
  if ((SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0) & BST_FOCUS) != 0)
    FocusFrameAround(canvas.Handle(), r);
}

void TacCheckBoxWnd::BuildCache(const RECT&) {
  TsCommonData* sd = SkinData;
  TsBgCacheInfo background;
  GetParentBgInfoByHandle(CtrlHandle, background);
  PaintSectionCache(sd, CtrlHandle, PaintState(), background);
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Width() == 0) return;
  const TsSkinModel& skin = SkinManager->Skin();
  const int index = GlyphMaskIndex();
  TsCheckMetrics m;
  m.Width = cache->Width();
  m.Height = cache->Height();
  m.Radio = IsRadio();
  m.GlyphAtLeft = (GetWindowLongW(CtrlHandle, GWL_STYLE) & BS_LEFTTEXT) == 0;
  // Right at the window's edge.
  m.Margin = 0;
  const bool hasMask = skin.IsMaskIndexValid(index);
  if (hasMask) {
    const TsMaskData& mask = skin.MaskData[static_cast<size_t>(index)];
    m.Glyph = mask.Bmp
                  ? CheckGlyphSize(mask.Bmp->Width(), mask.Bmp->Height())
                  : MaskFrameSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
  }
  {
    TBitmapCanvas canvas(*cache);
    DrawCheckText(canvas, {m.Glyph.cx, m.Glyph.cy}, m.GlyphAtLeft);
  }
  if (hasMask) {
    const TsMaskData& mask = skin.MaskData[static_cast<size_t>(index)];
    const TRect place = CheckGlyphRect(m);
    const LRESULT state = SendMessageW(CtrlHandle, BM_GETSTATE, 0, 0);
    const bool hot = (state & (BST_FOCUS | ButtonHot)) != 0 ||
                     (DefaultManager != nullptr && DefaultManager->HotWindow() == CtrlHandle);
    const int glyphState = CheckGlyphState((state & BST_PUSHED) != 0, hot, false);
    DrawMaskState(cache, {place.Left, place.Top}, glyphState, MakeBgCacheInfo(cache, 0, 0), mask,
                  skin.MasterBitmap.get(), 1);
  }
  BlendWhenDisabled(background, PosInParent(CtrlHandle));
  sd->BGChanged = false;
}

}  // namespace kv
