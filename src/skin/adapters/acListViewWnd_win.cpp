#include "skin/adapters/acListViewWnd_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "base/TextCodec.h"
#include "classlib/Graphics.h"
#include "classlib/ImgList.h"
#include "classlib/ListViews.h"
#include "classlib/WindowProps.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

namespace {

// The hook's owner while it serves the header; the previous procedure stays
// as long as ours is in the chain.
constexpr wchar_t kHeaderOwner[] = L"ACLVHDR";
constexpr wchar_t kHeaderPrev[] = L"ACLVHDRPREV";

LRESULT CALLBACK HeaderProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto* owner = static_cast<IacHeaderOwner*>(GetLocalProp(wnd, kHeaderOwner));
      owner != nullptr) {
    const LRESULT result = owner->HeaderMessage(wnd, msg, wParam, lParam);
    // The system drops a dying window's properties; the copies go with them.
    if (msg == WM_NCDESTROY) {
      RemoveLocalProp(wnd, kHeaderOwner);
      RemoveLocalProp(wnd, kHeaderPrev);
    }
    return result;
  }
  auto prev = reinterpret_cast<WNDPROC>(GetLocalProp(wnd, kHeaderPrev));
  if (prev == nullptr) return DefWindowProcW(wnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) RemoveLocalProp(wnd, kHeaderPrev);
  return CallWindowProcW(prev, wnd, msg, wParam, lParam);
}

void FontFromHandle(TFont& font, HFONT handle) {
  LOGFONTW lf{};
  if (handle == nullptr || GetObjectW(handle, sizeof(lf), &lf) == 0) return;
  font.SetName(Utf16ToUtf8(reinterpret_cast<const char16_t*>(lf.lfFaceName)));
  font.SetHeight(lf.lfHeight);
  font.SetCharset(lf.lfCharSet);
  TFontStyles style = 0;
  if (lf.lfWeight >= FW_BOLD) style |= fsBold;
  if (lf.lfItalic) style |= fsItalic;
  if (lf.lfUnderline) style |= fsUnderline;
  if (lf.lfStrikeOut) style |= fsStrikeOut;
  font.SetStyle(style);
}

// Display order to column index, sized by the header's own count.
std::vector<int> HeaderOrder(HWND header) {
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
  if (order.empty()) return order;
  if (SendMessageW(header, HDM_GETORDERARRAY, order.size(),
                   reinterpret_cast<LPARAM>(order.data())) == 0)
    std::iota(order.begin(), order.end(), 0);
  return order;
}

TRect HeaderItemRect(HWND header, int item) {
  RECT r{};
  if (SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(&r)) == 0)
    return {};
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

// --- the header hook -------------------------------------------------------------------

void TacHeaderHook::Hook(HWND header) {
  Release();
  if (header == nullptr || !IsWindow(header)) return;
  header_ = header;
  SetLocalProp(header, kHeaderOwner, owner_);
  // Ours may still be there as a pass-through from an earlier owner.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(header, GWLP_WNDPROC)) == &HeaderProc &&
      GetLocalProp(header, kHeaderPrev) != nullptr)
    return;
  SetLocalProp(header, kHeaderPrev,
               reinterpret_cast<HANDLE>(GetWindowLongPtrW(header, GWLP_WNDPROC)));
  SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HeaderProc));
}

void TacHeaderHook::Release() {
  HWND header = header_;
  header_ = nullptr;
  if (header == nullptr || !IsWindow(header)) return;
  if (GetLocalProp(header, kHeaderOwner) == owner_) RemoveLocalProp(header, kHeaderOwner);
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(header, GWLP_WNDPROC)) != &HeaderProc) return;
  // Ours is current: the old procedure can go back without cutting anyone out.
  if (auto prev = GetLocalProp(header, kHeaderPrev); prev != nullptr)
    SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
  RemoveLocalProp(header, kHeaderPrev);
}

