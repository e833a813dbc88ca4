// The form provider: the component a form carries to get a skinned frame.
// It puts its window procedure (FormWndProc, sSkinProviderWndProc_win.cpp)
// on top of the form's chain, keeps the form in the hooked-forms list,
// answers the toolkit commands for the form, keeps the window region cut
// from the skin's border mask, and takes the form back to its own look when
// the skin goes. The frame painting, title buttons, hit test, menus,
// extended borders and MDI support live in the files named at their
// members below.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ButtonKinds.h"
#include "base/Types.h"
#include "classlib/Forms.h"
#include "skin/adapters/acCtrlAdapter_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/forms/sSkinProviderGeometry.h"
#include "skin/forms/sSystemMenu_win.h"
#include "skin/forms/sTitleButtonsLayout.h"

namespace kv {

enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };

// The control-type code of a provider's skin data.
inline constexpr int ProviderControlType = 224;

class TsSkinProvider;
class TsSkinModel;

// The text written after the caption, in a font of its own; a change shows
// in the frame at once.
class TacAddedTitle {
 public:
  explicit TacAddedTitle(TsSkinProvider* provider);
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  // clNone: the title's own font colour.
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& value);
  void Repaint();

 private:
  TsSkinProvider* provider_;
  std::string text_;
  TFont font_;
};

// The title icon's own picture and size (0 derives the size from the title).
struct TsTitleIcon {
  TBitmap Glyph;  // drawn instead of the window's icon; empty for none
  int Width = 0;
  int Height = 0;
};

class TacSBAnimation;
class TacBorderForm;
class TacBorderFormOwner;
class TsMDIForm;

// A title button as the frame shows it: its state (0 normal, 1 hot,
// 2 pressed), mask and place in the frame cache, and its glow while one runs.
struct TsTitleButtonRecord {
  int State = 0;
  int ImageIndex = -1;
  TRect Rect{};
  bool LargeButton = false;
  int HitCode = 0;
  Owned<TacSBAnimation> Timer;
  TsTitleButtonRecord();
  ~TsTitleButtonRecord();
  TsTitleButtonRecord(TsTitleButtonRecord&&) noexcept;
  TsTitleButtonRecord& operator=(TsTitleButtonRecord&&) noexcept;
};

// What a user title button is set to; copies of a button take all of it.
struct TsTitleButtonData {
  std::string Name = "TsTitleButton";
  bool Enabled = true;
  bool Visible = true;
  bool UseSkinData = true;
  std::string Hint;
  TBitmap Glyph;       // drawn centred on the button; empty for none
  int MaskIndex = -1;  // "TITLEBUTTON" of "GLOBALINFO" once a skin is loaded
  std::shared_ptr<TsTitleButtonRecord> Record = std::make_shared<TsTitleButtonRecord>();
  // Sender is the button; X and Y are the mouse on the button.
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
};

