#include "skin/adapters/acToolBarWnd_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/Graphics.h"
#include "classlib/WideText.h"
#include "skin/adapters/acEditWnd_win.h"
#include "skin/adapters/acToolBarWndLayout.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/geometry/sStatusBarGeometry.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {
namespace {

// Where a tool button's image sits below its top edge.
constexpr int ToolImageTop = 4;
// Room between a tool button's image and its text, and at the text's sides.
constexpr int ToolTextGap = 2;
// The drop-down arrow keeps this far from the button's right edge.
constexpr int ToolArrowMargin = 2;
// "&" marks a mnemonic, as in every other caption.
constexpr UINT StatusTextFlags = DT_VCENTER | DT_SINGLELINE;

TRect RectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void Blit(HDC dest, const TRect& to, TBitmap& source, TPoint from) {
  TBitmapCanvas canvas(source);
  BitBlt(dest, to.Left, to.Top, to.Width(), to.Height(), canvas.Handle(), from.X, from.Y, SRCCOPY);
}

// The border strips of the window from the cache, onto the window's DC.
void CopyFrameStrips(HWND wnd, TBitmap& cache, int width) {
  if (width <= 0) return;
  HDC dc = GetWindowDC(wnd);
  const int w = cache.Width(), h = cache.Height();
  Blit(dc, {0, 0, w, width}, cache, {0, 0});
  Blit(dc, {0, h - width, w, h}, cache, {0, h - width});
  Blit(dc, {0, width, width, h - width}, cache, {0, width});
  Blit(dc, {w - width, width, w, h - width}, cache, {w - width, width});
  ReleaseDC(wnd, dc);
}

// The text a tool button shows; its length is asked first, since the
// caller cannot know how long it is.
std::string ToolButtonText(HWND bar, int command) {
  const LRESULT length = SendMessageW(bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(command), 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(command),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
  return Narrow(text);
}

// A part's text as the status bar window holds it.
std::string PartText(HWND bar, int part) {
  const LRESULT length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0));
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcsnlen(text.c_str(), static_cast<size_t>(length)));
  return Narrow(text);
}

std::string WindowText(HWND wnd) {
  const LRESULT length = SendMessageW(wnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT got =
      SendMessageW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
  return Narrow(text);
}

TsSkinTextSource TextSource(TsCommonData* sd, int section, std::string_view name, TFont* font) {
  TsSkinTextSource source;
  source.Manager = sd->SkinManager();
  source.SkinIndex = section;
  source.SectionName = std::string(name);
  source.HasParent = true;
  source.CustomFont = sd->CustomFont();
  source.OwnerFont = font;
  return source;
}

}  // namespace

// --- TacToolBarWnd -----------------------------------------------------------------------

bool TacToolBarWnd::Suspended() {
  HWND parent = GetParent(CtrlHandle);
  const bool parentBusy = parent != nullptr &&
                          SendMessageW(parent, SM_ALPHACMD, MAKEWPARAM(0, cmdNeedsRepaint), 0) != 0;
  SetPaintingSuspended(SkinData, parentBusy || PaintingSuspended(SkinData));
  return SkinData->Updating;
}

void TacToolBarWnd::Prepare() {
  RefreshGeometry();
  TsCommonData* sd = SkinData;
  if (!sd->BGChanged && sd->CacheBmp && sd->CacheBmp->Width() == WndSize.cx &&
      sd->CacheBmp->Height() == WndSize.cy)
    return;
  sd->BGChanged = true;
  RECT client{};
  GetClientRect(CtrlHandle, &client);
  ClientRect = RectOf(client);
  PaintAdapterFrame(sd, CtrlHandle, DlgMode);
  FillBorderFromParent(sd, 0, this);
  BorderOffset = std::max(0, (WndSize.cy - ClientRect.Height()) / 2);
  sd->BGChanged = false;
}

