#include "skin/adapters/acTabWnd_win.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/WideText.h"
#include "skin/adapters/acEditWnd_win.h"
#include "skin/adapters/acToolBarWnd_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sSectionPaint.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {
namespace {

// "&" marks the mnemonic, as the system's own tabs show it.
constexpr UINT CaptionFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
// Room between a side tab's image and its text.
constexpr int SideImageGap = 4;
// The longest tab text read.
constexpr int TabTextMax = 4096;
// A sheet's edge on the tab side shows the page frame even when the sheet
// itself is a plain colour.
constexpr int SheetEdgeStrip = 3;
// Asked of a tab or page control, the number a group box answers with its
// caption height gives the control's skin manager.
constexpr TacCommand cmdGetTabManager = cmdGetCaptionHeight;

bool Ours(const TMessage& m, const TsSkinManager* manager) {
  return reinterpret_cast<const TsSkinManager*>(m.LParam) == manager;
}

void Blit(HDC dest, const TRect& to, TBitmap& source, TPoint from) {
  TBitmapCanvas canvas(source);
  BitBlt(dest, to.Left, to.Top, to.Width(), to.Height(), canvas.Handle(), from.X, from.Y, SRCCOPY);
}

// The sheet adapters made by page control adapters; each leaves the list
// when its window goes, the rest are freed at the end of the program.
class TPageAdapters {
 public:
  ~TPageAdapters() {
    for (TacPageWnd* adapter : adapters_) FreeAdapter(adapter);
  }
  void Add(TacPageWnd* adapter) { adapters_.push_back(adapter); }
  // False when the adapter was not in the list.
  bool Remove(TacPageWnd* adapter) {
    const auto it = std::find(adapters_.begin(), adapters_.end(), adapter);
    if (it == adapters_.end()) return false;
    adapters_.erase(it);
    return true;
  }
  int Count() const { return static_cast<int>(adapters_.size()); }

 private:
  std::vector<TacPageWnd*> adapters_;
};

struct TFoundPages {
  HWND parent;
  std::vector<HWND> pages;
};

BOOL CALLBACK CollectPage(HWND child, LPARAM data) {
  auto* found = reinterpret_cast<TFoundPages*>(data);
  if (GetParent(child) == found->parent) found->pages.push_back(child);
  return TRUE;
}

TPageAdapters& PageAdapters() {
  static TPageAdapters list;
  return list;
}

// A quarter-turned copy of the font for side tabs; freed with the object.
class TRotatedFont {
 public:
  TRotatedFont(HFONT upright, bool left) {
    LOGFONTW lf{};
    GetObjectW(upright, sizeof lf, &lf);
    lf.lfWeight = FW_NORMAL;
    // Left tabs read upwards, right tabs downwards.
    lf.lfEscapement = lf.lfOrientation = left ? 900 : 2700;
    if (lstrcmpiW(lf.lfFaceName, L"MS Sans Serif") == 0) lstrcpyW(lf.lfFaceName, L"Arial");
    font_ = Counted(CreateFontIndirectW(&lf));
  }
  ~TRotatedFont() {
    if (font_ != nullptr) DeleteObject(Uncounted(font_));
  }
  TRotatedFont(const TRotatedFont&) = delete;
  TRotatedFont& operator=(const TRotatedFont&) = delete;
  HFONT Handle() const { return font_; }

 private:
  HFONT font_ = nullptr;
};

}  // namespace

// --- TacTabControlWnd --------------------------------------------------------------------

TacTabControlWnd::TacTabControlWnd(TsCommonData* skinData, TsSkinManager* manager,
                                   std::string_view skinSection)
    : TacMainWnd(skinData, manager, skinSection.empty() ? "PAGECONTROL" : skinSection) {}

TacTabControlWnd::~TacTabControlWnd() { FreeAdapter(Spin); }

TacTabKind TacTabControlWnd::Kind() const {
  return TabKindOfStyle(static_cast<std::uint32_t>(GetWindowLongW(CtrlHandle, GWL_STYLE)));
}

