// The form provider: the component a form carries to get a skinned frame.
// It puts its window procedure (FormWndProc, sSkinProviderWndProc_win.cpp)
// on top of the form's chain, keeps the form in the hooked-forms list,
// answers the toolkit commands for the form, keeps the window region cut
// from the skin's border mask, and takes the form back to its own look when
// the skin goes. The frame painting, title buttons, hit test, menus,
// extended borders and MDI support hang on the named hooks below; until
// they exist those hooks paint and answer nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ButtonKinds.h"
#include "base/Types.h"
#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/forms/sSkinProviderGeometry.h"
#include "skin/forms/sTitleButtonsLayout.h"

namespace kv {

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };

// The control-type code of a provider's skin data.
inline constexpr int ProviderControlType = 224;

// The text written after the caption; drawn by the title painting.
struct TacAddedTitle {
  std::string Text;
  TFont Font;
};

// The title icon's own picture and size (0 derives the size from the title).
struct TsTitleIcon {
  int Width = 0;
  int Height = 0;
};

// A button the program adds to the title bar.
struct TsTitleButton {
  std::string Name;
  bool Visible = true;
  bool UseSkinData = true;
  int MaskIndex = -1;  // "TITLEBUTTON" of "GLOBALINFO" once a skin is loaded
};

struct TsTitleButtons {
  std::vector<TsTitleButton> Items;
};

using TacNCHitTest = std::function<void(TMessage& Msg)>;
using TAddItemEvent =
    std::function<void(TComponent* Item, bool& CanBeAdded, std::string& SkinSection)>;

class TsSkinProvider : public TComponent, public TacFormProvider {
 public:
  explicit TsSkinProvider(TComponent* owner);
  ~TsSkinProvider() override;
  void AfterConstruction();

  // Published.
  TacAddedTitle AddedTitle;
  bool AllowExtBorders() const { return allowExtBorders_; }
  void SetAllowExtBorders(bool value);
  TAlignment CaptionAlignment() const { return captionAlignment_; }
  void SetCaptionAlignment(TAlignment value);
  bool DrawNonClientArea() const override { return drawNonClientArea_; }
  void SetDrawNonClientArea(bool value);
  TsCommonData* SkinData() const { return skinData_.get(); }
  TsGripMode GripMode = gmNone;
  bool MakeSkinMenu = false;
  const std::string& MenuLineSkin() const { return menuLineSkin_; }
  void SetMenuLineSkin(const std::string& value);
  TsResizeMode ResizeMode = rmStandard;
  bool ScreenSnap = false;
  int SnapBuffer = 10;
  bool ShowAppIcon() const { return showAppIcon_; }
  void SetShowAppIcon(bool value);
  const TsTitleButtons& TitleButtons() const { return titleButtons_; }
  void SetTitleButtons(const TsTitleButtons& value) { titleButtons_ = value; }
  TsTitleIcon TitleIcon;
  const std::string& TitleSkin() const { return titleSkin_; }
  void SetTitleSkin(const std::string& value);
  bool UseGlobalColor() const { return useGlobalColor_; }
  void SetUseGlobalColor(bool value);
  TacNCHitTest OnExtHitTest;
  TAddItemEvent OnSkinItem;

  // The seam the skin core calls.
  TsSkinManager* SkinManager() const override;
  void SetPaintingLocked(bool locked) override;
  void FindRegionHoles() override;
  void UpdateFormRegion(bool repaint) override;
  HRGN BuildFrameRegion(int x, int y) override;
  int TitleBarHeight(bool useSkin) const override;
  int ClientLeftOffset() const override;
  int ClientTopOffset() const override;
  TCustomForm* Form() const override { return form_; }
  void ReceiveMessage(TMessage& message) override;

