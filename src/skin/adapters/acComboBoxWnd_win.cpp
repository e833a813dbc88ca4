#include "skin/adapters/acComboBoxWnd_win.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "classlib/WideText.h"
#include "skin/adapters/acComboBoxWndLayout.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {
namespace {

// Sent by a combo box to its list when it starts and stops tracking the
// mouse on it (Windows only; Wine sends neither).
constexpr UINT CbTrackStart = 0x1AE;
constexpr UINT CbTrackEnd = 0x1AF;
// The list's border as drawn on print and on its non-client painting.
constexpr int ListPrintBorder = 3;
constexpr int ListNcBorder = 2;

void CopyCacheBorder(TsCommonData* sd, HDC dc, int width) {
  if (dc == nullptr || sd->CacheBmp == nullptr || sd->CacheBmp->Empty()) return;
  TBitmapCanvas cache(*sd->CacheBmp);
  CopyBorderStrips(dc, 0, 0, sd->CacheBmp->Width(), sd->CacheBmp->Height(), cache.Handle(), 0, 0,
                   width);
}

std::uint32_t StyleOf(HWND wnd) {
  return static_cast<std::uint32_t>(GetWindowLongW(wnd, GWL_STYLE));
}

}  // namespace

std::string ComboSelectedText(HWND combo) {
  const auto index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) {
    const auto length = SendMessageW(combo, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto got =
        SendMessageW(combo, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
    return Narrow(text);
  }
  // Asked for its length first: an item may be longer than any buffer
  // picked in advance.
  const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto got = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                reinterpret_cast<LPARAM>(text.data()));
  if (got == CB_ERR || got < 0) return {};
  text.resize(static_cast<size_t>(std::min<LRESULT>(got, length)));
  return Narrow(text);
}

HBRUSH ComboListColors(HWND list, TsSkinManager* manager, HDC dc, bool dialogMode, TBrush& brush) {
  if (list == nullptr || manager == nullptr || dialogMode) return nullptr;
  const auto answer = SendMessageW(list, SM_ALPHACMD, MAKEWPARAM(0, cmdGetSectionIndex), 0);
  const int index = static_cast<int>(answer) - 1;
  const TsSkinModel& skin = manager->Skin();
  if (answer <= 0 || !skin.IsSectionIndexValid(index)) return nullptr;
  const TsGeneralData& section = skin.GeneralData[static_cast<size_t>(index)];
  if (section.FontColor[0] >= 0) SetTextColor(dc, static_cast<COLORREF>(section.FontColor[0]));
  SetBkColor(dc, static_cast<COLORREF>(section.Color));
  brush.SetColor(static_cast<TColor>(section.Color));
  return brush.Handle();
}

// --- the drop-down list ----------------------------------------------------------------

TacComboListWnd::TacComboListWnd(TsCommonData* skinData, TsSkinManager* manager,
                                 std::string_view skinSection)
    : TacEditWnd(skinData, manager, skinSection) {}

void TacComboListWnd::PaintListFrame() {
  RefreshGeometry();
  TsCommonData* sd = SkinData;
  if (Simple) {
    SendMessageW(CtrlHandle, SM_ALPHACMD, MAKEWPARAM(0, cmdFadeStep), 0);
    return;
  }
  sd->RefreshSkinIndexes();
  ApplySkinState();
  PrepareCacheBitmap24(sd);
  sd->CacheBmp->SetSize(WndSize.cx, WndSize.cy);
  if (!sd->CacheBmp->Empty()) {
    TBitmapCanvas canvas(*sd->CacheBmp);
    HDC dc = canvas.Handle();
    HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color)));
    HPEN pen = CreatePen(PS_SOLID, 1, static_cast<COLORREF>(ColorToRGB(FrameColor)));
    {
      const TSelectedObject brushIn(dc, fill);
      const TSelectedObject penIn(dc, pen);
      Rectangle(dc, 0, 0, WndSize.cx, WndSize.cy);
    }
    DeleteObject(pen);
    DeleteObject(fill);
  }
  sd->BGChanged = false;
}