void TacHeaderHook::Forget() {
  if (header_ != nullptr) {
    RemoveLocalProp(header_, kHeaderOwner);
    RemoveLocalProp(header_, kHeaderPrev);
  }
  header_ = nullptr;
}

LRESULT TacHeaderHook::CallPrev(UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (header_ == nullptr) return 0;
  auto prev = reinterpret_cast<WNDPROC>(GetLocalProp(header_, kHeaderPrev));
  if (prev == nullptr) return DefWindowProcW(header_, msg, wParam, lParam);
  return CallWindowProcW(prev, header_, msg, wParam, lParam);
}

bool IsHeaderWindow(HWND wnd) {
  wchar_t name[96]{};
  GetClassNameW(wnd, name, 96);
  return wcscmp(name, WC_HEADERW) == 0;
}

HWND FindListHeader(HWND list) {
  return list != nullptr ? FindWindowExW(list, nullptr, WC_HEADERW, nullptr) : nullptr;
}

// --- painting --------------------------------------------------------------------------

int HeaderSectionState(const TacHeaderLook& look, int item) {
  if (item < 0) return 0;
  if (look.Pressed >= 0) return item == look.Pressed ? 2 : 0;
  return item == look.Hot ? 1 : 0;
}

void PaintHeaderSection(const TacHeaderLook& look, HDC dc, const TRect& r, int item) {
  const int w = r.Width();
  const int h = r.Height();
  if (w <= 0 || h <= 0 || look.Manager == nullptr) return;
  const TsSkinModel& skin = look.Manager->Skin();
  const int state = HeaderSectionState(look, item);
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(w, h);
  const int section =
      PaintSkinItemByName(&bmp, "COLHEADER", "BUTTON", state, &skin, {0, 0}, look.Color, nullptr);
  TBitmapCanvas canvas(bmp);
  if (item >= 0) {
    wchar_t text[129]{};
    HDITEMW hi{};
    hi.mask = HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_IMAGE;
    hi.pszText = text;
    hi.cchTextMax = 128;
    if (SendMessageW(look.Header, HDM_GETITEMW, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&hi)) != 0) {
      FontFromHandle(*canvas.Font(),
                     reinterpret_cast<HFONT>(SendMessageW(look.List, WM_GETFONT, 0, 0)));
      const std::string caption = Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
      const bool hasImage =
          look.Images != nullptr && (hi.fmt & (HDF_IMAGE | HDF_OWNERDRAW)) != 0 && hi.iImage >= 0;
      const int imageSpace = hasImage ? look.Images->Width() + 4 : 0;
      int arrow = -1;
      if ((hi.fmt & HDF_SORTDOWN) != 0)
        arrow = skin.CommonIndexes.BtnBottom.Glyph;
      else if ((hi.fmt & HDF_SORTUP) != 0)
        arrow = skin.CommonIndexes.BtnTop.Glyph;
      if (!skin.IsMaskIndexValid(arrow)) arrow = -1;
      const TSize arrowSize = arrow >= 0 ? skin.GetMaskStateSize(arrow) : TSize{0, 0};
      const int arrowSpace = arrow >= 0 ? arrowSize.cx + 6 : 0;
      const TRect box = look.InsetText ? TRect{4, 1, w - 4, h - 1} : TRect{0, 0, w, h};
      const int textWidth = canvas.TextWidth(caption) + (look.InsetText ? 5 : 6);
      const int room = box.Width() - 6;
      const bool fits = textWidth + imageSpace + arrowSpace + 6 < room;
      TRect tr = box;
      switch (hi.fmt & HDF_JUSTIFYMASK) {
        case HDF_RIGHT:
          tr.Right = box.Right - arrowSpace;
          tr.Left = fits ? tr.Right - textWidth : box.Left + imageSpace + 6;
          break;
        case HDF_CENTER:
          if (fits) {
            tr.Left =
                box.Left + (box.Width() - textWidth - arrowSpace - imageSpace) / 2 + imageSpace;
            tr.Right = tr.Left + textWidth;
          } else {
            tr.Left = box.Left + imageSpace + 6;
            tr.Right = box.Right - arrowSpace;
          }
          break;
        default:
          tr.Left = box.Left + imageSpace;
          tr.Right = textWidth + 2 * imageSpace < room ? tr.Left + textWidth
                                                       : box.Left + room - imageSpace;
          break;
      }
      if (arrow >= 0)
        DrawMaskState(&bmp, {tr.Right + 6, (h - arrowSize.cy) / 2}, state, EmptyBgCacheInfo,
                      skin.MaskData[static_cast<size_t>(arrow)], skin.MasterBitmap.get(), 1);
      if (state == 2) tr = {tr.Left + 1, tr.Top + 1, tr.Right + 1, tr.Bottom + 1};
      canvas.Brush()->SetStyle(bsClear);
      WriteSectionText(canvas, caption, look.Enabled, tr,
                       DT_END_ELLIPSIS | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER, section,
                       state != 0, look.Manager);
      if (hasImage)
        look.Images->Draw(&canvas, tr.Left - imageSpace,
                          (h - look.Images->Height()) / 2 + (state == 2 ? 1 : 0), hi.iImage,
                          look.Enabled);
    }
  }
  BitBlt(dc, r.Left, r.Top, w, h, canvas.Handle(), 0, 0, SRCCOPY);
}