TRect TacTabControlWnd::GetDisplayRect() {
  RECT r{0, 0, WndSize.cx, WndSize.cy};
  SendMessageW(CtrlHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return {r.left, r.top + 2, r.right, r.bottom};
}

TRect TacTabControlWnd::GetPageRect() { return PageAreaRect(Layout()); }

TsTabLayout TacTabControlWnd::Layout() {
  RefreshGeometry();
  const TacTabKind kind = Kind();
  TsTabLayout l;
  l.Style = kind.Style;
  l.TabPosition = kind.Position;
  l.Width = WndSize.cx;
  l.Height = WndSize.cy;
  l.DisplayRect = GetDisplayRect();
  l.RowCount = std::max(1, static_cast<int>(SendMessageW(CtrlHandle, TCM_GETROWCOUNT, 0, 0)));
  l.HasActivePage = SendMessageW(CtrlHandle, TCM_GETCURSEL, 0, 0) >= 0;
  const int count = static_cast<int>(SendMessageW(CtrlHandle, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT r{};
    if (SendMessageW(CtrlHandle, TCM_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&r)) == 0)
      r = {};
    l.ItemRects.push_back({r.left, r.top, r.right, r.bottom});
    l.PageTabIndexes.push_back(i);
  }
  return l;
}

void TacTabControlWnd::UpdateSpin() {
  HWND scroller =
      CtrlHandle != nullptr ? FindWindowExW(CtrlHandle, nullptr, UPDOWN_CLASSW, nullptr) : nullptr;
  if (scroller == nullptr || Destroyed || !SectionAvailable()) {
    FreeAdapter(Spin);
    return;
  }
  if (Spin != nullptr && Spin->CtrlHandle == scroller && !Spin->Destroyed) return;
  FreeAdapter(Spin);
  Spin = CreateAdapter<TacSpinWnd>(scroller, true, nullptr, SkinManager, "UPDOWNBTN");
}

void TacTabControlWnd::DrawCaption(TBitmap& bitmap, const TRect& r, int index, int section,
                                   bool hot) {
  std::wstring text(TabTextMax, L'\0');
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
  item.pszText = text.data();
  item.cchTextMax = TabTextMax;
  if (SendMessageW(CtrlHandle, TCM_GETITEMW, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item)) == 0)
    return;
  text.resize(wcsnlen(text.c_str(), TabTextMax));
  const std::string caption = Narrow(text);
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(CtrlHandle, TCM_GETIMAGELIST, 0, 0));
  int iw = 0, ih = 0;
  const bool withImage =
      images != nullptr && item.iImage >= 0 && ImageList_GetIconSize(images, &iw, &ih) != FALSE;
  TBitmapCanvas canvas(bitmap);
  TFont font;
  AssignWindowFont(font, CtrlHandle);
  canvas.Font()->Assign(font);
  canvas.Brush()->SetStyle(bsClear);
  const TTabPosition position = Kind().Position;
  if (position == tpTop || position == tpBottom) {
    const TSize extent = canvas.TextExtent(caption);
    const TsTabCaption place =
        TabCaptionLayout(r, extent.cx, withImage ? TPoint{iw, ih} : TPoint{0, 0});
    if (withImage)
      ImageList_Draw(images, item.iImage, canvas.Handle(), place.ImagePos.X, place.ImagePos.Y,
                     ILD_TRANSPARENT);
    WriteSectionText(canvas, caption, true, place.TextRect, CaptionFlags, section, hot,
                     SkinManager);
    return;
  }
  const bool left = position == tpLeft;
  // A new font each paint, deleted when done: the tab text is rare enough
  // and a kept one would outlive font changes.
  const TRotatedFont rotated(font.Handle(), left);
  const TSelectedObject rotatedFont(canvas.Handle(), rotated.Handle());
  const TsSkinModel& skin = SkinManager->Skin();
  const TsGeneralData* g = skin.IsSectionIndexValid(section) ? &skin.GeneralData[section] : nullptr;
  const TColor colour = g == nullptr ? clWindowText : hot ? g->HotFontColor[0] : g->FontColor[0];
  SetTextColor(canvas.Handle(), static_cast<COLORREF>(ColorToRGB(colour)));
  SetBkMode(canvas.Handle(), TRANSPARENT);
  // Measured in the turned font (never bold): along the tab the text is as
  // long as it is wide.
  SIZE extent{};
  GetTextExtentPoint32W(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &extent);
  const int length = extent.cx, thickness = extent.cy;
  const int block = withImage ? ih + SideImageGap + length : length;
  // The skin's side tabs carry their edge on the page side: the caption
  // sits off it, and a selected tab's image block a little further.
  TRect place = r;
  if (!left) OffsetRect(place, -2, -1);
  if (withImage && hot) OffsetRect(place, 2, 0);
  const TRect& q = place;
  int x = q.Left + (q.Width() - thickness) / 2;
  int y = 0;
  if (left) {
    const int bottom = q.Bottom - (q.Height() - block) / 2;
    if (withImage)
      ImageList_Draw(images, item.iImage, canvas.Handle(), q.Left + (q.Width() - iw) / 2,
                     bottom - ih, ILD_TRANSPARENT);
    y = withImage ? bottom - ih - SideImageGap : bottom;
  } else {
    const int top = q.Top + (q.Height() - block) / 2;
    if (withImage)
      ImageList_Draw(images, item.iImage, canvas.Handle(), q.Left + (q.Width() - iw) / 2, top,
                     ILD_TRANSPARENT);
    y = withImage ? top + ih + SideImageGap : top;
    // Turned clockwise the text lies left of where it starts.
    x += thickness;
  }
  if (!text.empty()) TextOutW(canvas.Handle(), x, y, text.c_str(), static_cast<int>(text.size()));
}