LRESULT TacComboListWnd::HitTest(TPoint screen) {
  TMessage hit{WM_NCHITTEST, 0, MAKELPARAM(screen.X, screen.Y), 0};
  ScrollWndProc(hit);
  return hit.Result;
}

void TacComboListWnd::LButtonUp(TMessage& m) {
  RefreshGeometry();
  POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  ClientToScreen(CtrlHandle, &p);
  const LRESULT hit = HitTest({p.x, p.y});
  if (hit != HTNOWHERE && hit != HTCLIENT) {
    // A release on our bars ends their press. The list never hears of it:
    // it would take a release outside its items for a cancelled pick and
    // scroll back to the old one. A drop-down list keeps the mouse: the
    // combo box is still tracking on it.
    const bool held = GetCapture() == CtrlHandle;
    if (ScrollPartPressed(CtrlHandle))
      EndPress();
    else
      ScrollWndProc(m);
    if (Destroyed) return;
    if (Simple) {
      ReleaseCapture();
    } else if (held && GetCapture() != CtrlHandle && IsWindowVisible(CtrlHandle)) {
      SetCapture(CtrlHandle);
    }
    return;
  }
  CallPrev(m);
  if (!Destroyed && GetCapture() == CtrlHandle) ReleaseCapture();
}

void TacComboListWnd::NcLButtonDown(TMessage& m) {
  m.WParam = static_cast<WPARAM>(HitTest({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}));
  if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) return ScrollWndProc(m);
  // The list's own frame takes no clicks (no sizing, no moving).
  m.Result = 0;
}

void TacComboListWnd::NcPaint(TMessage& m) {
  TsCommonData* sd = SkinData;
  RefreshGeometry();
  PaintListFrame();
  if (!DlgMode) FillBorderFromParent(sd, 0, this);
  {
    const TWindowDC dc(CtrlHandle);
    CopyCacheBorder(sd, dc.Handle(), ListNcBorder);
    DrawWindowScrollBars(this, CtrlHandle, dc.Handle(), -1, nullptr);
  }
  // A simple list may end above its box's bottom: the box's background
  // shows below it.
  HWND parent = GetParent(CtrlHandle);
  if (Simple && parent != nullptr) {
    TsBgCacheInfo bg;
    GetParentBgInfoByHandle(parent, bg);
    RECT box{};
    GetWindowRect(parent, &box);
    const int top = WndRect.Bottom - box.top;
    const int height = box.bottom - WndRect.Bottom;
    if (bg.Ready && bg.Bmp != nullptr && height > 0) {
      POINT at{box.left, box.top};
      ScreenToClient(GetParent(parent) != nullptr ? GetParent(parent) : parent, &at);
      const TWindowDC dc(parent);
      TBitmapCanvas source(*bg.Bmp);
      const int w = box.right - box.left;
      const int sx = bg.X + at.x, sy = bg.Y + at.y + top;
      if (dc.Handle() != nullptr && sx >= 0 && sy >= 0 && sx + w <= bg.Bmp->Width() &&
          sy + height <= bg.Bmp->Height())
        BitBlt(dc.Handle(), 0, top, w, height, source.Handle(), sx, sy, SRCCOPY);
    }
  }
  m.Result = 0;
}

void TacComboListWnd::Print(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  PaintListFrame();
  CallPrev(m);
  if (m.Msg != WM_PRINT || Destroyed) return;
  // An empty list keeps the system's look.
  if (SendMessageW(CtrlHandle, LB_GETCOUNT, 0, 0) <= 0) return;
  if (ScrollPartPressed(CtrlHandle) || Tracking) return;
  CopyCacheBorder(SkinData, dc, ListPrintBorder);
  m.Result = DrawWindowScrollBars(this, CtrlHandle, dc, -1, nullptr);
}

void TacComboListWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) return TacEditWnd::WndProc(m);
  switch (m.Msg) {
    case WM_LBUTTONUP:
      return LButtonUp(m);
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (m.WParam != 0 && IsWindowVisible(CtrlHandle)) return Print(m);
      break;
    case CbTrackStart:
      Tracking = true;
      break;
    case CbTrackEnd:
      Tracking = false;
      SkinData->BGChanged = true;
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_ERASEBKGND:
      return CallPrev(m);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return NcLButtonDown(m);
    case WM_NCCALCSIZE:
      return ScrollWndProc(m);
    case SM_ALPHACMD:
      // A drop-down list's cache is its plain frame, never the section's
      // item: painting that first would be thrown away.
      if (m.WParamHi() == cmdFadeStep && !Simple && SkinData->BGChanged) {
        PaintListFrame();
        return;
      }
      break;
    case WM_NCPAINT:
      // Sending a scroll message, the list repaints its frame: ours is
      // drawn once the scrolling is over.
      if (ScrollBusy) return;
      if (IsWindowVisible(CtrlHandle)) return NcPaint(m);
      break;
    default:
      break;
  }
  TacEditWnd::WndProc(m);
  if (m.Msg == WM_WINDOWPOSCHANGED && !Destroyed) UpdateScrollBarInfo(this, true);
}

// --- the combo box -----------------------------------------------------------------------

TacComboBoxWnd::~TacComboBoxWnd() { FreeAdapter(listAdapter_); }

TacMainWnd* CreateComboBoxAdapter(HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                  std::string_view skinSection, bool repaint) {
  return CreateAdapter<TacComboBoxWnd>(wnd, repaint, skinData, manager, skinSection);
}

bool TacComboBoxWnd::IsSimple() const { return (StyleOf(CtrlHandle) & 3) == CBS_SIMPLE; }

