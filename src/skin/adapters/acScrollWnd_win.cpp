#include "skin/adapters/acScrollWnd_win.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "classlib/Forms.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {
namespace {

// Optional entry points, looked up once: older systems lack them.
struct TacScrollEntries {
  BOOL(WINAPI* GetScrollBarInfo)(HWND, LONG, PSCROLLBARINFO) = nullptr;
  BOOL(WINAPI* InitializeFlatSB)(HWND) = nullptr;
  HRESULT(WINAPI* UninitializeFlatSB)(HWND) = nullptr;
};

const TacScrollEntries& Entries() {
  static const TacScrollEntries entries = [] {
    TacScrollEntries e;
    if (HMODULE user = GetModuleHandleW(L"user32.dll"))
      e.GetScrollBarInfo = reinterpret_cast<decltype(e.GetScrollBarInfo)>(
          reinterpret_cast<void*>(GetProcAddress(user, "GetScrollBarInfo")));
    if (HMODULE comctl = LoadLibraryW(L"comctl32.dll")) {
      e.InitializeFlatSB = reinterpret_cast<decltype(e.InitializeFlatSB)>(
          reinterpret_cast<void*>(GetProcAddress(comctl, "InitializeFlatSB")));
      e.UninitializeFlatSB = reinterpret_cast<decltype(e.UninitializeFlatSB)>(
          reinterpret_cast<void*>(GetProcAddress(comctl, "UninitializeFlatSB")));
    }
    return e;
  }();
  return entries;
}

// One bar of one window can be pressed, and one hovered, at a time.
struct TacScrollTracking {
  HWND Wnd = nullptr;  // the window of the pressed bar
  int PressedBar = -1;
  int PressedPart = spNone;
  int RepeatPart = spNone;  // the pressed part while the pointer is on it
  UINT ScrollMsg = 0;
  UINT_PTR RepeatTimer = 0;
  HWND HoverWnd = nullptr;
  UINT_PTR HoverTimer = 0;
  int HoverBar = -1;
  int HoverPart = spNone;
  TRect HoverRect{};
  // Thumb drag: the geometry at the press, the pointer's offset inside the
  // thumb and the last position sent.
  TacScrollGeometry DragGeometry;
  int DragOffset = 0;
  int DragStart = 0;
  int LastPos = 0;
};

TacScrollTracking& Tracking() {
  static TacScrollTracking t;
  return t;
}

bool IsScrollTimer(WPARAM id) {
  return id == acScrollDelayTimer || id == acScrollRepeatTimer || id == acScrollHoverTimer;
}

int Along(int kind, TPoint p) { return kind == acBarVert ? p.Y : p.X; }

TRect ScreenRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

TPoint MessagePoint() {
  const DWORD pos = GetMessagePos();
  return {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
}

bool ReadScrollInfo(HWND wnd, TacScrollBar& bar) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(wnd, bar.Kind == acBarVert ? SB_VERT : SB_HORZ, &si)) {
    bar.ScrollInfo = {};
    return false;
  }
  bar.ScrollInfo = {si.nMin, si.nMax, si.nPage, si.nPos, si.nTrackPos};
  return true;
}

// One frame of an arrow button's mask, when the skin reserves it a length.
int SkinArrowFrame(const TsSkinModel& skin, int kind) {
  const TsCommonIndexes& c = skin.CommonIndexes;
  if (!skin.IsSectionIndexValid(c.BtnLeft.Section) ||
      !skin.GeneralData[static_cast<size_t>(c.BtnLeft.Section)].ReservedBoolean ||
      !skin.IsMaskIndexValid(c.BtnLeft.Border))
    return 0;
  const int index = kind == acBarVert ? c.BtnTop.Border : c.BtnLeft.Border;
  if (!skin.IsMaskIndexValid(index)) return 0;
  const TsMaskData& m = skin.MaskData[static_cast<size_t>(index)];
  return ScrollArrowFrame(kind, m.R.Width(), m.R.Height(), m.ImageCount, m.MaskType);
}

int SystemThickness(int kind) {
  return GetSystemMetrics(kind == acBarVert ? SM_CXVSCROLL : SM_CYHSCROLL);
}

TacScrollFrame FrameOf(TacScrollWnd* a, HWND wnd) {
  TacScrollFrame f;
  f.Window = ScreenRect(wnd);
  f.FrameWidths = a->FrameWidths;
  f.HorzThickness = a->sBarHorz.Shown ? ScrollBarPartSize(a, a->sBarHorz, spsThickness, false) : 0;
  f.VertThickness = a->sBarVert.Shown ? ScrollBarPartSize(a, a->sBarVert, spsThickness, false) : 0;
  f.LeftScrollBar = a->LeftScrollBar;
  return f;
}

TRect BarRect(TacScrollWnd* a, HWND wnd, int kind) {
  return kind == acBarVert ? VertScrollBarRect(a, wnd) : HorzScrollBarRect(a, wnd);
}

// Painting and hit-testing both place the parts with the skin's arrow
// length, so a click lands on the part drawn under it.
TacScrollGeometry GeometryOf(TacScrollWnd* a, int kind, const TRect& rect) {
  TacScrollBar& bar = a->Bar(kind);
  return ScrollThumbGeometry(bar, rect, ScrollBarPartSize(a, bar, spsArrowLength, true));
}

