#include "skin/adapters/acSpinWnd_win.h"

#include <commctrl.h>

#include "base/Bitmap.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/geometry/sUpDownGeometry.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {
namespace {

const TsCommonIndexes::ScrollPart& ArrowPart(const TsSkinModel& skin, bool vertical, bool first) {
  const TsCommonIndexes& i = skin.CommonIndexes;
  if (vertical) return first ? i.BtnTop : i.BtnBottom;
  return first ? i.BtnLeft : i.BtnRight;
}

TRect ClientRectOf(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

TacSpinWnd::TacSpinWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection)
    : TacMainWnd(skinData, manager, skinSection) {}

bool TacSpinWnd::IsVertical() const {
  return (GetWindowLongW(CtrlHandle, GWL_STYLE) & UDS_HORZ) == 0;
}

void TacSpinWnd::CurrentStates(int& first, int& second) const {
  first = second = 0;
  POINT p{};
  if (!GetCursorPos(&p) || !ScreenToClient(CtrlHandle, &p)) return;
  const TRect c = ClientRectOf(CtrlHandle);
  const bool vertical = IsVertical();
  const int state = Pressed ? 2 : 1;
  if (PtInRect(UpDownHalfRect(c.Width(), c.Height(), vertical, true), {p.x, p.y}))
    first = state;
  else if (PtInRect(UpDownHalfRect(c.Width(), c.Height(), vertical, false), {p.x, p.y}))
    second = state;
}

void TacSpinWnd::PaintHalf(TBitmap& cache, bool first, const TRect& place, int state) {
  const TsSkinModel& skin = SkinManager->Skin();
  TsBgCacheInfo background;
  GetParentBgInfoByHandle(CtrlHandle, background);
  TBitmap half(place.Width(), place.Height(), pf24bit);
  PaintSkinItem(SkinData->SkinIndex, SkinData->SkinSection(), background, true, state,
                {0, 0, place.Width(), place.Height()},
                {WndPos.X + place.Left, WndPos.Y + place.Top}, &half, &skin);
  const int arrow = ArrowPart(skin, IsVertical(), first).Glyph;
  if (skin.IsMaskIndexValid(arrow)) {
    const TsMaskData& mask = skin.MaskData[static_cast<size_t>(arrow)];
    const int w = MaskFrameWidth(mask), h = MaskStateHeight(mask);
    if (w > 0 && h > 0)
      DrawMaskState(&half, {(place.Width() - w) / 2, (place.Height() - h) / 2},
                    std::min(state, std::max(0, mask.ImageCount - 1)), MakeBgCacheInfo(&half, 0, 0),
                    mask, skin.MasterBitmap.get(), 1);
  }
  TBitmapCanvas from(half);
  TBitmapCanvas to(cache);
  BitBlt(to.Handle(), place.Left, place.Top, place.Width(), place.Height(), from.Handle(), 0, 0,
         SRCCOPY);
}

void TacSpinWnd::Paint(HDC given) {
  RefreshGeometry();
  CurrentStates(State1, State2);
  PAINTSTRUCT ps{};
  if (given == nullptr) BeginPaint(CtrlHandle, &ps);
  TsCommonData* sd = SkinData;
  SetPaintingSuspended(sd, PaintingSuspended(sd));
  if (!sd->Updating) {
    // A skin without the section asked for still has buttons.
    if (!SkinManager->Skin().IsSectionIndexValid(sd->SkinIndex)) sd->SetSkinSection("BUTTON");
    const TRect c = ClientRectOf(CtrlHandle);
    PrepareCacheBitmap24(sd);
    sd->CacheBmp->SetSize(c.Width(), c.Height());
    const bool vertical = IsVertical();
    for (const bool first : {true, false}) {
      const TRect place = UpDownHalfRect(c.Width(), c.Height(), vertical, first);
      if (place.Width() > 0 && place.Height() > 0)
        PaintHalf(*sd->CacheBmp, first, place, first ? State1 : State2);
    }
    HDC dc = given != nullptr ? given : GetDC(CtrlHandle);
    {
      TBitmapCanvas cache(*sd->CacheBmp);
      BitBlt(dc, 0, 0, c.Width(), c.Height(), cache.Handle(), 0, 0, SRCCOPY);
    }
    if (given == nullptr) ReleaseDC(CtrlHandle, dc);
  }
  if (given == nullptr) EndPaint(CtrlHandle, &ps);
}

void TacSpinWnd::AfterMouseMove() {
  if (!leaveTracked_) {
    // Without this request no WM_MOUSELEAVE comes and a half stays hot.
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, CtrlHandle, 0};
    leaveTracked_ = TrackMouseEvent(&track) != FALSE;
  }
  if (DefaultManager == nullptr || DefaultManager->HasState(csDesigning) ||
      !IsWindowEnabled(CtrlHandle))
    return;
  int first = 0, second = 0;
  CurrentStates(first, second);
  if (first != 0 || second != 0) {
    if (DefaultManager->HotWindow() != CtrlHandle) DefaultManager->SetHotWindow(CtrlHandle);
    if (first != State1 || second != State2) InvalidateRect(CtrlHandle, nullptr, FALSE);
  } else if (DefaultManager->HotWindow() == CtrlHandle) {
    DefaultManager->SetHotWindow(nullptr);
  }
}

void TacSpinWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) return MainWndProc(m);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      Pressed = true;
      break;
    case WM_LBUTTONUP:
      Pressed = false;
      break;
    case WM_CAPTURECHANGED:
      // Capture taken away (a message box, Alt+Tab): no release comes.
      if (reinterpret_cast<HWND>(m.LParam) != CtrlHandle) Pressed = false;
      break;
    case WM_MOUSELEAVE:
      leaveTracked_ = false;
      InvalidateRect(CtrlHandle, nullptr, FALSE);
      break;
    case WM_PAINT:
      Paint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT:
      return;
    default:
      break;
  }
  MainWndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      InvalidateRect(CtrlHandle, nullptr, FALSE);
      UpdateWindow(CtrlHandle);
      break;
    case WM_MOUSEMOVE:
      AfterMouseMove();
      break;
    default:
      break;
  }
}

TacMainWnd* CreateSpinAdapter(HWND handle, TsCommonData* skinData, TsSkinManager* manager,
                              std::string_view section, bool repaint) {
  return CreateAdapter<TacSpinWnd>(handle, repaint, skinData, manager, section);
}

}  // namespace kv