void TacToolBarWnd::PaintButton(TBitmap& bitmap, int index) {
  const TsSkinModel& skin = SkinManager->Skin();
  TBBUTTON button{};
  if (SendMessageW(CtrlHandle, TB_GETBUTTON, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&button)) == 0)
    return;
  RECT item{};
  if (SendMessageW(CtrlHandle, TB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item)) == 0)
    return;
  TRect r = RectOf(item);
  OffsetRect(r, BorderOffset, BorderOffset);
  IntersectRect(r, r, {0, 0, bitmap.Width(), bitmap.Height()});
  if (IsRectEmpty(r)) return;
  const TsBgCacheInfo onBitmap = MakeBgCacheInfo(&bitmap, 0, 0);
  if ((button.fsStyle & BTNS_SEP) != 0) {
    const int section = skin.SectionIndexOf("DIVIDER");
    const int mask = skin.MaskIndexOf(section, "DIVIDER", "BORDERSMASK");
    if (!skin.IsMaskIndexValid(mask)) return;
    const TsMaskData& m = skin.MaskData[static_cast<size_t>(mask)];
    const int w = std::min(std::max(2, m.WL + m.WR), r.Width());
    const int x = r.Left + (r.Width() - w) / 2;
    PaintSkinItem(section, "DIVIDER", onBitmap, true, 0, {x, r.Top, x + w, r.Bottom}, {0, 0},
                  &bitmap, &skin);
    return;
  }
  const bool enabled = (button.fsState & TBSTATE_ENABLED) != 0;
  const bool pressed = enabled && (button.fsState & TBSTATE_PRESSED) != 0;
  int state = pressed ? 2 : 0;
  if (enabled && !pressed) {
    POINT p{};
    GetCursorPos(&p);
    if (ScreenToClient(CtrlHandle, &p) && ::PtInRect(&item, p) != FALSE) state = 1;
  }
  const int section = skin.SectionIndexOf("TOOLBUTTON");
  PaintSkinItem(section, "TOOLBUTTON", onBitmap, true, state, r, {0, 0}, &bitmap, &skin);
  const int shift = pressed ? 1 : 0;
  int imageRoom = r.Width();
  const int arrow = skin.MaskIndexByNames("SCROLLBTNBOTTOM", "GLYPHMASK");
  if ((button.fsStyle & BTNS_WHOLEDROPDOWN) != 0 && skin.IsMaskIndexValid(arrow)) {
    const TsMaskData& m = skin.MaskData[static_cast<size_t>(arrow)];
    const int w = MaskFrameWidth(m), h = MaskStateHeight(m);
    if (w > 0 && h > 0) {
      DrawMaskState(&bitmap, {r.Right - ToolArrowMargin - w, r.Top + (r.Height() - h) / 2},
                    std::min(state, std::max(0, m.ImageCount - 1)), onBitmap, m,
                    skin.MasterBitmap.get(), 1);
      imageRoom -= w + ToolArrowMargin;
    }
  }
  TBitmapCanvas canvas(bitmap);
  int textTop = r.Top + ToolTextGap;
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(CtrlHandle, TB_GETIMAGELIST, 0, 0));
  int iw = 0, ih = 0;
  if (images != nullptr && button.iBitmap >= 0 &&
      ImageList_GetIconSize(images, &iw, &ih) != FALSE) {
    const int x = r.Left + (imageRoom - iw) / 2 + shift;
    const int y = r.Top + ToolImageTop + shift;
    ImageList_DrawEx(images, button.iBitmap, canvas.Handle(), x, y, 0, 0, CLR_NONE, CLR_DEFAULT,
                     ILD_NORMAL);
    textTop = y + ih + ToolTextGap;
  }
  const std::string text = ToolButtonText(CtrlHandle, button.idCommand);
  if (text.empty()) return;
  TFont owned;
  AssignWindowFont(owned, CtrlHandle);
  canvas.Font()->Assign(owned);
  canvas.Brush()->SetStyle(bsClear);
  const TRect textRect{r.Left + ToolTextGap, textTop, r.Right - ToolTextGap, r.Bottom};
  WriteSkinText(canvas, text, enabled, textRect, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX,
                TextSource(SkinData, section, "TOOLBUTTON", nullptr), state != 0);
}

