// The adapter of a system dialog ("#32770": a message box or a common
// dialog) that the dialog hook takes on. It paints the whole frame from the
// skin's "DIALOG" section (borders, title with icon and caption, title
// buttons) into its cache, answers hit tests and clicks for its title
// buttons and icon, shows its own system menu, and gives the client area
// the skin's background. The system keeps the frame's geometry, dragging
// and sizing: the adapter only paints over them.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "base/Bitmap.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/forms/acDialogWndRules.h"
#include "skin/forms/acSystemMenu_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/forms/sTitleButtons_win.h"

namespace kv {

class TacDialogWnd;

// The extended-border companion window as a dialog drives it; the border
// form's unit makes it through MakeDialogBorder. While that is unset,
// dialogs keep the system's borders.
class TacDialogBorder {
 public:
  virtual ~TacDialogBorder() = default;
  virtual HWND Handle() const = 0;
  // Places the companion round the dialog; with repaint its picture too.
  virtual void Sync(bool repaint) = 0;
  // The shadow round the frame in the dialog's cache: its margins, and the
  // shadow painted there (the cache made 32-bit).
  virtual TRect ShadowMargins() const { return {}; }
  virtual void PaintShadow(TBitmap& /*cache*/, const TRect& /*margins*/, bool /*active*/) {}
  // When the skin's border picture draws border and title (BORDERMODE 1):
  // the picture made the frame, paintTitle drawing the title on it.
  virtual bool DrawsFrame() const { return false; }
  virtual void PaintFramePicture(TBitmap& /*cache*/, const TRect& /*margins*/, bool /*active*/,
                                 int /*sideBorder*/, const std::function<void()>& paintTitle) {
    paintTitle();
  }
  // The part of the frame under a click the companion passed on; -1 for none.
  virtual int HitTest(TMessage& /*message*/) { return -1; }
};
extern std::unique_ptr<TacDialogBorder> (*MakeDialogBorder)(TacDialogWnd& dialog);

class TacDialogWnd : public TacScrollWnd, public TacGlowHost {
 public:
  // What the hook gives back for command 28 and the re-wrap messages:
  // the dialog's children wrapped in adapters again.
  std::function<void()> OnWrapChildren;

  TacDialogWnd(TsCommonData* skinData, TsSkinManager* manager,
               std::string_view skinSection = "DIALOG");
  ~TacDialogWnd() override;

  // Set-up once the adapter is attached: styles, border kind, icon,
  // title-button masks, WS_SYSMENU taken off (the frame shows its own
  // button and menu), the system menu brought up to date.
  void InitDialog();
  void WndProc(TMessage& message) override;
  void SaveOriginalState() override;
  void RestoreOriginalState() override;

  // The styles as read at set-up, the window's state now.
  TacDialogState DialogState() const;
  TsFrameGeometry Geometry() const;
  int TitleHeight(bool useSkin) const;
  TRect TitleIconRect() const;
  // The title buttons as last laid out (laid out now when never painted).
  const std::vector<TsPlacedTitleButton>& PlacedButtons();
  // The frame into the cache, when it changed.
  void PaintAll();
  // Title-button states: 0 normal, 1 hot, 2 pressed.
  int ButtonState(int hitCode) const;
  void SetHotButton(int hitCode, bool repaint = true);
  // The title buttons' glows go at once (the border window moved or went).
  void StopButtonAnimations();
  void SetPressedButton(int hitCode);
  // The system menu at a screen point, its entries updated first.
  void DropSysMenu(int x, int y);
  // Under the title icon, as a click on the icon or Alt+Space drops it.
  void DropSysMenuUnderIcon();
  // The brush WM_CTLCOLORDLG answers: one per colour, kept until the
  // colour changes or the adapter goes.
  HBRUSH DialogBrush();
  // Extended borders on (made when they can be) or off.
  void UpdateBorderForm(bool use);
  TacDialogBorder* BorderForm() const { return borderForm_.get(); }
  // The fade of a title button's glow, while one runs or shows.
  TacSBAnimation* ButtonAnimation(int hitCode) const;

  HWND GlowOwner() const override { return CtrlHandle; }
  TsSkinManager* GlowManager() const override { return SkinManager; }
  POINT GlowFrameOffset() const override;
  void DrawGlowButton(TBitmap* target, int hitCode, int state) override;
  void GlowEnded(TsTitleButtonRecord& record) override;

  int HotButton = 0;
  bool Active = true;
  // WM_PAINT only validates the client area (from system version 6 on);
  // cleared when the hook wraps an edit or a combo box of the dialog.
  bool SkipPaint = false;
  int CaptionIndex = -1;
  bool ChildrenWrapped = false;
  bool RegionChanged = true;
  int BorderStyle = DialogBorderStyleUnread;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  HICON TitleIcon = nullptr;
  std::vector<TRect> RegionHoles;
  // The title band as painted before the buttons: what a button is drawn
  // over when it is repainted alone.
  std::unique_ptr<TBitmap> ButtonBg;
  Owned<TacSystemMenu> SystemMenu;

 private:
  using TButtonRecord = TsTitleButtonRecord;
  std::array<TButtonRecord, 4> buttons_{};
  std::vector<TsPlacedTitleButton> placed_;
  TsTitleButtonMasks masks_{};
  int restoreMask_ = -1;
  bool hadSysMenu_ = false;
  HBRUSH brush_ = nullptr;
  TColor brushColor_ = clNone;
  int glowIndex_ = -1;
  bool regionSet_ = false;
  std::unique_ptr<TacDialogBorder> borderForm_;

  TButtonRecord* Record(int hitCode);
  void LoadTitleButtonMasks();
  int MaskIndex(TsTitleMask mask) const;
  TsTitleButtonMetrics ButtonMetrics() const;
  void RefreshSkin();
  void PaintTitle(const TsFrameGeometry& g, TBitmap* cache);
  void PaintTitleButtons(TBitmap* cache);
  void DrawTitleButton(TBitmap* cache, const TsPlacedTitleButton& b, int state,
                       TPoint at = {-1, -1});
  void CopyButtonToWindow(const TRect& r);
  void StartButtonAnimation(TButtonRecord& record, const TsPlacedTitleButton& b);
  void PaintTitleButton(int hitCode);
  void UpdateButtonGlow(const TsPlacedTitleButton& b, int state);
  void HideButtonGlow();
  void SyncBorderForm(bool repaint);
  void UpdateRegion(bool repaint);
  void PaintFrame();
  void PaintClient(HDC dc);
  void WrapChildren();
  void FreeBrush();
  void TrackLeave();
  bool DialogCommand(TMessage& m);
  void NcLButtonDown(TMessage& m);
  void ButtonUp(TMessage& m);
  void SendSysCommand(WPARAM command);
  TPoint WindowPoint(LPARAM screen) const;
};

// The adapter attached to a dialog and set up; null when the dialog is gone.
// Its owner frees it with FreeAdapter.
TacDialogWnd* AttachDialogWnd(HWND dialog, TsSkinManager* manager);
// What a caller outside the dialog hook makes for a dialog it takes on: the adapter attached
// to the window and set up. Freeing the object takes the adapter off.
std::unique_ptr<TacHookedWindow> NewDialogWnd(HWND dialog, TsSkinManager* manager);
// The adapter inside what NewDialogWnd made; null for anything else.
TacDialogWnd* DialogWndOf(TacHookedWindow* hooked);

}  // namespace kv
