#include "skin/controls/sUpDown_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/Bitmap.h"
#include "classlib/Forms.h"
#include "skin/controls/sSkinnedControl_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/geometry/sButtonLayout.h"
#include "skin/geometry/sUpDownGeometry.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

// The skin's scroll button of a half: its section and its arrow.
const TsCommonIndexes::ScrollPart& ArrowPart(const TsSkinModel& skin, bool vertical, bool first) {
  const TsCommonIndexes& i = skin.CommonIndexes;
  if (vertical) return first ? i.BtnTop : i.BtnBottom;
  return first ? i.BtnLeft : i.BtnRight;
}

const char* ArrowSection(bool vertical, bool first) {
  if (vertical) return first ? "SCROLLBTNTOP" : "SCROLLBTNBOTTOM";
  return first ? "SCROLLBTNLEFT" : "SCROLLBTNRIGHT";
}

}  // namespace

TsUpDown::TsUpDown(TComponent* owner) : TCustomUpDown(owner) {
  SetControlStyle(ControlStyle() & ~csDoubleClicks);
}

void TsUpDown::SetButtonSkin(const std::string& value) {
  if (buttonSkin_ == value) return;
  buttonSkin_ = value;
  Invalidate();
}

void TsUpDown::SetDisabledKind(TsDisabledKind value) {
  disabledKind_ = value;
  Repaint();
}

void TsUpDown::SetShowInaccessibility(bool value) {
  showInaccessibility_ = value;
  Repaint();
}

void TsUpDown::SetButtonState(int value) {
  if (buttonState_ == value) return;
  buttonState_ = value;
  Repaint();
}

bool TsUpDown::Skinned() const {
  if (DefaultManager == nullptr || !DefaultManager->CommonSkinData().Active) return false;
  const TsSkinModel& skin = DefaultManager->Skin();
  const bool vertical = Orientation() == udVertical;
  return ArrowPart(skin, vertical, true).Section >= 0 &&
         ArrowPart(skin, vertical, false).Section >= 0;
}

void TsUpDown::PaintButton(TBitmap& bitmap, bool first, const TRect& place) {
  const TsSkinModel& skin = DefaultManager->Skin();
  const bool vertical = Orientation() == udVertical;
  TsBgCacheInfo background;
  GetParentBgInfoByHandle(Handle(), background);
  const TPoint at{Left() + place.Left, Top() + place.Top};
  int section = buttonSkin_.empty() ? -1 : skin.SectionIndexOf(buttonSkin_);
  std::string name = buttonSkin_;
  if (section < 0) {
    section = ArrowPart(skin, vertical, first).Section;
    name = ArrowSection(vertical, first);
  }
  const int look = UpDownHalfLook(buttonState_, first);
  PaintSkinItem(section, name, background, true, look, {0, 0, bitmap.Width(), bitmap.Height()}, at,
                &bitmap, &skin);
  const int arrow = ArrowPart(skin, vertical, first).Glyph;
  if (skin.IsMaskIndexValid(arrow)) {
    const TsMaskData& mask = skin.MaskData[arrow];
    const TSize frame =
        mask.Bmp ? CheckGlyphSize(mask.Bmp->Width(), mask.Bmp->Height())
                 : MaskFrameSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
    if (frame.cx > 0 && frame.cy > 0)
      DrawMaskState(&bitmap, {(bitmap.Width() - frame.cx) / 2, (bitmap.Height() - frame.cy) / 2},
                    look, MakeBgCacheInfo(&bitmap, 0, 0), mask, skin.MasterBitmap.get(), 1);
  }
  const TsUpDownRange range{Min(), Max(), Position(), vertical};
  if (!Enabled() || (showInaccessibility_ && UpDownInaccessible(range, first)))
    ApplyDisabledKind(&bitmap, disabledKind_, this, at, background);
}

void TsUpDown::PaintButtons(HDC dc) {
  const bool vertical = Orientation() == udVertical;
  for (const bool first : {true, false}) {
    const TRect place = UpDownHalfRect(Width(), Height(), vertical, first);
    if (place.Width() < 1 || place.Height() < 1) continue;
    TBitmap bitmap(place.Width(), place.Height(), pf24bit);
    PaintButton(bitmap, first, place);
    TBitmapCanvas canvas(bitmap);
    BitBlt(dc, place.Left, place.Top, place.Width(), place.Height(), canvas.Handle(), 0, 0,
           SRCCOPY);
  }
}

void TsUpDown::WndProc(TMessage& m) {
  const bool designing = HasState(csDesigning);
  const auto inherited = [&] { TCustomUpDown::WndProc(m); };
  switch (m.Msg) {
    case SM_ALPHACMD:
      switch (m.WParamHi()) {
        case cmdSkinRemoved:
        case cmdSkinRefresh:
          if (reinterpret_cast<TsSkinManager*>(m.LParam) == DefaultManager) Repaint();
          return;
        case cmdIsSkinned:
          m.Result = 1;
          return;
        case cmdGetApplication:
          m.Result = reinterpret_cast<LRESULT>(Application);
          return;
        default:
          return inherited();
      }
    case WM_PAINT:
      if (!Skinned() || !HandleAllocated()) return inherited();
      {
        const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
        if (paint.Handle() != nullptr) PaintButtons(paint.Handle());
      }
      m.Result = 0;
      return;
    case WM_PRINT:
      m.Result = SendMessageW(Handle(), WM_PAINT, m.WParam, m.LParam);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      if (DefaultManager == nullptr || !DefaultManager->CommonSkinData().Active) return inherited();
      m.Result = 1;
      return;
    case WM_NCHITTEST: {
      inherited();
      if (designing) return;
      const TPoint p = ScreenToClient({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
      const bool vertical = Orientation() == udVertical;
      const auto inside = [&](const TRect& r) {
        return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
      };
      const bool overFirst = inside(UpDownHalfRect(Width(), Height(), vertical, true));
      const bool overSecond =
          !overFirst && inside(UpDownHalfRect(Width(), Height(), vertical, false));
      SetButtonState(UpDownHoverState(buttonState_, overFirst, overSecond, mouseDown_,
                                      showInaccessibility_, {Min(), Max(), Position(), vertical}));
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK: {
      // The click's handler may free the up-down (a page control's
      // scroller whose tabs all fit now): it is not touched again then.
      const TLifeToken life = LifeToken();
      inherited();
      if (designing || !life.Alive()) return;
      mouseDown_ = true;
      SetButtonState(
          UpDownPressState(buttonState_, {Min(), Max(), Position(), Orientation() == udVertical}));
      return;
    }
    case WM_LBUTTONUP: {
      const TLifeToken life = LifeToken();
      inherited();
      if (designing || !life.Alive() || !mouseDown_) return;
      mouseDown_ = false;
      SetButtonState(UpDownReleaseState(buttonState_, showInaccessibility_,
                                        {Min(), Max(), Position(), Orientation() == udVertical}));
      m.Result = 1;
      return;
    }
    case UDM_SETPOS:
    case UDM_SETPOS32:
    case UDM_SETRANGE:
    case UDM_SETRANGE32:
      // The system control does not repaint for these; a limit may have
      // been reached or left.
      inherited();
      if (Skinned()) Invalidate();
      return;
    case CM_MOUSELEAVE:
      inherited();
      if (designing) return;
      mouseDown_ = false;
      SetButtonState(0);
      return;
    default:
      return inherited();
  }
}

}  // namespace kv