bool GripApplies(TacScrollWnd* a, HWND wnd, const TRect& corner) {
  TacGripParent p;
  HWND parent = (GetWindowLongW(wnd, GWL_STYLE) & WS_CHILD) != 0 ? GetParent(wnd) : nullptr;
  p.HasParent = parent != nullptr;
  if (parent != nullptr) {
    p.ParentHasParent = (GetWindowLongW(parent, GWL_STYLE) & WS_CHILD) != 0;
    RECT c{};
    GetClientRect(parent, &c);
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&c), 2);
    p.ParentClient = {c.left, c.top, c.right, c.bottom};
  }
  return IsGripCorner(corner, a->FrameWidths, a->LeftScrollBar, p);
}

struct TacBarElements {
  const TsCommonIndexes::ScrollPart *Track1, *Track2, *Thumb, *Btn1, *Btn2;
  const char *Track1Name, *Track2Name;
};

TacBarElements ElementsOf(const TsSkinModel& skin, int kind) {
  const TsCommonIndexes& c = skin.CommonIndexes;
  if (kind == acBarVert)
    return {&c.Bar1V, &c.Bar2V, &c.SliderV, &c.BtnTop, &c.BtnBottom, "SCROLLBAR1V", "SCROLLBAR2V"};
  return {&c.Bar1H, &c.Bar2H, &c.SliderH, &c.BtnLeft, &c.BtnRight, "SCROLLBAR1H", "SCROLLBAR2H"};
}

// What an element looks like when the skin has no section for it: the
// system's own bar parts.
enum class TacPlainLook { Track, Arrow, Thumb };

struct TacPlainPart {
  TacPlainLook Look = TacPlainLook::Track;
  UINT ArrowKind = 0;  // DFCS_SCROLLUP and its kin
};

void PaintPlainElement(const TacPlainPart& plain, int state, bool active, const TRect& r,
                       TBitmap* bitmap) {
  TBitmapCanvas canvas(*bitmap);
  HDC dc = canvas.Handle();
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  switch (plain.Look) {
    case TacPlainLook::Track:
      FillRect(dc, &rc, GetSysColorBrush(state == 2 ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR));
      break;
    case TacPlainLook::Arrow:
      DrawFrameControl(dc, &rc, DFC_SCROLL,
                       plain.ArrowKind | (state == 2 ? DFCS_PUSHED | DFCS_FLAT : 0) |
                           (active ? 0 : DFCS_INACTIVE));
      break;
    case TacPlainLook::Thumb:
      FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT);
      break;
  }
}

void PaintElement(const TsSkinModel& skin, const TsCommonIndexes::ScrollPart& part,
                  const TacPlainPart& plain, const TsBgCacheInfo& bg, int state, bool active,
                  const TRect& r, TPoint offset, TBitmap* bitmap) {
  if (IsRectEmpty(r)) return;
  if (!skin.IsSectionIndexValid(part.Section)) {
    PaintPlainElement(plain, state, active, r, bitmap);
    return;
  }
  PaintSkinItemFast(part.Section, part.Border, part.Pattern, part.HotPattern, 0, bg, true, state, r,
                    {offset.X + r.Left, offset.Y + r.Top}, bitmap, &skin);
}

// The element's glyph centred in the band of the default arrow length at
// the button's outer end (the whole rectangle for the thumb).
void PaintGlyph(const TsSkinModel& skin, const TsCommonIndexes::ScrollPart& part,
                const TsBgCacheInfo& bg, int state, TRect band, TBitmap* bitmap) {
  if (!skin.IsSectionIndexValid(part.Section) || !skin.IsMaskIndexValid(part.Glyph) ||
      IsRectEmpty(band))
    return;
  const TsMaskData& m = skin.MaskData[static_cast<size_t>(part.Glyph)];
  const int w = MaskFrameWidth(m), h = MaskStateHeight(m);
  if (w <= 0 || h <= 0) return;
  const TPoint at{band.Left + (band.Width() - w) / 2, band.Top + (band.Height() - h) / 2};
  DrawMaskState(bitmap, at, std::min<int>(state, std::max(0, m.ImageCount - 1)), bg, m,
                skin.MasterBitmap.get(), 1);
}

TRect OuterBand(int kind, const TRect& button, bool first) {
  const int n = DefaultScrollArrowSize;
  TRect r = button;
  if (kind == acBarVert) {
    if (first)
      r.Bottom = std::min(r.Bottom, r.Top + n);
    else
      r.Top = std::max(r.Top, r.Bottom - n);
  } else {
    if (first)
      r.Right = std::min(r.Right, r.Left + n);
    else
      r.Left = std::max(r.Left, r.Right - n);
  }
  return r;
}

// Where the window's picture lies in its background's bitmap: a form's
// window sits inside the extended border's frame picture.
TPoint BackgroundOffset(const TsCommonData* sd) {
  if (sd == nullptr || sd->OwnerProvider == nullptr || !sd->OwnerProvider->HasBorderForm())
    return {};
  const POINT p = sd->OwnerProvider->FrameCacheOffset();
  return {p.x, p.y};
}

struct TacBarLook {
  int Arrow1 = 0, Arrow2 = 0, Track1 = 0, Track2 = 0, Thumb = 0;
  int ThumbStart = -1;  // -1: where the position puts it
  bool Active = true;
};