void TacToolBarWnd::Paint(HDC given) {
  PAINTSTRUCT ps{};
  HDC dc = given != nullptr ? given : BeginPaint(CtrlHandle, &ps);
  if (!Suspended()) {
    Prepare();
    TBitmap* cache = SkinData->CacheBmp.get();
    if (cache != nullptr && cache->Width() > 0 && cache->Height() > 0) {
      TBitmap bitmap(cache->Width(), cache->Height(), pf24bit);
      CopyPixels(&bitmap, 0, 0, cache, 0, 0, cache->Width(), cache->Height());
      const int count = static_cast<int>(SendMessageW(CtrlHandle, TB_BUTTONCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) PaintButton(bitmap, i);
      const int b = BorderOffset;
      Blit(dc, {0, 0, bitmap.Width() - 2 * b, bitmap.Height() - 2 * b}, bitmap, {b, b});
    }
  }
  if (given == nullptr) EndPaint(CtrlHandle, &ps);
}

void TacToolBarWnd::PaintFrame() {
  if ((GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0 || Suspended()) return;
  Prepare();
  if (SkinData->CacheBmp) CopyFrameStrips(CtrlHandle, *SkinData->CacheBmp, BorderOffset);
}

void TacToolBarWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) return MainWndProc(m);
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      SkinData->BGChanged = true;
      MainWndProc(m);
      if (!Destroyed) SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
      return;
    case WM_PAINT:
      if (!IsWindowVisible(CtrlHandle)) break;
      Paint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_NCPAINT:
      PaintFrame();
      return;
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdParentPainted && SkinData->Updating) {
        SetPaintingSuspended(SkinData, false);
        RedrawWindow(CtrlHandle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        return;
      }
      break;
    default:
      break;
  }
  MainWndProc(m);
}

// --- TacToolBarVCLWnd --------------------------------------------------------------------

void TacToolBarVCLWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) return MainWndProc(m);
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdGetBackground) {
        RefreshGeometry();
        auto* request = reinterpret_cast<TsBgRequest*>(m.LParam);
        if (request == nullptr) return;
        FillChildBgInfo(SkinData, *request, false, CtrlHandle);
        POINT origin{0, 0};
        ClientToScreen(CtrlHandle, &origin);
        request->Offset.X += origin.x - WndRect.Left;
        request->Offset.Y += origin.y - WndRect.Top;
        return;
      }
      break;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      // Without its section the bar keeps the system's background and frame.
      if (!SectionAvailable()) break;
      m.Result = m.Msg == WM_ERASEBKGND ? 1 : 0;
      return;
    default:
      break;
  }
  if (SkinData->OwnerControl != nullptr && PreviewControlMessage(m, SkinData)) return;
  MainWndProc(m);
  if (!Destroyed && m.Msg == WM_SIZE) RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE);
}

// --- TacStatusBarWnd ---------------------------------------------------------------------

TacStatusBarWnd::TacStatusBarWnd(TsCommonData* skinData, TsSkinManager* manager,
                                 std::string_view skinSection)
    : TacMainWnd(skinData, manager, skinSection.empty() ? "STATUSBAR" : skinSection) {
  StatusBar = dynamic_cast<TStatusBar*>(SkinData->OwnerControl);
}

void TacStatusBarWnd::PaintPanel(TBitmap& cache, TCanvas& canvas, const TRect& drawn,
                                 const std::string& text, UINT alignFlags, bool last, bool simple) {
  TsCommonData* sd = SkinData;
  const TsSkinModel& skin = SkinManager->Skin();
  const int mask = skin.MaskIndexOf(sd->SkinIndex, sd->SkinSection(), "STATUSPANELMASK");
  if (skin.IsMaskIndexValid(mask)) {
    const TRect r = simple ? TRect{0, 0, cache.Width(), cache.Height()} : drawn;
    PaintMaskNinePart(&cache, r, true, MakeBgCacheInfo(&cache, 0, 0),
                      skin.MaskData[static_cast<size_t>(mask)], skin.MasterBitmap.get(), 0, true);
  } else if (!last) {
    const int section = skin.SectionIndexOf("DIVIDER");
    const int divider = skin.MaskIndexOf(section, "DIVIDER", "BORDERSMASK");
    if (skin.IsMaskIndexValid(divider)) {
      const TsMaskData& dm = skin.MaskData[static_cast<size_t>(divider)];
      const TRect place = StatusDividerRect(drawn.Right, cache.Height(), dm.WL + dm.WR);
      if (!IsRectEmpty(place)) {
        TBitmap piece(place.Width(), place.Height(), pf24bit);
        PaintSkinItem(section, "DIVIDER", MakeBgCacheInfo(&cache, 0, 0), true, 0,
                      {0, 0, place.Width(), place.Height()}, place.TopLeft(), &piece, &skin);
        CopyPixels(&cache, place.Left, place.Top, &piece, 0, 0, place.Width(), place.Height());
      }
    }
  }
  const std::string shown = CutTextWithEllipsis(canvas, text, drawn.Width());
  if (shown.empty()) return;
  WriteSkinText(canvas, shown, true, drawn, StatusTextFlags | alignFlags,
                TextSource(sd, sd->SkinIndex, sd->SkinSection(),
                           StatusBar != nullptr ? StatusBar->Font() : nullptr),
                false);
}