  // (Re)applies the skin to the form.
  void PrepareForm();
  void UpdateSysMenuStyle(bool skinned);
  void UpdateExtendedBorders(bool use);
  void RepaintFrameNow();
  void SuspendFormPainting();
  void ResumeFormPainting();
  void ShowCoverForm();
  void HideCoverForm();
  // The frame's geometry as the form's window has it now.
  TsFrameGeometry Geometry() const;
  // Has a title bar: both caption bits and a border, an MDI child, or
  // iconic. Every "captioned form" test of the provider asks this one.
  bool IsCaptionedForm() const;
  TColor FormColor() const;

  // The form window procedure, on top of the form's chain.
  void FormWndProc(TMessage& message);

  // State other parts read.
  const std::vector<TRect>& RegionHoles() const { return regionHoles_; }
  HMENU SystemMenu() const { return systemMenu_; }
  bool SysMenuStyleRemoved() const { return sysMenuStyleRemoved_; }
  bool FirstSetupPending() const { return firstSetupPending_; }
  bool FormActive() const { return formActive_; }
  int RedrawLockCount() const { return redrawLockCount_; }
  bool ShowAnimating() const { return showAnimating_; }
  bool Suspended() const { return suspended_; }
  TCustomForm* CoverForm() const { return coverForm_; }
  int MenuLineCount = -1;
  int TitleSectionIndex = -1;
  int CaptionSectionIndex = -1;
  int LastShowState = 0;
  bool RgnChanged = true;
  bool InRegionUpdate = false;
  bool RegionUpdatesBlocked = false;
  bool FramePainted = false;
  bool FrameRepaintNeeded = true;
  bool MenuRebuilt = false;
  bool MaximisedTitle = false;

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void BeforeDestruction() override;

  // Hooks of the parts built later; each paints and answers nothing yet.
  // WM_NCPAINT: the frame from the cache.
  virtual void PaintNonClientArea() {}
  // The frame from the cache into dc (a print of the whole window).
  virtual void CopyFrameToDC(HDC /*dc*/) {}
  // The non-client mouse (hit test, title buttons) and the border-mode
  // drag; true when answered (sSkinProviderInput_win.cpp).
  virtual bool TitleBarMouse(TMessage& message);
  // The form's menus handed to (or taken from) the menu painter.
  virtual void SkinFormMenus(bool /*skinned*/) {}
  // The control adapter that skins standard controls.
  virtual void CreateAdapter() {}
  virtual void RemoveAdapter() {}
  // The skinned scroll bars of an auto-scrolling form.
  virtual void UpdateFormScrollAdapter() {}
  // The client background into dc; the skin section's colour for now.
  virtual void PaintFormTo(HDC dc);

 private:
  bool SkinCommandAnyState(TMessage& m);
  bool SkinnedMessage(TMessage& m);
  void SkinnedCommand(TMessage& m);
  void UnskinnedMessage(TMessage& m);
  void RemoveSkin(TMessage& m);
  void NewSkinIndexes();
  void RefreshSkin(bool afterNewSkin);
  void NCActivate(TMessage& m);
  void SetText(TMessage& m);
  void ShowingChanged(TMessage& m);
  void SysCommand(TMessage& m);
  void WindowPosChanging(TMessage& m);
  void Size(TMessage& m);
  void Paint(TMessage& m);
  void EraseBackground(TMessage& m);
  void Print(TMessage& m);
  void CallOld(TMessage& m) { hook_.CallPrevious(m); }
  void ApplyGlobalColor();
  bool Showing() const;
  bool FormDestroying() const;
  HWND FormHandle() const;
  void InvalidateFrame();

  TCustomForm* form_ = nullptr;
  std::unique_ptr<TsCommonData> skinData_;
  TWindowProcHook hook_;
  bool hooked_ = false;
  bool allowExtBorders_ = true;
  TAlignment captionAlignment_ = taLeftJustify;
  bool drawNonClientArea_ = true;
  std::string menuLineSkin_;
  bool showAppIcon_ = true;
  TsTitleButtons titleButtons_;
  std::string titleSkin_;
  bool useGlobalColor_ = true;