void TacTabControlWnd::DrawTab(TBitmap& bitmap, TPoint origin, const TsTabLayout& layout, int index,
                               bool selected) {
  const TRect r = SkinTabRect(layout, index, selected);
  if (IsRectEmpty(r)) return;
  const TsSkinModel& skin = SkinManager->Skin();
  const std::string_view name = TabItemSection(Kind());
  const int section = skin.SectionIndexOf(name);
  if (!skin.IsSectionIndexValid(section)) return;
  // Painted on its own bitmap: a tab may reach past the window's edge.
  TBitmap tab(r.Width(), r.Height(), pf24bit);
  TRect at = r;
  OffsetRect(at, origin.X, origin.Y);
  CopyPixels(&tab, 0, 0, &bitmap, at.Left, at.Top, r.Width(), r.Height());
  PaintSkinItem(section, name, MakeBgCacheInfo(&tab, 0, 0), true, selected ? 2 : 0,
                {0, 0, r.Width(), r.Height()}, {0, 0}, &tab, &skin);
  DrawCaption(tab, {0, 0, r.Width(), r.Height()}, index, section, selected);
  CopyPixels(&bitmap, at.Left, at.Top, &tab, 0, 0, r.Width(), r.Height());
}

void TacTabControlWnd::BuildCache(const TsTabLayout& layout) {
  TsCommonData* sd = SkinData;
  const TsSkinModel& skin = SkinManager->Skin();
  const bool hasTabs = layout.TabCount() > 0;
  const std::string frame(TabFrameSection(sd->SkinSection(), layout.TabPosition, hasTabs));
  int frameIndex = skin.SectionIndexOf(frame);
  std::string frameName = frame;
  if (!skin.IsSectionIndexValid(frameIndex)) {
    frameIndex = sd->SkinIndex;
    frameName = sd->SkinSection();
  }
  // What the sheets and children ask of the control (their background,
  // their font colours) comes from the frame as it is drawn.
  sd->SkinIndex = frameIndex;
  PrepareCacheBitmap24(sd);
  TBitmap* cache = sd->CacheBmp.get();
  cache->SetSize(layout.Width, layout.Height);
  TsBgCacheInfo background;
  GetParentBgInfoByHandle(CtrlHandle, background);
  if (hasTabs) {
    const TRect band = TabsBandRect(layout);
    if (background.Ready && background.Bmp != nullptr) {
      CopyPixels(cache, band.Left, band.Top, background.Bmp, background.X + WndPos.X + band.Left,
                 background.Y + WndPos.Y + band.Top, band.Width(), band.Height());
    } else {
      TBitmapCanvas canvas(*cache);
      FillRectWithColor(canvas.Handle(), band, background.FillColor);
    }
    const int selected = static_cast<int>(SendMessageW(CtrlHandle, TCM_GETCURSEL, 0, 0));
    // Later rows lie over earlier ones.
    for (int row = 1; row <= layout.RowCount; ++row)
      for (int i = 0; i < layout.TabCount(); ++i)
        if (i != selected && TabRow(layout, i) == row) DrawTab(*cache, {0, 0}, layout, i, false);
  }
  const TRect page = PageAreaRect(layout);
  if (skin.IsSectionIndexValid(frameIndex) && !IsRectEmpty(page))
    PaintSkinItem(frameIndex, frameName, background, true, 0, page,
                  {WndPos.X + page.Left, WndPos.Y + page.Top}, cache, &skin);
  sd->BGChanged = false;
}

