#pragma once
// Menus: items in a tree, a form's main menu and pop-up menus. Commands are
// numbered per process; a form (main menu) or the hidden pop-up list window
// (pop-up menus) finds the item of a WM_COMMAND, WM_MEASUREITEM or
// WM_DRAWITEM by its number. Items can be drawn by their owner: the menu's
// OwnerDraw makes every item owner-drawn, and each item's OnMeasureItem and
// OnAdvancedDrawItem (when set) replace the default measuring and painting.

#include <windows.h>

#include <concepts>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/Bitmap.h"
#include "base/Classes.h"
#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/Messages.h"

namespace kv {

class TMenu;
class TCustomImageList;

// An event that is either a plain function or a method of an object. Two
// method events compare equal when they name the same member of the same
// object, so that whoever set a handler can recognise it and clear only its
// own.
template <class... Args>
class TMethodEvent {
 public:
  TMethodEvent() = default;
  TMethodEvent(std::nullptr_t) {}
  template <class F>
  requires std::is_invocable_v<F&, Args...> &&
      (!std::is_same_v<std::decay_t<F>, TMethodEvent>)TMethodEvent(F fn)
      : call_(std::move(fn)) {}
  template <class T, class U>
  requires std::derived_from<T, U> TMethodEvent(T* object, void (U::*member)(Args...))
      : object_(static_cast<U*>(object)),
        call_([object, member](Args... args) { (object->*member)(std::forward<Args>(args)...); }) {
    static_assert(sizeof(member) <= sizeof(key_), "member pointer larger than expected");
    std::memcpy(key_, &member, sizeof(member));
  }

  void operator()(Args... args) const {
    if (call_) call_(std::forward<Args>(args)...);
  }
  explicit operator bool() const { return static_cast<bool>(call_); }
  bool operator==(const TMethodEvent& other) const {
    return object_ != nullptr && object_ == other.object_ &&
           std::memcmp(key_, other.key_, sizeof(key_)) == 0;
  }

 private:
  const void* object_ = nullptr;
  unsigned char key_[2 * sizeof(void*)] = {};
  std::function<void(Args...)> call_;
};

// The system's menu font on font (owner-drawn items measure and draw in it).
void AssignMenuFont(TFont& font);

// Owner-draw state of an item, from the system's ODS_* flags.
using TOwnerDrawState = uint16_t;
constexpr TOwnerDrawState odSelected = 1 << 0, odGrayed = 1 << 1, odDisabled = 1 << 2,
                          odChecked = 1 << 3, odFocus = 1 << 4, odDefault = 1 << 5,
                          odHotLight = 1 << 6, odInactive = 1 << 7, odNoAccel = 1 << 8,
                          odNoFocusRect = 1 << 9, odReserved1 = 1 << 10, odReserved2 = 1 << 11,
                          odComboBoxEdit = 1 << 12;
TOwnerDrawState OwnerDrawState(UINT itemState);

using TMenuMeasureItemEvent =
    TMethodEvent<TObject* /*Sender*/, TCanvas* /*ACanvas*/, int& /*Width*/, int& /*Height*/>;
using TAdvancedMenuDrawItemEvent = TMethodEvent<TObject* /*Sender*/, TCanvas* /*ACanvas*/,
                                                TRect /*ARect*/, TOwnerDrawState /*State*/>;
using TMenuDrawItemEvent =
    TMethodEvent<TObject* /*Sender*/, TCanvas* /*ACanvas*/, TRect /*ARect*/, bool /*Selected*/>;

// A key with its shift keys: the virtual key in the low byte.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F5", "Del"; empty for none.
std::string ShortCutToText(TShortCut shortCut);
// The reverse of ShortCutToText (case-insensitive); 0 when not understood.
TShortCut TextToShortCut(const std::string& text);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

using TMenuAnimation = uint8_t;
constexpr TMenuAnimation maLeftToRight = 1, maRightToLeft = 2, maTopToBottom = 4, maBottomToTop = 8,
                         maNone = 16;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

  // "-" is a divider; "&" marks the accelerator.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value);
  TMenuBreak Break() const { return break_; }
  void SetBreak(TMenuBreak value);
  uint8_t GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(uint8_t value) { groupIndex_ = value; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  // A picture of the item's own, used instead of an image list's.
  TBitmap& Bitmap() { return bitmap_; }
  void BitmapChanged() { MenuChanged(true); }
  TCustomImageList* SubMenuImages() const { return subMenuImages_; }
  void SetSubMenuImages(TCustomImageList* images);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool IsLine() const { return caption_ == "-"; }

  int Count() const { return static_cast<int>(items_.size()); }
  // Raises ERangeError for an index outside 0..Count()-1.
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return parent_; }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out (it is not freed).
  void Remove(TMenuItem* item);
  // Takes the item at index out (it is not freed).
  void Delete(int index);
  // Frees every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  int MenuIndex() const;
  UINT Command() const { return command_; }
  // The pop-up menu of an item with sub-items (built on demand).
  HMENU Handle();
  TMenu* GetParentMenu() const;
  // The images for this item: the parent's SubMenuImages, else the menu's Images.
  TCustomImageList* GetImageList() const;
  virtual void Click();
  // Finds the item with that command in this subtree.
  TMenuItem* FindCommand(UINT command);
  TMenuItem* FindHandle(HMENU handle);
  TMenuItem* FindShortCut(TShortCut shortCut);

