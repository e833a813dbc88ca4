#include "skin/adapters/acMnuWnd_win.h"

#include <algorithm>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/acComboBoxWndLayout.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/menus/sSkinMenus_win.h"
#include "skin/model/sConst.h"

namespace kv {

std::vector<TacMnuWnd*> MenuAdapters;

namespace {

// Where the client area lies inside the window: Windows gives pop-up menus
// a non-client frame, Wine draws its frame inside the client area.
POINT FrameOffset(HWND wnd) {
  RECT w{};
  POINT p{0, 0};
  if (!GetWindowRect(wnd, &w) || !ClientToScreen(wnd, &p)) return {0, 0};
  return {p.x - w.left, p.y - w.top};
}

void Blit(HDC dc, TBitmap& bitmap, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  TBitmapCanvas canvas(bitmap);
  BitBlt(dc, x, y, w, h, canvas.Handle(), x, y, SRCCOPY);
}

}  // namespace

TacMnuWnd::TacMnuWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection)
    : TacScrollWnd(skinData, manager, skinSection.empty() ? "MAINMENU" : skinSection) {}

TacMainWnd* CreateMenuWndAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                 std::string_view section, bool repaint) {
  return CreateAdapter<TacMnuWnd>(handle, repaint, skinData, manager, section);
}

void TacMnuWnd::WndProc(TMessage& m) {
  if (m.Msg == SM_ALPHACMD) return MenuCommand(m);
  if (m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) return WindowGoing(m);
  // Until the skinned menus paint the items, the system draws the menu.
  if (!MenuInUse() || !SkinUsable()) return ScrollWndProc(m);
  switch (m.Msg) {
    case WM_ERASEBKGND:
      return EraseBackground(m);
    case WM_NCPAINT:
      if (!IsNTPlatform) break;
      PaintFrame();
      m.Result = 0;
      return;
    default:
      break;
  }
  ScrollWndProc(m);
}

void TacMnuWnd::MenuCommand(TMessage& m) {
  switch (m.WParamHi()) {
    case cmdIsSkinned:
      m.Result = 1;
      break;
    case cmdSetSuspended:  // asked by the skinned menus before they set the region
      m.Result = RegionDone ? 1 : 0;
      break;
    case cmdMenuPrivate14:
      if (IsWindowVisible(CtrlHandle)) RegionDone = true;
      break;
    case cmdGetApplication:
      m.Result = reinterpret_cast<LRESULT>(Application);
      break;
    default:
      break;
  }
}

void TacMnuWnd::WindowGoing(TMessage& m) {
  RegionDone = false;
  std::replace(MenuAdapters.begin(), MenuAdapters.end(), this, static_cast<TacMnuWnd*>(nullptr));
  CallPrev(m);
  if (Hooked() && !Destroyed) {
    // Freed once this message's dispatch has ended: this frame still runs.
    TacMainWnd* self = this;
    UnhookWnd(CtrlHandle, true, false, self);
  }
  ClearPopupCache();
  bool anyLeft = false;
  for (TacMnuWnd* other : std::vector<TacMnuWnd*>(MenuAdapters)) {
    if (other == nullptr) continue;
    anyLeft = true;
    RedrawWindow(other->CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  }
  if (!anyLeft) FormServices().ClearMenuAdapters();
}

void TacMnuWnd::PrepareCache() {
  RefreshGeometry();
  TsCommonData* sd = SkinData;
  TBitmap* cache = sd->CacheBmp.get();
  const bool sized =
      cache != nullptr && cache->Width() == WndSize.cx && cache->Height() == WndSize.cy;
  if (!sd->BGChanged && sized) return;
  PrepareCacheBitmap24(sd);
  cache = sd->CacheBmp.get();
  cache->SetSize(WndSize.cx, WndSize.cy);
  if (SkinManager->Skin().IsSectionIndexValid(sd->SkinIndex))
    PaintSkinDataItem(sd, EmptyBgCacheInfo, true, 0, {0, 0, WndSize.cx, WndSize.cy},
                      {WndRect.Left - ParentRect.Left, WndRect.Top - ParentRect.Top}, cache);
  sd->BGChanged = false;
}

void TacMnuWnd::EraseBackground(TMessage& m) {
  PrepareCache();
  const POINT frame = FrameOffset(CtrlHandle);
  HDC dc = m.WParam != 0 ? reinterpret_cast<HDC>(m.WParam) : GetDC(CtrlHandle);
  if (dc != nullptr) {
    TBitmapCanvas canvas(*SkinData->CacheBmp);
    BitBlt(dc, 0, 0, WndSize.cx - 2 * frame.x, WndSize.cy - 2 * frame.y, canvas.Handle(), frame.x,
           frame.y, SRCCOPY);
    if (m.WParam == 0) ReleaseDC(CtrlHandle, dc);
  }
  RegionDone = false;
  m.Result = 1;
}

void TacMnuWnd::PaintFrame() {
  const POINT frame = FrameOffset(CtrlHandle);
  if (frame.x <= 0 && frame.y <= 0) return;  // no non-client frame to paint
  RefreshGeometry();
  // The skinned menus' picture of this level, when it is the window's.
  TBitmap* source = FormServices().FindPopupCache(SkinManager, nullptr, CtrlHandle);
  if (source == nullptr || source->Width() + 2 * frame.x != WndSize.cx ||
      source->Height() != WndSize.cy) {
    PrepareCache();
    source = SkinData->CacheBmp.get();
  }
  HDC dc = GetWindowDC(CtrlHandle);
  if (dc == nullptr) return;
  const int w = WndSize.cx, h = WndSize.cy;
  Blit(dc, *source, 0, 0, w, frame.y);
  Blit(dc, *source, 0, h - frame.y, w, frame.y);
  Blit(dc, *source, 0, frame.y, frame.x, h - 2 * frame.y);
  Blit(dc, *source, w - frame.x, frame.y, frame.x, h - 2 * frame.y);
  ReleaseDC(CtrlHandle, dc);
}

// --- combo-box variant ---------------------------------------------------------------

TRect TacWWComboBoxWnd::GetButtonRect(TSize size) {
  const bool rightToLeft = (GetWindowLongW(CtrlHandle, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
  return ComboButtonRect(size, ShowButton, rightToLeft, GetSystemMetrics(SM_CXVSCROLL));
}

TacMainWnd* CreateWWComboBoxAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                                    std::string_view section, bool repaint) {
  auto* adapter = new TacWWComboBoxWnd(skinData, manager, section);
  TControl* control = skinData != nullptr ? skinData->OwnerControl : nullptr;
  if (control == nullptr && handle != nullptr) control = TWinControl::FromHandle(handle);
  auto* box = dynamic_cast<TCustomComboBox*>(control);
  if (box != nullptr && box->ClassName() == "TComboBox")
    adapter->ShowButton = box->Style() == csDropDown || box->Style() == csDropDownList;
  if (handle != nullptr) adapter->Attach(handle, repaint);
  return adapter;
}

}  // namespace kv