void TacTabControlWnd::Paint(HDC given) {
  TsCommonData* sd = SkinData;
  SetPaintingSuspended(sd, PaintingSuspended(sd));
  if (sd->Updating) return;
  const TsTabLayout layout = Layout();
  if (layout.Width <= 0 || layout.Height <= 0) return;
  sd->BGChanged = true;
  BuildCache(layout);
  // What a later shrink compares with: the size last shown.
  storedSize_ = {layout.Width, layout.Height};
  HDC dc = given != nullptr ? given : GetDC(CtrlHandle);
  {
    const TSavedDC saved(dc);
    const int selected = static_cast<int>(SendMessageW(CtrlHandle, TCM_GETCURSEL, 0, 0));
    const TRect top = SkinTabRect(layout, selected, true);
    if (!IsRectEmpty(top)) ExcludeClipRect(dc, top.Left, top.Top, top.Right, top.Bottom);
    Blit(dc, {0, 0, layout.Width, layout.Height}, *sd->CacheBmp, {0, 0});
    if (!IsRectEmpty(top)) {
      SelectClipRgn(dc, nullptr);
      // The selected tab alone, on top of the page frame's edge.
      TBitmap tab(top.Width(), top.Height(), pf24bit);
      CopyPixels(&tab, 0, 0, sd->CacheBmp.get(), top.Left, top.Top, top.Width(), top.Height());
      DrawTab(tab, {-top.Left, -top.Top}, layout, selected, true);
      Blit(dc, top, tab, {0, 0});
    }
  }
  // Windowless controls placed on the tab control have no paint of their own.
  if (auto* owner = dynamic_cast<TWinControl*>(sd->OwnerControl); owner != nullptr)
    PaintChildGraphics(owner, dc);
  if (given == nullptr) ReleaseDC(CtrlHandle, dc);
}

bool TacTabControlWnd::TabCommand(TMessage& m) {
  TsCommonData* sd = SkinData;
  const bool ours = Ours(m, SkinManager);
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (ours) {
        if (sd->OwnerControl != nullptr) PreviewControlMessage(m, sd);
        sd->RefreshSkinIndexes();
        sd->BGChanged = true;
        ThemeOff();
      }
      SendToChildren(sd->OwnerControl, CtrlHandle, m);
      return true;
    case cmdSkinRefresh:
      if (ours) {
        if (sd->OwnerControl != nullptr) PreviewControlMessage(m, sd);
        sd->RefreshSkinIndexes();
        InvalidateRect(CtrlHandle, nullptr, TRUE);
        UpdateSpin();
      }
      SendToChildren(sd->OwnerControl, CtrlHandle, m);
      return true;
    case cmdParentPainted:
      // The parent's new background shows through the tab band.
      if (SectionAvailable()) {
        SetPaintingSuspended(sd, false);
        InvalidateRect(CtrlHandle, nullptr, TRUE);
      }
      return true;
    case cmdIsSkinned:
      m.Result = 1;
      return true;
    case cmdNeedsRepaint:
      m.Result = sd->Updating ? 1 : 0;
      return true;
    case cmdGetTabManager:
      m.Result = reinterpret_cast<LRESULT>(SkinManager.Get());
      return true;
    case cmdGetBackground:
      // The sheets lie on the page frame.
      if (auto* request = reinterpret_cast<TsBgRequest*>(m.LParam); request != nullptr) {
        FillChildBgInfo(sd, *request, false, CtrlHandle);
        // A plain colour comes with the frame's picture: a sheet takes its
        // edge on the tab side from it. Without the section nothing of the
        // skin was painted there.
        if (request->BgType == btColor && sd->CacheBmp != nullptr && SectionAvailable()) {
          request->Bmp = sd->CacheBmp.get();
          request->Offset = {0, 0};
        }
      }
      return true;
    default:
      return false;
  }
}

void TacTabControlWnd::WndProc(TMessage& m) { TabWndProc(m); }

