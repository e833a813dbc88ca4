// The skinned menus: the class library's menus stay the system's menus, but
// every item is switched to owner drawing and measured and painted here from
// the skin. One painter belongs to each skin manager. A pop-up level's
// background (frame, icon column, extra line) is built once into a cache
// record when its first item is measured or painted, and the level's window
// is subclassed so that the system paints neither frame nor background, and
// shaped by the skin's border mask.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "base/ButtonKinds.h"
#include "classlib/Graphics.h"
#include "classlib/Menus.h"
#include "skin/menus/sSkinMenusLayout.h"

namespace kv {

class TsSkinManager;
class TMainMenu;
struct TacFormServices;

using TsMenuManagerDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State,
                       TsMenuItemType ItemType)>;

// One open pop-up level's background, keyed by the level's first item.
struct TacPopupCache {
  TMenuItem* FirstItem = nullptr;
  std::unique_ptr<TBitmap> Bitmap;  // 24-bit, the level window's size
  HWND Wnd = nullptr;
  bool ExtraLineVisible = false;
};

class TsSkinableMenus : public TPersistent {
 public:
  explicit TsSkinableMenus(TsSkinManager* manager);
  ~TsSkinableMenus() override;

  TsMenuManagerDrawItemEvent OnDrawItem;

  // Published settings.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value) { alignment_ = value; }
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value) { bevelWidth_ = value; }
  int BorderWidth() const { return spacing_.BorderWidth; }
  void SetBorderWidth(int value) { spacing_.BorderWidth = value; }
  TFont& CaptionFont() { return *captionFont_; }
  void SetCaptionFont(const TFont& font) { captionFont_->Assign(font); }
  // Read again from the skin's "MAINMENU" border mask after a skin change.
  int SkinBorderWidth();
  void ForgetSkinBorderWidth() { skinBorderWidth_ = -1; }
  // Measured sizes go with the levels' records.
  void ForgetMeasured() { measured_.clear(); }
  int Margin() const { return spacing_.Margin; }
  void SetMargin(int value) { spacing_.Margin = value; }
  int Spacing() const { return spacing_.Spacing; }
  void SetSpacing(int value) { spacing_.Spacing = value; }

  TsSkinManager* Manager() const { return manager_; }
  bool Active() const { return active_; }
  bool Busy() const { return busy_; }
  // Runs of the border mask's transparent corners, cut out of pop-up regions.
  std::vector<TRect> BorderHoles;

  // Switching menus to skinned drawing and back. Handlers an application
  // set are never replaced; switching off clears only the painter's own.
  void SetActive(bool value);
  void ApplySkinActive();
  void HookFormMenus(bool value);
  // The menus among owner's components (and theirs): main menus switched
  // by mainMenus, pop-up menus and sub-items by popups.
  void SkinMenusOf(TComponent* owner, bool mainMenus, bool popups);
  void SetMenuSkinned(TMenu* menu, bool enable);
  void SetMainMenuSkinned(TMainMenu* mainMenu, bool enable);
  void SetItemsSkinned(TMenuItem* item, bool enable);
  void SetItemSkinned(TMenuItem* item, bool enable);

  // The items' handlers.
  void MeasurePopupItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  void DrawPopupItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);
  void MeasureTopLineItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  void DrawTopLineItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, TOwnerDrawState State);

  // The record of item's level (by window when item is null); built with
  // that size when there is none and Width is not 0. Null when none.
  TacPopupCache* FindPopupCache(TMenuItem* item, int width, int height, HWND wnd);
  // Subclasses a pop-up menu window and gives it its region, once per window.
  void HookPopupWindow(HWND wnd, TBitmap* bitmap);

 private:
  TacPopupCache* BuildPopupCache(TMenuItem* firstItem, int width, int height, HWND wnd);
  bool QueryExtraLine(TMenuItem* firstItem);
  void PaintExtraLine(TBitmap& bitmap, TMenuItem* firstItem);
  int ExtraLineWidthFor(const TacPopupCache* rec) const;
  TSize GlyphSize(TMenuItem* item, bool bitmapOnly) const;
  std::vector<TsLevelItem> LevelOf(TMenuItem* item, int* index) const;
  void AttachPopupHandlers(TMenuItem* item);
  void DetachPopupHandlers(TMenuItem* item);
  void DrawDivider(TMenuItem* item, TCanvas* canvas, TRect r, TBitmap* popup, TPoint origin, int x);
  void DrawCaptionItem(TMenuItem* item, TCanvas* canvas, TRect r, TBitmap* popup, TPoint origin,
                       int x);
  void PaintFrameBeside(HWND wnd, TBitmap* popup, TPoint origin, TRect r, int x, bool first,
                        bool last);

  TsSkinManager* manager_;
  TAlignment alignment_ = taLeftJustify;
  int bevelWidth_ = 0;
  TsMenuSpacing spacing_;
  int skinBorderWidth_ = -1;
  std::unique_ptr<TFont> captionFont_;
  bool active_ = false;
  bool busy_ = false;
  bool inExtraLineQuery_ = false;
  // Sizes the items were last measured at: a level with no window yet is
  // sized from them.
  std::unordered_map<const TMenuItem*, TSize> measured_;
};

// The painter of a manager; null when it has none.
TsSkinableMenus* MenuPainterOf(const TsSkinManager* manager);
// Unit state shared by the painter and the pop-up windows.
extern std::vector<std::unique_ptr<TacPopupCache>> PopupCache;
extern int IconColumnWidth;
// Frees every level's record (when any skinned pop-up window goes).
void ClearPopupCache();
// Set when a pop-up item is painted, cleared when the last skinned pop-up
// menu window is destroyed.
bool MenuInUse();

// Puts the painter's entries into the form services.
void InstallMenuServices(TacFormServices& services);

}  // namespace kv