  // Measuring and painting of an owner-drawn item (the menu calls these).
  virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
  virtual void AdvancedDrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state,
                                bool topLevel);

 protected:
  // Rebuilds the system menu that shows this item (rebuild) or just tells
  // the menu that something changed.
  void MenuChanged(bool rebuild);
  void Notification(TComponent* component, TOperation operation) override;
  // The default painting of an owner-drawn item.
  virtual void DrawItem(TCanvas* canvas, const TRect& rect, TOwnerDrawState state, bool topLevel);

 private:
  friend class TMenu;
  void Rebuild();
  void AppendTo(HMENU menu);
  void FreeImageBitmap();

  std::string caption_;
  std::string hint_;
  bool checked_ = false;
  bool enabled_ = true;
  bool visible_ = true;
  bool default_ = false;
  bool radioItem_ = false;
  TMenuBreak break_ = mbNone;
  uint8_t groupIndex_ = 0;
  TShortCut shortCut_ = 0;
  int imageIndex_ = -1;
  TBitmap bitmap_;
  TCustomImageList* subMenuImages_ = nullptr;
  UINT command_ = 0;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;
  std::vector<TMenuItem*> items_;
  HMENU handle_ = nullptr;
  HBITMAP imageBitmap_ = nullptr;  // the image shown by a menu that is not owner-drawn
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_; }
  HMENU Handle();
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  // With ParentBiDiMode (the default) that of the control owning the menu.
  TBiDiMode BiDiMode() const;
  void SetBiDiMode(TBiDiMode mode) {
    biDiMode_ = mode;
    parentBiDiMode_ = false;
  }
  bool ParentBiDiMode() const { return parentBiDiMode_; }
  void SetParentBiDiMode(bool value) { parentBiDiMode_ = value; }
  // Items read and are laid out right to left.
  bool IsRightToLeft() const { return UseRightToLeftAlignment(BiDiMode()); }
  // Every item is drawn by its owner (measure and draw messages).
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value);
  // Runs the click of the item with that command; false when none has it.
  bool DispatchCommand(UINT command);
  TMenuItem* FindItem(UINT_PTR value, TFindItemKind kind);
  // Runs the click of the enabled, visible item with that short cut.
  bool IsShortCut(WORD key, TShiftState shift);
  // The window that shows the menu (its form hands it the menu's messages).
  HWND WindowHandle() const { return window_; }
  void SetWindowHandle(HWND wnd);
  // Rebuilds the system menu from the items.
  void Rebuild() { MenuChanged(); }
  // The menu whose items this one's bar shows among its own (an MDI
  // child's), and the menu this one is shown in; null when none.
  TMenu* Merged() const { return merged_; }
  TMenu* MergedInto() const { return mergedInto_; }

  // Answers WM_MEASUREITEM / WM_DRAWITEM for a menu item of this menu;
  // false when the message is not for one of its items.
  bool HandleMenuMessage(TMessage& message);

 protected:
  virtual bool IsPopup() const { return false; }
  virtual void MenuChanged();
  void Notification(TComponent* component, TOperation operation) override;
  void BeforeDestruction() override;
  void SetMerged(TMenu* menu);

 private:
  friend class TMenuItem;

  TBiDiMode biDiMode_ = bdLeftToRight;
  bool parentBiDiMode_ = true;
  TMenuItem* items_;
  TMenu* merged_ = nullptr;
  TMenu* mergedInto_ = nullptr;
  HMENU handle_ = nullptr;
  HWND window_ = nullptr;
  TCustomImageList* images_ = nullptr;
  bool ownerDraw_ = false;
};

class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;
  // Shows menu's top items in this bar (an active MDI child's menu in its
  // MDI form's): an item replaces this menu's items of its group index,
  // the others go in among them by group index. One menu at a time: a new
  // one takes the place of the last.
  void Merge(TMainMenu* menu);
  // Takes menu out of the bar again when it is the one merged.
  void Unmerge(TMainMenu* menu);

 protected:
  void MenuChanged() override;
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;
  TNotifyEvent OnPopup;
  // Shows the menu at screen point (x, y) and runs the chosen item's click.
  virtual void Popup(int x, int y);
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component);
  TMenuAnimation MenuAnimation() const { return menuAnimation_; }
  void SetMenuAnimation(TMenuAnimation value) { menuAnimation_ = value; }

 protected:
  bool IsPopup() const override { return true; }
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TComponent* popupComponent_ = nullptr;
  TMenuAnimation menuAnimation_ = 0;
};

// The hidden window that owns every pop-up menu while it is shown and
// receives its messages (WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM,
// WM_MENUSELECT, WM_COMMAND); it hands them to the pop-up menu they belong to.
class TPopupList {
 public:
  static HWND Window();
  static void Add(TPopupMenu* menu);
  static void Remove(TPopupMenu* menu);
  static const std::vector<TPopupMenu*>& Menus();
};

}  // namespace kv