void TacTabControlWnd::TabWndProc(TMessage& m) {
  // The skin going: the scroller and the tabs get their own look back,
  // whether or not the manager is still active.
  if (!Destroyed && Hooked() && m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinRemoved) {
    // Neither the tab control's own procedure nor its control has a use
    // for it; another manager's removal concerns only the children.
    if (Ours(m, SkinManager)) {
      // The labels on the control get their own colours back.
      if (SkinData->OwnerControl != nullptr) PreviewControlMessage(m, SkinData);
      FreeAdapter(Spin);
      RestoreOriginalState();
      ThemeBack();
      SendToChildren(SkinData->OwnerControl, CtrlHandle, m);
      RedrawWindow(CtrlHandle, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW |
                       RDW_FRAME);
      return;
    }
    SendToChildren(SkinData->OwnerControl, CtrlHandle, m);
    return;
  }
  if (Destroyed || !Hooked() || !SkinUsable()) return MainWndProc(m);
  if (m.Msg == SM_ALPHACMD && TabCommand(m)) return;
  // Without its section the control keeps the system's painting.
  if (!SectionAvailable()) return MainWndProc(m);
  switch (m.Msg) {
    case WM_PAINT:
      if (m.WParam != 0) {
        Paint(reinterpret_cast<HDC>(m.WParam));
        return;
      }
      {
        InvalidateRect(CtrlHandle, nullptr, TRUE);
        PAINTSTRUCT ps;
        BeginPaint(CtrlHandle, &ps);
        EndPaint(CtrlHandle, &ps);
      }
      return;
    case WM_ERASEBKGND:
      if (IsWindowVisible(CtrlHandle)) {
        if (!SkinChanging) Paint(reinterpret_cast<HDC>(m.WParam));
        UpdateSpin();
        m.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      UpdateSpin();
      Paint(reinterpret_cast<HDC>(m.WParam));
      return;
    default:
      break;
  }
  MainWndProc(m);
  if (Destroyed || !SectionAvailable()) return;
  switch (m.Msg) {
    case WM_SIZE: {
      UpdateSpin();
      const TSize now{LOWORD(m.LParam), HIWORD(m.LParam)};
      // Shrinking leaves parts of the old frame behind; growing repaints
      // only the new room.
      if (now.cx < storedSize_.cx || now.cy < storedSize_.cy)
        RedrawWindow(
            CtrlHandle, nullptr, nullptr,
            RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
      break;
    }
    case TCM_SETCURSEL:
      RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE) UpdateSpin();
      break;
    case CM_CONTROLLISTCHANGE:
      UpdateSpin();
      break;
    default:
      break;
  }
}

// --- TacPageControlWnd -------------------------------------------------------------------

TacPageControlWnd::TacPageControlWnd(TsCommonData* skinData, TsSkinManager* manager,
                                     std::string_view skinSection)
    : TacTabControlWnd(skinData, manager, skinSection) {}

void TacPageControlWnd::AttachPages() {
  if (CtrlHandle == nullptr || SkinManager == nullptr || !SkinUsable()) return;
  // The sheets take the manager the control itself answers with.
  auto* manager = reinterpret_cast<TsSkinManager*>(
      SendMessageW(CtrlHandle, SM_ALPHACMD, MAKEWPARAM(0, cmdGetTabManager), 0));
  if (manager == nullptr) return;
  TFoundPages found{CtrlHandle, {}};
  EnumChildWindows(CtrlHandle, CollectPage, reinterpret_cast<LPARAM>(&found));
  for (HWND page : found.pages) {
    if (SendMessageW(page, SM_ALPHACMD, MAKEWPARAM(0, cmdIsSkinned), 0) != 0) continue;
    // The scroller has its own adapter.
    if (Spin != nullptr && Spin->CtrlHandle == page) continue;
    wchar_t cls[32]{};
    GetClassNameW(page, cls, 32);
    if (lstrcmpiW(cls, UPDOWN_CLASSW) == 0) continue;
    PageAdapters().Add(CreateAdapter<TacPageWnd>(page, true, nullptr, manager, "CHECKBOX"));
  }
}

void TacPageControlWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SectionAvailable()) return TabWndProc(m);
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (!IsWindowVisible(CtrlHandle)) break;
      if (!SkinChanging) Paint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_NCPAINT:
      // A sheet added since is skinned now.
      AttachPages();
      return;
    case WM_PARENTNOTIFY:
      TabWndProc(m);
      if (!Destroyed && LOWORD(m.WParam) == WM_CREATE) AttachPages();
      return;
    case TCM_SETCURSEL:
      // The new page may hold controls the form has not adapted yet.
      AskFormToAdaptControl(SkinData->OwnerControl);
      break;
    default:
      break;
  }
  TabWndProc(m);
}

// --- TacPageWnd --------------------------------------------------------------------------