// One bar composed off-screen and copied to dc at rect (window coordinates).
void ComposeBar(TacScrollWnd* a, HWND wnd, int kind, HDC dc, const TRect& rect,
                const TacBarLook& look) {
  const TsSkinModel& skin = a->SkinManager->Skin();
  const TacBarElements el = ElementsOf(skin, kind);
  const int w = rect.Width(), h = rect.Height();
  TRect local{0, 0, w, h};
  const TacScrollGeometry g = GeometryOf(a, kind, local);
  const TacScrollPaintRects parts =
      ScrollBarPaintRects(g, kind, local, look.Active, look.ThumbStart);

  TsBgRequest request;
  GetWindowBackgroundInfo(request, wnd, false);
  TsBgCacheInfo bg;
  BackgroundInfoToCacheInfo(request, bg);
  // A window with neither picture nor colour to give (see-through, keeping
  // no picture) has its own colour behind the bar, never the "none" value.
  if (!bg.Ready && bg.FillColor == TransparentColor)
    bg.FillColor = SkinnedBgColor(a->SkinData, false, wnd);
  const TPoint shift = BackgroundOffset(a->SkinData);
  const TPoint offset{rect.Left + shift.X, rect.Top + shift.Y};

  auto bmp = NewBitmap24(w, h);
  TBitmap* b = bmp.get();
  if (!bg.Ready) FillRectWithColor(TBitmapCanvas(*b).Handle(), local, bg.FillColor);
  const bool vert = kind == acBarVert;
  const TacPlainPart track{TacPlainLook::Track};
  const TacPlainPart arrow1{TacPlainLook::Arrow,
                            static_cast<UINT>(vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT)};
  const TacPlainPart arrow2{TacPlainLook::Arrow,
                            static_cast<UINT>(vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT)};
  const TacPlainPart thumb{TacPlainLook::Thumb};
  const bool active = look.Active;
  PaintElement(skin, *el.Track1, track, bg, look.Track1, active, parts.Track1, offset, b);
  PaintElement(skin, *el.Track2, track, bg, look.Track2, active, parts.Track2, offset, b);
  PaintElement(skin, *el.Btn1, arrow1, bg, look.Arrow1, active, parts.FirstArrow, offset, b);
  PaintGlyph(skin, *el.Btn1, bg, look.Arrow1, OuterBand(kind, parts.FirstArrow, true), b);
  PaintElement(skin, *el.Btn2, arrow2, bg, look.Arrow2, active, parts.SecondArrow, offset, b);
  PaintGlyph(skin, *el.Btn2, bg, look.Arrow2, OuterBand(kind, parts.SecondArrow, false), b);
  if (!IsRectEmpty(parts.Thumb)) {
    PaintElement(skin, *el.Thumb, thumb, bg, look.Thumb, active, parts.Thumb, offset, b);
    PaintGlyph(skin, *el.Thumb, bg, look.Thumb, parts.Thumb, b);
  }
  // The system's plain bar shows its own unavailable look.
  if (!look.Active && skin.IsSectionIndexValid(el.Track1->Section)) {
    // Faded into what lies behind it, at 60 percent: the picture where it
    // reaches (the blend keeps to it), else the colour.
    const TRect from{bg.X + offset.X, bg.Y + offset.Y, bg.X + offset.X + w, bg.Y + offset.Y + h};
    if (bg.Ready && bg.Bmp != nullptr)
      BlendBitmapRect(b, 0, 0, bg.Bmp, {from.Left, from.Top, from.Right - 1, from.Bottom - 1}, 0.4,
                      TransparentColor);
    else
      BlendRectWithColor(b, local, 40, bg.FillColor);
  }
  TBitmapCanvas canvas(*b);
  BitBlt(dc, rect.Left, rect.Top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
}

bool PaintScrollBar(TacScrollWnd* a, HWND wnd, int kind, HDC dc, const TRect& rect, int pressedPart,
                    int thumbOverride) {
  if (a->Dragging || a->SkinManager == nullptr) return false;
  const int extent = kind == acBarVert ? rect.Height() : rect.Width();
  if (extent < 2 || (kind == acBarVert ? rect.Width() : rect.Height()) <= 0) return false;
  TacScrollBar& bar = a->Bar(kind);
  ReadScrollInfo(wnd, bar);

  TacBarLook look;
  look.Active = IsScrollBarActive(a, kind);
  if (a->SkinData->OwnerControl != nullptr && !a->SkinData->OwnerControl->Enabled())
    look.Active = false;
  const TacScrollTracking& t = Tracking();
  const bool hovered = t.HoverWnd == wnd && t.HoverBar == kind && look.Active;
  if (t.Wnd == wnd || t.HoverWnd == wnd) {
    look.Arrow1 =
        pressedPart == spFirstArrow ? 2 : (hovered && t.HoverPart == spFirstArrow ? 1 : 0);
    look.Arrow2 =
        pressedPart == spSecondArrow ? 2 : (hovered && t.HoverPart == spSecondArrow ? 1 : 0);
  }
  look.Track1 = pressedPart == spPageBefore ? 2 : 0;
  look.Track2 = pressedPart == spPageAfter ? 2 : 0;
  look.Thumb = hovered && t.HoverPart == spThumb ? 1 : 0;
  if (thumbOverride != -1) look.ThumbStart = thumbOverride;
  ComposeBar(a, wnd, kind, dc, rect, look);
  return true;
}

TRect ToWindow(const TRect& screen, const TRect& window) {
  return {screen.Left - window.Left, screen.Top - window.Top, screen.Right - window.Left,
          screen.Bottom - window.Top};
}

void PaintCorner(TacScrollWnd* a, HWND wnd, HDC dc, const TRect& corner, const TRect& window) {
  const int w = corner.Width(), h = corner.Height();
  if (w <= 0 || h <= 0) return;
  const TRect at = ToWindow(corner, window);
  TsBgRequest request;
  GetWindowBackgroundInfo(request, wnd, false);
  auto bmp = NewBitmap24(w, h);
  if (request.BgType == btBitmap && request.Bmp != nullptr) {
    CopyPixels(bmp.get(), 0, 0, request.Bmp, request.Offset.X + at.Left, request.Offset.Y + at.Top,
               w, h);
  } else {
    FillRectWithColor(TBitmapCanvas(*bmp).Handle(), {0, 0, w, h},
                      static_cast<TColor>(ColorToRGB(request.Color)));
  }
  const TsSkinModel& skin = a->SkinManager->Skin();
  const int grip = skin.MaskIndexOf(skin.CommonIndexes.GlobalInfo, "GLOBALINFO", "GRIPIMAGE");
  if (skin.IsMaskIndexValid(grip) && GripApplies(a, wnd, corner)) {
    const TsMaskData& m = skin.MaskData[static_cast<size_t>(grip)];
    DrawMaskState(bmp.get(), {w - MaskFrameWidth(m), h - MaskStateHeight(m)}, 0, EmptyBgCacheInfo,
                  m, skin.MasterBitmap.get(), 1);
  }
  TBitmapCanvas canvas(*bmp);
  BitBlt(dc, at.Left, at.Top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
}

bool Ours(const TMessage& m, const TsSkinManager* manager) {
  return reinterpret_cast<const TsSkinManager*>(m.LParam) == manager;
}

}  // namespace

// --- geometry --------------------------------------------------------------------------

int ScrollBarPartSize(TacScrollWnd* adapter, const TacScrollBar& bar, int part, bool useSkin) {
  int frame = 0;
  if (useSkin && part == spsArrowLength && adapter != nullptr && adapter->SkinManager != nullptr)
    frame = SkinArrowFrame(adapter->SkinManager->Skin(), bar.Kind);
  return ScrollBarPartSize(bar, part, SystemThickness(bar.Kind), frame);
}

TRect HorzScrollBarRect(TacScrollWnd* adapter, HWND wnd) {
  return HorzScrollBarRect(FrameOf(adapter, wnd));
}

TRect VertScrollBarRect(TacScrollWnd* adapter, HWND wnd) {
  return VertScrollBarRect(FrameOf(adapter, wnd));
}

bool IsScrollBarActive(TacScrollWnd* adapter, int kind) {
  HWND wnd = adapter->CtrlHandle;
  const auto style = static_cast<std::uint32_t>(GetWindowLongW(wnd, GWL_STYLE));
  if (Entries().GetScrollBarInfo == nullptr)
    return IsScrollBarActive(kind, TacBarInfoAnswer::Missing, 0, style);
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  const BOOL ok =
      Entries().GetScrollBarInfo(wnd, kind == acBarVert ? OBJID_VSCROLL : OBJID_HSCROLL, &info);
  return IsScrollBarActive(kind, ok ? TacBarInfoAnswer::Answered : TacBarInfoAnswer::Failed,
                           info.rgstate[0], style);
}

// --- painting --------------------------------------------------------------------------

int DrawWindowScrollBars(TacScrollWnd* a, HWND wnd, HDC dc, int thumbOverride, HRGN /*region*/) {
  if (a == nullptr || a->Destroyed || !a->SkinUsable()) return 0;
  TsCommonData* sd = a->SkinData;
  SetPaintingSuspended(sd, PaintingSuspended(sd));
  if (sd->Updating) return 0;
  if (TControl* owner = sd->OwnerControl; owner != nullptr) {
    auto* win = dynamic_cast<TWinControl*>(owner);
    if ((owner->ControlState() & csCreating) != 0 || (win != nullptr && !win->Showing())) return 0;
  }
  if (sd->BGChanged) SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdFadeStep), 0);
  HDC target = dc != nullptr ? dc : GetWindowDC(wnd);
  const TRect window = ScreenRect(wnd);
  const TacScrollTracking& t = Tracking();
  for (int kind : {acBarHorz, acBarVert}) {
    if (!a->Bar(kind).Shown) continue;
    const int pressed = t.Wnd == wnd && t.PressedBar == kind ? t.RepeatPart : spNone;
    PaintScrollBar(a, wnd, kind, target, ToWindow(BarRect(a, wnd, kind), window), pressed,
                   thumbOverride);
  }
  if (a->sBarHorz.Shown && a->sBarVert.Shown)
    PaintCorner(a, wnd, target, ScrollCornerRect(FrameOf(a, wnd)), window);
  if (dc == nullptr) ReleaseDC(wnd, target);
  return 0;
}