int PaintHeader(const TacHeaderLook& look, HDC dc) {
  RECT client{};
  GetClientRect(look.Header, &client);
  int height = 0;
  int right = 0;
  for (int item : HeaderOrder(look.Header)) {
    const TRect r = HeaderItemRect(look.Header, item);
    if (r.Width() <= 0 || r.Height() <= 0) continue;
    height = r.Height();
    right = std::max(right, static_cast<int>(r.Right));
    PaintHeaderSection(look, dc, r, item);
  }
  // The skin goes on to the header's end.
  if (right < client.right)
    PaintHeaderSection(look, dc, {right, 0, client.right, client.bottom}, -1);
  return height;
}

void PrintListHeader(const TacHeaderLook& look, HDC dc, int frame) {
  if (dc == nullptr || look.Header == nullptr || !IsWindowVisible(look.Header)) return;
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, frame, frame, nullptr);
  RECT client{};
  GetClientRect(look.List, &client);
  IntersectClipRect(dc, 0, 0, client.right, client.bottom);
  RECT header{};
  GetWindowRect(look.Header, &header);
  MapWindowPoints(nullptr, look.List, reinterpret_cast<POINT*>(&header), 2);
  OffsetViewportOrgEx(dc, header.left, header.top, nullptr);
  PaintHeader(look, dc);
  RestoreDC(dc, saved);
}

int HeaderColumnAt(HWND header, TPoint point) {
  for (int item : HeaderOrder(header)) {
    const TRect r = HeaderItemRect(header, item);
    if (point.X >= r.Left && point.X < r.Right && point.Y >= r.Top && point.Y < r.Bottom)
      return item;
  }
  return -2;
}

int HeaderPressedColumn(HWND header, TPoint point) {
  HDHITTESTINFO hit{};
  hit.pt = {point.X, point.Y};
  SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if ((hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0) return -1;
  return (hit.flags & HHT_ONHEADER) != 0 ? hit.iItem : -1;
}

int ScrollMessagePosition(const TMessage& m) {
  return m.LParam != 0 ? static_cast<int>(m.LParam) : HIWORD(m.WParam);
}

void ListViewThumbTrack(HWND list, int viewStyle, bool vertical, int position) {
  int delta = position - GetScrollPos(list, vertical ? SB_VERT : SB_HORZ);
  if (delta == 0) return;
  // A report scrolls by pixels that the list rounds to whole rows; a
  // list-style list's sideways scroll already counts whole columns.
  if (vertical && viewStyle == vsReport) {
    RECT item{LVIR_BOUNDS, 0, 0, 0};
    if (SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)) != 0)
      delta *= item.bottom - item.top;
  }
  SendMessageW(list, LVM_SCROLL, vertical ? 0 : delta, vertical ? delta : 0);
}