  HMENU systemMenu_ = nullptr;
  bool systemMenuReady_ = false;
  std::vector<TRect> regionHoles_;
  bool sysMenuStyleRemoved_ = false;
  bool firstSetupPending_ = false;
  bool formActive_ = false;
  int redrawLockCount_ = 0;
  bool suspended_ = false;
  bool showAnimating_ = false;
  TCustomForm* coverForm_ = nullptr;
  TWindowProcHook coverHook_;
  TRect lastClientRect_{};

  // --- Form sizing and the non-client mouse (sSkinProviderInput_win.cpp) ---
 public:
  // WM_GETMINMAXINFO: a maximised form fills the work area with its skinned
  // title; the form's previous procedure runs afterwards.
  void UpdateMaxInfo(TMessage& message);
  // Top-left of the size grip mask in the frame cache.
  TPoint GripPosition(int maskIndex) const;
  // The border-mode outline on the desktop (rmBorder only).
  void BeginOutlineTracking(int x, int y);
  void DrawTrackingOutline(int left, int top);
  void EndOutlineTracking();
  // WM_INITMENUPOPUP: the window's own system menu cannot size the frame.
  void PrepareSystemMenuPopup(TMessage& message);
  // The skinned scroll box at a screen point inside control, searched
  // through nested windowed controls; null when there is none.
  static TWinControl* FindScrollBoxAt(TWinControl* control, TPoint screenPoint);
  // The wheel nobody took goes to the scroll box under the cursor.
  void RedirectMouseWheel(TMessage& message);
  // The maximised place and visible region on the form's monitor.
  TsMaxPlacement MaxPlacement() const;
  // The form's hit code of the message's screen point; sets the hot button.
  int NCHitTest(const TMessage& message);

  // Stand-ins for the title buttons' records and the skinned system menu
  // (sSkinProviderInputButtons_win.cpp), which the frame painting replaces.
  std::vector<TsPlacedTitleButton> PlacedButtons() const;
  int HotButton() const { return hotButton_; }
  void SetHotButton(int hitCode, bool repaint);
  void SetPressedButton(int hitCode);
  bool TitleButtonIsPressed(int hitCode) const;
  virtual void PaintTitleButton(int /*hitCode*/) {}
  virtual void DropSysMenu(int /*x*/, int /*y*/) {}

 protected:
  // The control adapter's windows get the message (once there is one).
  virtual void BroadcastToAdapter(TMessage& /*message*/) {}

 private:
  void HitTestMessage(TMessage& m);
  bool NCLButtonDown(TMessage& m);
  bool NCLButtonUp(TMessage& m);
  bool NCLButtonDblClk(TMessage& m);
  bool NCRButtonUp(TMessage& m);
  void DropSysMenuUnderIcon();
  void StartBorderDrag(int hitCode, TPoint screen);
  bool BorderDragMouse(TMessage& m);
  void SendSysCommand(WPARAM command);

  int hotButton_ = 0;
  int pressedButton_ = 0;
};

// A title button was pressed and its release is awaited (any form).
extern bool PressedButtonActive;
// The border-mode drag; one form at a time.
extern bool BorderDragActive;
extern bool BorderDragMoving;
extern bool BorderDragFirst;
extern int BorderDragHitCode;

// The provider of the form that was active last; cleared when it goes.
extern TsSkinProvider* LastActiveProvider;

// DWM transitions of a window switched off (disable) or on; only while
// composition is on.
void SetDwmTransitions(HWND wnd, bool disable);
// On: a window not yet layered becomes layered and fully transparent (true
// only then). Off: the layered and the visible styles are taken off.
bool SetLayered(HWND wnd, bool on);
bool IsWindowSizeable(HWND wnd);
// Moves pos so that the far side (pos + size) sits on edge when it is within
// buffer of it.
void SnapCoordinate(int& pos, int edge, int buffer, int size);

}  // namespace kv