void UpdateScrollBarInfo(TacScrollWnd* a, bool repaint) {
  if (a == nullptr || a->Destroyed || a->SkinData == nullptr || a->SkinData->Updating) return;
  ReadScrollInfo(a->CtrlHandle, a->sBarHorz);
  ReadScrollInfo(a->CtrlHandle, a->sBarVert);
  if (repaint && !AnimationActive) DrawWindowScrollBars(a, a->CtrlHandle, nullptr, -1, nullptr);
}

// --- sending ---------------------------------------------------------------------------

void SendScrollMessage(HWND wnd, UINT message, int code, int position) {
  const auto commandParam = static_cast<LPARAM>(ScrollCommandParam(code, message));
  const bool toolkit =
      SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdBeforeScroll), commandParam) == 1;
  if (!toolkit && code == SB_THUMBTRACK) {
    // The system's bar does not move with a sent message: the window reads
    // the position from it.
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_POS;
    si.nPos = position;
    SetScrollInfo(wnd, message == WM_VSCROLL ? SB_VERT : SB_HORZ, &si, FALSE);
  }
  const TacScrollParams p = ScrollMessageParams(code, position, toolkit);
  SendMessageW(wnd, message, p.WParam, static_cast<LPARAM>(p.LParam));
  SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdAfterScroll), commandParam);
}