// --- the adapter -----------------------------------------------------------------------

TacListViewWnd::TacListViewWnd(TsCommonData* skinData, TsSkinManager* manager,
                               std::string_view skinSection)
    : TacEditWnd(skinData, manager, skinSection) {}

void TacListViewWnd::HookWindow(HWND handle, bool repaint) {
  TacEditWnd::HookWindow(handle, repaint);
  if (HWND header = FindListHeader(handle); header != nullptr) header_.Hook(header);
}

int TacListViewWnd::ViewStyle() const {
  if (auto* list = dynamic_cast<TListView*>(SkinData->OwnerControl); list != nullptr)
    return list->ViewStyle();
  switch (SendMessageW(CtrlHandle, LVM_GETVIEW, 0, 0)) {
    case LV_VIEW_ICON:
      return vsIcon;
    case LV_VIEW_DETAILS:
      return vsReport;
    case LV_VIEW_SMALLICON:
      return vsSmallIcon;
    default:
      return vsList;
  }
}

void TacListViewWnd::SaveOriginalState() {
  TacEditWnd::SaveOriginalState();
  savedBk_ = static_cast<COLORREF>(SendMessageW(CtrlHandle, LVM_GETBKCOLOR, 0, 0));
  savedText_ = static_cast<COLORREF>(SendMessageW(CtrlHandle, LVM_GETTEXTCOLOR, 0, 0));
  savedTextBk_ = static_cast<COLORREF>(SendMessageW(CtrlHandle, LVM_GETTEXTBKCOLOR, 0, 0));
}

void TacListViewWnd::RestoreOriginalState() {
  header_.Release();
  if (CtrlHandle != nullptr && IsWindow(CtrlHandle)) {
    SendMessageW(CtrlHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(savedBk_));
    SendMessageW(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(savedTextBk_));
    SendMessageW(CtrlHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(savedText_));
  }
  TacEditWnd::RestoreOriginalState();
}

void TacListViewWnd::ApplySkinState() {
  TacEditWnd::ApplySkinState();
  COLORREF bk = ColorToRGB(clWindow);
  COLORREF text = ColorToRGB(clWindowText);
  const TsGeneralData* section = SkinData->Section();
  if (!DlgMode && section != nullptr) {
    bk = static_cast<COLORREF>(section->Color);
    text = static_cast<COLORREF>(section->FontColor[0]);
  }
  SendMessageW(CtrlHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(bk));
  SendMessageW(CtrlHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(bk));
  SendMessageW(CtrlHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
}

TacHeaderLook TacListViewWnd::Look() const {
  TacHeaderLook look;
  look.Header = header_.Handle();
  look.List = CtrlHandle;
  look.Manager = SkinManager != nullptr ? SkinManager.Get() : DefaultManager;
  look.Hot = hot_;
  look.Pressed = pressed_;
  look.Enabled = IsWindowEnabled(CtrlHandle) != FALSE;
  if (auto* list = dynamic_cast<TListView*>(SkinData->OwnerControl); list != nullptr) {
    look.Images = list->SmallImages();
    look.Color = list->Color();
  }
  return look;
}

void TacListViewWnd::RepaintHeader() {
  if (header_.Handle() != nullptr) InvalidateRect(header_.Handle(), nullptr, FALSE);
}

void TacListViewWnd::ThumbTrack(TMessage& m, bool vertical) {
  m.Result = 0;
  ListViewThumbTrack(CtrlHandle, ViewStyle(), vertical, ScrollMessagePosition(m));
  UpdateScrollBarInfo(this, true);
  if (!vertical) RepaintHeader();
}

void TacListViewWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) return TacEditWnd::WndProc(m);
  switch (m.Msg) {
    case SM_ALPHACMD:
      switch (m.WParamHi()) {
        case cmdBeforeScroll:
          m.Result = 1;
          return;
        case cmdSkinRefresh:
          TacEditWnd::WndProc(m);
          RepaintHeader();
          return;
        default:
          break;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LOWORD(m.WParam) == SB_THUMBTRACK) return ThumbTrack(m, m.Msg == WM_VSCROLL);
      // A non-zero LParam would name a scroll-bar control.
      m.LParam = 0;
      break;
    case WM_PAINT:
      // Every time: a dialog or the owner may have set its own colours since.
      ApplySkinState();
      break;
    case WM_NCHITTEST:
      if (hot_ != -1 || pressed_ != -1) {
        hot_ = -1;
        pressed_ = -1;
        RepaintHeader();
      }
      break;
    default:
      break;
  }
  TacEditWnd::WndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case LVM_INSERTITEMW:
    case LVM_INSERTITEMA:
    case LVM_DELETEITEM:
    case LVM_ARRANGE:
    case WM_STYLECHANGED:
      if (!PaintingSuspended(SkinData)) UpdateScrollBarInfo(this, true);
      break;
    case WM_PRINT:
      if (ViewStyle() == vsReport && header_.Handle() != nullptr) {
        PrintListHeader(Look(), reinterpret_cast<HDC>(m.WParam), FrameWidths.Left);
      }
      break;
    case WM_LBUTTONUP:
      ReleaseCapture();
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE && header_.Handle() == nullptr) {
        HWND child = reinterpret_cast<HWND>(m.LParam);
        if (IsHeaderWindow(child)) header_.Hook(child);
      }
      break;
    default:
      break;
  }
}