void TacPageWnd::Paint(HDC dc) {
  if (dc == nullptr) return;
  RefreshGeometry();
  TsBgRequest request;
  GetWindowBackgroundInfo(request, ParentWnd, false);
  const TRect sheet{0, 0, WndSize.cx, WndSize.cy};
  if (request.BgType == btBitmap && request.Bmp != nullptr) {
    CopyFromBackground(dc, sheet, request);
    return;
  }
  FillRectWithColor(dc, sheet, request.Color);
  // The frame's inner edge on the tab side still comes from its picture.
  if (request.Bmp == nullptr) return;
  TRect strip = sheet;
  const TTabPosition side =
      TabKindOfStyle(static_cast<std::uint32_t>(GetWindowLongW(ParentWnd, GWL_STYLE))).Position;
  switch (side) {
    case tpTop:
      strip.Bottom = std::min(strip.Bottom, SheetEdgeStrip);
      break;
    case tpBottom:
      strip.Top = std::max(strip.Top, strip.Bottom - SheetEdgeStrip);
      break;
    case tpLeft:
      strip.Right = std::min(strip.Right, SheetEdgeStrip);
      break;
    case tpRight:
      strip.Left = std::max(strip.Left, strip.Right - SheetEdgeStrip);
      break;
  }
  CopyFromBackground(dc, strip, request);
}

void TacPageWnd::CopyFromBackground(HDC dc, const TRect& r, const TsBgRequest& request) {
  TBitmapCanvas from(*request.Bmp);
  BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), from.Handle(),
         request.Offset.X + WndPos.X + r.Left, request.Offset.Y + WndPos.Y + r.Top, SRCCOPY);
}

void TacPageWnd::WndProc(TMessage& m) {
  if (m.Msg == WM_NCDESTROY) {
    MainWndProc(m);
    // Gone with its window, so the list never holds a dead sheet.
    TacPageWnd* self = this;
    if (PageAdapters().Remove(self)) FreeAdapter(self);
    return;
  }
  if (Destroyed || !Hooked() || !SkinUsable()) return MainWndProc(m);
  TsCommonData* sd = SkinData;
  if (m.Msg == SM_ALPHACMD) {
    const bool ours = Ours(m, SkinManager);
    switch (m.WParamHi()) {
      case cmdSkinLoaded:
      case cmdSkinRefresh:
        SendToChildren(nullptr, CtrlHandle, m);
        if (ours) {
          sd->RefreshSkinIndexes();
          InvalidateRect(CtrlHandle, nullptr, TRUE);
        }
        return;
      case cmdSkinRemoved:
        if (ours) InvalidateRect(CtrlHandle, nullptr, TRUE);
        SendToChildren(nullptr, CtrlHandle, m);
        return MainWndProc(m);
      case cmdParentPainted:
        if (sd->Updating) {
          SetPaintingSuspended(sd, false);
          InvalidateRect(CtrlHandle, nullptr, TRUE);
        }
        return;
      case cmdIsSkinned:
        m.Result = 1;
        return;
      case cmdNeedsRepaint:
        m.Result = sd->Updating ? 1 : 0;
        return;
      case cmdGetBackground:
        if (auto* request = reinterpret_cast<TsBgRequest*>(m.LParam); request != nullptr) {
          RefreshGeometry();
          GetWindowBackgroundInfo(*request, ParentWnd, false);
          request->Offset.X += WndPos.X;
          request->Offset.Y += WndPos.Y;
        }
        return;
      default:
        return MainWndProc(m);
    }
  }
  // Without its section the sheet keeps its own painting.
  if (SectionAvailable()) {
    switch (m.Msg) {
      case WM_ERASEBKGND:
        if (!IsWindowVisible(CtrlHandle)) break;
        Paint(reinterpret_cast<HDC>(m.WParam));
        m.Result = 1;
        return;
      case WM_NCPAINT:
        return;
      case WM_PRINT:
        Paint(reinterpret_cast<HDC>(m.WParam));
        m.Result = SendMessageW(CtrlHandle, WM_PAINT, m.WParam, m.LParam);
        return;
      default:
        break;
    }
  }
  MainWndProc(m);
  if (!Destroyed && m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE)
    AskTopFormToAdapt(CtrlHandle);
}

int PageAdapterCount() { return PageAdapters().Count(); }

// --- factories ---------------------------------------------------------------------------

TacMainWnd* CreateTabControlAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                    std::string_view section, bool repaint) {
  auto* adapter = CreateAdapter<TacTabControlWnd>(handle, repaint, skinData, manager, section);
  // A scroller the control has already is skinned with it.
  adapter->UpdateSpin();
  return adapter;
}

TacMainWnd* CreatePageControlAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                     std::string_view section, bool repaint) {
  auto* adapter = CreateAdapter<TacPageControlWnd>(handle, repaint, skinData, manager, section);
  adapter->UpdateSpin();
  adapter->AttachPages();
  return adapter;
}

}  // namespace kv