// A button the program adds to the title bar.
class TsTitleButton : public TObject, public TsTitleButtonData {
 public:
  TsTitleButton() = default;
  // A copy takes the settings, never the state: hot and pressed and a
  // running glow belong to the form that shows the button.
  TsTitleButton(const TsTitleButton& other) : TObject(), TsTitleButtonData(other) {
    Record = std::make_shared<TsTitleButtonRecord>();
  }
  TsTitleButton& operator=(const TsTitleButton& other) {
    if (this == &other) return *this;
    std::shared_ptr<TsTitleButtonRecord> own = std::move(Record);
    TsTitleButtonData::operator=(other);
    Record = own != nullptr ? std::move(own) : std::make_shared<TsTitleButtonRecord>();
    return *this;
  }
  // A button moved within its collection keeps its state.
  TsTitleButton(TsTitleButton&& other) noexcept : TObject(), TsTitleButtonData(std::move(other)) {}
  TsTitleButton& operator=(TsTitleButton&& other) noexcept {
    TsTitleButtonData::operator=(std::move(other));
    return *this;
  }
  std::string ClassName() const override { return "TsTitleButton"; }
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
  }
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
  }
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
  TacAddedTitle AddedTitle{this};
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
  // A user button shown or hidden; the frame follows at once.
  void SetTitleButtonVisible(int index, bool visible);
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

  // --- menu line (sSkinProviderMenuLine_win.cpp) ---
  TBitmap* MenuLineBmp() const override { return menuLineBmp_.get(); }
  POINT MenuLineOffset(HDC dc, const RECT& item) const override;
  // A top item of the main menu is visible.
  bool HasVisibleMenuItem() const;
  // The lines the menu bar's items take (MenuLineCount, counted once).
  int CountMenuLines();
  // The main menu changed (items, captions, images): the line is counted
  // and painted again.
  void MenuChanged();
  // --- end of menu line ---

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
  TRect TitleIconRect() const { return Geometry().TitleIconRect(); }

  // The frame cache (the skin data's cache bitmap).
  void PaintFrameCache() override;
  // No cache, or one of another size than the frame.
  bool FrameCacheOutdated() const;
  // The whole frame is painted again on the next frame painting.
  void InvalidateFrame();
  // Asks the form's main menu to rebuild itself; false without items.
  bool RebuildFormMenu();
  // The client background into dc from the frame cache (the form colour
  // for a custom-coloured form); with full the children are told after.
  void PaintClientBackground(HDC dc, bool full);
  // The client's top-left corner in the window, as the window has it.
  TPoint ClientPlace() const;

  // Title buttons: the standard records (minimise, maximise, close, help),
  // the masks of the loaded skin, the laid-out buttons of the last frame
  // painting and the hot or pressed one (a hit code, 0 for none, -1 after
  // a sizing edge).
  TsTitleButtonRecord& ButtonMin() { return buttons_[0]; }
  TsTitleButtonRecord& ButtonMax() { return buttons_[1]; }
  TsTitleButtonRecord& ButtonClose() { return buttons_[2]; }
  TsTitleButtonRecord& ButtonHelp() { return buttons_[3]; }
  const TsTitleButtonMasks& ButtonMasks() const { return buttonMasks_; }
  void LoadTitleButtonMasks();
  TsTitleButtonMetrics TitleButtonMetrics() const;
  int TitleButtonsWidth() const;
  const std::vector<TsPlacedTitleButton>& PlacedButtons() const { return placedButtons_; }
  // The record of a hit code; null for codes without a button.
  TsTitleButtonRecord* ButtonRecord(int hitCode);
  int HotButton() const { return hotButton_; }
  void SetHotButton(int hitCode, bool repaint);
  void SetPressedButton(int hitCode);
  // The hint of the user button under the mouse, shown by the cursor while
  // the button is hot; null while none shows.
  THintWindow* ButtonHint() const { return buttonHint_.get(); }
  // The button's new state into the cache and onto the window, through the
  // glow when the manager allows glowing.
  virtual void PaintTitleButton(int hitCode);
  // The title buttons' glows go at once (the window hid, moved or changed
  // skin); with resetStates no button stays hot or pressed either.
  void FreeButtonAnimations(bool resetStates);
  // The size grip's mask into the frame cache at its place.
  virtual void PaintGrip(TBitmap* cache);
  // GripMode asks for the grip and the form can be sized from its corner.
  bool GripWanted() const;
  void PaintGripTo(HDC dc);
  // The system menu at a screen point: the skinned one, or the window's own
  // when pop-up menus are not skinned.
  virtual void DropSysMenu(int x, int y);
  TsSystemMenu* SystemMenuObject() const { return sysMenu_; }
  // What the system menu's rules read of the form.
  TsFormState FormState() const { return Geometry().State.Form; }

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
  // An MDI form's menu line tail shown over the menu bar during its menu loop.
  TCustomForm* MDIIconsForm() const { return mdiIconsForm_; }
  TacCtrlAdapter* Adapter() const { return adapter_.get(); }
  // The MDI support of an MDI form while it is skinned (sMDIForm_win.cpp).
  TsMDIForm* MDIForm() const { return mdiForm_.get(); }
  void MakeMDIForm(bool make);
  // An MDI child's: the provider of the MDI form it lives in, or null.
  TsSkinProvider* MDIMainProvider() const;
  // The MDI form's active child when it is maximised, else null.
  HWND MaximisedActiveChild() const;
  // An MDI child under another child that is active and maximised.
  bool CoveredByMaximisedChild() const;
  // An MDI form's: its frame and client painted anew (at once with updateNow).
  void RefreshMDIMainForm(bool updateNow);
  // An MDI child made while the active child is maximised, until its first
  // painting has finished its frame.
  bool MDIMaxChildPending = false;
  // The message to every window the control adapter skins.
  void BroadcastToAdapter(TMessage& message);
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

  // WM_NCPAINT: the frame from the cache.
  virtual void PaintNonClientArea();
  // The frame from the cache into dc (a print of the whole window).
  virtual void CopyFrameToDC(HDC dc);
  // The main menu's items on the menu line of the cache; the skinned menu
  // items draw them.
  virtual void PaintMenuLineItems(TBitmap* cache);
  // The non-client mouse (hit test, title buttons) and the border-mode
  // drag; true when answered (sSkinProviderInput_win.cpp).
  virtual bool TitleBarMouse(TMessage& message);
  // The form's menus handed to (or taken from) the menu painter.
  virtual void SkinFormMenus(bool skinned);
  // The control adapter that skins standard controls: made once the form
  // is skinned (and its controls adapted), freed when the skin goes.
  virtual void CreateAdapter();
  virtual void RemoveAdapter();
  // Adapts the form's controls again, making the adapter first if needed.
  void AdaptControls(TWinControl* parent = nullptr);
  // The skinned scroll bars of an auto-scrolling form.
  virtual void UpdateFormScrollAdapter() {}
  // The client background into dc (null: the form's own context).
  virtual void PaintFormTo(HDC dc);

 private:
  bool SkinCommandAnyState(TMessage& m);
  bool SkinnedMessage(TMessage& m);
  void SkinnedCommand(TMessage& m);
  void UnskinnedMessage(TMessage& m);
  void RemoveSkin(TMessage& m);
  void NewSkinIndexes();
  void RefreshSkin(bool afterNewSkin);
  // A maximised form is put where the skin it wears now maximises it.
  void PlaceMaximised();
  void NCActivate(TMessage& m);
  void ActivateUnderCover(TMessage& m);
  void SetText(TMessage& m);
  void ShowingChanged(TMessage& m);
  void SysCommand(TMessage& m);
  // The MDI branches of the window procedure (sMDIForm_win.cpp).
  void MDIChildSysCommand(TMessage& m);
  void MDIChildActivation(TMessage& m);
  void FinishPendingMDIChild();
  void RepaintOtherMaximisedChildren();
  // An MDI form's children that nothing skins get providers from the dialog hook.
  void ProvideForPlainMDIChildren();
  void ShowMDIIcons();
  void HideMDIIcons();
  void MDIChildActivated();
  void WindowPosChanging(TMessage& m);
  void Size(TMessage& m);
  // A frame picture of another size is made again.
  void FrameFollowsSize();
  void ChildFirstShown();
  void InvalidateAnchoredAreas(int width, int height);
  void Paint(TMessage& m);
  // WM_PAINT of a form whose background depends on more than a colour: the
  // client from the frame cache, then what the class library paints.
  void PaintFormWindow(TMessage& m);
  void EraseBackground(TMessage& m);
  void Print(TMessage& m);
  void CallOld(TMessage& m) { hook_.CallPrevious(m); }
  void ApplyGlobalColor();
  bool Showing() const;
  bool FormDestroying() const;
  HWND FormHandle() const;
  // A command's LParam names this form's manager (a form without one has none).
  bool IsOwnManager(LPARAM lParam) const;
  // Frame painting (sSkinProviderPaint_win.cpp).
  TsFrameGeometry PaintGeometry();
  void PaintWholeFrame(const TsFrameGeometry& g);
  void RepaintTitleArea(const TsFrameGeometry& g);
  void PaintTitleBar(const TsFrameGeometry& g, TBitmap* cache);
  void PaintTitleIcon(const TsFrameGeometry& g, TBitmap* cache);
  HICON TitleIconHandle(int iconHeight) const;
  void PaintTitleBarMask(const TsFrameGeometry& g, TBitmap* cache);
  void PaintCaptionText(const TsFrameGeometry& g, TBitmap* cache, bool withPlate);
  void PaintAddedTitle(TCanvas& canvas, TRect r);
  void PaintMenuLine(const TsFrameGeometry& g, TBitmap* cache);
  void SaveTitleBar(const TsFrameGeometry& g);
  bool SavedTitleFits(const TsFrameGeometry& g) const;
  // Title buttons (sTitleButtons_win.cpp).
  void SaveButtonStrip(const TsFrameGeometry& g);
  void RestoreButtonStrip(const TRect& r);
  void PaintTitleButtons(const TsFrameGeometry& g);
  int TitleMaskIndex(TsTitleMask kind, int hitCode) const;
  void UpdateUserButtonRecords();
  std::vector<TsUserTitleButton> UserButtons() const;
  void GlowEnded(TsTitleButtonRecord& record);
  void DrawTitleButton(const TsPlacedTitleButton& b, int state, bool animating);
  void DrawUserGlyph(const TsPlacedTitleButton& b, TBitmap* target, TPoint origin, int state,
                     bool pushRight);
  void StartButtonAnimation(TsTitleButtonRecord& record, int state, int steps, bool up);
  void CopyButtonToWindow(const TRect& r);
  void TitleMouseLeft();
  void TrackTitleLeave();
  TsTitleButton* UserButton(int hitCode);
  void ShowButtonHint(const TsTitleButton& button);
  void HideButtonHint();
  // A press on or release of a user button: its event with the mouse on it.
  void UserButtonMouse(int hitCode, LPARAM screen, bool down);

  TCustomForm* form_ = nullptr;
  std::unique_ptr<TsCommonData> skinData_;
  std::unique_ptr<TacCtrlAdapter> adapter_;
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
  // The window systemMenu_ belongs to; null until the form was first prepared.
  HWND systemMenuWnd_ = nullptr;
  std::vector<TRect> regionHoles_;
  bool sysMenuStyleRemoved_ = false;
  bool firstSetupPending_ = false;
  bool formActive_ = false;
  int redrawLockCount_ = 0;
  bool suspended_ = false;
  bool showAnimating_ = false;
  TCustomForm* coverForm_ = nullptr;
  TCustomForm* mdiIconsForm_ = nullptr;
  bool inMDIMenuLoop_ = false;
  TWindowProcHook coverHook_;
  TRect lastClientRect_{};
  TPoint regionSize_{-1, -1};  // the window size the region was cut for
  // The frame's region given to the window; False when the window has that
  // region already (nothing set, nothing repainted).
  bool SetFormRegion(bool repaint, bool keepSame);
  bool FrameCutsRegion() const;

  std::unique_ptr<TBitmap> savedTitleBmp_;
  std::unique_ptr<TBitmap> buttonStripBmp_;
  TRect buttonStripRect_{};
  std::unique_ptr<TBitmap> menuLineBmp_;
  TPoint menuLineOrigin_{};  // menuLineBmp_'s top-left corner in the frame cache
  std::array<TsTitleButtonRecord, 4> buttons_;
  TsTitleButtonMasks buttonMasks_;
  int restoreMask_ = -1;  // "BICONNORM"
  std::vector<TsPlacedTitleButton> placedButtons_;
  int hotButton_ = 0;
  Owned<THintWindow> buttonHint_;
  TsSystemMenu* sysMenu_ = nullptr;
  std::unique_ptr<TsMDIForm> mdiForm_;

  friend class TacSBAnimation;
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
  // The caption's height in the title's font.
  int CaptionTextHeight() const;
  // The form's hit code of the message's screen point; sets the hot button.
  int NCHitTest(const TMessage& message);

  // The button of the hit code is held down.
  bool TitleButtonIsPressed(int hitCode);

  // --- Extended borders (sSkinProviderBorder_win.cpp) ---
 public:
  bool HasBorderForm() const override;
  HWND BorderFormWindow() const override;
  void SyncBorderForm(bool repaint, std::uint8_t alpha) override;
  RECT ShadowMargins() const override;
  POINT FrameCacheOffset() const override;
  TacBorderForm* BorderForm() const { return borderForm_.get(); }

 private:
  friend class TacProviderBorderOwner;
  TRect ShadowMarginsRect() const;
  void PaintBorderShadow(const TsFrameGeometry& g);
  bool BorderWindowDrawsFrame(const TsFrameGeometry& g) const;
  void PaintTitleBarButtons(const TsFrameGeometry& g);
  // Before the form's own handling (the window goes or hides) and after it
  // (the form moved, changed or showed).
  void BorderFormMessage(const TMessage& m);
  void BorderFormFollows(const TMessage& m);
  // True for a click that is the border window's own.
  bool ResolveBorderHit(TMessage& m);
  std::unique_ptr<TacBorderFormOwner> borderOwner_;
  std::unique_ptr<TacBorderForm> borderForm_;

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
};

// A title button is held down and its release awaited (forms and dialogs alike).
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

// Shared with the dialog adapter's frame.
// The see-through runs of a skinned frame width x height: the border mask's
// top and bottom corners and the title section's "BORDERSMASK".
void FindFrameRegionHoles(std::vector<TRect>& holes, const TsSkinModel& skin,
                          const TsMaskData* borderMask, int titleSection, int width, int height);
// The frame's rectangle at x, y without the holes.
HRGN FrameRegionWithoutHoles(const std::vector<TRect>& holes, int x, int y, int width, int height);
// The system caption font on the canvas.
void UseCaptionFont(TCanvas& canvas);
// Every hover-resettable child of parent but except that still looks hot
// gets its mouse leave (a flat button left without one).
void ResetHotSpeedButtons(TWinControl* parent, const TControl* except);

}  // namespace kv