// --- the adapter -----------------------------------------------------------------------

TacScrollWnd::TacScrollWnd(TsCommonData* skinData, TsSkinManager* manager,
                           std::string_view skinSection)
    : TacMainWnd(skinData, manager, skinSection) {
  sBarHorz.Kind = acBarHorz;
  sBarVert.Kind = acBarVert;
}

TacScrollWnd::~TacScrollWnd() {
  if (Tracking().Wnd == CtrlHandle || Tracking().HoverWnd == CtrlHandle) StopTracking();
}

void TacScrollWnd::HookWindow(HWND handle, bool repaint) { HookScrollWnd(this, handle, repaint); }

void HookScrollWnd(TacScrollWnd* a, HWND handle, bool repaint) {
  const auto style = static_cast<std::uint32_t>(GetWindowLongW(handle, GWL_STYLE));
  a->LeftScrollBar = (GetWindowLongW(handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  for (int kind : {acBarHorz, acBarVert}) {
    TacScrollBar& bar = a->Bar(kind);
    bar = TacScrollBar{};
    bar.Kind = static_cast<std::uint16_t>(kind);
    bar.Flags = (style & (kind == acBarVert ? WS_VSCROLL : WS_HSCROLL)) != 0 ? acBarHasStyle : 0;
    ReadScrollInfo(handle, bar);
  }
  HookWnd(a, handle);
  SetMinThumbSize(a->sBarHorz, a->sBarVert, acBarsBoth, acDefaultMinThumbLength);
  if (a->HookMode() != TacHookMode::None) RefreshWindowFrame(handle, repaint);
}

void TacScrollWnd::UnhookWindow(bool repaint) {
  if (Destroyed) return;
  StopTracking();
  TacMainWnd::UnhookWindow(repaint);
  sBarHorz.Shown = sBarVert.Shown = false;
}

void UnhookScrollWnd(HWND /*wnd*/, bool free, bool repaint, TacScrollWnd*& adapter) {
  if (adapter == nullptr) return;
  adapter->UnhookWindow(repaint);
  if (free) FreeAdapter(adapter);
}

void TacScrollWnd::StopTracking() {
  TacScrollTracking& t = Tracking();
  HWND wnd = CtrlHandle;
  if (t.Wnd == wnd) {
    if (t.RepeatTimer != 0) {
      KillTimer(wnd, acScrollDelayTimer);
      KillTimer(wnd, acScrollRepeatTimer);
    }
    const bool captured = GetCapture() == wnd && t.PressedPart != spNone;
    TacScrollTracking fresh;
    fresh.HoverWnd = t.HoverWnd;
    fresh.HoverTimer = t.HoverTimer;
    fresh.HoverBar = t.HoverBar;
    fresh.HoverPart = t.HoverPart;
    fresh.HoverRect = t.HoverRect;
    t = fresh;
    Dragging = false;
    if (captured) ReleaseCapture();
  }
  if (t.HoverWnd == wnd) {
    if (t.HoverTimer != 0) KillTimer(wnd, acScrollHoverTimer);
    t.HoverWnd = nullptr;
    t.HoverTimer = 0;
    t.HoverBar = -1;
    t.HoverPart = spNone;
  }
}

void TacScrollWnd::WndProc(TMessage& message) { ScrollWndProc(message); }

void TacScrollWnd::ScrollWndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
      // Nothing may keep scrolling a window that is going.
      StopTracking();
      CallPrev(m);
      return;
    case WM_NCDESTROY:
      StopTracking();
      CallPrev(m);
      if (Hooked()) ReleaseDyingWindow();
      return;
    case WM_UPDATEUISTATE:
      return;
    default:
      break;
  }
  if (Destroyed) return;
  if (!SkinUsable()) {
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinLoaded && Ours(m, SkinManager) &&
        SkinData != nullptr)
      SkinData->RefreshSkinIndexes();
    CallPrev(m);
    return;
  }
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (!ScrollCommand(m)) CallPrev(m);
      return;
    case WM_NCCALCSIZE:
      return NcCalcSize(m);
    case WM_NCHITTEST:
      return NcHitTest(m);
    case WM_NCPAINT:
      // The previous procedure may draw the system's bars into the room the
      // skinned ones take: ours go over them afterwards, unless its handler
      // freed the control with its skin data.
      CallPrev(m);
      if (!Destroyed && IsWindowVisible(CtrlHandle)) {
        SetPaintingSuspended(SkinData, PaintingSuspended(SkinData));
        if (!SkinData->Updating && !ScrollBusy)
          DrawWindowScrollBars(this, CtrlHandle, nullptr, -1, nullptr);
      }
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return NcLButtonDown(m);
    case WM_MOUSEMOVE:
      return MouseMove(m);
    case WM_LBUTTONUP:
      return LButtonUp(m);
    case WM_CAPTURECHANGED:
      // Capture taken away (a modal box, Alt+Tab) ends a press as a release
      // would, or the repeat would run on with nobody holding the button.
      if (Tracking().Wnd == CtrlHandle && Tracking().PressedPart != spNone &&
          reinterpret_cast<HWND>(m.LParam) != CtrlHandle)
        EndPress();
      CallPrev(m);
      return;
    case WM_CANCELMODE:
      if (Tracking().Wnd == CtrlHandle && Tracking().PressedPart != spNone) EndPress();
      CallPrev(m);
      return;
    case WM_TIMER:
      Timer(m);
      if (!ScrollBusy && !Dragging) UpdateScrollBarInfo(this, true);
      return;
    case WM_NCMOUSEMOVE:
      return NcMouseMove(m);
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
        m.Result = 0;
        return;
      }
      break;
    case WM_SYSCOMMAND:
      // The system's own bar tracking would run a modal loop over ours.
      if ((m.WParam & 0xFFF0) == SC_VSCROLL || (m.WParam & 0xFFF0) == SC_HSCROLL) {
        m.Result = 0;
        return;
      }
      break;
    case WM_STYLECHANGED:
      if (Calculating) {
        m.Result = 0;
        return;
      }
      if (static_cast<int>(m.WParam) == GWL_EXSTYLE && m.LParam != 0)
        LeftScrollBar =
            (reinterpret_cast<const STYLESTRUCT*>(m.LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
      break;
    case WM_MOUSEWHEEL:
    case CM_MOUSEWHEEL:
      CallPrev(m);
      if (!ScrollBusy) UpdateScrollBarInfo(this, true);
      return;
    case CM_FOCUSCHANGED:
      CallPrev(m);
      UpdateScrollBarInfo(this, true);
      return;
    default:
      break;
  }
  CallPrev(m);
}