bool TacComboBoxWnd::RightToLeft() const {
  return (GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
}

void PaintComboButton(TBitmap& bmp, TBitmap& background, const TRect& r, int height, int state,
                      const TsSkinModel& skin) {
  const TsCommonIndexes& ix = skin.CommonIndexes;
  if (skin.IsSectionIndexValid(ix.ComboBtn))
    PaintSkinItem(ix.ComboBtn, "COMBOBTN", MakeBgCacheInfo(&background, 0, 0), true, state, r,
                  {r.Left, r.Top}, &bmp, &skin, ix.ComboBtnPattern, ix.ComboBtnHotPattern);
  if (skin.IsMaskIndexValid(ix.ComboGlyph))
    DrawMaskState(&bmp, ComboGlyphPos({bmp.Width(), height}, r, skin.GetMaskStateSize(ix.ComboGlyph)),
                  state, EmptyBgCacheInfo, skin.MaskData[static_cast<size_t>(ix.ComboGlyph)],
                  skin.MasterBitmap.get(), 1);
}

TRect TacComboBoxWnd::GetButtonRect(TSize size) {
  return ComboButtonRect(size, (StyleOf(CtrlHandle) & CBS_DROPDOWN) != 0, RightToLeft(),
                         GetSystemMetrics(SM_CXVSCROLL));
}

void TacComboBoxWnd::PaintButton(HDC target) {
  TsCommonData* sd = SkinData;
  TBitmap* cache = sd->CacheBmp.get();
  const TRect r = GetButtonRect(WndSize);
  if (cache == nullptr || cache->Empty() || r.Width() <= 0 || r.Height() <= 0) return;
  if (r.Right > cache->Width() || r.Bottom > cache->Height()) return;
  int state =
      ControlIsHot(sd) || (DefaultManager != nullptr && DefaultManager->HotWindow() == CtrlHandle)
          ? 1
          : 0;
  if (ListWnd != nullptr && IsWindowVisible(ListWnd)) state = 2;
  TBitmap button = *cache;
  PaintComboButton(button, *cache, r, WndSize.cy, state, SkinManager->Skin());
  TBitmapCanvas source(button);
  if (target != nullptr) {
    BitBlt(target, r.Left, r.Top, r.Width(), r.Height(), source.Handle(), r.Left, r.Top, SRCCOPY);
    return;
  }
  const TWindowDC dc(CtrlHandle);
  if (dc.Handle() != nullptr)
    BitBlt(dc.Handle(), r.Left, r.Top, r.Width(), r.Height(), source.Handle(), r.Left, r.Top,
           SRCCOPY);
}

void TacComboBoxWnd::DrawSelectedText() {
  TsCommonData* sd = SkinData;
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  TBitmapCanvas canvas(*cache);
  if (sd->OwnerControl != nullptr) canvas.Font()->Assign(*sd->OwnerControl->Font());
  const TRect r = ComboTextRect(WndSize, GetButtonRect(WndSize), RightToLeft());
  if (r.Width() <= 0 || r.Height() <= 0) return;
  const std::string text = ComboSelectedText(CtrlHandle);
  if ((StyleOf(CtrlHandle) & 3) == CBS_DROPDOWNLIST && GetFocus() == CtrlHandle) {
    canvas.Brush()->SetColor(clHighlight);
    canvas.Font()->SetColor(clHighlightText);
    canvas.TextRect(r, r.Left + 1, r.Top + 1, text);
    const RECT focus{r.Left, r.Top, r.Right, r.Bottom};
    DrawFocusRect(canvas.Handle(), &focus);
  } else {
    canvas.Brush()->SetStyle(bsClear);
    canvas.TextRect(r, r.Left, r.Top, text);
  }
}

void TacComboBoxWnd::PaintSimpleFrame() {
  TsCommonData* sd = SkinData;
  RefreshGeometry();
  const auto item = SendMessageW(CtrlHandle, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  const int height = std::min<int>(WndSize.cy, static_cast<int>(std::max<LRESULT>(item, 0)) + 8);
  PrepareCacheBitmap24(sd);
  sd->CacheBmp->SetSize(WndSize.cx, height);
  if (sd->CacheBmp->Empty()) return;
  const TColor border = SkinManager->CommonSkinData().BorderColor;
  if (DlgMode && border != TransparentColor) {
    TBitmapCanvas canvas(*sd->CacheBmp);
    FillRectWithColor(canvas.Handle(), {0, 0, WndSize.cx, height},
                      static_cast<TColor>(GetSysColor(COLOR_WINDOW)));
    const RECT all{0, 0, WndSize.cx, height};
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(border));
    FrameRect(canvas.Handle(), &all, brush);
    DeleteObject(brush);
  } else if (SkinManager->Skin().IsSectionIndexValid(sd->SkinIndex)) {
    TsBgCacheInfo bg;
    GetParentBgInfoByHandle(CtrlHandle, bg);
    PaintSkinDataItem(sd, bg, true, 1, {0, 0, WndSize.cx, height}, WndPos, sd->CacheBmp.get());
  }
}

void TacComboBoxWnd::Paint(TMessage& m) {
  TsCommonData* sd = SkinData;
  if (!StateApplied) ApplySkinState();
  RefreshGeometry();
  CallPrev(m);
  if (Destroyed || !IsWindowVisible(CtrlHandle)) return;
  SetPaintingSuspended(sd, PaintingSuspended(sd));
  if (sd->Updating) return;
  HDC given = reinterpret_cast<HDC>(m.WParam);
  const TWindowDC own(given == nullptr ? CtrlHandle : nullptr);
  HDC dc = given != nullptr ? given : own.Handle();
  if (dc == nullptr) return;
  if (IsSimple()) {
    PaintSimpleFrame();
    CopyCacheBorder(sd, dc, acComboFrameWidth);
    return;
  }
  sd->BGChanged = true;
  SendMessageW(CtrlHandle, SM_ALPHACMD, MAKEWPARAM(0, cmdFadeStep), 0);
  if (Destroyed) return;
  CopyCacheBorder(sd, dc, acComboFrameWidth);
  PaintButton(dc);
}

void TacComboBoxWnd::Print(TMessage& m) {
  TsCommonData* sd = SkinData;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  RefreshGeometry();
  SetPaintingSuspended(sd, false);
  sd->BGChanged = true;
  if (!StateApplied) ApplySkinState();
  if (IsSimple())
    PaintSimpleFrame();
  else
    SendMessageW(CtrlHandle, SM_ALPHACMD, MAKEWPARAM(0, cmdFadeStep), 0);
  if (Destroyed || dc == nullptr) return;
  PaintAdapterFrame(sd, CtrlHandle, DlgMode);
  DrawSelectedText();
  FillBorderFromParent(sd, 0, this);
  if (sd->CacheBmp != nullptr && !sd->CacheBmp->Empty()) {
    TBitmapCanvas cache(*sd->CacheBmp);
    BitBlt(dc, 0, 0, sd->CacheBmp->Width(), sd->CacheBmp->Height(), cache.Handle(), 0, 0, SRCCOPY);
  }
  PaintButton(dc);
  m.Result = 0;
}

void TacComboBoxWnd::CtlColorListBox(TMessage& m) {
  TacEditWnd::WndProc(m);
  if (Destroyed) return;
  TsCommonData* sd = SkinData;
  if (ListWnd == nullptr && m.LParam != 0) {
    ListWnd = reinterpret_cast<HWND>(m.LParam);
    if (listAdapter_ == nullptr) {
      // Without an owner control the list serves in the box's dialog mode.
      const bool seed = sd->OwnerControl == nullptr;
      if (seed) acDlgModeSeed = DlgMode;
      listAdapter_ = new TacComboListWnd(nullptr, sd->SkinManager(), "EDIT");
      listAdapter_->Simple = IsSimple();
      listAdapter_->Attach(ListWnd, SendMessageW(CtrlHandle, CB_GETCOUNT, 0, 0) > 0);
      if (seed) acDlgModeSeed = false;
    }
  }
  if (HBRUSH brush = ComboListColors(reinterpret_cast<HWND>(m.LParam), sd->SkinManager(),
                                     reinterpret_cast<HDC>(m.WParam), DlgMode, listBrush_))
    m.Result = reinterpret_cast<LRESULT>(brush);
}

void TacComboBoxWnd::PassToList(const TMessage& m) {
  if (listAdapter_ == nullptr || listAdapter_->Destroyed || ListWnd == nullptr ||
      !IsWindow(ListWnd))
    return;
  SendMessageW(ListWnd, SM_ALPHACMD, m.WParam, m.LParam);
}

void TacComboBoxWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) {
    // The skin going is news for the list as well.
    if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinRemoved) PassToList(m);
    return TacEditWnd::WndProc(m);
  }
  switch (m.Msg) {
    case SM_ALPHACMD:
      switch (m.WParamHi()) {
        case cmdMouseEnter:
        case cmdMouseLeave:
          TacEditWnd::WndProc(m);
          if (!Destroyed) PaintButton(nullptr);
          return;
        case cmdSkinLoaded:
        case cmdSkinRemoved:
        case cmdSkinRefresh:
          TacEditWnd::WndProc(m);
          PassToList(m);
          return;
        default:
          break;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
      TacEditWnd::WndProc(m);
      if (!Destroyed && IsWindowVisible(CtrlHandle)) PaintButton(nullptr);
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_PAINT:
      return Paint(m);
    case WM_PRINT:
      return Print(m);
    case WM_CTLCOLORLISTBOX:
      return CtlColorListBox(m);
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TacEditWnd::WndProc(m);
      if (!Destroyed) SkinData->MouseAbove = m.Msg == CM_MOUSEENTER;
      return;
    case WM_NCCALCSIZE:
      // A combo box has no non-client room of its own, and its scroll
      // style belongs to the list: no bars are reserved here.
      CallPrev(m);
      sBarHorz.Shown = sBarVert.Shown = false;
      FrameWidths = {acComboFrameWidth, acComboFrameWidth, acComboFrameWidth, acComboFrameWidth};
      return;
    default:
      break;
  }
  TacEditWnd::WndProc(m);
}

}  // namespace kv