void TacStatusBarWnd::PaintPanels(TBitmap& cache) {
  TBitmapCanvas canvas(cache);
  if (StatusBar != nullptr) {
    canvas.Font()->Assign(*StatusBar->Font());
  } else {
    TFont font;
    AssignWindowFont(font, CtrlHandle);
    canvas.Font()->Assign(font);
  }
  canvas.Brush()->SetStyle(bsClear);
  if (SendMessageW(CtrlHandle, SB_ISSIMPLE, 0, 0) != 0) {
    const TRect whole{0, 1, cache.Width() - 1, cache.Height() - 1};
    std::string text = WindowText(CtrlHandle);
    if (text.empty()) text = PartText(CtrlHandle, SB_SIMPLEID);
    PaintPanel(cache, canvas, whole, text, DT_LEFT, true, true);
    return;
  }
  const int parts = static_cast<int>(SendMessageW(CtrlHandle, SB_GETPARTS, 0, 0));
  for (int i = 0; i < parts; ++i) {
    RECT part{};
    if (SendMessageW(CtrlHandle, SB_GETRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&part)) == 0)
      continue;
    TRect drawn = RectOf(part);
    InflateRect(drawn, -1, -1);
    // A plain status bar window keeps its texts itself.
    std::string text = StatusBar == nullptr ? PartText(CtrlHandle, i) : std::string();
    UINT align = DT_LEFT;
    // A part beyond the class library's panels has no text of its own.
    if (StatusBar != nullptr) {
      TStatusPanels* panels = StatusBar->Panels();
      if (panels->Count() == 0) {
        text = StatusBar->SimpleText();
      } else if (i < panels->Count()) {
        text = panels->Items(i)->Text();
        align = AlignmentTextFlags(StatusBar, panels->Items(i)->Alignment());
      }
    }
    PaintPanel(cache, canvas, drawn, text, align, i + 1 == parts, false);
  }
}

void TacStatusBarWnd::Paint(HDC given) {
  RefreshGeometry();
  TsCommonData* sd = SkinData;
  // The section in its normal state, whether or not the bar is enabled.
  TsBgCacheInfo background;
  GetParentBgInfoByHandle(CtrlHandle, background);
  PaintSectionCache(sd, CtrlHandle, 0, background);
  sd->BGChanged = false;
  if (!sd->CacheBmp || sd->CacheBmp->Width() <= 0 || sd->CacheBmp->Height() <= 0) return;
  PaintPanels(*sd->CacheBmp);
  HDC dc = given != nullptr ? given : GetDC(CtrlHandle);
  Blit(dc, {0, 0, sd->CacheBmp->Width(), sd->CacheBmp->Height()}, *sd->CacheBmp, {0, 0});
  if (given == nullptr) ReleaseDC(CtrlHandle, dc);
}

void TacStatusBarWnd::PaintFrame() {
  if (StatusBar == nullptr) return;
  TsCommonData* sd = SkinData;
  if (sd->BGChanged || !sd->CacheBmp) Paint(nullptr);
  if (sd->CacheBmp) CopyFrameStrips(CtrlHandle, *sd->CacheBmp, StatusBar->BorderWidth());
}