bool TacScrollWnd::ScrollCommand(TMessage& m) {
  TsCommonData* sd = SkinData;
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (!Ours(m, SkinManager)) return false;
      sd->RefreshSkinIndexes();
      ThemeOff();
      SendToChildren(sd->OwnerControl, CtrlHandle, m);
      return false;
    case cmdSkinRemoved:
      if (!Ours(m, SkinManager)) return false;
      RestoreOriginalState();
      ThemeBack();
      return false;
    case cmdSkinRefresh:
      if (!Ours(m, SkinManager)) return false;
      sd->RefreshSkinIndexes();
      sd->BGChanged = true;
      return false;
    case cmdParentPainted:
      if (sd->Updating) {
        if (ResumePaintingAfterParent(sd))
          RedrawWindow(CtrlHandle, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
      }
      return false;
    case cmdIsSkinned:
      m.Result = 1;
      return true;
    case cmdSetSuspended:
      SetPaintingSuspended(sd, m.WParamLo() == 1);
      return false;
    case cmdGetBgColor:
      CallPrev(m);
      if (m.Result == 0) m.Result = static_cast<LRESULT>(SkinnedBgColor(sd, false, CtrlHandle));
      return true;
    case cmdGetBackground: {
      CallPrev(m);
      auto* request = reinterpret_cast<TsBgRequest*>(m.LParam);
      if (request != nullptr && request->BgType == btNoAnswer)
        FillChildBgInfo(sd, *request, false, CtrlHandle);
      return true;
    }
    case cmdGetApplication:
      m.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    default:
      return false;
  }
}

void TacScrollWnd::NcCalcSize(TMessage& m) {
  auto* rects = reinterpret_cast<RECT*>(m.LParam);
  const RECT before = rects[0];
  const auto style = static_cast<std::uint32_t>(GetWindowLongW(CtrlHandle, GWL_STYLE));
  if ((style & (WS_HSCROLL | WS_VSCROLL)) != 0) {
    Calculating = true;
    SetWindowLongW(CtrlHandle, GWL_STYLE, static_cast<LONG>(style & ~(WS_HSCROLL | WS_VSCROLL)));
    CallPrev(m);
    SetWindowLongW(CtrlHandle, GWL_STYLE, static_cast<LONG>(style));
    Calculating = false;
  } else {
    CallPrev(m);
  }
  rects = reinterpret_cast<RECT*>(m.LParam);
  TRect client{rects[0].left, rects[0].top, rects[0].right, rects[0].bottom};
  const TacScrollRoom room =
      ReserveScrollBarRoom({before.left, before.top, before.right, before.bottom}, client, style,
                           LeftScrollBar, ScrollBarPartSize(this, sBarHorz, spsThickness, false),
                           ScrollBarPartSize(this, sBarVert, spsThickness, false));
  FrameWidths = room.FrameWidths;
  sBarHorz.Flags = (style & WS_HSCROLL) != 0 ? acBarHasStyle : 0;
  sBarVert.Flags = (style & WS_VSCROLL) != 0 ? acBarHasStyle : 0;
  sBarHorz.Shown = room.HorzShown;
  sBarVert.Shown = room.VertShown;
  rects[0] = {client.Left, client.Top, client.Right, client.Bottom};
}

void TacScrollWnd::NcHitTest(TMessage& m) {
  const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  const TacScrollFrame f = FrameOf(this, CtrlHandle);
  TacScrollHitFrame h;
  h.Horz = HorzScrollBarRect(f);
  h.Vert = VertScrollBarRect(f);
  h.Corner = ScrollCornerRect(f);
  h.HorzShown = sBarHorz.Shown;
  h.VertShown = sBarVert.Shown;
  h.HorzActive = h.HorzShown && IsScrollBarActive(this, acBarHorz);
  h.VertActive = h.VertShown && IsScrollBarActive(this, acBarVert);
  h.Grip = h.HorzShown && h.VertShown && GripApplies(this, CtrlHandle, h.Corner);
  const int hit = ScrollNcHitTest(h, p);
  if (hit == acHitPassOn)
    CallPrev(m);
  else
    m.Result = hit;
}

