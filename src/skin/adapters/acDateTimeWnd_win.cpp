#include "skin/adapters/acDateTimeWnd_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "classlib/DateTimePickers.h"
#include "classlib/Graphics.h"
#include "skin/adapters/acComboBoxWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {
namespace {

// The class library's picker registers a class of its own name.
bool IsDateTimePicker(HWND wnd, const TsCommonData* sd) {
  if (sd != nullptr && dynamic_cast<const TDateTimePicker*>(sd->OwnerControl) != nullptr)
    return true;
  wchar_t name[32] = {};
  GetClassNameW(wnd, name, 32);
  return lstrcmpiW(name, DATETIMEPICK_CLASSW) == 0;
}

int Channel(TColor c, int shift) { return static_cast<int>(c >> shift & 0xFF); }

// Moves every pixel that lies on the way from the background to the
// system's text colour (the text and its smoothed edges) to the same place
// on the way to the wanted colour. Other pixels (a selected field's
// highlight) stay.
void RecolourText(TBitmap& picture, TColor background, TColor systemText, TColor wanted) {
  constexpr int kMinSpan = 8, kOne = 256, kSlack = 24;
  for (int y = 0; y < picture.Height(); ++y) {
    std::uint8_t* p = picture.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x, p += 3) {
      // p holds B, G, R; a TColor is 0x00BBGGRR.
      const int got[3] = {p[2], p[1], p[0]};
      int sum = 0, used = 0, low = kOne * 2, high = -kOne;
      for (int c = 0; c < 3; ++c) {
        const int b = Channel(background, 8 * c), k = Channel(systemText, 8 * c);
        if (std::abs(b - k) < kMinSpan) {
          if (std::abs(got[c] - b) > kMinSpan) used = -4;  // off the way
          continue;
        }
        const int t = (b - got[c]) * kOne / (b - k);
        sum += t, ++used;
        low = std::min(low, t), high = std::max(high, t);
      }
      if (used <= 0 || high - low > kSlack || low < -kSlack / 2 || high > kOne + kSlack / 2)
        continue;
      const int t = std::clamp(sum / used, 0, kOne);
      if (t == 0) continue;
      for (int c = 0; c < 3; ++c) {
        const int b = Channel(background, 8 * c), w = Channel(wanted, 8 * c);
        p[2 - c] = static_cast<std::uint8_t>(b + (w - b) * t / kOne);
      }
    }
  }
}

}  // namespace

TacDateTimeWnd::~TacDateTimeWnd() { FreeAdapter(Spin); }

void TacDateTimeWnd::HookWindow(HWND handle, bool repaint) {
  TacEditWnd::HookWindow(handle, repaint);
  // The time kind's up-down is made with the picker's window.
  HWND updown = FindWindowExW(handle, nullptr, UPDOWN_CLASSW, nullptr);
  if (updown != nullptr && Spin == nullptr)
    Spin = CreateAdapter<TacSpinWnd>(updown, true, nullptr, SkinManager, "UPDOWNBTN");
}

void TacDateTimeWnd::UnhookWindow(bool repaint) {
  FreeAdapter(Spin);
  TacEditWnd::UnhookWindow(repaint);
}

TColor TacDateTimeWnd::BackgroundColor() const {
  if (const TControl* owner = SkinData->OwnerControl) return ColorToRGB(owner->Color());
  return ColorToRGB(Color);
}

TColor TacDateTimeWnd::TextColor() const {
  TColor text = 0;
  if (const TControl* owner = SkinData->OwnerControl)
    text = owner->Font()->Color();
  else if (const TsGeneralData* section = SkinData->Section())
    text = section->FontColor[0];
  text = ColorToRGB(text);
  // A disabled picker's text halfway to its background.
  return IsWindowEnabled(CtrlHandle) ? text : MixColorsByFraction(text, BackgroundColor(), 0.5);
}

int TacDateTimeWnd::ButtonState() const {
  if (SendMessageW(CtrlHandle, DTM_GETMONTHCAL, 0, 0) != 0) return 2;
  const bool hot = ControlIsHot(SkinData) ||
                   (DefaultManager != nullptr && DefaultManager->HotWindow() == CtrlHandle);
  return hot ? 1 : 0;
}

void TacDateTimeWnd::Paint(HDC given) {
  RECT client;
  GetClientRect(CtrlHandle, &client);
  PAINTSTRUCT ps{};
  HDC dc = given != nullptr ? given : BeginPaint(CtrlHandle, &ps);
  if (client.right > 0 && client.bottom > 0 && dc != nullptr) {
    const TColor background = BackgroundColor();
    TBitmap picture(client.right, client.bottom, pf24bit);
    {
      TBitmapCanvas canvas(picture);
      FillRectWithColor(canvas.Handle(), {0, 0, client.right, client.bottom}, background);
      // The picker draws its fields (not its background) into a given DC.
      TMessage paint{WM_PAINT, reinterpret_cast<WPARAM>(canvas.Handle()), 0, 0};
      CallPrev(paint);
    }
    const TColor systemText =
        GetSysColor(IsWindowEnabled(CtrlHandle) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    RecolourText(picture, background, systemText, TextColor());
    if ((GetWindowLongW(CtrlHandle, GWL_STYLE) & DTS_UPDOWN) == 0) {
      const int width = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), client.right);
      const TRect button{client.right - width, 0, client.right, client.bottom};
      TBitmap below = picture;
      PaintComboButton(picture, below, button, client.bottom, ButtonState(),
                       SkinManager->Skin());
    }
    TBitmapCanvas canvas(picture);
    BitBlt(dc, 0, 0, client.right, client.bottom, canvas.Handle(), 0, 0, SRCCOPY);
  }
  if (given == nullptr) EndPaint(CtrlHandle, &ps);
}

void TacDateTimeWnd::WndProc(TMessage& m) {
  if (Destroyed || !Hooked() || !SkinUsable()) return TacEditWnd::WndProc(m);
  TsCommonData* sd = SkinData;
  switch (m.Msg) {
    case WM_PAINT:
      if (!IsWindowVisible(CtrlHandle) && m.WParam == 0) break;
      SetPaintingSuspended(sd, PaintingSuspended(sd));
      if (sd->Updating || (AnimationActive && AnimationDC == nullptr)) break;
      if (!StateApplied) ApplySkinState();
      Paint(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      // The paint covers the whole client.
      if (!IsWindowVisible(CtrlHandle) || sd->Updating) break;
      m.Result = 1;
      return;
    case SM_ALPHACMD:
      // The up-down is no child control of the picker's: it hears of the
      // skin from here.
      if (Spin != nullptr && (m.WParamHi() == cmdSkinLoaded || m.WParamHi() == cmdSkinRefresh ||
                              m.WParamHi() == cmdSkinRemoved))
        SendMessageW(Spin->CtrlHandle, m.Msg, m.WParam, m.LParam);
      break;
    default:
      break;
  }
  TacEditWnd::WndProc(m);
}

TacMainWnd* CreateEditAdapter(HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
                              std::string_view skinSection, bool repaint) {
  if (IsDateTimePicker(wnd, skinData))
    return CreateAdapter<TacDateTimeWnd>(wnd, repaint, skinData, manager, skinSection);
  return CreateAdapter<TacEditWnd>(wnd, repaint, skinData, manager, skinSection);
}

}  // namespace kv