LRESULT TacListViewWnd::HeaderMessage(HWND header, UINT msg, WPARAM wParam, LPARAM lParam) {
  // A handler the header's own procedure reaches may free the adapter.
  LRESULT result = 0;
  Guarded([&] { result = HeaderWndProc(header, msg, wParam, lParam); });
  return result;
}

LRESULT TacListViewWnd::HeaderWndProc(HWND header, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (ViewStyle() != vsReport || Destroyed || !SkinUsable())
    return header_.CallPrev(msg, wParam, lParam);
  switch (msg) {
    case WM_NCDESTROY: {
      const LRESULT r = header_.CallPrev(msg, wParam, lParam);
      header_.Forget();
      return r;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = wParam != 0 ? reinterpret_cast<HDC>(wParam) : BeginPaint(header, &ps);
      PaintHeader(Look(), dc);
      if (wParam == 0) EndPaint(header, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_WINDOWPOSCHANGED:
      if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_NCPAINT, 0, 0);
      break;
    case WM_NCHITTEST: {
      const LRESULT r = header_.CallPrev(msg, wParam, lParam);
      if (Destroyed) return r;
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(header, &p);
      const int column = std::max(HeaderColumnAt(header, {p.x, p.y}), -1);
      if (column != hot_) {
        hot_ = column;
        RepaintHeader();
      }
      return r;
    }
    case WM_CAPTURECHANGED:
      // Capture taken away (a message box, Alt+Tab; a cancelled mode
      // releases it too): no release comes.
      if (reinterpret_cast<HWND>(lParam) == header || !headerPressed_) break;
      [[fallthrough]];
    case WM_LBUTTONUP:
      pressed_ = -1;
      headerPressed_ = false;
      RepaintHeader();
      break;
    case WM_LBUTTONDOWN: {
      const LRESULT r = header_.CallPrev(msg, wParam, lParam);
      if (Destroyed) return r;
      headerPressed_ = true;
      pressed_ = HeaderPressedColumn(header, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      RepaintHeader();
      return r;
    }
    default:
      break;
  }
  return header_.CallPrev(msg, wParam, lParam);
}

TacMainWnd* CreateListViewAdapter(HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                                  std::string_view skinSection, bool repaint) {
  return CreateAdapter<TacListViewWnd>(wnd, repaint, skinData, manager, skinSection);
}

}  // namespace kv