void TacScrollWnd::NcLButtonDown(TMessage& m) {
  TacScrollTracking& t = Tracking();
  if (m.WParam != HTHSCROLL && m.WParam != HTVSCROLL) {
    if (t.Wnd == CtrlHandle) t.PressedPart = spNone;
    CallPrev(m);
    return;
  }
  const int kind = m.WParam == HTVSCROLL ? acBarVert : acBarHorz;
  // A bar the system reports unavailable takes no press at all.
  if (!IsScrollBarActive(this, kind)) {
    m.Result = 0;
    return;
  }
  if (t.Wnd != nullptr && t.Wnd != CtrlHandle) {
    if (auto* other = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(t.Wnd))) other->StopTracking();
  }
  const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  const TRect rect = BarRect(this, CtrlHandle, kind);
  const TacScrollGeometry g = GeometryOf(this, kind, rect);
  t.Wnd = CtrlHandle;
  t.PressedBar = kind;
  t.ScrollMsg = kind == acBarVert ? WM_VSCROLL : WM_HSCROLL;
  t.PressedPart = ScrollBarHitTest(g, kind, rect, p);
  TacScrollBar& bar = Bar(kind);
  switch (t.PressedPart) {
    case spFirstArrow:
    case spSecondArrow:
    case spPageBefore:
    case spPageAfter:
      t.RepeatPart = t.PressedPart;
      DrawWindowScrollBars(this, CtrlHandle, nullptr, -1, nullptr);
      ScrollBusy = true;
      SendScrollMessage(CtrlHandle, t.ScrollMsg, t.PressedPart, 0);
      ScrollBusy = false;
      if (Destroyed || t.Wnd != CtrlHandle) return;
      // The window's own update of its bar drew the system's over ours.
      UpdateScrollBarInfo(this, true);
      t.RepeatTimer = SetTimer(CtrlHandle, acScrollDelayTimer, acScrollDelayMs, nullptr);
      break;
    case spThumb:
      t.DragGeometry = g;
      t.DragOffset = Along(kind, p) - g.ThumbStart;
      t.DragStart = g.ThumbStart;
      bar.ScrollInfo.nTrackPos = bar.ScrollInfo.nPos;
      t.LastPos = bar.ScrollInfo.nPos;
      DrawWindowScrollBars(this, CtrlHandle, nullptr, -1, nullptr);
      Dragging = true;
      break;
    default:
      t.PressedPart = spNone;
      CallPrev(m);
      return;
  }
  SetCapture(CtrlHandle);
  m.Result = 0;
}

void TacScrollWnd::TrackPressedPart(TPoint screen) {
  TacScrollTracking& t = Tracking();
  const int kind = t.PressedBar;
  const TRect rect = BarRect(this, CtrlHandle, kind);
  const int part = ScrollBarHitTest(GeometryOf(this, kind, rect), kind, rect, screen);
  const int repeat = part == t.PressedPart ? part : spNone;
  if (repeat == t.RepeatPart) return;
  t.RepeatPart = repeat;
  DrawWindowScrollBars(this, CtrlHandle, nullptr, -1, nullptr);
}

void TacScrollWnd::DragScrollThumb(TPoint screen) {
  TacScrollTracking& t = Tracking();
  const int kind = t.PressedBar;
  const TacScrollGeometry& g = t.DragGeometry;
  const int start = DragThumbStart(g, Along(kind, screen), t.DragOffset);
  TacScrollBar& bar = Bar(kind);
  const std::optional<std::int32_t> pos = ScrollDragPosition(bar.ScrollInfo, g, start);
  if (pos && *pos != t.LastPos) {
    bar.ScrollInfo.nTrackPos = *pos;
    t.LastPos = *pos;
    ScrollBusy = true;
    SendScrollMessage(CtrlHandle, t.ScrollMsg, SB_THUMBTRACK, *pos);
    ScrollBusy = false;
    if (Destroyed || !Dragging) return;
  }
  // Only the dragged bar, straight into the window, and after the window
  // scrolled: its own scroll-bar update draws the system's bar.
  HDC dc = GetWindowDC(CtrlHandle);
  const TRect rect = ToWindow(BarRect(this, CtrlHandle, kind), ScreenRect(CtrlHandle));
  TacBarLook look;
  look.Thumb = 2;
  // The geometry was taken in screen coordinates; the bar paints from 0.
  look.ThumbStart = start - g.Start;
  ComposeBar(this, CtrlHandle, kind, dc, rect, look);
  ReleaseDC(CtrlHandle, dc);
}

void TacScrollWnd::MouseMove(TMessage& m) {
  const TacScrollTracking& t = Tracking();
  if (t.Wnd == CtrlHandle && Dragging) {
    DragScrollThumb(MessagePoint());
    return;
  }
  if (t.Wnd == CtrlHandle && t.PressedPart != spNone) {
    TrackPressedPart(MessagePoint());
    return;
  }
  CallPrev(m);
}

