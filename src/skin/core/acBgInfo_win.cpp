#include "skin/core/acBgInfo_win.h"

#include "classlib/Graphics.h"
#include "skin/core/acUtils.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

bool WindowOfThisProcess(HWND wnd) {
  DWORD process = 0;
  return wnd != nullptr && GetWindowThreadProcessId(wnd, &process) != 0 &&
         process == GetCurrentProcessId();
}

// The asker's rectangle in the parent's coordinates becomes the clip, and
// the parent paints with its origin moved so that its pixel at AskerPos lands
// at the asker's (0, 0).
template <class Paint>
void PaintParentShifted(TsBgRequest& request, Paint paint) {
  const int saved = SaveDC(request.DC);
  POINT org{};
  GetViewportOrgEx(request.DC, &org);
  SetViewportOrgEx(request.DC, org.x - request.AskerPos.X, org.y - request.AskerPos.Y, nullptr);
  OffsetRect(request.R, request.AskerPos.X, request.AskerPos.Y);
  IntersectClipRect(request.DC, request.R.Left, request.R.Top, request.R.Right, request.R.Bottom);
  paint(WM_ERASEBKGND);
  paint(WM_PAINT);
  RestoreDC(request.DC, saved);
}

// By the window when the control has one, else directly (never creating a
// window for the question).
LRESULT AskControl(TControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  const TOwnAddress own(lParam);
  auto* win = dynamic_cast<TWinControl*>(control);
  if (win != nullptr && win->HandleAllocated())
    return SendMessageW(win->Handle(), msg, wParam, lParam);
  return control->Perform(msg, wParam, lParam);
}

TColor GlobalInfoColor() {
  return DefaultManager != nullptr ? DefaultManager->Skin().GetGlobalInfoColor()
                                   : static_cast<TColor>(ColorToRGB(clBtnFace));
}

}  // namespace

bool GetWindowBackgroundInfo(TsBgRequest& request, HWND wnd, bool pleaseDraw) {
  const bool drawWanted = request.PleaseDraw;
  request.BgType = btNoAnswer;
  request.PleaseDraw = pleaseDraw;
  const bool ours = WindowOfThisProcess(wnd);
  if (ours) SendCommandToWindow(wnd, cmdGetBackground, reinterpret_cast<LPARAM>(&request));
  if (request.BgType != btNoAnswer) return true;
  if (drawWanted && ours && request.DC != nullptr) {
    PaintParentShifted(request, [&](UINT msg) {
      SendMessageW(wnd, msg, reinterpret_cast<WPARAM>(request.DC), 0);
    });
    return false;
  }
  request.Color = GlobalInfoColor();
  request.BgType = btColor;
  return false;
}

bool GetControlBackgroundInfo(TsBgRequest& request, TControl* control, bool pleaseDraw) {
  if (control == nullptr) return false;
  const bool drawWanted = request.PleaseDraw;
  request.BgType = btNoAnswer;
  request.PleaseDraw = pleaseDraw;
  AskControl(control, SM_ALPHACMD, CommandWParam(cmdGetBackground),
             reinterpret_cast<LPARAM>(&request));
  if (request.BgType != btNoAnswer) return true;
  if (drawWanted && request.DC != nullptr) {
    PaintParentShifted(
        request, [&](UINT msg) { control->Perform(msg, reinterpret_cast<WPARAM>(request.DC), 0); });
    return false;
  }
  request.BgType = btColor;
  // Black counts as no answer here: a control that cannot say gives its Color.
  const auto answer =
      static_cast<TColor>(control->Perform(SM_ALPHACMD, CommandWParam(cmdGetBgColor), 0));
  request.Color = answer != 0 ? answer : static_cast<TColor>(ColorToRGB(control->Color()));
  if (request.PleaseDraw && request.Bmp != nullptr && request.DC != nullptr)
    FillRectWithColor(request.DC, request.R, request.Color);
  return false;
}

namespace {

// One level of the question: position added before, origin after.
template <class Ask>
bool Forward(TsBgRequest& request, TPoint position, Ask ask) {
  const TPoint askerPos = request.AskerPos;
  const TRect r = request.R;
  request.AskerPos = {askerPos.X + position.X, askerPos.Y + position.Y};
  const bool answered = ask(request.PleaseDraw);
  // What the asker gave is its own again: the self-painting fallback moves R.
  request.AskerPos = askerPos;
  request.R = r;
  if (request.BgType == btBitmap)
    request.Offset = {request.Offset.X + position.X, request.Offset.Y + position.Y};
  return answered;
}

}  // namespace

bool ForwardBgRequestToParent(TsBgRequest& request, TControl* control) {
  if (control == nullptr || control->Parent() == nullptr) return false;
  return Forward(request, {control->Left(), control->Top()}, [&](bool draw) {
    return GetControlBackgroundInfo(request, control->Parent(), draw);
  });
}

bool ForwardBgRequestToParentWindow(TsBgRequest& request, HWND wnd) {
  HWND parent = wnd != nullptr ? GetParent(wnd) : nullptr;
  if (parent == nullptr) return false;
  RECT r{};
  GetWindowRect(wnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return Forward(request, {r.left, r.top},
                 [&](bool draw) { return GetWindowBackgroundInfo(request, parent, draw); });
}

void BackgroundInfoToCacheInfo(const TsBgRequest& request, TsBgCacheInfo& cacheInfo) {
  if (request.BgType == btBitmap) {
    cacheInfo = MakeBgCacheInfo(request.Bmp, request.Offset.X, request.Offset.Y);
    return;
  }
  cacheInfo = {nullptr, 0, 0, static_cast<TColor>(ColorToRGB(request.Color)), false};
}

void ExcludeGraphicChildrenClip(HDC dc, TWinControl* control, int offsetX, int offsetY) {
  if (control == nullptr) return;
  for (int i = 0; i < control->ControlCount(); ++i) {
    TControl* child = control->Controls(i);
    if (!child->Visible() || dynamic_cast<TGraphicControl*>(child) == nullptr) continue;
    ExcludeClipRect(dc, child->Left() + offsetX, child->Top() + offsetY,
                    child->Left() + offsetX + child->Width(),
                    child->Top() + offsetY + child->Height());
  }
}

}  // namespace kv