void TacStatusBarWnd::WndProc(TMessage& m) {
  // Without its section the bar keeps the system's painting.
  if (Destroyed || !Hooked() || !SectionAvailable()) return MainWndProc(m);
  switch (m.Msg) {
    case WM_PAINT: {
      if (m.WParam != 0) {
        Paint(reinterpret_cast<HDC>(m.WParam));
        return;
      }
      InvalidateRect(CtrlHandle, nullptr, TRUE);
      PAINTSTRUCT ps;
      BeginPaint(CtrlHandle, &ps);
      EndPaint(CtrlHandle, &ps);
      return;
    }
    case WM_ERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_NCPAINT:
      if (!SkinChanging) PaintFrame();
      return;
    default:
      break;
  }
  MainWndProc(m);
  if (!Destroyed && m.Msg == WM_SIZE)
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

// --- TacSpeedButtonHandler ---------------------------------------------------------------

namespace {

// The class library keeps the state a button is held in to itself; its own
// painting reads it, and so does the skinned one.
struct TSpeedButtonAccess : TSpeedButton {
  static TButtonState StateOf(const TSpeedButton& button) {
    return (button.*(&TSpeedButtonAccess::State))();
  }
};

// Down, or held down by the mouse.
bool SpeedButtonHeld(const TSpeedButton& button) {
  const TButtonState state = TSpeedButtonAccess::StateOf(button);
  return button.Down() || state == bsDown || state == bsExclusive;
}

}  // namespace

TacSpeedButtonHandler::TacSpeedButtonHandler(TSpeedButton* button, bool repaint,
                                             std::string_view skinSection, TsSkinManager* manager,
                                             TsCommonData* skinData)
    : Button(button), SkinData(skinData) {
  if (SkinData == nullptr) {
    ownSkinData_ = std::make_unique<TsCommonData>(button, true);
    SkinData = ownSkinData_.get();
    if (manager != nullptr) SkinData->SetSkinManager(manager);
  }
  SkinManager = manager != nullptr ? manager : SkinData->SkinManager();
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(std::string(skinSection));
  if (Button == nullptr) {
    Destroyed = true;
    return;
  }
  hook_ = Button->InstallWindowProcHook(TWndMethod([this](TMessage& m) {
    try {
      WndProc(m);
    } catch (...) {
      HandleEntryException(Button);
    }
  }));
  if (repaint) Invalidate();
}

TacSpeedButtonHandler::~TacSpeedButtonHandler() {
  // A button freed before its handler is not touched: it left the chain.
  const bool buttonThere = Hooked();
  // The hook goes back even during mass freeing: the button outlives us.
  hook_.Remove();
  Destroyed = true;
  if (buttonThere && Button != nullptr && !Button->HasState(csDestroying)) Button->Invalidate();
}

void TacSpeedButtonHandler::Invalidate() {
  if (Button != nullptr && Button->Visible()) Button->Invalidate();
}

void TacSpeedButtonHandler::PrepareCache() {
  TsCommonData* sd = SkinData;
  PrepareCacheBitmap24(sd);
  TBitmap* cache = sd->CacheBmp.get();
  const int w = Button->Width(), h = Button->Height();
  cache->SetSize(std::max(w, 0), std::max(h, 0));
  if (w < 1 || h < 1) return;
  TsBgRequest request;
  TsBgCacheInfo background = EmptyBgCacheInfo;
  if (Button->Parent() != nullptr) {
    GetControlBackgroundInfo(request, Button->Parent(), false);
    BackgroundInfoToCacheInfo(request, background);
  }
  const int state = SpeedButtonHeld(*Button) ? 2 : ControlIsHot(sd) ? 1 : 0;
  const TPoint at{Button->Left(), Button->Top()};
  PaintSkinDataItem(sd, background, true, state, {0, 0, w, h}, at, cache);
  RefreshCacheCorners(sd, state);
  TBitmap& glyph = Button->Glyph();
  const int frames = std::max(1, Button->NumGlyphs() & 127);
  const TPoint glyphSize = glyph.Width() > 0 && glyph.Height() > 0
                               ? TPoint{glyph.Width() / frames, glyph.Height()}
                               : TPoint{0, 0};
  TBitmapCanvas canvas(*cache);
  canvas.Font()->Assign(*Button->Font());
  canvas.Brush()->SetStyle(bsClear);
  const std::string caption = Button->Caption();
  TPoint textSize{};
  if (!caption.empty()) {
    TRect measure{0, 0, 255, 0};
    DrawTextString(canvas.Handle(), caption, measure, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    textSize = {measure.Width(), measure.Height()};
  }
  const TacSpeedButtonPlaces places =
      SpeedButtonPlaces({w, h}, {glyphSize.X, glyphSize.Y}, {textSize.X, textSize.Y},
                        Button->Layout(), Button->Margin(), Button->Spacing(), state == 2);
  const TRect& textRect = places.Caption;
  // The glyph as the button holds it: a 32-bit one keeps its alpha.
  if (glyphSize.X > 0)
    DrawButtonGlyph(&glyph, cache, places.Glyph, frames, Button->Enabled(), dkBlendedBit, state, 0,
                    0);
  if (!caption.empty()) {
    TsSkinTextSource source = TextSource(sd, sd->SkinIndex, sd->SkinSection(), Button->Font());
    source.IsGraphicControl = true;
    WriteSkinText(canvas, caption, Button->Enabled(), textRect,
                  DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS, source, state != 0);
  }
  if (!Button->Enabled()) {
    TsBgCacheInfo parentBg;
    GetParentBgInfo(sd, parentBg);
    ApplyDisabledKind(cache, dkBlended, Button, at, parentBg);
  }
  sd->BGChanged = false;
}

void TacSpeedButtonHandler::Paint(HDC dc) {
  const TSavedDC saved(dc);
  PrepareCache();
  if (SkinData->CacheBmp && Button->Width() > 0 && Button->Height() > 0)
    Blit(dc, {0, 0, Button->Width(), Button->Height()}, *SkinData->CacheBmp, {0, 0});
}

bool TacSpeedButtonHandler::Command(TMessage& m) {
  TsCommonData* sd = SkinData;
  const bool ours = reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager;
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (ours) PreviewControlMessage(m, sd);
      return true;
    case cmdSkinRemoved:
      if (ours && !Button->HasState(csDestroying)) {
        PreviewControlMessage(m, sd);
        Invalidate();
      }
      return false;
    case cmdSkinRefresh:
      if (ours) {
        PreviewControlMessage(m, sd);
        sd->RefreshSkinIndexes();
        Invalidate();
      }
      return true;
    case cmdParentPainted:
      if (sd->Updating) {
        SetPaintingSuspended(sd, false);
        Invalidate();
      }
      return true;
    case cmdIsSkinned:
      m.Result = 1;
      return true;
    case cmdRepaintNow:
      SetPaintingSuspended(sd, false);
      sd->BGChanged = true;
      Invalidate();
      return false;
    case cmdGetApplication:
      m.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    default:
      return false;
  }
}

void TacSpeedButtonHandler::WndProc(TMessage& m) {
  const bool usable = !Destroyed && SkinManager != nullptr && SkinManager->Active();
  if (usable) {
    switch (m.Msg) {
      case SM_ALPHACMD:
        if (Command(m)) return;
        break;
      case WM_PAINT:
        if (m.WParam == 0) break;
        Paint(reinterpret_cast<HDC>(m.WParam));
        return;
      case CM_MOUSEENTER:
      case CM_MOUSELEAVE:
        SkinData->MouseAbove = m.Msg == CM_MOUSEENTER;
        hook_.CallPrevious(m);
        Invalidate();
        return;
      default:
        break;
    }
  }
  hook_.CallPrevious(m);
}

std::unique_ptr<TacSpeedButtonHandler> CreateSpeedButtonHandler(TSpeedButton* button,
                                                                std::string_view section,
                                                                TsSkinManager* manager,
                                                                TsCommonData* skinData) {
  return std::make_unique<TacSpeedButtonHandler>(button, true, section, manager, skinData);
}

// --- factories ---------------------------------------------------------------------------

TacMainWnd* CreateToolBarAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                 std::string_view section, bool repaint) {
  return CreateAdapter<TacToolBarWnd>(handle, repaint, skinData, manager, section);
}

TacMainWnd* CreateToolBarVCLAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                    std::string_view section, bool repaint) {
  return CreateAdapter<TacToolBarVCLWnd>(handle, repaint, skinData, manager, section);
}

TacMainWnd* CreateStatusBarAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                   std::string_view section, bool repaint) {
  return CreateAdapter<TacStatusBarWnd>(handle, repaint, skinData, manager, section);
}

}  // namespace kv