void TacScrollWnd::EndPress() {
  TacScrollTracking& t = Tracking();
  if (t.Wnd != CtrlHandle || t.PressedPart == spNone) return;
  const int part = t.PressedPart;
  const UINT msg = t.ScrollMsg;
  const bool dragged = Dragging;
  const int last = t.LastPos;
  if (t.RepeatTimer != 0) {
    KillTimer(CtrlHandle, acScrollDelayTimer);
    KillTimer(CtrlHandle, acScrollRepeatTimer);
  }
  // Forgotten before capture goes, which reports back here.
  t.PressedPart = t.RepeatPart = spNone;
  t.PressedBar = -1;
  t.RepeatTimer = 0;
  t.ScrollMsg = 0;
  t.Wnd = nullptr;
  Dragging = false;
  if (GetCapture() == CtrlHandle) ReleaseCapture();
  ScrollBusy = true;
  if (dragged) SendScrollMessage(CtrlHandle, msg, SB_THUMBPOSITION, last);
  if (!Destroyed) SendScrollMessage(CtrlHandle, msg, SB_ENDSCROLL, part == spThumb ? last : 0);
  ScrollBusy = false;
  if (!Destroyed) UpdateScrollBarInfo(this, true);
}

void TacScrollWnd::LButtonUp(TMessage& m) {
  // The window has its button-up first: a handler of the scroll messages
  // the press ends with may take the adapter off (or free the control).
  CallPrev(m);
  if (Destroyed) return;
  const TacScrollTracking& t = Tracking();
  if (t.Wnd == CtrlHandle && t.PressedPart != spNone) EndPress();
}

void TacScrollWnd::Timer(TMessage& m) {
  TacScrollTracking& t = Tracking();
  const WPARAM id = m.WParam;
  const bool repeatOurs = t.Wnd == CtrlHandle && t.RepeatTimer != 0;
  const bool hoverOurs = t.HoverWnd == CtrlHandle && t.HoverTimer != 0;
  if (!IsScrollTimer(id) || (id == acScrollHoverTimer ? !hoverOurs : !repeatOurs)) {
    CallPrev(m);
    return;
  }
  if (id == acScrollDelayTimer) {
    KillTimer(CtrlHandle, acScrollDelayTimer);
    t.RepeatTimer = SetTimer(CtrlHandle, acScrollRepeatTimer, acScrollRepeatMs, nullptr);
    return;
  }
  if (id == acScrollRepeatTimer) {
    // The release may have gone elsewhere: a button found up ends the press.
    if ((GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) ==
        0) {
      EndPress();
      return;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPressedPart({cursor.x, cursor.y});
    if (t.RepeatPart == spNone) return;
    ScrollBusy = true;
    SendScrollMessage(CtrlHandle, t.ScrollMsg, t.RepeatPart, 0);
    ScrollBusy = false;
    return;
  }
  if (Dragging) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint p{cursor.x, cursor.y};
  if (PtInRect(t.HoverRect, p)) {
    const TRect rect = BarRect(this, CtrlHandle, t.HoverBar);
    const int part = ScrollBarHitTest(GeometryOf(this, t.HoverBar, rect), t.HoverBar, rect, p);
    if (part == t.HoverPart) return;
    t.HoverPart = part;
  } else {
    KillTimer(CtrlHandle, acScrollHoverTimer);
    t.HoverTimer = 0;
    t.HoverWnd = nullptr;
    t.HoverBar = -1;
    t.HoverPart = spNone;
  }
  DrawWindowScrollBars(this, CtrlHandle, nullptr, -1, nullptr);
}

void TacScrollWnd::NcMouseMove(TMessage& m) {
  TacScrollTracking& t = Tracking();
  if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
    const int kind = m.WParam == HTVSCROLL ? acBarVert : acBarHorz;
    if (t.HoverWnd != CtrlHandle || t.HoverBar != kind) {
      if (t.HoverWnd != nullptr && t.HoverWnd != CtrlHandle) {
        if (auto* other = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(t.HoverWnd)))
          other->StopTracking();
      }
      t.HoverWnd = CtrlHandle;
      t.HoverPart = spNone;
      t.HoverRect = BarRect(this, CtrlHandle, kind);
      t.HoverBar = kind;
      t.HoverTimer = SetTimer(CtrlHandle, acScrollHoverTimer, acScrollHoverMs, nullptr);
      DrawWindowScrollBars(this, CtrlHandle, nullptr, -1, nullptr);
    }
  }
  CallPrev(m);
}

// --- look-ups --------------------------------------------------------------------------

TacScrollBar* ScrollBarOfWindow(HWND wnd, int kind) {
  auto* a = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(wnd));
  if (a == nullptr || (kind != acBarHorz && kind != acBarVert)) return nullptr;
  return &a->Bar(kind);
}

bool ScrollPartPressed(HWND wnd) {
  return wnd != nullptr && Tracking().Wnd == wnd && Tracking().PressedPart != spNone;
}

int SetMinThumbSize(HWND wnd, int kind, int size) {
  auto* a = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(wnd));
  if (a == nullptr) return 0;
  SetMinThumbSize(a->sBarHorz, a->sBarVert, kind, size);
  return 1;
}

void UpdateScrollWndAdapter(TsCommonData* sd, TacScrollWnd*& adapter) {
  if (sd == nullptr) return;
  auto* control = dynamic_cast<TWinControl*>(sd->OwnerControl);
  if (control == nullptr || control->HasState(csLoading | csDestroying | csDesigning)) return;
  if (SkinAvailable(sd, true)) {
    if (Entries().UninitializeFlatSB != nullptr) Entries().UninitializeFlatSB(control->Handle());
    if (adapter != nullptr && adapter->Destroyed) FreeAdapter(adapter);
    if (adapter == nullptr)
      adapter = CreateAdapter<TacScrollWnd>(control->Handle(), true, sd, sd->SkinManager(),
                                            sd->SkinSection());
  } else {
    FreeAdapter(adapter);
    if (Entries().InitializeFlatSB != nullptr) Entries().InitializeFlatSB(control->Handle());
  }
}

}  // namespace kv
